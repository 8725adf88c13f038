// Offsets and editor positions of a document's text.
#include "LspText.h"

#include <algorithm>

namespace qbdlsp {

namespace {

// UTF-16 code units of the UTF-8 sequence that starts with `lead`: 2 for a four-byte
// sequence, 0 for a continuation byte, else 1 (a stray byte counts as one unit).
unsigned unitsOfLead(unsigned char lead) {
  if ((lead & 0xC0) == 0x80) return 0;
  return lead >= 0xF0 ? 2 : 1;
}

}  // namespace

LspText::LspText(std::string text) : text_(std::move(text)) { index(); }

void LspText::index() {
  starts_.assign(1, 0);
  for (std::size_t i = text_.find('\n'); i != std::string::npos; i = text_.find('\n', i + 1))
    starts_.push_back(i + 1);
}

std::string_view LspText::line(unsigned n) const {
  if (n >= starts_.size()) return {};
  std::size_t begin = starts_[n];
  std::size_t end = n + 1 < starts_.size() ? starts_[n + 1] - 1 : text_.size();
  if (end > begin && text_[end - 1] == '\r') --end;
  return std::string_view(text_).substr(begin, end - begin);
}

std::size_t LspText::offset(Position p) const {
  if (p.line >= starts_.size()) return std::string::npos;
  const std::string_view text = line(p.line);
  unsigned units = 0;
  std::size_t i = 0;
  for (; i < text.size() && units < p.character; ++i)
    units += unitsOfLead(static_cast<unsigned char>(text[i]));
  // Past the units of a four-byte sequence's first half, or past the end of the line.
  if (units != p.character) return units > p.character ? starts_[p.line] + i : std::string::npos;
  while (i < text.size() && unitsOfLead(static_cast<unsigned char>(text[i])) == 0) ++i;
  return starts_[p.line] + i;
}

std::size_t LspText::clampedOffset(Position p) const {
  if (p.line >= starts_.size()) return text_.size();
  std::size_t at = offset(p);
  return at != std::string::npos ? at : starts_[p.line] + line(p.line).size();
}

std::size_t LspText::offsetOfReaderPlace(unsigned line, unsigned column) const {
  if (line == 0 || column == 0 || line > starts_.size()) return std::string::npos;
  const std::size_t length = this->line(line - 1).size();
  if (column - 1 > length) return std::string::npos;
  return starts_[line - 1] + column - 1;
}

Position LspText::position(std::size_t offset) const {
  offset = std::min(offset, text_.size());
  auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  const unsigned n = static_cast<unsigned>(after - starts_.begin() - 1);
  unsigned units = 0;
  for (std::size_t i = starts_[n]; i < offset; ++i)
    units += unitsOfLead(static_cast<unsigned char>(text_[i]));
  return Position{n, units};
}

void LspText::replace(std::size_t begin, std::size_t end, const std::string& with) {
  begin = std::min(begin, text_.size());
  end = std::min(std::max(begin, end), text_.size());
  text_.replace(begin, end - begin, with);
  index();
}

}  // namespace qbdlsp
