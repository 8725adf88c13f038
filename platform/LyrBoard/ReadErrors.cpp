// Reader errors as data: each message kind has a code that callers can test for, so that
// nobody has to match the wording.
#include "ReadErrors.h"

#include <cstring>
#include <utility>

namespace LyrBoard {
namespace detail {

namespace {

struct Kind {
  const char* start;  // the message begins with this, or holds it when `anywhere`
  bool anywhere;
  const char* code;
};

// Longer starts first where one start begins another.
constexpr Kind kKinds[] = {
    {"cannot open board file", false, "cannot_open"},
    {"expected text, found a NUL byte", false, "binary_data"},
    {"empty board file", false, "empty_file"},
    {"unexpected control byte", false, "control_byte"},
    {"unterminated quoted string", false, "unterminated_string"},
    {"unknown escape", false, "unknown_escape"},
    {"unterminated list", false, "unterminated_list"},
    {"expected ',' or ')' in the list", false, "list_separator"},
    {"lists nest at most two deep", false, "list_too_deep"},
    {"expected ',' or end of line after the value", false, "value_end"},
    {"expected '=' after the name", false, "missing_equals"},
    {"expected a name after", false, "missing_name"},
    {"BEGIN BLOCK has no END", false, "missing_end"},
    {"expected END before the next BEGIN BLOCK", false, "missing_end"},
    {"END without BEGIN BLOCK", false, "end_without_begin"},
    {" outside a block:", true, "outside_block"},
    {"expected ATTRIBUTE or BEGIN BLOCK", false, "unknown_statement"},
    {"expected ATTRIBUTE, PARAMETER, PORT or END", false, "unknown_statement"},
    {"expected BLOCK after BEGIN", false, "missing_block_keyword"},
    {"expected end of line after", false, "line_end"},
    {" not listed, the first of them here", true, "more_errors"},
};

}  // namespace

const char* ReadErrorCode(const std::string& message) {
  for (const Kind& kind : kKinds) {
    const bool found = kind.anywhere
                           ? message.find(kind.start) != std::string::npos
                           : message.compare(0, std::strlen(kind.start), kind.start) == 0;
    if (found) return kind.code;
  }
  return "syntax";
}

ReadError MakeReadError(const std::string& file, unsigned line, unsigned column,
                        std::string message) {
  ReadError error{file, line, column, ReadErrorCode(message), std::move(message)};
  return error;
}

std::string ReadErrorLine(const ReadError& error) {
  return error.file + ":" + std::to_string(error.line) + ":" + std::to_string(error.column) +
         ": error: " + error.message + "\n";
}

}  // namespace detail
}  // namespace LyrBoard
