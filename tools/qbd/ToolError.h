// The one error type of the qbd program: a message for standard error and an exit status.
#ifndef QBD_TOOL_ERROR_H
#define QBD_TOOL_ERROR_H

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "LyrBoard.h"

namespace qbd {

// Exit statuses: 0 success, 1 failure of the command, 2 wrong usage.
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

// Raised by a command that cannot go on; main prints what() and exits with status().
class ToolError : public std::runtime_error {
 public:
  explicit ToolError(const std::string& message, int status = EXIT_FAILED)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// A board file that cannot be read: the reader's error text as the message, and its records.
class ReadFailure : public ToolError {
 public:
  ReadFailure(const std::string& message, std::vector<LyrBoard::ReadError> errors)
      : ToolError(message), errors_(std::move(errors)) {}
  const std::vector<LyrBoard::ReadError>& errors() const { return errors_; }

 private:
  std::vector<LyrBoard::ReadError> errors_;
};

}  // namespace qbd

#endif  // QBD_TOOL_ERROR_H
