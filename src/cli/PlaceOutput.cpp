#include "cli/PlaceOutput.h"

#include <cerrno>

#include "core/MessageTable.h"
#include "core/PlaceBase.h"
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
  const TString& prev = typed->PrevText;
  const std::size_t lastBreak = prev.rfind(lf);
  TString before = lastBreak == TString::npos ? prev : prev.substr(lastBreak + 1);
  const std::size_t firstBreak = typed->NextText.find(lf);
  TString after = typed->NextText.substr(0, firstBreak);
  if constexpr (sizeof(C) > 1) {
    // The context is cut at a fixed count of UTF-16 units and may split a pair.
    if (!before.empty() && before.front() >= 0xDC00 && before.front() <= 0xDFFF) before.erase(0, 1);
    if (!after.empty() && after.back() >= 0xD800 && after.back() <= 0xDBFF) after.pop_back();
  }
  out += ToAnsi(before);
  const std::string hit = ToAnsi(typed->Text);
  const std::string arrow = MessageTable(32);
  for (const char c : hit) {
    if (c == '\n') out += arrow;
    else out += c;
  }
  out += ToAnsi(after);
  return true;
}

}  // namespace

TPlaceOutput::TPlaceOutput(std::FILE* stream, std::unique_ptr<TCsvWriter> csv)
    : stream_(stream), csv_(std::move(csv)), lastFlush_(std::chrono::steady_clock::now()) {}

std::string TPlaceOutput::GrepLine(const TAbstractPlace& place) {
  std::string out = place.FileName;
  out += ':' + std::to_string(static_cast<long long>(place.Line) + 1);
  out += ':' + std::to_string(static_cast<long long>(place.Column) + 1);
  out += ':';
  if (!AppendLineText<wchar_t>(place, out) && !AppendLineText<char>(place, out)) out += place.GetText();
  out += '\n';
  return out;
}

bool TPlaceOutput::Begin() {
  if (!csv_) return true;
  return Put(csv_->Header());
}

bool TPlaceOutput::Write(const TAbstractPlace& place) {
  return Put(csv_ ? csv_->Row(place) : GrepLine(place));
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
