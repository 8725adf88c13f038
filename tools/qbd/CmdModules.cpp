// qbd modules: the wizard module tree that the model builds from the board.
#include <iostream>
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

Json pinJson(const LyrWiz_Pin& p) {
  Json pin{{"name", str(p.name)}};
  if (p.GetInternalSignal()) pin["internal_signal"] = signalName(p.GetInternalSignal());
  if (p.GetExternalSignal()) pin["external_signal"] = signalName(p.GetExternalSignal());
  pin["properties"] = propertiesJson(p.properties);
  return pin;
}

Json moduleJson(const LyrWiz_Module& module) {
  Json params = Json::array();
  for (const LyrWiz_Param* p : module.GetParams())
    params.push_back({{"name", str(p->name)}, {"value", str(p->value)},
                      {"properties", propertiesJson(p->properties)}});
  Json pins = Json::array();
  for (const LyrWiz_Pin* p : module.GetPins()) pins.push_back(pinJson(*p));
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

void printPin(std::ostream& out, const Json& p, const std::string& indent) {
  out << indent << "pin " << cellText(p["name"]);
  if (p.contains("internal_signal")) out << "  <- " << cellText(p["internal_signal"]);
  if (p.contains("external_signal")) out << "  -> " << cellText(p["external_signal"]);
  out << pairsText(p["properties"]) << "\n";
}

// The module's own lines: its heading, properties, parameters and pins.
void printHead(std::ostream& out, const Json& module, const std::string& indent) {
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
  for (const Json& p : module["pins"]) printPin(out, p, inner);
}

// Writes the tree as the model hands it over: the top module's pins and children one at a
// time, each gone before the next is made, so that the output never needs the tree whole.
class ModuleWriter : public MBD::ModuleVisitor {
 public:
  ModuleWriter(std::ostream& out, const QueryArgs& args, const std::string& file)
      : out_(out), json_(out), args_(args) {
    if (!args_.json) return;
    json_.beginObject();
    json_.key("file");
    json_.value(file);
    json_.key("top");
  }

  void Top(const LyrWiz_Module& top, std::size_t signals) override {
    topSeen_ = true;
    Json head = moduleJson(top);
    head["signals"] = signals;
    if (!args_.json) return printHead(out_, head, "");
    json_.beginObject();
    for (const char* key : {"name", "properties", "signals", "params"}) {
      json_.key(key);
      json_.value(head[key]);
    }
    json_.key("pins");
    json_.beginArray();
  }

  void TopPin(const LyrWiz_Pin& pin) override {
    if (!args_.json) return printPin(out_, pinJson(pin), "  ");
    json_.value(pinJson(pin));
  }

  void Child(const LyrWiz_Module& child) override {
    if (!childSeen_ && args_.json) {
      json_.end();
      json_.key("children");
      json_.beginArray();
    }
    childSeen_ = true;
    if (!args_.json) return printHead(out_, moduleJson(child), "  ");
    json_.value(moduleJson(child));
  }

  void finish() {
    if (!args_.json) {
      if (!topSeen_) out_ << "(no FPGA block: the module tree is empty)\n";
      return;
    }
    if (!topSeen_) {
      LyrWiz_Module empty;
      json_.value(moduleJson(empty));
    } else if (!childSeen_) {
      json_.end();
      json_.key("children");
      json_.beginArray();
    }
    json_.finish();
  }

 private:
  std::ostream& out_;
  JsonStream json_;
  const QueryArgs& args_;
  bool topSeen_ = false;
  bool childSeen_ = false;
};

}  // namespace

void addModuleCommands(CLI::App& app) {
  auto args = std::make_shared<QueryArgs>();
  addQuery(app, "modules",
           "The wizard module tree built from the board: the FPGA block as top module, every "
           "other block as a child",
           *args)
      ->callback([args] {
        LoadedBoard board(args->board);
        MBD& model = board.model();
        ModuleWriter writer(std::cout, *args, board.path());
        model.visitModules(writer);
        writer.finish();
      });
}

}  // namespace qbd
