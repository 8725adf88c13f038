// The pieces the model's compact records (BlockFacts, FpgaPinFacts) are made of: texts kept
// side by side in one buffer and named by offset and length, and runs of records to walk.
#ifndef MBD_COMPACT_RECORDS_H
#define MBD_COMPACT_RECORDS_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "Portability.h"

namespace mbd_detail {

// A text of a TextBuffer.
struct TextRef {
  std::uint32_t at = 0;
  std::uint32_t size = 0;
};

// Texts appended one after the other, so that the texts of one record share cache lines.
// Offsets and lengths are 32 bits: a buffer refuses a text that would end past them.
class TextBuffer {
 public:
  // True when a text of `adding` bytes appended to `held` bytes still ends within the offsets
  // a TextRef can name.
  static constexpr bool Fits(std::size_t held, std::size_t adding) {
    return held <= kMaxBytes && adding <= kMaxBytes - held;
  }
  // Appends `text` and returns where it lies; throws std::length_error (the buffer unchanged)
  // when it would end past 4 GiB.
  TextRef Keep(const StringBase& text) {
    const std::string& bytes = text.str();
    if (!Fits(text_.size(), bytes.size()))
      throw std::length_error("the texts of one record pass 4 GiB");
    const TextRef kept{static_cast<std::uint32_t>(text_.size()),
                       static_cast<std::uint32_t>(bytes.size())};
    text_.append(bytes);
    return kept;
  }
  // The text `ref` names (a TextRef this buffer gave).
  StringBase Str(TextRef ref) const { return StringBase(text_.data() + ref.at, ref.size); }
  // Gives back the room the buffer grew into beyond its texts.
  void ShrinkToFit() { text_.shrink_to_fit(); }

 private:
  static constexpr std::size_t kMaxBytes = UINT32_MAX;
  std::string text_;
};

// Elements appended in runs that stay where they are while later runs are appended, so that
// one thread may append (under its own lock) while others read runs appended before. The
// elements live in blocks that never move, each twice the one before, the first of about 256
// bytes (small, for the few pins one instance asks for, and below the size at which the C
// allocator stops to tidy its free lists); a run never straddles two blocks: a run that does
// not fit in the rest of a block starts the next block that holds it whole. Indexes are 32
// bits; a run that would end past them is refused.
template <typename T>
class GrowOnlyStore {
 public:
  // Appends `count` value-initialised elements in one run and returns the index of the first
  // (0 for an empty run, which names no element); throws std::length_error (the store unchanged) when the run would end past 2^32.
  std::uint32_t AppendRun(std::uint32_t count) {
    if (count == 0) return 0;
    std::uint64_t at = end_;
    unsigned block = BlockOf(at);
    while (BlockStart(block + 1) - at < count) at = BlockStart(++block);
    if (at + count > kIndexes) throw std::length_error("a record store passes 2^32 entries");
    if (!blocks_[block])
      blocks_[block] = std::make_unique<T[]>(BlockStart(block + 1) - BlockStart(block));
    end_ = at + count;
    return static_cast<std::uint32_t>(at);
  }
  // The element at `index` of a run AppendRun gave; runs are contiguous.
  T* At(std::uint32_t index) {
    const unsigned block = BlockOf(index);
    return blocks_[block].get() + (index - BlockStart(block));
  }
  const T* At(std::uint32_t index) const { return const_cast<GrowOnlyStore*>(this)->At(index); }

 private:
  // The first block holds 1 << kFirstShift elements: the most that fit in 256 bytes.
  static constexpr unsigned FirstShift() {
    unsigned shift = 0;
    while ((std::size_t(2) << shift) * sizeof(T) <= 256) ++shift;
    return shift;
  }
  static constexpr unsigned kFirstShift = FirstShift();
  static constexpr std::uint64_t kIndexes = std::uint64_t(1) << 32;
  // Enough blocks to hold every 32-bit index.
  static constexpr unsigned kBlocks = 33 - kFirstShift;
  static unsigned BlockOf(std::uint64_t index) {
    return 63u - static_cast<unsigned>(__builtin_clzll((index >> kFirstShift) + 1));
  }
  static std::uint64_t BlockStart(unsigned block) {
    return ((std::uint64_t(1) << block) - 1) << kFirstShift;
  }

  std::uint64_t end_ = 0;
  std::unique_ptr<T[]> blocks_[kBlocks + 1];
};

// Texts of a GrowOnlyStore: a text kept once stays where it is while more are kept.
class GrowOnlyText {
 public:
  // Appends `text` and returns where it lies; throws std::length_error when the store's
  // offsets would pass 32 bits.
  TextRef Keep(const StringBase& text) {
    const std::string& bytes = text.str();
    if (!TextBuffer::Fits(0, bytes.size()))
      throw std::length_error("a text of a record passes 4 GiB");
    const auto size = static_cast<std::uint32_t>(bytes.size());
    const TextRef kept{store_.AppendRun(size), size};
    if (size != 0) std::memcpy(store_.At(kept.at), bytes.data(), size);
    return kept;
  }
  // The text `ref` names (a TextRef this store gave).
  StringBase Str(TextRef ref) const {
    return ref.size == 0 ? StringBase() : StringBase(store_.At(ref.at), ref.size);
  }

 private:
  GrowOnlyStore<char> store_;
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
