#include "settings/OptionNumbers.h"

#include <algorithm>

namespace hovrak {

namespace {

constexpr std::int64_t kMegabyte = 1048576;
constexpr int kMaxDays = 365;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A whole number: blanks around it, an optional sign, then decimal digits only.
// The value saturates far beyond every limit used here instead of overflowing.
bool ReadWholeNumber(const std::string& text, std::int64_t& value) {
  std::size_t i = 0;
  std::size_t end = text.size();
  while (i < end && IsBlank(text[i])) ++i;
  while (end > i && IsBlank(text[end - 1])) --end;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == end) return false;
  constexpr std::int64_t kSaturated = std::int64_t(1) << 40;
  std::int64_t n = 0;
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    n = std::min(n * 10 + (text[i] - '0'), kSaturated);
  }
  value = negative ? -n : n;
  return true;
}

}  // namespace

std::string MegabytesText(std::int64_t bytes) { return std::to_string(bytes / kMegabyte); }

std::int64_t MegabytesFromText(const std::string& text, int fallbackMB, std::int64_t limitBytes) {
  std::int64_t mb = fallbackMB;
  ReadWholeNumber(text, mb);
  mb = std::max<std::int64_t>(mb, 1);
  mb = std::min(mb, std::max<std::int64_t>(limitBytes / kMegabyte, 1));
  return mb * kMegabyte;
}

std::string DaysText(const boost::posix_time::time_duration& duration) {
  if (duration.is_special()) return "0";
  return std::to_string(static_cast<long long>(duration.hours()) / 24);
}

boost::posix_time::time_duration DaysFromText(const std::string& text) {
  std::int64_t days = 0;
  ReadWholeNumber(text, days);
  if (days < 0 || days > kMaxDays) days = kMaxDays;
  return boost::posix_time::seconds(static_cast<long>(days * 86400));
}

}  // namespace hovrak
