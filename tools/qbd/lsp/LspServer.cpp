// The protocol loop of the language server.
#include "LspServer.h"

#include <cctype>
#include <istream>
#include <ostream>

namespace qbdlsp {

namespace {

// JSON-RPC and protocol error codes.
constexpr int PARSE_ERROR = -32700;
constexpr int INVALID_REQUEST = -32600;
constexpr int METHOD_NOT_FOUND = -32601;
constexpr int INVALID_PARAMS = -32602;
constexpr int INTERNAL_ERROR = -32603;
constexpr int SERVER_NOT_INITIALIZED = -32002;

// A message longer than this is refused unread: no board file comes near it, and a hostile
// length must not make the server allocate whatever it says.
constexpr std::size_t MAX_MESSAGE_BYTES = 64u << 20;

bool startsWithIgnoringCase(const std::string& text, const char* prefix) {
  std::size_t i = 0;
  for (; prefix[i]; ++i)
    if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) !=
                                std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

Position positionOf(const Json& params) {
  const Json& p = params.at("position");
  const long long line = p.at("line").get<long long>();
  const long long character = p.at("character").get<long long>();
  // A negative or huge position is outside every text: it gets the empty answer.
  constexpr long long far = 0xFFFFFFFFll;
  if (line < 0 || character < 0 || line > far || character > far) return Position{~0u, ~0u};
  return Position{static_cast<unsigned>(line), static_cast<unsigned>(character)};
}

Json capabilities() {
  return Json{
      {"textDocumentSync", {{"openClose", true}, {"change", 2}}},
      {"hoverProvider", true},
      {"definitionProvider", true},
      {"referencesProvider", true},
      {"completionProvider", {{"triggerCharacters", {"=", "(", ",", " "}}}},
      {"documentSymbolProvider", true},
      {"renameProvider", {{"prepareProvider", true}}},
  };
}

}  // namespace

std::string pathOfUri(const std::string& uri) {
  if (!startsWithIgnoringCase(uri, "file://")) return uri;
  std::string path;
  for (std::size_t i = 7; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() &&
        std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
      path += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      path += uri[i];
    }
  }
  return path;
}

LspServer::LspServer(std::istream& in, std::ostream& out, std::ostream& log)
    : in_(in), out_(out), log_(log) {}

LspServer::~LspServer() = default;

int LspServer::run() {
  std::string body;
  while (!exit_ && out_ && readMessage(body))
    if (!body.empty()) handle(body);
  return shutdown_ ? 0 : 1;
}

bool LspServer::readMessage(std::string& body) {
  body.clear();
  std::string line;
  long long length = -1;
  bool sawHeader = false;
  while (std::getline(in_, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      if (sawHeader) break;
      continue;  // blank lines between messages
    }
    sawHeader = true;
    if (startsWithIgnoringCase(line, "Content-Length:")) {
      const std::string digits = line.substr(15);
      char* end = nullptr;
      const long long value = std::strtoll(digits.c_str(), &end, 10);
      length = (end && end != digits.c_str() && value >= 0) ? value : -2;
    }
  }
  if (!in_) return false;
  if (length < 0) {
    report("a message header without a valid Content-Length; the message is skipped");
    sendError(Json(), PARSE_ERROR, "missing or malformed Content-Length header");
    return true;
  }
  if (static_cast<unsigned long long>(length) > MAX_MESSAGE_BYTES) {
    report("a message of " + std::to_string(length) + " bytes is over the limit; skipped");
    sendError(Json(), INVALID_REQUEST, "message too long");
    in_.ignore(length);
    return static_cast<bool>(in_);
  }
  body.resize(static_cast<std::size_t>(length));
  in_.read(&body[0], length);
  return in_.gcount() == length;
}

void LspServer::handle(const std::string& body) {
  Json message = Json::parse(body, nullptr, false);
  if (message.is_discarded()) {
    report("a message that is not JSON");
    sendError(Json(), PARSE_ERROR, "the message is not JSON");
    return;
  }
  dispatch(message);
}

void LspServer::dispatch(const Json& message) {
  if (!message.is_object() || !message.contains("method") || !message["method"].is_string()) {
    // A response to a request of ours (we send none that need one) is dropped quietly.
    if (message.is_object() && (message.contains("result") || message.contains("error"))) return;
    report("a message that is neither a request nor a notification");
    const Json id = message.is_object() && message.contains("id") ? message["id"] : Json();
    sendError(id, INVALID_REQUEST, "not a JSON-RPC request or notification");
    return;
  }
  const std::string method = message["method"].get<std::string>();
  const Json params = message.contains("params") ? message["params"] : Json::object();
  const bool isRequest = message.contains("id");
  const Json id = isRequest ? message["id"] : Json();
  if (isRequest && !id.is_string() && !id.is_number_integer()) {
    sendError(Json(), INVALID_REQUEST, "a request id must be a number or a string");
    return;
  }
  try {
    if (!isRequest) {
      notification(method, params);
      return;
    }
    if (!initialized_ && method != "initialize") {
      sendError(id, SERVER_NOT_INITIALIZED, "the server is not initialized");
      return;
    }
    if (shutdown_) {
      sendError(id, INVALID_REQUEST, "the server is shutting down");
      return;
    }
    Json result = request(method, params);
    send(Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
  } catch (const RequestError& e) {
    if (isRequest)
      sendError(id, e.code(), e.what());
    else
      report(method + ": " + e.what());
  } catch (const Json::exception& e) {
    report(method + ": malformed parameters: " + e.what());
    if (isRequest) sendError(id, INVALID_PARAMS, std::string("malformed parameters: ") + e.what());
  } catch (const std::exception& e) {
    report(method + ": " + e.what());
    if (isRequest) sendError(id, INTERNAL_ERROR, e.what());
  }
}

Json LspServer::request(const std::string& method, const Json& params) {
  if (method == "initialize") {
    initialized_ = true;
    return Json{{"capabilities", capabilities()},
                {"serverInfo", {{"name", "qbd"}, {"version", QBD_LSP_VERSION}}}};
  }
  if (method == "shutdown") {
    shutdown_ = true;
    return Json();
  }
  const bool knownDocumentRequest =
      method == "textDocument/hover" || method == "textDocument/definition" ||
      method == "textDocument/references" || method == "textDocument/completion" ||
      method == "textDocument/documentSymbol" || method == "textDocument/prepareRename" ||
      method == "textDocument/rename";
  if (!knownDocumentRequest) throw RequestError(METHOD_NOT_FOUND, "unknown method " + method);
  const Document* doc = documentOf(params);
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  const bool listAnswer = method == "textDocument/definition" ||
                          method == "textDocument/references" ||
                          method == "textDocument/documentSymbol";
  if (method == "textDocument/completion")
    return doc ? completion(doc->text, doc->board.get(), positionOf(params))
               : Json{{"isIncomplete", false}, {"items", Json::array()}};
  // Everything else asks the last good read; before one there is nothing to answer.
  if (!doc || !doc->board) return listAnswer ? Json::array() : Json();
  const LspBoard& board = *doc->board;
  if (method == "textDocument/documentSymbol") return documentSymbols(board);
  const Position at = positionOf(params);
  if (method == "textDocument/hover") return hover(board, at);
  if (method == "textDocument/definition") return definition(board, at, uri);
  if (method == "textDocument/references") {
    bool withDeclarations = true;
    if (params.contains("context"))
      withDeclarations = params["context"].value("includeDeclaration", true);
    return references(board, at, uri, withDeclarations);
  }
  if (method == "textDocument/prepareRename") return prepareRename(board, at);
  return rename(board, at, params.at("newName").get<std::string>(), uri);
}

void LspServer::notification(const std::string& method, const Json& params) {
  if (method == "exit") {
    exit_ = true;
    return;
  }
  if (!initialized_ || shutdown_) return;
  if (method == "textDocument/didOpen") {
    const Json& item = params.at("textDocument");
    const std::string uri = item.at("uri").get<std::string>();
    Document& doc = documents_[uri];
    doc.path = pathOfUri(uri);
    doc.version = item.value("version", 0ll);
    doc.text = LspText(item.at("text").get<std::string>());
    doc.board.reset();
    reread(uri, doc);
  } else if (method == "textDocument/didChange") {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    auto found = documents_.find(uri);
    if (found == documents_.end())
      throw RequestError(INVALID_PARAMS, "a change to " + uri + ", which is not open");
    Document& doc = found->second;
    for (const Json& change : params.at("contentChanges")) {
      const std::string text = change.at("text").get<std::string>();
      if (!change.contains("range")) {
        doc.text = LspText(text);
        continue;
      }
      const Json& range = change["range"];
      const std::size_t begin =
          doc.text.clampedOffset(positionOf(Json{{"position", range.at("start")}}));
      const std::size_t end =
          doc.text.clampedOffset(positionOf(Json{{"position", range.at("end")}}));
      doc.text.replace(begin, end, text);
    }
    doc.version = params["textDocument"].value("version", doc.version);
    reread(uri, doc);
  } else if (method == "textDocument/didClose") {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    if (documents_.erase(uri))
      send(Json{{"jsonrpc", "2.0"},
                {"method", "textDocument/publishDiagnostics"},
                {"params", {{"uri", uri}, {"diagnostics", Json::array()}}}});
  }
  // Other notifications (initialized, didSave, $/cancelRequest, ...) need nothing.
}

void LspServer::reread(const std::string& uri, Document& doc) {
  std::unique_ptr<LspBoard> board = LspBoard::read(doc.text.text(), doc.path, doc.errors);
  if (board) doc.board = std::move(board);
  send(Json{{"jsonrpc", "2.0"},
            {"method", "textDocument/publishDiagnostics"},
            {"params",
             {{"uri", uri},
              {"version", doc.version},
              {"diagnostics", diagnostics(doc.text, doc.errors, doc.board.get())}}}});
}

LspServer::Document* LspServer::documentOf(const Json& params) {
  auto found = documents_.find(params.at("textDocument").at("uri").get<std::string>());
  return found == documents_.end() ? nullptr : &found->second;
}

void LspServer::send(const Json& message) {
  // Bytes that are not UTF-8 (a board may hold any) are replaced rather than refused.
  const std::string body = message.dump(-1, ' ', false, Json::error_handler_t::replace);
  out_ << "Content-Length: " << body.size() << "\r\n\r\n" << body;
  out_.flush();
}

void LspServer::sendError(const Json& id, int code, const std::string& message) {
  send(Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

void LspServer::report(const std::string& problem) {
  log_ << "qbd lsp: " << problem << '\n';
  log_.flush();
  send(Json{{"jsonrpc", "2.0"},
            {"method", "window/logMessage"},
            {"params", {{"type", 1}, {"message", "qbd lsp: " + problem}}}});
}

}  // namespace qbdlsp
