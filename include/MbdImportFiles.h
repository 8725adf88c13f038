// Any file a board can be drafted from, read by its kind into the neutral pin table: a CSV pin
// table, a schematic netlist, or a constraint file through its format's reader (whose Tcl-syntax
// formats are evaluated in a safe interpreter, so this part lives in the Tcl-linked
// LyrWiz_MbdImport library). The program and the Python package read files through here.
#ifndef MBD_IMPORT_FILES_H
#define MBD_IMPORT_FILES_H

#include <string>
#include <vector>

#include "MbdExport.h"
#include "MbdImport.h"

namespace MbdImport {

struct FileOptions {
  std::string format;                // empty: by the file's extension (and a .pdc's content)
  std::vector<std::string> columns;  // a CSV table's columns; empty: its header line
  std::string fpga;                  // a netlist's FPGA part reference
  bool includeCommented = false;     // a constraint file's commented-out command lines
};

// Every format a file is imported as: "csv", "net", then the constraint formats.
LYRWIZ_MBD_EXPORT const std::vector<std::string>& ImportFormats();
// The format `path` (with contents `text`) is imported as: `given` in lower case when not
// empty, else "csv" for .csv/.txt/.tsv, "net" for .net, else the constraint format its
// extension and content name; empty when none does.
LYRWIZ_MBD_EXPORT std::string ImportFormatOf(const std::string& path, const std::string& text,
                                             const std::string& given);
// Reads `text`, the contents of `path` (which names it in messages), as `format`. A format
// ImportFormats does not list, or a netlist without options.fpga, is one error at line 0.
LYRWIZ_MBD_EXPORT TableRead ReadImportText(const std::string& format, const std::string& text,
                                           const std::string& path, const FileOptions& options);

}  // namespace MbdImport

#endif  // MBD_IMPORT_FILES_H
