#include "settings/KELString.h"

#include <limits>

#include <boost/date_time/gregorian/gregorian.hpp>
#include <boost/date_time/posix_time/posix_time.hpp>

#include "platform/EscapedText.h"

namespace hovrak {

namespace pt = boost::posix_time;

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads "[sign]digits" after leading white space into a value in [low, high].
bool ParseInteger(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& value) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size() || !IsDigit(text[i])) return false;
  // Accumulate with a cap so that any number of digits cannot overflow.
  const std::int64_t cap = std::int64_t(1) << 40;
  std::int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (magnitude < cap) magnitude = magnitude * 10 + (text[i] - '0');
  }
  const std::int64_t result = negative ? -magnitude : magnitude;
  if (result < low || result > high) return false;
  value = result;
  return true;
}

// Reads exactly `count` digits at text[i...] into value.
bool Digits(const std::string& text, std::size_t& i, std::size_t count, long& value) {
  value = 0;
  for (std::size_t k = 0; k < count; ++k, ++i) {
    if (i >= text.size() || !IsDigit(text[i])) return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

// "H+:MM:SS[.f+]" with an optional leading '-' when allowed; the whole word.
bool ParseClock(const std::string& word, bool allowSign, pt::time_duration& value) {
  std::size_t i = 0;
  bool negative = false;
  if (allowSign && i < word.size() && word[i] == '-') {
    negative = true;
    ++i;
  }
  const std::size_t hoursStart = i;
  long hours = 0;
  while (i < word.size() && IsDigit(word[i])) {
    if (i - hoursStart >= 9) return false;
    hours = hours * 10 + (word[i++] - '0');
  }
  if (i == hoursStart || i >= word.size() || word[i++] != ':') return false;
  long minutes = 0;
  long seconds = 0;
  if (!Digits(word, i, 2, minutes) || i >= word.size() || word[i++] != ':') return false;
  if (!Digits(word, i, 2, seconds)) return false;
  if (minutes > 59 || seconds > 59) return false;
  long micros = 0;
  if (i < word.size()) {
    if (word[i++] != '.') return false;
    const std::size_t fractionStart = i;
    long scale = 100000;
    for (; i < word.size(); ++i) {
      if (!IsDigit(word[i])) return false;
      micros += (word[i] - '0') * scale;
      scale /= 10;
    }
    if (i == fractionStart) return false;
  }
  pt::time_duration result = pt::hours(hours) + pt::minutes(minutes) + pt::seconds(seconds) + pt::microseconds(micros);
  value = negative ? result.invert_sign() : result;
  return true;
}

bool TwoWords(const std::string& text, std::string& first, std::string* second) {
  std::istringstream is(text);
  is.imbue(std::locale::classic());
  if (!(is >> first)) return false;
  return second == nullptr || static_cast<bool>(is >> *second);
}

}  // namespace

TKELString::TKELString(bool value) : text_(value ? "1" : "0") {}

TKELString::TKELString(std::int32_t value) : text_(std::to_string(value)) {}

TKELString::TKELString(std::uint32_t value) : text_(std::to_string(value)) {}

TKELString::TKELString(const pt::ptime& value) {
  if (value.is_special()) {
    text_ = pt::to_simple_string(value);
    return;
  }
  text_ = boost::gregorian::to_iso_extended_string(value.date()) + " " + pt::to_simple_string(value.time_of_day());
}

TKELString::TKELString(const pt::time_duration& value) : text_(pt::to_simple_string(value)) {}

bool TKELString::Get(std::string& value) const {
  value = text_;
  return true;
}

bool TKELString::Get(bool& value) const {
  std::int64_t number;
  if (!ParseInteger(text_, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
                    number) ||
      (number != 0 && number != 1)) {
    return false;
  }
  value = number == 1;
  return true;
}

bool TKELString::Get(std::int32_t& value) const {
  std::int64_t number;
  if (!ParseInteger(text_, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
                    number)) {
    return false;
  }
  value = static_cast<std::int32_t>(number);
  return true;
}

bool TKELString::Get(std::uint32_t& value) const {
  std::int64_t number;
  if (!ParseInteger(text_, 0, std::numeric_limits<std::uint32_t>::max(), number)) return false;
  value = static_cast<std::uint32_t>(number);
  return true;
}

bool TKELString::Get(pt::ptime& value) const {
  std::string dateWord;
  std::string timeWord;
  if (!TwoWords(text_, dateWord, &timeWord)) return false;
  // Date: year digits, '-', two-digit month, '-', two-digit day.
  std::size_t i = 0;
  long year = 0;
  while (i < dateWord.size() && IsDigit(dateWord[i]) && i < 4) year = year * 10 + (dateWord[i++] - '0');
  if (i != 4 || i >= dateWord.size() || dateWord[i++] != '-') return false;
  long month = 0;
  long day = 0;
  if (!Digits(dateWord, i, 2, month) || i >= dateWord.size() || dateWord[i++] != '-') return false;
  if (!Digits(dateWord, i, 2, day) || i != dateWord.size()) return false;
  pt::time_duration clock;
  if (!ParseClock(timeWord, false, clock) || clock.hours() > 23) return false;
  try {
    const boost::gregorian::date date(static_cast<unsigned short>(year), static_cast<unsigned short>(month),
                                      static_cast<unsigned short>(day));
    value = pt::ptime(date, clock);
  } catch (const std::exception&) {
    // An impossible date (month 13, February 30, a year outside the calendar).
    return false;
  }
  return true;
}

bool TKELString::Get(pt::time_duration& value) const {
  std::string word;
  if (!TwoWords(text_, word, nullptr)) return false;
  return ParseClock(word, true, value);
}

std::string PathValueText(const std::string& path) {
  if (!HasControls(path) && (path.empty() || path[0] != '"')) return path;
  return '"' + EscapeControls(path) + '"';
}

bool ParsePathValue(const std::string& text, std::string& path) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
    path = text;
    return true;
  }
  return UnescapeControls(std::string_view(text).substr(1, text.size() - 2), path);
}

void WritePathValue(TKELNode& node, const std::string& name, const std::string& path) {
  node.AddValue(name, PathValueText(path));
}

bool ReadPathValue(TKELNode& node, const std::string& name, std::string& path) {
  std::string text;
  return node.GetValue(name, text) && ParsePathValue(text, path);
}

}  // namespace hovrak
