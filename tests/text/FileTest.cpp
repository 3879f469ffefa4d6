#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include <sys/stat.h>

#include "TestSupport.h"
#include "text/Conversions.h"
#include "text/File.h"

namespace fs = std::filesystem;

namespace {

using R = TFileOperationResult;

const TFileReadOptions kCheck{true, std::numeric_limits<std::int32_t>::max()};
const TFileReadOptions kNoCheck{false, std::numeric_limits<std::int32_t>::max()};

// "日本語のテキスト" with CR LF line ends, in every code the wide file writes.
const std::wstring kJapanese = L"\x65E5\x672C\x8A9E\x306E\x30C6\x30AD\x30B9\x30C8\n2\x884C\x76EE\n";
const std::string kSjis = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67\r\n2\x8D\x73\x96\xDA\r\n";
const std::string kEuc = "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\r\n2\xB9\xD4\xCC\xDC\r\n";
const std::string kJis = "\x1B$BF|K\\8l$N%F%-%9%H\x1B(B\r\n2\x1B$B9TL\\\x1B(B\r\n";
const std::string kUtf8N =
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88\r\n"
    "2\xE8\xA1\x8C\xE7\x9B\xAE\r\n";

std::string Utf16(const std::wstring& text, bool bom = true) {
  std::string bytes = bom ? "\xFF\xFE" : "";
  for (const wchar_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

template <class C>
R LoadFile(const std::string& path, std::basic_string<C>& text, TFileReadOptions options = kNoCheck) {
  TFile<C> file(path);
  const R result = file.Load(options);
  text = file.Text;
  return result;
}

}  // namespace

TEST(File, NarrowFormKeepsEveryByteAndTheLineEndConvention) {
  TTempDir dir;
  struct Case {
    std::string stored, text;
    TNewLineKind kind;
    std::string saved;
  };
  const Case cases[] = {
      {"", "", TNewLineKind::Lf, ""},
      {"a\r\nb\rc\r\n", "a\nbc\n", TNewLineKind::CrLf, "a\r\nbc\r\n"},  // lone CR lost
      {"a\nb\rc\n", "a\nb\rc\n", TNewLineKind::Lf, "a\nb\rc\n"},        // stray CR kept
      {"only\r", "only\n", TNewLineKind::Cr, "only\r"},                 // CR at the very end
      {"a\rb\nc", "a\nb\nc", TNewLineKind::Cr, "a\rb\rc"},              // LF becomes CR
      {"no line end", "no line end", TNewLineKind::Lf, "no line end"},
      // Binary and UTF-16 bytes go through unchanged.
      {std::string("\0\x01\xFF\xFE\x80\n\0", 7), std::string("\0\x01\xFF\xFE\x80\n\0", 7), TNewLineKind::Lf,
       std::string("\0\x01\xFF\xFE\x80\n\0", 7)},
      {Utf16(L"a\nb"), Utf16(L"a\nb"), TNewLineKind::Lf, Utf16(L"a\nb")},
  };
  for (const Case& c : cases) {
    const std::string path = dir / "narrow.txt";
    WriteWholeFile(path, c.stored);
    TFile<char> file(path);
    ASSERT_EQ(file.Load(kCheck), R::Success);
    EXPECT_EQ(file.Text, c.text);
    EXPECT_EQ(file.NewLine, c.kind);
    ASSERT_EQ(file.Save(), R::Success);
    EXPECT_EQ(ReadWholeFile(path), c.saved);
    EXPECT_EQ(file.Text, c.text);  // saving leaves the text alone
  }
}

TEST(File, SizeLimitIsInclusive) {
  TTempDir dir;
  const std::string path = dir / "sized.txt";
  WriteWholeFile(path, std::string(100, 'x'));
  TFile<char> narrow(path);
  EXPECT_EQ(narrow.Load({false, 100}), R::Success);
  EXPECT_EQ(narrow.Text.size(), 100u);
  EXPECT_EQ(narrow.Load({false, 99}), R::TooLarge);
  EXPECT_TRUE(narrow.Text.empty());

  TFile<wchar_t> wide(path);
  wide.Text = L"stale";
  EXPECT_EQ(wide.Load({true, 99}), R::TooLarge);
  EXPECT_TRUE(wide.Text.empty());
  EXPECT_EQ(wide.CharCode, TCharCode::Auto);  // nothing read, nothing detected
  EXPECT_EQ(wide.Load({true, 100}), R::Success);
  EXPECT_EQ(wide.Text, std::wstring(100, L'x'));

  WriteWholeFile(path, "");
  EXPECT_EQ(TFile<char>(path).Load({false, 0}), R::Success);

  // A file whose size does not show before reading is held to the limit while read.
  TFile<char> proc("/proc/self/status");
  EXPECT_EQ(proc.Load({false, 10}), R::TooLarge);
  EXPECT_TRUE(proc.Text.empty());
  EXPECT_EQ(proc.Load(kNoCheck), R::Success);
  EXPECT_GT(proc.Text.size(), 10u);
}

TEST(File, UnreadableTargetsAreOpenFailed) {
  TTempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0666), 0);
  for (const std::string& path : {dir / "missing.txt", dir.Path(), dir / "fifo"}) {
    TFile<char> narrow(path);
    narrow.Text = "stale";
    EXPECT_EQ(narrow.Load(kNoCheck), R::OpenFailed) << path;  // a FIFO must not block
    EXPECT_TRUE(narrow.Text.empty());
    TFile<wchar_t> wide(path);
    EXPECT_EQ(wide.Load(kCheck), R::OpenFailed) << path;
  }
}

TEST(File, WideFormDetectsDecodesAndSavesEveryCodeByteExactly) {
  TTempDir dir;
  const struct {
    TCharCode code;
    std::string bytes;
  } cases[] = {
      {TCharCode::SJIS, kSjis},
      {TCharCode::EUC, kEuc},
      {TCharCode::JIS, kJis},
      {TCharCode::UTF8N, kUtf8N},
      {TCharCode::UTF8, "\xEF\xBB\xBF" + kUtf8N},
      {TCharCode::UTF16, Utf16(L"\x65E5\x672C\r\n\xD83D\xDE00\r\n")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    const std::string path = dir / "wide.txt";
    WriteWholeFile(path, c.bytes);
    TFile<wchar_t> file(path);
    ASSERT_EQ(file.Load(kCheck), R::Success);
    EXPECT_EQ(file.CharCode, c.code);
    EXPECT_EQ(file.NewLine, TNewLineKind::CrLf);
    if (c.code == TCharCode::UTF16) EXPECT_EQ(file.Text, L"\x65E5\x672C\n\xD83D\xDE00\n");
    else EXPECT_EQ(file.Text, kJapanese);
    ASSERT_EQ(file.Save(), R::Success);
    EXPECT_EQ(ReadWholeFile(path), c.bytes);

    // The given code is used as it is, and a retried load on the same object works.
    TFile<wchar_t> given(path, c.code);
    EXPECT_EQ(given.Load(kCheck), R::Success);
    EXPECT_EQ(given.Load(kCheck), R::Success);
    EXPECT_EQ(given.Text, file.Text);
  }
}

TEST(File, WideFormReadsAsciiAndEmptyFilesAsShiftJis) {
  TTempDir dir;
  const std::string path = dir / "plain.txt";
  WriteWholeFile(path, "");
  TFile<wchar_t> empty(path);
  ASSERT_EQ(empty.Load(kCheck), R::Success);
  EXPECT_EQ(empty.CharCode, TCharCode::SJIS);
  EXPECT_EQ(empty.NewLine, TNewLineKind::Lf);
  EXPECT_TRUE(empty.Text.empty());
  ASSERT_EQ(empty.Save(), R::Success);
  EXPECT_EQ(ReadWholeFile(path), "");

  WriteWholeFile(path, "plain\rtext\r");
  TFile<wchar_t> ascii(path, TCharCode::ASCII);
  ASSERT_EQ(ascii.Load(kCheck), R::Success);
  EXPECT_EQ(ascii.CharCode, TCharCode::SJIS);
  EXPECT_EQ(ascii.NewLine, TNewLineKind::Cr);
  EXPECT_EQ(ascii.Text, L"plain\ntext\n");
  ascii.Text += L"\x3042";
  ASSERT_EQ(ascii.Save(), R::Success);
  EXPECT_EQ(ReadWholeFile(path), "plain\rtext\r\x82\xA0");
}

TEST(File, MissingBomIsCharCodeMismatchButTheTextIsDecoded) {
  TTempDir dir;
  const std::string path = dir / "nobom.txt";
  WriteWholeFile(path, Utf16(L"A\r\nB", false));
  TFile<wchar_t> utf16(path, TCharCode::UTF16);
  EXPECT_EQ(utf16.Load(kNoCheck), R::CharCodeMismatch);
  EXPECT_EQ(utf16.Text, L"A\nB");
  EXPECT_EQ(utf16.NewLine, TNewLineKind::CrLf);
  // Under detection UTF-16 without a BOM is never taken for UTF-16.
  TFile<wchar_t> detected(path);
  detected.Load(kNoCheck);
  EXPECT_NE(detected.CharCode, TCharCode::UTF16);

  WriteWholeFile(path, kUtf8N);
  TFile<wchar_t> utf8(path, TCharCode::UTF8);
  EXPECT_EQ(utf8.Load(kNoCheck), R::CharCodeMismatch);
  EXPECT_EQ(utf8.Text, kJapanese);

  // UTF-8 without BOM keeps a BOM as U+FEFF and writes it back.
  WriteWholeFile(path, "\xEF\xBB\xBFx\n");
  TFile<wchar_t> utf8n(path, TCharCode::UTF8N);
  ASSERT_EQ(utf8n.Load(kCheck), R::Success);
  EXPECT_EQ(utf8n.Text, L"\xFEFFx\n");
  ASSERT_EQ(utf8n.Save(), R::Success);
  EXPECT_EQ(ReadWholeFile(path), "\xEF\xBB\xBFx\n");
}

TEST(File, OddLengthUtf16KeepsTheLastByteButFailsTheRoundTrip) {
  TTempDir dir;
  const std::string path = dir / "odd.txt";
  WriteWholeFile(path, std::string("\xFF\xFE"
                                   "A\0B",
                                   5));
  TFile<wchar_t> file(path, TCharCode::UTF16);
  EXPECT_EQ(file.Load(kNoCheck), R::Success);
  EXPECT_EQ(file.Text, L"AB");
  EXPECT_EQ(file.Load(kCheck), R::CharCodeMismatch);
  EXPECT_EQ(file.Text, L"AB");
}

TEST(File, ZeroBytesAndDamagedTextAreRefusedOnlyWithTheCheck) {
  TTempDir dir;
  const std::string path = dir / "binary.bin";
  WriteWholeFile(path, std::string("\x93\xFA\0\x96\x7B\n", 6));
  TFile<wchar_t> binary(path, TCharCode::SJIS);
  EXPECT_EQ(binary.Load(kCheck), R::BinaryFile);
  // The text is decoded all the same, past the zero byte too.
  EXPECT_EQ(binary.Text, std::wstring(L"\x65E5\0\x672C\n", 4));
  EXPECT_EQ(binary.Load(kNoCheck), R::Success);
  // A forced save keeps the zero byte.
  ASSERT_EQ(binary.Save(), R::Success);
  EXPECT_EQ(ReadWholeFile(path), std::string("\x93\xFA\0\x96\x7B\n", 6));

  // UTF-16 is full of zero bytes and is not binary for that.
  WriteWholeFile(path, Utf16(L"a\nb"));
  EXPECT_EQ(TFile<wchar_t>(path, TCharCode::UTF16).Load(kCheck), R::Success);

  // Bytes that decode to "?" do not encode back to themselves.
  WriteWholeFile(path, "ok \xFF here\n");
  TFile<wchar_t> damaged(path, TCharCode::UTF8N);
  EXPECT_EQ(damaged.Load(kCheck), R::CharCodeMismatch);
  EXPECT_EQ(damaged.Text, L"ok ? here\n");
  EXPECT_EQ(damaged.Load(kNoCheck), R::Success);
}

TEST(File, SavingWithoutLoadingWritesTheGivenCode) {
  TTempDir dir;
  // The CSV writer's use: a new file, '\n' line ends turned into CR LF.
  TFile<wchar_t> csv(dir / "out.csv", TCharCode::UTF16);
  csv.Text = L"a,\x3042\nb\n";
  ASSERT_EQ(csv.Save(), R::Success);
  EXPECT_EQ(ReadWholeFile(dir / "out.csv"), Utf16(L"a,\x3042\r\nb\r\n"));

  // ASCII writes the system code page (UTF-8 here), zero units included.
  csv.CharCode = TCharCode::ASCII;
  csv.Text = std::wstring(L"\x65E5\0x\n", 4);
  ASSERT_EQ(csv.Save(), R::Success);
  EXPECT_EQ(ReadWholeFile(dir / "out.csv"), std::string("\xE6\x97\xA5\0x\r\n", 7));

  TFile<char> narrow(dir / "narrow.csv");
  narrow.Text = "x\ny";
  ASSERT_EQ(narrow.Save(), R::Success);
  EXPECT_EQ(ReadWholeFile(dir / "narrow.csv"), "x\r\ny");
}

TEST(File, FailedSaveKeepsFileAndText) {
  TTempDir dir;
  const std::string path = dir / "ro.txt";
  WriteWholeFile(path, kSjis);
  TFile<wchar_t> file(path);
  ASSERT_EQ(file.Load(kCheck), R::Success);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  file.Text += L"more";
  EXPECT_EQ(file.Save(), R::OpenFailed);
  EXPECT_EQ(ReadWholeFile(path), kSjis);
  EXPECT_EQ(file.Text, kJapanese + L"more");
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  EXPECT_EQ(file.Save(), R::Success);  // a retry after the cause is gone

  // A code that names no encoding would write an empty file; it is refused instead.
  for (const TCharCode code : {TCharCode::Auto, TCharCode::Unknown, static_cast<TCharCode>(42)}) {
    file.CharCode = code;
    EXPECT_EQ(file.Save(), R::OpenFailed);
  }
  EXPECT_EQ(ReadWholeFile(path), kSjis + "more");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(File, LongTextsSaveAndPassTheCheckLikeTheWholeTextConversion) {
  // Long enough to be encoded in several pieces, with lines of every length up to
  // one longer than a piece, and surrogate pairs, JIS set changes and CRs at every
  // offset of a piece boundary somewhere.
  std::wstring text;
  for (int i = 0; text.size() < 70000; ++i) {
    const std::size_t line = i == 7 ? 20000 : static_cast<std::size_t>(i % 97);
    for (std::size_t k = 0; k < line; ++k) {
      const std::size_t kind = (k + static_cast<std::size_t>(i)) % 5;
      if (kind == 0) text += L'a';
      if (kind == 1) text += L'\x65E5';
      if (kind == 2) text += L'\xFF71';
      if (kind == 3) text += L"\xD83D\xDE00";
      if (kind == 4) text += L'\x3042';
    }
    text += L'\n';
  }
  TTempDir dir;
  for (const TCharCode code :
       {TCharCode::SJIS, TCharCode::EUC, TCharCode::JIS, TCharCode::UTF8, TCharCode::UTF8N, TCharCode::UTF16}) {
    for (const TNewLineKind kind : {TNewLineKind::CrLf, TNewLineKind::Lf, TNewLineKind::Cr}) {
      SCOPED_TRACE(testing::Message() << static_cast<int>(code) << " " << static_cast<int>(kind));
      const std::string path = dir / "long.txt";
      TFile<wchar_t> out(path, code);
      out.Text = text;
      out.NewLine = kind;
      ASSERT_EQ(out.Save(), R::Success);
      std::wstring restored;
      std::string expected;
      TFile<wchar_t>::Encode(TFile<wchar_t>::RestoreNewLines(text, kind, restored), code, expected);
      const std::string saved = ReadWholeFile(path);
      ASSERT_EQ(saved, expected);

      // The saved bytes pass the check, and loading and saving again keeps them.
      TFile<wchar_t> in(path, code);
      EXPECT_EQ(in.Load(kCheck), R::Success);
      EXPECT_EQ(in.NewLine, kind == TNewLineKind::Lf ? TNewLineKind::Lf : kind);
      ASSERT_EQ(in.Save(), R::Success);
      EXPECT_EQ(ReadWholeFile(path), saved);

      // A byte no code gives back, inside a middle piece or at the end, fails it.
      WriteWholeFile(path, saved.substr(0, 40001) + "\xFF" + saved.substr(40001));
      EXPECT_EQ(TFile<wchar_t>(path, code).Load(kCheck), R::CharCodeMismatch);
      WriteWholeFile(path, saved + "\xFF");
      EXPECT_EQ(TFile<wchar_t>(path, code).Load(kCheck), R::CharCodeMismatch);
    }
  }
}

TEST(File, LongJisDecodesLikeTheWholeConversionThroughEuc) {
  // Escape sequences, SO/SI and malformed bits of every length, so that piece
  // boundaries fall inside each of them somewhere.
  const std::string parts[] = {"\x1B$B", "F|K\\",  "\x1B(B", "abc",   "\x0E", "12",     "\x0F", "\x1B$(D",
                               "\"B",    "\x1B(J", "\x1B",   "\x1B$", "x",    "\x1B$(", "8l"};
  std::string jis;
  for (int i = 0; jis.size() < 100000; ++i) jis += parts[(i * 7 + i / 15) % 15];
  for (const std::size_t size : {jis.size(), jis.size() - 1, jis.size() - 2, std::size_t(16385)}) {
    const std::string bytes = jis.substr(0, size);
    std::wstring text;
    ASSERT_TRUE(TFile<wchar_t>::Decode(bytes, TCharCode::JIS, text));
    EXPECT_EQ(text, hovrak::euc_to_unicode(hovrak::jis_to_euc(bytes))) << size;
  }
}

TEST(File, CrLfTextsLoseEveryCrWhereverItStands) {
  // Runs of CRs, a CR at the very end, long runs without one.
  const std::string long_run(5000, 'x');
  const std::string in = "a\r\n\r\r\n" + long_run + "\r\rb\r\n\r";
  const std::string out = "a\n\n" + long_run + "b\n";
  std::string narrow = in;
  EXPECT_EQ(TFileBase<char>::NormalizeNewLines(narrow), TNewLineKind::CrLf);
  EXPECT_EQ(narrow, out);
  std::wstring wide(in.begin(), in.end());
  EXPECT_EQ(TFileBase<wchar_t>::NormalizeNewLines(wide), TNewLineKind::CrLf);
  EXPECT_EQ(wide, std::wstring(out.begin(), out.end()));
}

TEST(File, KeptLineEndsComeBackByteForByte) {
  TTempDir dir;
  const std::string bytes = "a\r\nb\nc\rd\r\n\r";
  WriteWholeFile(dir / "a.txt", bytes);
  TFileReadOptions options;
  options.keepLineEnds = true;
  TFile<char> narrow(dir / "a.txt");
  ASSERT_EQ(narrow.Load(options), TFileOperationResult::Success);
  EXPECT_EQ(narrow.NewLine, TNewLineKind::CrLf);
  EXPECT_EQ(narrow.Text, bytes);
  TFile<wchar_t> wide(dir / "a.txt", TCharCode::UTF8N);
  options.checkCharCode = true;
  ASSERT_EQ(wide.Load(options), TFileOperationResult::Success);
  EXPECT_EQ(wide.Text, L"a\r\nb\nc\rd\r\n\r");
  ASSERT_EQ(wide.Save(), TFileOperationResult::Success);
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), bytes);
}

TEST(File, AResultLargerThanAnyReadableFileIsRefused) {
  TTempDir dir;
  WriteWholeFile(dir / "a.txt", "small");
  EXPECT_EQ(TFileBase<char>::MaxSaveSize, 2147483647u);
  // The limit lowered, so that the test need not hold 2 GiB.
  struct TLimit {
    TLimit() { TFileBase<char>::MaxSaveSize = TFileBase<wchar_t>::MaxSaveSize = 10; }
    ~TLimit() { TFileBase<char>::MaxSaveSize = TFileBase<wchar_t>::MaxSaveSize = 2147483647; }
  } limit;
  TFile<char> file(dir / "a.txt");
  file.Text.assign(11, 'x');
  EXPECT_EQ(file.Save(), TFileOperationResult::OpenFailed);
  EXPECT_EQ(file.LastError, EFBIG);
  TFile<wchar_t> wide(dir / "a.txt", TCharCode::UTF16);
  wide.Text = L"abcd";  // 2 + 8 bytes: fits
  EXPECT_EQ(wide.Save(), TFileOperationResult::Success);
  wide.Text = L"abcde";
  EXPECT_EQ(wide.Save(), TFileOperationResult::OpenFailed);
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), std::string("\xFF\xFE"
                                                      "a\0b\0c\0d\0",
                                                      10));
}
