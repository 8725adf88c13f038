// Parameters and ports of an instance, found by role (IO_IS) or by name.
#include <gmock/gmock.h>

#include "MbdTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using mbdtest::ReadBoard;

namespace {

const char* const kBoard = R"(
ATTRIBUTE NAME = DK-1
BEGIN BLOCK clk_0
  ATTRIBUTE IOTYPE = QOR_CLOCK_V1
  PARAMETER C_NOROLE = 1
  PARAMETER C_EMPTYROLE = 2, IO_IS = ""
  PARAMETER C_FREQ_A = 100000000, IO_IS = clk_freq, VALUE_TEXT = "first long"
  PARAMETER C_FREQ_B = 50000000, IO_IS = CLK_FREQ, VALUE_NOTE = "second short",
            VALUE_TEXT = "second long"
  PARAMETER C_BAUDRATE = 9600
  PARAMETER c_baudrate = 19200, DESC = "the second one"
  PARAMETER C_POL = 1, IO_IS = polarity
  PORT CLK = sys_clk, IO_IS = ext_clk, DIR = O
  PORT RST = sys_rst, DIR = I
  PORT rst = other_rst, dir = "later"
END
BEGIN BLOCK CLK_0
  PARAMETER C_FREQ = 1, IO_IS = clk_freq
END
)";

}  // namespace

TEST(MbdValues, ByRole_FirstParameterOfThatRoleIgnoringCase) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  EXPECT_EQ(model.getCoreParamValue("clk_0", "clk_freq").str(), "100000000");
  EXPECT_EQ(model.getCoreParamValue("CLK_0", "Clk_Freq").str(), "100000000");
  EXPECT_EQ(model.getParamNameByIois("clk_0", "CLK_FREQ").str(), "C_FREQ_A");
  EXPECT_EQ(model.getParamNameByIois("clk_0", "polarity").str(), "C_POL");
  EXPECT_TRUE(model.getCoreParamValue("clk_0", "nosuch").IsEmpty());
  EXPECT_TRUE(model.getParamNameByIois("nosuch", "clk_freq").IsEmpty());
  // A role of ports is not a role of parameters.
  EXPECT_TRUE(model.getCoreParamValue("clk_0", "ext_clk").IsEmpty());
}

TEST(MbdValues, ByRole_EmptyRoleNeedsAnIoIsSubProperty) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  EXPECT_EQ(model.getParamNameByIois("clk_0", "").str(), "C_EMPTYROLE");
  EXPECT_EQ(model.getCoreParamValue("clk_0", "").str(), "2");
}

TEST(MbdValues, Descriptions_FirstParameterOfTheRoleThatHasThem) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  EXPECT_EQ(model.getCoreParamShortDesc("clk_0", "clk_freq").str(), "second short");
  EXPECT_EQ(model.getCoreParamLongDesc("clk_0", "clk_freq").str(), "first long");
  EXPECT_EQ(model.getCoreParamDesc("clk_0", "clk_freq", "value_text").str(), "first long");
  EXPECT_TRUE(model.getCoreParamDesc("clk_0", "clk_freq", "RANGE").IsEmpty());
  EXPECT_TRUE(model.getCoreParamShortDesc("clk_0", "polarity").IsEmpty());
  EXPECT_TRUE(model.getCoreParamShortDesc("nosuch", "clk_freq").IsEmpty());
}

TEST(MbdValues, ValByRoleAndTag_OnlyTheFirstOfTheRoleCounts) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  Port_MsgCapture log;
  EXPECT_EQ(model.getValByInsIoisName("clk_0", "CLK_FREQ", "value_text").str(), "first long");
  EXPECT_THAT(log.texts(Port_MsgKind::Trace), IsEmpty());
  // The first clk_freq parameter has no VALUE_NOTE; the second's is not looked at.
  EXPECT_TRUE(model.getValByInsIoisName("clk_0", "Clk_Freq", "VALUE_NOTE").IsEmpty());
  EXPECT_TRUE(model.getValByInsIoisName("clk_0", "Baud", "VALUE_NOTE").IsEmpty());
  EXPECT_TRUE(model.getValByInsIoisName("Nosuch", "clk_freq", "VALUE_NOTE").IsEmpty());
  EXPECT_THAT(log.texts(Port_MsgKind::Trace), ElementsAre("There is no VALUE_NOTE tag defined in clk_0:Clk_Freq\n",
                                      "There is no IOIS = Baud found in clk_0\n",
                                      "There is no such instance found in QBD:Nosuch\n"));
}

TEST(MbdValues, PortRole_OnlyPortsCountAndAMissingInstanceIsTraced) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  Port_MsgCapture log;
  EXPECT_TRUE(model.hasPortIoisVal("clk_0", "EXT_CLK"));
  EXPECT_FALSE(model.hasPortIoisVal("clk_0", "clk_freq"));
  EXPECT_FALSE(model.hasPortIoisVal("clk_0", ""));
  EXPECT_THAT(log.texts(Port_MsgKind::Trace), IsEmpty());
  EXPECT_FALSE(model.hasPortIoisVal("gone", "ext_clk"));
  EXPECT_THAT(log.texts(Port_MsgKind::Trace), ElementsAre("There is no such instance found in QBD:gone\n"));
}

TEST(MbdValues, ByName_FirstOfThatNameIgnoringCase) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  EXPECT_EQ(model.getParamValue("clk_0", "c_baudrate").str(), "9600");
  EXPECT_EQ(model.getPortValue("clk_0", "clk").str(), "sys_clk");
  EXPECT_EQ(model.getPortValue("clk_0", "rst").str(), "sys_rst");
  EXPECT_TRUE(model.getPortValue("clk_0", "C_BAUDRATE").IsEmpty());
  EXPECT_TRUE(model.getParamValue("clk_0", "CLK").IsEmpty());
  EXPECT_TRUE(model.getParamValue("nosuch", "C_BAUDRATE").IsEmpty());
}

TEST(MbdValues, SubPropByName_FirstParameterOfThatNameThatHasIt) {
  auto qbd = ReadBoard(kBoard);
  MBD model(qbd.get());
  EXPECT_EQ(model.getParamSubpropValue("clk_0", "C_BAUDRATE", "desc").str(), "the second one");
  EXPECT_EQ(model.getParamSubpropValue("clk_0", "c_freq_b", "value_note").str(),
            "second short");
  EXPECT_TRUE(model.getParamSubpropValue("clk_0", "C_BAUDRATE", "RANGE").IsEmpty());
  EXPECT_EQ(model.getPortSubpropValue("clk_0", "RST", "DIR").str(), "I");
  EXPECT_EQ(model.getPortSubpropValue("clk_0", "CLK", "io_is").str(), "ext_clk");
  EXPECT_TRUE(model.getPortSubpropValue("clk_0", "CLK", "LOC").IsEmpty());
  EXPECT_TRUE(model.getPortSubpropValue("nosuch", "CLK", "DIR").IsEmpty());
}
