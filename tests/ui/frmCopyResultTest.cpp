#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "MainWindowSupport.h"
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "core/MirunApp.h"
#include "place/AbstractPlaceList.h"
#include "settings/Option.h"
#include "text/Conversions.h"
#include "text/File.h"
#include "ui/UiText.h"
#include "ui/frmCopyResult.h"
#include "ui/frmMain.h"

namespace {

using hovrak::FromNarrow;
using hovrak::Msg;

// A main window as the program starts it, a real search on real files, and the CSV
// dialog opened through the menu command with the scripted dialogs answering.
class CopyResultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QGuiApplication::clipboard()->clear();
    main_ = StartShownMain(home_ / "Mirun.kel");
  }

  // tree/a.txt (UTF-8) holds 東京 once, tree/sub/b.txt (Shift-JIS) twice.
  std::string MakeTree() {
    WriteWholeFile(data_ / "tree/a.txt", "東京へ, \"行く\"\n");
    WriteWholeFile(data_ / "tree/sub/b.txt", hovrak::unicode_to_sjis_cp932(L"大阪と東京\r\n京都、東京\r\n"));
    WriteWholeFile(data_ / "tree/c.txt", "名古屋\n");
    return data_ / "tree";
  }

  void Search(const std::string& path, const std::string& searched, TCharCode code = TCharCode::Auto) {
    main_->App().Option->CharCode = code;
    main_->cmbPath->setEditText(FromNarrow(path));
    main_->cmbFilter->setEditText(QStringLiteral("*.txt"));
    main_->cmbSearched->setEditText(FromNarrow(searched));
    main_->chkSubDir->setChecked(true);
    main_->btnSearchClick();
  }

  // Opens the dialog through the menu command; act works the shown dialog. Returns
  // the dialog's result; open_ tells whether it was still open afterwards.
  int Open(const std::function<void(TfrmCopyResult&)>& act) {
    int result = -1;
    dialogs_.OnExec = [&](QDialog& dialog) {
      dialog.setResult(0);
      dialog.show();
      act(dynamic_cast<TfrmCopyResult&>(dialog));
      open_ = dialog.isVisible();
      dialog.hide();
      result = dialog.result();
      return result;
    };
    main_->mniCopyResultClick();
    dialogs_.OnExec = nullptr;
    return result;
  }

  // Saves to path in the combo's item, with the columns given.
  std::string SaveAs(const std::string& path, int item, bool hit = true) {
    dialogs_.OnSaveFile = [path](const TScriptedDialogs::TSaveQuestion&) { return FromNarrow(path); };
    Open([&](TfrmCopyResult& csv) {
      csv.chkHit->setChecked(hit);
      if (csv.cmbCharCode->isEnabled()) csv.cmbCharCode->setCurrentIndex(item);
      csv.btnSave->click();
    });
    return ReadWholeFile(path);
  }

  TScriptedDialogs dialogs_;
  TTempDir home_;
  TTempDir data_;
  std::unique_ptr<TfrmMain> main_;
  bool open_ = false;
};

// The CSV of the tree's three places with file, line and hit, in UTF-16 units.
const std::wstring kTreeCsv =
    L"ファイル名,行番号,ヒットした文字列,\n"
    L"a.txt,1,東京,\n"
    L"sub/b.txt,1,東京,\n"
    L"sub/b.txt,2,東京,\n";

std::wstring WithCrLf(const std::wstring& text) {
  std::wstring out;
  for (const wchar_t c : text) {
    if (c == L'\n') out += L'\r';
    out += c;
  }
  return out;
}

}  // namespace

TEST_F(CopyResultTest, DesignedControlsOneInstanceAndChoicesThatCarryOver) {
  TfrmCopyResult* dialog = main_->frmCopyResult();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), Msg(TMsg::CopyResultTitle));
  EXPECT_EQ(dialog->lblDescription->text(), Msg(TMsg::CopyResultDescription));
  const std::vector<std::pair<QCheckBox*, TMsg>> checks{{dialog->chkFile, TMsg::CsvFileName},
                                                        {dialog->chkLine, TMsg::CsvLine},
                                                        {dialog->chkHit, TMsg::CsvHit},
                                                        {dialog->chkFowFol, TMsg::CsvAround}};
  for (const auto& [box, row] : checks) EXPECT_EQ(box->text(), Msg(row));
  EXPECT_TRUE(dialog->chkFile->isChecked());
  EXPECT_TRUE(dialog->chkLine->isChecked());
  EXPECT_FALSE(dialog->chkHit->isChecked());
  EXPECT_FALSE(dialog->chkFowFol->isChecked());
  EXPECT_EQ(dialog->lblFowFolLen1->text(), Msg(TMsg::CsvAroundEach));
  EXPECT_EQ(dialog->edtFowFolLen->text(), QStringLiteral("30"));
  EXPECT_EQ(dialog->lblFowFolLen2->text(), Msg(TMsg::CsvAroundChars));
  EXPECT_EQ(dialog->lblCharCode->text(), Msg(TMsg::CharCodeLabel));
  const QStringList codes{"Shift-JIS", "UTF-16 (Unicode)", "ASCII", "EUC_JP", "JIS", "UTF-8 BOM", "UTF-8"};
  ASSERT_EQ(dialog->cmbCharCode->count(), codes.size());
  for (int i = 0; i < codes.size(); ++i) EXPECT_EQ(dialog->cmbCharCode->itemText(i), codes[i]);
  EXPECT_EQ(dialog->cmbCharCode->currentIndex(), 0);
  EXPECT_EQ(dialog->btnSave->text(), Msg(TMsg::SaveButton));
  EXPECT_TRUE(dialog->btnSave->isDefault());
  EXPECT_EQ(dialog->btnCopy->text(), Msg(TMsg::CopyButton));
  EXPECT_EQ(dialog->btnCancel->text(), Msg(TMsg::Cancel));
  for (const char* name :
       {"lblDescription", "chkFile", "chkLine", "chkHit", "chkFowFol", "lblFowFolLen1", "edtFowFolLen", "lblFowFolLen2",
        "lblCharCode", "cmbCharCode", "btnSave", "btnCopy", "btnCancel"})
    EXPECT_NE(dialog->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;

  // The menu item follows the state table.
  EXPECT_FALSE(main_->mniCopyResult->isEnabled());
  Search(MakeTree(), "東京");
  ASSERT_EQ(main_->State(), TUiState::Found);
  EXPECT_TRUE(main_->mniCopyResult->isEnabled());
  main_->SetState(TUiState::InSearch);
  EXPECT_FALSE(main_->mniCopyResult->isEnabled());
  main_->SetState(TUiState::Ready);
  EXPECT_FALSE(main_->mniCopyResult->isEnabled());
  main_->mniCopyResultClick();  // ignored without results
  EXPECT_TRUE(dialogs_.ExecTitles.empty());
  Search(data_.Path() + "/tree", "どこにもない");
  ASSERT_EQ(main_->State(), TUiState::NotFound);
  EXPECT_TRUE(main_->mniCopyResult->isEnabled());

  // Cancel closes; what was chosen stays for the next opening, in the same window.
  EXPECT_EQ(Open([](TfrmCopyResult& csv) {
              csv.chkFile->setChecked(false);
              csv.chkFowFol->setChecked(true);
              csv.edtFowFolLen->setText(QStringLiteral("7"));
              csv.cmbCharCode->setCurrentIndex(4);
              csv.btnCancel->click();
            }),
            int(QDialog::Rejected));
  EXPECT_FALSE(open_);
  Open([&](TfrmCopyResult& csv) {
    EXPECT_EQ(&csv, dialog);
    EXPECT_FALSE(csv.chkFile->isChecked());
    EXPECT_TRUE(csv.chkFowFol->isChecked());
    EXPECT_EQ(csv.edtFowFolLen->text(), QStringLiteral("7"));
    EXPECT_EQ(csv.cmbCharCode->currentIndex(), 4);
    csv.reject();
  });
  EXPECT_EQ(dialogs_.ExecTitles, (std::vector<QString>{Msg(TMsg::CopyResultTitle), Msg(TMsg::CopyResultTitle)}));
}

TEST_F(CopyResultTest, SavesTheBytesOfEveryCodeWithCrLfAndTheFileColumnRelativeToTheBase) {
  Search(MakeTree(), "東京");
  ASSERT_EQ(main_->State(), TUiState::Found);
  ASSERT_EQ(main_->App().PlaceList->Count(), 3);
  const std::wstring text = WithCrLf(kTreeCsv);
  const std::string sjis = SaveAs(data_ / "out.csv", 0);
  EXPECT_EQ(sjis, hovrak::unicode_to_sjis_cp932(text));
  EXPECT_NE(sjis.find("a.txt,1,\x93\x8c\x8b\x9e,\r\n"), std::string::npos);  // 東京 in Shift-JIS
  // The save dialog as designed.
  ASSERT_FALSE(dialogs_.SaveQuestions.empty());
  EXPECT_EQ(dialogs_.SaveQuestions.back().Caption, Msg(TMsg::CopyResultTitle));
  EXPECT_EQ(dialogs_.SaveQuestions.back().Filter, QStringLiteral("CSV (*.csv);;*.* (*)"));
  EXPECT_EQ(dialogs_.SaveQuestions.back().DefaultSuffix, QStringLiteral("csv"));
  EXPECT_FALSE(open_);

  const std::string utf16 = SaveAs(data_ / "out16.csv", 1);
  ASSERT_GE(utf16.size(), 4u);
  EXPECT_EQ(utf16.substr(0, 4), std::string("\xFF\xFE\xD5\x30", 4));  // BOM, then フ
  EXPECT_EQ(utf16.size(), 2 + 2 * text.size());
  std::wstring decoded;
  ASSERT_TRUE(TFile<wchar_t>::Decode(utf16, TCharCode::UTF16, decoded));
  EXPECT_EQ(decoded, text);

  const std::string utf8 = hovrak::unicode_to_utf8(text);
  EXPECT_EQ(SaveAs(data_ / "bom.csv", 5), "\xEF\xBB\xBF" + utf8);
  EXPECT_EQ(SaveAs(data_ / "utf8.csv", 6), utf8);
  EXPECT_EQ(SaveAs(data_ / "ascii.csv", 2), utf8);  // the system code page
  const std::string euc = SaveAs(data_ / "euc.csv", 3);
  EXPECT_EQ(euc, hovrak::unicode_to_euc(text));
  const std::string jis = SaveAs(data_ / "jis.csv", 4);
  EXPECT_EQ(jis, hovrak::euc_to_jis(euc));
  EXPECT_NE(jis.find("\x1B$B"), std::string::npos);
  // The path chosen last is offered again.
  EXPECT_EQ(dialogs_.SaveQuestions.back().Start, FromNarrow(data_ / "euc.csv"));
}

TEST_F(CopyResultTest, AsciiModeResultsAreSavedByteForByteAndTheComboStaysOnAscii) {
  // Shift-JIS text around an ASCII hit, with a quote and a comma after it.
  const std::string bytes = "\x93\xfa\x96\x7b key,\"\x8c\xea\"\r\n";
  WriteWholeFile(data_ / "n/a.txt", bytes);
  Search(data_ / "n", "key", TCharCode::ASCII);
  ASSERT_EQ(main_->State(), TUiState::Found);
  main_->frmCopyResult()->cmbCharCode->setCurrentIndex(1);  // UTF-16 from an earlier opening
  bool disabled = false;
  dialogs_.OnSaveFile = [&](const TScriptedDialogs::TSaveQuestion&) { return FromNarrow(data_ / "n.csv"); };
  Open([&](TfrmCopyResult& csv) {
    disabled = !csv.cmbCharCode->isEnabled();
    EXPECT_EQ(csv.cmbCharCode->currentText(), QStringLiteral("ASCII"));
    csv.chkFile->setChecked(false);
    csv.chkHit->setChecked(true);
    csv.chkFowFol->setChecked(true);
    csv.edtFowFolLen->setText(QStringLiteral("5"));
    csv.btnSave->click();
  });
  EXPECT_TRUE(disabled);
  EXPECT_EQ(ReadWholeFile(data_ / "n.csv"),
            "行番号,直前の文字列,ヒットした文字列,直後の文字列,\r\n"
            "1,\x93\xfa\x96\x7b ,key,\",\"\"\x8c\xea\"\"\",\r\n");

  // Results of another mode: enabled again, still on ASCII.
  Search(data_ / "n", "key");
  ASSERT_EQ(main_->State(), TUiState::Found);
  Open([&](TfrmCopyResult& csv) {
    EXPECT_TRUE(csv.cmbCharCode->isEnabled());
    EXPECT_EQ(csv.cmbCharCode->currentText(), QStringLiteral("ASCII"));
    csv.reject();
  });
}

TEST_F(CopyResultTest, CopyPutsTheTickedPlacesOnTheClipboardWithCrLf) {
  Search(MakeTree(), "東京");
  ASSERT_EQ(main_->State(), TUiState::Found);
  main_->App().PlaceList->Item(1)->Checked = false;
  EXPECT_EQ(Open([](TfrmCopyResult& csv) {
              csv.chkFowFol->setChecked(true);
              csv.edtFowFolLen->setText(QStringLiteral("-4"));  // stands for 30
              csv.btnCopy->click();
            }),
            int(QDialog::Accepted));
  EXPECT_FALSE(open_);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ファイル名,行番号,直前の文字列,直後の文字列,\r\n"
                                                                 "a.txt,1,,\"へ, \"\"行く\"\"↓ \",\r\n"
                                                                 "sub/b.txt,2,大阪と東京↓ 京都、,↓ ,\r\n"));
  EXPECT_TRUE(dialogs_.SaveQuestions.empty());

  // No ticked place: the header alone.
  for (int i = 0; i < main_->App().PlaceList->Count(); ++i) main_->App().PlaceList->Item(i)->Checked = false;
  Open([](TfrmCopyResult& csv) { csv.btnCopy->click(); });
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ファイル名,行番号,直前の文字列,直後の文字列,\r\n"));
}

TEST_F(CopyResultTest, Utf16SaveKeepsLoneSurrogatesAndNuls) {
  // A UTF-16 file with a lone surrogate and a NUL next to the hit.
  std::string bytes = "\xFF\xFE";
  for (const wchar_t unit : std::wstring{L'x', 0xD800, L'K', L'E', L'Y', 0, 0xDC01, L'\r', L'\n'}) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  WriteWholeFile(data_ / "w/a.txt", bytes);
  Search(data_ / "w", "KEY", TCharCode::UTF16);
  ASSERT_EQ(main_->State(), TUiState::Found);
  dialogs_.OnSaveFile = [&](const TScriptedDialogs::TSaveQuestion&) { return FromNarrow(data_ / "w.csv"); };
  Open([](TfrmCopyResult& csv) {
    csv.chkFile->setChecked(false);
    csv.chkLine->setChecked(false);
    csv.chkFowFol->setChecked(true);
    csv.cmbCharCode->setCurrentIndex(1);
    csv.btnSave->click();
  });
  std::wstring saved;
  ASSERT_TRUE(TFile<wchar_t>::Decode(ReadWholeFile(data_ / "w.csv"), TCharCode::UTF16, saved));
  const std::wstring header = L"直前の文字列,直後の文字列,\r\n";
  ASSERT_GT(saved.size(), header.size());
  EXPECT_EQ(saved.substr(header.size()), (std::wstring{L'x', 0xD800, L',', 0, 0xDC01, L'↓', L' ', L',', L'\r', L'\n'}));
}

TEST_F(CopyResultTest, CancelWritesNothingAndAFailedSaveTellsAndStaysOpen) {
  Search(MakeTree(), "東京");
  ASSERT_EQ(main_->State(), TUiState::Found);
  // Cancelling the save dialog: nothing written, the dialog closes.
  EXPECT_EQ(Open([](TfrmCopyResult& csv) { csv.btnSave->click(); }), int(QDialog::Rejected));
  EXPECT_FALSE(open_);
  EXPECT_EQ(dialogs_.SaveQuestions.size(), 1u);
  EXPECT_TRUE(dialogs_.Messages.empty());

  // A folder, a path below a file, then (not as root) a folder we may not write in:
  // each shows the message naming the path, and the dialog stays for another try.
  std::vector<std::string> bad{data_.Path(), data_ / "tree/a.txt/out.csv"};
  if (::geteuid() != 0) {
    ::mkdir((data_ / "locked").c_str(), 0500);
    bad.push_back(data_ / "locked/out.csv");
  }
  for (const std::string& path : bad) {
    dialogs_.Messages.clear();
    std::vector<QString> answers{FromNarrow(path), FromNarrow(data_ / "good.csv")};
    dialogs_.OnSaveFile = [&](const TScriptedDialogs::TSaveQuestion&) {
      const QString next = answers.front();
      answers.erase(answers.begin());
      return next;
    };
    bool stayed = false;
    EXPECT_EQ(Open([&](TfrmCopyResult& csv) {
                csv.btnSave->click();
                stayed = csv.isVisible();
                csv.btnSave->click();
              }),
              int(QDialog::Accepted));
    EXPECT_TRUE(stayed) << path;
    ASSERT_EQ(dialogs_.Messages.size(), 1u) << path;
    EXPECT_EQ(dialogs_.Messages[0].Icon, TDialogs::TIcon::Error);
    EXPECT_TRUE(dialogs_.Messages[0].Text.startsWith(Msg(TMsg::SaveFailed) + QLatin1Char('\n') + FromNarrow(path)))
        << dialogs_.Messages[0].Text.toStdString();
    EXPECT_EQ(ReadWholeFile(data_ / "good.csv"),
              hovrak::unicode_to_sjis_cp932(L"ファイル名,行番号,\r\na.txt,1,\r\nsub/b.txt,1,\r\nsub/b.txt,2,\r\n"));
    ::unlink((data_ / "good.csv").c_str());
  }
  EXPECT_EQ(ReadWholeFile(data_ / "tree/a.txt"), "東京へ, \"行く\"\n");
}
