#include "cli/JsonText.h"

#include "text/Utf8Scan.h"

namespace hovrak {
namespace {

const char kHex[] = "0123456789abcdef";

void AppendUnicodeEscape(std::string& out, unsigned code) {
  out += "\\u00";
  out += kHex[(code >> 4) & 15];
  out += kHex[code & 15];
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '"': out += "\\\""; continue;
      case '\\': out += "\\\\"; continue;
      case '\n': out += "\\n"; continue;
      case '\r': out += "\\r"; continue;
      case '\t': out += "\\t"; continue;
      default: break;
    }
    if (c < 0x20 || c == 0x7F) {
      AppendUnicodeEscape(out, c);
    } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0 &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80) {
      AppendUnicodeEscape(out, static_cast<unsigned char>(text[i + 1]));  // U+0080 to U+009F
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

void AppendJsonData(std::string& out, std::string_view data) {
  if (IsUtf8(data)) {
    out += "{\"text\":";
    AppendJsonString(out, data);
  } else {
    out += "{\"bytes\":\"";
    out += Base64(data);
    out += '"';
  }
  out += '}';
}

std::string Base64(std::string_view data) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= data.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(data[i]) << 16 | static_cast<unsigned char>(data[i + 1]) << 8 |
                       static_cast<unsigned char>(data[i + 2]);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  if (i < data.size()) {
    const bool two = i + 1 < data.size();
    const unsigned v =
        static_cast<unsigned char>(data[i]) << 16 | (two ? static_cast<unsigned char>(data[i + 1]) << 8 : 0);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += two ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

}  // namespace hovrak
