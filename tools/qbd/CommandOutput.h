// The -o option every writing command shares: what the command prints to std::cout goes to a
// new file that replaces the target only once the command has finished.
#ifndef QBD_COMMAND_OUTPUT_H
#define QBD_COMMAND_OUTPUT_H

#include <string>

namespace qbd {

// Sends std::cout to a new file beside `path`; does nothing for an empty path or "-"
// (standard output). A write-protected target is replaced only when `force`. Throws ToolError
// naming the file when it cannot be made.
void openCommandOutput(const std::string& path, bool force);
// Flushes std::cout and puts the file in place of the target; does nothing when no file was
// opened. Throws ToolError naming the file when a byte of it was lost.
void commitCommandOutput();
// Gives std::cout back to standard output and removes the new file, the target untouched.
void abandonCommandOutput();

}  // namespace qbd

#endif  // QBD_COMMAND_OUTPUT_H
