// Output that loses nothing: files are replaced only by complete new contents, and what was
// written to standard output is known to have arrived before the program says it succeeded.
#ifndef QBD_FILE_OUTPUT_H
#define QBD_FILE_OUTPUT_H

#include <string>

namespace qbd {

// A new file made beside a target, with a name of its own, that replaces the target only when
// committed. Until then the target is untouched, and a file never committed is removed. A
// target that is a symbolic link is replaced where the link points, so the link stays (a
// dangling link gets its target created). A target that is not a regular file (a FIFO, a
// device, a terminal, a pipe or socket reached through /proc/self/fd or /dev/stdout) is
// written straight into instead, since renaming over it would take its place rather than
// feed it. A regular target the user may not write is refused unless `force` is set.
class ReplacingFile {
 public:
  // Creates the temporary file (opens the target, when written straight into); throws
  // ToolError naming the target when it cannot, or when the target is protected from writing
  // and `force` is not set.
  explicit ReplacingFile(const std::string& target, bool force = false);
  // Removes the temporary file unless it was committed.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Where the new contents go before the commit (another program may write there too): the
  // target itself when it is written straight into.
  const std::string& temporaryPath() const { return temporary_; }
  // Appends every byte of `content`; throws ToolError naming the target when any is lost.
  void write(const std::string& content);
  // Closes the file and renames it over the target, with the target's permissions less the
  // set-user and set-group bits (or the usual ones for a new file); throws ToolError naming
  // the target when a step fails.
  void commit();

 private:
  [[noreturn]] void fail(int error) const;

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool direct_ = false;
  bool committed_ = false;
};

// Writes `content` as the whole new contents of `path` through a ReplacingFile; throws
// ToolError, the file untouched, when it cannot.
void replaceFile(const std::string& path, const std::string& content, bool force = false);

// Sends std::cout straight to file descriptor 1 through a buffer that keeps the reason of the
// first failed write, for finishStandardOutput to report.
void takeStandardOutput();
// Flushes standard output; throws ToolError with the reason when any of what was written to
// it was lost.
void finishStandardOutput();

}  // namespace qbd

#endif  // QBD_FILE_OUTPUT_H
