// Writing an output file without losing what it held: the one place that knows how a file is
// replaced, used by the board printer, the qbd program and the scripting packages alike.
#ifndef PORTABILITY_REPLACING_FILE_H
#define PORTABILITY_REPLACING_FILE_H

#include <cstddef>
#include <string>

namespace Port {

// A new file made beside a target, under a name of its own short enough for the folder, that
// takes the target's place only when committed: until then the target is untouched, and a
// file never committed is removed. A link is followed to the file it names, so the link stays
// (a dangling link gets its file made). A target that is not a regular file (a FIFO, a
// device, a terminal, or a pipe or socket reached through /proc/self/fd or /dev/stdout) is
// written straight into, since renaming over it would take its place rather than feed it.
// The new file gets the old one's permissions less the set-user and set-group bits. A folder
// is refused (EISDIR), and so is a regular file the user may not write unless `force` is set.
// Failures are values: each operation returns false and keeps the errno in error().
class ReplacingFile {
 public:
  // Creates the temporary file (or opens a target written straight into); check failed().
  explicit ReplacingFile(const std::string& target, bool force = false);
  // Removes the temporary file unless it was committed.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // True once an operation failed; the file is then of no further use.
  bool failed() const { return error_ != 0; }
  // The errno of the first failure (EACCES when the target was refused as write-protected);
  // 0 while none.
  int error() const { return error_; }
  // True when the failure was the refusal of a write-protected target that `force` would
  // have replaced.
  bool refusedAsProtected() const { return protected_; }
  // The file that gets the contents: the end of the target's links; the target as given when
  // it is written straight into.
  const std::string& target() const { return target_; }
  // Where the new contents go before the commit (another program may write there too); the
  // target itself when it is written straight into; empty when the file could not be made.
  const std::string& temporaryPath() const { return temporary_; }
  // True when the target is written straight into (no temporary file, no rename).
  bool writesInPlace() const { return direct_; }

  // Appends every byte; false (error() set) when any is lost or an earlier step failed.
  bool write(const char* data, std::size_t size);
  bool write(const std::string& data) { return write(data.data(), data.size()); }
  // Sets the permissions, flushes to disk and renames the file over the target (closes it,
  // when written straight into); false (error() set, the target as it was) when a step fails.
  bool commit();

 private:
  bool fail(int error);

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  int error_ = 0;
  bool direct_ = false;
  bool protected_ = false;
  bool committed_ = false;
};

// Writes `size` bytes as the whole new contents of `path` through a ReplacingFile; 0 on
// success, else the errno of the failure (the file as it was). `refusedAsProtected`, when
// not null, tells whether the failure was the refusal of a write-protected file.
int ReplaceFileContents(const std::string& path, const char* data, std::size_t size,
                        bool force = false, bool* refusedAsProtected = nullptr);

}  // namespace Port

#endif  // PORTABILITY_REPLACING_FILE_H
