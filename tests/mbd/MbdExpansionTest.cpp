// Instance expansion of a generic template: names, numbered ports, nets and FPGA pins, the
// record of copies, and what happens with odd counts.
#include <gmock/gmock.h>

#include <stdexcept>

#include "MbdRules.h"
#include "MbdTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using LyrBoard::QbdBlock;
using mbdtest::BlockNames;
using mbdtest::Blocks;
using mbdtest::PropNames;
using mbdtest::ReadBoard;
using mbdtest::Strings;

namespace {

// A generic template with one FPGA block, ports given by `fpgaPorts`, and `blocks` after it.
std::string Template(const std::string& fpgaPorts, const std::string& blocks) {
  return "ATTRIBUTE NAME = Generic Template\n"
         "BEGIN BLOCK fpga\n  ATTRIBUTE BLOCKTYPE = FPGA\n" +
         fpgaPorts + "END\n" + blocks;
}

std::string KeyBlock(const std::string& instance, const std::string& count,
                     const std::string& body = "") {
  return "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = " + instance +
         "\n  ATTRIBUTE IOTYPE = QOR_TEST_V1\n  ATTRIBUTE MAX_NUM_INSTANCES = " + count + "\n" +
         body + "END\n";
}

const QbdBlock* fpgaOf(const LyrBoard::Qbd& qbd) { return Blocks(qbd).front(); }

std::string subValue(const LyrBase::Property* prop, const char* name) {
  const LyrBase::PsfComp* sub = prop->GetPsfCompByName(name);
  return sub ? sub->GetValueStr().str() : "<absent>";
}

const char* const kUart = R"(
ATTRIBUTE NAME = Generic Template
BEGIN BLOCK fpga
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT P_TX = uart_tx, UCF_NET_STRING = ("LOC=W1", "IOSTANDARD=LVCMOS33"), DIR = O
  PORT P_RX = other_net, UCF_NET_STRING = "LOC=W2"
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart
  ATTRIBUTE IOTYPE = QOR_UART_V1
  ATTRIBUTE MAX_NUM_INSTANCES = 3
  ATTRIBUTE ALERT = check jumpers, WHY = "J1 and J2"
  PARAMETER C_BAUDRATE = 9600, IO_IS = baud, RANGE = (9600, 115200)
  PORT TX = uart_tx, IO_IS = tx, DIR = O
  PORT CTS = uart_cts
END
)";

}  // namespace

TEST(MbdExpansion, KeyInstance_CopiesAreNumberedAndRecorded) {
  auto qbd = ReadBoard(kUart);
  MBD model(qbd.get());
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("fpga", "uart", "uart_1", "uart_2"));
  EXPECT_THAT(Strings(model.getDupInsNamesOfKeyIns("uart")), ElementsAre("uart_1", "uart_2"));
  EXPECT_EQ(model.getAttributeValue("uart", "MAX_NUM_INSTANCES").str(), "-1");

  const QbdBlock* copy = Blocks(*qbd)[3];
  EXPECT_THAT(PropNames(*copy, QbdBlock::ATTRIBUTE),
              ElementsAre("INSTANCE", "IOTYPE", "MAX_NUM_INSTANCES", "ALERT"));
  EXPECT_EQ(model.getAttributeValue("uart_2", "INSTANCE").str(), "uart_2");
  EXPECT_EQ(model.getAttributeValue("uart_2", "IOTYPE").str(), "QOR_UART_V1");
  EXPECT_EQ(model.getAttributeValue("uart_2", "MAX_NUM_INSTANCES").str(), "-1");
  EXPECT_EQ(subValue(copy->GetPropertyByName(QbdBlock::ATTRIBUTE, "ALERT"), "WHY"), "J1 and J2");

  // Parameters and sub-properties are the same in every copy; ports and nets are numbered.
  EXPECT_EQ(model.getParamValue("uart_2", "C_BAUDRATE").str(), "9600");
  EXPECT_EQ(model.getParamSubpropValue("uart_2", "C_BAUDRATE", "RANGE").str(), "(9600, 115200)");
  EXPECT_THAT(PropNames(*copy, QbdBlock::PORT), ElementsAre("TX_2", "CTS_2"));
  EXPECT_EQ(model.getPortValue("uart_1", "TX_1").str(), "uart_tx_1");
  EXPECT_EQ(model.getPortValue("uart_2", "CTS_2").str(), "uart_cts_2");
  EXPECT_EQ(model.getPortSubpropValue("uart_2", "TX_2", "IO_IS").str(), "tx");
  EXPECT_EQ(model.getPortSubpropValue("uart_2", "TX_2", "DIR").str(), "O");
  // Copied values are single strings built from the value text.
  const LyrBase::Property* param = copy->GetPropertyByName(QbdBlock::PARAMETER, "C_BAUDRATE");
  EXPECT_NE(LyrBase::NodeCast<LyrBase::StrVal>(param->GetLyrValuePtr()), nullptr);
  EXPECT_NE(LyrBase::NodeCast<LyrBase::StrVal>(param->GetPsfCompByName("RANGE")->GetLyrValuePtr()),
            nullptr);
  // The key instance itself keeps its ports.
  EXPECT_THAT(PropNames(*Blocks(*qbd)[1], QbdBlock::PORT), ElementsAre("TX", "CTS"));
}

TEST(MbdExpansion, FpgaPins_NumberedWithTheSourcePinsSubProperties) {
  auto qbd = ReadBoard(kUart);
  MBD model(qbd.get());
  const QbdBlock* fpga = fpgaOf(*qbd);
  // uart_cts has no FPGA pin, so only TX gains pins, one per copy, in copy order.
  EXPECT_THAT(PropNames(*fpga, QbdBlock::PORT), ElementsAre("P_TX", "P_RX", "P_TX_1", "P_TX_2"));
  const LyrBase::Property* pin = fpga->GetPropSeqRef(QbdBlock::PORT)[3];
  EXPECT_EQ(pin->GetValueStr().str(), "uart_tx_2");
  ASSERT_EQ(pin->GetPsfCompSeqRef().size(), 2u);
  const LyrBase::PsfComp* ucf = pin->GetPsfCompSeqRef()[0];
  EXPECT_EQ(ucf->GetName().str(), "UCF_NET_STRING");
  EXPECT_EQ(ucf->GetValueStr().str(), "(LOC=W1, IOSTANDARD=LVCMOS33)");
  const auto* list = LyrBase::NodeCast<LyrBase::ListStrVal>(ucf->GetLyrValuePtr());
  ASSERT_NE(list, nullptr);
  EXPECT_THAT(Strings(list->GetValue()), ElementsAre("LOC=W1", "IOSTANDARD=LVCMOS33"));
  const auto* dir = LyrBase::NodeCast<LyrBase::ListStrVal>(pin->GetPsfCompSeqRef()[1]->GetLyrValuePtr());
  ASSERT_NE(dir, nullptr);
  EXPECT_THAT(Strings(dir->GetValue()), ElementsAre("O"));
}

TEST(MbdExpansion, FpgaPins_LastMatchingPortIgnoringCaseWins) {
  auto qbd = ReadBoard(Template("  PORT A = NET_X, LOC = a\n  PORT B = net_x, LOC = b\n"
                                "  PORT C = net_y, LOC = c\n",
                                KeyBlock("k", "2", "  PORT Q = Net_X\n")));
  MBD model(qbd.get());
  const QbdBlock* fpga = fpgaOf(*qbd);
  EXPECT_THAT(PropNames(*fpga, QbdBlock::PORT), ElementsAre("A", "B", "C", "B_1"));
  const LyrBase::Property* pin = fpga->GetPropSeqRef(QbdBlock::PORT)[3];
  // The net is the copied port's own text, numbered; the sub-properties are B's.
  EXPECT_EQ(pin->GetValueStr().str(), "Net_X_1");
  EXPECT_EQ(subValue(pin, "LOC"), "b");
}

TEST(MbdExpansion, FpgaPins_PinsAppendedEarlierInThePassTakePart) {
  // k's copy puts pin P_1 on n_1 last in the FPGA list; m's port on n_1 then matches it
  // rather than the earlier pin Early that carries the same net.
  auto qbd = ReadBoard(Template("  PORT Early = N_1, LOC = early\n  PORT P = n, LOC = p\n",
                                KeyBlock("k", "2", "  PORT X = n\n") +
                                    KeyBlock("m", "2", "  PORT Y = n_1\n")));
  MBD model(qbd.get());
  const QbdBlock* fpga = fpgaOf(*qbd);
  EXPECT_THAT(PropNames(*fpga, QbdBlock::PORT), ElementsAre("Early", "P", "P_1", "P_1_1"));
  const LyrBase::Property* pin = fpga->GetPropSeqRef(QbdBlock::PORT)[3];
  EXPECT_EQ(pin->GetValueStr().str(), "n_1_1");
  EXPECT_EQ(subValue(pin, "LOC"), "p");
}

TEST(MbdExpansion, FpgaPins_AKeyFpgaBlockFindsPinsAppendedBeforeItsTurn) {
  // The FPGA block is itself a key instance after k: its ports then include the pins k's
  // copies appended (P_1 on n_1, P_2 on n_2), and its own copy numbers each of them again.
  auto qbd = ReadBoard("ATTRIBUTE NAME = Generic Template\n" + KeyBlock("k", "3", "  PORT X = n\n") +
                       "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = f\n  ATTRIBUTE BLOCKTYPE = FPGA\n"
                       "  ATTRIBUTE MAX_NUM_INSTANCES = 2\n  PORT P = n, LOC = p\nEND\n");
  MBD model(qbd.get());
  const QbdBlock* fpga = Blocks(*qbd)[1];
  EXPECT_THAT(PropNames(*fpga, QbdBlock::PORT),
              ElementsAre("P", "P_1", "P_2", "P_1", "P_1_1", "P_2_1"));
  const LyrBase::Property* last = fpga->GetPropSeqRef(QbdBlock::PORT).back();
  EXPECT_EQ(last->GetValueStr().str(), "n_2_1");
  EXPECT_EQ(subValue(last, "LOC"), "p");
}

TEST(MbdExpansion, Order_KeyByKeyCopyByCopyPortByPort) {
  auto qbd = ReadBoard(Template("  PORT FA = a\n  PORT FB = b\n  PORT FC = c\n",
                                KeyBlock("k", "3", "  PORT A = a\n  PORT B = b\n") +
                                    "BEGIN BLOCK plain\nEND\n" +
                                    KeyBlock("m", "2", "  PORT C = c\n")));
  MBD model(qbd.get());
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("fpga", "k", "plain", "m", "k_1", "k_2", "m_1"));
  EXPECT_THAT(PropNames(*fpgaOf(*qbd), QbdBlock::PORT),
              ElementsAre("FA", "FB", "FC", "FA_1", "FB_1", "FA_2", "FB_2", "FC_1"));
}

TEST(MbdExpansion, Count_RadixFollowsThePrefix) {
  auto qbd = ReadBoard(Template("", KeyBlock("hex", "0x3") + KeyBlock("oct", "010")));
  MBD model(qbd.get());
  EXPECT_THAT(Strings(model.getDupInsNamesOfKeyIns("hex")), ElementsAre("hex_1", "hex_2"));
  EXPECT_EQ(model.getDupInsNamesOfKeyIns("oct").size(), 7u);
}

TEST(MbdExpansion, Count_TwelveInstancesNumberWithoutLeadingZeros) {
  auto qbd = ReadBoard(Template("", KeyBlock("g", "12")));
  MBD model(qbd.get());
  EXPECT_THAT(Strings(model.getDupInsNamesOfKeyIns("g")),
              ElementsAre("g_1", "g_2", "g_3", "g_4", "g_5", "g_6", "g_7", "g_8", "g_9", "g_10",
                          "g_11"));
  EXPECT_EQ(BlockNames(*qbd).back(), "g_11");
}

TEST(MbdExpansion, Count_ZeroOneOrNoNumberRecordsWithoutCopies) {
  auto qbd = ReadBoard(Template("", KeyBlock("zero", "0") + KeyBlock("one", "1") +
                                        KeyBlock("word", "many") + KeyBlock("skip", "-1") +
                                        "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = plain\n"
                                        "  ATTRIBUTE IOTYPE = QOR_TEST_V1\nEND\n"));
  MBD model(qbd.get());
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("fpga", "zero", "one", "word", "skip", "plain"));
  // Recorded key instances are the ones listed as keys.
  EXPECT_THAT(Strings(model.getInstanceNamesByIOType("QOR_TEST_V1", 1)),
              ElementsAre("zero", "one", "word"));
  EXPECT_THAT(model.getDupInsNamesOfKeyIns("zero"), IsEmpty());
  EXPECT_EQ(model.getAttributeValue("zero", "MAX_NUM_INSTANCES").str(), "0");
  EXPECT_EQ(model.getAttributeValue("one", "MAX_NUM_INSTANCES").str(), "1");
  EXPECT_EQ(model.getAttributeValue("word", "MAX_NUM_INSTANCES").str(), "many");
}

TEST(MbdExpansion, Count_AboveTheLimitMakesNoCopiesAndSaysSo) {
  auto qbd = ReadBoard(Template("", KeyBlock("big", "1025") + KeyBlock("neg", "-2") +
                                        KeyBlock("edge", "1024")));
  Port_MsgCapture log;
  MBD model(qbd.get());
  EXPECT_THAT(log.texts(Port_MsgKind::Trace),
              ElementsAre("MAX_NUM_INSTANCES of big is 1025: more than 1024 instances, no copies "
                          "made\n",
                          "MAX_NUM_INSTANCES of neg is -2: more than 1024 instances, no copies "
                          "made\n"));
  EXPECT_THAT(model.getDupInsNamesOfKeyIns("big"), IsEmpty());
  EXPECT_EQ(model.getAttributeValue("big", "MAX_NUM_INSTANCES").str(), "1025");
  EXPECT_EQ(model.getAttributeValue("neg", "MAX_NUM_INSTANCES").str(), "-2");
  EXPECT_THAT(Strings(model.getInstanceNamesByIOType("QOR_TEST_V1", 1)),
              ElementsAre("big", "neg", "edge"));
  // 1024 instances is the most a key may ask for.
  EXPECT_EQ(model.getDupInsNamesOfKeyIns("edge").size(), 1023u);
  EXPECT_EQ(BlockNames(*qbd).size(), 4u + 1023u);
  EXPECT_EQ(BlockNames(*qbd).back(), "edge_1023");
}

TEST(MbdExpansion, NoInstanceAttribute_NoCopiesNoRecordAndATrace) {
  auto qbd = ReadBoard(Template("", "BEGIN BLOCK nameless\n  ATTRIBUTE IOTYPE = QOR_TEST_V1\n"
                                    "  ATTRIBUTE MAX_NUM_INSTANCES = 3\nEND\n" +
                                        KeyBlock("after", "2")));
  Port_MsgCapture log;
  MBD model(qbd.get());
  EXPECT_THAT(log.texts(Port_MsgKind::Trace), ElementsAre("MAX_NUM_INSTANCES of nameless is set but it has no "
                                      "INSTANCE attribute: no copies made\n"));
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("fpga", "nameless", "after", "after_1"));
  EXPECT_EQ(model.getAttributeValue("nameless", "MAX_NUM_INSTANCES").str(), "3");
  EXPECT_THAT(Strings(model.getInstanceNamesByIOType("QOR_TEST_V1", 1)), ElementsAre("after"));
  EXPECT_THAT(model.getDupInsNamesOfKeyIns(""), IsEmpty());
}

TEST(MbdExpansion, NoFpgaBlock_KeyWithoutPortsIsCopied) {
  auto qbd = ReadBoard("ATTRIBUTE NAME = Generic Template\n" + KeyBlock("k", "3"));
  MBD model(qbd.get());
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("k", "k_1", "k_2"));
}

TEST(MbdExpansion, NoFpgaBlock_PortRaisesOutOfRangeLeavingTheTreeAsItWas) {
  auto qbd = ReadBoard("ATTRIBUTE NAME = Generic Template\n" + KeyBlock("k", "2") +
                       KeyBlock("p", "3", "  PARAMETER C = 1\n  PORT X = n\n") +
                       KeyBlock("later", "2"));
  const std::string before = qbd->WriteString().str();
  EXPECT_THROW(MBD model(qbd.get()), std::out_of_range);
  // Neither k (before the failing block) nor later got copies or the marker.
  EXPECT_EQ(qbd->WriteString().str(), before);
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("k", "p", "later"));
}

TEST(MbdExpansion, NodeLimit_BlockThatWouldPassItGetsNoCopies) {
  // 1023 copies of a block with 1,000 ports: far past the limit, so none; the small block
  // after it is still expanded.
  std::string ports;
  for (int i = 0; i < 1000; ++i) ports += "  PORT P" + std::to_string(i) + " = n" + std::to_string(i) + "\n";
  auto qbd = ReadBoard(Template("", KeyBlock("huge", "1024", ports) + KeyBlock("small", "3")));
  const auto plan = MbdRules::PlanExpansion(qbd.get());
  ASSERT_EQ(plan.steps.size(), 2u);
  EXPECT_EQ(plan.steps[0].outcome, MbdRules::ExpansionStep::OverNodeLimit);
  EXPECT_GT(plan.steps[0].nodes, MbdRules::MAX_EXPANSION_NODES);
  EXPECT_EQ(plan.steps[1].outcome, MbdRules::ExpansionStep::Copy);
  Port_MsgCapture log;
  MBD model(qbd.get());
  const std::vector<std::string> traces = log.texts(Port_MsgKind::Trace);
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("fpga", "huge", "small", "small_1", "small_2"));
  EXPECT_EQ(model.getAttributeValue("huge", "MAX_NUM_INSTANCES").str(), "1024");
  EXPECT_THAT(model.getDupInsNamesOfKeyIns("huge"), IsEmpty());
  ASSERT_EQ(traces.size(), 1u);
  EXPECT_NE(traces[0].find("huge"), std::string::npos);
  EXPECT_NE(traces[0].find("past the limit"), std::string::npos);
}

TEST(MbdExpansion, NodeLimit_CountsWhatACopyAdds) {
  // Per copy: the block, 3 attributes, a parameter with one sub-property, a port with one
  // sub-property, and the FPGA pin (with its UCF_NET_STRING) on the port's net.
  auto qbd = ReadBoard(Template("  PORT pin = n, UCF_NET_STRING = (LOC=A1)\n",
                                KeyBlock("k", "4", "  PARAMETER C = 1, IO_IS = c\n  PORT X = N, IO_IS = x\n")));
  const auto plan = MbdRules::PlanExpansion(qbd.get());
  ASSERT_EQ(plan.steps.size(), 1u);
  EXPECT_EQ(plan.steps[0].copies, 3u);
  EXPECT_EQ(plan.steps[0].nodes, 3u * (1 + 3 + 2 + 2 + 2));
  EXPECT_EQ(plan.nodes, plan.steps[0].nodes);
  MBD model(qbd.get());
  EXPECT_THAT(PropNames(*fpgaOf(*qbd), QbdBlock::PORT), ElementsAre("pin", "pin_1", "pin_2", "pin_3"));
}

// A block whose parameter C_BIG holds `bytes` bytes of text.
std::string BigValueBlock(const std::string& instance, std::size_t bytes) {
  return KeyBlock(instance, "1024", "  PARAMETER C_BIG = " + std::string(bytes, 'x') + "\n");
}

TEST(MbdExpansion, ByteLimit_LargeValueCopiedAThousandTimesIsRefused) {
  // 1023 copies of 1 MB: a gigabyte from a template of one, so none are made; the small block
  // after it is still expanded.
  auto qbd = ReadBoard(Template("", BigValueBlock("big", 1 << 20) + KeyBlock("small", "3")));
  const auto plan = MbdRules::PlanExpansion(qbd.get());
  ASSERT_EQ(plan.steps.size(), 2u);
  EXPECT_EQ(plan.steps[0].outcome, MbdRules::ExpansionStep::OverByteLimit);
  EXPECT_GE(plan.steps[0].bytes, 1023ull << 20);
  EXPECT_LE(plan.steps[0].nodes, MbdRules::MAX_EXPANSION_NODES);
  EXPECT_EQ(plan.steps[1].outcome, MbdRules::ExpansionStep::Copy);
  // Located at the block's MAX_NUM_INSTANCES, as for the node limit.
  EXPECT_THAT(MbdRules::OverLimitErrors(plan, "t.qbd"),
              ::testing::MatchesRegex(".*:8:3: error: the 1023 copies of block \"big\" would "
                                      "add [0-9]+ bytes of text, past the limit of 268435456 .*"));
  Port_MsgCapture log;
  MBD model(qbd.get());
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("fpga", "big", "small", "small_1", "small_2"));
  EXPECT_EQ(model.getAttributeValue("big", "MAX_NUM_INSTANCES").str(), "1024");
  EXPECT_THAT(model.getDupInsNamesOfKeyIns("big"), IsEmpty());
  const std::vector<std::string> traces = log.texts(Port_MsgKind::Trace);
  ASSERT_EQ(traces.size(), 1u);
  EXPECT_THAT(traces[0], ::testing::HasSubstr("bytes of text, past the limit"));
}

TEST(MbdExpansion, ByteLimit_CountsEveryByteOfValueOncePerCopy) {
  auto planFor = [](std::size_t bytes) {
    auto qbd = ReadBoard(Template("", KeyBlock("k", "4", "  PARAMETER C = " +
                                                             std::string(bytes, 'v') + "\n")));
    return MbdRules::PlanExpansion(qbd.get());
  };
  const auto small = planFor(10);
  const auto large = planFor(1000);
  ASSERT_EQ(large.steps.size(), 1u);
  EXPECT_EQ(large.steps[0].outcome, MbdRules::ExpansionStep::Copy);
  EXPECT_EQ(large.steps[0].bytes - small.steps[0].bytes, 3u * 990);
  EXPECT_EQ(large.bytes, large.steps[0].bytes);
}

TEST(MbdExpansion, ByteLimit_IsATotalOverEveryBlock) {
  // Each block alone stays below the limit (1023 * 150 KB is 150 MB); the two together do not,
  // so the second gets no copies.
  auto qbd = ReadBoard(Template("", BigValueBlock("a", 150 << 10) + BigValueBlock("b", 150 << 10)));
  const auto plan = MbdRules::PlanExpansion(qbd.get());
  ASSERT_EQ(plan.steps.size(), 2u);
  EXPECT_EQ(plan.steps[0].outcome, MbdRules::ExpansionStep::Copy);
  EXPECT_EQ(plan.steps[1].outcome, MbdRules::ExpansionStep::OverByteLimit);
  EXPECT_EQ(plan.bytes, plan.steps[0].bytes);
  EXPECT_LE(plan.bytes, MbdRules::MAX_EXPANSION_BYTES);
}

TEST(MbdExpansion, SameInstanceTwice_BothCopiedFirstListKept) {
  auto qbd = ReadBoard(Template("", KeyBlock("dup", "2") + KeyBlock("dup", "3")));
  MBD model(qbd.get());
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("fpga", "dup", "dup", "dup_1", "dup_1", "dup_2"));
  EXPECT_THAT(Strings(model.getDupInsNamesOfKeyIns("dup")), ElementsAre("dup_1"));
}

TEST(MbdExpansion, CopyNames_ComeFromTheInstanceAttribute) {
  auto qbd = ReadBoard(Template("", "BEGIN BLOCK blk\n  ATTRIBUTE INSTANCE = Uart\n"
                                    "  ATTRIBUTE MAX_NUM_INSTANCES = 2\nEND\n"));
  MBD model(qbd.get());
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("fpga", "blk", "Uart_1"));
  EXPECT_THAT(Strings(model.getDupInsNamesOfKeyIns("Uart")), ElementsAre("Uart_1"));
  EXPECT_THAT(model.getDupInsNamesOfKeyIns("uart"), IsEmpty());
  EXPECT_THAT(model.getDupInsNamesOfKeyIns("blk"), IsEmpty());
}

TEST(MbdExpansion, SecondModel_DoesNotExpandAgain) {
  auto qbd = ReadBoard(Template("  PORT P = n\n", KeyBlock("k", "3", "  PORT X = n\n") +
                                                      KeyBlock("single", "1")));
  MBD first(qbd.get());
  const auto blocks = BlockNames(*qbd);
  const auto pins = PropNames(*fpgaOf(*qbd), QbdBlock::PORT);
  MBD second(qbd.get());
  EXPECT_THAT(BlockNames(*qbd), blocks);
  EXPECT_THAT(PropNames(*fpgaOf(*qbd), QbdBlock::PORT), pins);
  EXPECT_THAT(Strings(second.getInstanceNamesByIOType("QOR_TEST_V1", 1)), ElementsAre("single"));
  EXPECT_THAT(second.getDupInsNamesOfKeyIns("k"), IsEmpty());
  EXPECT_THAT(Strings(first.getDupInsNamesOfKeyIns("k")), ElementsAre("k_1", "k_2"));
}

TEST(MbdExpansion, RealBoard_IsNeverExpanded) {
  auto qbd = ReadBoard("ATTRIBUTE NAME = DK-1\n" + KeyBlock("k", "3"));
  MBD model(qbd.get());
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("k"));
  EXPECT_EQ(model.getAttributeValue("k", "MAX_NUM_INSTANCES").str(), "3");
  EXPECT_THAT(model.getInstanceNamesByIOType("QOR_TEST_V1", 1), IsEmpty());
}

TEST(MbdExpansion, FpgaBlockAsKey_CopiesTheTemplatesPortsOnly) {
  auto qbd = ReadBoard(
      "ATTRIBUTE NAME = Generic Template\n"
      "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga\n  ATTRIBUTE BLOCKTYPE = FPGA\n"
      "  ATTRIBUTE MAX_NUM_INSTANCES = 3\n  PORT P = n\nEND\n");
  MBD model(qbd.get());
  EXPECT_THAT(BlockNames(*qbd), ElementsAre("fpga", "fpga_1", "fpga_2"));
  EXPECT_THAT(PropNames(*Blocks(*qbd)[0], QbdBlock::PORT), ElementsAre("P", "P_1", "P_2"));
  EXPECT_THAT(PropNames(*Blocks(*qbd)[2], QbdBlock::PORT), ElementsAre("P_2"));
}
