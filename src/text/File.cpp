#include "text/File.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/AnsiCodePage.h"
#include "platform/SafeSave.h"
#include "text/Conversions.h"
#include "text/DetectCharCode.h"
#include "text/EucToJisEngine.h"
#include "text/EucToUnicodeEngine.h"
#include "text/JisToEucEngine.h"
#include "text/UnicodeToEucEngine.h"
#include "text/UnicodeToSjisCp932Engine.h"
#include "text/UnicodeToUtf8Engine.h"

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Writes bytes over the file through the safe save, keeping the reason of a failure
// in the file object. A result larger than any file Mirun reads back is refused.
template <class C>
TFileOperationResult WriteBytes(TFileBase<C>& file, const std::string& bytes) {
  file.LastError = 0;
  file.RescuePath.clear();
  if (bytes.size() > TFileBase<C>::MaxSaveSize) {
    file.LastError = EFBIG;
    return TFileOperationResult::OpenFailed;
  }
  hovrak::TSafeWriteOptions options;
  if (file.SaveOnlyIfUnchanged) options.Expected = file.Identity;
  options.RescuePath = &file.RescuePath;
  options.Group = file.Group;
  file.WrittenIdentity = hovrak::TFileIdentity();
  options.Written = &file.WrittenIdentity;
  options.Hash = &file.WrittenHash;
  const int err = hovrak::SafeWriteFile(file.FileName, bytes, options);
  if (err == 0) return TFileOperationResult::Success;
  file.LastError = err;
  return err == ESTALE && file.SaveOnlyIfUnchanged ? TFileOperationResult::ModifiedSinceSearch
                                                   : TFileOperationResult::OpenFailed;
}

bool HasZeroByte(const std::string& bytes) {
  return !bytes.empty() && std::memchr(bytes.data(), 0, bytes.size()) != nullptr;
}

// The system code page conversion stops at a zero unit: each run between zero units
// is converted on its own and the zero units are kept.
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
  for (std::size_t u = 0; u < n / 2; ++u, i += 2) text[u] = static_cast<wchar_t>(p[i] | (p[i + 1] << 8));
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

// Text is encoded and handed on this many units at a time by TPieceEncoder, so that
// neither a line-end restored copy of the whole text nor, for the check after
// loading, the whole encoded form is ever built; JIS is decoded in pieces of this
// many bytes.
constexpr std::size_t kPieceUnits = std::size_t(1) << 14;

// Gives the input to an engine; an incomplete character at the end waits in the
// engine for the next input.
template <class Engine, class Unit>
void Give(Engine& engine, const Unit* data, std::size_t size) {
  if (engine.untranslated_buffer.empty()) {
    const std::size_t used = engine.translate_range(data, size);
    engine.untranslated_buffer.assign(data + used, size - used);
  } else {
    engine.untranslated_buffer.append(data, size);
    engine.translate();
  }
}

// Gives the input to an engine and hands its output to sink, clearing it.
template <class Engine, class Unit, class Sink>
bool Feed(Engine& engine, const Unit* data, std::size_t size, Sink& sink) {
  Give(engine, data, size);
  const bool more = sink(engine.translated_buffer);
  engine.translated_buffer.clear();
  return more;
}

template <class Engine, class Sink>
bool Finish(Engine& engine, Sink& sink) {
  engine.flush();
  const bool more = sink(engine.translated_buffer);
  engine.translated_buffer.clear();
  return more;
}

// JIS decoded through EUC-JP a piece at a time, so that the EUC-JP form of the whole
// file is never held: the same text as euc_to_unicode(jis_to_euc(bytes)).
std::wstring DecodeJis(const std::string& bytes) {
  hovrak::jis_to_euc_engine jis;
  hovrak::euc_to_unicode_engine euc;
  euc.translated_buffer.reserve(bytes.size());  // never more units than bytes
  // The EUC-JP decoder's output is the text itself and keeps growing.
  auto toText = [&euc](const std::string& piece) {
    Give(euc, piece.data(), piece.size());
    return true;
  };
  for (std::size_t start = 0; start < bytes.size(); start += kPieceUnits)
    Feed(jis, bytes.data() + start, std::min(kPieceUnits, bytes.size() - start), toText);
  Finish(jis, toText);
  euc.flush();
  return std::move(euc.translated_buffer);
}

// Whether TPieceEncoder encodes code.
bool EncodesInPieces(TCharCode code) {
  return code == TCharCode::SJIS || code == TCharCode::EUC || code == TCharCode::JIS || code == TCharCode::UTF8 ||
         code == TCharCode::UTF8N || code == TCharCode::UTF16;
}

// Encodes wide text given in pieces as one of the engine-based codes, with the same
// bytes as the whole-text conversions. sink(const std::string&) takes each piece of
// output and returns false to stop; Put and End then return false as well.
template <class Sink>
class TPieceEncoder {
 public:
  TPieceEncoder(TCharCode code, Sink& sink) : code_(code), sink_(sink) {}

  bool Begin() {
    if (code_ == TCharCode::UTF8) return sink_(std::string(kUtf8Bom));
    if (code_ == TCharCode::UTF16) return sink_(std::string("\xFF\xFE"));
    return true;
  }

  bool Put(const wchar_t* data, std::size_t size) {
    switch (code_) {
      case TCharCode::SJIS: return Feed(sjis_, data, size, sink_);
      case TCharCode::EUC: return Feed(euc_, data, size, sink_);
      case TCharCode::JIS: {
        auto toJis = [this](const std::string& euc) { return Feed(jis_, euc.data(), euc.size(), sink_); };
        return Feed(euc_, data, size, toJis);
      }
      case TCharCode::UTF8:
      case TCharCode::UTF8N: return Feed(utf8_, data, size, sink_);
      default: {
        buffer_.clear();
        EncodeUtf16LeUnits(data, size, buffer_);
        return sink_(buffer_);
      }
    }
  }

  bool End() {
    switch (code_) {
      case TCharCode::SJIS: return Finish(sjis_, sink_);
      case TCharCode::EUC: return Finish(euc_, sink_);
      case TCharCode::JIS: {
        auto toJis = [this](const std::string& euc) { return Feed(jis_, euc.data(), euc.size(), sink_); };
        return Finish(euc_, toJis) && Finish(jis_, sink_);
      }
      case TCharCode::UTF8:
      case TCharCode::UTF8N: return Finish(utf8_, sink_);
      default: return true;
    }
  }

 private:
  static void EncodeUtf16LeUnits(const wchar_t* data, std::size_t size, std::string& bytes) {
    bytes.resize(size * 2);
    char* out = &bytes[0];
    for (std::size_t i = 0; i < size; ++i) {
      *out++ = static_cast<char>(data[i] & 0xFF);
      *out++ = static_cast<char>((data[i] >> 8) & 0xFF);
    }
  }

  TCharCode code_;
  Sink& sink_;
  hovrak::unicode_to_sjis_cp932_engine sjis_;
  hovrak::unicode_to_euc_engine euc_;
  hovrak::euc_to_jis_engine jis_;
  hovrak::unicode_to_utf8_engine utf8_;
  std::string buffer_;
};

// Feeds text to encoder in pieces with the line ends of kind restored on the way.
template <class Encoder>
bool PutWithNewLines(const std::wstring& text, TNewLineKind kind, Encoder& encoder) {
  if (kind == TNewLineKind::Lf) {
    for (std::size_t start = 0; start < text.size(); start += kPieceUnits)
      if (!encoder.Put(text.data() + start, std::min(kPieceUnits, text.size() - start))) return false;
    return true;
  }
  std::wstring piece;
  piece.reserve(kPieceUnits + kPieceUnits / 2);
  std::size_t start = 0;
  while (start < text.size()) {
    // One piece: whole lines (or a part of one very long line) with restored ends.
    piece.clear();
    while (start < text.size() && piece.size() < kPieceUnits) {
      const std::size_t room = kPieceUnits - piece.size();
      const std::size_t lf = text.find(L'\n', start);
      const std::size_t stop = lf == std::wstring::npos ? text.size() : lf;
      const std::size_t take = std::min(stop - start, room);
      piece.append(text, start, take);
      start += take;
      if (start == lf) {
        if (kind == TNewLineKind::Cr) {
          piece.push_back(L'\r');
        } else {
          piece.push_back(L'\r');
          piece.push_back(L'\n');
        }
        ++start;
      }
    }
    if (!encoder.Put(piece.data(), piece.size())) return false;
  }
  return true;
}

// Whether encoding text as code gives exactly bytes, compared a piece at a time.
bool EncodesTo(const std::wstring& text, TCharCode code, const std::string& bytes) {
  if (!EncodesInPieces(code)) {
    std::string encoded;
    TFile<wchar_t>::Encode(text, code, encoded);
    return encoded == bytes;
  }
  std::size_t matched = 0;
  auto compare = [&bytes, &matched](const std::string& piece) {
    if (piece.size() > bytes.size() - matched || bytes.compare(matched, piece.size(), piece) != 0) return false;
    matched += piece.size();
    return true;
  };
  TPieceEncoder<decltype(compare)> encoder(code, compare);
  return encoder.Begin() && PutWithNewLines(text, TNewLineKind::Lf, encoder) && encoder.End() &&
         matched == bytes.size();
}

}  // namespace

TFileOperationResult TFile<char>::Load(TFileReadOptions options) {
  const TFileOperationResult result = ReadRawBytes(FileName, options.maxSize, Text, &Identity, &LastError);
  if (result != TFileOperationResult::Success) return result;
  LineEndsKept = options.keepLineEnds;
  NewLine = LineEndsKept ? FindNewLineKind(Text) : NormalizeNewLines(Text);
  return result;
}

TFileOperationResult TFile<char>::Save() {
  std::string buffer;
  return WriteBytes(*this, LineEndsKept ? Text : RestoreNewLines(Text, NewLine, buffer));
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
    case TCharCode::EUC: text = hovrak::euc_to_unicode(bytes); return true;
    case TCharCode::JIS: text = DecodeJis(bytes); return true;
    case TCharCode::UTF8:
      if (bytes.size() >= 3 && bytes.compare(0, 3, kUtf8Bom) == 0) {
        text = hovrak::utf8_to_unicode(bytes.data() + 3, bytes.size() - 3);
        return true;
      }
      text = hovrak::utf8_to_unicode(bytes);
      return false;
    case TCharCode::UTF8N: text = hovrak::utf8_to_unicode(bytes); return true;
    default: text.clear(); return false;
  }
}

bool TFile<wchar_t>::Encode(const std::wstring& text, TCharCode code, std::string& bytes) {
  switch (code) {
    case TCharCode::SJIS: bytes = hovrak::unicode_to_sjis_cp932(text); return true;
    case TCharCode::UTF16: EncodeUtf16Le(text, bytes); return true;
    case TCharCode::ASCII: bytes = EncodeAnsi(text); return true;
    case TCharCode::EUC: bytes = hovrak::unicode_to_euc(text); return true;
    case TCharCode::JIS: bytes = hovrak::euc_to_jis(hovrak::unicode_to_euc(text)); return true;
    case TCharCode::UTF8:
      bytes = kUtf8Bom;
      bytes += hovrak::unicode_to_utf8(text);
      return true;
    case TCharCode::UTF8N: bytes = hovrak::unicode_to_utf8(text); return true;
    default: bytes.clear(); return false;
  }
}

TFileOperationResult TFile<wchar_t>::Load(TFileReadOptions options) {
  hovrak::init_translate_tables();
  std::string raw;
  TFileOperationResult result = ReadRawBytes(FileName, options.maxSize, raw, &Identity, &LastError);
  if (result != TFileOperationResult::Success) {
    Text.clear();
    return result;
  }
  return LoadBytes(raw, options);
}

TFileOperationResult TFile<wchar_t>::LoadBytes(const std::string& raw, TFileReadOptions options) {
  hovrak::init_translate_tables();
  TFileOperationResult result = TFileOperationResult::Success;
  if (CharCode == TCharCode::Auto) CharCode = DetectCharCode(raw);
  if (CharCode == TCharCode::ASCII || CharCode == TCharCode::Unknown) CharCode = TCharCode::SJIS;

  if (!Decode(raw, CharCode, Text)) result = TFileOperationResult::CharCodeMismatch;
  if (result == TFileOperationResult::Success && options.checkCharCode) {
    if (CharCode == TCharCode::UTF16 || !HasZeroByte(raw)) {
      if (!EncodesTo(Text, CharCode, raw)) result = TFileOperationResult::CharCodeMismatch;
    } else {
      result = TFileOperationResult::BinaryFile;
    }
  }
  LineEndsKept = options.keepLineEnds;
  NewLine = LineEndsKept ? FindNewLineKind(Text) : NormalizeNewLines(Text);
  return result;
}

TFileOperationResult TFile<wchar_t>::Save() {
  hovrak::init_translate_tables();
  std::string bytes;
  if (EncodesInPieces(CharCode)) {
    // Encoded a piece at a time with the line ends restored on the way. Reserving
    // the usual size saves regrowing; untouched room costs nothing.
    const std::size_t n = Text.size();
    bytes.reserve(CharCode == TCharCode::UTF16                                  ? 2 + 2 * (n + n / 8)
                  : CharCode == TCharCode::UTF8 || CharCode == TCharCode::UTF8N ? 3 + 3 * n
                                                                                : 16 + 2 * n + n / 8);
    auto append = [&bytes](const std::string& piece) {
      bytes += piece;
      return true;
    };
    TPieceEncoder<decltype(append)> encoder(CharCode, append);
    encoder.Begin();
    PutWithNewLines(Text, LineEndsKept ? TNewLineKind::Lf : NewLine, encoder);
    encoder.End();
  } else {
    std::wstring buffer;
    if (!Encode(LineEndsKept ? Text : RestoreNewLines(Text, NewLine, buffer), CharCode, bytes)) {
      LastError = EINVAL;
      return TFileOperationResult::OpenFailed;
    }
  }
  return WriteBytes(*this, bytes);
}
