// qbd modules: the wizard module tree that the model builds from the board.
#include <memory>
#include <ostream>
#include <string>

#include "Board.h"
#include "Commands.h"
#include "LyrWiz_WizUtils/ArchDb.h"
#include "LyrWiz_WizUtils/Module.h"

namespace qbd {

namespace {

using Properties = std::multimap<StringBase, StringBase>;

// Properties as [key, value] pairs: keys repeat, and their order is the model's.
Json propertiesJson(const Properties& properties) {
  Json list = Json::array();
  for (const auto& entry : properties) list.push_back({str(entry.first), str(entry.second)});
  return list;
}

std::string signalName(const LyrWiz_Signal* signal) {
  return signal ? str(signal->name) : std::string();
}

Json moduleJson(const LyrWiz_Module& module) {
  Json params = Json::array();
  for (const LyrWiz_Param* p : module.GetParams())
    params.push_back({{"name", str(p->name)}, {"value", str(p->value)},
                      {"properties", propertiesJson(p->properties)}});
  Json pins = Json::array();
  for (const LyrWiz_Pin* p : module.GetPins()) {
    Json pin{{"name", str(p->name)}};
    if (p->GetInternalSignal()) pin["internal_signal"] = signalName(p->GetInternalSignal());
    if (p->GetExternalSignal()) pin["external_signal"] = signalName(p->GetExternalSignal());
    pin["properties"] = propertiesJson(p->properties);
    pins.push_back(pin);
  }
  Json children = Json::array();
  for (const LyrWiz_Module* child : module.GetChildModules()) children.push_back(moduleJson(*child));
  return Json{{"name", str(module.name)},
              {"properties", propertiesJson(module.properties)},
              {"signals", module.GetSignals().size()},
              {"params", params},
              {"pins", pins},
              {"children", children}};
}

std::string pairsText(const Json& properties) {
  std::string text;
  for (const Json& kv : properties)
    text += "  " + cellText(kv[0]) + "=" + cellText(kv[1]);
  return text;
}

void printModule(std::ostream& out, const Json& module, const std::string& indent) {
  out << indent << "module " << cellText(module["name"]);
  if (module["signals"].get<std::size_t>() != 0)
    out << "  (" << module["signals"].get<std::size_t>() << " signals)";
  out << "\n";
  const std::string inner = indent + "  ";
  for (const Json& kv : module["properties"])
    out << inner << "property " << cellText(kv[0]) << " = " << cellText(kv[1]) << "\n";
  for (const Json& p : module["params"])
    out << inner << "param " << cellText(p["name"]) << " = " << cellText(p["value"])
        << pairsText(p["properties"]) << "\n";
  for (const Json& p : module["pins"]) {
    out << inner << "pin " << cellText(p["name"]);
    if (p.contains("internal_signal")) out << "  <- " << cellText(p["internal_signal"]);
    if (p.contains("external_signal")) out << "  -> " << cellText(p["external_signal"]);
    out << pairsText(p["properties"]) << "\n";
  }
  for (const Json& child : module["children"]) printModule(out, child, inner);
}

}  // namespace

void addModuleCommands(CLI::App& app) {
  auto args = std::make_shared<QueryArgs>();
  addQuery(app, "modules",
           "The wizard module tree built from the board: the FPGA block as top module, every "
           "other block as a child",
           *args)
      ->callback([args] {
        LoadedBoard board(args->board);
        LyrWiz_Module top;
        board.model().setupModules(&top);
        Json result{{"file", board.path()}, {"top", moduleJson(top)}};
        emit(*args, result, [](std::ostream& out, const Json& r) {
          if (r["top"]["name"].get<std::string>().empty() && r["top"]["children"].empty()) {
            out << "(no FPGA block: the module tree is empty)\n";
            return;
          }
          printModule(out, r["top"], "");
        });
      });
}

}  // namespace qbd
