// qbd pins and qbd constraints: the FPGA pins with what is wired to them, and the pin
// constraints of instance ports written as constraint-file lines.
#include <cctype>
#include <memory>
#include <ostream>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "Board.h"
#include "MbdRules.h"
#include "Commands.h"
#include "MbdWiring.h"
#include "ToolError.h"

namespace qbd {

namespace {

std::string portName(const PortRef& ref) {
  return str(ref.block->GetName()) + "." + str(ref.port->GetName());
}

Json pinsOf(LoadedBoard& board) {
  const MbdWiring index(board.tree());
  Json rows = Json::array();
  for (const PortRef& pin : index.FpgaPins()) {
    const std::string net = str(pin.port->GetValueStr());
    const std::vector<std::string> constraints = constraintStrings(*pin.port);
    Json wired = Json::array();
    for (const PortRef& port : index.PortsOn(net)) wired.push_back(portName(port));
    Json row;
    row["fpga_block"] = str(pin.block->GetName());
    row["pin"] = str(pin.port->GetName());
    row["net"] = net;
    row["loc"] = pinLocation(constraints);
    row["constraints"] = constraints;
    row["wired_to"] = wired;
    rows.push_back(row);
  }
  return Json{{"file", board.path()}, {"pins", rows}};
}

void printPins(std::ostream& out, const Json& result) {
  Json rows = result["pins"];
  for (Json& row : rows) {
    Json other = Json::array();
    for (const Json& c : row["constraints"])
      if (!isLocation(c.get<std::string>())) other.push_back(c);
    row["other"] = other;
  }
  printTable(out, rows,
             {{"PIN", "pin"}, {"NET", "net"}, {"LOC", "loc"}, {"CONSTRAINTS", "other"},
              {"WIRED TO", "wired_to"}});
}

struct ConstraintArgs : QueryArgs {
  std::vector<std::string> instances;
};

// The instances asked for, in the order given; all of them when none was named.
std::vector<LyrBoard::QbdBlock*> chosen(LoadedBoard& board, const MbdWiring& index,
                                        const std::vector<std::string>& names) {
  if (names.empty()) return index.Instances();
  std::vector<LyrBoard::QbdBlock*> result;
  for (const std::string& name : names) result.push_back(&board.instance(name));
  return result;
}

// A quoted string of the constraint file: quotes and backslashes escaped with a backslash,
// control characters spelled out, so that no text from the board can end the string or the line.
std::string quoted(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '"' || c == '\\') result += '\\';
    result += c;
  }
  return "\"" + escapeControls(result) + "\"";
}

// True for a key the constraint file can hold unquoted: letters, digits and '_' only.
bool isWord(const std::string& key) {
  if (key.empty()) return false;
  for (unsigned char c : key)
    if (!std::isalnum(c) && c != '_') return false;
  return true;
}

// NET "net" KEY = "value";  or  NET "net" FLAG;  for a plain flag. A key that is not a word
// cannot be written unquoted, so it becomes a comment instead of a line.
std::string constraintLine(const std::string& net, const MbdRules::Constraint& c) {
  const std::string key = str(c.key);
  if (!isWord(key))
    return "# not written: the key " + quoted(key) + " of net " + quoted(net) +
           " is not a word";
  std::string line = "NET " + quoted(net) + " " + key;
  if (c.hasValue) line += " = " + quoted(str(c.value));
  return line + ";";
}

// The lines of one constraint string: one per assignment, or none (and the string under
// "malformed") when it is none of the forms.
void addLines(const std::string& net, const std::string& text, Json& lines, Json& malformed) {
  const MbdRules::ConstraintReading reading = MbdRules::ReadConstraint(StringBase(text));
  if (reading.form == MbdRules::ConstraintForm::Malformed) {
    malformed.push_back(text);
    return;
  }
  for (const MbdRules::Constraint& c : reading.items)
    lines.push_back({{"key", str(c.key)}, {"value", c.hasValue ? Json(str(c.value)) : Json()},
                     {"text", constraintLine(net, c)}});
}

Json constraintsOf(LoadedBoard& board, const ConstraintArgs& args) {
  const MbdWiring index(board.tree());
  // A string is written once per net, however many ports share the net (ignoring case).
  std::unordered_set<StringBase, CaseBlindHash, CaseBlindEqual> written;
  // A net is written with the first port on it: every later port on it would only repeat
  // (net, constraint) pairs already written, and visiting its pins again for each port would
  // make the work grow with the square of the ports on one net.
  std::unordered_set<StringBase, CaseBlindHash, CaseBlindEqual> netsDone;
  Json groups = Json::array();
  Json unconnected = Json::array();
  for (LyrBoard::QbdBlock* block : chosen(board, index, args.instances)) {
    for (LyrBase::Property* port : block->GetPropSeqRef(LyrBoard::QbdBlock::PORT)) {
      const std::string net = str(port->GetValueStr());
      const PortRef self{block, port};
      const std::vector<PortRef>& pins = index.PinsOn(net);
      if (pins.empty()) {
        unconnected.push_back({{"port", portName(self)}, {"net", net}});
        continue;
      }
      if (!netsDone.insert(StringBase(net)).second) continue;
      for (const PortRef& pin : pins) {
        Json lines = Json::array();
        Json malformed = Json::array();
        for (const std::string& text : constraintStrings(*pin.port)) {
          if (!written.insert(StringBase(net + '\0' + text)).second) continue;
          addLines(net, text, lines, malformed);
        }
        Json group{{"port", portName(self)}, {"net", net}, {"pin", portName(pin)},
                   {"constraints", lines}};
        if (!malformed.empty()) group["malformed"] = malformed;
        groups.push_back(group);
      }
    }
  }
  return Json{{"file", board.path()}, {"nets", groups}, {"unconnected", unconnected}};
}

// Comment lines hold board text with its control characters spelled out, so that a name can
// never end the comment and start a line of its own.
void printConstraints(std::ostream& out, const Json& result) {
  const auto text = [](const Json& value) { return escapeControls(value.get<std::string>()); };
  out << "# Pin constraints from " << text(result["file"]) << "\n";
  for (const Json& group : result["nets"]) {
    if (group["constraints"].empty() && !group.contains("malformed")) continue;
    out << "# " << text(group["port"]) << " -> " << text(group["pin"]) << "\n";
    for (const Json& line : group["constraints"]) out << text(line["text"]) << "\n";
    if (group.contains("malformed"))
      for (const Json& bad : group["malformed"])
        out << "# skipped \"" << text(bad) << "\": not " << MbdRules::ConstraintFormsText()
            << "\n";
  }
  for (const Json& port : result["unconnected"])
    out << "# " << text(port["port"]) << ": no FPGA pin carries net "
        << (port["net"].get<std::string>().empty() ? "(none)" : text(port["net"])) << "\n";
}

}  // namespace

void addPinCommands(CLI::App& app) {
  auto pins = std::make_shared<QueryArgs>();
  addQuery(app, "pins",
           "Every FPGA pin with its net, location, other constraints and the instance ports "
           "wired to it",
           *pins)
      ->callback([pins] {
        LoadedBoard board(pins->board);
        board.model();  // a generic template is shown expanded, as the model sees it
        emit(*pins, pinsOf(board), printPins);
      });

  auto args = std::make_shared<ConstraintArgs>();
  CLI::App* cmd = addQuery(app, "constraints",
                           "Pin constraints of the instances' ports as constraint-file lines "
                           "(NET \"net\" KEY = \"value\";)",
                           *args);
  cmd->add_option("INSTANCE", args->instances, "Instances (all when none is given)");
  cmd->callback([args] {
    LoadedBoard board(args->board);
    board.model();
    emit(*args, constraintsOf(board, *args), printConstraints);
  });
}

}  // namespace qbd
