#include "text/File.h"

#include <cstring>

#include "platform/AnsiCodePage.h"
#include "platform/SafeSave.h"
#include "text/Conversions.h"
#include "text/DetectCharCode.h"

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

TFileOperationResult WriteBytes(const std::string& path, const std::string& bytes) {
  return hovrak::SafeWriteFile(path, bytes) == 0 ? TFileOperationResult::Success
                                                 : TFileOperationResult::OpenFailed;
}

bool HasZeroByte(const std::string& bytes) {
  return !bytes.empty() && std::memchr(bytes.data(), 0, bytes.size()) != nullptr;
}

// The system code page conversion stops at a zero unit in the same way.
std::string EncodeAnsi(const std::wstring& text) {
  std::string bytes;
  std::size_t start = 0;
  for (;;) {
    const std::size_t zero = text.find(L'\0', start);
    const std::size_t end = zero == std::wstring::npos ? text.size() : zero;
    bytes += hovrak::WideToAnsi(text.data() + start, end - start);
    if (zero == std::wstring::npos) break;
    bytes.push_back('\0');
    start = zero + 1;
  }
  return bytes;
}

void DecodeUtf16Le(const std::string& bytes, std::size_t offset, std::wstring& text) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size() - offset;
  text.resize((n + 1) / 2);
  std::size_t i = offset;
  for (std::size_t u = 0; u < n / 2; ++u, i += 2)
    text[u] = static_cast<wchar_t>(p[i] | (p[i + 1] << 8));
  if (n % 2 != 0) text.back() = static_cast<wchar_t>(p[i]);  // odd last byte, zero high byte
}

void EncodeUtf16Le(const std::wstring& text, std::string& bytes) {
  bytes.resize(2 + text.size() * 2);
  bytes[0] = '\xFF';
  bytes[1] = '\xFE';
  char* out = &bytes[2];
  for (const wchar_t unit : text) {
    *out++ = static_cast<char>(unit & 0xFF);
    *out++ = static_cast<char>((unit >> 8) & 0xFF);
  }
}

}  // namespace

TFileOperationResult TFile<char>::Load(TFileReadOptions options) {
  const TFileOperationResult result = ReadRawBytes(FileName, options.maxSize, Text);
  if (result != TFileOperationResult::Success) return result;
  NewLine = NormalizeNewLines(Text);
  return result;
}

TFileOperationResult TFile<char>::Save() {
  std::string buffer;
  return WriteBytes(FileName, RestoreNewLines(Text, NewLine, buffer));
}

bool TFile<wchar_t>::Decode(const std::string& bytes, TCharCode code, std::wstring& text) {
  switch (code) {
    case TCharCode::SJIS:
      // Zero bytes come out as zero units and the decoding goes on past them, so
      // that the whole file is searched.
      text = hovrak::cp932_bytes_to_unicode(bytes.data(), bytes.size());
      return true;
    case TCharCode::UTF16: {
      const bool bom = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
      DecodeUtf16Le(bytes, bom ? 2 : 0, text);
      return bom;
    }
    case TCharCode::EUC:
      text = hovrak::euc_to_unicode(bytes);
      return true;
    case TCharCode::JIS:
      text = hovrak::euc_to_unicode(hovrak::jis_to_euc(bytes));
      return true;
    case TCharCode::UTF8:
      if (bytes.size() >= 3 && bytes.compare(0, 3, kUtf8Bom) == 0) {
        text = hovrak::utf8_to_unicode(bytes.data() + 3, bytes.size() - 3);
        return true;
      }
      text = hovrak::utf8_to_unicode(bytes);
      return false;
    case TCharCode::UTF8N:
      text = hovrak::utf8_to_unicode(bytes);
      return true;
    default:
      text.clear();
      return false;
  }
}

bool TFile<wchar_t>::Encode(const std::wstring& text, TCharCode code, std::string& bytes) {
  switch (code) {
    case TCharCode::SJIS:
      bytes = hovrak::unicode_to_sjis_cp932(text);
      return true;
    case TCharCode::UTF16:
      EncodeUtf16Le(text, bytes);
      return true;
    case TCharCode::ASCII:
      bytes = EncodeAnsi(text);
      return true;
    case TCharCode::EUC:
      bytes = hovrak::unicode_to_euc(text);
      return true;
    case TCharCode::JIS:
      bytes = hovrak::euc_to_jis(hovrak::unicode_to_euc(text));
      return true;
    case TCharCode::UTF8:
      bytes = kUtf8Bom;
      bytes += hovrak::unicode_to_utf8(text);
      return true;
    case TCharCode::UTF8N:
      bytes = hovrak::unicode_to_utf8(text);
      return true;
    default:
      bytes.clear();
      return false;
  }
}

TFileOperationResult TFile<wchar_t>::Load(TFileReadOptions options) {
  hovrak::init_translate_tables();
  std::string raw;
  TFileOperationResult result = ReadRawBytes(FileName, options.maxSize, raw);
  if (result != TFileOperationResult::Success) {
    Text.clear();
    return result;
  }
  if (CharCode == TCharCode::Auto) CharCode = DetectCharCode(raw);
  if (CharCode == TCharCode::ASCII || CharCode == TCharCode::Unknown) CharCode = TCharCode::SJIS;

  if (!Decode(raw, CharCode, Text)) result = TFileOperationResult::CharCodeMismatch;
  if (result == TFileOperationResult::Success && options.checkCharCode) {
    if (CharCode == TCharCode::UTF16 || !HasZeroByte(raw)) {
      std::string encoded;
      Encode(Text, CharCode, encoded);
      if (encoded != raw) result = TFileOperationResult::CharCodeMismatch;
    } else {
      result = TFileOperationResult::BinaryFile;
    }
  }
  NewLine = NormalizeNewLines(Text);
  return result;
}

TFileOperationResult TFile<wchar_t>::Save() {
  hovrak::init_translate_tables();
  std::wstring buffer;
  std::string bytes;
  if (!Encode(RestoreNewLines(Text, NewLine, buffer), CharCode, bytes)) return TFileOperationResult::OpenFailed;
  buffer.clear();
  buffer.shrink_to_fit();
  return WriteBytes(FileName, bytes);
}
