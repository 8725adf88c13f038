// The grammar of board files over the lexer: statements, blocks, properties, values and
// lists, with error recovery line by line.
#include "Parser.h"

#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Lexer.h"
#include "ReadErrors.h"

namespace LyrBoard {
namespace detail {

namespace {

using LyrBase::ListBaseNodePtrVal;
using LyrBase::ListStrVal;
using LyrBase::PsfComp;
using LyrBase::Property;
using LyrBase::StrVal;
using LyrBase::Value;

enum class Keyword { None, Attribute, Parameter, Port, Begin, Block, End };

// Keywords match ignoring the case of ASCII letters only, whatever the locale.
bool SameLetters(std::string_view word, const char* keyword) {
  std::size_t i = 0;
  for (; keyword[i]; ++i) {
    if (i >= word.size()) return false;
    char c = word[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != keyword[i]) return false;
  }
  return i == word.size();
}

Keyword Classify(std::string_view word) {
  // The length picks the one or two keywords the word can be.
  switch (word.size()) {
    case 3: return SameLetters(word, "END") ? Keyword::End : Keyword::None;
    case 4: return SameLetters(word, "PORT") ? Keyword::Port : Keyword::None;
    case 5:
      if (SameLetters(word, "BEGIN")) return Keyword::Begin;
      return SameLetters(word, "BLOCK") ? Keyword::Block : Keyword::None;
    case 9:
      if (SameLetters(word, "ATTRIBUTE")) return Keyword::Attribute;
      return SameLetters(word, "PARAMETER") ? Keyword::Parameter : Keyword::None;
    default: return Keyword::None;
  }
}

const char* KeywordText(Keyword k) {
  switch (k) {
    case Keyword::Attribute: return "ATTRIBUTE";
    case Keyword::Parameter: return "PARAMETER";
    case Keyword::Port: return "PORT";
    default: return "";
  }
}

// Text from the file as a message shows it: at most a few dozen bytes of it, with control
// characters escaped so that every message stays on its own line.
std::string Excerpt(std::string_view text) {
  constexpr std::size_t kMax = 24;
  std::string out = "'";
  for (std::size_t i = 0; i < text.size() && i < kMax; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + (text.size() > kMax ? "...'" : "'");
}

std::string PositionText(Position p) {
  return std::to_string(p.line) + ":" + std::to_string(p.column);
}

// Lists hold scalars or lists of scalars, no deeper.
constexpr int kMaxListDepth = 2;

class Parser {
 public:
  Parser(const char* data, std::size_t size, const std::string& file, Qbd& board,
         const std::function<void(std::size_t)>& consumed)
      : lex_(data, size),
        file_(file),
        fileId_(PsfComp::InternFileName(file)),
        board_(board),
        consumed_(consumed) {}

  // Reads everything; the number of errors found.
  unsigned Run();
  std::vector<ReadError>& Errors() { return errors_; }

 private:
  void Statement();
  void TopLevel(Keyword kw, std::string_view word, Position at);
  void InBlock(Keyword kw, std::string_view word, Position at);
  void BeginBlock(Position at);
  void EndBlock();
  std::unique_ptr<Property> ReadProperty(Keyword kw, Position at);
  // Reads a name into name_ (a quoted one through nameBuffer_).
  bool ReadName(const char* after);
  // Reads "= value": a list into `list`, a scalar into text_ (a quoted one through
  // textBuffer_).
  bool ReadValue(std::unique_ptr<Value>& list);
  // The value read last, as a value node.
  std::unique_ptr<Value> TakeValue(std::unique_ptr<Value>& list) const;
  std::unique_ptr<Property> MakeProperty(Keyword kw, std::unique_ptr<Value> list);
  std::unique_ptr<Value> ReadList(int depth);
  bool ReadItem(int depth, std::string& buffer, std::string_view& text,
                std::unique_ptr<ListStrVal>& list);
  bool ExpectLineEnd(const char* after);
  void Stamp(PsfComp& comp, Position at) { comp.SetFileInfo(fileId_, at.line, at.column); }

  void Fail(Position at, const std::string& message);
  void FailFound(const std::string& expected) { Fail(lex_.Here(), expected + ", found " + lex_.Describe()); }
  void FailLex() { Fail(lex_.ErrorAt(), lex_.Error()); }
  bool Full() const { return errorCount_ >= Qbd::MAX_ERRORS; }

  Lexer lex_;
  const std::string& file_;
  PsfComp::FileId fileId_;  // every node read shares it
  Qbd& board_;
  const std::function<void(std::size_t)>& consumed_;
  std::size_t reported_ = 0;  // the offset last given to consumed_
  std::unique_ptr<QbdBlock> block_;  // the block between BEGIN BLOCK and END
  Position blockAt_;
  bool blockNamed_ = false;          // named after BEGIN BLOCK or by an INSTANCE attribute
  bool statementFailed_ = false;
  unsigned statements_ = 0;
  unsigned errorCount_ = 0;
  // Errors past the first Qbd::MAX_ERRORS are only counted, from the place of the first.
  unsigned unlisted_ = 0;
  Position unlistedAt_;
  std::vector<ReadError> errors_;
  // The name and scalar value just read: views of the input, or of the buffers when quoted
  // (unescaping needs a copy). The buffers are reused from statement to statement.
  std::string_view name_;
  std::string_view text_;
  std::string nameBuffer_;
  std::string textBuffer_;
  // The same for the items of a list being read, one set per nesting depth.
  std::vector<StringBase> listScratch_[kMaxListDepth + 1];
  std::string itemScratch_[kMaxListDepth + 1];
};

void Parser::Fail(Position at, const std::string& message) {
  statementFailed_ = true;
  if (Full()) {
    if (unlisted_++ == 0) unlistedAt_ = at;
    return;
  }
  ++errorCount_;
  errors_.push_back(MakeReadError(file_, at.line, at.column, message));
}

unsigned Parser::Run() {
  constexpr std::size_t kReportEvery = std::size_t(1) << 20;
  for (;;) {
    lex_.SkipBlankLines();
    if (lex_.AtEnd()) break;
    // Every statement before this one is done with; nothing refers back to its bytes.
    if (consumed_ && lex_.Offset() - reported_ >= kReportEvery) consumed_(reported_ = lex_.Offset());
    statementFailed_ = false;
    Statement();
    // After an error the rest of the line is noise; go on with the next one.
    if (statementFailed_) lex_.SkipLine();
  }
  if (block_) Fail(blockAt_, "BEGIN BLOCK has no END: expected END, found end of file");
  if (statements_ == 0 && errorCount_ == 0)
    Fail(lex_.Here(), "empty board file: expected ATTRIBUTE or BEGIN BLOCK, found end of file");
  if (unlisted_ != 0)
    errors_.push_back(MakeReadError(
        file_, unlistedAt_.line, unlistedAt_.column,
        std::to_string(unlisted_) + " more error" + (unlisted_ == 1 ? "" : "s") +
            " not listed, the first of them here (a read lists at most " +
            std::to_string(Qbd::MAX_ERRORS) + ")"));
  return errorCount_;
}

void Parser::Statement() {
  const Position at = lex_.Here();
  const std::string_view word = lex_.Word();
  const Keyword kw = Classify(word);
  ++statements_;
  if (block_)
    InBlock(kw, word, at);
  else
    TopLevel(kw, word, at);
}

void Parser::TopLevel(Keyword kw, std::string_view word, Position at) {
  switch (kw) {
    case Keyword::Attribute:
      if (auto prop = ReadProperty(kw, at)) board_.AddPsfComp(Qbd::ATTRIBUTE, prop.release());
      return;
    case Keyword::Begin:
      BeginBlock(at);
      return;
    case Keyword::End:
      Fail(at, "END without BEGIN BLOCK: expected ATTRIBUTE or BEGIN BLOCK, found END");
      return;
    case Keyword::Parameter:
    case Keyword::Port:
      Fail(at, std::string(KeywordText(kw)) +
                   " outside a block: expected ATTRIBUTE or BEGIN BLOCK, found " + KeywordText(kw));
      return;
    default:
      if (!word.empty()) Fail(at, "expected ATTRIBUTE or BEGIN BLOCK, found " + Excerpt(word));
      else FailFound("expected ATTRIBUTE or BEGIN BLOCK");
  }
}

void Parser::InBlock(Keyword kw, std::string_view word, Position at) {
  switch (kw) {
    case Keyword::Attribute:
    case Keyword::Parameter:
    case Keyword::Port: {
      auto prop = ReadProperty(kw, at);
      if (!prop) return;
      if (kw == Keyword::Attribute && !blockNamed_ &&
          prop->GetName().Compare("INSTANCE", StringBase::IGNORE_CASE) == 0) {
        block_->SetName(prop->GetValueStr().c_str());
        blockNamed_ = true;
      }
      const QbdBlock::NodeType type = kw == Keyword::Attribute   ? QbdBlock::ATTRIBUTE
                                      : kw == Keyword::Parameter ? QbdBlock::PARAMETER
                                                                 : QbdBlock::PORT;
      block_->AddProperty(type, prop.release());
      return;
    }
    case Keyword::End:
      EndBlock();
      return;
    case Keyword::Begin:
      Fail(at, "expected END before the next BEGIN BLOCK (the block begun at " +
                   PositionText(blockAt_) + " has no END), found BEGIN");
      // Go on with the new block; its own line is still to be read.
      block_.reset();
      statementFailed_ = false;
      BeginBlock(at);
      return;
    default:
      if (!word.empty()) Fail(at, "expected ATTRIBUTE, PARAMETER, PORT or END, found " + Excerpt(word));
      else FailFound("expected ATTRIBUTE, PARAMETER, PORT or END");
  }
}

void Parser::BeginBlock(Position at) {
  // The block opens even when the line is faulty, so that its contents do not cascade into
  // errors of their own.
  block_ = std::make_unique<QbdBlock>();
  Stamp(*block_, at);
  blockAt_ = at;
  blockNamed_ = false;
  lex_.SkipBlanks();
  const Position blockWordAt = lex_.Here();
  const std::string_view word = lex_.Word();
  if (Classify(word) != Keyword::Block) {
    if (!word.empty()) Fail(blockWordAt, "expected BLOCK after BEGIN, found " + Excerpt(word));
    else FailFound("expected BLOCK after BEGIN");
    return;
  }
  lex_.SkipBlanks();
  if (!lex_.AtLineEnd()) {
    if (!ReadName("BEGIN BLOCK")) return;
    block_->SetName(StringBase(name_.data(), name_.size()));
    blockNamed_ = true;
  }
  ExpectLineEnd("the block name");
}

void Parser::EndBlock() {
  board_.AddPsfComp(Qbd::BLOCK, block_.release());
  ExpectLineEnd("END");
}

bool Parser::ExpectLineEnd(const char* after) {
  lex_.SkipBlanks();
  if (lex_.AtLineEnd() && lex_.ConsumeLineEnd()) return true;
  FailFound(std::string("expected end of line after ") + after);
  return false;
}

bool Parser::ReadName(const char* after) {
  lex_.SkipBlanks();
  if (lex_.Peek() == '"') {
    if (lex_.Quoted(nameBuffer_)) {
      name_ = nameBuffer_;
      return true;
    }
    FailLex();
    return false;
  }
  const Position at = lex_.Here();
  if (!lex_.Bare(false, name_)) {
    FailLex();
    return false;
  }
  if (!name_.empty()) return true;
  Fail(at, std::string("expected a name after ") + after + ", found " + lex_.Describe());
  return false;
}

std::unique_ptr<Value> Parser::TakeValue(std::unique_ptr<Value>& list) const {
  if (list) return std::move(list);
  return std::make_unique<StrVal>(StringBase(text_.data(), text_.size()));
}

std::unique_ptr<Property> Parser::MakeProperty(Keyword kw, std::unique_ptr<Value> list) {
  StringBase name(name_.data(), name_.size());
  std::unique_ptr<Value> value = TakeValue(list);
  if (kw == Keyword::Port) return std::make_unique<BdPin>(std::move(name), std::move(value));
  if (kw == Keyword::Parameter) return std::make_unique<BdParam>(std::move(name), std::move(value));
  return std::make_unique<Property>(std::move(name), std::move(value));
}

std::unique_ptr<Property> Parser::ReadProperty(Keyword kw, Position at) {
  std::unique_ptr<Value> list;
  if (!ReadName(KeywordText(kw)) || !ReadValue(list)) return nullptr;
  std::unique_ptr<Property> prop = MakeProperty(kw, std::move(list));
  Stamp(*prop, at);

  for (;;) {
    lex_.SkipBlanks();
    if (lex_.AtLineEnd()) {
      lex_.ConsumeLineEnd();
      return prop;
    }
    if (lex_.Peek() != ',') {
      FailFound("expected ',' or end of line after the value of " + Excerpt(prop->GetName().str()));
      return nullptr;
    }
    lex_.Advance();
    lex_.SkipBlankLines();
    const Position subAt = lex_.Here();
    if (!ReadName("','") || !ReadValue(list)) return nullptr;
    auto sub = std::make_unique<PsfComp>(StringBase(name_.data(), name_.size()), TakeValue(list));
    Stamp(*sub, subAt);
    prop->AddPsfComp(sub.release());
  }
}

bool Parser::ReadValue(std::unique_ptr<Value>& list) {
  lex_.SkipBlanks();
  if (lex_.Peek() != '=') {
    FailFound("expected '=' after the name " + Excerpt(name_));
    return false;
  }
  lex_.Advance();
  lex_.SkipBlanks();
  bool ok = false;
  switch (lex_.Peek()) {
    case '(':
      list = ReadList(1);
      return list != nullptr;
    case '"':
      ok = lex_.Quoted(textBuffer_);
      text_ = textBuffer_;
      break;
    default:
      ok = lex_.Bare(true, text_);
  }
  if (!ok) FailLex();
  return ok;
}

bool Parser::ReadItem(int depth, std::string& buffer, std::string_view& text,
                      std::unique_ptr<ListStrVal>& list) {
  switch (lex_.Peek()) {
    case '(': {
      if (depth >= kMaxListDepth) {
        FailFound("lists nest at most two deep: expected a value");
        return false;
      }
      std::unique_ptr<Value> inner = ReadList(depth + 1);
      if (!inner) return false;
      list.reset(static_cast<ListStrVal*>(inner.release()));
      return true;
    }
    case '"':
      if (lex_.Quoted(buffer)) {
        text = buffer;
        return true;
      }
      break;
    default:
      if (lex_.Bare(true, text)) return true;
  }
  FailLex();
  return false;
}

std::unique_ptr<Value> Parser::ReadList(int depth) {
  const Position open = lex_.Here();
  lex_.Advance();
  std::vector<StringBase>& scalars = listScratch_[depth];
  scalars.clear();
  // Inner lists with the index of the element they stand for; the scalar there is unused.
  std::vector<std::pair<std::size_t, std::unique_ptr<ListStrVal>>> inner;
  lex_.SkipBlankLines();
  if (lex_.Peek() == ')') {
    lex_.Advance();
  } else {
    std::string& buffer = itemScratch_[depth];
    for (;;) {
      lex_.SkipBlankLines();
      std::unique_ptr<ListStrVal> list;
      std::string_view text;
      if (!ReadItem(depth, buffer, text, list)) return nullptr;
      if (list) inner.emplace_back(scalars.size(), std::move(list));
      scalars.emplace_back(text.data(), text.size());
      lex_.SkipBlankLines();
      const char c = lex_.Peek();
      if (c == ')') {
        lex_.Advance();
        break;
      }
      if (c == ',') {
        lex_.Advance();
        continue;
      }
      if (lex_.AtEnd())
        Fail(open, "unterminated list: expected ')' to close this '(', found end of file");
      else
        FailFound("expected ',' or ')' in the list opened at " + PositionText(open));
      return nullptr;
    }
  }
  if (inner.empty())
    return std::make_unique<ListStrVal>(std::vector<StringBase>(
        std::make_move_iterator(scalars.begin()), std::make_move_iterator(scalars.end())));
  // A list holding a list: every scalar element becomes a one-element list.
  auto lists = std::make_unique<ListBaseNodePtrVal>();
  auto next = inner.begin();
  for (std::size_t i = 0; i < scalars.size(); ++i) {
    if (next != inner.end() && next->first == i) {
      lists->Append(std::move(next->second));
      ++next;
    } else {
      lists->Append(std::make_unique<ListStrVal>(std::vector<StringBase>{std::move(scalars[i])}));
    }
  }
  return lists;
}

}  // namespace

unsigned ParseBoard(const char* data, std::size_t size, const std::string& file, Qbd& board,
                    std::vector<ReadError>& errors,
                    const std::function<void(std::size_t)>& consumed) {
  Parser parser(data, size, file, board, consumed);
  const unsigned count = parser.Run();
  errors = std::move(parser.Errors());
  return count;
}

}  // namespace detail
}  // namespace LyrBoard
