// The handle codec: a process-wide table of the nodes that scripts hold words for.
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

#include "BaseTclIf.h"

namespace LyrBase {
namespace {

constexpr char kPrefix[] = "qbd#";
constexpr std::size_t kPrefixLength = sizeof(kPrefix) - 1;
constexpr std::size_t kMaxDigits = 19;  // stays below 2^63, so parsing cannot overflow

// A node's entry remembers the thread that made its handle: only there does the word decode.
// An interpreter lives in one thread, and a board may be closed by its thread at any moment,
// so a node reached from another thread could be freed while that thread still walks it.
struct Entry {
  BaseNode* node;
  std::thread::id owner;
};

// Serials grow from 1 and are never reused: a word made for a dead node cannot name a newer
// node that happens to live at the same address. A live node keeps its serial, so a repeated
// handle names it with the same word. Every field is read and written under the mutex only;
// the nodes' count of handles (BaseNode::nodesWithHandles_) follows bySerial's size.
struct HandleTable {
  std::mutex mutex;
  std::unordered_map<unsigned long long, Entry> bySerial;
  std::unordered_map<const BaseNode*, unsigned long long> byNode;
  unsigned long long nextSerial = 1;
  // How many handles have been retired. Written under the mutex, read without it: a thread's
  // last decoded word (below) stays valid while this count stays the same, since serials are
  // never reused and an entry changes only when its handle is retired.
  std::atomic<unsigned long long> retired{0};
};

// The last word each thread decoded and the node it named then. Scripts pass the same handle
// again and again (a block they walk, a board they ask); answering it from here spares the
// lock and the table lookup that every decode would otherwise pay.
struct LastDecoded {
  unsigned long long serial = 0;  // 0: nothing remembered
  unsigned long long retired = 0;
  BaseNode* node = nullptr;
};
thread_local LastDecoded lastDecoded;

// Never destroyed: nodes may die during static destruction, after any table object would.
HandleTable& Table() {
  static HandleTable* table = new HandleTable;
  return *table;
}

// The serial that `text` spells in the one canonical form "qbd#<digits>" (no sign, no leading
// zero, no blanks); 0 when the text has any other form.
unsigned long long ParseSerial(const char* text, std::size_t length) {
  if (length <= kPrefixLength || length > kPrefixLength + kMaxDigits) return 0;
  if (std::memcmp(text, kPrefix, kPrefixLength) != 0) return 0;
  if (text[kPrefixLength] == '0') return 0;
  unsigned long long serial = 0;
  for (std::size_t i = kPrefixLength; i < length; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return 0;
    serial = serial * 10 + static_cast<unsigned>(c - '0');
  }
  return serial;
}

}  // namespace

Tcl_Obj* BaseTclIf::CreateTclObjFromPtr(const BaseNode* node) {
  if (!node) return Tcl_NewStringObj("", 0);
  // The serial is looked up and made under the lock: two threads making the first handle of
  // one node at once would otherwise both enter it, and the first entry would outlive the node.
  unsigned long long serial = 0;
  {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto known = table.byNode.find(node);
    if (known != table.byNode.end()) {
      serial = known->second;
    } else {
      // Both entries or neither: when the second cannot be made (no memory), the first goes,
      // so that no serial decodes to a node the table would not retire.
      auto made = table.bySerial.emplace(
          table.nextSerial, Entry{const_cast<BaseNode*>(node), std::this_thread::get_id()});
      try {
        table.byNode.emplace(node, table.nextSerial);
      } catch (...) {
        table.bySerial.erase(made.first);
        throw;
      }
      serial = table.nextSerial++;
      BaseNode::nodesWithHandles_.fetch_add(1, std::memory_order_relaxed);
    }
  }
  char word[kPrefixLength + kMaxDigits + 1];
  std::memcpy(word, kPrefix, kPrefixLength);
  char digits[kMaxDigits];
  std::size_t count = 0;
  for (; serial != 0; serial /= 10)
    digits[count++] = static_cast<char>('0' + serial % 10);
  for (std::size_t i = 0; i < count; ++i) word[kPrefixLength + i] = digits[count - 1 - i];
  return Tcl_NewStringObj(word, static_cast<int>(kPrefixLength + count));
}

BaseNode* BaseTclIf::GetPtrFromTclObj(Tcl_Interp* /*interp*/, Tcl_Obj* obj) {
  if (!obj) return nullptr;
  int length = 0;
  const char* text = Tcl_GetStringFromObj(obj, &length);
  const unsigned long long serial = ParseSerial(text, static_cast<std::size_t>(length));
  if (serial == 0) return nullptr;
  HandleTable& table = Table();
  LastDecoded& last = lastDecoded;
  if (last.serial == serial && last.retired == table.retired.load(std::memory_order_acquire))
    return last.node;
  std::lock_guard<std::mutex> lock(table.mutex);
  auto found = table.bySerial.find(serial);
  if (found == table.bySerial.end() || found->second.owner != std::this_thread::get_id())
    return nullptr;
  last = LastDecoded{serial, table.retired.load(std::memory_order_relaxed), found->second.node};
  return found->second.node;
}

void BaseTclIf::ForgetNode(const BaseNode* node) {
  HandleTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto known = table.byNode.find(node);
  if (known == table.byNode.end()) return;
  table.bySerial.erase(known->second);
  table.byNode.erase(known);
  table.retired.fetch_add(1, std::memory_order_release);
  BaseNode::nodesWithHandles_.fetch_sub(1, std::memory_order_relaxed);
}

unsigned BaseTclIf::LiveHandleCount() {
  HandleTable& table = Table();
  std::lock_guard<std::mutex> lock(table.mutex);
  return static_cast<unsigned>(table.bySerial.size());
}

}  // namespace LyrBase
