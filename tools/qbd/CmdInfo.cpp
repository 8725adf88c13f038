// qbd info and qbd blocks: what the board is, and which instances it carries.
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "Board.h"
#include "MbdRules.h"
#include "Commands.h"
#include "MbdWiring.h"

namespace qbd {

namespace {

Json stringList(const std::vector<StringBase>& items) {
  Json list = Json::array();
  for (const StringBase& s : items) list.push_back(str(s));
  return list;
}

Json infoOf(LoadedBoard& board) {
  MBD& model = board.model();
  const MbdWiring index(board.tree());
  const MBD::BoardId id = model.getBoardId();
  Json result;
  result["file"] = board.path();
  result["vendor"] = str(id.vendor);
  result["name"] = str(id.name);
  result["revision"] = str(id.revision);
  result["description"] = str(model.getBoardDesc());
  result["spec_url"] = str(model.getSpecUrl());
  result["contact_info_url"] = str(model.getContactInfoUrl());
  result["generic"] = model.isGeneric();
  result["fpga"] = {{"family", str(model.getArch())},
                    {"device", str(model.getDevice())},
                    {"package", str(model.getPackage())},
                    {"speed_grade", str(model.getSpeedGrade())},
                    {"jtag_position", str(model.getJtagPos())}};
  const std::vector<StringBase> ioTypes = model.getTrimedIOTypes();
  std::size_t ports = 0;
  for (const LyrBoard::QbdBlock* block : index.Instances())
    ports += block->GetPropSeqRef(LyrBoard::QbdBlock::PORT).size();
  result["counts"] = {{"blocks", index.FpgaBlocks().size() + index.Instances().size()},
                      {"fpga_blocks", index.FpgaBlocks().size()},
                      {"instances", index.Instances().size()},
                      {"io_types", ioTypes.size()},
                      {"fpga_pins", index.FpgaPins().size()},
                      {"instance_ports", ports}};
  result["io_types"] = stringList(ioTypes);
  return result;
}

void printInfo(std::ostream& out, const Json& info) {
  printFields(out, info,
              {{"File", "file"},
               {"Vendor", "vendor"},
               {"Name", "name"},
               {"Revision", "revision"},
               {"Description", "description"},
               {"Spec URL", "spec_url"},
               {"Contact URL", "contact_info_url"},
               {"Generic", "generic"},
               {"FPGA family", "fpga.family"},
               {"FPGA device", "fpga.device"},
               {"FPGA package", "fpga.package"},
               {"Speed grade", "fpga.speed_grade"},
               {"JTAG position", "fpga.jtag_position"},
               {"Blocks", "counts.blocks"},
               {"FPGA blocks", "counts.fpga_blocks"},
               {"Instances", "counts.instances"},
               {"IO types", "counts.io_types"},
               {"FPGA pins", "counts.fpga_pins"},
               {"Instance ports", "counts.instance_ports"},
               {"IO type list", "io_types"}});
}

struct BlocksArgs : QueryArgs {
  std::string ioType;
  bool keyOnly = false;
};

// Names of the key instances of a generic template: the model knows them only by IO type, so
// ask once per distinct IO type. A real board has none.
std::set<std::string> keyInstances(MBD& model, const std::vector<LyrBoard::QbdBlock*>& all) {
  std::set<std::string> keys;
  if (!model.isGeneric()) return keys;
  std::unordered_set<StringBase, CaseBlindHash, CaseBlindEqual> asked;
  for (const LyrBoard::QbdBlock* block : all) {
    const StringBase type = MbdRules::AttributeOf(*block, MBD::IO_TYPE);
    if (type.IsEmpty() || !asked.insert(type).second) continue;
    for (const StringBase& name : model.getInstanceNamesByIOType(type, 1))
      keys.insert(str(name));
  }
  return keys;
}

bool selected(const LyrBoard::QbdBlock& block, const BlocksArgs& args) {
  if (args.ioType.empty()) return !MbdRules::IsFpgaBlock(&block);
  return MbdRules::HasIoType(block, StringBase(args.ioType));
}

Json blocksOf(LoadedBoard& board, const BlocksArgs& args) {
  MBD& model = board.model();
  const std::vector<LyrBoard::QbdBlock*> all = blocks(board.tree());
  const bool generic = model.isGeneric();
  const std::set<std::string> keys = keyInstances(model, all);
  Json rows = Json::array();
  for (const LyrBoard::QbdBlock* block : all) {
    const std::string name = str(block->GetName());
    const bool key = keys.count(name) != 0;
    if (!selected(*block, args) || (args.keyOnly && !key)) continue;
    Json row;
    row["instance"] = name;
    row["iotype"] = attribute(*block, MBD::IO_TYPE);
    row["corename"] = attribute(*block, MBD::ADAPTER_NAME);
    row["speed"] = str(MbdRules::SpeedOf(block));
    row["alert"] = attribute(*block, MBD::ALERT.c_str());
    row["exclusive"] = attribute(*block, MBD::EXCLUSIVE.c_str());
    if (generic) {
      row["key"] = key;
      row["copies"] = stringList(model.getDupInsNamesOfKeyIns(StringBase(name)));
    }
    rows.push_back(row);
  }
  Json result;
  result["file"] = board.path();
  result["generic"] = generic;
  result["instances"] = rows;
  return result;
}

void printBlocks(std::ostream& out, const Json& result) {
  std::vector<Column> columns{{"INSTANCE", "instance"}, {"IOTYPE", "iotype"},
                              {"CORENAME", "corename"}, {"SPEED", "speed"},
                              {"EXCLUSIVE", "exclusive"}, {"ALERT", "alert"}};
  if (result["generic"].get<bool>()) {
    columns.push_back({"KEY", "key"});
    columns.push_back({"COPIES", "copies"});
  }
  printTable(out, result["instances"], columns);
}

}  // namespace

void addInfoCommands(CLI::App& app) {
  auto info = std::make_shared<QueryArgs>();
  addQuery(app, "info",
           "Board identity, links, FPGA part and counts of blocks, IO types, instances, pins",
           *info)
      ->callback([info] {
        LoadedBoard board(info->board);
        emit(*info, infoOf(board), printInfo);
      });

  auto args = std::make_shared<BlocksArgs>();
  CLI::App* cmd = addQuery(app, "blocks",
                           "Instances with IO type, core name, speed, exclusion group and alert; "
                           "on a generic template also the copies of each key instance",
                           *args);
  cmd->add_option("--iotype", args->ioType, "Only instances of this IO type (ignoring case)")
      ->check(nonEmpty());
  cmd->add_flag("--key-only", args->keyOnly,
                "Only key instances of a generic template (none on a real board)");
  cmd->callback([args] {
    LoadedBoard board(args->board);
    emit(*args, blocksOf(board, *args), printBlocks);
  });
}

}  // namespace qbd
