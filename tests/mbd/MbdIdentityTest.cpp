// The board's identity, descriptions and links, and the FPGA part with its setters.
#include <gmock/gmock.h>

#include "MbdTestSupport.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using mbdtest::ReadBoard;

namespace {

MBD::BoardId makeId(const char* vendor, const char* name, const char* revision) {
  MBD::BoardId id;
  id.vendor = vendor;
  id.name = name;
  id.revision = revision;
  return id;
}

const char* const kRealBoard = R"(
ATTRIBUTE VENDOR = Northwind
ATTRIBUTE NAME = DK-1
ATTRIBUTE REVISION = B
BEGIN BLOCK fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  ATTRIBUTE FAMILY = ketral4
  ATTRIBUTE DEVICE = k4fx12
  ATTRIBUTE PACKAGE = ff668
  ATTRIBUTE SPEED_GRADE = -10
  ATTRIBUTE JTAG_POSITION = 2
END
)";

const char* const kTemplate = R"(
ATTRIBUTE VENDOR = Generic
ATTRIBUTE NAME = Generic Template
ATTRIBUTE REVISION = None
BEGIN BLOCK fpga_0
  ATTRIBUTE BLOCKTYPE = FPGA
  ATTRIBUTE FAMILY = ketral4
  ATTRIBUTE DEVICE = k4fx12
  ATTRIBUTE SPEED_GRADE = -10
END
BEGIN BLOCK fpga_1
  ATTRIBUTE BLOCKTYPE = FPGA
  ATTRIBUTE FAMILY = other
  ATTRIBUTE PACKAGE = pq208
END
)";

}  // namespace

TEST(MbdIdentity, BoardAttributes_ReadAsStored) {
  auto qbd = ReadBoard(R"(
ATTRIBUTE VENDOR = Northwind
ATTRIBUTE NAME = DK-1
ATTRIBUTE REVISION = " B "
ATTRIBUTE DESC = short
ATTRIBUTE LONG_DESC = "Evaluation board, ketral4"
ATTRIBUTE spec_url = http://example.org/dk1
ATTRIBUTE CONTACT_INFO_URL = mailto:support@example.org
)");
  MBD model(qbd.get());
  const MBD::BoardId id = model.getBoardId();
  EXPECT_EQ(id.vendor.str(), "Northwind");
  EXPECT_EQ(id.name.str(), "DK-1");
  EXPECT_EQ(id.revision.str(), " B ");
  EXPECT_EQ(model.getBoardDesc().str(), "Evaluation board, ketral4");
  EXPECT_EQ(model.getSpecUrl().str(), "http://example.org/dk1");
  EXPECT_EQ(model.getContactInfoUrl().str(), "mailto:support@example.org");
}

TEST(MbdIdentity, BoardAttributes_MissingReadEmpty) {
  auto qbd = ReadBoard("ATTRIBUTE DESC = only the short one\n");
  MBD model(qbd.get());
  const MBD::BoardId id = model.getBoardId();
  EXPECT_TRUE(id.vendor.IsEmpty());
  EXPECT_TRUE(id.name.IsEmpty());
  EXPECT_TRUE(id.revision.IsEmpty());
  EXPECT_TRUE(model.getBoardDesc().IsEmpty());
  EXPECT_TRUE(model.getSpecUrl().IsEmpty());
  EXPECT_TRUE(model.getContactInfoUrl().IsEmpty());
}

TEST(MbdIdentity, BoardId_EqualityIsExactFieldByField) {
  EXPECT_TRUE(makeId("A", "B", "C") == makeId("A", "B", "C"));
  EXPECT_FALSE(makeId("AB", "C", "1") == makeId("A", "BC", "1"));
  EXPECT_FALSE(makeId("Vendor", "x", "1") == makeId("vendor", "x", "1"));
  EXPECT_FALSE(makeId("A", "B", "C") == makeId("A", "B", "c"));
  EXPECT_TRUE(MBD::BoardId() == MBD::BoardId());
}

TEST(MbdIdentity, BoardId_OrderIsByteOrderOfTheConcatenation) {
  // Split differently, equal concatenations: unequal, yet neither is less.
  EXPECT_FALSE(makeId("AB", "C", "1") < makeId("A", "BC", "1"));
  EXPECT_FALSE(makeId("A", "BC", "1") < makeId("AB", "C", "1"));
  EXPECT_TRUE(makeId("Vendor", "x", "1") < makeId("vendor", "x", "1"));
  EXPECT_FALSE(makeId("vendor", "x", "1") < makeId("Vendor", "x", "1"));
  // The shorter is less on a common prefix; the vendor does not decide on its own.
  EXPECT_TRUE(makeId("A", "B", "") < makeId("A", "B", "1"));
  EXPECT_TRUE(makeId("Ab", "Z", "") < makeId("A", "c", ""));
  EXPECT_FALSE(makeId("A", "B", "C") < makeId("A", "B", "C"));
}

TEST(MbdIdentity, ModelOrder_FollowsTheBoardIds) {
  auto a = ReadBoard("ATTRIBUTE VENDOR = Acme\nATTRIBUTE NAME = Z\n");
  auto b = ReadBoard("ATTRIBUTE VENDOR = acme\nATTRIBUTE NAME = A\n");
  MBD first(a.get());
  MBD second(b.get());
  EXPECT_TRUE(first < second);
  EXPECT_FALSE(second < first);
  EXPECT_FALSE(first < first);
}

TEST(MbdIdentity, FpgaPart_ReadFromTheFirstFpgaBlock) {
  auto qbd = ReadBoard(kRealBoard);
  MBD model(qbd.get());
  EXPECT_EQ(model.getArch().str(), "ketral4");
  EXPECT_EQ(model.getDevice().str(), "k4fx12");
  EXPECT_EQ(model.getPackage().str(), "ff668");
  EXPECT_EQ(model.getSpeedGrade().str(), "-10");
  EXPECT_EQ(model.getJtagPos().str(), "2");

  auto generic = ReadBoard(kTemplate);
  MBD other(generic.get());
  EXPECT_EQ(other.getArch().str(), "ketral4");
  // fpga_1 has a PACKAGE, but only the first FPGA block counts.
  EXPECT_TRUE(other.getPackage().IsEmpty());
  EXPECT_TRUE(other.getJtagPos().IsEmpty());
}

TEST(MbdIdentity, Setters_WriteTheTemplatesFirstFpgaBlock) {
  auto qbd = ReadBoard(kTemplate);
  MBD model(qbd.get());
  MBD observer(qbd.get());
  Port_MsgCapture log;
  EXPECT_EQ(model.setArch("ketral5"), 0);
  EXPECT_EQ(model.setDevice("k5lx30"), 0);
  EXPECT_EQ(model.setSpeedGrade("-12"), 0);
  EXPECT_EQ(model.getArch().str(), "ketral5");
  EXPECT_EQ(model.getDevice().str(), "k5lx30");
  EXPECT_EQ(model.getSpeedGrade().str(), "-12");
  // The tree itself changed, so every model over it sees the new part.
  EXPECT_EQ(observer.getDevice().str(), "k5lx30");
  // The second FPGA block is never written.
  EXPECT_EQ(mbdtest::Blocks(*qbd)[1]->GetPropertyValueStr(LyrBoard::QbdBlock::ATTRIBUTE,
                                                          "FAMILY").str(),
            "other");
  EXPECT_THAT(log.texts(Port_MsgKind::Trace), IsEmpty());
}

TEST(MbdIdentity, Setters_MissingAttributeOrFpgaBlockChangesNothing) {
  auto qbd = ReadBoard(kTemplate);
  MBD model(qbd.get());
  EXPECT_EQ(model.setPackage("pq208"), 1);
  EXPECT_TRUE(model.getPackage().IsEmpty());
  EXPECT_EQ(mbdtest::Blocks(*qbd)[0]->GetPropertyByName(LyrBoard::QbdBlock::ATTRIBUTE,
                                                        "PACKAGE"),
            nullptr);

  auto bare = ReadBoard("ATTRIBUTE NAME = Generic Template\nBEGIN BLOCK x\n"
                        "  ATTRIBUTE FAMILY = ketral4\nEND\n");
  MBD noFpga(bare.get());
  EXPECT_EQ(noFpga.setArch("ketral5"), 1);
  EXPECT_EQ(noFpga.getAttributeValue("x", "FAMILY").str(), "ketral4");
}

TEST(MbdIdentity, Setters_RefuseOnARealBoardWithAWarning) {
  auto qbd = ReadBoard(kRealBoard);
  MBD model(qbd.get());
  Port_MsgCapture log;
  EXPECT_EQ(model.setArch("ketral5"), 1);
  EXPECT_EQ(model.setDevice("k5lx30"), 1);
  EXPECT_EQ(model.setPackage("pq208"), 1);
  EXPECT_EQ(model.setSpeedGrade("-12"), 1);
  EXPECT_THAT(log.texts(Port_MsgKind::Trace),
              ElementsAre("Warning: Can not set FPGA Arch for non-generic QBD file\n",
                          "Warning: Can not set FPGA Device Size for non-generic QBD file\n",
                          "Warning: Can not set FPGA Package for non-generic QBD file\n",
                          "Warning: Can not set FPGA Speedgrade for non-generic QBD file\n"));
  EXPECT_EQ(model.getArch().str(), "ketral4");
  EXPECT_EQ(model.getDevice().str(), "k4fx12");
  EXPECT_EQ(model.getPackage().str(), "ff668");
  EXPECT_EQ(model.getSpeedGrade().str(), "-10");
}

TEST(MbdIdentity, IsK2P_FamilyContainsTheNameIgnoringCase) {
  auto qbd = ReadBoard(kTemplate);
  MBD model(qbd.get());
  EXPECT_EQ(model.isK2P(), 0);
  ASSERT_EQ(model.setArch("Ketral2p"), 0);
  EXPECT_EQ(model.isK2P(), 1);
  ASSERT_EQ(model.setArch("xKETRAL2Pro"), 0);
  EXPECT_EQ(model.isK2P(), 1);
  ASSERT_EQ(model.setArch("ketral2"), 0);
  EXPECT_EQ(model.isK2P(), 0);
  ASSERT_EQ(model.setArch(""), 0);
  EXPECT_EQ(model.isK2P(), 0);
}
