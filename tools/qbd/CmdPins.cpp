// qbd pins and qbd constraints: the FPGA pins with what is wired to them, and the pin
// constraints of instance ports written as constraint-file lines.
#include <iostream>
#include <memory>
#include <ostream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "Board.h"
#include "MbdConstraintWriter.h"
#include "MbdRules.h"
#include "Commands.h"
#include "Export.h"
#include "MbdWiring.h"
#include "Suggest.h"
#include "ToolError.h"

namespace qbd {

namespace {

std::string portName(const PortRef& ref) {
  return str(ref.block->GetName()) + "." + str(ref.port->GetName());
}

// One row per FPGA pin. A net that joins several pins and several instance ports lists its
// ports at its first pin only, and each later pin names that pin under "same_net_as": listing
// them at every pin would grow with pins times ports on one net.
// Only the pins of net `only` (as the model matches nets) when it is not empty.
void pinRows(const MbdWiring& index, bool table, const std::string& only, const RowSink& sink) {
  for (const PortRef& pin : index.FpgaPins()) {
    const std::string net = str(pin.port->GetValueStr());
    if (!only.empty() && !MbdRules::CarriesConnector(StringBase(net), StringBase(only))) continue;
    const std::vector<std::string> constraints = constraintStrings(*pin.port);
    const auto ports = index.PortsOn(net);
    const auto pins = index.PinsOn(net);
    const bool shared = index.IsSharedNet(net) && pins.front().port != pin.port;
    Json wired = Json::array();
    if (!shared)
      for (const PortRef& port : ports) wired.push_back(portName(port));
    Json row;
    row["fpga_block"] = str(pin.block->GetName());
    row["pin"] = str(pin.port->GetName());
    row["net"] = net;
    row["loc"] = pinLocation(constraints);
    row["constraints"] = constraints;
    if (table) {
      // The table shows the constraints other than the location, and names the first pin
      // of a shared net in place of its ports.
      Json other = Json::array();
      for (const std::string& c : constraints)
        if (!isLocation(c)) other.push_back(c);
      row["other"] = other;
      row["wired_to"] = shared ? Json("same net as " + portName(pins.front())) : wired;
    } else {
      row["wired_to"] = wired;
      if (shared) row["same_net_as"] = portName(pins.front());
    }
    sink(row);
  }
}

struct PinArgs : QueryArgs {
  std::string net;
};

// Refuses a net that no FPGA pin carries, naming the nearest one that some pin does.
void checkNet(const LoadedBoard& board, const MbdWiring& index, const std::string& net) {
  if (net.empty() || !index.PinsOn(StringBase(net)).empty()) return;
  std::vector<std::string> nets;
  for (const PortRef& pin : index.FpgaPins()) nets.push_back(str(pin.port->GetValueStr()));
  throw ToolError(board.path() + ": error: no FPGA pin carries net \"" + net + "\"" +
                  didYouMean(net, nets));
}

void printPins(LoadedBoard& board, const PinArgs& args) {
  const MbdWiring index(board.tree());
  checkNet(board, index, args.net);
  if (args.json) {
    JsonStream json(std::cout);
    json.beginObject();
    json.key("file");
    json.value(board.path());
    json.key("pins");
    json.beginArray();
    pinRows(index, false, args.net, [&json](const Json& row) { json.value(row); });
    return json.finish();
  }
  const RowSource rows = [&index, &args](const RowSink& sink) {
    pinRows(index, true, args.net, sink);
  };
  streamTable(std::cout, rows,
              {{"PIN", "pin"}, {"NET", "net"}, {"LOC", "loc"}, {"CONSTRAINTS", "other"},
               {"WIRED TO", "wired_to"}});
}

// The instances asked for, in the order given; all of them when none was named.
std::vector<LyrBoard::QbdBlock*> chosen(LoadedBoard& board, const MbdWiring& index,
                                        const std::vector<std::string>& names) {
  if (names.empty()) return index.Instances();
  std::vector<LyrBoard::QbdBlock*> result;
  for (const std::string& name : names) result.push_back(&board.instance(name));
  return result;
}

// The lines of one constraint string, as the ucf form writes them with controls spelled out
// as everywhere on the terminal: one per assignment, or none (and the string under
// "malformed") when it is none of the forms.
void addLines(const std::string& net, const std::string& text, Json& lines, Json& malformed) {
  std::vector<MbdFormats::UcfLine> ucf;
  if (!MbdFormats::UcfLines(net, text, ucf, escapeControls)) {
    malformed.push_back(text);
    return;
  }
  for (const MbdFormats::UcfLine& line : ucf)
    lines.push_back({{"key", line.key}, {"value", line.hasValue ? Json(line.value) : Json()},
                     {"text", line.text}});
}

// The groups of lines, in order: for each port of the chosen instances whose net reaches an
// FPGA pin, one group per pin of that net, written with the first such port on the net only.
// Every later port on it would repeat the same (net, constraint) pairs, and visiting the pins
// again for each port would make the work grow with the square of the ports on one net.
void constraintGroups(const MbdWiring& index, const std::vector<LyrBoard::QbdBlock*>& blocks,
                      bool all, const RowSink& sink) {
  // With every instance chosen, the first port on a net is the index's first; a named subset
  // keeps its own record of the nets it has written (ignoring case, as nets match).
  std::unordered_set<StringBase, CaseBlindHash, CaseBlindEqual> netsDone;
  for (LyrBoard::QbdBlock* block : blocks) {
    for (LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const std::string net = str(port->GetValueStr());
      const auto pins = index.PinsOn(net);
      if (pins.empty()) continue;
      if (all ? index.PortsOn(net).front().port != port
              : !netsDone.insert(StringBase(net)).second)
        continue;
      const PortRef self{block, port};
      // A string is written once per net, however many pins on it carry it.
      std::unordered_set<std::string> written;
      for (const PortRef& pin : pins) {
        Json lines = Json::array();
        Json malformed = Json::array();
        for (const std::string& text : constraintStrings(*pin.port)) {
          if (!written.insert(text).second) continue;
          addLines(net, text, lines, malformed);
        }
        Json group{{"port", portName(self)}, {"net", net}, {"pin", portName(pin)},
                   {"constraints", lines}};
        if (!malformed.empty()) group["malformed"] = malformed;
        sink(group);
      }
    }
  }
}

// The ports of the chosen instances whose net reaches no FPGA pin, in order.
void unconnectedPorts(const MbdWiring& index, const std::vector<LyrBoard::QbdBlock*>& blocks,
                      const RowSink& sink) {
  for (LyrBoard::QbdBlock* block : blocks)
    for (LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const std::string net = str(port->GetValueStr());
      if (index.PinsOn(net).empty())
        sink(Json{{"port", portName(PortRef{block, port})}, {"net", net}});
    }
}

// The constraints as JSON, the lines each would be in the ucf form; every other form is the
// library's writers' (CmdExport.cpp).
void printConstraintsJson(LoadedBoard& board, const ExportArgs& args) {
  const MbdWiring index(board.tree());
  const std::vector<LyrBoard::QbdBlock*> blocks = chosen(board, index, args.instances);
  const bool all = args.instances.empty();
  JsonStream json(std::cout);
  const RowSink item = [&json](const Json& row) { json.value(row); };
  json.beginObject();
  json.key("file");
  json.value(board.path());
  json.key("nets");
  json.beginArray();
  constraintGroups(index, blocks, all, item);
  json.end();
  json.key("unconnected");
  json.beginArray();
  unconnectedPorts(index, blocks, item);
  json.finish();
}

}  // namespace

void addPinCommands(CLI::App& app) {
  auto pins = std::make_shared<PinArgs>();
  CLI::App* pinsCommand =
      addQuery(app, "pins",
               "Every FPGA pin with its net, location, other constraints and the instance ports "
               "wired to it (a net of several pins and ports lists its ports at its first pin)",
               *pins);
  pinsCommand->add_option("--net", pins->net, "Only the pins of this net (ignoring case)")
      ->check(nonEmpty());
  pinsCommand->callback([pins] {
    LoadedBoard board(pins->board);
    board.model();  // a generic template is shown expanded, as the model sees it
    printPins(board, *pins);
  });

  auto args = std::make_shared<ExportArgs>();
  CLI::App* cmd = addQuery(app, "constraints",
                           "Pin constraints of the instances' ports as a constraint file "
                           "(--format ucf: NET \"net\" KEY = \"value\";), checked first",
                           *args);
  cmd->add_option("INSTANCE", args->instances, "Instances (all when none is given)");
  cmd->add_option("--format", args->format, choiceList(MbdFormats::WriterFormats(), "ucf"))
      ->check(nonEmpty());
  cmd->add_flag("--strict", args->strict,
                "Fail when the format cannot express a setting of an exported port");
  addExportOptions(*cmd, *args);
  cmd->get_option("--strict")->excludes("--lenient");
  cmd->callback([args] {
    if (!args->json) return writeConstraints(*args);
    if (args->format != "ucf" || !args->output.empty())
      throw ToolError("qbd: error: --json lists the constraints as ucf lines on standard "
                      "output; the neutral table is --format json",
                      EXIT_USAGE);
    LoadedBoard board(args->board);
    board.model();
    printConstraintsJson(board, *args);
  });
}

}  // namespace qbd
