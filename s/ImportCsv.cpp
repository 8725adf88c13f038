// CSV pin tables: an RFC 4180 reader (quoted cells, "" for a quote, LF or CRLF) and the mapping
// of its columns onto the neutral pin settings. A line whose first cell starts with '#' is a
// comment; it heads the lines below it, as a comment heading does in a constraint file.
#include <cstdlib>
#include <unordered_map>

#include "ImportNames.h"
#include "MbdImport.h"

using MbdPins::PinRow;

namespace MbdImport {

namespace {

enum class Column { Name, Net, Port, Loc, IoStandard, Pull, Drive, Slew, Dir, Termination,
                    Frequency, Group, Heading, FpgaPin, PairSide, Partner, PassList, Malformed,
                    Ignore, Other };

struct ColumnName {
  const char* name;
  Column column;
};

// Header words and the column each names; compared in lower case with blanks and '-' as '_'.
const ColumnName kColumnNames[] = {
    {"name", Column::Name}, {"signal", Column::Name}, {"net_name", Column::Name},
    {"port_name", Column::Name}, {"signal_name", Column::Name},
    // Beside a name column these are the board net and the instance port (as the neutral
    // table is written); without one, either names the pin.
    {"net", Column::Net}, {"port", Column::Port},
    {"fpga_pin", Column::FpgaPin}, {"pair_side", Column::PairSide},
    {"partner", Column::Partner}, {"pass_through", Column::PassList},
    {"malformed", Column::Malformed}, {"frequency_hz", Column::Frequency},
    {"fpga_block", Column::Ignore}, {"file", Column::Ignore}, {"line", Column::Ignore},
    {"loc", Column::Loc}, {"location", Column::Loc}, {"pin", Column::Loc},
    {"ball", Column::Loc}, {"site", Column::Loc}, {"package_pin", Column::Loc},
    {"pad", Column::Loc}, {"pin_number", Column::Loc},
    {"iostandard", Column::IoStandard}, {"io_standard", Column::IoStandard},
    {"io_type", Column::IoStandard}, {"iotype", Column::IoStandard},
    {"standard", Column::IoStandard},
    {"pull", Column::Pull}, {"pullmode", Column::Pull}, {"pull_mode", Column::Pull},
    {"drive", Column::Drive}, {"drive_strength", Column::Drive}, {"current", Column::Drive},
    {"slew", Column::Slew}, {"slewrate", Column::Slew}, {"slew_rate", Column::Slew},
    {"dir", Column::Dir}, {"direction", Column::Dir},
    {"termination", Column::Termination}, {"term", Column::Termination},
    {"frequency", Column::Frequency}, {"freq", Column::Frequency}, {"clock", Column::Frequency},
    {"group", Column::Group}, {"instance", Column::Group}, {"interface", Column::Group},
    {"peripheral", Column::Group}, {"component", Column::Group},
    {"heading", Column::Heading}, {"section", Column::Heading},
    {"-", Column::Ignore}, {"skip", Column::Ignore}, {"comment", Column::Ignore},
    {"description", Column::Ignore}, {"note", Column::Ignore}, {"bank", Column::Ignore},
};

struct HeaderColumn {
  Column column = Column::Other;
  std::string key;  // a pass-through column's key, in upper case
};

std::string HeaderWord(const std::string& text) {
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == '-' || c == '\t') {
      if (!word.empty() && word.back() != '_') word += '_';
    } else {
      word += c;
    }
  }
  while (!word.empty() && word.back() == '_') word.pop_back();
  return Port_AsciiLower(word == "" && text.find('-') != std::string::npos ? "-" : word);
}

HeaderColumn Recognise(const std::string& text) {
  HeaderColumn header;
  const std::string word = HeaderWord(text);
  for (const ColumnName& name : kColumnNames)
    if (word == name.name) header.column = name.column;
  if (header.column == Column::Other) header.key = Port_AsciiUpper(word);
  return header;
}

struct Cell {
  std::string text;
  unsigned column = 1;
};

struct Record {
  unsigned line = 1;
  std::vector<Cell> cells;
};

// Splits the text into records; false (with the error) at the first malformed cell.
class CsvSplitter {
 public:
  CsvSplitter(const std::string& text, const std::string& source) : text_(text), source_(source) {}

  bool Next(Record& record, ImportError& error) {
    record = Record();
    record.line = line_;
    if (pos_ >= text_.size()) return false;
    for (;;) {
      Cell cell;
      cell.column = column_;
      if (!ReadCell(cell, error)) return false;
      record.cells.push_back(std::move(cell));
      if (pos_ >= text_.size()) return true;
      const char c = text_[pos_];
      Advance();
      if (c == ',') continue;
      return true;  // line end (consumed by ReadCell's stop)
    }
  }

  bool failed() const { return failed_; }

 private:
  void Advance() {
    if (text_[pos_] == '\n') {
      ++line_;
      column_ = 1;
    } else {
      ++column_;
    }
    ++pos_;
  }

  bool Fail(ImportError& error, unsigned line, unsigned column, const std::string& message) {
    error = ImportError{source_, line, column, message};
    failed_ = true;
    return false;
  }

  // Reads one cell, leaving the position at the ',' or '\n' after it (a '\r' before the '\n'
  // is dropped) or at the end.
  bool ReadCell(Cell& cell, ImportError& error) {
    std::size_t b = pos_;
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) Advance();
    if (pos_ < text_.size() && text_[pos_] == '"') {
      const unsigned line = line_, column = column_;
      Advance();
      for (;;) {
        if (pos_ >= text_.size())
          return Fail(error, line, column, "unterminated quoted cell: expected '\"', found end of file");
        if (text_[pos_] == '"') {
          if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
            cell.text += '"';
            Advance();
            Advance();
            continue;
          }
          Advance();
          break;
        }
        if (text_[pos_] == '\0') return Fail(error, line_, column_, "a NUL byte: not a text file");
        cell.text += text_[pos_];
        Advance();
      }
      while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r'))
        Advance();
      if (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\n')
        return Fail(error, line_, column_,
                    std::string("text after a quoted cell: expected ',' or the line end, found '") +
                        text_[pos_] + "'");
      return true;
    }
    pos_ = b;
    column_ = cell.column;
    while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\n') {
      if (text_[pos_] == '\0') return Fail(error, line_, column_, "a NUL byte: not a text file");
      if (text_[pos_] == '"')
        return Fail(error, line_, column_,
                    "a quote inside an unquoted cell: quote the whole cell and double the quote");
      Advance();
    }
    std::string raw = text_.substr(b, pos_ - b);
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    cell.text = Port_TrimBlanks(raw);
    return true;
  }

  const std::string& text_;
  const std::string& source_;
  std::size_t pos_ = 0;
  unsigned line_ = 1, column_ = 1;
  bool failed_ = false;
};

bool Blank(const Record& record) {
  for (const Cell& cell : record.cells)
    if (!cell.text.empty()) return false;
  return true;
}

// "100 MHz", "25MHz", "12e6", "32768 Hz": the frequency in Hz; false when it is none.
bool ReadFrequency(const std::string& text, double& hz) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end == begin || !(value > 0) || value > 1e12) return false;
  const std::string unit = Port_AsciiLower(Port_TrimBlanks(end));
  static const std::unordered_map<std::string, double> scale = {
      {"", 1}, {"hz", 1}, {"khz", 1e3}, {"mhz", 1e6}, {"ghz", 1e9}};
  auto found = scale.find(unit);
  if (found == scale.end()) return false;
  hz = value * found->second;
  return true;
}

void Split(const std::string& text, char separator, std::vector<std::string>& out);
void ReadPassList(const std::string& text, MbdPins::PinSettings& s);

class CsvTable {
 public:
  CsvTable(const std::string& source, TableRead& out) : source_(source), out_(out) {}

  bool SetColumns(const std::vector<std::string>& names, unsigned line) {
    columns_.clear();
    bool hasName = false;
    for (const std::string& name : names) {
      columns_.push_back(Recognise(name));
      hasName = hasName || columns_.back().column == Column::Name;
    }
    for (Column alias : {Column::Port, Column::Net}) {
      for (HeaderColumn& header : columns_)
        if (!hasName && header.column == alias) {
          header.column = Column::Name;
          hasName = true;
        }
    }
    if (!hasName) {
      out_.errors.push_back(ImportError{source_, line, 1,
                                        "no name column: expected one of name, signal, port, "
                                        "net among the columns"});
      return false;
    }
    return true;
  }

  bool Repeats(const std::vector<std::string>& names, const Record& record) const {
    if (record.cells.size() != names.size()) return false;
    for (std::size_t i = 0; i < names.size(); ++i)
      if (HeaderWord(record.cells[i].text) != HeaderWord(names[i])) return false;
    return true;
  }

  void AddRow(const Record& record) {
    if (record.cells.size() > columns_.size()) {
      const Cell& extra = record.cells[columns_.size()];
      out_.errors.push_back(ImportError{source_, record.line, extra.column,
                                        std::to_string(record.cells.size()) +
                                            " cells: expected at most " +
                                            std::to_string(columns_.size()) + ", one per column"});
      return;
    }
    PinRow row;
    row.file = source_;
    row.line = record.line;
    row.heading = heading_;
    for (std::size_t i = 0; i < record.cells.size(); ++i) Apply(columns_[i], record.cells[i], row);
    if (row.name.empty()) {
      out_.errors.push_back(ImportError{source_, record.line, 1, "a row without a name"});
      return;
    }
    out_.table.rows.push_back(std::move(row));
  }

  void SetHeading(const std::string& heading) { heading_ = heading; }

 private:
  void Apply(const HeaderColumn& header, const Cell& cell, PinRow& row) {
    const std::string& v = cell.text;
    if (v.empty()) return;
    MbdPins::PinSettings& s = row.settings;
    const std::string lower = Port_AsciiLower(v);
    switch (header.column) {
      case Column::Name: row.name = v; break;
      case Column::Loc: s.location = v; break;
      case Column::IoStandard: s.ioStandard = v; break;
      case Column::Pull:
        if (lower == "up" || lower == "pullup" || lower == "pull_up") s.pull = MbdPins::Pull::Up;
        else if (lower == "down" || lower == "pulldown" || lower == "pull_down") s.pull = MbdPins::Pull::Down;
        else if (lower == "keeper" || lower == "bus_keeper" || lower == "buskeeper") s.pull = MbdPins::Pull::Keeper;
        else if (lower == "none" || lower == "no" || lower == "off") s.pull = MbdPins::Pull::None;
        else s.malformed.push_back("PULL=" + v);
        break;
      case Column::Drive: {
        std::string digits = lower;
        if (digits.size() > 2 && digits.compare(digits.size() - 2, 2, "ma") == 0)
          digits = Port_TrimBlanks(digits.substr(0, digits.size() - 2));
        if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos)
          s.drive = digits;
        else
          s.malformed.push_back("DRIVE=" + v);
        break;
      }
      case Column::Slew: s.slew = Port_AsciiUpper(v); break;
      case Column::Dir:
        if (lower == "in" || lower == "input" || lower == "i") s.direction = MbdPins::Direction::In;
        else if (lower == "out" || lower == "output" || lower == "o") s.direction = MbdPins::Direction::Out;
        else if (lower == "inout" || lower == "io" || lower == "bidir" || lower == "bidirectional")
          s.direction = MbdPins::Direction::InOut;
        else s.malformed.push_back("DIR=" + v);
        break;
      case Column::Termination: s.termination = v; break;
      case Column::Frequency:
        if (!ReadFrequency(v, s.frequencyHz)) s.malformed.push_back("FREQUENCY=" + v);
        break;
      case Column::Net: row.net = v; break;
      case Column::Port: row.port = v; break;
      case Column::FpgaPin: row.fpgaPin = v; break;
      case Column::PairSide:
        if (lower == "p") row.pairSide = MbdPins::PairSide::P;
        else if (lower == "n") row.pairSide = MbdPins::PairSide::N;
        break;
      case Column::Partner: row.partner = v; break;
      case Column::PassList: ReadPassList(v, s); break;
      case Column::Malformed: Split(v, ';', s.malformed); break;
      case Column::Group: row.instance = v; break;
      case Column::Heading: row.heading = v; break;
      case Column::Ignore: break;
      case Column::Other: s.passThrough.push_back(MbdPins::PassThrough{header.key, v, true}); break;
    }
  }

  const std::string& source_;
  TableRead& out_;
  std::vector<HeaderColumn> columns_;
  std::string heading_;
};

// A list as the neutral table is written: "KEY=VALUE;FLAG;...".
void Split(const std::string& text, char separator, std::vector<std::string>& out) {
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find(separator, begin);
    if (end == std::string::npos) end = text.size();
    if (end > begin) out.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
}

void ReadPassList(const std::string& text, MbdPins::PinSettings& s) {
  std::vector<std::string> items;
  Split(text, ';', items);
  for (const std::string& item : items) {
    const std::size_t eq = item.find('=');
    if (eq == std::string::npos) s.passThrough.push_back(MbdPins::PassThrough{item, "", false});
    else s.passThrough.push_back(MbdPins::PassThrough{item.substr(0, eq), item.substr(eq + 1), true});
  }
}

// The text of a comment line after its '#' marks, trimmed; empty when it is not a comment.
bool CommentText(const Record& record, std::string& text) {
  if (record.cells.empty() || record.cells.front().text.empty() ||
      record.cells.front().text.front() != '#')
    return false;
  std::string joined;
  for (const Cell& cell : record.cells)
    joined += (joined.empty() ? "" : ", ") + cell.text;
  std::size_t b = joined.find_first_not_of("# \t");
  text = b == std::string::npos ? std::string() : Port_TrimBlanks(joined.substr(b));
  while (!text.empty() && (text.back() == ',' || text.back() == ' ')) text.pop_back();
  return true;
}

}  // namespace

TableRead ReadPinCsv(const std::string& text, const std::string& source,
                     const std::vector<std::string>& columns) {
  TableRead out;
  out.table.source = source;
  CsvSplitter splitter(text, source);
  CsvTable table(source, out);
  bool haveColumns = false;
  bool firstRecord = true;
  if (!columns.empty()) {
    if (!table.SetColumns(columns, 0)) {
      out.errors.back().line = 1;
      return out;
    }
    haveColumns = true;
  }
  Record record;
  ImportError error;
  constexpr std::size_t kMaxErrors = 20;
  while (splitter.Next(record, error)) {
    if (Blank(record)) continue;
    std::string comment;
    if (CommentText(record, comment)) {
      if (!comment.empty()) table.SetHeading(comment);
      continue;
    }
    const bool first = firstRecord;
    firstRecord = false;
    if (!haveColumns) {
      std::vector<std::string> names;
      for (const Cell& cell : record.cells) names.push_back(cell.text);
      if (!table.SetColumns(names, record.line)) return out;
      haveColumns = true;
      continue;
    }
    if (first && table.Repeats(columns, record)) continue;
    table.AddRow(record);
    if (out.errors.size() >= kMaxErrors) break;
  }
  if (splitter.failed()) out.errors.push_back(error);
  if (!haveColumns && out.errors.empty())
    out.errors.push_back(ImportError{source, 1, 1, "empty pin table: expected a header line"});
  return out;
}

}  // namespace MbdImport
