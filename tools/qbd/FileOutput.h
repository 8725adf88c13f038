// Output that loses nothing: files are replaced only by complete new contents, and what was
// written to standard output is known to have arrived before the program says it succeeded.
#ifndef QBD_FILE_OUTPUT_H
#define QBD_FILE_OUTPUT_H

#include <string>

namespace qbd {

// A new file made beside a target, with a name of its own, that replaces the target only when
// committed. Until then the target is untouched, and a file never committed is removed. A
// target that is a symbolic link is replaced where the link points, so the link stays.
class ReplacingFile {
 public:
  // Creates the temporary file; throws ToolError naming the target when it cannot.
  explicit ReplacingFile(const std::string& target);
  // Removes the temporary file unless it was committed.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Where the new contents go before the commit (another program may write there too).
  const std::string& temporaryPath() const { return temporary_; }
  // Appends every byte of `content`; throws ToolError naming the target when any is lost.
  void write(const std::string& content);
  // Closes the file and renames it over the target, with the target's permissions (or the
  // usual ones for a new file); throws ToolError naming the target when a step fails.
  void commit();

 private:
  [[noreturn]] void fail(int error) const;

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool committed_ = false;
};

// Writes `content` as the whole new contents of `path` through a ReplacingFile; throws
// ToolError, the file untouched, when it cannot.
void replaceFile(const std::string& path, const std::string& content);

// Sends std::cout straight to file descriptor 1 through a buffer that keeps the reason of the
// first failed write, for finishStandardOutput to report.
void takeStandardOutput();
// Flushes standard output; throws ToolError with the reason when any of what was written to
// it was lost.
void finishStandardOutput();

}  // namespace qbd

#endif  // QBD_FILE_OUTPUT_H
