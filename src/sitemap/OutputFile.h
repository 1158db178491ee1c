#pragma once
#include <string>

#include "platform/Messages.h"

// The credit placed between the tree and the End template; never macro-expanded.
std::string SignatureText();

// Writes `text` byte for byte to `path` through a temporary file, so `path` never holds half
// a site map. On failure shows "Couldn't create output file:<path>" and returns false.
bool WriteOutputFile(const std::string& path, const std::string& text, MessageSink& messages);
