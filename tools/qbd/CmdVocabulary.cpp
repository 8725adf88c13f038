// qbd iotypes, qbd roles and qbd families: the words a board may use, as the library knows
// them, so that a board's author need not read the library to learn them.
#include <iostream>
#include <memory>

#include "Commands.h"
#include "MbdRules.h"
#include "Suggest.h"
#include "ToolError.h"

namespace qbd {

namespace {

struct VocabularyArgs {
  bool json = false;
  std::string ioType;
};

Json rolesJson(const std::vector<MbdRules::RoleInfo>& roles) {
  Json list = Json::array();
  for (const MbdRules::RoleInfo& r : roles)
    list.push_back({{"role", r.role}, {"carrier", r.carrier}, {"meaning", r.meaning}});
  return list;
}

Json ioTypesJson() {
  Json types = Json::array();
  for (const MbdRules::IoTypeInfo& t : MbdRules::IoTypes())
    types.push_back({{"iotype", t.name}, {"meaning", t.meaning}, {"roles", rolesJson(t.roles)}});
  return Json{{"iotypes", types}};
}

const MbdRules::IoTypeInfo& ioTypeNamed(const std::string& name) {
  if (const MbdRules::IoTypeInfo* type = MbdRules::FindIoType(StringBase(name))) return *type;
  std::vector<std::string> names;
  for (const MbdRules::IoTypeInfo& t : MbdRules::IoTypes()) names.push_back(t.name);
  throw ToolError("qbd: error: unknown IO type \"" + name + "\"" + didYouMean(name, names) +
                  "; qbd iotypes lists them");
}

void printRoles(std::ostream& out, const Json& result) {
  out << "IO type: " << cellText(result["iotype"]) << " (" << cellText(result["meaning"])
      << ")\n";
  if (result["roles"].empty()) {
    out << "The model reads no role of this IO type.\n";
    return;
  }
  printTable(out, result["roles"],
             {{"ROLE", "role"}, {"CARRIER", "carrier"}, {"MEANING", "meaning"}});
}

}  // namespace

void addVocabularyCommands(CLI::App& app) {
  auto types = std::make_shared<VocabularyArgs>();
  CLI::App* cmd =
      app.add_subcommand("iotypes", "The IO types the library knows, with what each stands for");
  cmd->add_flag("--json", types->json, "Print the result as JSON");
  cmd->callback([types] {
    const Json result = ioTypesJson();
    if (types->json) return printJson(std::cout, result);
    Json rows = result["iotypes"];
    for (Json& row : rows) {
      Json names = Json::array();
      for (const Json& r : row["roles"]) names.push_back(r["role"]);
      row["roles"] = names;
    }
    printTable(std::cout, rows, {{"IOTYPE", "iotype"}, {"MEANING", "meaning"}, {"ROLES", "roles"}});
  });

  auto roles = std::make_shared<VocabularyArgs>();
  cmd = app.add_subcommand("roles", "The roles (IO_IS values) the model reads on an IO type");
  cmd->add_option("IOTYPE", roles->ioType, "IO type (ignoring case; see qbd iotypes)")
      ->required()
      ->check(nonEmpty());
  cmd->add_flag("--json", roles->json, "Print the result as JSON");
  cmd->callback([roles] {
    const MbdRules::IoTypeInfo& type = ioTypeNamed(roles->ioType);
    const Json result{{"iotype", type.name}, {"meaning", type.meaning},
                      {"roles", rolesJson(type.roles)}};
    if (roles->json) return printJson(std::cout, result);
    printRoles(std::cout, result);
  });

  auto families = std::make_shared<VocabularyArgs>();
  cmd = app.add_subcommand("families",
                           "The FPGA families whose memory sizes the size database knows");
  cmd->add_flag("--json", families->json, "Print the result as JSON");
  cmd->callback([families] {
    Json list = Json::array();
    for (const StringBase& name : MbdRules::KnownFamilies()) list.push_back(name.str());
    if (families->json) return printJson(std::cout, Json{{"families", list}});
    for (const Json& name : list) std::cout << name.get<std::string>() << "\n";
  });
}

}  // namespace qbd
