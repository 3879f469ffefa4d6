#include "settings/KELNode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "platform/SafeSave.h"
#include "settings/KELLineCutter.h"
#include "settings/KELObject.h"

namespace hovrak {

namespace {

// Appends a name or value without the bytes the format cannot carry: a line feed
// would split the entry into lines of its own (a value could then pose as another
// key) and a Ctrl-Z would end the readable data, losing the rest of the file.
void AppendSafe(std::string& out, const std::string& text) {
  for (const char c : text) {
    if (c != '\n' && c != '\x1a') out += c;
  }
}

bool ReadRegularFile(const std::string& path, std::string& bytes) {
  // Non-blocking open so that a FIFO named like the settings file cannot hang us;
  // anything but a regular file is refused.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  std::string result;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    result.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  bytes.swap(result);
  return true;
}

// Lists up to this long are scanned; longer ones get an index on their first lookup.
constexpr std::size_t kScanLimit = 16;
// Blocks nested deeper than this are not read (nor what they hold): no settings file
// of the program nests more than a few levels, and writing back a tree thousands of
// levels deep would take time and memory that grow with the square of its depth.
constexpr std::size_t kMaxDepth = 64;

template <class List, class Index>
void PrepareIndex(List& list, Index& index) {
  if (index.Built || list.size() <= kScanLimit) return;
  for (auto it = list.begin(); it != list.end(); ++it) index.ByName[it->Name].Items.push_back(it);
  index.Built = true;
}

template <class Index, class Iterator>
void NoteAdded(Index& index, Iterator it) {
  if (index.Built) index.ByName[it->Name].Items.push_back(it);
}

// The first entry of that name, or the list's end.
template <class List, class Index>
typename List::iterator FindFirst(List& list, Index& index, const std::string& name) {
  PrepareIndex(list, index);
  if (!index.Built) {
    for (auto it = list.begin(); it != list.end(); ++it) {
      if (it->Name == name) return it;
    }
    return list.end();
  }
  const auto found = index.ByName.find(name);
  if (found == index.ByName.end()) return list.end();
  // A name whose entries are all taken has no index entry, so Head is in range.
  return found->second.Items[found->second.Head];
}

// Drops the entry FindFirst found from the index, before it is erased from the list.
template <class Index>
void ForgetFirst(Index& index, const std::string& name) {
  if (!index.Built) return;
  const auto found = index.ByName.find(name);
  if (++found->second.Head == found->second.Items.size()) index.ByName.erase(found);
}

template <class List, class Index>
std::size_t CountNamed(const List& list, const Index& index, const std::string& name) {
  if (index.Built) {
    const auto found = index.ByName.find(name);
    return found == index.ByName.end() ? 0 : found->second.Items.size() - found->second.Head;
  }
  std::size_t count = 0;
  for (const auto& entry : list) {
    if (entry.Name == name) ++count;
  }
  return count;
}

// Whether bytes[from, to) holds only blanks.
bool AllBlank(const std::string& bytes, std::size_t from, std::size_t to) {
  for (; from < to; ++from) {
    if (!TKELLineCutter::IsBlank(bytes[from])) return false;
  }
  return true;
}

}  // namespace

TKELNode::~TKELNode() {
  std::vector<boost::shared_ptr<TKELNode>> pending;
  for (TNodeInfo& info : children_) pending.push_back(std::move(info.Node));
  while (!pending.empty()) {
    boost::shared_ptr<TKELNode> node = std::move(pending.back());
    pending.pop_back();
    if (node && node.use_count() == 1) {
      for (TNodeInfo& info : node->children_) pending.push_back(std::move(info.Node));
    }
  }
}

bool TKELNode::LoadFile(const std::string& path) {
  std::string bytes;
  if (!ReadRegularFile(path, bytes)) return false;
  LoadFromBytes(bytes);
  return true;
}

bool TKELNode::SaveFile(const std::string& path) const { return hovrak::SafeWriteFile(path, SaveToBytes()) == 0; }

bool TKELNode::LoadFromBytes(const std::string& bytes) {
  data_.clear();
  children_.clear();
  dataIndex_ = {};
  childIndex_ = {};
  bool clean = true;
  // Open nodes, innermost last; kept on a stack rather than by recursion so that
  // nesting depth is bounded only by memory.
  std::vector<TKELNode*> open{this};
  // Blocks opened below the deepest level read, not yet closed.
  std::size_t skipped = 0;
  TKELLineCutter cutter(bytes);
  TKELLineCutter::TLine line;
  while (!open.empty() && cutter.Next(line)) {
    const std::size_t first = line.First;
    const std::size_t lineEnd = line.End;
    if (first == lineEnd) continue;
    if (bytes[first] == '}') {
      if (!AllBlank(bytes, first + 1, lineEnd)) clean = false;
      if (skipped > 0) --skipped;
      else open.pop_back();
      continue;
    }
    std::size_t mark = first;
    while (mark < lineEnd && bytes[mark] != '=' && bytes[mark] != '{') ++mark;
    if (mark == lineEnd) {
      clean = false;
      continue;
    }
    if (skipped > 0 || (bytes[mark] == '{' && open.size() > kMaxDepth)) {
      clean = false;
      if (bytes[mark] == '{') ++skipped;
      continue;
    }
    std::string name = bytes.substr(first, mark - first);
    TKELNode& parent = *open.back();
    if (bytes[mark] == '{') {
      if (!AllBlank(bytes, mark + 1, lineEnd)) clean = false;
      open.push_back(&parent.AddChild(name));
    } else {
      parent.data_.push_back({std::move(name), bytes.substr(mark + 1, lineEnd - mark - 1)});
      NoteAdded(parent.dataIndex_, std::prev(parent.data_.end()));
    }
  }
  // A close line with nothing open ended the read early; blocks still open at the
  // end were never closed.
  return clean && open.size() == 1 && skipped == 0;
}

std::string TKELNode::SaveToBytes() const {
  std::string out;
  struct TFrame {
    const TKELNode* Node;
    std::list<TNodeInfo>::const_iterator Next;
    std::size_t Level;
  };
  std::vector<TFrame> stack;
  const auto indent = [&out](std::size_t level) { out.append(2 * level, ' '); };
  const auto enter = [&](const TKELNode& node, std::size_t level) {
    for (const TDatum& datum : node.data_) {
      indent(level);
      AppendSafe(out, datum.Name);
      out += '=';
      AppendSafe(out, datum.Value);
      out += "\r\n";
    }
    stack.push_back({&node, node.children_.begin(), level});
  };
  const TKELNode empty;
  enter(*this, 0);
  while (!stack.empty()) {
    TFrame& frame = stack.back();
    if (frame.Next == frame.Node->children_.end()) {
      const std::size_t level = frame.Level;
      stack.pop_back();
      if (level > 0) {
        indent(level - 1);
        out += "}\r\n";
      }
      continue;
    }
    const TNodeInfo& info = *frame.Next++;
    const std::size_t level = frame.Level;
    indent(level);
    AppendSafe(out, info.Name);
    out += "{\r\n";
    enter(info.Node ? *info.Node : empty, level + 1);
  }
  return out;
}

bool TKELNode::GetValue(const std::string& name, std::string& value) {
  const auto it = FindFirst(data_, dataIndex_, name);
  if (it == data_.end()) return false;
  value = std::move(it->Value);
  ForgetFirst(dataIndex_, name);
  data_.erase(it);
  return true;
}

void TKELNode::AddValue(const std::string& name, const std::string& value) {
  data_.push_back({name, value});
  NoteAdded(dataIndex_, std::prev(data_.end()));
}

boost::shared_ptr<TKELNode> TKELNode::GetChild(const std::string& name) {
  const auto it = FindFirst(children_, childIndex_, name);
  if (it == children_.end()) return {};
  boost::shared_ptr<TKELNode> node = std::move(it->Node);
  ForgetFirst(childIndex_, name);
  children_.erase(it);
  return node;
}

TKELNode& TKELNode::AddChild(const std::string& name) {
  children_.push_back({name, boost::shared_ptr<TKELNode>(new TKELNode)});
  NoteAdded(childIndex_, std::prev(children_.end()));
  return *children_.back().Node;
}

std::size_t TKELNode::CountChildren(const std::string& name) const { return CountNamed(children_, childIndex_, name); }

bool TKELNode::ReadChild(const std::string& name, TKELObject& object) {
  const boost::shared_ptr<TKELNode> child = GetChild(name);
  if (!child) return false;
  object.Read(*child);
  return true;
}

void TKELNode::WriteChild(const std::string& name, const TKELObject& object) { object.Write(AddChild(name)); }

}  // namespace hovrak
