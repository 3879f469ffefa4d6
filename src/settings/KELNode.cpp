#include "settings/KELNode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
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

}  // namespace

TKELNode::~TKELNode() {
  std::vector<boost::shared_ptr<TKELNode>> pending;
  for (TNodeInfo& info : Children) pending.push_back(std::move(info.Node));
  Children.clear();
  while (!pending.empty()) {
    boost::shared_ptr<TKELNode> node = std::move(pending.back());
    pending.pop_back();
    if (node && node.use_count() == 1) {
      for (TNodeInfo& info : node->Children) pending.push_back(std::move(info.Node));
      node->Children.clear();
    }
  }
}

bool TKELNode::LoadFile(const std::string& path) {
  std::string bytes;
  if (!ReadRegularFile(path, bytes)) return false;
  LoadFromBytes(bytes);
  return true;
}

bool TKELNode::SaveFile(const std::string& path) const {
  return hovrak::SafeWriteFile(path, SaveToBytes()) == 0;
}

void TKELNode::LoadFromBytes(const std::string& bytes) {
  Data.clear();
  Children.clear();
  // Open nodes, innermost last; kept on a stack rather than by recursion so that
  // nesting depth is bounded only by memory.
  std::vector<TKELNode*> open{this};
  TKELLineCutter cutter(bytes);
  TKELLineCutter::TLine line;
  while (!open.empty() && cutter.Next(line)) {
    const std::size_t first = line.First;
    const std::size_t lineEnd = line.End;
    if (first == lineEnd) continue;
    if (bytes[first] == '}') {
      open.pop_back();
      continue;
    }
    std::size_t mark = first;
    while (mark < lineEnd && bytes[mark] != '=' && bytes[mark] != '{') ++mark;
    if (mark == lineEnd) continue;
    std::string name = bytes.substr(first, mark - first);
    if (bytes[mark] == '{') {
      open.push_back(&open.back()->AddChild(name));
    } else {
      open.back()->Data.push_back({std::move(name), bytes.substr(mark + 1, lineEnd - mark - 1)});
    }
  }
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
    for (const TDatum& datum : node.Data) {
      indent(level);
      AppendSafe(out, datum.Name);
      out += '=';
      AppendSafe(out, datum.Value);
      out += "\r\n";
    }
    stack.push_back({&node, node.Children.begin(), level});
  };
  const TKELNode empty;
  enter(*this, 0);
  while (!stack.empty()) {
    TFrame& frame = stack.back();
    if (frame.Next == frame.Node->Children.end()) {
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
  for (auto it = Data.begin(); it != Data.end(); ++it) {
    if (it->Name == name) {
      value = std::move(it->Value);
      Data.erase(it);
      return true;
    }
  }
  return false;
}

void TKELNode::AddValue(const std::string& name, const std::string& value) {
  Data.push_back({name, value});
}

boost::shared_ptr<TKELNode> TKELNode::GetChild(const std::string& name) {
  for (auto it = Children.begin(); it != Children.end(); ++it) {
    if (it->Name == name) {
      boost::shared_ptr<TKELNode> node = std::move(it->Node);
      Children.erase(it);
      return node;
    }
  }
  return {};
}

TKELNode& TKELNode::AddChild(const std::string& name) {
  Children.push_back({name, boost::shared_ptr<TKELNode>(new TKELNode)});
  return *Children.back().Node;
}

std::size_t TKELNode::CountChildren(const std::string& name) const {
  std::size_t count = 0;
  for (const TNodeInfo& info : Children) {
    if (info.Name == name) ++count;
  }
  return count;
}

bool TKELNode::ReadChild(const std::string& name, TKELObject& object) {
  const boost::shared_ptr<TKELNode> child = GetChild(name);
  if (!child) return false;
  object.Read(*child);
  return true;
}

void TKELNode::WriteChild(const std::string& name, const TKELObject& object) {
  object.Write(AddChild(name));
}

}  // namespace hovrak
