// The board model: one board-description tree and every question the wizard asks of it.
#ifndef MBD_H
#define MBD_H

#include <functional>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "LyrBoard.h"
#include "MbdExport.h"
#include "Portability.h"

struct LyrWiz_Module;
struct LyrWiz_Pin;

namespace mbd_detail {
class ExpansionIndex;
class BoardIndex;
}

// Threads: a model may be shared. Any number of threads may ask it questions at once (every
// member that does not change the tree; the lookups it builds on first use are built once,
// under its own lock) as long as no thread changes the tree meanwhile. A change, through the
// model (setArch, ..., assignment) or to the tree directly (adding, removing, renaming,
// SetValueStr, ReadFile), needs the tree to itself, as a write to any C++ container does: the
// host holds a lock of its own (say a std::shared_mutex, shared for questions, exclusive for
// changes) or otherwise makes sure no question runs during the change. After a change the
// next question rebuilds the lookups, once, whichever thread asks. Models of different trees
// never share anything but the process-wide message sink and the node pool, both safe.
class LYRWIZ_MBD_EXPORT MBD {
 public:
  // The board's identity, from its VENDOR, NAME and REVISION attributes.
  class LYRWIZ_MBD_EXPORT BoardId {
   public:
    StringBase vendor;
    StringBase name;
    StringBase revision;
    // True when all three fields are byte-for-byte equal.
    bool operator==(const BoardId& other) const;
    // Byte order of vendor+name+revision; on a common prefix the shorter is less.
    bool operator<(const BoardId& other) const;
  };

  // One frequency range of one clock instance.
  class LYRWIZ_MBD_EXPORT ClkRng {
   public:
    unsigned int minFreq = 0;
    unsigned int maxFreq = 0;
    unsigned int stepFreq = 0;  // 0 admits every frequency of the range
    StringBase clkInsName;
  };

  typedef std::multimap<StringBase, StringBase> Table;

  // --- construction; expands a generic template once (a null board is accepted) ---
  // Expansion is planned before the tree is touched. When a block to be copied has ports and
  // the board has no FPGA block, it throws std::out_of_range and leaves the tree exactly as it
  // was. It adds at most MbdRules::MAX_EXPANSION_NODES (1,000,000) nodes and
  // MbdRules::MAX_EXPANSION_BYTES (256 MiB) of text to a tree in all: a block whose copies
  // would pass either gets none (a trace says so) and no marker, and is recorded as a key
  // instance without copies. MbdRules::PlanExpansion tells beforehand.
  explicit MBD(LyrBoard::Qbd* qbd);
  MBD(const MBD& other);
  MBD& operator=(const MBD& other);
  ~MBD();

  // The board-description object; null when built over none.
  LyrBoard::Qbd* getQbdObject() { return qbd; }
  // The error code of the board's file reading; 0 when built over no board.
  int GetErrorCode() const;
  // True when the board's NAME is "Generic Template" ignoring case; false for null.
  static bool IsGenericBoard(LyrBoard::Qbd* qbd);
  bool isGeneric();
  // First block whose name equals insName ignoring case; null when none.
  LyrBoard::QbdBlock* getBlockByName(StringBase insName);
  // The ports of the FPGA blocks wired to `net` (equal ignoring case), FPGA blocks in board
  // order, then ports in order; empty when none.
  std::vector<LyrBase::Property*> getFpgaPortsOnNet(StringBase net);

  // --- identity and FPGA part ---
  // Vendor, name, revision; empty fields when the attributes are absent.
  BoardId getBoardId();
  // Board attribute LONG_DESC; empty when absent.
  StringBase getBoardDesc();
  // Board attribute SPEC_URL; empty when absent.
  StringBase getSpecUrl();
  // Board attribute CONTACT_INFO_URL; empty when absent.
  StringBase getContactInfoUrl();
  bool operator<(const MBD& other);
  // FPGA block attributes of the first FPGA block; empty when absent.
  StringBase getArch();
  StringBase getDevice();
  StringBase getPackage();
  StringBase getSpeedGrade();
  StringBase getJtagPos();
  // Sets the attribute on a generic template; 1 (and a warning on a real board) when
  // nothing was changed.
  int setArch(StringBase arch);
  int setDevice(StringBase device);
  int setPackage(StringBase package);
  int setSpeedGrade(StringBase speedGrade);
  // 1 when the family contains "KETRAL2P" ignoring case; else 0.
  unsigned char isK2P();

  // --- instances and IO types ---
  // IOTYPE of every block that has one, repeats kept; empty when none.
  std::vector<StringBase> getIOTypes();
  // CORENAME of every block that has one, repeats kept.
  std::vector<StringBase> getIOAdapters();
  // IO types without exact repeats, in order of first occurrence.
  std::vector<StringBase> getTrimedIOTypes();
  // True when some block's IOTYPE is exactly ioType.
  bool hasIoType(StringBase ioType);
  // Names of the blocks of that IO type (ignoring case); key instances only when keyOnly.
  std::vector<StringBase> getInstanceNamesByIOType(StringBase ioType, unsigned char keyOnly);
  // The instance's IOTYPE; empty when the instance or attribute is absent.
  StringBase getIOTypeByInstanceName(StringBase insName);
  // The instance's ALERT; empty when absent.
  StringBase getAlertOfIns(StringBase insName);
  // The instance's attribute attrName; empty when absent.
  StringBase getAttributeValue(StringBase insName, StringBase attrName);
  // The instance's SPEED; "LOW" when absent or empty.
  StringBase getSpeedOfIns(StringBase insName);
  // Copies expansion made of keyIns (exact name); empty when none.
  std::vector<StringBase> getDupInsNamesOfKeyIns(StringBase keyIns);
  // Other instances in insName's EXCLUSIVE group; empty on a generic template or when none.
  std::vector<StringBase> getExclusiveInsSeq(StringBase insName);

  // --- parameter and port values ---
  // Name of the first parameter with that role; empty when none.
  StringBase getParamNameByIois(StringBase insName, StringBase iois);
  // Value of the first parameter with that role; empty when none.
  StringBase getCoreParamValue(StringBase insName, StringBase iois);
  // Sub-property subprop of the first parameter with that role that has it; empty when none.
  StringBase getCoreParamDesc(StringBase insName, StringBase iois, StringBase subprop);
  StringBase getCoreParamShortDesc(StringBase insName, StringBase iois);
  StringBase getCoreParamLongDesc(StringBase insName, StringBase iois);
  // Sub-property tag of the first parameter with that role; empty (and a trace) when none.
  StringBase getValByInsIoisName(StringBase insName, StringBase iois, StringBase tag);
  // True when a port of the instance has that role.
  bool hasPortIoisVal(StringBase insName, StringBase iois);
  // Value of the first parameter of that name; empty when none.
  StringBase getParamValue(StringBase insName, StringBase paramName);
  // Sub-property of the first parameter of that name that has it; empty when none.
  StringBase getParamSubpropValue(StringBase insName, StringBase paramName, StringBase subprop);
  // Value (net) of the first port of that name; empty when none.
  StringBase getPortValue(StringBase insName, StringBase portName);
  // Sub-property of the first port of that name that has it; empty when none.
  StringBase getPortSubpropValue(StringBase insName, StringBase portName, StringBase subprop);

  // --- tables with pin constraints ---
  // One table per parameter with a role; empty when the instance is absent.
  std::vector<Table> getParamsByIns(StringBase insName);
  // getParamsByIns of the first instance of that IO type; empty when none.
  std::vector<Table> getParamsByIOType(StringBase ioType);
  // One table per FPGA port wired to each port with a role; empty when none.
  std::vector<Table> getPortsByIns(StringBase insName);
  std::vector<Table> getPortsByIOType(StringBase ioType);
  // The port tables of an instance handed to `visit` one at a time with the port's name, each
  // valid during its call only, so that what is held stays one table. Unlike getPortsByIns, the
  // pins of a connector are listed once per instance: a later port whose connector carries
  // several FPGA pins that an earlier port already listed gets a single table instead, its
  // CONNECTOR and sub-properties with SAME_NET_AS naming that earlier port, so that the tables
  // grow with ports plus pins rather than with their product. Nothing when the instance is
  // absent.
  using PortTableVisitor = std::function<void(const StringBase& port, const Table& table)>;
  void visitPortTables(StringBase insName, const PortTableVisitor& visit);
  // The LOC constraint of the port with that role; empty when none.
  StringBase getCorePortLoc(StringBase insName, StringBase iois);

  // --- clocks and reset ---
  // Polarity parameter of the first reset instance; empty when none.
  StringBase getRstPolarity();
  // Frequency of every clock instance as decimal text; empty when none.
  std::vector<StringBase> getClkFreqSeq();
  // The board's clock ranges, worked out on the first call that finds some and kept.
  std::vector<ClkRng> getClkFreqRngSeq();
  // First clock instance whose range admits freq; empty when none.
  StringBase findClkInst(unsigned int freq);

  // --- memories ---
  // (instance, IO role) of every flash parameter, in board order; empty when none.
  std::vector<std::pair<StringBase, StringBase> > getReadOnlyMems();
  // Block-RAM sizes for the bus, divided by 1023; empty when none.
  std::vector<unsigned int> getBramSizeList(StringBase bus);
  // Default block-RAM size for the bus, divided by 1023.
  unsigned int getDefBramSize(StringBase bus);
  // Processor cache sizes; never empty.
  std::vector<unsigned int> getPNCacheSizeList(StringBase kind);

  // --- wizard module tree ---
  // Fills the top module from the board; returns 0 (also for null or no FPGA block).
  int setupModules(LyrWiz_Module* module);
  // Receives the module tree that setupModules builds, a piece at a time, so that a large
  // board's tree is never held whole. Each piece lives only during its call.
  class ModuleVisitor {
   public:
    virtual ~ModuleVisitor() = default;
    // The top module's name and properties (no pins or children yet), and the number of
    // signals it ends up with.
    virtual void Top(const LyrWiz_Module& top, std::size_t signals) = 0;
    // Each pin of the top module, in order.
    virtual void TopPin(const LyrWiz_Pin& pin) = 0;
    // Each child module, in order, after every top pin; its pins' external signals are
    // stand-ins that carry the top module's signal names.
    virtual void Child(const LyrWiz_Module& child) = 0;
  };
  // Walks the tree setupModules would build through the visitor; calls nothing without a
  // board or an FPGA block.
  void visitModules(ModuleVisitor& visitor);

  // --- keyword vocabulary ---
  static const StringBase IOIS, LOC, VALUE, CLKIOIS, RSTIOIS, FREQIOIS, POLARITYIOIS,
      RESET_POLARITY, VALUE_NOTE, VALUE_TEXT, UCF_NET_STRING, NOTE, REVISION, NAME, VENDER, TEXT,
      CLK_RANGE, GENERIC_VENDOR, GENERIC_NAME, GENERIC_REV, SPEC_URL, CONTACT_INFO_URL,
      EXCLUSIVE, ALERT, CONNECTOR, FPGA_IOTYPE, QORMPD_DEFAULT, PERMIT_TAG, BASE_USER, DIRECTION,
      QOR_PREFIX, V1_SUFFIX, IOTYPE_CLOCK, IOTYPE_RESET, IOTYPE_CPUDEBUG, IOTYPE_TRACE,
      IOTYPE_DDR, IOTYPE_DDR2, IOTYPE_MEMORY, IOTYPE_PCI32, IOTYPE_PCI_ARBITER, IOTYPE_ENETX,
      IOTYPE_CFBOOT;
  static const char* const BLOCK_NAME;
  static const char* const MEMORY_TYPE;
  static const char* const IO_TYPE;
  static const char* const ADAPTER_NAME;
  static const char* const ARCH_NAME;
  static const char* const DEVICE_NAME;
  static const char* const PACKAGE_NAME;
  static const char* const SPEED_GRADE_NAME;
  static const char* const MAX_NUM_INSTANCES;
  static const char* const SPEED_TAG;
  static const char* const SPEED_HIGH;
  static const char* const SPEED_LOW;
  static const char* const ATTR_DEVICE_APPLICABLE;
  static const char* const ATTR_FAMILY_APPLICABLE;
  static const unsigned int MAX_FREQ;

 private:
  // The lookup indexes; a copy of the model starts without them and builds its own. Any
  // thread may ask for them: the index current for the tree is published through an atomic
  // pointer, and one is built at a time, under the lock, when the tree's count has moved.
  class IndexSlot {
   public:
    IndexSlot();
    IndexSlot(const IndexSlot&);
    IndexSlot& operator=(const IndexSlot&);
    ~IndexSlot();
    // The index over `qbd` as it is now, built when none is current.
    const mbd_detail::BoardIndex& For(const LyrBoard::Qbd* qbd);

   private:
    const mbd_detail::BoardIndex& Rebuild(const LyrBoard::Qbd* qbd);
    // The tree's count the published index was built at; kNone before the first.
    static constexpr unsigned long long kNone = ~0ull;
    std::atomic<unsigned long long> builtAt_{kNone};
    std::atomic<const mbd_detail::BoardIndex*> current_{nullptr};
    std::mutex mutex_;
    std::unique_ptr<mbd_detail::BoardIndex> owned_;  // what current_ points at
  };
  // The indexes over the tree as it is now: rebuilt when its modification count moved.
  const mbd_detail::BoardIndex& boardIndex();

  // The clock ranges, worked out on the first question that finds some and kept from then
  // on; a copy of the model copies them.
  class ClockSlot {
   public:
    ClockSlot() = default;
    ClockSlot(const ClockSlot& other);
    ClockSlot& operator=(const ClockSlot& other);
    // Runs `fill` on (all ranges, ranges by instance), under the lock, until it finds some
    // ranges; those are kept and never change after. Returns the ranges kept (empty before).
    template <typename Fill>
    const ClockSlot& Once(Fill fill) {
      if (done_.load(std::memory_order_acquire)) return *this;
      std::lock_guard<std::mutex> lock(mutex_);
      if (!done_.load(std::memory_order_relaxed)) {
        std::vector<ClkRng> found, foundByInstance;
        fill(found, foundByInstance);
        if (!found.empty()) {
          all = std::move(found);
          byInstance = std::move(foundByInstance);
          done_.store(true, std::memory_order_release);
        }
      }
      return *this;
    }
    std::vector<ClkRng> all;         // getClkFreqRngSeq
    std::vector<ClkRng> byInstance;  // what findClkInst searches

   private:
    std::atomic<bool> done_{false};
    mutable std::mutex mutex_;  // copying a model only reads it, so it may lock the source
  };
  // The board's clock ranges as ClockSlot keeps them.
  const ClockSlot& clockRanges();

  std::vector<LyrBoard::QbdBlock*> getBlockSeqByType(StringBase ioType);
  std::vector<LyrBoard::QbdBlock*> getFPGABlocks();
  StringBase getBoardAttr(const StringBase& attrName);

  // Instance expansion of a generic template.
  int dupBlocks();
  int dupBlock(LyrBoard::QbdBlock* block, unsigned int count, mbd_detail::ExpansionIndex& index);

  StringBase getFpgaSpec(StringBase attrName);
  int setFpgaSpec(StringBase attrName, StringBase value);
  int setFpgaSpecChecked(const char* attrName, const StringBase& value, const char* warning);

  bool isBaseUserProperty(LyrBase::Property* prop);

  LyrBase::Property* getCoreParamProperty(LyrBoard::QbdBlock* block, StringBase iois);
  LyrBase::Property* getCorePortProperty(LyrBoard::QbdBlock* block, StringBase iois);

  // Further private helpers of identity, expansion, instance and value queries go here.
  // The block list in place; an empty list when built over no board.
  const std::vector<LyrBase::PsfComp*>& blockList() const;
  // Value of attribute attrName of every block that has one, in block-list order.
  std::vector<StringBase> getAttrValuesOfBlocks(const char* attrName);
  // Appends the numbered copies of ports to copy, and a numbered FPGA pin for each port whose
  // net the first FPGA block carries; throws std::out_of_range when there is no FPGA block.
  void copyPorts(const std::vector<LyrBase::Property*>& ports, const StringBase& suffix,
                 LyrBoard::QbdBlock& copy, mbd_detail::ExpansionIndex& index);

  // Further private helpers of tables, clocks, memories and module setup go here.
  // Fills a child module from a block, wiring its pins to signals of `top`.
  void fillChildModule(const LyrBoard::QbdBlock* block, LyrWiz_Module* child, LyrWiz_Module* top);

  LyrBoard::Qbd* qbd;
  ClockSlot clockSlot;
  std::map<StringBase, std::vector<StringBase> > dupInsMap;
  IndexSlot indexSlot;
};

#endif  // MBD_H
