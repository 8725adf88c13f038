// qbd clocks, qbd reset and qbd memory: the board's clock sources, reset polarity, flash
// memories and the memory sizes the wizard offers.
#include <cctype>
#include <charconv>
#include <iostream>
#include <memory>
#include <ostream>

#include "Board.h"
#include "MbdRules.h"
#include "Commands.h"
#include "ToolError.h"

namespace qbd {

namespace {

// One RANGE element as the model reads it (MbdRules): one number is that frequency alone, two
// a span in which every frequency goes (step 0), three a span with a step. An element of any
// other size is kept as text under "invalid".
Json rangeJson(const std::vector<StringBase>& element, const StringBase& clock) {
  MBD::ClkRng record;
  if (!MbdRules::RangeRecord(element, clock, record)) {
    std::string text;
    for (const StringBase& s : element)
      text += (text.empty() ? "" : ", ") + Port_TrimBlanks(str(s));
    return Json{{"invalid", "(" + text + ")"}};
  }
  return Json{{"min", record.minFreq}, {"max", record.maxFreq}, {"step", record.stepFreq}};
}

std::string rangeText(const Json& range) {
  if (range.contains("invalid")) return "invalid " + range["invalid"].get<std::string>();
  const auto min = range["min"].get<unsigned long long>();
  const auto max = range["max"].get<unsigned long long>();
  const auto step = range["step"].get<unsigned long long>();
  if (min == max) return std::to_string(min);
  std::string text = std::to_string(min) + "-" + std::to_string(max);
  return step > 1 ? text + " step " + std::to_string(step) : text;
}

// The frequency in hertz as a number; null when the board gives none or not a plain number.
Json frequencyJson(const StringBase& frequency) {
  StringBase text = frequency;
  text.Trim(" \t", StringBase::TRIM_BOTH);
  if (text.IsEmpty() || !MbdRules::IsPlainNumber(text)) return Json();
  return MbdRules::FrequencyOf(text);
}

Json clockRow(const LyrBoard::QbdBlock& block, const StringBase& frequency) {
  Json ranges = Json::array();
  bool unrestricted = false;
  for (const LyrBase::Property* p : block.GetPropSeqRef(LyrBoard::QbdBlock::PARAMETER)) {
    if (!MbdRules::IsFrequencyParam(*p)) continue;
    const LyrBase::PsfComp* range = MbdRules::RangeOf(*p);
    if (!range) unrestricted = true;
    if (range)
      for (const auto& element : MbdRules::RangeElements(*range))
        ranges.push_back(rangeJson(element, block.GetName()));
  }
  return Json{{"instance", str(block.GetName())},
              {"frequency", frequencyJson(frequency)},
              {"frequency_text", str(frequency)},
              {"corename", attribute(block, MBD::ADAPTER_NAME)},
              {"unrestricted", unrestricted},
              {"ranges", ranges}};
}

Json clocksOf(LoadedBoard& board) {
  MBD& model = board.model();
  // The model lists clock instances in board order, one frequency each, as this walk does.
  const std::vector<StringBase> frequencies = model.getClkFreqSeq();
  Json rows = Json::array();
  std::size_t i = 0;
  for (const LyrBoard::QbdBlock* block : blocks(board.tree())) {
    if (!MbdRules::HasIoType(*block, MBD::IOTYPE_CLOCK)) continue;
    rows.push_back(clockRow(*block, i < frequencies.size() ? frequencies[i] : StringBase()));
    ++i;
  }
  return Json{{"file", board.path()}, {"clocks", rows}};
}

void printClocks(std::ostream& out, const Json& result) {
  Json rows = result["clocks"];
  for (Json& row : rows) {
    Json texts = Json::array();
    if (row["unrestricted"].get<bool>()) texts.push_back("any");
    for (const Json& range : row["ranges"]) texts.push_back(rangeText(range));
    row["ranges"] = texts;
  }
  printTable(out, rows,
             {{"INSTANCE", "instance"}, {"FREQUENCY", "frequency_text"}, {"CORENAME", "corename"},
              {"RANGES", "ranges"}});
}

// A frequency in hertz: digits with an optional Hz, kHz, MHz or GHz (or k, M, G) suffix and,
// with a suffix, a decimal fraction; the result must fit 32 bits.
unsigned int parseFrequency(const std::string& text) {
  const auto bad = [&text] {
    return ToolError("qbd: error: bad frequency \"" + text +
                     "\" (expected a number of hertz, e.g. 100000000 or 100MHz)");
  };
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  unsigned long long whole = 0, fraction = 0, fractionScale = 1;
  auto read = std::from_chars(begin, end, whole, 10);
  if (read.ec != std::errc() || whole > 0xFFFFFFFFull * 1000) throw bad();
  const char* p = read.ptr;
  if (p != end && *p == '.' && p + 1 != end && std::isdigit(static_cast<unsigned char>(p[1]))) {
    const char* digits = p + 1;
    read = std::from_chars(digits, end, fraction, 10);
    if (read.ec != std::errc() || read.ptr - digits > 9) throw bad();
    for (const char* d = digits; d != read.ptr; ++d) fractionScale *= 10;
    p = read.ptr;
  } else if (p != end && *p == '.') {
    ++p;
  }
  const StringBase unit(Port_TrimBlanks(std::string(p, end)));
  unsigned long long scale = 1;
  const auto is = [&unit](const char* a, const char* b) {
    return EqualsIgnoringCase(unit, StringBase(a)) || EqualsIgnoringCase(unit, StringBase(b));
  };
  if (is("k", "khz")) scale = 1000;
  else if (is("m", "mhz")) scale = 1000000;
  else if (is("g", "ghz")) scale = 1000000000;
  else if (!unit.IsEmpty() && !is("hz", "hz")) throw bad();
  if (fraction * scale % fractionScale != 0) throw bad();
  const unsigned long long hz = whole * scale + fraction * scale / fractionScale;
  if (hz > 0xFFFFFFFFull) throw bad();
  return static_cast<unsigned int>(hz);
}

struct ClockArgs : QueryArgs {
  std::string find;
};

void findClock(LoadedBoard& board, const ClockArgs& args) {
  const unsigned int freq = parseFrequency(args.find);
  const std::string instance = str(board.model().findClkInst(freq));
  const Json result{{"file", board.path()},
                    {"frequency", freq},
                    {"instance", instance.empty() ? Json() : Json(instance)}};
  emit(args, result, [](std::ostream& out, const Json& r) {
    if (!r["instance"].is_null()) out << r["instance"].get<std::string>() << "\n";
  });
  if (instance.empty()) {
    // The answer "none" is complete: it goes to its file, and the exit status says it.
    std::cerr << board.path() << ": error: no clock instance delivers " << freq << " Hz\n";
    throw ToolError("", EXIT_FAILED);
  }
}

Json resetOf(LoadedBoard& board) {
  std::string instance;
  for (const LyrBoard::QbdBlock* block : blocks(board.tree())) {
    if (MbdRules::HasIoType(*block, MBD::IOTYPE_RESET)) {
      instance = str(block->GetName());
      break;
    }
  }
  return Json{{"file", board.path()},
              {"instance", instance},
              {"polarity", str(board.model().getRstPolarity())}};
}

struct MemoryArgs : QueryArgs {
  std::vector<std::string> buses{"lmb", "opb", "plb"};
  std::vector<std::string> caches{"icache", "dcache"};
};

Json numbers(const std::vector<unsigned int>& values) {
  Json list = Json::array();
  for (unsigned int v : values) list.push_back(v);
  return list;
}

// A size as written in decimal, hexadecimal (0x) or octal; null when it is not such a number.
Json sizeNumber(const std::string& text) {
  const std::string t = Port_TrimBlanks(text);
  unsigned long long value = 0;
  int base = 10;
  std::size_t start = 0;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    start = 2;
  }
  const char* end = t.data() + t.size();
  const auto read = std::from_chars(t.data() + start, end, value, base);
  if (t.empty() || read.ec != std::errc() || read.ptr != end) return Json();
  return value;
}

// The external memories: every instance of a memory IO type and every instance with a
// MEMORY_TYPE parameter, with its kind and size.
Json externalMemories(LoadedBoard& board) {
  Json list = Json::array();
  for (const LyrBoard::QbdBlock* block : blocks(board.tree())) {
    const StringBase type = MbdRules::AttributeOf(*block, MBD::IO_TYPE);
    const LyrBase::Property* size = MbdRules::MemorySizeParam(*block);
    const StringBase kind = size ? MbdRules::MemoryTypeOf(*size) : StringBase();
    if (!MbdRules::IsMemoryIoType(type) && kind.IsEmpty()) continue;
    const std::string sizeText = size ? str(size->GetValueStr()) : std::string();
    list.push_back({{"instance", str(block->GetName())},
                    {"iotype", str(type)},
                    {"memory_type", str(kind)},
                    {"size_parameter", size ? Json(str(size->GetName())) : Json()},
                    {"size_bytes", sizeNumber(sizeText)},
                    {"size_text", sizeText}});
  }
  return list;
}

Json memoryOf(LoadedBoard& board, const MemoryArgs& args) {
  MBD& model = board.model();
  Json flash = Json::array();
  for (const auto& mem : model.getReadOnlyMems())
    flash.push_back({{"instance", str(mem.first)}, {"io_is", str(mem.second)}});
  Json bram = Json::array();
  for (const std::string& bus : args.buses)
    bram.push_back({{"bus", bus},
                    {"sizes_kb", numbers(model.getBramSizeList(StringBase(bus)))},
                    {"default_kb", model.getDefBramSize(StringBase(bus))}});
  Json caches = Json::array();
  for (const std::string& kind : args.caches)
    caches.push_back({{"kind", kind}, {"sizes", numbers(model.getPNCacheSizeList(StringBase(kind)))}});
  return Json{{"file", board.path()}, {"family", str(model.getArch())},
              {"memories", externalMemories(board)}, {"flash", flash}, {"bram", bram},
              {"cache", caches}};
}

void printMemory(std::ostream& out, const Json& result) {
  out << "FPGA family: " << cellText(result["family"]) << "\n\nExternal memories\n";
  printTable(out, result["memories"],
             {{"INSTANCE", "instance"}, {"IOTYPE", "iotype"}, {"MEMORY_TYPE", "memory_type"},
              {"SIZE", "size_text"}, {"PARAMETER", "size_parameter"}});
  out << "\nFlash memories\n";
  printTable(out, result["flash"], {{"INSTANCE", "instance"}, {"IO_IS", "io_is"}});
  out << "\nBlock RAM (sizes divided by 1023)\n";
  printTable(out, result["bram"],
             {{"BUS", "bus"}, {"DEFAULT", "default_kb"}, {"SIZES", "sizes_kb"}});
  out << "\nProcessor cache sizes\n";
  printTable(out, result["cache"], {{"KIND", "kind"}, {"SIZES", "sizes"}});
}

}  // namespace

void addClockCommands(CLI::App& app) {
  auto clocks = std::make_shared<ClockArgs>();
  CLI::App* cmd = addQuery(app, "clocks",
                           "Clock instances with frequency and ranges; --find names the instance "
                           "that delivers a frequency",
                           *clocks);
  cmd->add_option("--find", clocks->find,
                  "Frequency to look for (hertz; 100000000, 100MHz, 25k ...); exit 1 when no "
                  "clock instance delivers it")
      ->check(nonEmpty());
  cmd->callback([clocks] {
    LoadedBoard board(clocks->board);
    if (!clocks->find.empty()) return findClock(board, *clocks);
    emit(*clocks, clocksOf(board), printClocks);
  });

  auto reset = std::make_shared<QueryArgs>();
  addQuery(app, "reset", "Reset polarity of the first reset instance, as written", *reset)
      ->callback([reset] {
        LoadedBoard board(reset->board);
        emit(*reset, resetOf(board), [](std::ostream& out, const Json& r) {
          printFields(out, r, {{"Reset instance", "instance"}, {"Polarity", "polarity"}});
        });
      });

  auto memory = std::make_shared<MemoryArgs>();
  cmd = addQuery(app, "memory",
                 "External memories (DDR, SDRAM, flash) with their sizes, flash memories, block-RAM sizes "
                 "with their default, processor cache sizes",
                 *memory);
  cmd->add_option("--bus", memory->buses, "Buses for block-RAM sizes (default lmb opb plb)")
      ->check(nonEmpty());
  cmd->add_option("--cache", memory->caches, "Cache kinds (default icache dcache)")
      ->check(nonEmpty());
  cmd->callback([memory] {
    LoadedBoard board(memory->board);
    emit(*memory, memoryOf(board, *memory), printMemory);
  });
}

}  // namespace qbd
