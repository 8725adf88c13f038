// The pieces the model's compact records (BlockFacts, FpgaPinFacts) are made of: texts kept
// side by side in one buffer and named by offset and length, and runs of records to walk.
#ifndef MBD_COMPACT_RECORDS_H
#define MBD_COMPACT_RECORDS_H

#include <cstdint>
#include <string>

#include "Portability.h"

namespace mbd_detail {

// A text of a TextBuffer.
struct TextRef {
  std::uint32_t at = 0;
  std::uint32_t size = 0;
};

// Texts appended one after the other, so that the texts of one record share cache lines.
class TextBuffer {
 public:
  // Appends `text` and returns where it lies.
  TextRef Keep(const StringBase& text) {
    const TextRef kept{static_cast<std::uint32_t>(text_.size()), text.GetLength()};
    text_.append(text.c_str(), text.GetLength());
    return kept;
  }
  // The text `ref` names (a TextRef this buffer gave).
  StringBase Str(TextRef ref) const { return StringBase(text_.data() + ref.at, ref.size); }
  // Gives back the room the buffer grew into beyond its texts.
  void ShrinkToFit() { text_.shrink_to_fit(); }

 private:
  std::string text_;
};

// A run of records, for range-for.
template <typename T>
struct Run {
  const T* first;
  const T* last;
  const T* begin() const { return first; }
  const T* end() const { return last; }
};

}  // namespace mbd_detail

#endif  // MBD_COMPACT_RECORDS_H
