#include "cli/PlaceOutput.h"

#include <cerrno>

#include "cli/TerminalText.h"
#include "core/MessageTable.h"
#include "core/AbstractPlace.h"

namespace {

constexpr auto kFlushInterval = std::chrono::milliseconds(100);

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
  target += place.GetPrevLineText();
  for (const char c : place.GetText()) {
    if (c == '\n') target += MessageTable(32);
    else target += c;
  }
  target += place.GetNextLineText();
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
