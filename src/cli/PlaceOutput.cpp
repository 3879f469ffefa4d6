#include "cli/PlaceOutput.h"

#include <algorithm>
#include <cerrno>

#include "cli/TerminalText.h"
#include "core/MessageTable.h"
#include "core/PlaceBase.h"
#include "core/Utf16Cut.h"
#include "platform/AnsiCodePage.h"

namespace {

constexpr auto kFlushInterval = std::chrono::milliseconds(100);

std::string ToAnsi(const std::string& s) { return s; }
std::string ToAnsi(const std::wstring& s) { return hovrak::WideToAnsi(s); }

template <class C>
bool AppendLineText(const TAbstractPlace& place, std::string& out) {
  const auto* typed = dynamic_cast<const TPlaceBase<C>*>(&place);
  if (!typed) return false;
  using TString = std::basic_string<C>;
  const C lf = static_cast<C>('\n');
  TString before = typed->PrevText();
  const std::size_t lastBreak = before.rfind(lf);
  if (lastBreak != TString::npos) before.erase(0, lastBreak + 1);
  TString after = typed->NextText();
  after.erase(std::min(after.find(lf), after.size()));
  DropCutHalfAtFront(before);
  DropCutHalfAtBack(after);
  out += ToAnsi(before);
  const std::string hit = ToAnsi(typed->Text());
  const std::string arrow = MessageTable(32);
  for (const char c : hit) {
    if (c == '\n') out += arrow;
    else out += c;
  }
  out += ToAnsi(after);
  return true;
}

}  // namespace

TPlaceOutput::TPlaceOutput(std::FILE* stream, std::unique_ptr<TCsvWriter> csv, bool terminal)
    : stream_(stream), csv_(std::move(csv)), terminal_(terminal), lastFlush_(std::chrono::steady_clock::now()) {}

std::string TPlaceOutput::GrepLine(const TAbstractPlace& place, bool forTerminal) {
  std::string out = forTerminal ? EscapeForTerminal(place.FileName()) : place.FileName();
  out += ':' + std::to_string(static_cast<long long>(place.Line) + 1);
  out += ':' + std::to_string(static_cast<long long>(place.Column) + 1);
  out += ':';
  std::string text;
  std::string& target = forTerminal ? text : out;
  if (!AppendLineText<wchar_t>(place, target) && !AppendLineText<char>(place, target)) target += place.GetText();
  if (forTerminal) out += EscapeForTerminal(text, true);
  out += '\n';
  return out;
}

bool TPlaceOutput::Begin() {
  if (!csv_) return true;
  return Put(csv_->Header());
}

bool TPlaceOutput::Write(const TAbstractPlace& place) {
  return Put(csv_ ? csv_->Row(place) : GrepLine(place, terminal_));
}

bool TPlaceOutput::Put(const std::string& bytes) {
  if (closed_ || broken_) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) {
    NoteError();
    return false;
  }
  pending_ = true;
  return true;
}

bool TPlaceOutput::FlushSometimes() {
  if (!pending_) return !(closed_ || broken_);
  const auto now = std::chrono::steady_clock::now();
  if (now - lastFlush_ < kFlushInterval) return true;
  return Flush();
}

bool TPlaceOutput::Flush() {
  if (closed_ || broken_) return false;
  lastFlush_ = std::chrono::steady_clock::now();
  pending_ = false;
  if (std::fflush(stream_) != 0) {
    NoteError();
    return false;
  }
  return true;
}

void TPlaceOutput::NoteError() {
  error_ = errno;
  if (errno == EPIPE) closed_ = true;
  else broken_ = true;
}
