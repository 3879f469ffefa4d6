#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "backup/Backup.h"
#include "place/AbstractPlaceList.h"
#include "settings/Option.h"
#include "shared/MessageTable.h"
#include "text/Conversions.h"
#include "ui/CheckImages.h"
#include "ui/PlacesHeader.h"
#include "ui/PlacesView.h"
#include "ui/UiText.h"
#include "ui/frmMain.h"
#include "ui/frmResult.h"

namespace {

// A search over real files with the result window shown.
class ResultWindow : public ::testing::Test {
 protected:
  ResultWindow() : main(home / "Mirun.kel"), result(*main.frmResult()) {
    main.App().Option->Backup = false;
    result.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&result));
  }

  std::string P(const std::string& name) const { return tree / name; }

  // Searches the tree's *.txt files and shows the places as Found.
  int Search(const std::string& text) {
    const int outcome = main.App().Search({tree.Path()}, {"*.txt"}, text);
    result.RefreshPlaces();
    main.SetState(main.App().PlaceList && main.App().PlaceList->Count() > 0 ? TUiState::Found : TUiState::NotFound);
    return outcome;
  }

  TAbstractPlace& Place(int i) { return *main.App().PlaceList->Item(i); }
  int Count() { return main.App().PlaceList ? main.App().PlaceList->Count() : 0; }

  // The centre of a row's tick box in the list surface.
  QPoint CheckBoxCentre(int row) {
    const TPlacesView& view = *result.scbPlaces;
    return view.CheckBoxInRow().center() +
           QPoint(0, static_cast<int>(static_cast<std::int64_t>(row) * view.RowHeight() - view.ScrollPosition()));
  }

  TScriptedDialogs dialogs;
  TTempDir home;
  TTempDir tree;
  TfrmMain main;
  TfrmResult& result;
};

// Columns of an image that hold anything but the background, within [left, right).
std::pair<int, int> InkedColumns(const QImage& image, int left, int right) {
  const QRgb background = image.pixel(image.width() - 1, 0);
  int first = -1;
  int last = -1;
  for (int x = std::max(left, 0); x < std::min(right, image.width()); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (image.pixel(x, y) != background) {
        if (first < 0) first = x;
        last = x;
        break;
      }
    }
  }
  return {first, last};
}

// UTF-16 little-endian with its BOM.
std::string Utf16(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (const wchar_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  }
  return bytes;
}

}  // namespace

TEST_F(ResultWindow, DesignedControlsCaptionsAndSize) {
  EXPECT_EQ(result.windowTitle(), hovrak::Msg(TMsg::ResultTitle));
  EXPECT_EQ(result.minimumSize(), QSize(340, 300));
  for (const char* name : {"pbxPlaces", "scbPlaces", "pnlPlacesHead", "pnlCheck", "pnlPos", "pnlFile", "pnlLine",
                           "edtPlacesDummy", "cmbReplacing", "btnConfirm", "btnReplace", "btnAllOn", "btnAllOff",
                           "btnReplacingEdit", "stbMain", "pmnPlaces", "tmrRedrawPlaces"}) {
    EXPECT_NE(result.findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
  }
  EXPECT_EQ(result.findChild<QLabel*>("pnlFile")->text(), hovrak::Msg(TMsg::ColumnFile));
  EXPECT_EQ(result.btnReplacingEdit->toolTip(), hovrak::Msg(TMsg::MultiLineInput));
  EXPECT_EQ(result.cmbReplacing->completer(), nullptr);
  EXPECT_EQ(result.pmnPlaces->actions().size(), 3);  // view, editor and copy path
  EXPECT_FALSE(result.btnReplace->isEnabled());
  EXPECT_EQ(result.stbPanel1->text(), "0件 見つかりました。");
}

TEST_F(ResultWindow, RowShowsHitCentredContextOnItsLineFileAndLine) {
  WriteWholeFile(P("a.txt"), "前の行\n" + std::string(60, 'l') + "ヒット" + std::string(60, 'r') + "\n次の行\n");
  ASSERT_EQ(Search("ヒット"), SearchCompleted);
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(result.stbPanel1->text(), "1件 見つかりました。");
  TPlacesView& view = *result.scbPlaces;
  const TPlaceColumns& columns = result.pnlPlacesHead->Columns();
  const TPlaceColumn pos = columns[TPlaceColumns::Pos];
  const TPlaceColumn line = columns[TPlaceColumns::Line];

  // With context drawn, ink runs over the whole position column.
  QImage image = view.RenderRows(0, 1, 700, 1.0);
  const auto withContext = InkedColumns(image, pos.Left, pos.Right());
  EXPECT_LT(withContext.first, pos.Left + 40);
  EXPECT_GT(withContext.second, pos.Right() - 40);
  EXPECT_NE(InkedColumns(image, line.Left, line.Right()).first, -1);  // "2"

  // The hit alone (no context, line numbers off) sits in the column's middle.
  WriteWholeFile(P("a.txt"), "ヒット");
  main.App().Option->ShowLine = false;
  ASSERT_EQ(Search("ヒット"), SearchCompleted);
  image = view.RenderRows(0, 1, 700, 1.0);
  const auto hit = InkedColumns(image, pos.Left, pos.Right());
  ASSERT_NE(hit.first, -1);
  EXPECT_NEAR((hit.first + hit.second) / 2.0, pos.Left + pos.Width / 2.0, 3.0);
  EXPECT_EQ(InkedColumns(image, line.Left, line.Right()).first, -1);

  // The tick box is centred in its column.
  const TPlaceColumn check = columns[TPlaceColumns::Check];
  const auto box = InkedColumns(image, check.Left, check.Right());
  EXPECT_EQ(box.second - box.first + 1, TCheckImages::kSize);
  EXPECT_EQ(box.first, check.Left + (check.Width - TCheckImages::kSize) / 2);
}

TEST_F(ResultWindow, HitWiderThanItsColumnIsClippedWithoutContext) {
  WriteWholeFile(P("a.txt"), "左" + std::string(200, 'w') + "右");
  ASSERT_EQ(Search(std::string(200, 'w')), SearchCompleted);
  const TPlaceColumns& columns = result.pnlPlacesHead->Columns();
  const QImage image = result.scbPlaces->RenderRows(0, 1, 700, 1.0);
  const TPlaceColumn pos = columns[TPlaceColumns::Pos];
  // Nothing between the tick column and the file column but inside the position column.
  EXPECT_EQ(InkedColumns(image, columns[0].Right(), pos.Left).first, -1);
  EXPECT_EQ(InkedColumns(image, pos.Right(), columns[TPlaceColumns::File].Left).first, -1);
}

TEST_F(ResultWindow, ClickInTheBoxAndSpaceToggleOtherClicksOnlyMoveTheRow) {
  WriteWholeFile(P("a.txt"), "x\nx\nx\n");
  ASSERT_EQ(Search("x"), SearchCompleted);
  ASSERT_EQ(Count(), 3);
  QTest::mouseClick(result.pbxPlaces, Qt::LeftButton, {}, CheckBoxCentre(1));
  EXPECT_FALSE(Place(1).Checked);
  EXPECT_EQ(result.CurrentRow(), 1);
  EXPECT_TRUE(result.edtPlacesDummy->hasFocus());

  const QPoint inPosition(result.pnlPlacesHead->Columns()[TPlaceColumns::Pos].Left + 5, CheckBoxCentre(2).y());
  QTest::mouseClick(result.pbxPlaces, Qt::LeftButton, {}, inPosition);
  EXPECT_TRUE(Place(2).Checked);
  EXPECT_EQ(result.CurrentRow(), 2);
  QTest::mouseClick(result.pbxPlaces, Qt::RightButton, {}, CheckBoxCentre(0));
  EXPECT_TRUE(Place(0).Checked);  // only the left button ticks
  EXPECT_EQ(result.CurrentRow(), 0);
  result.pmnPlaces->hide();

  QTest::keyClick(result.edtPlacesDummy, Qt::Key_Space);
  EXPECT_FALSE(Place(0).Checked);
  QTest::keyClick(result.edtPlacesDummy, Qt::Key_Space);
  EXPECT_TRUE(Place(0).Checked);

  // The rendered box follows the tick.
  result.btnAllOff->click();
  EXPECT_FALSE(Place(0).Checked || Place(1).Checked || Place(2).Checked);
  const QImage off = result.scbPlaces->RenderRows(0, 1, 700, 1.0);
  result.btnAllOn->click();
  EXPECT_TRUE(Place(0).Checked && Place(1).Checked && Place(2).Checked);
  EXPECT_NE(result.scbPlaces->RenderRows(0, 1, 700, 1.0), off);
}

TEST_F(ResultWindow, TheCurrentRowIsDrawnWhereClicksAndKeysMoveIt) {
  WriteWholeFile(P("a.txt"), "x\nx\nx\n");
  ASSERT_EQ(Search("x"), SearchCompleted);
  const TPlacesView& view = *result.scbPlaces;
  const QColor base = view.palette().color(QPalette::Base);
  // The gap between the file and the line column never holds text.
  const int x = result.pnlPlacesHead->Columns()[TPlaceColumns::File].Right() + 2;
  const auto marked = [&](int row) {
    const QImage image = result.pbxPlaces->grab().toImage();
    return image.pixelColor(x, row * view.RowHeight() + view.RowHeight() / 2) != base;
  };
  const QPoint inPosition(result.pnlPlacesHead->Columns()[TPlaceColumns::Pos].Left + 5, CheckBoxCentre(1).y());
  QTest::mouseClick(result.pbxPlaces, Qt::LeftButton, {}, inPosition);
  ASSERT_TRUE(result.edtPlacesDummy->hasFocus());
  EXPECT_TRUE(marked(1));
  EXPECT_FALSE(marked(0));
  EXPECT_FALSE(marked(2));
  QTest::keyClick(result.edtPlacesDummy, Qt::Key_End);
  EXPECT_TRUE(marked(2));
  EXPECT_FALSE(marked(1));
  QTest::keyClick(result.edtPlacesDummy, Qt::Key_Home);
  EXPECT_TRUE(marked(0));
  // Space ticks the row that is drawn as current.
  QTest::keyClick(result.edtPlacesDummy, Qt::Key_Space);
  EXPECT_FALSE(Place(0).Checked);
  EXPECT_TRUE(Place(1).Checked && Place(2).Checked);
}

TEST_F(ResultWindow, TheFileColumnShowsTheFullPathAsATooltip) {
  WriteWholeFile(P("a rather long file name that the column cannot hold.txt"), "x\n");
  ASSERT_EQ(Search("x"), SearchCompleted);
  const TPlaceColumns& columns = result.pnlPlacesHead->Columns();
  const int y = CheckBoxCentre(0).y();
  EXPECT_EQ(result.scbPlaces->ToolTipAt(QPoint(columns[TPlaceColumns::File].Left + 3, y)),
            QString::fromStdString(P("a rather long file name that the column cannot hold.txt")));
  EXPECT_EQ(result.scbPlaces->ToolTipAt(QPoint(columns[TPlaceColumns::Pos].Left + 3, y)), QString());
  EXPECT_EQ(
      result.scbPlaces->ToolTipAt(QPoint(columns[TPlaceColumns::File].Left + 3, y + 5 * result.scbPlaces->RowHeight())),
      QString());  // below the last row
}

TEST_F(ResultWindow, KeysMoveTheCurrentRowAndScrollItIntoView) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "x\n";
  WriteWholeFile(P("a.txt"), text);
  ASSERT_EQ(Search("x"), SearchCompleted);
  ASSERT_EQ(Count(), 100);
  TPlacesView& view = *result.scbPlaces;
  QWidget* keys = result.edtPlacesDummy;
  const int page = view.viewport()->height() / view.RowHeight();
  ASSERT_GT(page, 1);

  QTest::keyClick(keys, Qt::Key_Down);
  QTest::keyClick(keys, Qt::Key_Down);
  EXPECT_EQ(result.CurrentRow(), 2);
  QTest::keyClick(keys, Qt::Key_Up);
  EXPECT_EQ(result.CurrentRow(), 1);
  QTest::keyClick(keys, Qt::Key_Up);
  QTest::keyClick(keys, Qt::Key_Up);
  EXPECT_EQ(result.CurrentRow(), 0);
  QTest::keyClick(keys, Qt::Key_PageDown);
  EXPECT_EQ(result.CurrentRow(), page);
  QTest::keyClick(keys, Qt::Key_End);
  EXPECT_EQ(result.CurrentRow(), 99);
  // The last row's bottom touches the lower edge.
  EXPECT_EQ(view.ScrollPosition(), 100LL * view.RowHeight() - view.viewport()->height());
  QTest::keyClick(keys, Qt::Key_PageUp);
  EXPECT_EQ(result.CurrentRow(), 99 - page);
  QTest::keyClick(keys, Qt::Key_Home);
  EXPECT_EQ(result.CurrentRow(), 0);
  EXPECT_EQ(view.ScrollPosition(), 0);

  // Wheel: 16 pixels a notch.
  QWheelEvent down(QPointF(10, 10), result.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&result, &down);
  EXPECT_EQ(view.ScrollPosition(), 16);

  // Refreshing a shorter list pulls the current row back inside it.
  result.SetCurrentRow(99);
  main.App().PlaceList->Erase(10, 90);
  result.RefreshPlaces();
  EXPECT_EQ(result.CurrentRow(), 9);
}

TEST_F(ResultWindow, EndOnAnEmptyListKeepsRowZero) {
  WriteWholeFile(P("a.txt"), "nothing here");
  ASSERT_EQ(Search("x"), SearchCompleted);
  EXPECT_EQ(Count(), 0);
  QTest::keyClick(result.edtPlacesDummy, Qt::Key_End);
  EXPECT_EQ(result.CurrentRow(), 0);
  QTest::keyClick(result.edtPlacesDummy, Qt::Key_Space);  // nothing to tick, nothing breaks
  result.ToggleCheck(5);
  result.SetCurrentRow(-3);
  EXPECT_EQ(result.CurrentRow(), 0);
}

TEST_F(ResultWindow, HeaderGapDragStopsAt32AndResizeFeedsThePositionColumn) {
  TPlacesHeader& header = *result.pnlPlacesHead;
  const TPlaceColumns before = header.Columns();
  const int gap = before[TPlaceColumns::Check].Right() + 1;
  QTest::mousePress(&header, Qt::LeftButton, {}, QPoint(gap, 5));
  EXPECT_EQ(header.DragColumn(), TPlaceColumns::Check);
  QTest::mouseMove(&header, QPoint(gap - 10, 5));
  EXPECT_EQ(header.Columns()[TPlaceColumns::Check].Width, before[TPlaceColumns::Check].Width - 10);
  EXPECT_EQ(header.Columns()[TPlaceColumns::Pos].Left, before[TPlaceColumns::Pos].Left - 10);
  EXPECT_EQ(header.findChild<QLabel*>("pnlPos")->x(), before[TPlaceColumns::Pos].Left - 10);
  const int allowed = before[TPlaceColumns::Check].Width - 32;
  QTest::mouseMove(&header, QPoint(gap - allowed - 1, 5));  // one too far: refused
  EXPECT_EQ(header.Columns()[TPlaceColumns::Check].Width, before[TPlaceColumns::Check].Width - 10);
  QTest::mouseMove(&header, QPoint(gap - allowed, 5));
  EXPECT_EQ(header.Columns()[TPlaceColumns::Check].Width, 32);
  QTest::mouseRelease(&header, Qt::LeftButton, {}, QPoint(gap - allowed, 5));
  EXPECT_EQ(header.DragColumn(), -1);

  // A press on a panel is no drag.
  QTest::mousePress(header.pnlFile, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(header.DragColumn(), -1);

  // A wider window: the file column gets a third of the room, the position the rest.
  const int posWidth = header.Columns()[TPlaceColumns::Pos].Width;
  const int fileWidth = header.Columns()[TPlaceColumns::File].Width;
  result.resize(result.width() + 99, result.height());
  QApplication::processEvents();
  EXPECT_EQ(header.Columns()[TPlaceColumns::File].Width, fileWidth + 33);
  EXPECT_EQ(header.Columns()[TPlaceColumns::Pos].Width, posWidth + 66);
  EXPECT_EQ(header.Columns()[TPlaceColumns::Line].Right(), header.width());
}

TEST_F(ResultWindow, DeferredRefreshOnlyStartsTheTimer) {
  WriteWholeFile(P("a.txt"), "x x x");
  main.App().Search({tree.Path()}, {"*.txt"}, "x");
  result.RefreshPlaces(true, true);
  EXPECT_TRUE(result.tmrRedrawPlaces->isActive());
  EXPECT_EQ(result.stbPanel1->text(), "0件 見つかりました。");
  EXPECT_EQ(result.tmrRedrawPlaces->interval(), 500);
  QTRY_COMPARE_WITH_TIMEOUT(result.stbPanel1->text(), QString("3件 見つかりました。"), 2000);
  EXPECT_FALSE(result.tmrRedrawPlaces->isActive());
}

TEST_F(ResultWindow, PaintingReusesTheCachedRangeUntilSomethingChanges) {
  WriteWholeFile(P("a.txt"), "x\nx\nx\n");
  ASSERT_EQ(Search("x"), SearchCompleted);
  TPlacesView& view = *result.scbPlaces;
  QImage image(view.viewport()->size(), QImage::Format_ARGB32);
  view.viewport()->render(&image);
  const int renders = view.RenderCount();
  view.viewport()->render(&image);
  EXPECT_EQ(view.RenderCount(), renders);
  result.ToggleCheck(0);
  view.viewport()->render(&image);
  EXPECT_EQ(view.RenderCount(), renders + 1);
  result.RefreshPlaces(true, false);  // the timer's refresh keeps the cache
  view.viewport()->render(&image);
  EXPECT_EQ(view.RenderCount(), renders + 1);
}

namespace {

// A list far taller than an int of pixels, all rows the same place.
class THugeList : public TAbstractPlaceList {
 public:
  class TOnePlace : public TAbstractPlace {
   public:
    std::string GetText() const override { return "hit"; }
    std::string GetPrevText() const override { return "before "; }
    std::string GetNextText() const override { return " after"; }
  };
  TAbstractPlace* Item(int) const override { return &place_; }
  int Count() const override { return 200000000; }
  void Erase(int, int) override {}
  void EraseIf(const std::function<bool(const TAbstractPlace&)>&) override {}

 private:
  mutable TOnePlace place_;
};

}  // namespace

TEST_F(ResultWindow, ListTallerThanAnIntOfPixelsScrollsByRows) {
  main.App().PlaceList = std::make_unique<THugeList>();
  result.RefreshPlaces();
  TPlacesView& view = *result.scbPlaces;
  EXPECT_GT(view.SurfaceHeight(), static_cast<std::int64_t>(INT_MAX));
  QTest::keyClick(result.edtPlacesDummy, Qt::Key_End);
  EXPECT_EQ(result.CurrentRow(), 200000000 - 1);
  const std::int64_t bottom = view.SurfaceHeight();
  EXPECT_GE(view.ScrollPosition() + view.viewport()->height(), bottom);
  EXPECT_LE(view.ScrollPosition() + view.viewport()->height(), bottom + view.RowHeight());
  QImage image(view.viewport()->size(), QImage::Format_ARGB32);
  image.fill(Qt::black);
  view.viewport()->render(&image);
  EXPECT_EQ(image.pixel(image.width() / 2, image.height() - 2), QColor(Qt::white).rgb());  // drawn, not left black
  QTest::mouseClick(result.pbxPlaces, Qt::LeftButton, {}, CheckBoxCentre(200000000 - 1));
  EXPECT_FALSE(main.App().PlaceList->Item(0)->Checked);
  QTest::keyClick(result.edtPlacesDummy, Qt::Key_Home);
  EXPECT_EQ(view.ScrollPosition(), 0);
  main.App().PlaceList.reset();
  result.RefreshPlaces();
}

TEST_F(ResultWindow, PreviewListsTickedPlacesWithTheirReplacement) {
  WriteWholeFile(P("a.txt"), "一つ目の日本語\n二つ目の日本語\n");
  ASSERT_EQ(Search("日本語"), SearchCompleted);
  ASSERT_EQ(Count(), 2);
  Place(1).Checked = false;
  result.cmbReplacing->setEditText("にほんご");
  const auto rows = result.PreviewRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Prev, "一つ目の");
  EXPECT_EQ(rows[0].Hit, "日本語");
  EXPECT_EQ(rows[0].Replacement, "にほんご");
  EXPECT_EQ(rows[0].Next, "");
  EXPECT_EQ(rows[0].File, QString::fromStdString(P("a.txt")));  // no display base here
  EXPECT_EQ(rows[0].Line, "1");
  result.btnConfirm->click();
  ASSERT_EQ(dialogs.ExecTitles.size(), 1u);  // the confirmation list, shown modally
}

TEST_F(ResultWindow, ReplaceQuestionTextDefaultButtonAndNo) {
  WriteWholeFile(P("a.txt"), "abc abc");
  // The search box first: editing it afterwards would discard the results.
  main.cmbSearched->setEditable(true);
  main.cmbSearched->setEditText("abc");
  ASSERT_EQ(Search("abc"), SearchCompleted);
  result.cmbReplacing->setEditText("");
  dialogs.OnMessage = [](const TScriptedDialogs::TMessage&) { return QMessageBox::No; };
  result.btnReplace->click();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  const auto& question = dialogs.Messages[0];
  EXPECT_EQ(question.Text, "リストでチェックされている全ての\n\"abc\"を\"\"で\n置き換えます。よろしいですか？");
  EXPECT_EQ(question.Caption, "Mirun");
  EXPECT_EQ(question.Icon, TDialogs::TIcon::Warning);
  EXPECT_EQ(question.Buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(question.DefaultButton, QMessageBox::No);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "abc abc");  // No: nothing happens
  EXPECT_EQ(main.State(), TUiState::Found);

  result.cmbReplacing->setEditText("x%sy");
  result.btnReplace->click();
  EXPECT_EQ(dialogs.Messages.back().Text,
            "リストでチェックされている全ての\n\"abc\"を\"x%sy\"で\n置き換えます。よろしいですか？");
  EXPECT_EQ(dialogs.Messages.back().DefaultButton, QMessageBox::Yes);

  // Only in Found.
  main.SetState(TUiState::NotFound);
  result.btnReplace->click();
  EXPECT_EQ(dialogs.Messages.size(), 2u);
}

TEST_F(ResultWindow, ReplaceThroughTheWindowRewritesEveryCodeAndBacksUp) {
  const std::wstring body = L"これは日本語の文章です。検索して置換するための行。\n二行目にも検索の語。\n";
  WriteWholeFile(P("sjis.txt"), hovrak::unicode_to_sjis_cp932(body));
  WriteWholeFile(P("euc.txt"), hovrak::unicode_to_euc(body));
  WriteWholeFile(P("utf8.txt"), hovrak::unicode_to_utf8(body));
  WriteWholeFile(P("utf16.txt"), Utf16(body));
  WriteWholeFile(P("untouched.txt"), hovrak::unicode_to_utf8(body));
  TTempDir backups;
  main.App().Option->Backup = true;
  main.App().Backup->BackupDir = backups.Path();
  main.App().Backup->MaxSize = 100000000;
  ASSERT_EQ(Search("検索"), SearchCompleted);
  ASSERT_EQ(Count(), 10);
  for (int i = 0; i < Count(); ++i) {
    if (Place(i).FileName() == P("untouched.txt")) Place(i).Checked = false;
  }
  result.cmbReplacing->setEditText("探索");
  result.btnReplace->setEnabled(true);
  result.btnReplace->click();

  std::wstring replaced = body;
  for (std::size_t at; (at = replaced.find(L"検索")) != std::wstring::npos;) replaced.replace(at, 2, L"探索");
  EXPECT_EQ(ReadWholeFile(P("sjis.txt")), hovrak::unicode_to_sjis_cp932(replaced));
  EXPECT_EQ(ReadWholeFile(P("euc.txt")), hovrak::unicode_to_euc(replaced));
  EXPECT_EQ(ReadWholeFile(P("utf8.txt")), hovrak::unicode_to_utf8(replaced));
  EXPECT_EQ(ReadWholeFile(P("utf16.txt")), Utf16(replaced));
  EXPECT_EQ(ReadWholeFile(P("untouched.txt")), hovrak::unicode_to_utf8(body));
  ASSERT_EQ(main.App().Backup->Units.size(), 1u);
  const TBackupUnit& unit = *main.App().Backup->Units.front();
  EXPECT_EQ(unit.Files.size(), 4u);
  EXPECT_EQ(ReadWholeFile(unit.Folder() + "/sjis.txt"), hovrak::unicode_to_sjis_cp932(body));

  // The unticked file's places remain, ticked again; the window stays in Found.
  ASSERT_EQ(Count(), 2);
  EXPECT_TRUE(Place(0).Checked && Place(1).Checked);
  EXPECT_EQ(main.State(), TUiState::Found);
  EXPECT_EQ(result.stbPanel1->text(), "2件 見つかりました。");
  EXPECT_EQ(TfrmResult::ReplaceStatusRow(ReplaceCompleted), TMsg::ReplaceCompleted);
  EXPECT_EQ(TfrmResult::ReplaceStatusRow(ReplaceStopped), TMsg::ReplaceStopped);
  EXPECT_EQ(TfrmResult::ReplaceStatusRow(ReplaceBackupFailed), TMsg::ReplaceStopped);

  // Replacing the rest empties the list and ends in Ready.
  result.btnReplace->click();
  EXPECT_EQ(Count(), 0);
  EXPECT_EQ(main.State(), TUiState::Ready);
  EXPECT_EQ(ReadWholeFile(P("untouched.txt")), hovrak::unicode_to_utf8(replaced));
}

TEST_F(ResultWindow, BackupRefusedLeavesFilesAndTicksAsTheyWere) {
  WriteWholeFile(P("a.txt"), "abc\nabc\n");
  main.App().Option->Backup = true;
  WriteWholeFile(home / "blocked", "a file where the backup folder should be");
  main.App().Backup->BackupDir = home / "blocked/Backup";
  ASSERT_EQ(Search("abc"), SearchCompleted);
  Place(1).Checked = false;
  result.cmbReplacing->setEditText("xyz");
  result.btnReplace->click();  // the backup fails; nobody agrees to go on without it
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "abc\nabc\n");
  ASSERT_EQ(Count(), 2);
  EXPECT_TRUE(Place(0).Checked);
  EXPECT_FALSE(Place(1).Checked);
  EXPECT_EQ(main.State(), TUiState::Found);
}

TEST_F(ResultWindow, ReplaceThatFailsMidwayIsToldAndLeavesTheReplacingState) {
  WriteWholeFile(P("a.txt"), "abc");
  main.App().OnFileError = [](const std::string&, TFileOperationResult, int) -> TDecision {
    throw std::runtime_error("the question broke");
  };
  ASSERT_EQ(Search("abc"), SearchCompleted);
  // The file changes after the search, and answering the question goes wrong.
  struct timespec times[2] = {{0, UTIME_OMIT}, {1000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, P("a.txt").c_str(), times, 0), 0);
  result.cmbReplacing->setEditText("x");
  result.btnReplace->click();
  EXPECT_EQ(main.State(), TUiState::Found);
  ASSERT_EQ(dialogs.Messages.size(), 2u);  // the replace question, then the error
  EXPECT_EQ(dialogs.Messages[1].Text, hovrak::Msg(TMsg::ErrorOccurred) + "\nthe question broke");
  EXPECT_EQ(dialogs.Messages[1].Icon, TDialogs::TIcon::Error);
  EXPECT_EQ(ReadWholeFile(P("a.txt")), "abc");
  EXPECT_EQ(Count(), 1);
}

TEST_F(ResultWindow, EditorNotSetAndStartFailureAreTold) {
  WriteWholeFile(P("a.txt"), "abc");
  ASSERT_EQ(Search("abc"), SearchCompleted);
  result.OpenInEditor(0);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, hovrak::Msg(TMsg::NoEditorSet));
  EXPECT_EQ(dialogs.Messages[0].Caption, "Mirun");
  EXPECT_EQ(dialogs.Messages[0].Icon, TDialogs::TIcon::Warning);

  // An existing file that may not be run.
  WriteWholeFile(home / "not-a-program", "#!/bin/sh\n");
  chmod((home / "not-a-program").c_str(), 0644);
  main.App().Option->Editor = home / "not-a-program";
  result.OpenInEditor(0);
  ASSERT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_EQ(dialogs.Messages[1].Text, hovrak::Msg(TMsg::EditorFailed));

  // No list, or a row outside it: nothing at all.
  result.OpenInEditor(7);
  EXPECT_EQ(dialogs.Messages.size(), 2u);
}

TEST_F(ResultWindow, DoubleClickOpensTheEditorOnlyWhenItIsTheDefault) {
  WriteWholeFile(P("a.txt"), "abc");
  ASSERT_EQ(Search("abc"), SearchCompleted);
  const QPoint row0(200, CheckBoxCentre(0).y());
  QTest::mouseDClick(result.pbxPlaces, Qt::LeftButton, {}, row0);
  EXPECT_TRUE(dialogs.Messages.empty());  // the view window, not the editor
  main.App().Option->EditorDefault = true;
  QTest::mouseDClick(result.pbxPlaces, Qt::LeftButton, {}, row0);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, hovrak::Msg(TMsg::NoEditorSet));  // the editor was asked for
  main.SetState(TUiState::InSearch);
  QTest::mouseDClick(result.pbxPlaces, Qt::LeftButton, {}, row0);
  result.mniEditorClick();
  EXPECT_EQ(dialogs.Messages.size(), 1u);

  main.SetState(TUiState::Found);
  QTest::mouseClick(result.pbxPlaces, Qt::RightButton, {}, row0);
  EXPECT_EQ(result.pmnPlaces->defaultAction(), result.mniEditor);
  result.pmnPlaces->hide();
  main.App().Option->EditorDefault = false;
  QTest::mouseClick(result.pbxPlaces, Qt::RightButton, {}, row0);
  EXPECT_EQ(result.pmnPlaces->defaultAction(), result.mniView);
  result.pmnPlaces->hide();
}

TEST_F(ResultWindow, CopyPathPutsTheWholeFileNameOnTheClipboard) {
  WriteWholeFile(P("sub dir/日本語.txt"), "abc");
  main.App().Option->SubDir = true;
  ASSERT_EQ(Search("abc"), SearchCompleted);
  ASSERT_EQ(Count(), 1);
  result.mniCopyPath->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), hovrak::FromNarrow(P("sub dir/日本語.txt")));
}

TEST_F(ResultWindow, ClosingIsRefusedWhileARunIsActive) {
  main.SetState(TUiState::InSearch);
  EXPECT_FALSE(result.close());
  main.SetState(TUiState::InReplace);
  EXPECT_FALSE(result.close());
  main.SetState(TUiState::NotFound);
  EXPECT_TRUE(result.close());
  EXPECT_EQ(main.State(), TUiState::Ready);
}

namespace {

// An editor that writes its argument count and arguments into a file.
std::string RecordingEditor(const TTempDir& dir) {
  const std::string path = dir / "editor.sh";
  WriteWholeFile(path, "#!/bin/sh\necho $# \"$@\" > \"" + (dir / "args.out") + "\"\n");
  chmod(path.c_str(), 0755);
  return path;
}

std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 500; ++i) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && info.st_size > 0) return ReadWholeFile(path);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return "(not written)";
}

}  // namespace

TEST_F(ResultWindow, EditorCommandWithoutBlanksStartsWithNoParameters) {
  WriteWholeFile(P("a.txt"), "abc");
  ASSERT_EQ(Search("abc"), SearchCompleted);
  main.App().Option->Editor = RecordingEditor(home);
  result.OpenInEditor(0);
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(WaitForFile(home / "args.out"), "0\n");
}

// Needs the editor command's placeholders, program split and PATH lookup.
TEST_F(ResultWindow, EditorCommandPlaceholdersSplitAndProgramNotFound) {
  WriteWholeFile(P("b c.txt"), "\nxx abc");
  ASSERT_EQ(Search("abc"), SearchCompleted);
  main.App().Option->Editor = "\"" + RecordingEditor(home) + "\" \"%p\" -l%l -c%c";
  result.OpenInEditor(0);
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(WaitForFile(home / "args.out"), "3 " + P("b c.txt") + " -l2 -c4\n");

  main.App().Option->Editor = "no-such-editor-for-mirun \"%p\"";
  result.OpenInEditor(0);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, hovrak::Msg(TMsg::EditorNotFound));
  EXPECT_EQ(dialogs.Messages[0].Icon, TDialogs::TIcon::Warning);
}
