// Fuzz target: the board model. A fuzzed board is read, built into an MBD (a generic
// template is expanded), and every public query runs with names and roles drawn from the
// board, then with the requests of the input's script. Queries must not change the tree, a
// copy of the model must answer as the original does, a second model over the expanded tree
// must copy nothing more, and the module tree that setupModules builds must be walkable.
//
// Script requests: a query name (or any word, which picks a query) followed by its arguments.
// Argument words "@B<i>", "@R<i>", "@T<i>", "@P<i>", "@S<i>" stand for the i-th block name,
// role, IO type, property name or sub-property name found in the board.
#include <cstdint>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "BoardCheck.h"
#include "FuzzInput.h"
#include "LyrBoard.h"
#include "LyrWiz_WizUtils.h"
#include "MBD.h"
#include "MbdPinTable.h"
#include "MbdRules.h"
#include "MbdTopLevel.h"

namespace {

using LyrBase::Property;
using LyrBase::PsfComp;
using LyrBoard::Qbd;
using LyrBoard::QbdBlock;
using qbd_fuzz::Require;

// Bounds that keep one input's work in proportion to its size after expansion.
const size_t kMaxPoolNames = 32;
const size_t kMaxSweptBlocks = 12;
const size_t kMaxSweptBlocksLarge = 3;  // once expansion made the board large
const size_t kLargeBoard = 64;
const size_t kMaxSweptNames = 6;
const size_t kMaxCopiesPerKey = 1024;

// Names drawn from the board, each list without repeats and in board order.
struct NamePools {
  std::vector<StringBase> blocks, roles, types, props, subs;
};

void AddName(std::vector<StringBase>& pool, const StringBase& name) {
  if (pool.size() >= kMaxPoolNames) return;
  for (const StringBase& known : pool)
    if (known == name) return;
  pool.push_back(name);
}

NamePools PoolsOf(const Qbd& board) {
  NamePools pools;
  for (const PsfComp* comp : board.GetPsfCompSeqRef(Qbd::BLOCK)) {
    auto* block = LyrBase::NodeCast<QbdBlock>(comp);
    if (!block) continue;
    AddName(pools.blocks, block->GetName());
    AddName(pools.types, block->GetPropertyValueStr(QbdBlock::ATTRIBUTE, MBD::IO_TYPE));
    for (QbdBlock::NodeType kind : {QbdBlock::ATTRIBUTE, QbdBlock::PARAMETER, QbdBlock::PORT})
      for (const Property* prop : block->GetPropSeqRef(kind)) {
        AddName(pools.props, prop->GetName());
        for (const PsfComp* sub : prop->GetPsfCompSeqRef()) {
          AddName(pools.subs, sub->GetName());
          if (sub == MbdRules::RoleOf(*prop)) AddName(pools.roles, sub->GetValueStr());
        }
      }
  }
  return pools;
}

// The word itself, or the pool name it stands for.
StringBase Resolve(const std::string& word, const NamePools& pools) {
  if (word.size() < 2 || word[0] != '@') return StringBase(word);
  const std::vector<StringBase>* pool = nullptr;
  switch (word[1]) {
    case 'B': pool = &pools.blocks; break;
    case 'R': pool = &pools.roles; break;
    case 'T': pool = &pools.types; break;
    case 'P': pool = &pools.props; break;
    case 'S': pool = &pools.subs; break;
    default: return StringBase(word);
  }
  if (pool->empty()) return StringBase();
  return (*pool)[qbd_fuzz::IndexAfter(word, 2) % pool->size()];
}

// A query's arguments; a missing one reads as the empty string.
struct Args {
  std::vector<StringBase> words;
  StringBase operator[](size_t i) const { return i < words.size() ? words[i] : StringBase(); }
  unsigned Number(size_t i) const {
    return UT_STR::StrToUINT32((*this)[i].c_str(), nullptr, 0);
  }
};

// Folds a query's answer into one text, so that two models can be compared by answers.
std::string Text(const StringBase& s) { return s.str() + "|"; }
std::string Text(bool b) { return b ? "T|" : "F|"; }
std::string Text(unsigned n) { return std::to_string(n) + "|"; }
std::string Text(const std::vector<StringBase>& v) {
  std::string out = "[";
  for (const StringBase& s : v) out += Text(s);
  return out + "]";
}
std::string Text(const std::vector<unsigned>& v) {
  std::string out = "[";
  for (unsigned n : v) out += Text(n);
  return out + "]";
}
std::string Text(const std::vector<MBD::Table>& tables) {
  std::string out = "{";
  for (const MBD::Table& table : tables) {
    for (const auto& entry : table) out += entry.first.str() + "=" + entry.second.str() + ";";
    out += "/";
  }
  return out + "}";
}
std::string Text(const std::vector<MBD::ClkRng>& ranges) {
  std::string out = "<";
  for (const MBD::ClkRng& r : ranges)
    out += Text(r.minFreq) + Text(r.maxFreq) + Text(r.stepFreq) + Text(r.clkInsName);
  return out + ">";
}
std::string Text(const std::vector<std::pair<StringBase, StringBase>>& mems) {
  std::string out = "(";
  for (const auto& m : mems) out += Text(m.first) + Text(m.second);
  return out + ")";
}

struct Query {
  const char* name;
  std::function<std::string(MBD&, const Args&)> run;
};

// Every public query that reads; the setters are run apart, since they write the tree.
const std::vector<Query>& Queries() {
  static const std::vector<Query> queries = {
      {"getBoardId", [](MBD& m, const Args&) {
         MBD::BoardId id = m.getBoardId();
         return Text(id.vendor) + Text(id.name) + Text(id.revision) + Text(id == id) +
                Text(id < id);
       }},
      {"getBoardDesc", [](MBD& m, const Args&) { return Text(m.getBoardDesc()); }},
      {"getSpecUrl", [](MBD& m, const Args&) { return Text(m.getSpecUrl()); }},
      {"getContactInfoUrl", [](MBD& m, const Args&) { return Text(m.getContactInfoUrl()); }},
      {"getArch", [](MBD& m, const Args&) { return Text(m.getArch()); }},
      {"getDevice", [](MBD& m, const Args&) { return Text(m.getDevice()); }},
      {"getPackage", [](MBD& m, const Args&) { return Text(m.getPackage()); }},
      {"getSpeedGrade", [](MBD& m, const Args&) { return Text(m.getSpeedGrade()); }},
      {"getJtagPos", [](MBD& m, const Args&) { return Text(m.getJtagPos()); }},
      {"isK2P", [](MBD& m, const Args&) { return Text(unsigned(m.isK2P())); }},
      {"isGeneric", [](MBD& m, const Args&) { return Text(m.isGeneric()); }},
      {"GetErrorCode", [](MBD& m, const Args&) { return Text(unsigned(m.GetErrorCode())); }},
      {"getBlockByName", [](MBD& m, const Args& a) {
         QbdBlock* block = m.getBlockByName(a[0]);
         return block ? Text(block->GetName()) : std::string("null|");
       }},
      {"getIOTypes", [](MBD& m, const Args&) { return Text(m.getIOTypes()); }},
      {"getIOAdapters", [](MBD& m, const Args&) { return Text(m.getIOAdapters()); }},
      {"getTrimedIOTypes", [](MBD& m, const Args&) { return Text(m.getTrimedIOTypes()); }},
      {"hasIoType", [](MBD& m, const Args& a) { return Text(m.hasIoType(a[0])); }},
      {"getInstanceNamesByIOType", [](MBD& m, const Args& a) {
         return Text(m.getInstanceNamesByIOType(a[0], 0)) + Text(m.getInstanceNamesByIOType(a[0], 1));
       }},
      {"getIOTypeByInstanceName", [](MBD& m, const Args& a) { return Text(m.getIOTypeByInstanceName(a[0])); }},
      {"getAlertOfIns", [](MBD& m, const Args& a) { return Text(m.getAlertOfIns(a[0])); }},
      {"getAttributeValue", [](MBD& m, const Args& a) { return Text(m.getAttributeValue(a[0], a[1])); }},
      {"getSpeedOfIns", [](MBD& m, const Args& a) { return Text(m.getSpeedOfIns(a[0])); }},
      {"getDupInsNamesOfKeyIns", [](MBD& m, const Args& a) { return Text(m.getDupInsNamesOfKeyIns(a[0])); }},
      {"getExclusiveInsSeq", [](MBD& m, const Args& a) { return Text(m.getExclusiveInsSeq(a[0])); }},
      {"getParamNameByIois", [](MBD& m, const Args& a) { return Text(m.getParamNameByIois(a[0], a[1])); }},
      {"getCoreParamValue", [](MBD& m, const Args& a) { return Text(m.getCoreParamValue(a[0], a[1])); }},
      {"getCoreParamDesc", [](MBD& m, const Args& a) { return Text(m.getCoreParamDesc(a[0], a[1], a[2])); }},
      {"getCoreParamShortDesc", [](MBD& m, const Args& a) { return Text(m.getCoreParamShortDesc(a[0], a[1])); }},
      {"getCoreParamLongDesc", [](MBD& m, const Args& a) { return Text(m.getCoreParamLongDesc(a[0], a[1])); }},
      {"getValByInsIoisName", [](MBD& m, const Args& a) { return Text(m.getValByInsIoisName(a[0], a[1], a[2])); }},
      {"hasPortIoisVal", [](MBD& m, const Args& a) { return Text(m.hasPortIoisVal(a[0], a[1])); }},
      {"getParamValue", [](MBD& m, const Args& a) { return Text(m.getParamValue(a[0], a[1])); }},
      {"getParamSubpropValue", [](MBD& m, const Args& a) { return Text(m.getParamSubpropValue(a[0], a[1], a[2])); }},
      {"getPortValue", [](MBD& m, const Args& a) { return Text(m.getPortValue(a[0], a[1])); }},
      {"getPortSubpropValue", [](MBD& m, const Args& a) { return Text(m.getPortSubpropValue(a[0], a[1], a[2])); }},
      {"getParamsByIns", [](MBD& m, const Args& a) { return Text(m.getParamsByIns(a[0])); }},
      {"getParamsByIOType", [](MBD& m, const Args& a) { return Text(m.getParamsByIOType(a[0])); }},
      {"getPortsByIns", [](MBD& m, const Args& a) { return Text(m.getPortsByIns(a[0])); }},
      {"getPortsByIOType", [](MBD& m, const Args& a) { return Text(m.getPortsByIOType(a[0])); }},
      {"getCorePortLoc", [](MBD& m, const Args& a) { return Text(m.getCorePortLoc(a[0], a[1])); }},
      {"getRstPolarity", [](MBD& m, const Args&) { return Text(m.getRstPolarity()); }},
      {"getClkFreqSeq", [](MBD& m, const Args&) { return Text(m.getClkFreqSeq()); }},
      {"getClkFreqRngSeq", [](MBD& m, const Args&) { return Text(m.getClkFreqRngSeq()); }},
      {"findClkInst", [](MBD& m, const Args& a) { return Text(m.findClkInst(a.Number(0))); }},
      {"getReadOnlyMems", [](MBD& m, const Args&) { return Text(m.getReadOnlyMems()); }},
      {"getBramSizeList", [](MBD& m, const Args& a) { return Text(m.getBramSizeList(a[0])); }},
      {"getDefBramSize", [](MBD& m, const Args& a) { return Text(m.getDefBramSize(a[0])); }},
      {"getPNCacheSizeList", [](MBD& m, const Args& a) { return Text(m.getPNCacheSizeList(a[0])); }},
  };
  return queries;
}

const Query& QueryNamed(const std::string& word) {
  for (const Query& q : Queries())
    if (word == q.name) return q;
  return Queries()[qbd_fuzz::Pick(word, Queries().size())];
}

std::string Run(MBD& model, const char* name, std::vector<StringBase> words) {
  return QueryNamed(name).run(model, Args{std::move(words)});
}

// Every query once, without arguments.
std::string Globals(MBD& model) {
  std::string answers;
  for (const Query& q : Queries()) answers += q.run(model, Args{});
  return answers;
}

// Every query over the first blocks, with the names each block carries.
std::string Sweep(MBD& model, const NamePools& pools, size_t sweptBlocks) {
  std::string answers = Globals(model);
  for (const StringBase& type : pools.types)
    for (const char* name : {"hasIoType", "getInstanceNamesByIOType", "getParamsByIOType",
                             "getPortsByIOType"})
      answers += Run(model, name, {type});
  for (const char* bus : {"lmb", "opb", "plb", "LMB"}) {
    answers += Run(model, "getBramSizeList", {bus});
    answers += Run(model, "getDefBramSize", {bus});
  }
  for (const char* kind : {"icache", "dcache", "ICACHE", "x"}) answers += Run(model, "getPNCacheSizeList", {kind});
  for (MBD::ClkRng r : model.getClkFreqRngSeq())
    for (unsigned f : {r.minFreq, r.maxFreq, r.minFreq + r.stepFreq, r.maxFreq + 1u, r.minFreq - 1u})
      answers += Text(model.findClkInst(f));
  const size_t blocks = std::min(pools.blocks.size(), sweptBlocks);
  for (size_t b = 0; b < blocks; ++b) {
    const StringBase& ins = pools.blocks[b];
    for (const char* name : {"getBlockByName", "getIOTypeByInstanceName", "getAlertOfIns",
                             "getSpeedOfIns", "getDupInsNamesOfKeyIns", "getExclusiveInsSeq",
                             "getParamsByIns", "getPortsByIns"})
      answers += Run(model, name, {ins});
    for (size_t p = 0; p < std::min(pools.props.size(), kMaxSweptNames); ++p) {
      const StringBase& prop = pools.props[p];
      for (const char* name : {"getAttributeValue", "getParamValue", "getPortValue"})
        answers += Run(model, name, {ins, prop});
      for (size_t s = 0; s < std::min(pools.subs.size(), kMaxSweptNames); ++s)
        for (const char* name : {"getParamSubpropValue", "getPortSubpropValue"})
          answers += Run(model, name, {ins, prop, pools.subs[s]});
    }
    for (size_t r = 0; r < std::min(pools.roles.size(), kMaxSweptNames); ++r) {
      const StringBase& role = pools.roles[r];
      for (const char* name : {"getParamNameByIois", "getCoreParamValue", "getCoreParamShortDesc",
                               "getCoreParamLongDesc", "hasPortIoisVal", "getCorePortLoc"})
        answers += Run(model, name, {ins, role});
      for (size_t s = 0; s < std::min(pools.subs.size(), kMaxSweptNames); ++s)
        for (const char* name : {"getCoreParamDesc", "getValByInsIoisName"})
          answers += Run(model, name, {ins, role, pools.subs[s]});
    }
  }
  return answers;
}

std::string RunScript(MBD& model, const qbd_fuzz::FuzzInput& input, const NamePools& pools) {
  std::string answers;
  for (const std::vector<std::string>& line : input.lines) {
    if (line[0].compare(0, 3, "set") == 0) continue;  // setters run last, apart
    Args args;
    for (size_t i = 1; i < line.size(); ++i) args.words.push_back(Resolve(line[i], pools));
    answers += QueryNamed(line[0]).run(model, args);
  }
  return answers;
}

// Walks the module tree, reading every entry, so that a dangling pointer shows.
size_t WalkModule(const LyrWiz_Module& module, unsigned depth) {
  Require(depth < 4, "module tree deeper than a board can make");
  size_t items = module.name.GetLength() + module.properties.size();
  for (const LyrWiz_Param* param : module.GetParams())
    items += param->name.GetLength() + param->value.GetLength() + param->properties.size();
  for (const LyrWiz_Pin* pin : module.GetPins()) {
    items += pin->name.GetLength() + pin->properties.size();
    if (pin->GetInternalSignal()) items += pin->GetInternalSignal()->name.GetLength();
    if (pin->GetExternalSignal()) items += pin->GetExternalSignal()->name.GetLength();
  }
  for (const LyrWiz_Signal* signal : module.GetSignals()) items += signal->name.GetLength();
  for (const LyrWiz_Module* child : module.GetChildModules()) items += WalkModule(*child, depth + 1);
  return items;
}

size_t KeyInstanceCount(const Qbd& board) {
  size_t keys = 0;
  for (const PsfComp* comp : board.GetPsfCompSeqRef(Qbd::BLOCK)) {
    auto* block = LyrBase::NodeCast<QbdBlock>(comp);
    const Property* count = block ? block->GetPropertyByName(QbdBlock::ATTRIBUTE, MBD::MAX_NUM_INSTANCES) : nullptr;
    if (count && !MbdRules::ReadInstanceCount(count->GetValueStr()).expanded) ++keys;
  }
  return keys;
}

// The pin table of the board, with bus naming, a prefix and a choice drawn from the board, and
// the top-level ports of both languages: rows of ports on no FPGA pin come last, every other
// row carries its pin and names its net, a named port without a check failing has a location,
// and building the table changes nothing.
void CheckPinTable(MBD& model, Qbd& board, const NamePools& pools) {
  const StringBase before = board.WriteString();
  MbdPins::TableOptions options;
  options.bus = true;
  options.prefix = "p_";
  if (!pools.blocks.empty()) options.choose[pools.blocks.front().str()] = pools.blocks.back().str();
  const MbdPins::PinTable table = MbdPins::BuildPinTable(model, options);
  bool unwiredSeen = false;
  for (const MbdPins::PinRow& row : table.rows) {
    const bool unwired = MbdPins::IsUnwired(row);
    Require(unwired || !unwiredSeen, "a wired row after an unwired one");
    unwiredSeen = unwiredSeen || unwired;
    Require(unwired == row.name.empty(), "a wired row without a name, or an unwired one with one");
    Require(unwired || row.name.compare(0, 2, "p_") == 0, "a port name without its prefix");
    Require(!row.settings.location.empty() || MbdPins::HasErrors(table),
            "a row without location passed the checks");
  }
  for (const MbdTop::Hdl hdl : {MbdTop::Hdl::Verilog, MbdTop::Hdl::Vhdl}) {
    MbdTop::TopOptions top;
    top.hdl = hdl;
    MbdTop::TopOutput out;
    Require(MbdTop::WriteTop(table, top, out) == out.problems.empty(),
            "a top written with problems, or refused without one");
  }
  Require(board.WriteString() == before, "building the pin table changed the tree");
}

void RunSetters(MBD& model, const qbd_fuzz::FuzzInput& input, const NamePools& pools) {
  for (const std::vector<std::string>& line : input.lines) {
    const StringBase value = line.size() > 1 ? Resolve(line[1], pools) : StringBase();
    const bool generic = model.isGeneric();
    int code = 1;
    StringBase before, after;
    if (line[0] == "setArch") { before = model.getArch(); code = model.setArch(value); after = model.getArch(); }
    else if (line[0] == "setDevice") { before = model.getDevice(); code = model.setDevice(value); after = model.getDevice(); }
    else if (line[0] == "setPackage") { before = model.getPackage(); code = model.setPackage(value); after = model.getPackage(); }
    else if (line[0] == "setSpeedGrade") { before = model.getSpeedGrade(); code = model.setSpeedGrade(value); after = model.getSpeedGrade(); }
    else continue;
    if (!generic) Require(code == 1 && before == after, "a setter changed a board that is not generic");
    // The setters take the value as C text, so a fuzzed value ends at its first NUL byte.
    if (code != 1)
      Require(after == StringBase(value.c_str()),
              "a setter reported a change that a getter does not see");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Traces of the model are expected by the thousand; they are not what is tested here.
  Port_MsgManData::setSink([](Port_MsgKind, const std::string&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const qbd_fuzz::FuzzInput input = qbd_fuzz::SplitInput(data, size);
  Qbd board;
  if (qbd_fuzz::ReadBoard(board, input.board, "model.qbd") != 0) return 0;
  const size_t blocksBefore = board.GetPsfCompSeqRef(Qbd::BLOCK).size();
  const size_t keys = KeyInstanceCount(board);
  // Expansion that cannot finish must leave the tree as it was.
  const StringBase treeRead = MBD::IsGenericBoard(&board) ? board.WriteString() : StringBase();
  std::unique_ptr<MBD> model;
  try {
    model = std::make_unique<MBD>(&board);
  } catch (const std::out_of_range&) {
    Require(board.WriteString() == treeRead, "a failed expansion changed the tree");
    return 0;  // a port copied while the board has no FPGA block
  }
  const size_t blocksAfter = board.GetPsfCompSeqRef(Qbd::BLOCK).size();
  Require(blocksAfter - blocksBefore <= keys * kMaxCopiesPerKey, "expansion made more copies than allowed");
  const NamePools pools = PoolsOf(board);

  const size_t swept = blocksAfter > kLargeBoard ? kMaxSweptBlocksLarge : kMaxSweptBlocks;
  const StringBase treeBefore = board.WriteString();
  MBD copy(*model);
  const std::string answers = Sweep(*model, pools, swept) + RunScript(*model, input, pools);
  Require(Sweep(copy, pools, swept) + RunScript(copy, input, pools) == answers,
          "a copy of the model answers differently");
  MBD assigned(nullptr);
  assigned = copy;
  Require(Globals(assigned) == Globals(*model), "an assigned model answers differently");
  (void)(*model < copy);
  Require(board.WriteString() == treeBefore, "a query changed the tree");

  MBD second(&board);
  Require(board.GetPsfCompSeqRef(Qbd::BLOCK).size() == blocksAfter,
          "a second model over an expanded board copied blocks again");

  LyrWiz_Module top;
  Require(model->setupModules(&top) == 0, "setupModules returned nonzero");
  WalkModule(top, 0);
  Require(board.WriteString() == treeBefore, "setupModules changed the tree");

  CheckPinTable(*model, board, pools);
  RunSetters(*model, input, pools);

  MBD none(nullptr);
  Sweep(none, NamePools{}, 0);
  Require(none.setupModules(&top) == 0, "setupModules over no board returned nonzero");
  return 0;
}
