// The files a board can be drafted from, each read by its kind (a CSV pin table, a schematic
// netlist, a constraint file) into one neutral pin table, for qbd import and qbd diff.
#ifndef QBD_IMPORT_SOURCE_H
#define QBD_IMPORT_SOURCE_H

#include <memory>
#include <string>
#include <vector>

#include "LyrBoard.h"
#include "MbdImport.h"

namespace qbd {

struct ImportOptions {
  std::string format;                // empty: by each file's extension
  std::vector<std::string> columns;  // a CSV table's columns; empty: its header line
  std::string fpga;                  // a netlist's FPGA part
  bool includeCommented = false;     // a constraint file's commented-out lines
};

// True when the file is read as a board (.qbd, or --format qbd) rather than imported.
bool isBoardFile(const std::string& path, const std::string& format);

// The files read and merged into one table, with the readers' notes. Throws ToolError with
// every located error when a file does not read (nothing is written then).
struct ImportedTable {
  MbdPins::PinTable table;
  std::vector<MbdImport::Guess> notes;
};
ImportedTable readImport(const std::vector<std::string>& files, const ImportOptions& options);

// The format a file is imported as: "csv", "net", or a constraint format by its extension and
// content; empty when it cannot be told (the file is read to tell a .pdc's dialect).
std::string importFormatOf(const std::string& path);

// The formats qbd import reads, for help: "csv, net, ...".
std::string importFormats();

}  // namespace qbd

#endif  // QBD_IMPORT_SOURCE_H
