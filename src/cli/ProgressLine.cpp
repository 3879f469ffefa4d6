#include "cli/ProgressLine.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "front/ProcessRow.h"
#include "platform/Utf8Sequence.h"
#include "shared/MessageTable.h"

namespace {

// The columns of the terminal open on fd, 80 when it tells none.
int TerminalWidth(int fd) {
  struct winsize size;
  if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

// Columns of one UTF-8 character starting with this lead byte's code point.
int Columns(char32_t cp) { return cp >= 0x1100 ? 2 : 1; }

// Splits UTF-8 text into characters (a stray byte is one character of one column)
// with their column widths.
void Characters(const std::string& text, std::vector<std::string>& chars, std::vector<int>& widths) {
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    // A malformed sequence is stray bytes: taken whole it could carry a control byte.
    const std::size_t n = std::max<std::size_t>(hovrak::Utf8SequenceLength(text.data() + i, text.size() - i), 1);
    const char32_t cp = hovrak::Utf8CodePoint(reinterpret_cast<const unsigned char*>(text.data() + i), n);
    // Control characters (C0, DEL, C1) would move the cursor; they are shown as '?'.
    if ((n == 1 && (b < 0x20 || b == 0x7F || b >= 0x80)) || (cp >= 0x80 && cp < 0xA0)) chars.emplace_back("?");
    else chars.push_back(text.substr(i, n));
    widths.push_back(n == 1 ? 1 : Columns(cp));
    i += n;
  }
}

}  // namespace

std::string TProgressLine::Text(TProcessType kind, const std::string& path, int index, int count, int width) {
  std::string head = MessageTable(hovrak::ProcessRow(kind));
  if (count > 0) head += " " + std::to_string(index + 1) + "/" + std::to_string(count);
  std::vector<std::string> chars;
  std::vector<int> widths;
  Characters(head, chars, widths);
  const std::size_t headChars = chars.size();
  if (!path.empty()) {
    chars.emplace_back(" ");
    widths.push_back(1);
    Characters(path, chars, widths);
  }
  const int limit = width - 1;
  int total = 0;
  for (const int w : widths) total += w;
  std::string out;
  if (total <= limit) {
    for (const std::string& c : chars) out += c;
    return out;
  }
  // Keep the head and as much of the path's end as fits after "...".
  int used = 0;
  for (std::size_t i = 0; i < headChars && used + widths[i] <= limit; ++i) {
    out += chars[i];
    used += widths[i];
  }
  if (used + 4 > limit || chars.size() == headChars) return out;
  used += 4;
  std::size_t start = chars.size();
  while (start > headChars + 1 && used + widths[start - 1] <= limit) used += widths[--start];
  out += " ...";
  for (std::size_t i = start; i < chars.size(); ++i) out += chars[i];
  return out;
}

bool TProgressLine::Update(TProcessType kind, const std::string& path, int index, int count, TClock::time_point now) {
  if (drawnOnce_ && now - last_ < kInterval) return false;
  drawnOnce_ = true;
  last_ = now;
  const std::string text = Text(kind, path, index, count, width_);
  std::fprintf(stream_, "\r%s\x1b[K", text.c_str());
  std::fflush(stream_);
  shown_ = true;
  return true;
}

void TProgressLine::Clear() {
  if (!shown_) return;
  std::fputs("\r\x1b[K", stream_);
  std::fflush(stream_);
  shown_ = false;
}

std::unique_ptr<TProgressLine> TProgressLine::ForStream(std::FILE* stream, bool quiet) {
  const int fd = ::fileno(stream);
  if (quiet || fd < 0 || !::isatty(fd)) return nullptr;
  return std::make_unique<TProgressLine>(stream, TerminalWidth(fd));
}
