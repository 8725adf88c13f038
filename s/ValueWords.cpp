// The words of the value command, per interpreter. Making the result costs a value lookup
// more than the lookup itself (two allocations to make the object, two to free it after), so
// the words are kept in a small table of the interpreter, one word per slot, and handed out
// again while the value's text stays as it was.
#include "ValueWords.h"

#include <cstdint>
#include <cstring>

namespace mbd_detail {
namespace {

constexpr char kAssocKey[] = "qbd::valueWords";
constexpr std::size_t kSlots = 64;  // a power of two

struct Words {
  Tcl_Interp* interp;
  Tcl_Obj* slots[kSlots];
};

// The table the calling thread used last: an interpreter lives in one thread, and a script
// mostly talks to one interpreter, so this spares the search of the interpreter's data.
// Cleared when that interpreter goes, so that another one made at its address cannot find it.
thread_local Words* lastWords = nullptr;

void DeleteWords(ClientData data, Tcl_Interp* /*interp*/) {
  auto* words = static_cast<Words*>(data);
  for (Tcl_Obj* word : words->slots)
    if (word) Tcl_DecrRefCount(word);
  if (lastWords == words) lastWords = nullptr;
  delete words;
}

Words& WordsOf(Tcl_Interp* interp) {
  if (lastWords && lastWords->interp == interp) return *lastWords;
  auto* words = static_cast<Words*>(Tcl_GetAssocData(interp, kAssocKey, nullptr));
  if (!words) {
    words = new Words{interp, {}};
    Tcl_SetAssocData(interp, kAssocKey, DeleteWords, words);
  }
  lastWords = words;
  return *words;
}

std::size_t SlotOf(const void* key) {
  // Nodes are at least 16 bytes apart; the low bits say nothing.
  const auto address = reinterpret_cast<std::uintptr_t>(key);
  return ((address >> 4) ^ (address >> 10)) & (kSlots - 1);
}

// True when the word's text is the `length` bytes at `text`. The table's words are shared, so
// no one may change their text; it is read in place (made first if a conversion dropped it).
bool Holds(Tcl_Obj* word, const char* text, std::size_t length) {
  if (!word->bytes) Tcl_GetString(word);
  return static_cast<std::size_t>(word->length) == length &&
         std::memcmp(word->bytes, text, length) == 0;
}

}  // namespace

Tcl_Obj* ResultWord(Tcl_Interp* interp, const void* key, const char* text, std::size_t length) {
  Tcl_Obj*& slot = WordsOf(interp).slots[SlotOf(key)];
  if (slot && Holds(slot, text, length)) return slot;
  Tcl_Obj* word = Tcl_NewStringObj(text, static_cast<int>(length));
  Tcl_IncrRefCount(word);
  if (slot) Tcl_DecrRefCount(slot);
  slot = word;
  return word;
}

}  // namespace mbd_detail
