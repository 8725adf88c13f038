// What the server answers, one function per request: each asks the board read of the document
// (LspBoard) and the library's rules, and returns the protocol's JSON result. A position outside
// the text, or on nothing the feature knows, gives the empty answer (null or an empty list).
#ifndef QBD_LSP_FEATURES_H
#define QBD_LSP_FEATURES_H

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "LspBoard.h"
#include "LspText.h"

namespace qbdlsp {

using Json = nlohmann::json;

// A request the server refuses, with the protocol's error code.
class RequestError : public std::runtime_error {
 public:
  RequestError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

// The protocol's range of a byte span of the text.
Json rangeOf(const LspText& text, Span span);

// The diagnostics of a document: the read errors of its current text when it does not read,
// otherwise the lint findings of `board` (read from that text); code, severity and message as
// `qbd lint` gives them.
Json diagnostics(const LspText& current, const std::vector<LyrBoard::ReadError>& errors,
                 const LspBoard* board);
// Markdown about the net, instance or constraint string at the position; null when none.
Json hover(const LspBoard& board, Position at);
// From an instance port (or its net) the FPGA pins on its net, from an FPGA pin the instance
// ports on it; empty when the position is on no port.
Json definition(const LspBoard& board, Position at, const std::string& uri);
// Every port on the net at the position (FPGA pins only with `withDeclarations`); empty when
// none.
Json references(const LspBoard& board, Position at, const std::string& uri, bool withDeclarations);
// Completion items for the position in the current text: keywords, attribute and sub-property
// names, IO types, roles and nets of the board, directions, constraint keys. `board` is the
// last good read, null when there is none.
Json completion(const LspText& current, const LspBoard* board, Position at);
// The board attributes and blocks as an outline, a block's attributes, parameters and ports
// under it.
Json documentSymbols(const LspBoard& board);
// The range and text of the net or instance name at the position; null when it is neither.
Json prepareRename(const LspBoard& board, Position at);
// The edits that rename the net (every port and pin on it) or the instance at the position;
// null when the position is on neither. Throws RequestError for a name the format cannot
// write bare.
Json rename(const LspBoard& board, Position at, const std::string& newName, const std::string& uri);

}  // namespace qbdlsp

#endif  // QBD_LSP_FEATURES_H
