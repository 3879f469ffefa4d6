#include "text/DisplayBytes.h"

#include "platform/Utf8Sequence.h"
#include "text/Conversions.h"
#include "text/Utf8Scan.h"

namespace hovrak {

namespace {

// The context around a hit is cut after a fixed number of bytes, which may split a
// UTF-8 character at either end. Returns the bytes between such cut pieces when the
// rest is UTF-8 with at least one multi-byte character; otherwise false.
bool TrimCutUtf8(const std::string& bytes, std::string& core) {
  std::size_t first = 0;
  while (first < bytes.size() && first < 3 && IsUtf8Continuation(static_cast<unsigned char>(bytes[first]))) ++first;
  std::size_t last = bytes.size();
  // Walk back over at most three continuation bytes to the lead of the final
  // sequence; drop it when it is incomplete.
  std::size_t lead = last;
  for (std::size_t k = 0; k < 4 && lead > first; ++k) {
    --lead;
    if (!IsUtf8Continuation(static_cast<unsigned char>(bytes[lead]))) break;
  }
  if (lead < last) {
    const std::size_t need = Utf8LeadLength(static_cast<unsigned char>(bytes[lead]));
    if (need > 1 && lead + need > last) last = lead;
  }
  if (first == 0 && last == bytes.size()) return false;
  if (first >= last) return false;
  if (ClassifyUtf8(bytes.data() + first, last - first) != TUtf8Form::Utf8) return false;
  core = bytes.substr(first, last - first);
  return true;
}

}  // namespace

std::string DisplayBytes(const std::string& bytes) {
  if (ClassifyUtf8(bytes.data(), bytes.size()) != TUtf8Form::Malformed) return bytes;
  std::string core;
  if (TrimCutUtf8(bytes, core)) return core;
  return unicode_to_utf8(cp932_bytes_to_unicode(bytes.data(), bytes.size()));
}

}  // namespace hovrak
