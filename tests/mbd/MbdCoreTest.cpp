// Construction, copying, the generic-template test and block lookup.
#include <gmock/gmock.h>

#include "MbdTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using mbdtest::BlockNames;
using mbdtest::Blocks;
using mbdtest::ReadBoard;
using mbdtest::Strings;

namespace {

const char* const kTemplate = R"(
ATTRIBUTE NAME = Generic Template
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT P_TX = uart_tx, UCF_NET_STRING = ("LOC=W1", "IOSTANDARD=LVCMOS33")
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart
  ATTRIBUTE IOTYPE = QOR_UART_V1
  ATTRIBUTE MAX_NUM_INSTANCES = 3
  PORT TX = uart_tx
END
)";

bool isGenericText(const char* text) {
  auto qbd = ReadBoard(text);
  return MBD::IsGenericBoard(qbd.get());
}

}  // namespace

TEST(MbdCore, GenericBoard_NameDecidesIgnoringCase) {
  EXPECT_TRUE(isGenericText("ATTRIBUTE NAME = generic template\n"));
  EXPECT_TRUE(isGenericText("ATTRIBUTE NAME = GENERIC TEMPLATE\n"));
  EXPECT_TRUE(isGenericText("ATTRIBUTE name = Generic Template\n"));
  EXPECT_FALSE(isGenericText("ATTRIBUTE VENDOR = Generic\nATTRIBUTE NAME = DK-1\n"));
  EXPECT_FALSE(isGenericText("ATTRIBUTE VENDOR = Generic\nATTRIBUTE REVISION = None\n"));
  EXPECT_FALSE(isGenericText("ATTRIBUTE NAME = \"Generic Template \"\n"));
  EXPECT_FALSE(MBD::IsGenericBoard(nullptr));

  auto qbd = ReadBoard("ATTRIBUTE NAME = Generic template\n");
  EXPECT_TRUE(MBD(qbd.get()).isGeneric());
}

TEST(MbdCore, NullBoard_EveryQueryAnswersNotThere) {
  Port_MsgCapture log;
  MBD model(nullptr);
  EXPECT_EQ(model.getQbdObject(), nullptr);
  EXPECT_EQ(model.GetErrorCode(), 0);
  EXPECT_FALSE(model.isGeneric());
  EXPECT_EQ(model.getBlockByName("fpga"), nullptr);

  const MBD::BoardId id = model.getBoardId();
  EXPECT_TRUE(id.vendor.IsEmpty() && id.name.IsEmpty() && id.revision.IsEmpty());
  EXPECT_TRUE(model.getBoardDesc().IsEmpty());
  EXPECT_TRUE(model.getSpecUrl().IsEmpty());
  EXPECT_TRUE(model.getContactInfoUrl().IsEmpty());
  EXPECT_FALSE(model < MBD(nullptr));
  EXPECT_TRUE(model.getArch().IsEmpty());
  EXPECT_TRUE(model.getJtagPos().IsEmpty());
  EXPECT_EQ(model.setArch("ketral2p"), 1);
  EXPECT_EQ(model.setDevice("d"), 1);
  EXPECT_EQ(model.setPackage("p"), 1);
  EXPECT_EQ(model.setSpeedGrade("-1"), 1);
  EXPECT_EQ(model.isK2P(), 0);

  EXPECT_THAT(model.getIOTypes(), IsEmpty());
  EXPECT_THAT(model.getIOAdapters(), IsEmpty());
  EXPECT_THAT(model.getTrimedIOTypes(), IsEmpty());
  EXPECT_FALSE(model.hasIoType(""));
  EXPECT_THAT(model.getInstanceNamesByIOType("QOR_UART_V1", 0), IsEmpty());
  EXPECT_TRUE(model.getIOTypeByInstanceName("uart").IsEmpty());
  EXPECT_TRUE(model.getAlertOfIns("uart").IsEmpty());
  EXPECT_TRUE(model.getAttributeValue("uart", "IOTYPE").IsEmpty());
  EXPECT_EQ(model.getSpeedOfIns("uart").str(), "LOW");
  EXPECT_THAT(model.getDupInsNamesOfKeyIns("uart"), IsEmpty());
  EXPECT_THAT(model.getExclusiveInsSeq("uart"), IsEmpty());

  EXPECT_TRUE(model.getParamNameByIois("uart", "baud").IsEmpty());
  EXPECT_TRUE(model.getCoreParamValue("uart", "baud").IsEmpty());
  EXPECT_TRUE(model.getCoreParamShortDesc("uart", "baud").IsEmpty());
  EXPECT_TRUE(model.getCoreParamLongDesc("uart", "baud").IsEmpty());
  EXPECT_TRUE(model.getValByInsIoisName("uart", "baud", "VALUE_NOTE").IsEmpty());
  EXPECT_FALSE(model.hasPortIoisVal("uart", "tx"));
  EXPECT_TRUE(model.getParamValue("uart", "C_BAUD").IsEmpty());
  EXPECT_TRUE(model.getParamSubpropValue("uart", "C_BAUD", "DESC").IsEmpty());
  EXPECT_TRUE(model.getPortValue("uart", "TX").IsEmpty());
  EXPECT_TRUE(model.getPortSubpropValue("uart", "TX", "DIR").IsEmpty());
}

TEST(MbdCore, ErrorCode_PassesOnTheReadResult) {
  auto good = ReadBoard("ATTRIBUTE NAME = DK-1\n");
  EXPECT_EQ(MBD(good.get()).GetErrorCode(), 0);

  LyrBoard::Qbd bad;
  ASSERT_NE(bad.ReadString("BEGIN BLOCK\n  PARAMETER = \n"), 0);
  EXPECT_NE(bad.GetErrorCode(), 0);
  EXPECT_EQ(MBD(&bad).GetErrorCode(), bad.GetErrorCode());
}

TEST(MbdCore, BlockByName_FirstMatchIgnoringCase) {
  auto qbd = ReadBoard(R"(
BEGIN BLOCK Uart
END
BEGIN BLOCK UART
END
BEGIN BLOCK spi
END
)");
  MBD model(qbd.get());
  const auto blocks = Blocks(*qbd);
  EXPECT_EQ(model.getBlockByName("UART"), blocks[0]);
  EXPECT_EQ(model.getBlockByName("uart"), blocks[0]);
  EXPECT_EQ(model.getBlockByName("SPI"), blocks[2]);
  EXPECT_EQ(model.getBlockByName("spi "), nullptr);
  EXPECT_EQ(model.getBlockByName("sp"), nullptr);
}

TEST(MbdCore, BlocksByIoType_MatchIgnoringCaseInBlockOrder) {
  auto qbd = ReadBoard(R"(
BEGIN BLOCK a
  ATTRIBUTE IOTYPE = qor_ddr_v1
END
BEGIN BLOCK untyped
END
BEGIN BLOCK b
  ATTRIBUTE IOTYPE = QOR_DDR_V1
END
BEGIN BLOCK c
  ATTRIBUTE IOTYPE = QOR_DDR2_V1
END
)");
  MBD model(qbd.get());
  EXPECT_THAT(Strings(model.getInstanceNamesByIOType("Qor_Ddr_V1", 0)), ElementsAre("a", "b"));
  EXPECT_THAT(model.getInstanceNamesByIOType("QOR_DDR", 0), IsEmpty());
}

TEST(MbdCore, FpgaBlocks_FirstByBlockTypeIgnoringCase) {
  auto qbd = ReadBoard(R"(
BEGIN BLOCK notfpga
  ATTRIBUTE FAMILY = wrong
END
BEGIN BLOCK f1
  ATTRIBUTE BLOCKTYPE = fpga
  ATTRIBUTE FAMILY = first
END
BEGIN BLOCK f2
  ATTRIBUTE BLOCKTYPE = FPGA
  ATTRIBUTE FAMILY = second
END
)");
  EXPECT_EQ(MBD(qbd.get()).getArch().str(), "first");

  auto none = ReadBoard("BEGIN BLOCK x\n  ATTRIBUTE FAMILY = ketral2p\nEND\n");
  EXPECT_TRUE(MBD(none.get()).getArch().IsEmpty());
}

TEST(MbdCore, Copy_SharesTreeAndDoesNotExpandAgain) {
  auto qbd = ReadBoard(kTemplate);
  MBD source(qbd.get());
  const auto expanded = BlockNames(*qbd);
  ASSERT_THAT(expanded, ElementsAre("fpga", "uart", "uart_1", "uart_2"));
  {
    MBD copy(source);
    EXPECT_EQ(copy.getQbdObject(), qbd.get());
    EXPECT_THAT(Strings(copy.getDupInsNamesOfKeyIns("uart")), ElementsAre("uart_1", "uart_2"));
    EXPECT_THAT(BlockNames(*qbd), expanded);

    auto other = ReadBoard("ATTRIBUTE NAME = DK-1\n");
    MBD assigned(other.get());
    assigned = source;
    EXPECT_EQ(assigned.getQbdObject(), qbd.get());
    EXPECT_THAT(Strings(assigned.getInstanceNamesByIOType("QOR_UART_V1", 1)),
                ElementsAre("uart"));
    EXPECT_THAT(BlockNames(*qbd), expanded);
  }
  // The copies are gone; the source and the tree are intact.
  EXPECT_THAT(BlockNames(*qbd), expanded);
  EXPECT_THAT(Strings(source.getDupInsNamesOfKeyIns("uart")), ElementsAre("uart_1", "uart_2"));
  EXPECT_EQ(source.getPortValue("uart_2", "TX_2").str(), "uart_tx_2");
}
