#include <gtest/gtest.h>

#include <map>
#include <string>

#include "TestSupport.h"
#include "settings/KELNode.h"
#include "settings/Option.h"
#include "settings/PersistentWindows.h"
#include "settings/Serializer.h"

using hovrak::TKELNode;
using THistory = TPersistentWindows::THistory;
using TWindow = TPersistentWindows::TWindow;
using TBounds = TPersistentWindows::TBounds;

namespace {

// Windows reduced to their lists and bounds, counting how often they are set.
class TPlainWindows : public TPersistentWindows {
 public:
  std::map<THistory, TStringVector> Histories;
  std::map<TWindow, TBounds> WindowBounds;
  int HistorySets = 0;
  int BoundsSets = 0;

  TStringVector History(THistory history) const override {
    const auto it = Histories.find(history);
    return it == Histories.end() ? TStringVector() : it->second;
  }
  void SetHistory(THistory history, const TStringVector& items) override {
    Histories[history] = items;
    ++HistorySets;
  }
  TBounds Bounds(TWindow window) const override {
    const auto it = WindowBounds.find(window);
    return it == WindowBounds.end() ? TBounds() : it->second;
  }
  void SetBounds(TWindow window, const TBounds& bounds) override {
    WindowBounds[window] = bounds;
    ++BoundsSets;
  }
  std::vector<std::int32_t> Columns;
  int ColumnSets = 0;
  std::vector<std::int32_t> ColumnWidths() const override { return Columns; }
  void SetColumnWidths(const std::vector<std::int32_t>& widths) override {
    Columns = widths;
    ++ColumnSets;
  }
};

// Stands in for the backup store: keeps its block's entries and writes them back.
class TRawBlock : public hovrak::TKELObject {
 public:
  TKELNode Block;
  void Read(TKELNode& node) override { Block = std::move(node); }
  void Write(TKELNode& node) const override { node.LoadFromBytes(Block.SaveToBytes()); }
};

// One program's worth of remembered objects.
struct TProgram {
  TOption Option;
  TRawBlock Backup;
  TPlainWindows Windows;
  TSerializer Serializer{&Option, &Backup, &Windows};

  TProgram() {
    Windows.WindowBounds[TWindow::Main] = {10, 20, 500, 300};
    Windows.WindowBounds[TWindow::Result] = {10, 320, 500, 400};
    Windows.WindowBounds[TWindow::View] = {0, 0, 1024, 320};
  }
  void Load(const std::string& bytes) {
    TKELNode node;
    node.LoadFromBytes(bytes);
    Serializer.Read(node);
  }
  std::string Save() const {
    TKELNode node;
    Serializer.Write(node);
    return node.SaveToBytes();
  }
};

}  // namespace

TEST(SerializerTest, TheExampleSettingsFileLoads) {
  TProgram program;
  ASSERT_TRUE(program.Serializer.LoadFromFile(TestDataPath("example-settings.kel")));
  EXPECT_EQ(program.Windows.Histories[THistory::Path], (TStringVector{"C:\\work\\src"}));
  EXPECT_EQ(program.Windows.Histories[THistory::Filter], (TStringVector{"*.txt *.htm *.html", "*.c *.cpp *.h"}));
  EXPECT_TRUE(program.Windows.Histories[THistory::Searched].empty());
  const TBounds main = program.Windows.WindowBounds[TWindow::Main];
  EXPECT_EQ(main.Left, 120);
  EXPECT_EQ(main.Top, 80);
  EXPECT_EQ(main.Width, 500) << "the main window's size is not stored";
  EXPECT_EQ(program.Windows.WindowBounds[TWindow::Result].Top, 320);
  EXPECT_FALSE(program.Serializer.Ver3First);
  EXPECT_TRUE(program.Option.CaseSensitive);
  EXPECT_EQ(program.Option.MaxFileSize, 52428800);
  ASSERT_EQ(program.Backup.Block.Data().size(), 3u);
  EXPECT_EQ(program.Backup.Block.Data().front().Value, "D:\\tools\\Backup");
  ASSERT_EQ(program.Backup.Block.Children().size(), 1u);
  EXPECT_EQ(program.Backup.Block.Children().front().Node->Data().size(), 6u);
}

TEST(SerializerTest, WrittenFileReadsBackToTheSameBytes) {
  TTempDir dir;
  TProgram first;
  first.Load(ReadWholeFile(TestDataPath("example-settings.kel")));
  first.Option.Mode = TSearchMode::Regex;
  first.Option.Editor = "\"/usr/bin/my ed\" \"%p\"";
  first.Windows.Histories[THistory::Searched] = {"foo", " spaced ", "a=b{c}"};
  first.Windows.Histories[THistory::Replacing] = {""};
  first.Windows.WindowBounds[TWindow::View] = {-5, -6, 700, 800};
  ASSERT_TRUE(first.Serializer.SaveToFile(dir / "Mirun.kel"));
  const std::string bytes = ReadWholeFile(dir / "Mirun.kel");

  TProgram second;
  ASSERT_TRUE(second.Serializer.LoadFromFile(dir / "Mirun.kel"));
  EXPECT_EQ(second.Save(), bytes);
  EXPECT_EQ(second.Windows.Histories[THistory::Searched], first.Windows.Histories[THistory::Searched]);
  EXPECT_EQ(second.Windows.WindowBounds[TWindow::View].Left, -5);

  // Values come first, in the serializer's key order, then the two blocks.
  const std::string expectedStart =
      "PathHistory=C:\\work\\src\r\n"
      "FilterHistory=*.txt *.htm *.html\r\n"
      "FilterHistory=*.c *.cpp *.h\r\n"
      "SearchedHistory=foo\r\n"
      "SearchedHistory= spaced \r\n"
      "SearchedHistory=a=b{c}\r\n"
      "ReplacingHistory=\r\n"
      "MainLeft=120\r\n"
      "MainTop=80\r\n"
      "ResultLeft=10\r\n"
      "ResultTop=320\r\n"
      "ResultWidth=500\r\n"
      "ResultHeight=400\r\n"
      "ViewLeft=-5\r\n"
      "ViewTop=-6\r\n"
      "ViewWidth=700\r\n"
      "ViewHeight=800\r\n"
      "Ver3First=0\r\n"
      "Option{\r\n"
      "  CharCode=Auto\r\n"
      "  Mode=Regex\r\n";
  EXPECT_EQ(bytes.substr(0, expectedStart.size()), expectedStart);
  const std::size_t backup = bytes.find("Backup{\r\n  Dir=D:\\tools\\Backup\r\n");
  EXPECT_NE(backup, std::string::npos);
  EXPECT_GT(backup, bytes.find("Option{"));
  EXPECT_NE(bytes.find("  Unit{\r\n    Time=2005-03-14 13:45:07\r\n"), std::string::npos);
}

TEST(SerializerTest, OnlyVer3FirstGivesDefaultsAndEmptyHistories) {
  TProgram program;
  program.Windows.Histories[THistory::Path] = {"from start-up"};
  program.Load("Ver3First=0\r\n");
  EXPECT_FALSE(program.Serializer.Ver3First);
  EXPECT_TRUE(program.Windows.Histories[THistory::Path].empty()) << "histories are cleared even when empty";
  EXPECT_EQ(program.Windows.HistorySets, 4);
  EXPECT_EQ(program.Windows.BoundsSets, 0);
  EXPECT_EQ(program.Windows.WindowBounds[TWindow::Main].Left, 10);
  EXPECT_EQ(program.Option.Mode, TSearchMode::Normal);
  EXPECT_TRUE(program.Backup.Block.Data().empty());
}

TEST(SerializerTest, BoundsTakeTheFirstReadableValueOnly) {
  TProgram program;
  program.Load("MainLeft=1\nMainLeft=2\nMainTop=high\nResultHeight=77\nNoSuchKey=3\nStray{\nx=1\n}\n");
  EXPECT_EQ(program.Windows.WindowBounds[TWindow::Main].Left, 1);
  EXPECT_EQ(program.Windows.WindowBounds[TWindow::Main].Top, 20);
  EXPECT_EQ(program.Windows.WindowBounds[TWindow::Result].Height, 77);
  EXPECT_EQ(program.Windows.WindowBounds[TWindow::Result].Left, 10);
  const std::string saved = program.Save();
  EXPECT_NE(saved.find("MainLeft=1\r\nMainTop=20\r\n"), std::string::npos);
  EXPECT_EQ(saved.find("MainLeft=2"), std::string::npos);
  EXPECT_EQ(saved.find("NoSuchKey"), std::string::npos) << "unknown keys vanish";
  EXPECT_EQ(saved.find("Stray"), std::string::npos);
}

TEST(SerializerTest, MissingOptionBlockKeepsTheRest) {
  TProgram program;
  program.Option.ByLine = true;  // as set before loading
  program.Load(
      "PathHistory=a\nPathHistory=b\nPathHistory=c\nPathHistory=d\nPathHistory=e\n"
      "ViewWidth=640\nBackup{\nDir=/b\n}\n");
  EXPECT_TRUE(program.Option.ByLine);
  EXPECT_EQ(program.Windows.Histories[THistory::Path], (TStringVector{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(program.Windows.WindowBounds[TWindow::View].Width, 640);
  ASSERT_EQ(program.Backup.Block.Data().size(), 1u);
  EXPECT_EQ(program.Backup.Block.Data().front().Value, "/b");
  EXPECT_NE(program.Save().find("PathHistory=a\r\nPathHistory=b\r\nPathHistory=c\r\nPathHistory=d\r\n"
                                "PathHistory=e\r\n"),
            std::string::npos);
}

TEST(SerializerTest, NoSettingsFileChangesNothing) {
  TTempDir dir;
  TProgram program;
  program.Windows.Histories[THistory::Filter] = {"*.txt"};
  EXPECT_FALSE(program.Serializer.LoadFromFile(dir / "Mirun.kel"));
  EXPECT_EQ(program.Windows.HistorySets, 0);
  EXPECT_EQ(program.Windows.Histories[THistory::Filter], (TStringVector{"*.txt"}));
  EXPECT_TRUE(program.Serializer.Ver3First);
}

TEST(SerializerTest, OldSettingsNoticeComesOnce) {
  TTempDir dir;
  WriteWholeFile(dir / "Mirun.kmx", "old");
  {
    TProgram program;
    EXPECT_FALSE(program.Serializer.LoadFromFile(dir / "Mirun.kel"));
    EXPECT_TRUE(program.Serializer.TakeOldSettingsNotice(dir.Path()));
    EXPECT_FALSE(program.Serializer.TakeOldSettingsNotice(dir.Path()));
    ASSERT_TRUE(program.Serializer.SaveToFile(dir / "Mirun.kel"));
  }
  EXPECT_NE(ReadWholeFile(dir / "Mirun.kel").find("\r\nVer3First=0\r\n"), std::string::npos);
  EXPECT_EQ(ReadWholeFile(dir / "Mirun.kmx"), "old");
  TProgram next;
  ASSERT_TRUE(next.Serializer.LoadFromFile(dir / "Mirun.kel"));
  EXPECT_FALSE(next.Serializer.TakeOldSettingsNotice(dir.Path()));

  // Without the older file there is no notice, and the flag still goes off.
  TTempDir empty;
  TProgram fresh;
  EXPECT_FALSE(fresh.Serializer.TakeOldSettingsNotice(empty.Path()));
  EXPECT_FALSE(fresh.Serializer.Ver3First);
}

TEST(SerializerTest, ObjectsNotPluggedInAreSkipped) {
  TSerializer bare;
  EXPECT_EQ(
      [&] {
        TKELNode node;
        bare.Write(node);
        return node.SaveToBytes();
      }(),
      "Ver3First=1\r\n");
  TKELNode node;
  node.LoadFromBytes("Ver3First=0\nOption{\n}\nMainLeft=5\n");
  bare.Read(node);
  EXPECT_FALSE(bare.Ver3First);
}

TEST(SerializerTest, ColumnWidthsComeBackOnlyWhenEveryOneReads) {
  TProgram saved;
  saved.Windows.Columns = {49, 400, 180, 49};
  const std::string bytes = saved.Save();
  EXPECT_NE(bytes.find("ResultColumnWidth=49\r\nResultColumnWidth=400\r\nResultColumnWidth=180\r\n"
                       "ResultColumnWidth=49\r\nVer3First="),
            std::string::npos)
      << bytes;
  TProgram loaded;
  loaded.Load(bytes);
  EXPECT_EQ(loaded.Windows.Columns, (std::vector<std::int32_t>{49, 400, 180, 49}));

  // A value that does not read would shift the others into the wrong columns.
  TProgram broken;
  broken.Load("ResultColumnWidth=49\r\nResultColumnWidth=wide\r\nResultColumnWidth=180\r\n");
  EXPECT_EQ(broken.Windows.ColumnSets, 0);
  TProgram none;
  none.Load("Ver3First=0\r\n");
  EXPECT_EQ(none.Windows.ColumnSets, 0);
}
