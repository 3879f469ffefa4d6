#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTextCursor>

#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "place/AbstractPlaceList.h"
#include "settings/Option.h"
#include "text/File.h"
#include "ui/PlacesView.h"
#include "ui/SonEdit.h"
#include "ui/UiText.h"
#include "ui/frmMain.h"
#include "ui/frmResult.h"
#include "ui/frmView.h"

namespace {

const QString kHit = QStringLiteral("検索語");

// A search over real files, then the view window on its places.
class ViewWindow : public ::testing::Test {
 protected:
  ViewWindow() : main(home / "Mirun.kel"), view(*main.frmView()) { main.App().Option->Backup = false; }

  std::string P(const std::string& name) const { return tree / name; }

  // Searches the tree's *.txt files and enters Found or NotFound.
  void Search(const QString& text) {
    main.App().Search({tree.Path()}, {"*.txt"}, hovrak::ToNarrow(text));
    main.frmResult()->RefreshPlaces();
    main.SetState(main.App().PlaceList && main.App().PlaceList->Count() > 0 ? TUiState::Found : TUiState::NotFound);
  }
  int Count() { return main.App().PlaceList ? main.App().PlaceList->Count() : 0; }

  QString Selected() const {
    return view.sedFile->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  }
  // Types text at the caret, as the user would.
  void Type(const QString& text) { view.sedFile->textCursor().insertText(text); }

  TScriptedDialogs dialogs;
  TTempDir home;
  TTempDir tree;
  TfrmMain main;
  TfrmView& view;
};

std::string Encoded(const std::wstring& text, TCharCode code) {
  std::string bytes;
  EXPECT_TRUE(TFile<wchar_t>::Encode(text, code, bytes));
  return bytes;
}

}  // namespace

TEST_F(ViewWindow, DesignedMenusStatusAndCaption) {
  EXPECT_EQ(view.windowTitle(), "Mirun");
  for (const char* name :
       {"mniFile", "mniSave", "mniEdit", "mniUndo", "mniCut", "mniCopy", "mniPaste", "mniFormat", "mniWrap", "mniPopup",
        "mniPopupUndo", "mniPopupCut", "mniPopupCopy", "mniPopupPaste", "sedFile", "stbPanel0"}) {
    EXPECT_NE(view.findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
  }
  EXPECT_EQ(view.mniFile->title(), hovrak::Msg(TMsg::MenuFile));
  EXPECT_EQ(view.mniSave->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
  EXPECT_EQ(view.mniUndo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
  EXPECT_FALSE(view.mniFormat->menuAction()->isVisible());
  EXPECT_FALSE(view.mniUndo->isEnabled());
  EXPECT_EQ(view.stbPanel0->text(), "1行目");
  EXPECT_FALSE(view.sedFile->Wrap());
  view.mniWrap->trigger();
  EXPECT_TRUE(view.sedFile->Wrap());
}

TEST_F(ViewWindow, HitSelectedInEveryCode) {
  // The hit follows two characters outside the BMP (four units) in the UTF codes,
  // and four ordinary ones elsewhere: column 6 either way.
  struct TCase {
    TCharCode Code;
    const wchar_t* Before;
  };
  const TCase cases[] = {{TCharCode::SJIS, L"あいうえお\x5F8C"},
                         {TCharCode::EUC, L"あいうえお\x5F8C"},
                         {TCharCode::JIS, L"あいうえお\x5F8C"},
                         {TCharCode::UTF8, L"\xD842\xDFB7\xD842\xDFB7あい"},
                         {TCharCode::UTF8N, L"\xD842\xDFB7\xD842\xDFB7あい"},
                         {TCharCode::UTF16, L"\xD842\xDFB7\xD842\xDFB7あい"},
                         {TCharCode::Auto, L"\xD842\xDFB7\xD842\xDFB7あい"}};
  for (const TCase& c : cases) {
    const std::wstring text = std::wstring(L"一行目\r\n") + c.Before + L"\x691C\x7D22\x8A9E\r\n";
    WriteWholeFile(P("a.txt"), Encoded(text, c.Code == TCharCode::Auto ? TCharCode::UTF8N : c.Code));
    main.App().Option->CharCode = c.Code;
    Search(kHit);
    ASSERT_EQ(Count(), 1) << static_cast<int>(c.Code);
    view.ShowPlace(0);
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(Selected(), kHit) << static_cast<int>(c.Code);
    EXPECT_EQ(view.sedFile->CaretLine(), 1);
    EXPECT_EQ(view.sedFile->CaretColumn(), 6);
    EXPECT_EQ(view.stbPanel0->text(), "2行目");
    EXPECT_FALSE(view.Modified());
    EXPECT_FALSE(view.ReadOnly());
    main.SetState(TUiState::Ready);  // closes the view; the next search loads again
    EXPECT_FALSE(view.isVisible());
    EXPECT_TRUE(view.ShownPath().empty());
  }
  // ASCII mode: the bytes are UTF-8; their byte column becomes editor units.
  WriteWholeFile(P("a.txt"),
                 "\xE4\xB8\x80\n\xF0\xA0\xAE\xB7\xF0\xA0\xAE\xB7\xE3\x81\x82\xE3\x81\x84"
                 "\xE6\xA4\x9C\xE7\xB4\xA2\xE8\xAA\x9E\n");
  main.App().Option->CharCode = TCharCode::ASCII;
  Search(kHit);
  ASSERT_EQ(Count(), 1);
  view.ShowPlace(0);
  EXPECT_EQ(Selected(), kHit);
  EXPECT_EQ(view.sedFile->CaretColumn(), 6);
  EXPECT_FALSE(view.ReadOnly());
}

TEST_F(ViewWindow, HitOverALineBreakAndWithoutLineNumbers) {
  WriteWholeFile(P("a.txt"),
                 "x\n\xF0\xA0\xAE\xB7"
                 "ab\n\xF0\xA0\xAE\xB7"
                 "cd\n");
  main.App().Option->Escape = true;
  main.App().Option->CharCode = TCharCode::UTF8N;
  Search(QStringLiteral("b\\n\U00020BB7c"));
  ASSERT_EQ(Count(), 1);
  view.ShowPlace(0);
  EXPECT_EQ(Selected(), QStringLiteral("b\n\U00020BB7c"));
  EXPECT_EQ(view.sedFile->CaretLine(), 1);
  EXPECT_EQ(view.sedFile->CaretColumn(), 3);

  // Without line numbers the column counts from the text's start, over line feeds.
  main.SetState(TUiState::Ready);
  main.App().Option->ShowLine = false;
  Search(QStringLiteral("\U00020BB7c"));
  ASSERT_EQ(Count(), 1);
  view.ShowPlace(0);
  EXPECT_EQ(Selected(), QStringLiteral("\U00020BB7c"));
  EXPECT_EQ(view.sedFile->CaretLine(), 2);
  EXPECT_EQ(view.sedFile->CaretColumn(), 0);
}

TEST_F(ViewWindow, SecondPlaceOfTheSameFileMovesWithoutReloadingOrAsking) {
  WriteWholeFile(P("a.txt"), "検索語\n--検索語\n");
  WriteWholeFile(P("b.txt"), "検索語\n");
  Search(kHit);
  ASSERT_EQ(Count(), 3);
  view.ShowPlace(0);
  view.sedFile->moveCursor(QTextCursor::End);
  Type(QStringLiteral("追加"));
  EXPECT_TRUE(view.Modified());
  view.ShowPlace(1);
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_TRUE(view.Modified());
  EXPECT_TRUE(view.sedFile->Text().endsWith(QStringLiteral("追加")));
  EXPECT_EQ(view.sedFile->CaretLine(), 1);
  EXPECT_EQ(view.sedFile->CaretColumn(), 2);
  // Another file asks first (Yes / No, no Cancel); No keeps the file as it was.
  dialogs.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::No; };
  view.ShowPlace(2);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(dialogs.Messages[0].Text.startsWith(
      QStringLiteral("\"%1\"への変更を保存しますか？").arg(hovrak::FromNarrow(P("a.txt")))));
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "検索語\n--検索語\n");
  EXPECT_EQ(view.ShownPath(), P("b.txt"));
  EXPECT_EQ(view.windowTitle(), QStringLiteral("Mirun - ") + hovrak::FromNarrow(P("b.txt")));
  EXPECT_FALSE(view.Modified());
}

TEST_F(ViewWindow, PlaceBeyondTheLastLineGoesToTheEndOfTheLastLine) {
  WriteWholeFile(P("a.txt"), "1\n2\n3\n検索語\n");
  Search(kHit);
  ASSERT_EQ(Count(), 1);
  WriteWholeFile(P("a.txt"), "abc\nde");  // changed since the search
  view.ShowPlace(0);
  EXPECT_EQ(view.sedFile->CaretLine(), 1);
  EXPECT_EQ(view.sedFile->CaretColumn(), 2);
  EXPECT_EQ(view.sedFile->SelLength(), 0);
}

TEST_F(ViewWindow, SaveWritesTheFilesOwnCodeBomAndLineEndsAndKeepsStrayCrs) {
  struct TCase {
    TCharCode Code;
    std::wstring Text;
  };
  const TCase cases[] = {
      {TCharCode::SJIS, L"\x691C\x7D22\x8A9E\r\nあ\r\n"},
      {TCharCode::EUC, L"\x691C\x7D22\x8A9E\rあ\r"},
      {TCharCode::JIS, L"\x691C\x7D22\x8A9E\nあ\n"},
      {TCharCode::UTF8, L"\x691C\x7D22\x8A9E\r\n\xD842\xDFB7\x00A0\r\n"},
      {TCharCode::UTF8N, L"\x691C\x7D22\x8A9E\nstray\rcr\x2028\n"},
      {TCharCode::UTF16, L"\x691C\x7D22\x8A9E\r\nあ"},
  };
  for (const TCase& c : cases) {
    WriteWholeFile(P("a.txt"), Encoded(c.Text, c.Code));
    main.App().Option->CharCode = c.Code;
    Search(kHit);
    ASSERT_EQ(Count(), 1) << static_cast<int>(c.Code);
    view.ShowPlace(0);
    Type(QStringLiteral("置換"));  // over the selected hit
    EXPECT_TRUE(view.Modified());
    view.mniSaveClick();
    EXPECT_FALSE(view.Modified());
    EXPECT_EQ(ReadWholeFile(P("a.txt")), Encoded(L"\x7F6E\x63DB" + c.Text.substr(3), c.Code))
        << static_cast<int>(c.Code);
    main.SetState(TUiState::Ready);
  }
  EXPECT_TRUE(dialogs.Messages.empty());
  // ASCII mode: an LF file's stray CR and a NUL stay, every other byte too.
  const std::string narrow("\xE6\xA4\x9C\xE7\xB4\xA2\xE8\xAA\x9E\nx\ry\0z\n", 16);
  WriteWholeFile(P("n.txt"), narrow);
  main.App().Option->CharCode = TCharCode::ASCII;
  Search(kHit);
  ASSERT_EQ(Count(), 1);
  view.ShowPlace(0);
  EXPECT_FALSE(view.ReadOnly());
  EXPECT_EQ(view.sedFile->LineText(1), QStringLiteral("x\u240Dy") + QChar(0) + QStringLiteral("z"));
  Type(QStringLiteral("A"));
  view.mniSaveClick();
  EXPECT_EQ(ReadWholeFile(P("n.txt")), "A" + narrow.substr(9));
}

TEST_F(ViewWindow, FilesThatCannotComeBackUnchangedAreReadOnly) {
  // ASCII mode over Shift-JIS bytes: shown decoded, not editable.
  WriteWholeFile(P("a.txt"), "abc\n\x93\xFA\x96\x7B abc\n");
  main.App().Option->CharCode = TCharCode::ASCII;
  Search(QStringLiteral("abc"));
  ASSERT_EQ(Count(), 2);
  view.ShowPlace(1);
  EXPECT_TRUE(view.ReadOnly());
  EXPECT_TRUE(view.sedFile->isReadOnly());
  EXPECT_FALSE(view.mniSave->isEnabled());
  EXPECT_FALSE(view.stbReadOnly->text().isEmpty());
  EXPECT_EQ(view.sedFile->LineText(1), QStringLiteral("日本 abc"));
  EXPECT_EQ(Selected(), QStringLiteral("abc"));
  EXPECT_EQ(view.sedFile->CaretColumn(), 3);
}

TEST_F(ViewWindow, CancelOnCloseKeepsTheWindowOpen) {
  WriteWholeFile(P("a.txt"), "検索語\n");
  Search(kHit);
  view.ShowPlace(0);
  Type(QStringLiteral("x"));
  dialogs.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::Cancel; };
  view.close();
  EXPECT_TRUE(view.isVisible());
  EXPECT_TRUE(view.Modified());
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(dialogs.Messages[0].Icon, TDialogs::TIcon::Question);
  // State Found: the question says the results may no longer fit.
  EXPECT_TRUE(dialogs.Messages[0].Text.contains(QStringLiteral("[置換]の前にもう一度[検索]")));
  dialogs.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::No; };
  view.close();
  EXPECT_FALSE(view.isVisible());
  EXPECT_TRUE(view.ShownPath().empty());
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "検索語\n");
  EXPECT_EQ(main.State(), TUiState::Found);
}

TEST_F(ViewWindow, FailedSaveOffersRetryAndCancel) {
  WriteWholeFile(P("a.txt"), "検索語\n");
  Search(kHit);
  view.ShowPlace(0);
  Type(QStringLiteral("x"));
  const std::size_t normal = TFileBase<wchar_t>::MaxSaveSize;
  TFileBase<wchar_t>::MaxSaveSize = 1;  // every save fails
  dialogs.OnMessage = [normal](const TScriptedDialogs::TMessage&) {
    TFileBase<wchar_t>::MaxSaveSize = normal;  // the retry succeeds
    return QMessageBox::Retry;
  };
  view.mniSaveClick();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Buttons, QMessageBox::Retry | QMessageBox::Cancel);
  EXPECT_EQ(dialogs.Messages[0].Icon, TDialogs::TIcon::Error);
  EXPECT_TRUE(dialogs.Messages[0].Text.startsWith(QStringLiteral("ファイル保存中にエラーが発生しました。\n\n")));
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "x\n");
  EXPECT_FALSE(view.Modified());
  EXPECT_EQ(main.State(), TUiState::NotFound);  // saved in Found: replacing needs a new search
  // The status bar says why replacing is off now.
  EXPECT_TRUE(main.frmResult()->stbPanel0->text().contains(QStringLiteral("もう一度検索してください")));

  // Cancel on the close path keeps the window and the changes.
  Type(QStringLiteral("y"));
  TFileBase<wchar_t>::MaxSaveSize = 1;
  dialogs.Messages.clear();
  dialogs.OnMessage = [](const TScriptedDialogs::TMessage& m) {
    return m.Buttons & QMessageBox::Retry ? QMessageBox::Cancel : QMessageBox::Yes;
  };
  view.close();
  TFileBase<wchar_t>::MaxSaveSize = normal;
  EXPECT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_TRUE(view.isVisible());
  EXPECT_TRUE(view.Modified());
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "x\n");
}

TEST_F(ViewWindow, LeavingTheResultsClosesTheViewAskingToSave) {
  WriteWholeFile(P("a.txt"), "検索語\n");
  Search(kHit);
  view.ShowPlace(0);
  Type(QStringLiteral("z"));
  main.SetState(TUiState::Ready);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(dialogs.Messages[0].Text,
            QStringLiteral("\"%1\"への変更を保存しますか？").arg(hovrak::FromNarrow(P("a.txt"))));
  EXPECT_FALSE(view.isVisible());
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "z\n");
  EXPECT_TRUE(view.ShownPath().empty());
}

TEST_F(ViewWindow, UnreadableFileIsToldAndNothingIsShown) {
  WriteWholeFile(P("a.txt"), "検索語\n");
  Search(kHit);
  std::remove(P("a.txt").c_str());
  view.ShowPlace(0);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Icon, TDialogs::TIcon::Error);
  EXPECT_TRUE(dialogs.Messages[0].Text.startsWith(
      QStringLiteral("以下のファイルの読み込み中にエラーが発生しました。\n\n") + hovrak::FromNarrow(P("a.txt"))));
  EXPECT_FALSE(view.isVisible());
  EXPECT_TRUE(view.ShownPath().empty());
  // Once the file is back, the same place loads it.
  WriteWholeFile(P("a.txt"), "検索語\n");
  view.ShowPlace(0);
  EXPECT_EQ(Selected(), kHit);
}

TEST_F(ViewWindow, BoundsPersistThroughTheMainWindow) {
  main.SetBounds(TPersistentWindows::TWindow::View, {10, 20, 400, 300});
  EXPECT_EQ(view.size(), QSize(400, 300));
  view.move(30, 40);
  const TPersistentWindows::TBounds bounds = main.Bounds(TPersistentWindows::TWindow::View);
  EXPECT_EQ(bounds.Left, 30);
  EXPECT_EQ(bounds.Top, 40);
  EXPECT_EQ(bounds.Width, 400);
  EXPECT_EQ(bounds.Height, 300);
}

TEST_F(ViewWindow, ResultWindowOpensTheViewByMenuAndDoubleClick) {
  WriteWholeFile(P("a.txt"), "abc\n検索語\n");
  Search(kHit);
  TfrmResult& result = *main.frmResult();
  result.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&result));
  const QPoint row0(200, result.scbPlaces->CheckBoxInRow().center().y());
  QTest::mouseDClick(result.pbxPlaces, Qt::LeftButton, {}, row0);
  EXPECT_TRUE(view.isVisible());
  EXPECT_EQ(Selected(), kHit);
  view.close();
  result.mniViewClick();
  EXPECT_TRUE(view.isVisible());
  QTest::mouseClick(result.pbxPlaces, Qt::RightButton, {}, row0);
  EXPECT_EQ(result.pmnPlaces->defaultAction(), result.mniView);
  EXPECT_TRUE(result.mniView->isEnabled());
  result.pmnPlaces->hide();
  // Outside Found and NotFound neither opens anything.
  main.SetState(TUiState::InSearch);
  EXPECT_FALSE(view.isVisible());
  result.mniViewClick();
  QTest::mouseDClick(result.pbxPlaces, Qt::LeftButton, {}, row0);
  EXPECT_FALSE(view.isVisible());
}
