// Fuzz target: the CSV pin table and netlist readers and the draft built from what they read.
// The first byte picks the reader (even: CSV with its header line, odd: a netlist whose FPGA
// part is U1); the rest is the file. Errors are located inside the file; a table that reads
// gives a draft that prints, reads back as the same text, and lints without errors.
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "LyrBoard.h"
#include "MbdImport.h"
#include "MbdLint.h"

namespace {

using qbd_fuzz::Require;

unsigned LineCount(const std::string& text) {
  unsigned lines = 1;
  for (char c : text) lines += c == '\n';
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 65536) return 0;
  const bool netlist = data[0] & 1;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const MbdImport::TableRead read = netlist ? MbdImport::ReadNetlist(text, "f.net", "U1")
                                            : MbdImport::ReadPinCsv(text, "f.csv", {});
  const unsigned lines = LineCount(text);
  for (const MbdImport::ImportError& e : read.errors) {
    Require(e.line >= 1 && e.line <= lines, "an error outside the file: " + e.message);
    Require(!e.message.empty(), "an empty error message");
  }
  if (!read.errors.empty()) return 0;
  const MbdImport::Draft draft = MbdImport::BuildDraft(read.table, MbdImport::DraftOptions());
  const std::string printed = draft.board->WriteString().str();
  LyrBoard::Qbd again;
  Require(again.ReadString(printed.c_str(), "draft.qbd") == 0,
          "the draft does not read back: " + again.GetErrorText().str());
  Require(again.WriteString().str() == printed, "the draft prints differently once read back");
  for (const MbdLint::Finding& f : MbdLint::LintBoard(*draft.board, "draft.qbd"))
    Require(f.severity != MbdLint::Severity::Error, "the draft lints with an error: " +
                                                        MbdLint::FormatFinding(f));
  return 0;
}
