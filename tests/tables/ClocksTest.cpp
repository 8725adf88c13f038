#include "TestBoards.h"

using tables_test::Board;
using tables_test::Strings;

namespace {

struct Rng {
  unsigned minFreq, maxFreq, stepFreq;
  std::string name;
  bool operator==(const Rng& o) const {
    return minFreq == o.minFreq && maxFreq == o.maxFreq && stepFreq == o.stepFreq &&
           name == o.name;
  }
};

std::ostream& operator<<(std::ostream& os, const Rng& r) {
  return os << "{" << r.minFreq << ", " << r.maxFreq << ", " << r.stepFreq << ", " << r.name
            << "}";
}

std::vector<Rng> Ranges(const std::vector<MBD::ClkRng>& in) {
  std::vector<Rng> out;
  for (const MBD::ClkRng& r : in)
    out.push_back(Rng{r.minFreq, r.maxFreq, r.stepFreq, r.clkInsName.str()});
  return out;
}

TEST(Clocks, ClkRng_DefaultNumbersAreZero) {
  const MBD::ClkRng r;
  EXPECT_EQ(0u, r.minFreq);
  EXPECT_EQ(0u, r.maxFreq);
  EXPECT_EQ(0u, r.stepFreq);
  EXPECT_TRUE(r.clkInsName.IsEmpty());
}

TEST(Clocks, RstPolarity_FirstResetInstanceOnly) {
  Board board(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = rst_a
  ATTRIBUTE IOTYPE   = qor_reset_v1
  PARAMETER C_OTHER  = 9, IO_IS = other
  PARAMETER C_POL    = active low, IO_IS = POLARITY
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = rst_b
  ATTRIBUTE IOTYPE   = QOR_RESET_V1
  PARAMETER C_POL    = 1, IO_IS = polarity
END
)");
  EXPECT_EQ("active low", board.mbd->getRstPolarity().str());
}

TEST(Clocks, RstPolarity_AbsentGivesEmpty) {
  Board noReset(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = clk
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_POL    = 1, IO_IS = polarity
END
)");
  EXPECT_EQ("", noReset.mbd->getRstPolarity().str());
  Board noParam(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = rst
  ATTRIBUTE IOTYPE   = QOR_RESET_V1
  PARAMETER C_POL    = 1
END
)");
  EXPECT_EQ("", noParam.mbd->getRstPolarity().str());
}

TEST(Clocks, ClkFreqSeq_OneEntryPerClockInstance) {
  Board board(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = c1
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_FREQ   = 100, IO_IS = clk_freq
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = c2
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_OTHER  = 5
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = c3
  ATTRIBUTE IOTYPE   = qor_clock_v1
  PARAMETER C_FREQ   = 100, IO_IS = CLK_FREQ
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = c4
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_FREQ   = 3000000000, IO_IS = clk_freq
END
)");
  // A frequency of 2^31 or more is written unsigned.
  EXPECT_EQ((std::vector<std::string>{"100", "0", "100", "3000000000"}),
            Strings(board.mbd->getClkFreqSeq()));
  // Every parameter without RANGE empties the kept list before adding its own record.
  EXPECT_EQ((std::vector<Rng>{{0, 4294967295u, 1, "c4"}}), Ranges(board.mbd->getClkFreqRngSeq()));
  EXPECT_EQ("c1", board.mbd->findClkInst(1).str());
}

const char kRangeBoard[] = R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = CLK
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_FREQ   = 100, IO_IS = clk_freq, RANGE = ((25, 100), (125))
  PARAMETER C_FREQ2  = 10, IO_IS = Clk_Freq, RANGE = ((10, 100, 10))
END
)";

TEST(Clocks, Ranges_ReadFromEveryFrequencyParameter) {
  Board board(kRangeBoard);
  Port_MsgCapture trace;
  EXPECT_EQ((std::vector<Rng>{{25, 100, 0, "CLK"}, {125, 125, 1, "CLK"}, {10, 100, 10, "CLK"}}),
            Ranges(board.mbd->getClkFreqRngSeq()));
  EXPECT_EQ((std::vector<std::string>{"Get clock range 25:100:\n", "Get clock range 125:\n",
                                      "Get clock range 10:100:10:\n"}),
            trace.texts(Port_MsgKind::Trace));
}

TEST(Clocks, FindClkInst_RangesAndSteps) {
  Board board(kRangeBoard);
  EXPECT_EQ("CLK", board.mbd->findClkInst(50).str());
  EXPECT_EQ("CLK", board.mbd->findClkInst(125).str());
  EXPECT_EQ("", board.mbd->findClkInst(120).str());
  EXPECT_EQ("", board.mbd->findClkInst(5).str());
  Board stepped(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = S
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_FREQ   = 10, IO_IS = clk_freq, RANGE = ((10, 100, 10))
END
)");
  EXPECT_EQ("S", stepped.mbd->findClkInst(10).str());
  EXPECT_EQ("S", stepped.mbd->findClkInst(20).str());
  EXPECT_EQ("S", stepped.mbd->findClkInst(100).str());
  EXPECT_EQ("", stepped.mbd->findClkInst(35).str());
  EXPECT_EQ("", stepped.mbd->findClkInst(110).str());
}

TEST(Clocks, Ranges_UnrestrictedClockSupersedesEarlierRanges) {
  Board board(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = A
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_FREQ   = 50, IO_IS = clk_freq, RANGE = ((25, 100))
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = B
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_FREQ   = 66, IO_IS = clk_freq
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = C
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_FREQ   = 7, IO_IS = clk_freq, RANGE = ((7))
END
)");
  EXPECT_EQ((std::vector<Rng>{{0, 4294967295u, 1, "B"}, {7, 7, 1, "C"}}),
            Ranges(board.mbd->getClkFreqRngSeq()));
  // A's range is still searched, and comes first.
  EXPECT_EQ("A", board.mbd->findClkInst(50).str());
  EXPECT_EQ("B", board.mbd->findClkInst(7).str());
  EXPECT_EQ("B", board.mbd->findClkInst(4294967295u).str());
}

TEST(Clocks, Ranges_KeptForTheLifeOfTheModelAndItsCopies) {
  Board board(kRangeBoard);
  const std::vector<Rng> first = Ranges(board.mbd->getClkFreqRngSeq());
  LyrBase::Property* freq = board.Block("CLK")->GetPropertyByName(LyrBoard::QbdBlock::PARAMETER,
                                                                   "C_FREQ");
  freq->GetPsfCompByName("RANGE")->SetLyrValuePtr(new LyrBase::StrVal("7"));
  Port_MsgCapture trace;
  EXPECT_EQ(first, Ranges(board.mbd->getClkFreqRngSeq()));
  EXPECT_TRUE(trace.texts(Port_MsgKind::Trace).empty());
  EXPECT_EQ("", board.mbd->findClkInst(7).str());
  MBD copy(*board.mbd);
  EXPECT_EQ(first, Ranges(copy.getClkFreqRngSeq()));
  EXPECT_EQ("CLK", copy.findClkInst(50).str());
  // A fresh model reads the changed tree.
  MBD fresh(board.qbd.get());
  EXPECT_EQ((std::vector<Rng>{{7, 7, 1, "CLK"}, {10, 100, 10, "CLK"}}),
            Ranges(fresh.getClkFreqRngSeq()));
}

TEST(Clocks, Ranges_BadElementsAddNoRecord) {
  Board board(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = osc
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_FREQ   = 7, IO_IS = clk_freq, RANGE = ((), (1, 2, 3, 4), (7))
END
)");
  Port_MsgCapture trace;
  EXPECT_EQ((std::vector<Rng>{{7, 7, 1, "osc"}}), Ranges(board.mbd->getClkFreqRngSeq()));
  EXPECT_EQ("", board.mbd->findClkInst(0).str());
  EXPECT_EQ("", board.mbd->findClkInst(1).str());
  const std::string all = trace.text();
  EXPECT_NE(std::string::npos, all.find("Get clock range 1:2:3:4:\n"));
  int namingOsc = 0;
  for (const std::string& line : trace.texts(Port_MsgKind::Trace))
    if (line.find("osc") != std::string::npos) ++namingOsc;
  EXPECT_EQ(2, namingOsc);
}

TEST(Clocks, Ranges_PlainListAndSingleString) {
  Board board(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = L
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_FREQ   = 50, IO_IS = clk_freq, RANGE = (25, 100)
END
BEGIN BLOCK
  ATTRIBUTE INSTANCE = S
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_FREQ   = 40, IO_IS = clk_freq, RANGE = 40
END
)");
  EXPECT_EQ((std::vector<Rng>{{25, 100, 0, "L"}, {40, 40, 1, "S"}}),
            Ranges(board.mbd->getClkFreqRngSeq()));
}

TEST(Clocks, Ranges_RangeWithoutTypedValueAddsNothing) {
  Board board(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = N
  ATTRIBUTE IOTYPE   = QOR_CLOCK_V1
  PARAMETER C_FREQ   = 50, IO_IS = clk_freq
END
)");
  board.Block("N")
      ->GetPropertyByName(LyrBoard::QbdBlock::PARAMETER, "C_FREQ")
      ->AddPsfComp(new LyrBase::PsfComp("RANGE"));
  EXPECT_TRUE(board.mbd->getClkFreqRngSeq().empty());
  EXPECT_EQ("", board.mbd->findClkInst(50).str());
}

TEST(Clocks, NoClocks_EverythingEmpty) {
  Board board(R"(
BEGIN BLOCK
  ATTRIBUTE INSTANCE = fpga
  ATTRIBUTE BLOCKTYPE = FPGA
END
)");
  EXPECT_EQ("", board.mbd->findClkInst(100).str());
  EXPECT_TRUE(board.mbd->getClkFreqRngSeq().empty());
  EXPECT_TRUE(board.mbd->getClkFreqSeq().empty());
  MBD null(nullptr);
  EXPECT_EQ("", null.getRstPolarity().str());
  EXPECT_TRUE(null.getClkFreqSeq().empty());
  EXPECT_TRUE(null.getClkFreqRngSeq().empty());
  EXPECT_EQ("", null.findClkInst(0).str());
}

}  // namespace
