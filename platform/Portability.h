// Portability layer: the byte string every name and value travels in, number parsing,
// diagnostics, the environment and a file test.
#ifndef PORTABILITY_H
#define PORTABILITY_H

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// printf-style checking of format strings where the compiler offers it.
#if defined(__GNUC__) || defined(__clang__)
#define PORT_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define PORT_PRINTF_FORMAT(fmt, args)
#endif

// A run of character positions, both ends inclusive; a last before the first selects nothing.
struct Port_Range {
  unsigned first;
  unsigned last;
  Port_Range(unsigned f, unsigned l) : first(f), last(l) {}
};

namespace Port {

// An 8-bit string held by value. `==` and `<` compare bytes (letter case counts; on a common
// prefix the shorter string is less), so it orders every map of the system.
template <class C>
class StringBase {
 public:
  enum CompareType { EXACT = 0, IGNORE_CASE = 1 };
  enum TrimType { TRIM_LEADING = 0, TRIM_TRAILING = 1, TRIM_BOTH = 2 };
  static constexpr unsigned NPOS = 0xFFFFFFFFu;

  StringBase() = default;
  StringBase(const C* s) : s_(s ? s : "") {}
  StringBase(const C* s, std::size_t n) : s_(s, n) {}
  StringBase(const std::basic_string<C>& s) : s_(s) {}
  StringBase(std::basic_string<C>&& s) : s_(std::move(s)) {}

  // The bytes, NUL-terminated.
  const C* c_str() const { return s_.c_str(); }
  unsigned GetLength() const { return static_cast<unsigned>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  const std::basic_string<C>& str() const { return s_; }

  StringBase& operator+=(const StringBase& o) { s_ += o.s_; return *this; }
  StringBase& operator+=(const C* o) { if (o) s_ += o; return *this; }
  friend StringBase operator+(StringBase a, const StringBase& b) { a += b; return a; }
  friend StringBase operator+(StringBase a, const C* b) { a += b; return a; }

  friend bool operator==(const StringBase& a, const StringBase& b) { return a.s_ == b.s_; }
  friend bool operator!=(const StringBase& a, const StringBase& b) { return a.s_ != b.s_; }
  friend bool operator<(const StringBase& a, const StringBase& b) { return ByteCompare(a, b) < 0; }

  // Negative, 0 or positive as this string sorts before, equal to or after the other.
  int Compare(const StringBase& o, CompareType t) const { return CompareBytes(s_, o.s_, t); }
  int Compare(const C* o, CompareType t) const { return Compare(StringBase(o), t); }
  // True when the string is the `n` characters at `o` ignoring letter case (only A-Z fold, as
  // IGNORE_CASE folds): Compare(..., IGNORE_CASE) == 0 without making a string of `o`.
  bool EqualsIgnoringCase(const C* o, std::size_t n) const {
    // The names of one list mostly share a stem and differ at the end (P0, P1, ...): the last
    // character, compared first, turns most of the others away at once.
    return s_.size() == n && (n == 0 || EqualAt(n - 1, o + n - 1, 1, IGNORE_CASE)) &&
           EqualAt(0, o, n, IGNORE_CASE);
  }
  // Compares the characters that `range` selects with `o`.
  int Compare(const Port_Range& range, const StringBase& o, CompareType t) const {
    return Extract(range).Compare(o, t);
  }

  // First position of `needle`; NPOS when absent (an empty needle is found at 0).
  unsigned GetIndexOfString(const C* needle, CompareType t) const {
    if (!needle) return NPOS;
    const std::size_t n = std::char_traits<C>::length(needle);
    if (n > s_.size()) return NPOS;
    for (std::size_t i = 0; i + n <= s_.size(); ++i)
      if (EqualAt(i, needle, n, t)) return static_cast<unsigned>(i);
    return NPOS;
  }
  // Position of the first `c` before the first `stop` (a NUL stop searches the whole string);
  // NPOS when absent.
  unsigned GetIndexOfFirstChar(C c, C stop) const {
    for (std::size_t i = 0; i < s_.size(); ++i) {
      if (s_[i] == c) return static_cast<unsigned>(i);
      if (stop != C() && s_[i] == stop) break;
    }
    return NPOS;
  }

  // The characters `range` selects, clamped to the string; empty when last < first.
  StringBase Extract(const Port_Range& range) const {
    if (range.last < range.first || range.first >= s_.size()) return StringBase();
    const std::size_t last = range.last < s_.size() ? range.last : s_.size() - 1;
    return StringBase(s_.substr(range.first, last - range.first + 1));
  }

  // Removes the characters of `set` from the start, the end or both ends.
  void Trim(const C* set, TrimType t) {
    if (!set) return;
    if (t == TRIM_TRAILING || t == TRIM_BOTH) {
      const auto end = s_.find_last_not_of(set);
      s_.erase(end == std::basic_string<C>::npos ? 0 : end + 1);
    }
    if (t == TRIM_LEADING || t == TRIM_BOTH) s_.erase(0, s_.find_first_not_of(set));
  }

  // Replaces the content with printf-style text; empty for a null format.
  StringBase& Format(const char* fmt, ...) PORT_PRINTF_FORMAT(2, 3);

 private:
  static int Lower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }
  static int CompareBytes(const std::basic_string<C>& a, const std::basic_string<C>& b,
                          CompareType t) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
      int x = static_cast<unsigned char>(a[i]);
      int y = static_cast<unsigned char>(b[i]);
      if (t == IGNORE_CASE) { x = Lower(x); y = Lower(y); }
      if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  }
  bool EqualAt(std::size_t pos, const C* needle, std::size_t n, CompareType t) const {
    for (std::size_t k = 0; k < n; ++k) {
      const int x = static_cast<unsigned char>(s_[pos + k]);
      const int y = static_cast<unsigned char>(needle[k]);
      // Equal bytes need no folding; names mostly match in their own case.
      if (x != y && (t != IGNORE_CASE || Lower(x) != Lower(y))) return false;
    }
    return true;
  }
  static int ByteCompare(const StringBase& a, const StringBase& b) {
    return CompareBytes(a.s_, b.s_, EXACT);
  }

  std::basic_string<C> s_;
};

template <>
StringBase<char>& StringBase<char>::Format(const char* fmt, ...) PORT_PRINTF_FORMAT(2, 3);

// File-system queries.
struct File {
  // True when `path` names an existing regular file; false for a directory or nothing.
  static bool exist(const char* path);
};

}  // namespace Port

typedef Port::StringBase<char> StringBase;

// `text` with A-Z folded to a-z, or a-z to A-Z, and no other byte changed whatever the locale:
// the case folding of IGNORE_CASE, for keys and keywords kept as std::string.
inline std::string Port_AsciiLower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}
inline std::string Port_AsciiUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// `text` without the blanks (spaces and tabs) at either end.
inline std::string Port_TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// True when the two strings are equal ignoring letter case: the rule of every name lookup.
inline bool EqualsIgnoringCase(const StringBase& a, const StringBase& b) {
  return a.Compare(b, StringBase::IGNORE_CASE) == 0;
}

// The hash that goes with EqualsIgnoringCase: strings equal ignoring case hash alike (only
// A-Z fold, as IGNORE_CASE folds). With CaseBlindEqual it keys case-blind hash maps.
struct CaseBlindHash {
  std::size_t operator()(const StringBase& s) const noexcept {
    std::size_t hash = static_cast<std::size_t>(14695981039346656037ull);
    const char* bytes = s.c_str();
    for (unsigned i = 0; i < s.GetLength(); ++i) {
      unsigned char c = static_cast<unsigned char>(bytes[i]);
      if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
      hash = (hash ^ c) * static_cast<std::size_t>(1099511628211ull);
    }
    return hash;
  }
};
struct CaseBlindEqual {
  bool operator()(const StringBase& a, const StringBase& b) const {
    return EqualsIgnoringCase(a, b);
  }
};

// The one way a container owns what it holds (the board tree's nodes, the module model's
// parts): each item is deleted when it leaves the list or the list ends, and the items are
// shown as the vector of plain, borrowed pointers that the interfaces return. Kept in the
// order the items were added.
template <class T>
class OwnedList {
 public:
  OwnedList() = default;
  OwnedList(const OwnedList&) = delete;
  OwnedList& operator=(const OwnedList&) = delete;
  ~OwnedList() { Clear(); }

  // The items, in order (borrowed); empty when there are none.
  const std::vector<T*>& Items() const { return items_; }
  // Appends and takes ownership (null is ignored).
  void Append(std::unique_ptr<T> item) {
    if (!item) return;
    // Most lists of a board stay short: one small allocation for the first two.
    if (items_.capacity() == 0) items_.reserve(2);
    items_.push_back(item.get());
    item.release();
  }
  // Takes `item` out of the list and hands it back; null (nothing done) when it is not in it.
  std::unique_ptr<T> Take(const T* item) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
      if (*it != item) continue;
      std::unique_ptr<T> taken(*it);
      items_.erase(it);
      return taken;
    }
    return nullptr;
  }
  // Deletes `item`; false (nothing done) when it is not in the list.
  bool Remove(const T* item) { return Take(item) != nullptr; }
  // Deletes every item.
  void Clear() {
    // Detach first so that a destructor that looks at the list sees a consistent one.
    std::vector<T*> doomed;
    doomed.swap(items_);
    // Last first: the node pool hands freed blocks out again last in, first out, so the next
    // tree built gets them back in the order this one was built, side by side in memory. The
    // nodes of a large tree lie in cold memory: fetch a few ahead of the one being deleted so
    // that the deletes do not wait on each other.
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = doomed.size(); i-- > 0;) {
#if defined(__GNUC__) || defined(__clang__)
      if (i >= kAhead) __builtin_prefetch(doomed[i - kAhead]);
#endif
      delete doomed[i];
    }
  }
  // Exchanges the contents of two lists (owners are left as they were).
  void Swap(OwnedList& other) noexcept { items_.swap(other.items_); }
  // The first item whose GetName() equals `name` ignoring case; null when none.
  T* FindByName(const char* name) const {
    // Every name lookup of the board passes here: the name is measured once and read in place.
    const char* wanted = name ? name : "";
    const std::size_t length = std::char_traits<char>::length(wanted);
    for (T* item : items_)
      if (item->GetName().EqualsIgnoringCase(wanted, length)) return item;
    return nullptr;
  }

 private:
  std::vector<T*> items_;
};

// printf-style text as a string; empty for a null format or an encoding error.
std::string Port_FormatV(const char* fmt, va_list args);

// The length (1 to 4) of the well-formed UTF-8 sequence that starts at byte `i` of `text`: no
// overlong forms, no surrogates, nothing past U+10FFFF; 0 when the byte there starts none,
// and when `i` is past the end.
std::size_t Port_Utf8Length(const std::string& text, std::size_t i);

namespace std {
template <>
struct hash<StringBase> {
  size_t operator()(const StringBase& s) const noexcept { return hash<string>()(s.str()); }
};
}  // namespace std

// Text to number.
struct UT_STR {
  // The leading unsigned number of `text` in `base` (10, 16, 8, or 0 to take the radix from
  // the prefix: "0x" hexadecimal, "0" octal, else decimal). Leading blanks are skipped; a
  // leading '-' negates modulo 2^32, as strtoul does. A number too large for 32 bits gives
  // 0xFFFFFFFF. No number (or a null text) gives 0. `end`, when not null, receives the
  // position after the number (the text itself when there is none).
  static unsigned StrToUINT32(const char* text, char** end, int base);
};

// Where diagnostics go.
enum class Port_MsgKind { Trace, Error };
using Port_MsgSink = std::function<void(Port_MsgKind kind, const std::string& text)>;

// The message manager: traces through the static debugStub, errors through an object that
// carries the domain and the reporting location.
class Port_MsgManData {
 public:
  // A reporter for errors of `domain` raised at `file`:`line` of source revision `revision`.
  static std::unique_ptr<Port_MsgManData> createObject(const char* domain, const char* file,
                                                      int line, const char* revision);
  // Sends a printf-style error to the sink (or the thread's capture, Port_MsgCapture); the
  // text begins with the formatted message.
  void issueError(const char* fmt, ...) PORT_PRINTF_FORMAT(2, 3);
  // Sends a printf-style trace to the sink (or the thread's capture, Port_MsgCapture).
  static void debugStub(const char* fmt, ...) PORT_PRINTF_FORMAT(1, 2);
  // Replaces the process-wide sink and returns the previous one; an empty function restores
  // the default (errors to standard error; traces there only when QBD_TRACE is set and not 0).
  // Safe while other threads send messages: each message goes wholly to the old or the new sink.
  static Port_MsgSink setSink(Port_MsgSink sink);

 private:
  Port_MsgManData(const char* domain, const char* file, int line, const char* revision);
  // Hands a message to the calling thread's innermost capture, or else to the sink.
  static void send(Port_MsgKind kind, const std::string& text);
  std::string domain_, file_, revision_;
  int line_;
};

// Collects every message the thread that made it sends while it lives; messages of other
// threads go on to the sink as before. A capture is a scope on one thread: it is made and
// destroyed on the same thread, and captures of one thread nest (the innermost collects).
// Any number of threads may capture at once, each its own messages, while others send.
class Port_MsgCapture {
 public:
  struct Message {
    Port_MsgKind kind;
    std::string text;
  };
  Port_MsgCapture();
  ~Port_MsgCapture();
  Port_MsgCapture(const Port_MsgCapture&) = delete;
  Port_MsgCapture& operator=(const Port_MsgCapture&) = delete;
  // Every message so far, in order; empty when none.
  const std::vector<Message>& messages() const { return messages_; }
  // The texts of the messages of one kind, in order; empty when none.
  std::vector<std::string> texts(Port_MsgKind kind) const;
  // Every text so far joined in order; empty when none.
  std::string text() const;

 private:
  std::vector<Message> messages_;
  // The capture this one hides on its thread; null when it is the outermost.
  Port_MsgCapture* outer_;
  friend class Port_MsgManData;
};

// The environment.
struct Port_Env {
  // The value of variable `name`; empty when it is unset.
  static StringBase GetEnv(const char* name);
};

#endif  // PORTABILITY_H
