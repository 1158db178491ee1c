#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "common/TextSink.h"

// The new content of a file, streamed into a temporary file beside it and put in its place
// whole by Commit: until then the old file stays as it was, and a reader never sees half of
// the new one. A content not committed is discarded, also when SIGINT, SIGTERM or SIGHUP
// ends the process. The temporary file is locked while in use, so that Open can remove
// those of the same target left behind by a writer that died.
class ReplacementFile : public TextSink {
 public:
  ReplacementFile() = default;
  ~ReplacementFile() override;
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Starts a new content for `path`. A symlink at `path` stays and its final target is
  // replaced; an existing file keeps its mode, owner and group where the system permits
  // (see Warnings). False when `path` names something that is not a regular file or no
  // temporary file can be made beside it.
  bool Open(const std::string& path);
  // The content replaces `path` instead, under the same conditions as Open's; false, and
  // the target unchanged, when it cannot.
  bool Retarget(const std::string& path);
  // Failures are kept for Commit to report.
  void Write(std::string_view piece) override;
  // Puts what is gathered into the temporary file and frees the memory it took, for a
  // content that waits long for its Commit; false when any step since Open failed.
  bool WriteOut();
  // Puts the content in place; false when any step since Open failed, which leaves the old
  // file untouched and no temporary file.
  bool Commit();
  // Commit in two steps, for files that go in place together while the ending signals are
  // held back (EndingSignalsHeld): PutInPlace, after WriteOut, only renames (no write, no
  // allocation); Finish then does the rest of Commit and says what Commit would have.
  bool PutInPlace();
  bool Finish();
  // Drops the content written so far.
  void Discard();
  // Why the last Open or Commit failed, in the system's words; empty when it did not.
  const std::string& Problem() const { return problem_; }
  // What the replacement will not keep of the old file (its owner, its other hard links),
  // one sentence each, known from Open on.
  const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  // The replacement is for `path`: false when that is not a regular file.
  bool Aim(const std::string& path);
  // Gives the temporary file the target's mode, owner and group, or a new file's mode.
  void TakeOverTarget();
  void Flush();
  void Close();
  void Fail(const std::string& problem);

  std::string target_;
  std::string temporary_;
  std::string buffer_;
  int fd_ = -1;
  int signalSlot_ = -1;
  bool failed_ = false;
  bool placed_ = false;  // renamed to the target
  int renameError_ = 0;  // errno of a failed rename
  std::string problem_;
  std::vector<std::string> warnings_;
};

// Whether the file name `name` is that of a temporary file made by ReplacementFile.
bool IsTemporaryFileName(std::string_view name);
