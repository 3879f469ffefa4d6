#include "cli/PlaceOutput.h"

#include <cerrno>

#include "place/AbstractPlace.h"

namespace {

constexpr auto kFlushInterval = std::chrono::milliseconds(100);

}  // namespace

TPlaceOutput::TPlaceOutput(std::FILE* stream, std::unique_ptr<TPlaceFormat> format)
    : stream_(stream),
      format_(std::move(format)),
      wantsFiles_(format_->WantsFiles()),
      lastFlush_(std::chrono::steady_clock::now()) {}

bool TPlaceOutput::Begin() {
  text_.clear();
  format_->Begin(text_);
  return Put();
}

bool TPlaceOutput::Write(const TAbstractPlace& place) {
  text_.clear();
  if (wantsFiles_) {
    const std::string& name = place.FileName();
    if (!inFile_ || name != fileName_) {
      if (inFile_) format_->FileEnd(text_);
      fileName_ = name;
      inFile_ = true;
      TFileFacts facts;
      const bool withFacts = format_->WantsFacts() && FactsOfCurrentFile;
      if (withFacts) facts = FactsOfCurrentFile();
      format_->FileBegin(name, withFacts ? &facts : nullptr, text_);
    }
  }
  format_->Place(place, text_);
  return Put();
}

bool TPlaceOutput::WriteText(const std::string& text) {
  text_ = text;
  return Put();
}

bool TPlaceOutput::End(const TSearchTotals& totals) {
  text_.clear();
  if (inFile_) format_->FileEnd(text_);
  inFile_ = false;
  format_->End(totals, text_);
  return Put() && Flush();
}

bool TPlaceOutput::Put() {
  if (closed_ || broken_) return false;
  if (text_.empty()) return true;
  if (std::fwrite(text_.data(), 1, text_.size(), stream_) != text_.size()) {
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
