#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MbdTestSupport.h"
#include "MbdWiring.h"

namespace {

using mbdtest::ReadBoard;

const char kBoard[] = R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT p0 = Bus
  PORT p1 = clk
  PORT p2 = BUS
  PORT p3 = ""
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = a
  PORT A0 = bus
  PORT A1 = lonely
  PORT A2 = ""
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_1
  ATTRIBUTE BLOCKTYPE = fpga
  PORT q0 = bUs
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = b
  PORT B0 = CLK
  PORT B1 = bus
  PORT B2 = clk
END
)";

std::vector<std::string> Names(const MbdWiring::Ports& ports) {
  std::vector<std::string> out;
  for (const MbdWiring::PortRef& ref : ports)
    out.push_back(ref.block->GetName().str() + "." + ref.port->GetName().str());
  return out;
}

TEST(MbdWiring, NetsMatchIgnoringCase_BoardOrderKept) {
  const auto qbd = ReadBoard(kBoard);
  const MbdWiring wiring(*qbd);
  // Several nets, each asked for in another spelling; the answers keep board order.
  const struct {
    const char* net;
    std::vector<std::string> pins;
    std::vector<std::string> ports;
    bool shared;  // several pins and several ports
  } cases[] = {
      {"bus", {"fpga_0.p0", "fpga_0.p2", "fpga_1.q0"}, {"a.A0", "b.B1"}, true},
      {"Clk", {"fpga_0.p1"}, {"b.B0", "b.B2"}, false},
      {"LONELY", {}, {"a.A1"}, false},
      {"nowhere", {}, {}, false},
      {"", {}, {}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.pins, Names(wiring.PinsOn(StringBase(c.net)))) << c.net;
    EXPECT_EQ(c.ports, Names(wiring.PortsOn(StringBase(c.net)))) << c.net;
    EXPECT_EQ(c.shared, wiring.IsSharedNet(StringBase(c.net))) << c.net;
  }
}

TEST(MbdWiring, BlocksAndPinsInBoardOrder) {
  const auto qbd = ReadBoard(kBoard);
  const MbdWiring wiring(*qbd);
  ASSERT_EQ(2u, wiring.FpgaBlocks().size());
  EXPECT_EQ("fpga_1", wiring.FpgaBlocks()[1]->GetName().str());
  ASSERT_EQ(2u, wiring.Instances().size());
  EXPECT_EQ("b", wiring.Instances()[1]->GetName().str());
  std::vector<std::string> pins;
  for (const MbdWiring::PortRef& ref : wiring.FpgaPins())
    pins.push_back(ref.port->GetName().str());
  // A pin without a net is still a pin.
  EXPECT_EQ((std::vector<std::string>{"p0", "p1", "p2", "p3", "q0"}), pins);
}

// Many nets, so that lookups land among neighbours in the sorted index.
TEST(MbdWiring, ManyNets_EachFindsOnlyItsOwn) {
  std::string text = "BEGIN BLOCK\n  ATTRIBUTE INSTANCE = fpga_0\n  ATTRIBUTE BLOCKTYPE = FPGA\n";
  for (int i = 0; i < 300; ++i)
    text += "  PORT p" + std::to_string(i) + " = n" + std::to_string(i % 100) + "\n";
  text += "END\nBEGIN BLOCK\n  ATTRIBUTE INSTANCE = a\n";
  for (int i = 0; i < 100; ++i)
    text += "  PORT A" + std::to_string(i) + " = N" + std::to_string(i) + "\n";
  text += "END\n";
  const auto qbd = ReadBoard(text);
  const MbdWiring wiring(*qbd);
  for (int i = 0; i < 100; ++i) {
    const StringBase net("n" + std::to_string(i));
    const std::vector<std::string> expected{"fpga_0.p" + std::to_string(i),
                                            "fpga_0.p" + std::to_string(i + 100),
                                            "fpga_0.p" + std::to_string(i + 200)};
    EXPECT_EQ(expected, Names(wiring.PinsOn(net)));
    EXPECT_EQ(std::vector<std::string>{"a.A" + std::to_string(i)}, Names(wiring.PortsOn(net)));
  }
}

}  // namespace
