// The board file printer. It writes from the typed values, not from their text, so that a
// list keeps its parentheses and a list of lists its inner ones; reading the print gives
// back the same tree, and printing that again the same text.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "LyrBase/ValueText.h"
#include "LyrBoard.h"

namespace LyrBoard {

namespace {

using LyrBase::detail::AppendList;
using LyrBase::detail::AppendWord;

void AppendValue(std::string& out, const LyrBase::Value* value) {
  if (!value) {
    AppendWord(out, std::string(), true);
  } else if (const auto* list = LyrBase::NodeCast<LyrBase::ListStrVal>(value)) {
    AppendList(out, list->GetValue());
  } else if (const auto* lists = LyrBase::NodeCast<LyrBase::ListBaseNodePtrVal>(value)) {
    out += '(';
    const std::vector<LyrBase::BaseNode*>& items = lists->GetValue();
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (i) out += ", ";
      if (const auto* inner = LyrBase::NodeCast<LyrBase::ListStrVal>(items[i]))
        AppendList(out, inner->GetValue());
    }
    out += ')';
  } else {
    AppendWord(out, value->GetValueStr().str(), true);
  }
}

void AppendNameValue(std::string& out, const LyrBase::NameValue& node) {
  AppendWord(out, node.GetName().str(), false);
  out += " = ";
  AppendValue(out, node.GetLyrValuePtr());
}

void AppendProperty(std::string& out, const char* indent, const char* keyword,
                    const LyrBase::Property& prop) {
  out += indent;
  out += keyword;
  out += ' ';
  AppendNameValue(out, prop);
  for (const LyrBase::PsfComp* sub : prop.GetPsfCompSeqRef()) {
    out += ", ";
    AppendNameValue(out, *sub);
  }
  out += '\n';
}

// The name the reader would give a block written without one: its first INSTANCE value.
StringBase ImpliedName(const QbdBlock& block) {
  for (const LyrBase::Property* prop : block.GetPropSeqRef(QbdBlock::ATTRIBUTE))
    if (prop->GetName().Compare("INSTANCE", StringBase::IGNORE_CASE) == 0)
      return prop->GetValueStr();
  return StringBase();
}

void AppendBlock(std::string& out, const QbdBlock& block) {
  out += "BEGIN BLOCK";
  if (block.GetName() != ImpliedName(block)) {
    out += ' ';
    AppendWord(out, block.GetName().str(), false);
  }
  out += '\n';
  static const std::pair<QbdBlock::NodeType, const char*> kKinds[] = {
      {QbdBlock::ATTRIBUTE, "ATTRIBUTE"},
      {QbdBlock::PARAMETER, "PARAMETER"},
      {QbdBlock::PORT, "PORT"}};
  for (const auto& kind : kKinds)
    for (const LyrBase::Property* prop : block.GetPropSeqRef(kind.first))
      AppendProperty(out, "  ", kind.second, *prop);
  out += "END\n";
}

// Writes all of `size` bytes to the descriptor; false (errno set) when any is lost.
bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// The file a write to `path` should replace: the end of its chain of links, also when that end
// does not exist yet, so that a link stays a link.
std::string LinkTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return current;
    const std::string next(buffer.data(), static_cast<std::size_t>(n));
    const auto slash = current.rfind('/');
    current = next[0] == '/' || slash == std::string::npos ? next
                                                           : current.substr(0, slash + 1) + next;
  }
  return path;
}

// Writes straight into a FIFO, a device or a socket (renaming over one would take its place).
bool WriteInto(const std::string& path, const char* data, std::size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, data, size);
  return ::close(fd) == 0 && written;
}

// Replaces the file at `path` with the bytes, through a new file beside it that is renamed
// over it only when complete, so that a failure leaves the file as it was. The new file keeps
// the old one's permissions less the set-user and set-group bits.
bool ReplaceFileContents(const std::string& path, const char* data, std::size_t size) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
    return WriteInto(path, data, size);
  const std::string target = LinkTarget(path);
  const auto slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  const bool fits = base.size() + 8 <= static_cast<std::size_t>(longest > 0 ? longest : NAME_MAX);
  std::string temporary = (slash == std::string::npos ? std::string() : folder) +
                          (fits ? "." + base + ".XXXXXX" : std::string(".qbd.XXXXXX"));
  const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
  if (fd < 0) return false;
  mode_t mode = 0;
  if (::stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777 & ~(S_ISUID | S_ISGID);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  bool ok = WriteAll(fd, data, size) && ::fchmod(fd, mode) == 0 &&
            (::fsync(fd) == 0 || errno == EINVAL);
  const int error = errno;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    const int reason = errno ? errno : error;
    ::unlink(temporary.c_str());
    errno = reason;
  }
  return ok;
}

}  // namespace

StringBase Qbd::WriteString() const {
  std::string out;
  for (const LyrBase::PsfComp* comp : attributes_.Items()) {
    if (const auto* prop = LyrBase::NodeCast<LyrBase::Property>(comp)) {
      AppendProperty(out, "", "ATTRIBUTE", *prop);
    } else {
      out += "ATTRIBUTE ";
      AppendNameValue(out, *comp);
      out += '\n';
    }
  }
  for (const LyrBase::PsfComp* comp : blocks_.Items()) {
    if (!out.empty()) out += '\n';
    AppendBlock(out, static_cast<const QbdBlock&>(*comp));
  }
  return StringBase(std::move(out));
}

int Qbd::WriteFile(const char* path) const {
  if (!path || !*path) return 1;
  const StringBase text = WriteString();
  return ReplaceFileContents(path, text.c_str(), text.GetLength()) ? 0 : 1;
}

}  // namespace LyrBoard
