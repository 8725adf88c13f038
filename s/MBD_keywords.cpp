// The keyword vocabulary: the names (and a few values) that queries look up in a board.
// Several constants are named differently from their value; the value is what is looked up.
#include "MBD.h"

const StringBase MBD::IOIS("IO_IS");
const StringBase MBD::LOC("LOC");
const StringBase MBD::VALUE("VALUE");
const StringBase MBD::CLKIOIS("ext_clk");
const StringBase MBD::RSTIOIS("ext_rst");
const StringBase MBD::FREQIOIS("clk_freq");
const StringBase MBD::POLARITYIOIS("polarity");
const StringBase MBD::RESET_POLARITY("RESET_POLARITY");
const StringBase MBD::VALUE_NOTE("VALUE_NOTE");
const StringBase MBD::VALUE_TEXT("VALUE_TEXT");
const StringBase MBD::UCF_NET_STRING("UCF_NET_STRING");
const StringBase MBD::NOTE("DESC");
const StringBase MBD::REVISION("REVISION");
const StringBase MBD::NAME("NAME");
const StringBase MBD::VENDER("VENDOR");
const StringBase MBD::TEXT("LONG_DESC");
const StringBase MBD::CLK_RANGE("RANGE");
const StringBase MBD::GENERIC_VENDOR("Generic");
const StringBase MBD::GENERIC_NAME("Generic Template");
const StringBase MBD::GENERIC_REV("None");
const StringBase MBD::SPEC_URL("SPEC_URL");
const StringBase MBD::CONTACT_INFO_URL("CONTACT_INFO_URL");
const StringBase MBD::EXCLUSIVE("EXCLUSIVE");
const StringBase MBD::ALERT("ALERT");
const StringBase MBD::CONNECTOR("CONNECTOR");
const StringBase MBD::FPGA_IOTYPE("FPGA");
const StringBase MBD::QORMPD_DEFAULT("QORMPD_DEFAULT");
const StringBase MBD::PERMIT_TAG("PERMIT");
const StringBase MBD::BASE_USER("BASE_USER");
const StringBase MBD::DIRECTION("DIR");
const StringBase MBD::QOR_PREFIX("QOR_");
const StringBase MBD::V1_SUFFIX("_V1");
const StringBase MBD::IOTYPE_CLOCK("QOR_CLOCK_V1");
const StringBase MBD::IOTYPE_RESET("QOR_RESET_V1");
const StringBase MBD::IOTYPE_CPUDEBUG("QOR_CPUDEBUG_V1");
const StringBase MBD::IOTYPE_TRACE("QOR_TRACE_V1");
const StringBase MBD::IOTYPE_DDR("QOR_DDR_V1");
const StringBase MBD::IOTYPE_DDR2("QOR_DDR2_V1");
const StringBase MBD::IOTYPE_MEMORY("QOR_MEMORY_V1");
const StringBase MBD::IOTYPE_PCI32("QOR_PCI32_V1");
const StringBase MBD::IOTYPE_PCI_ARBITER("QOR_PCI_ARBITER_V1");
const StringBase MBD::IOTYPE_ENETX("QOR_ENETX_V1");
const StringBase MBD::IOTYPE_CFBOOT("QOR_CFBOOT_V1");

const char* const MBD::BLOCK_NAME = "BLOCKTYPE";
const char* const MBD::MEMORY_TYPE = "MEMORY_TYPE";
const char* const MBD::IO_TYPE = "IOTYPE";
const char* const MBD::ADAPTER_NAME = "CORENAME";
const char* const MBD::ARCH_NAME = "FAMILY";
const char* const MBD::DEVICE_NAME = "DEVICE";
const char* const MBD::PACKAGE_NAME = "PACKAGE";
const char* const MBD::SPEED_GRADE_NAME = "SPEED_GRADE";
const char* const MBD::MAX_NUM_INSTANCES = "MAX_NUM_INSTANCES";
const char* const MBD::SPEED_TAG = "SPEED";
const char* const MBD::SPEED_HIGH = "HIGH";
const char* const MBD::SPEED_LOW = "LOW";
const char* const MBD::ATTR_DEVICE_APPLICABLE = "DEVICE_APPLICABLE";
const char* const MBD::ATTR_FAMILY_APPLICABLE = "FAMILY_APPLICABLE";

const unsigned int MBD::MAX_FREQ = 0xFFFFFFFFu;
