#pragma once
#include <functional>
#include <string>

#include "common/TextSink.h"
#include "platform/Messages.h"

// The credit placed between the tree and the End template; never macro-expanded.
std::string SignatureText();

// `outputPath` spelled as the walk from `root` (normalised) meets it, through whatever
// symlinks and ".." steps either path takes, so that the walk can pass it over;
// `outputPath` itself when it lies outside the tree or its folder does not exist.
std::string OutputPathAsWalked(const std::string& outputPath, const std::string& root);

// Streams what `produce` writes into a temporary file beside `path` and puts it in place of
// `path` once whole, so `path` holds either its old content or all of the new one; nothing
// is produced when no temporary file can be made. When `produce` returns false (the text is
// not whole: the run was stopped) the temporary file is removed, `path` is left as it was
// and false returned without a message. On failure shows "Couldn't create output
// file:<path>" and returns false.
bool WriteOutputFile(const std::string& path, const std::function<bool(TextSink&)>& produce,
                     MessageSink& messages);
