#include <gtest/gtest.h>

#include "TestSupport.h"
#include "front/ViewText.h"

using hovrak::LoadForView;
using hovrak::SaveFromView;
using hovrak::TViewReadOnly;
using R = TFileOperationResult;

namespace {

// Loads a file as the view does, saves the editor's text unchanged and returns the
// bytes written.
template <class C>
std::string LoadAndSave(const std::string& path, TCharCode code, TViewReadOnly expected) {
  std::unique_ptr<TFile<C>> file;
  if constexpr (std::is_same_v<C, wchar_t>) {
    file = std::make_unique<TFile<C>>(path, code);
  } else {
    file = std::make_unique<TFile<C>>(path);
  }
  const hovrak::TViewLoad load = LoadForView(*file);
  EXPECT_NE(load.Result, R::OpenFailed);
  EXPECT_EQ(load.ReadOnly, expected) << path;
  EXPECT_EQ(SaveFromView(*file, load.Shown), R::Success);
  return ReadWholeFile(path);
}

}  // namespace

TEST(ViewTextTest, EveryCodeAndLineEndSavesBackTheSameBytes) {
  TTempDir dir;
  struct TCase {
    TCharCode Code;
    std::string Bytes;
  };
  const TCase cases[] = {
      {TCharCode::SJIS, "\x93\xFA\x96\x7B\r\n\x8C\xEA\r\n"},
      {TCharCode::EUC, "\xC6\xFC\xCB\xDC\n\xB8\xEC\n"},
      {TCharCode::JIS, "\x1B$BF|K\\\x1B(B\r\x1B$B8l\x1B(B\r"},
      {TCharCode::UTF8, "\xEF\xBB\xBF\xE6\x97\xA5\r\n\xF0\xA0\xAE\xB7\r\n"},
      {TCharCode::UTF8N, "\xE6\x97\xA5\n\xC2\xA0\xE2\x80\xA8x"},
      {TCharCode::UTF16, std::string("\xFF\xFE\xE5\x65\x0D\x00\x0A\x00\x42\xD8\xB7\xDF", 12)},
      {TCharCode::Auto, "\x93\xFA\x96\x7B\r\n"},
  };
  for (const TCase& c : cases) {
    const std::string path = dir / "a.txt";
    WriteWholeFile(path, c.Bytes);
    EXPECT_EQ(LoadAndSave<wchar_t>(path, c.Code, TViewReadOnly::No), c.Bytes) << static_cast<int>(c.Code) << c.Bytes;
  }
  // ASCII mode: UTF-8 bytes, a NUL and a BOM included, come back as they were.
  const std::string narrow(
      "\xEF\xBB\xBF"
      "a\0b\r\n\xE6\x97\xA5\r\n",
      13);
  WriteWholeFile(dir / "n.txt", narrow);
  EXPECT_EQ(LoadAndSave<char>(dir / "n.txt", TCharCode::ASCII, TViewReadOnly::No), narrow);
}

TEST(ViewTextTest, StrayCrsShowAsAMarkAndAreSavedAsCrs) {
  TTempDir dir;
  const std::string bytes = "a\nb\rc\r\n";  // LF file: the CRs are not line ends
  WriteWholeFile(dir / "w.txt", bytes);
  TFile<wchar_t> wide(dir / "w.txt", TCharCode::UTF8N);
  const hovrak::TViewLoad load = LoadForView(wide);
  EXPECT_EQ(load.ReadOnly, TViewReadOnly::No);
  EXPECT_EQ(load.Shown,
            L"a\nb\x240D"
            L"c\x240D\n");
  EXPECT_EQ(SaveFromView(wide, L"X" + load.Shown), R::Success);
  EXPECT_EQ(ReadWholeFile(dir / "w.txt"), "X" + bytes);

  WriteWholeFile(dir / "n.txt", bytes);
  TFile<char> narrow(dir / "n.txt");
  const hovrak::TViewLoad narrowLoad = LoadForView(narrow);
  EXPECT_EQ(narrowLoad.Shown, load.Shown);
  EXPECT_EQ(SaveFromView(narrow, narrowLoad.Shown + L"\x65E5"), R::Success);
  EXPECT_EQ(ReadWholeFile(dir / "n.txt"), bytes + "\xE6\x97\xA5");
}

TEST(ViewTextTest, FilesThatWouldNotComeBackAreReadOnly) {
  TTempDir dir;
  const auto readOnly = [&dir](const std::string& bytes, TCharCode code) {
    WriteWholeFile(dir / "f.txt", bytes);
    if (code == TCharCode::ASCII) {
      TFile<char> file(dir / "f.txt");
      return LoadForView(file).ReadOnly;
    }
    TFile<wchar_t> file(dir / "f.txt", code);
    return LoadForView(file).ReadOnly;
  };
  // The mark itself in the file: a saved mark would turn into a CR.
  EXPECT_EQ(readOnly("a\xE2\x90\x8D\n", TCharCode::UTF8N), TViewReadOnly::HasCrMark);
  EXPECT_EQ(readOnly("a\xE2\x90\x8D\n", TCharCode::ASCII), TViewReadOnly::HasCrMark);
  // A paragraph separator would come back as a line end.
  EXPECT_EQ(readOnly("a\xE2\x80\xA9"
                     "b",
                     TCharCode::UTF8N),
            TViewReadOnly::EditorCannotHold);
  // A CR LF file with a lone CR or LF: saving would drop or change them.
  EXPECT_EQ(readOnly("a\r\nb\rc\r\n", TCharCode::SJIS), TViewReadOnly::MixedLineEnds);
  EXPECT_EQ(readOnly("a\r\nb\nc", TCharCode::ASCII), TViewReadOnly::MixedLineEnds);
  // Bytes Shift-JIS cannot map, a UTF-8 BOM missing, UTF-16 without its BOM.
  EXPECT_EQ(readOnly("a\x85\x40"
                     "b",
                     TCharCode::SJIS),
            TViewReadOnly::NotReversible);
  EXPECT_EQ(readOnly("abc", TCharCode::UTF8), TViewReadOnly::NotReversible);
  EXPECT_EQ(readOnly(std::string("a\0b\0", 4), TCharCode::UTF16), TViewReadOnly::NotReversible);
  // ASCII mode over Shift-JIS bytes: shown decoded, never saved.
  WriteWholeFile(dir / "s.txt", "\x93\xFA\x96\x7B\n");
  TFile<char> sjis(dir / "s.txt");
  const hovrak::TViewLoad load = LoadForView(sjis);
  EXPECT_EQ(load.ReadOnly, TViewReadOnly::NotUtf8);
  EXPECT_EQ(load.How, hovrak::TNarrowShown::Cp932);
  EXPECT_EQ(load.Shown, L"\x65E5\x672C\n");
  EXPECT_FALSE(hovrak::ViewReadOnlyText(TViewReadOnly::NotUtf8).empty());
}

TEST(ViewTextTest, MissingFileIsOpenFailed) {
  TTempDir dir;
  TFile<wchar_t> wide(dir / "missing.txt", TCharCode::Auto);
  EXPECT_EQ(LoadForView(wide).Result, R::OpenFailed);
  TFile<char> narrow(dir / "missing.txt");
  EXPECT_EQ(LoadForView(narrow).Result, R::OpenFailed);
}
