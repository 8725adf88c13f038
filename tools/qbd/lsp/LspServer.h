// The language server's protocol side: messages framed by a Content-Length header on a pair of
// streams, JSON-RPC requests and notifications, the server's lifecycle, and the open documents
// (their text, version and last good read). Each request is answered by one function of
// LspFeatures.h.
#ifndef QBD_LSP_SERVER_H
#define QBD_LSP_SERVER_H

#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "LspFeatures.h"

namespace qbdlsp {

class LspServer {
 public:
  // Serves messages read from `in`, answers on `out`; problems of the input go to `log`.
  LspServer(std::istream& in, std::ostream& out, std::ostream& log);
  ~LspServer();
  // Serves until an `exit` notification or the end of the input; the exit status: 0 after a
  // shutdown request, 1 when the input ended or `exit` came without one.
  int run();

  // Handles one message body as if it had arrived framed; for tests and benchmarks.
  void handle(const std::string& body);

 private:
  // An open document and what its text last read to.
  struct Document {
    std::string path;  // the file the URI names, for messages
    long long version = 0;
    LspText text;
    std::vector<LyrBoard::ReadError> errors;  // of the current text; empty when it reads
    std::unique_ptr<LspBoard> board;          // the last text that read; null before any did
  };
  // The next message body; false at the end of the input. A frame without a usable length is
  // reported and skipped.
  bool readMessage(std::string& body);
  void dispatch(const Json& message);
  Json request(const std::string& method, const Json& params);
  void notification(const std::string& method, const Json& params);
  void send(const Json& message);
  void sendError(const Json& id, int code, const std::string& message);
  void report(const std::string& problem);
  void reread(const std::string& uri, Document& doc);
  Document* documentOf(const Json& params);

  std::istream& in_;
  std::ostream& out_;
  std::ostream& log_;
  std::map<std::string, Document> documents_;
  bool initialized_ = false;
  bool shutdown_ = false;
  bool exit_ = false;
};

// The file a URI names (file:// with %-escapes decoded); the URI itself for another scheme.
std::string pathOfUri(const std::string& uri);

}  // namespace qbdlsp

#endif  // QBD_LSP_SERVER_H
