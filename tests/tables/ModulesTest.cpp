#include "LyrWiz_WizUtils.h"
#include "TestBoards.h"

using tables_test::Board;

namespace {

// "key=value" for each entry, in map order (equal keys in insertion order).
std::vector<std::string> Entries(const LyrWiz_Properties& props) {
  std::vector<std::string> out;
  for (const auto& kv : props) out.push_back(kv.first.str() + "=" + kv.second.str());
  return out;
}

std::vector<std::string> Names(const std::vector<LyrWiz_Module*>& modules) {
  std::vector<std::string> out;
  for (const LyrWiz_Module* m : modules) out.push_back(m->name.str());
  return out;
}

const char kBoard[] = R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  ATTRIBUTE " FAMILY	" = ketral4
  PARAMETER FAMILY = param side
  PORT clk_pin = sys_clk, IO_IS = clk, DIR = I, UCF_NET_STRING = ("LOC=A1", "IOSTANDARD=X", "PERIOD=10")
  PORT led_pin = led_net
END

BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart_0
  ATTRIBUTE " IOTYPE	" = QOR_UART_V1
  PARAMETER C_BAUD = 9600, IO_IS = baud, c_baud = self, DESC = rate
  PARAMETER C_SECRET = 7, PERMIT = base_user, DESC = hidden
  PARAMETER C_OPEN = 8, PERMIT = BASE
  PORT RX = sys_clk, DIR = I, IO_IS = rx, NOTE = n
  PORT TX = tx_net, DIR = O
END

BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga_1
  ATTRIBUTE BLOCKTYPE = fpga
  PORT other = led_net, UCF_NET_STRING = ("LOC=B2")
END

BEGIN BLOCK
  ATTRIBUTE INSTANCE = clk_0
END
)";

TEST(Modules, NoFpgaBlock_ModuleUntouched) {
  Board board(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart_0
  PORT TX = tx
END
)");
  LyrWiz_Module top("host");
  EXPECT_EQ(0, board.mbd->setupModules(&top));
  EXPECT_EQ("host", top.name.str());
  EXPECT_TRUE(top.properties.empty());
  EXPECT_TRUE(top.GetChildModules().empty());
  EXPECT_TRUE(top.GetPins().empty());
  EXPECT_TRUE(top.GetSignals().empty());
}

TEST(Modules, NullModuleOrBoard_NothingDone) {
  Board board(kBoard);
  EXPECT_EQ(0, board.mbd->setupModules(nullptr));
  LyrWiz_Module top("host");
  EXPECT_EQ(0, MBD(nullptr).setupModules(&top));
  EXPECT_EQ("host", top.name.str());
  EXPECT_TRUE(top.GetPins().empty());
}

TEST(Modules, TopModule_PropertiesTrimmedAttributesFirst) {
  Board board(kBoard);
  LyrWiz_Module top;
  ASSERT_EQ(0, board.mbd->setupModules(&top));
  EXPECT_EQ("fpga_0", top.name.str());
  EXPECT_EQ((std::vector<std::string>{"BLOCKTYPE=FPGA", "FAMILY=ketral4", "FAMILY=param side",
                                      "INSTANCE=fpga_0"}),
            Entries(top.properties));
  EXPECT_TRUE(top.GetParams().empty());
}

TEST(Modules, TopModule_PinsWithDirectionAndConstraints) {
  Board board(kBoard);
  LyrWiz_Module top;
  board.mbd->setupModules(&top);
  ASSERT_EQ(2u, top.GetPins().size());
  const LyrWiz_Pin* clk = top.GetPins()[0];
  EXPECT_EQ("clk_pin", clk->name.str());
  EXPECT_EQ(LyrWiz_Module::PINDIR_UNDEF, clk->dir);
  EXPECT_EQ(-1, clk->msb);
  // IO_IS of an FPGA port is not copied.
  EXPECT_EQ((std::vector<std::string>{"DIR=I", "UCF_NET_STRING=LOC=A1",
                                      "UCF_NET_STRING=IOSTANDARD=X", "UCF_NET_STRING=PERIOD=10"}),
            Entries(clk->properties));
  ASSERT_NE(nullptr, clk->GetInternalSignal());
  EXPECT_EQ("sys_clk", clk->GetInternalSignal()->name.str());
  EXPECT_EQ(nullptr, clk->GetExternalSignal());
  const LyrWiz_Pin* led = top.GetPins()[1];
  EXPECT_TRUE(led->properties.empty());
  EXPECT_EQ(LyrWiz_Module::PINDIR_UNDEF, led->dir);
}

TEST(Modules, Children_InBoardOrderWithSecondFpgaBlock) {
  Board board(kBoard);
  LyrWiz_Module top;
  board.mbd->setupModules(&top);
  EXPECT_EQ((std::vector<std::string>{"uart_0", "fpga_1", "clk_0"}),
            Names(top.GetChildModules()));
  const LyrWiz_Module* fpga1 = top.GetChildModules()[1];
  EXPECT_EQ((std::vector<std::string>{"BLOCKTYPE=fpga", "INSTANCE=fpga_1"}),
            Entries(fpga1->properties));
  ASSERT_EQ(1u, fpga1->GetPins().size());
  EXPECT_EQ((std::vector<std::string>{"UCF_NET_STRING=LOC=B2"}),
            Entries(fpga1->GetPins()[0]->properties));
  const LyrWiz_Module* clk = top.GetChildModules()[2];
  EXPECT_TRUE(clk->GetParams().empty());
  EXPECT_TRUE(clk->GetPins().empty());
}

TEST(Modules, Children_ParamsSkipBaseUserAndOwnName) {
  Board board(kBoard);
  LyrWiz_Module top;
  board.mbd->setupModules(&top);
  const LyrWiz_Module* uart = top.GetChildModules()[0];
  // A child's attribute names are kept as stored.
  EXPECT_EQ((std::vector<std::string>{" IOTYPE\t=QOR_UART_V1", "INSTANCE=uart_0"}),
            Entries(uart->properties));
  ASSERT_EQ(2u, uart->GetParams().size());
  const LyrWiz_Param* baud = uart->GetParams()[0];
  EXPECT_EQ("C_BAUD", baud->name.str());
  EXPECT_EQ("9600", baud->value.str());
  EXPECT_EQ((std::vector<std::string>{"DESC=rate", "IO_IS=baud"}), Entries(baud->properties));
  const LyrWiz_Param* open = uart->GetParams()[1];
  EXPECT_EQ("C_OPEN", open->name.str());
  EXPECT_EQ((std::vector<std::string>{"PERMIT=BASE"}), Entries(open->properties));
}

TEST(Modules, Children_PinsRoleFirstAndSignalsOnTop) {
  Board board(kBoard);
  LyrWiz_Module top;
  board.mbd->setupModules(&top);
  const LyrWiz_Module* uart = top.GetChildModules()[0];
  ASSERT_EQ(2u, uart->GetPins().size());
  const LyrWiz_Pin* rx = uart->GetPins()[0];
  EXPECT_EQ((std::vector<std::string>{"DIR=I", "IO_IS=rx", "NOTE=n"}), Entries(rx->properties));
  EXPECT_EQ(LyrWiz_Module::PINDIR_UNDEF, rx->dir);
  EXPECT_EQ(nullptr, rx->GetInternalSignal());
  // The child pin and the FPGA pin on one net meet in one top-module signal.
  EXPECT_EQ(top.GetPins()[0]->GetInternalSignal(), rx->GetExternalSignal());
  const LyrWiz_Pin* tx = uart->GetPins()[1];
  EXPECT_EQ((std::vector<std::string>{"DIR=O"}), Entries(tx->properties));
  EXPECT_EQ("tx_net", tx->GetExternalSignal()->name.str());
  EXPECT_TRUE(uart->GetSignals().empty());
  EXPECT_EQ(top.GetPins()[1]->GetInternalSignal(),
            top.GetChildModules()[1]->GetPins()[0]->GetExternalSignal());
  EXPECT_EQ(3u, top.GetSignals().size());
}

TEST(Modules, SecondCall_AddsASecondSet) {
  Board board(kBoard);
  LyrWiz_Module top;
  board.mbd->setupModules(&top);
  board.mbd->setupModules(&top);
  EXPECT_EQ(6u, top.GetChildModules().size());
  EXPECT_EQ(4u, top.GetPins().size());
  EXPECT_EQ(8u, top.properties.size());
}

}  // namespace

// A module's parts as text lines, in order: properties, parameters, pins with their signals.
std::vector<std::string> Outline(const LyrWiz_Module& m) {
  std::vector<std::string> out{"module " + m.name.str()};
  for (const std::string& e : Entries(m.properties)) out.push_back("property " + e);
  for (const LyrWiz_Param* p : m.GetParams()) {
    out.push_back("param " + p->name.str() + "=" + p->value.str());
    for (const std::string& e : Entries(p->properties)) out.push_back("  " + e);
  }
  for (const LyrWiz_Pin* p : m.GetPins()) {
    const LyrWiz_Signal* in = p->GetInternalSignal();
    const LyrWiz_Signal* ex = p->GetExternalSignal();
    out.push_back("pin " + p->name.str() + " <" + (in ? in->name.str() : "-") + " >" +
                  (ex ? ex->name.str() : "-"));
    for (const std::string& e : Entries(p->properties)) out.push_back("  " + e);
  }
  return out;
}

// Collects what the walk hands over, as the outline of the tree it stands for.
class Collector : public MBD::ModuleVisitor {
 public:
  void Top(const LyrWiz_Module& top, std::size_t signals) override {
    ++tops;
    this->signals = signals;
    lines = Outline(top);
  }
  void TopPin(const LyrWiz_Pin& pin) override {
    const std::vector<std::string> one = OutlinePin(pin);
    lines.insert(lines.end(), one.begin(), one.end());
  }
  void Child(const LyrWiz_Module& child) override {
    const std::vector<std::string> one = Outline(child);
    lines.insert(lines.end(), one.begin(), one.end());
  }
  static std::vector<std::string> OutlinePin(const LyrWiz_Pin& p) {
    std::vector<std::string> out{"pin " + p.name.str() + " <" + p.GetInternalSignal()->name.str() +
                                 " >-"};
    for (const std::string& e : Entries(p.properties)) out.push_back("  " + e);
    return out;
  }

  int tops = 0;
  std::size_t signals = 0;
  std::vector<std::string> lines;
};

TEST(Modules, Walk_HandsOverTheTreeSetupBuilds) {
  const std::string text = std::string(kBoard) + R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = gpio_0
  PORT A = Led_Net
  PORT B = ""
  PORT C = tx_net
END
)";
  Board board(text.c_str());
  LyrWiz_Module top;
  ASSERT_EQ(0, board.mbd->setupModules(&top));
  std::vector<std::string> expected = Outline(top);
  for (const LyrWiz_Module* child : top.GetChildModules()) {
    const std::vector<std::string> one = Outline(*child);
    expected.insert(expected.end(), one.begin(), one.end());
  }
  Collector walk;
  board.mbd->visitModules(walk);
  EXPECT_EQ(1, walk.tops);
  EXPECT_EQ(expected, walk.lines);
  // Nets count once byte for byte ("Led_Net" apart from "led_net"); a port without a net is
  // a signal of its own.
  EXPECT_EQ(top.GetSignals().size(), walk.signals);
  EXPECT_EQ(5u, walk.signals);
}

TEST(Modules, Walk_NothingWithoutFpgaBlockOrBoard) {
  Board board("BEGIN BLOCK\n  ATTRIBUTE INSTANCE = uart_0\n  PORT TX = tx\nEND\n");
  Collector walk;
  board.mbd->visitModules(walk);
  MBD(nullptr).visitModules(walk);
  EXPECT_EQ(0, walk.tops);
  EXPECT_TRUE(walk.lines.empty());
}
