// qbd params and qbd ports: the model's parameter and port tables of one instance.
#include <iostream>
#include <memory>
#include <unordered_map>

#include "Board.h"
#include "MbdRules.h"
#include "Commands.h"
#include "Suggest.h"
#include "ToolError.h"

namespace qbd {

namespace {

struct TableArgs : QueryArgs {
  std::string instance;
  std::string ioType;
};

// The instance the command is about: the one named, or the first of the IO type.
std::string resolveInstance(LoadedBoard& board, const TableArgs& args) {
  if (args.instance.empty() == args.ioType.empty())
    throw ToolError("qbd: error: give either an INSTANCE or --iotype", EXIT_USAGE);
  if (!args.instance.empty()) return str(board.instance(args.instance).GetName());
  const std::vector<StringBase> names =
      board.model().getInstanceNamesByIOType(StringBase(args.ioType), 0);
  if (names.empty()) {
    std::vector<std::string> types;
    for (const StringBase& type : board.model().getTrimedIOTypes()) types.push_back(str(type));
    throw ToolError(board.path() + ": error: no instance of IO type \"" + args.ioType + "\"" +
                    didYouMean(args.ioType, types));
  }
  return str(names.front());
}

// A table as an object from each key to its values, in the table's order.
Json tableJson(const MBD::Table& table) {
  Json object = Json::object();
  for (const auto& entry : table) {
    Json& values = object[str(entry.first)];
    if (values.is_null()) values = Json::array();
    values.push_back(str(entry.second));
  }
  return object;
}

// The first value inserted under the key (a multimap's find may give any of them).
std::string first(const MBD::Table& table, const StringBase& key) {
  const auto it = table.lower_bound(key);
  return it == table.end() || !(it->first == key) ? std::string() : str(it->second);
}

// Entries of the table other than the first of each listed key, as "key=value" words.
Json others(const Json& table, const std::vector<std::string>& shown) {
  Json result = Json::array();
  for (auto it = table.begin(); it != table.end(); ++it) {
    bool skipFirst = false;
    for (const std::string& key : shown) skipFirst = skipFirst || it.key() == key;
    for (std::size_t i = skipFirst ? 1 : 0; i < it->size(); ++i)
      result.push_back(it.key() + "=" + (*it)[i].get<std::string>());
  }
  return result;
}

Json paramsOf(LoadedBoard& board, const TableArgs& args) {
  const std::string name = resolveInstance(board, args);
  const std::vector<MBD::Table> tables = board.model().getParamsByIns(StringBase(name));
  // The model makes one table per parameter that has a role, in parameter order.
  std::vector<std::string> names;
  for (const LyrBase::Property* p :
       board.instance(name).GetPropSeqRef(LyrBoard::QbdBlock::PARAMETER))
    if (MbdRules::RoleOf(*p)) names.push_back(str(p->GetName()));
  Json rows = Json::array();
  for (std::size_t i = 0; i < tables.size(); ++i) {
    Json row;
    row["parameter"] = i < names.size() ? names[i] : std::string();
    row["value"] = first(tables[i], MBD::VALUE);
    row["io_is"] = first(tables[i], MBD::IOIS);
    row["table"] = tableJson(tables[i]);
    rows.push_back(row);
  }
  return Json{{"file", board.path()}, {"instance", name}, {"parameters", rows}};
}

void printParams(std::ostream& out, const Json& result) {
  Json rows = result["parameters"];
  for (Json& row : rows) row["other"] = others(row["table"], {"VALUE", "IO_IS"});
  out << "Instance: " << escapeControls(result["instance"].get<std::string>()) << "\n";
  printTable(out, rows,
             {{"PARAMETER", "parameter"}, {"VALUE", "value"}, {"IO_IS", "io_is"},
              {"OTHER", "other"}});
}

// One row per table of MBD::visitPortTables: a port's table for each FPGA pin on its connector,
// or, for a later port on a connector of several pins, one row naming the port that listed
// them, so that the rows grow with ports plus pins.
void portRows(LoadedBoard& board, const std::string& instance, bool table, const RowSink& sink) {
  board.model().visitPortTables(StringBase(instance), [&](const StringBase& port,
                                                          const MBD::Table& ports) {
    std::vector<std::string> constraints;
    const auto range = ports.equal_range(MBD::UCF_NET_STRING);
    for (auto it = range.first; it != range.second; ++it) constraints.push_back(str(it->second));
    const std::string sameNetAs = first(ports, StringBase("SAME_NET_AS"));
    Json row;
    row["port"] = str(port);
    row["io_is"] = first(ports, MBD::IOIS);
    row["connector"] = first(ports, MBD::CONNECTOR);
    row["loc"] = pinLocation(constraints);
    row["constraints"] = constraints;
    row["table"] = tableJson(ports);
    if (!table) {
      if (!sameNetAs.empty()) row["same_net_as"] = sameNetAs;
      return sink(row);
    }
    Json rest = row["table"];
    rest.erase("UCF_NET_STRING");
    rest.erase("SAME_NET_AS");
    row["other"] = others(rest, {"IO_IS", "CONNECTOR"});
    if (!sameNetAs.empty()) row["constraints"] = "same net as " + sameNetAs;
    sink(row);
  });
}

void printPorts(LoadedBoard& board, const TableArgs& args) {
  const std::string name = resolveInstance(board, args);
  if (args.json) {
    JsonStream json(std::cout);
    json.beginObject();
    json.key("file");
    json.value(board.path());
    json.key("instance");
    json.value(name);
    json.key("ports");
    json.beginArray();
    portRows(board, name, false, [&json](const Json& row) { json.value(row); });
    return json.finish();
  }
  std::cout << "Instance: " << escapeControls(name) << "\n";
  const RowSource rows = [&](const RowSink& sink) { portRows(board, name, true, sink); };
  streamTable(std::cout, rows,
              {{"PORT", "port"}, {"IO_IS", "io_is"}, {"CONNECTOR", "connector"}, {"LOC", "loc"},
               {"CONSTRAINTS", "constraints"}, {"OTHER", "other"}});
}

CLI::App* addTableQuery(CLI::App& app, const std::string& name, const std::string& description,
                        TableArgs& args) {
  CLI::App* cmd = addQuery(app, name, description, args);
  CLI::Option* instance = cmd->add_option("INSTANCE", args.instance, "Instance name");
  cmd->add_option("--iotype", args.ioType, "Use the first instance of this IO type")
      ->excludes(instance)
      ->check(nonEmpty());
  return cmd;
}

}  // namespace

void addTableCommands(CLI::App& app) {
  auto params = std::make_shared<TableArgs>();
  addTableQuery(app, "params", "Parameter tables (parameters with an IO_IS role) of an instance",
                *params)
      ->callback([params] {
        LoadedBoard board(params->board);
        emit(*params, paramsOf(board, *params), printParams);
      });
  auto ports = std::make_shared<TableArgs>();
  addTableQuery(app, "ports",
                "Port tables of an instance: each role port with the constraints of the FPGA "
                "pins on its connector",
                *ports)
      ->callback([ports] {
        LoadedBoard board(ports->board);
        printPorts(board, *ports);
      });
}

}  // namespace qbd
