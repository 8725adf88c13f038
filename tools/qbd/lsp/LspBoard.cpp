// A read of a document and the places of its nodes in the text.
#include "LspBoard.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <unordered_set>

#include "MBD.h"
#include "MbdRules.h"

namespace qbdlsp {

namespace {

using LyrBoard::QbdBlock;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool endsBare(char c) {
  return c == ',' || c == '(' || c == ')' || c == '"' || c == '#' || c == '\n';
}

std::size_t skipBlanks(const std::string& text, std::size_t i) {
  while (i < text.size() && isBlank(text[i])) ++i;
  return i;
}

// The end of the quoted string that starts at `i` (past its closing quote), or the end of its
// line when it is not closed.
std::size_t quotedEnd(const std::string& text, std::size_t i) {
  for (++i; i < text.size() && text[i] != '\n'; ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] != '\n')
      ++i;
    else if (text[i] == '"')
      return i + 1;
  }
  return i;
}

// Bare text from `i` up to the next character that ends it (or `=` for a name), trailing
// blanks left out.
Span bareAt(const std::string& text, std::size_t i, bool isName) {
  std::size_t end = i;
  while (end < text.size() && !endsBare(text[end]) && !(isName && text[end] == '=')) ++end;
  std::size_t last = end;
  while (last > i && isBlank(text[last - 1])) --last;
  return Span{i, last};
}

// A parenthesised list from `i` to past its closing parenthesis (or the end of the text),
// quoted strings and comments inside skipped.
Span listAt(const std::string& text, std::size_t i) {
  const std::size_t begin = i;
  int depth = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '"') {
      i = quotedEnd(text, i);
      continue;
    }
    if (c == '#') {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    ++i;
    if (c == '(')
      ++depth;
    else if (c == ')' && --depth == 0)
      break;
  }
  return Span{begin, i};
}

Span valueAt(const std::string& text, std::size_t i) {
  if (i >= text.size()) return Span{i, i};
  if (text[i] == '"') return Span{i, quotedEnd(text, i)};
  if (text[i] == '(') return listAt(text, i);
  return bareAt(text, i, false);
}

bool startsWithWord(const std::string& text, std::size_t i, const char* word) {
  for (; *word; ++word, ++i)
    if (i >= text.size() || (text[i] | 0x20) != (*word | 0x20)) return false;
  return i >= text.size() || !std::isalnum(static_cast<unsigned char>(text[i]));
}

// The end of the block's END line: the first line after `from` whose first word is END.
std::size_t blockEnd(const std::string& text, std::size_t from) {
  std::size_t line = text.find('\n', from);
  while (line != std::string::npos) {
    const std::size_t word = skipBlanks(text, line + 1);
    const std::size_t next = text.find('\n', line + 1);
    if (startsWithWord(text, word, "END")) return next == std::string::npos ? text.size() : next;
    if (startsWithWord(text, word, "BEGIN")) return line;  // an END is missing
    line = next;
  }
  return text.size();
}

}  // namespace

void scanStatement(const std::string& text, std::size_t start, bool keyword, Span& name,
                   Span& value) {
  name = value = Span{};
  std::size_t i = start;
  if (keyword) {
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) ++i;
    i = skipBlanks(text, i);
  }
  if (i >= text.size()) return;
  name = text[i] == '"' ? Span{i, quotedEnd(text, i)} : bareAt(text, i, true);
  i = skipBlanks(text, name.end);
  if (i >= text.size() || text[i] != '=') return;
  value = valueAt(text, skipBlanks(text, i + 1));
}

Span listElementAt(const std::string& text, Span list, std::size_t offset) {
  if (!list.valid() || offset <= list.begin || offset >= list.end) return Span{};
  std::size_t i = list.begin + 1;
  while (i < list.end) {
    i = skipBlanks(text, i);
    while (i < list.end && (text[i] == '\n' || isBlank(text[i]) || text[i] == '(')) ++i;
    if (i >= list.end) break;
    if (text[i] == '#') {
      while (i < list.end && text[i] != '\n') ++i;
      continue;
    }
    if (text[i] == ',' || text[i] == ')') {
      ++i;
      continue;
    }
    const Span element = text[i] == '"' ? Span{i, quotedEnd(text, i)} : bareAt(text, i, false);
    if (offset >= element.begin && offset <= element.end) return element;
    i = std::max(element.end, i + 1);
  }
  return Span{};
}

std::unique_ptr<LspBoard> LspBoard::read(const std::string& text, const std::string& path,
                                         std::vector<LyrBoard::ReadError>& errors) {
  auto tree = std::make_unique<LyrBoard::Qbd>();
  const int status = tree->ReadBuffer(text.data(), text.size(), path.c_str());
  errors = tree->GetErrors();
  if (status != 0) return nullptr;
  return std::unique_ptr<LspBoard>(new LspBoard(text, path, std::move(tree)));
}

LspBoard::LspBoard(const std::string& text, std::string path, std::unique_ptr<LyrBoard::Qbd> tree)
    : text_(text), path_(std::move(path)), tree_(std::move(tree)) {
  wiring_ = std::make_unique<MbdWiring>(*tree_);
  findings_ = MbdLint::LintBoard(*tree_, path_);
  placeNodes();
  collectNames();
}

LspBoard::~LspBoard() = default;

void LspBoard::placeNodes() {
  const std::string& text = text_.text();
  auto add = [&](Spot::Kind kind, const LyrBase::PsfComp* node, const QbdBlock* block,
                 const LyrBase::Property* owner) -> Spot* {
    const std::size_t at = text_.offsetOfReaderPlace(node->GetLineNo(), node->GetColumnNo());
    if (at == std::string::npos) return nullptr;
    Spot spot;
    spot.kind = kind;
    spot.node = node;
    spot.block = block;
    spot.owner = owner;
    spot.start = at;
    if (kind != Spot::Block) scanStatement(text, at, kind != Spot::Sub, spot.name, spot.value);
    spots_.push_back(spot);
    return &spots_.back();
  };
  auto addProperty = [&](Spot::Kind kind, const LyrBase::Property* prop, const QbdBlock* block) {
    add(kind, prop, block, nullptr);
    for (const LyrBase::PsfComp* sub : prop->GetPsfCompSeqRef()) add(Spot::Sub, sub, block, prop);
  };
  for (const LyrBase::PsfComp* attr : tree_->GetPsfCompSeqRef(LyrBoard::Qbd::ATTRIBUTE))
    if (auto* prop = dynamic_cast<const LyrBase::Property*>(attr))
      addProperty(Spot::BoardAttribute, prop, nullptr);
  for (const LyrBase::PsfComp* comp : tree_->GetPsfCompSeqRef(LyrBoard::Qbd::BLOCK)) {
    const auto* block = static_cast<const QbdBlock*>(comp);
    Spot* spot = add(Spot::Block, block, block, nullptr);
    if (spot) {
      // BEGIN BLOCK [name]
      std::size_t i = skipBlanks(text, spot->start + 5);
      if (startsWithWord(text, i, "BLOCK")) i = skipBlanks(text, i + 5);
      if (i < text.size() && text[i] != '\n' && text[i] != '#')
        spot->name = text[i] == '"' ? Span{i, quotedEnd(text, i)} : bareAt(text, i, false);
      spot->end = blockEnd(text, spot->start);
    }
    for (auto kind : {QbdBlock::ATTRIBUTE, QbdBlock::PARAMETER, QbdBlock::PORT}) {
      const Spot::Kind spotKind = kind == QbdBlock::ATTRIBUTE   ? Spot::Attribute
                                  : kind == QbdBlock::PARAMETER ? Spot::Parameter
                                                                : Spot::Port;
      for (const LyrBase::Property* prop : block->GetPropSeqRef(kind))
        addProperty(spotKind, prop, block);
    }
  }
  std::stable_sort(spots_.begin(), spots_.end(),
                   [](const Spot& a, const Spot& b) { return a.start < b.start; });
}

void LspBoard::collectNames() {
  std::unordered_set<StringBase, CaseBlindHash, CaseBlindEqual> seen;
  std::unordered_set<StringBase, CaseBlindHash, CaseBlindEqual> keys, parameters;
  std::set<std::string> ioTypes, roles;
  for (const Spot& spot : spots_) {
    if (spot.kind == Spot::Port) {
      const StringBase net =
          MbdRules::ConnectorOf(*static_cast<const LyrBase::Property*>(spot.node));
      if (!net.str().empty() && seen.insert(net).second) nets_.push_back(net.str());
    } else if (spot.kind == Spot::Parameter) {
      if (parameters.insert(spot.node->GetName()).second)
        parameters_.push_back(spot.node->GetName().str());
    } else if (spot.kind == Spot::Attribute && EqualsIgnoringCase(spot.node->GetName(), "IOTYPE")) {
      ioTypes.insert(spot.node->GetValueStr().str());
    } else if (spot.kind == Spot::Sub && EqualsIgnoringCase(spot.node->GetName(), "IO_IS")) {
      roles.insert(spot.node->GetValueStr().str());
    } else if (spot.kind == Spot::Sub &&
               EqualsIgnoringCase(spot.node->GetName(), MBD::UCF_NET_STRING)) {
      for (const StringBase& s : MbdRules::StringsOf(spot.node))
        for (const MbdRules::Constraint& item : MbdRules::ReadConstraint(s).items)
          if (keys.insert(item.key).second) constraintKeys_.push_back(item.key.str());
    }
  }
  std::sort(nets_.begin(), nets_.end());
  std::sort(constraintKeys_.begin(), constraintKeys_.end());
  std::sort(parameters_.begin(), parameters_.end());
  ioTypes_.assign(ioTypes.begin(), ioTypes.end());
  roles_.assign(roles.begin(), roles.end());
}

const Spot* LspBoard::spotAt(std::size_t offset) const {
  auto after = std::upper_bound(spots_.begin(), spots_.end(), offset,
                                [](std::size_t at, const Spot& s) { return at < s.start; });
  return after == spots_.begin() ? nullptr : &*(after - 1);
}

const Spot* LspBoard::spotOf(const LyrBase::PsfComp* node) const {
  if (!node) return nullptr;
  const std::size_t at = text_.offsetOfReaderPlace(node->GetLineNo(), node->GetColumnNo());
  auto first = std::lower_bound(spots_.begin(), spots_.end(), at,
                                [](const Spot& s, std::size_t where) { return s.start < where; });
  for (; first != spots_.end() && first->start == at; ++first)
    if (first->node == node) return &*first;
  return nullptr;
}

const Spot* LspBoard::instanceSpot(const LyrBoard::QbdBlock& block) const {
  return spotOf(block.GetPropertyByName(QbdBlock::ATTRIBUTE, "INSTANCE"));
}

const LyrBoard::QbdBlock* LspBoard::blockNamed(const std::string& name) const {
  return static_cast<const QbdBlock*>(tree_->GetPsfCompByName(LyrBoard::Qbd::BLOCK, name.c_str()));
}

}  // namespace qbdlsp
