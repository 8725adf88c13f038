// Output that loses nothing: files are replaced only by complete new contents, and what was
// written to standard output is known to have arrived before the program says it succeeded.
#ifndef QBD_FILE_OUTPUT_H
#define QBD_FILE_OUTPUT_H

#include <string>

#include "Portability/ReplacingFile.h"

namespace qbd {

// The library's Port::ReplacingFile (which holds the rules: links, FIFOs and devices,
// set-id bits, write-protected files, long names) with its failures as ToolError messages.
class ReplacingFile {
 public:
  // Creates the temporary file (opens the target, when written straight into); throws
  // ToolError naming the target when it cannot, or when the target is protected from writing
  // and `force` is not set.
  explicit ReplacingFile(const std::string& target, bool force = false);
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Where the new contents go before the commit (another program may write there too): the
  // target itself when it is written straight into.
  const std::string& temporaryPath() const;
  // Appends every byte of `content`; throws ToolError naming the target when any is lost.
  void write(const std::string& content);
  // Puts the new contents in the target's place; throws ToolError naming the target when a
  // step fails, the target as it was.
  void commit();

 private:
  // Throws the failure of the last step unless it was `done`.
  void check(bool done) const;

  Port::ReplacingFile file_;
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
