// The board-description tree: the board, its blocks, their parameters and ports, and the
// reader and printer of the board file syntax.
#ifndef LYRBOARD_H
#define LYRBOARD_H

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LyrBase.h"

namespace LyrBoard {

// One error of a failed read, as data. `code` is one of a fixed set of short names (see
// docs/board-format.md) that stays the same when the wording of `message` changes; `message`
// is the text after "error: " in GetErrorText.
struct ReadError {
  std::string file;
  unsigned line = 0;
  unsigned column = 0;
  std::string code;
  std::string message;
};

// A block parameter.
class BdParam : public LyrBase::Property {
 public:
  explicit BdParam(const char* name = "");
  // A parameter named `name` that takes ownership of `value` (null for none).
  BdParam(StringBase name, std::unique_ptr<LyrBase::Value> value);
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;
};

// A block port; its value is the net or connector it is wired to.
class BdPin : public LyrBase::Property {
 public:
  BdPin(const char* name = "", const char* value = "");
  // A port named `name` that takes ownership of `value` (an empty string when null).
  BdPin(StringBase name, std::unique_ptr<LyrBase::Value> value);
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;
};

// A block (a core instance, or the FPGA block): attributes, parameters and ports.
class QbdBlock : public LyrBase::PsfComp {
 public:
  enum NodeType { PARAMETER = 1, PORT = 2, ATTRIBUTE = 3 };

  QbdBlock();
  ~QbdBlock() override;
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;

  // The properties of that kind, in order; empty for an unknown kind.
  const std::vector<LyrBase::Property*>& GetPropSeqRef(NodeType type) const;
  // The first property of that kind whose name equals `name` ignoring case; null when none.
  LyrBase::Property* GetPropertyByName(NodeType type, const char* name) const;
  // The value text of that property; empty when it is absent.
  StringBase GetPropertyValueStr(NodeType type, const char* name) const;
  // Appends a property of that kind and takes ownership; 0 on success, 1 (and the property
  // is deleted) for null or an unknown kind.
  int AddProperty(NodeType type, LyrBase::Property* prop);
  // Deletes the property `prop` of that kind; 0 on success, 1 (nothing done) when it is not
  // one of this block's properties of that kind.
  int RemoveProperty(NodeType type, const LyrBase::Property* prop);

 private:
  OwnedList<LyrBase::Property> props_[3];
};

// The board: its attributes and its blocks.
class Qbd : public LyrBase::PsfFile {
 public:
  enum NodeType { BLOCK = 1, ATTRIBUTE = 2 };

  Qbd();
  ~Qbd() override;
  const char* GetBaseNode() const override;
  bool IsBaseNodeType(const char* typeName) const override;

  // The blocks (each a QbdBlock) or the board attributes, in order, appended ones last;
  // empty for an unknown kind.
  const std::vector<LyrBase::PsfComp*>& GetPsfCompSeqRef(NodeType type) const;
  // The first component of that kind whose name equals `name` ignoring case; null when none.
  LyrBase::PsfComp* GetPsfCompByName(NodeType type, const char* name) const;
  // Appends a component and takes ownership; 0 on success, 1 (and the component is deleted)
  // for null, an unknown kind, or a BLOCK that is not a QbdBlock.
  int AddPsfComp(NodeType type, LyrBase::PsfComp* comp);
  // Deletes the component `comp` of that kind (a block or a board attribute); 0 on success,
  // 1 (nothing done) when it is not one of this board's components of that kind.
  int RemovePsfComp(NodeType type, const LyrBase::PsfComp* comp);

  // Results of a read (also GetErrorCode after it).
  enum ReadResult { READ_OK = 0, READ_SYNTAX_ERROR = 1, READ_OPEN_ERROR = 2 };
  // At most this many errors are listed by one read; one more line counts the rest.
  static constexpr unsigned MAX_ERRORS = 20;

  // Reads a board file, replacing the tree; 0 on success, nonzero (tree left empty) on error.
  int ReadFile(const char* path);
  // Reads board text, replacing the tree; `sourceName` names it in messages.
  int ReadString(const char* text, const char* sourceName = "<string>");
  // Reads `size` bytes of board text (a NUL byte among them is an error), replacing the tree.
  int ReadBuffer(const char* data, std::size_t size, const char* sourceName);
  // Every error of the last read, one per line; empty on success.
  StringBase GetErrorText() const { return errorText_; }
  // Every error of the last read, in the order of GetErrorText; empty on success.
  const std::vector<ReadError>& GetErrors() const { return errors_; }
  // The tree in the board file syntax.
  StringBase WriteString() const;
  // Results of a write.
  enum WriteResult { WRITE_OK = 0, WRITE_ERROR = 1, WRITE_PROTECTED = 2 };
  // Writes the tree to a file through a Port::ReplacingFile: the file keeps its old text
  // unless all the new arrives. WRITE_OK on success; else errno holds the reason, and
  // WRITE_PROTECTED says a file the user may not write was left alone (`force` replaces it).
  int WriteFile(const char* path, bool force = false) const;
  // The board's count of changes, which never wraps: indexes of the model compare it.
  unsigned long long GetModCount() const override { return boardModCount_; }
  // How many times the list of blocks changed (a block added or removed, the tree read or
  // cleared); it never wraps. While it stays the same the blocks are the same nodes in the
  // same order, so an index may compare the blocks' own counts to find which changed.
  unsigned long long GetBlockListCount() const { return blockListCount_; }

 protected:
  void CountChange() const override { ++boardModCount_; }

 private:
  // ReadBuffer, telling `consumed` (when set) how many leading bytes the parser is done with.
  int ReadText(const char* data, std::size_t size, const char* sourceName,
               const std::function<void(std::size_t)>& consumed);
  void Clear();
  // Empties the tree and keeps `errors` as the outcome of a read that failed with `code`.
  void Fail(int code, std::vector<ReadError> errors);
  // Takes over the blocks and attributes of `fresh`, which is left empty.
  void AdoptFrom(Qbd& fresh);
  LyrBase::PsfCompList blocks_;
  LyrBase::PsfCompList attributes_;
  StringBase errorText_;
  std::vector<ReadError> errors_;
  mutable unsigned long long boardModCount_ = 0;
  unsigned long long blockListCount_ = 0;
};

}  // namespace LyrBoard

namespace LyrBase {
template <> struct NodeTypeName<LyrBoard::BdParam> {
  static constexpr const char* value = "LyrBoard_BdParam";
};
template <> struct NodeTypeName<LyrBoard::BdPin> { static constexpr const char* value = "LyrBoard_BdPin"; };
template <> struct NodeTypeName<LyrBoard::QbdBlock> {
  static constexpr const char* value = "LyrBoard_QbdBlock";
};
template <> struct NodeTypeName<LyrBoard::Qbd> { static constexpr const char* value = "LyrBoard_Qbd"; };
}  // namespace LyrBase

#endif  // LYRBOARD_H
