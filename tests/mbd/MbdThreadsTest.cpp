// One model shared by several threads: every kind of question asked of one MBD from four
// threads at once, on a model that has built nothing yet, then again after the host changed
// the tree with the model to itself. Each thread's answers must equal those of a model asked
// on one thread. Run under ThreadSanitizer by `make tsan`; in a plain build it still catches
// answers torn by a race.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "LyrWiz_WizUtils.h"
#include "MBD.h"

namespace {

using LyrBoard::QbdBlock;

std::unique_ptr<LyrBoard::Qbd> ReadSample() {
  auto qbd = std::make_unique<LyrBoard::Qbd>();
  const std::string path = std::string(QBD_SOURCE_DIR) + "/boards/northwind_dk2.qbd";
  EXPECT_EQ(qbd->ReadFile(path.c_str()), 0) << qbd->GetErrorText().c_str();
  return qbd;
}

std::string Join(const std::vector<StringBase>& values) {
  std::string text;
  for (const StringBase& v : values) text += v.str() + "|";
  return text;
}

std::string Join(const std::vector<MBD::Table>& tables) {
  std::string text;
  for (const MBD::Table& table : tables) {
    for (const auto& row : table) text += row.first.str() + "=" + row.second.str() + ",";
    text += ";";
  }
  return text;
}

// A visitor that writes down the module tree.
class ModuleText : public MBD::ModuleVisitor {
 public:
  void Top(const LyrWiz_Module& top, std::size_t signals) override {
    out << "top " << top.name.str() << " " << signals << "\n";
  }
  void TopPin(const LyrWiz_Pin& pin) override { out << "pin " << pin.name.str() << "\n"; }
  void Child(const LyrWiz_Module& child) override {
    out << "child " << child.name.str() << " " << child.GetPins().size() << "\n";
  }
  std::ostringstream out;
};

// Every board-wide question, each answer on a line of its own.
std::string AskBoard(MBD& model) {
  std::ostringstream out;
  const MBD::BoardId id = model.getBoardId();
  out << id.vendor.str() << id.name.str() << id.revision.str() << "\n"
      << model.getBoardDesc().str() << model.getSpecUrl().str() << model.getContactInfoUrl().str()
      << "\n"
      << model.getArch().str() << model.getDevice().str() << model.getPackage().str()
      << model.getSpeedGrade().str() << model.getJtagPos().str() << int(model.isK2P()) << "\n"
      << model.isGeneric() << model.GetErrorCode() << "\n"
      << Join(model.getIOTypes()) << Join(model.getIOAdapters()) << "\n";
  for (const StringBase& type : model.getTrimedIOTypes())
    out << type.str() << model.hasIoType(type) << Join(model.getInstanceNamesByIOType(type, 0))
        << Join(model.getInstanceNamesByIOType(type, 1)) << Join(model.getParamsByIOType(type))
        << Join(model.getPortsByIOType(type)) << "\n";
  out << model.getRstPolarity().str() << Join(model.getClkFreqSeq()) << "\n";
  for (const MBD::ClkRng& r : model.getClkFreqRngSeq())
    out << r.minFreq << "-" << r.maxFreq << "/" << r.stepFreq << r.clkInsName.str() << ",";
  for (unsigned freq : {25000000u, 50000000u, 100000000u, 125000000u, 7u})
    out << model.findClkInst(freq).str() << ",";
  out << "\n";
  for (const auto& mem : model.getReadOnlyMems()) out << mem.first.str() << mem.second.str();
  for (const char* bus : {"PLB", "LMB", "OPB"}) {
    for (unsigned size : model.getBramSizeList(bus)) out << size << ",";
    out << model.getDefBramSize(bus) << ";";
  }
  for (const char* kind : {"ICACHE", "DCACHE"})
    for (unsigned size : model.getPNCacheSizeList(kind)) out << size << ",";
  out << "\n";
  for (const char* net : {"uart_tx", "sys_clk", "no_such_net"})
    for (const LyrBase::Property* port : model.getFpgaPortsOnNet(net)) out << port->GetName().str();
  ModuleText modules;
  model.visitModules(modules);
  out << "\n" << modules.out.str();
  return out.str();
}

// Every question about one instance, with the roles and names its block uses.
std::string AskInstance(MBD& model, const StringBase& ins) {
  std::ostringstream out;
  const QbdBlock* block = model.getBlockByName(ins);
  out << ins.str() << (block != nullptr) << model.getIOTypeByInstanceName(ins).str()
      << model.getAlertOfIns(ins).str() << model.getAttributeValue(ins, "DESC").str()
      << model.getSpeedOfIns(ins).str() << Join(model.getDupInsNamesOfKeyIns(ins))
      << Join(model.getExclusiveInsSeq(ins)) << "\n";
  if (!block) return out.str();
  for (const LyrBase::Property* param : block->GetPropSeqRef(QbdBlock::PARAMETER)) {
    const LyrBase::PsfComp* role = param->GetPsfCompByName(MBD::IOIS.c_str());
    const StringBase name = param->GetName();
    out << model.getParamValue(ins, name).str()
        << model.getParamSubpropValue(ins, name, "VALUE_NOTE").str();
    if (!role) continue;
    const StringBase iois = role->GetValueStr();
    out << model.getParamNameByIois(ins, iois).str() << model.getCoreParamValue(ins, iois).str()
        << model.getCoreParamDesc(ins, iois, "RANGE").str()
        << model.getCoreParamShortDesc(ins, iois).str()
        << model.getCoreParamLongDesc(ins, iois).str()
        << model.getValByInsIoisName(ins, iois, "VALUE_NOTE").str() << "\n";
  }
  for (const LyrBase::Property* port : block->GetPropSeqRef(QbdBlock::PORT)) {
    const LyrBase::PsfComp* role = port->GetPsfCompByName(MBD::IOIS.c_str());
    const StringBase name = port->GetName();
    out << model.getPortValue(ins, name).str()
        << model.getPortSubpropValue(ins, name, "IO_IS").str();
    if (!role) continue;
    const StringBase iois = role->GetValueStr();
    out << model.hasPortIoisVal(ins, iois) << model.getCorePortLoc(ins, iois).str() << "\n";
  }
  out << Join(model.getParamsByIns(ins)) << Join(model.getPortsByIns(ins)) << "\n";
  return out.str();
}

std::vector<StringBase> InstanceNames(const LyrBoard::Qbd& qbd) {
  std::vector<StringBase> names;
  for (const LyrBase::PsfComp* block : qbd.GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK))
    names.push_back(block->GetName());
  names.push_back("no_such_instance");
  return names;
}

// The answers of `model` to everything, asked in an order that starts at instance `first`
// (so that threads make the records of different blocks first), written down in board order.
std::string AskEverything(MBD& model, const std::vector<StringBase>& names, std::size_t first) {
  std::vector<std::string> answers(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::size_t n = (first + i) % names.size();
    answers[n] = AskInstance(model, names[n]);
  }
  std::string text = AskBoard(model);
  for (const std::string& answer : answers) text += answer;
  return text;
}

// The answers four threads get from `model`, started together.
std::vector<std::string> AskFromFourThreads(MBD& model, const std::vector<StringBase>& names) {
  constexpr int kThreads = 4;
  std::vector<std::string> answers(kThreads);
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      ++ready;
      while (ready.load() < kThreads) std::this_thread::yield();
      answers[t] = AskEverything(model, names, t * names.size() / kThreads);
    });
  for (std::thread& thread : threads) thread.join();
  return answers;
}

TEST(MbdThreads, FourThreadsAskEveryQueryOfOneModel) {
  auto qbd = ReadSample();
  const std::vector<StringBase> names = InstanceNames(*qbd);
  const std::string expected = AskEverything(*std::make_unique<MBD>(qbd.get()), names, 0);
  ASSERT_NE(expected.find("sys_clk_0"), std::string::npos);  // the board was asked about
  // Each round a model that has built nothing yet, so the threads race to build its lookups.
  for (int round = 0; round < 30; ++round) {
    MBD shared(qbd.get());
    for (const std::string& answer : AskFromFourThreads(shared, names))
      ASSERT_EQ(answer, expected) << "round " << round;
  }
}

TEST(MbdThreads, AfterAnEditTheThreadsRebuildOnceAndAgree) {
  auto qbd = ReadSample();
  const std::vector<StringBase> names = InstanceNames(*qbd);
  MBD shared(qbd.get());
  AskFromFourThreads(shared, names);
  for (int round = 0; round < 3; ++round) {
    // The host's change, with the model to itself: the threads have all returned.
    QbdBlock* uart = shared.getBlockByName("uart_0");
    ASSERT_NE(uart, nullptr);
    uart->GetPropertyByName(QbdBlock::ATTRIBUTE, "DESC")
        ->SetValueStr(("changed " + std::to_string(round)).c_str());
    const std::string expected = AskEverything(*std::make_unique<MBD>(qbd.get()), names, 0);
    ASSERT_NE(expected.find("changed " + std::to_string(round)), std::string::npos);
    for (const std::string& answer : AskFromFourThreads(shared, names))
      EXPECT_EQ(answer, expected);
  }
}

TEST(MbdThreads, ACopyMadeWhileOthersAskAnswersAlike) {
  auto qbd = ReadSample();
  const std::vector<StringBase> names = InstanceNames(*qbd);
  MBD shared(qbd.get());
  const std::string expected = AskEverything(*std::make_unique<MBD>(qbd.get()), names, 0);
  std::atomic<bool> stop{false};
  std::thread asker([&] {
    while (!stop.load()) AskEverything(shared, names, 1);
  });
  // Copying only reads the model, so it may run beside the questions.
  for (int i = 0; i < 5; ++i) {
    MBD copy(shared);
    EXPECT_EQ(AskEverything(copy, names, 2), expected);
  }
  stop = true;
  asker.join();
}

}  // namespace
