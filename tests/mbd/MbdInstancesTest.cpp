// IO types, adapters, instances of a type, instance attributes, exclusion groups and the
// copies of a key instance.
#include <gmock/gmock.h>

#include "MbdTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using mbdtest::ReadBoard;
using mbdtest::Strings;

namespace {

const char* const kBoard = R"(
ATTRIBUTE NAME = DK-1
BEGIN BLOCK fpga
  ATTRIBUTE BLOCKTYPE = FPGA
END
BEGIN BLOCK ddr_a
  ATTRIBUTE IOTYPE = QOR_DDR_V1
  ATTRIBUTE CORENAME = mem_ctrl
  ATTRIBUTE SPEED = HIGH
  ATTRIBUTE EXCLUSIVE = grpA
  ATTRIBUTE ALERT = "needs jumper J3"
END
BEGIN BLOCK ddr_b
  ATTRIBUTE IOTYPE = QOR_DDR_V1
  ATTRIBUTE CORENAME = mem_ctrl
  ATTRIBUTE SPEED = fast
  ATTRIBUTE EXCLUSIVE = GRPA
END
BEGIN BLOCK ddr_c
  ATTRIBUTE IOTYPE = qor_ddr_v1
  ATTRIBUTE SPEED = ""
  ATTRIBUTE EXCLUSIVE = "grpA,b"
END
BEGIN BLOCK DDR_A
  ATTRIBUTE EXCLUSIVE = grpA
END
BEGIN BLOCK odd
  ATTRIBUTE IOTYPE = ""
  ATTRIBUTE EXCLUSIVE = ""
END
BEGIN BLOCK pal
  ATTRIBUTE EXCLUSIVE = grpa
END
)";

const char* const kTemplate = R"(
ATTRIBUTE NAME = Generic Template
BEGIN BLOCK fpga
  ATTRIBUTE BLOCKTYPE = FPGA
END
BEGIN BLOCK UART
  ATTRIBUTE INSTANCE = UART
  ATTRIBUTE IOTYPE = QOR_UART_V1
  ATTRIBUTE MAX_NUM_INSTANCES = 3
  ATTRIBUTE EXCLUSIVE = serial
END
BEGIN BLOCK fixed
  ATTRIBUTE INSTANCE = fixed
  ATTRIBUTE IOTYPE = qor_uart_v1
  ATTRIBUTE EXCLUSIVE = serial
END
BEGIN BLOCK Spi
  ATTRIBUTE INSTANCE = spi
  ATTRIBUTE IOTYPE = QOR_UART_V1
  ATTRIBUTE MAX_NUM_INSTANCES = 1
END
)";

}  // namespace

TEST(MbdInstances, IoTypesAndAdapters_KeepRepeatsInBlockOrder) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  EXPECT_THAT(Strings(model.getIOTypes()),
              ElementsAre("QOR_DDR_V1", "QOR_DDR_V1", "qor_ddr_v1", ""));
  EXPECT_THAT(Strings(model.getIOAdapters()), ElementsAre("mem_ctrl", "mem_ctrl"));
}

TEST(MbdInstances, TrimmedIoTypes_DropOnlyExactRepeats) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  EXPECT_THAT(Strings(model.getTrimedIOTypes()), ElementsAre("QOR_DDR_V1", "qor_ddr_v1", ""));
  EXPECT_TRUE(model.hasIoType("QOR_DDR_V1"));
  EXPECT_TRUE(model.hasIoType("qor_ddr_v1"));
  EXPECT_FALSE(model.hasIoType("Qor_Ddr_V1"));
  EXPECT_FALSE(model.hasIoType("DDR"));
  EXPECT_TRUE(model.hasIoType(""));
}

TEST(MbdInstances, InstancesOfType_IgnoreCaseAndSkipAnEmptyType) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  EXPECT_THAT(Strings(model.getInstanceNamesByIOType("qor_ddr_v1", 0)),
              ElementsAre("ddr_a", "ddr_b", "ddr_c"));
  // A real board has no key instances.
  EXPECT_THAT(model.getInstanceNamesByIOType("QOR_DDR_V1", 1), IsEmpty());
  // Block "odd" has an empty IOTYPE, yet an empty type asks for nothing.
  EXPECT_THAT(model.getInstanceNamesByIOType("", 0), IsEmpty());
}

TEST(MbdInstances, InstancesOfType_KeyOnlyMatchesRecordedKeysExactly) {
  auto qbd = ReadBoard(kTemplate);
  MBD model(qbd.get());
  EXPECT_THAT(Strings(model.getInstanceNamesByIOType("qor_uart_v1", 0)),
              ElementsAre("UART", "fixed", "Spi", "UART_1", "UART_2"));
  // "Spi" was recorded as "spi": the exact lookup does not list it.
  EXPECT_THAT(Strings(model.getInstanceNamesByIOType("qor_uart_v1", 1)), ElementsAre("UART"));
  EXPECT_THAT(Strings(model.getDupInsNamesOfKeyIns("UART")), ElementsAre("UART_1", "UART_2"));
  EXPECT_THAT(model.getDupInsNamesOfKeyIns("uart"), IsEmpty());
  EXPECT_THAT(model.getDupInsNamesOfKeyIns("UART_1"), IsEmpty());
  EXPECT_THAT(model.getDupInsNamesOfKeyIns("spi"), IsEmpty());
}

TEST(MbdInstances, Attributes_ReadFromTheFirstBlockOfThatName) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  EXPECT_EQ(model.getIOTypeByInstanceName("DDR_B").str(), "QOR_DDR_V1");
  EXPECT_EQ(model.getAlertOfIns("ddr_a").str(), "needs jumper J3");
  // DDR_A (second) has no CORENAME; ddr_a (first) has.
  EXPECT_EQ(model.getAttributeValue("DDR_A", "corename").str(), "mem_ctrl");
  EXPECT_TRUE(model.getIOTypeByInstanceName("fpga").IsEmpty());
  EXPECT_TRUE(model.getAlertOfIns("ddr_b").IsEmpty());
  EXPECT_TRUE(model.getAttributeValue("nosuch", "IOTYPE").IsEmpty());
  EXPECT_TRUE(model.getAttributeValue("ddr_a", "NOSUCH").IsEmpty());
}

TEST(MbdInstances, Speed_AsStoredOrLow) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  EXPECT_EQ(model.getSpeedOfIns("ddr_a").str(), "HIGH");
  EXPECT_EQ(model.getSpeedOfIns("ddr_b").str(), "fast");
  EXPECT_EQ(model.getSpeedOfIns("ddr_c").str(), "LOW");
  EXPECT_EQ(model.getSpeedOfIns("fpga").str(), "LOW");
  EXPECT_EQ(model.getSpeedOfIns("nosuch").str(), "LOW");
}

TEST(MbdInstances, Exclusive_SameTagIgnoringCaseNeverItself) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  // DDR_A equals ddr_a ignoring case, so it is left out too; "grpA,b" is another group.
  EXPECT_THAT(Strings(model.getExclusiveInsSeq("ddr_a")), ElementsAre("ddr_b", "pal"));
  EXPECT_THAT(Strings(model.getExclusiveInsSeq("DDR_B")), ElementsAre("ddr_a", "DDR_A", "pal"));
  EXPECT_THAT(model.getExclusiveInsSeq("ddr_c"), IsEmpty());
  EXPECT_THAT(model.getExclusiveInsSeq("odd"), IsEmpty());
  EXPECT_THAT(model.getExclusiveInsSeq("fpga"), IsEmpty());
  EXPECT_THAT(model.getExclusiveInsSeq("nosuch"), IsEmpty());
}

TEST(MbdInstances, Exclusive_EmptyOnAGenericTemplate) {
  auto qbd = ReadBoard(kTemplate);
  MBD model(qbd.get());
  EXPECT_THAT(model.getExclusiveInsSeq("fixed"), IsEmpty());
}
