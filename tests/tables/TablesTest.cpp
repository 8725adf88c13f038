#include "TestBoards.h"

using tables_test::Board;
using tables_test::ValuesOf;

namespace {

const char kUartBoard[] = R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE  = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT rx_pin    = J1, UCF_NET_STRING = ("IOSTANDARD=LVCMOS33", "LOC=P12"), DIR = I
  PORT odd_pin   = J2, UCF_NET_STRING = (" loc = P13", "=LOC", "NOEQ")
  PORT empty_loc = J3, UCF_NET_STRING = ("LOC=", "LOC=Q1")
  PORT no_ucf    = J4, DIR = O
  PORT one_ucf   = J5, UCF_NET_STRING = "LOC=R7"
END

BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart_0
  ATTRIBUTE IOTYPE   = QOR_UART_V1
  PARAMETER C_BAUD   = 9600, IO_IS = baud, " DESC	" = rate, VALUE = shadow
  PARAMETER C_HIDDEN = 1, DESC = no role
  PORT RX  = j1, IO_IS = rx, DIR = I
  PORT TX  = J9, IO_IS = tx
  PORT RX2 = J2, IO_IS = RX, " NOTE " = second
  PORT NC  = J1
END

BEGIN BLOCK
  ATTRIBUTE INSTANCE = uart_1
  ATTRIBUTE IOTYPE   = QOR_UART_V1
  PARAMETER C_BAUD   = 115200, IO_IS = baud
  PORT RX = J5, IO_IS = rx
END

BEGIN BLOCK
  ATTRIBUTE INSTANCE = probe_0
  PORT A = J2, IO_IS = a
  PORT B = J3, IO_IS = b
  PORT C = J4, IO_IS = c
  PORT D = J9, IO_IS = d
  PORT E = J5, IO_IS = e
  PORT F = J1, IO_IS = f
  PORT G = , IO_IS = g
END
)";

TEST(Tables, ParamsByIns_OneTablePerParameterWithRole) {
  Board board(kUartBoard);
  const std::vector<MBD::Table> tables = board.mbd->getParamsByIns("UART_0");
  ASSERT_EQ(1u, tables.size());
  const MBD::Table& t = tables[0];
  // The parameter's own value comes first, a sub-property named VALUE after it.
  EXPECT_EQ((std::vector<std::string>{"9600", "shadow"}), ValuesOf(t, "VALUE"));
  EXPECT_EQ(std::vector<std::string>{"baud"}, ValuesOf(t, "IO_IS"));
  EXPECT_EQ(std::vector<std::string>{"rate"}, ValuesOf(t, "DESC"));
  EXPECT_EQ(4u, t.size());
  EXPECT_EQ(0u, t.count("C_BAUD"));
}

TEST(Tables, ParamsByIns_AbsentInstance) {
  Board board(kUartBoard);
  EXPECT_TRUE(board.mbd->getParamsByIns("").empty());
  EXPECT_TRUE(board.mbd->getParamsByIns("nosuch").empty());
  EXPECT_TRUE(board.mbd->getParamsByIns("probe_0").empty());
}

TEST(Tables, ByIOType_FirstInstanceOnly) {
  Board board(kUartBoard);
  const std::vector<MBD::Table> params = board.mbd->getParamsByIOType("qor_uart_v1");
  ASSERT_EQ(1u, params.size());
  EXPECT_EQ((std::vector<std::string>{"9600", "shadow"}), ValuesOf(params[0], "VALUE"));
  EXPECT_EQ(2u, board.mbd->getPortsByIOType("QOR_UART_V1").size());
  EXPECT_TRUE(board.mbd->getParamsByIOType("QOR_NONE_V1").empty());
  EXPECT_TRUE(board.mbd->getPortsByIOType("QOR_NONE_V1").empty());
  EXPECT_TRUE(board.mbd->getPortsByIOType("").empty());
}

TEST(Tables, PortsByIns_ConstraintsConnectorAndSubProperties) {
  Board board(kUartBoard);
  const std::vector<MBD::Table> tables = board.mbd->getPortsByIns("uart_0");
  // RX reaches J1; TX's connector has no FPGA port; RX2 shares RX's role, so it resolves to
  // RX's connector too; NC has no role.
  ASSERT_EQ(2u, tables.size());
  const MBD::Table& rx = tables[0];
  EXPECT_EQ((std::vector<std::string>{"IOSTANDARD=LVCMOS33", "LOC=P12"}),
            ValuesOf(rx, "UCF_NET_STRING"));
  EXPECT_EQ(std::vector<std::string>{"j1"}, ValuesOf(rx, "CONNECTOR"));
  EXPECT_EQ(std::vector<std::string>{"rx"}, ValuesOf(rx, "IO_IS"));
  EXPECT_EQ(std::vector<std::string>{"I"}, ValuesOf(rx, "DIR"));
  EXPECT_EQ(5u, rx.size());

  const MBD::Table& rx2 = tables[1];
  EXPECT_EQ(std::vector<std::string>{"j1"}, ValuesOf(rx2, "CONNECTOR"));
  EXPECT_EQ(std::vector<std::string>{"RX"}, ValuesOf(rx2, "IO_IS"));
  EXPECT_EQ(std::vector<std::string>{"second"}, ValuesOf(rx2, "NOTE"));
  EXPECT_EQ(0u, rx2.count("DIR"));
}

TEST(Tables, PortsByIns_ScalarConstraintIsOneString) {
  Board board(kUartBoard);
  const std::vector<MBD::Table> tables = board.mbd->getPortsByIns("uart_1");
  ASSERT_EQ(1u, tables.size());
  EXPECT_EQ(std::vector<std::string>{"LOC=R7"}, ValuesOf(tables[0], "UCF_NET_STRING"));
  EXPECT_EQ("R7", board.mbd->getCorePortLoc("uart_1", "rx").str());
}

TEST(Tables, PortsByIns_EveryFpgaBlockAndPortOfTheConnector) {
  Board board(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE  = fpga_a
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT p1 = bus, UCF_NET_STRING = ("LOC=A1")
  PORT p2 = BUS, UCF_NET_STRING = ("LOC=A2")
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = core
  PORT D = Bus, IO_IS = data
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE  = fpga_b
  ATTRIBUTE BLOCKTYPE = fpga
  PORT q1 = bus, UCF_NET_STRING = ("LOC=B1")
  PORT q2 = bus
END
)");
  Port_MsgCapture trace;
  const std::vector<MBD::Table> tables = board.mbd->getPortsByIns("core");
  ASSERT_EQ(3u, tables.size());
  EXPECT_EQ(std::vector<std::string>{"LOC=A1"}, ValuesOf(tables[0], "UCF_NET_STRING"));
  EXPECT_EQ(std::vector<std::string>{"LOC=A2"}, ValuesOf(tables[1], "UCF_NET_STRING"));
  EXPECT_EQ(std::vector<std::string>{"LOC=B1"}, ValuesOf(tables[2], "UCF_NET_STRING"));
  EXPECT_EQ(std::vector<std::string>{"Bus"}, ValuesOf(tables[2], "CONNECTOR"));
  EXPECT_EQ(std::vector<std::string>{"connector Bus has no UCF define in FPGA section\n"},
            trace.texts(Port_MsgKind::Trace));
  EXPECT_EQ("A1", board.mbd->getCorePortLoc("core", "DATA").str());
}

TEST(Tables, CorePortLoc_KeyTrimmedValueAsStored) {
  Board board(kUartBoard);
  Port_MsgCapture trace;
  EXPECT_EQ("P12", board.mbd->getCorePortLoc("uart_0", "RX").str());
  EXPECT_EQ(" P13", board.mbd->getCorePortLoc("probe_0", "a").str());
  // "LOC=" ends the search with an empty location although "LOC=Q1" follows.
  EXPECT_EQ("", board.mbd->getCorePortLoc("probe_0", "b").str());
  EXPECT_EQ("R7", board.mbd->getCorePortLoc("probe_0", "e").str());
  EXPECT_EQ("P12", board.mbd->getCorePortLoc("probe_0", "f").str());
  EXPECT_TRUE(trace.texts(Port_MsgKind::Trace).empty());
}

TEST(Tables, CorePortLoc_MissingConstraintsTraceOnlyForFpgaPortWithoutThem) {
  Board board(kUartBoard);
  Port_MsgCapture trace;
  EXPECT_EQ("", board.mbd->getCorePortLoc("probe_0", "c").str());
  EXPECT_EQ(std::vector<std::string>{"connector J4 has no UCF define in FPGA section\n"},
            trace.texts(Port_MsgKind::Trace));
  EXPECT_EQ("", board.mbd->getCorePortLoc("probe_0", "d").str());
  EXPECT_EQ("", board.mbd->getCorePortLoc("probe_0", "g").str());
  EXPECT_EQ("", board.mbd->getCorePortLoc("probe_0", "nosuch").str());
  EXPECT_EQ("", board.mbd->getCorePortLoc("nosuch", "a").str());
  EXPECT_EQ(1u, trace.texts(Port_MsgKind::Trace).size());
}

TEST(Tables, PortsByIns_PortsWithoutConstraintsGiveNothing) {
  Board board(kUartBoard);
  Port_MsgCapture trace;
  const std::vector<MBD::Table> tables = board.mbd->getPortsByIns("probe_0");
  // A, B, E and F reach constrained FPGA ports; C's lacks constraints, D's and G's none exist.
  ASSERT_EQ(4u, tables.size());
  EXPECT_EQ(std::vector<std::string>{"a"}, ValuesOf(tables[0], "IO_IS"));
  EXPECT_EQ((std::vector<std::string>{" loc = P13", "=LOC", "NOEQ"}),
            ValuesOf(tables[0], "UCF_NET_STRING"));
  EXPECT_EQ(std::vector<std::string>{"f"}, ValuesOf(tables[3], "IO_IS"));
  EXPECT_EQ(std::vector<std::string>{"connector J4 has no UCF define in FPGA section\n"},
            trace.texts(Port_MsgKind::Trace));
}

const char kSharedNetBoard[] = R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE  = fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  PORT a = bus, UCF_NET_STRING = "LOC=A1"
  PORT b = BUS, UCF_NET_STRING = "LOC=A2"
  PORT c = one, UCF_NET_STRING = "LOC=A3"
END

BEGIN BLOCK
  ATTRIBUTE INSTANCE = io_0
  PORT P = bus, IO_IS = p
  PORT Q = Bus, IO_IS = q, DIR = O
  PORT R = one, IO_IS = r
  PORT S = one, IO_IS = s
  PORT T = bus, IO_IS = t
END
)";

// The tables visitPortTables hands over, with the port each came with.
std::vector<std::pair<std::string, MBD::Table>> Visited(MBD& mbd, const char* instance) {
  std::vector<std::pair<std::string, MBD::Table>> visited;
  mbd.visitPortTables(instance, [&visited](const StringBase& port, const MBD::Table& table) {
    visited.emplace_back(port.str(), table);
  });
  return visited;
}

TEST(Tables, VisitPortTables_SharedNetListedOnce) {
  Board board(kSharedNetBoard);
  const std::vector<MBD::Table> all = board.mbd->getPortsByIns("io_0");
  const auto visited = Visited(*board.mbd, "io_0");
  // P lists both pins of "bus"; Q and T (the same net, spelt otherwise) name P; the net of one
  // pin is listed at R and at S alike.
  const std::vector<std::string> ports{"P", "P", "Q", "R", "S", "T"};
  ASSERT_EQ(ports.size(), visited.size());
  for (std::size_t i = 0; i < ports.size(); ++i) EXPECT_EQ(ports[i], visited[i].first) << i;
  EXPECT_EQ(all[0], visited[0].second);
  EXPECT_EQ(all[1], visited[1].second);
  EXPECT_EQ(all[4], visited[3].second);
  EXPECT_EQ(all[5], visited[4].second);
  const MBD::Table& q = visited[2].second;
  EXPECT_EQ(std::vector<std::string>{"P"}, ValuesOf(q, "SAME_NET_AS"));
  EXPECT_EQ(std::vector<std::string>{"Bus"}, ValuesOf(q, "CONNECTOR"));
  EXPECT_EQ(std::vector<std::string>{"O"}, ValuesOf(q, "DIR"));
  EXPECT_EQ(0u, q.count("UCF_NET_STRING"));
  EXPECT_EQ(std::vector<std::string>{"P"}, ValuesOf(visited[5].second, "SAME_NET_AS"));
  EXPECT_TRUE(Visited(*board.mbd, "nosuch").empty());
}

TEST(Tables, NullBoard_NothingThere) {
  MBD mbd(nullptr);
  EXPECT_TRUE(mbd.getParamsByIns("x").empty());
  EXPECT_TRUE(mbd.getParamsByIOType("QOR_UART_V1").empty());
  EXPECT_TRUE(mbd.getPortsByIns("x").empty());
  EXPECT_TRUE(mbd.getPortsByIOType("QOR_UART_V1").empty());
  EXPECT_EQ("", mbd.getCorePortLoc("x", "rx").str());
}

}  // namespace
