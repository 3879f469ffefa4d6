#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "backup/Backup.h"
#include "settings/KELNode.h"
#include "settings/KELObject.h"
#include "settings/SettingsFile.h"

using hovrak::TKELNode;

namespace {

// Values of a node as "name=value" strings, in list order.
std::vector<std::string> Values(const TKELNode& node) {
  std::vector<std::string> out;
  for (const auto& d : node.Data()) out.push_back(d.Name + "=" + d.Value);
  return out;
}

std::vector<std::string> ChildNames(const TKELNode& node) {
  std::vector<std::string> out;
  for (const auto& c : node.Children()) out.push_back(c.Name);
  return out;
}

TKELNode Parse(const std::string& bytes) {
  TKELNode node;
  node.LoadFromBytes(bytes);
  return node;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(KELNodeTest, EmptyAndBlankInputGiveAnEmptyTree) {
  for (const char* bytes : {"", "\r\n\r\n", "   \n\t\n", "stray text without marks\n"}) {
    const TKELNode node = Parse(bytes);
    EXPECT_TRUE(node.Data().empty()) << bytes;
    EXPECT_TRUE(node.Children().empty()) << bytes;
  }
}

TEST(KELNodeTest, NamesAndValuesKeepTheirBytes) {
  const TKELNode node = Parse("A=b=c\r\n=x\r\nKey = v\r\n  Indented=  two \r\nBrace=a{b}c\r\n");
  EXPECT_EQ(Values(node), (Strings{"A=b=c", "=x", "Key = v", "Indented=  two ", "Brace=a{b}c"}));
  EXPECT_EQ(node.Data().front().Value, "b=c");
  TKELNode keyed = Parse("Key = v\n");
  std::string value;
  EXPECT_FALSE(keyed.GetValue("Key", value));
  EXPECT_TRUE(keyed.GetValue("Key ", value));
  EXPECT_EQ(value, " v");
}

TEST(KELNodeTest, LineEndsAndCtrlZ) {
  // LF-only reads like CR LF; a lone CR stays in the value; Ctrl-Z ends the data.
  EXPECT_EQ(Values(Parse("a=1\nb=2")), (Strings{"a=1", "b=2"}));
  EXPECT_EQ(Values(Parse("a=1\r\nb=2\r\n")), (Strings{"a=1", "b=2"}));
  EXPECT_EQ(Values(Parse("a=x\ry\r\nb=2\r\r\n")), (Strings{"a=x\ry", "b=2\r"}));
  EXPECT_EQ(Values(Parse("a=1\r\nb=2\x1a"
                         "c=3\r\n")),
            (Strings{"a=1", "b=2"}));
}

TEST(KELNodeTest, ChildrenOpenCloseAndTolerateMissingOrStrayCloses) {
  TKELNode node = Parse("Option{ trailing ignored\n  x=1\n  Inner{\n    y=2\n  }\n  z=3\n}\nafter=4\n");
  EXPECT_EQ(Values(node), (Strings{"after=4"}));
  ASSERT_EQ(ChildNames(node), (Strings{"Option"}));
  const auto option = node.GetChild("Option");
  EXPECT_EQ(Values(*option), (Strings{"x=1", "z=3"}));
  EXPECT_EQ(Values(*option->GetChild("Inner")), (Strings{"y=2"}));

  // Missing close lines at the end: everything up to the end is loaded.
  TKELNode open = Parse("A{\nB{\nv=1\n");
  auto a = open.GetChild("A");
  ASSERT_TRUE(a);
  EXPECT_EQ(Values(*a->GetChild("B")), (Strings{"v=1"}));

  // A close line at the top level ends the read.
  EXPECT_EQ(Values(Parse("a=1\n}\nb=2\nC{\n}\n")), (Strings{"a=1"}));
  EXPECT_TRUE(Parse("a=1\n  }  \nC{\n}\n").Children().empty());
}

TEST(KELNodeTest, DuplicatesAreConsumedInOrder) {
  TKELNode node = Parse("F=1\nG=x\nF=2\nF=3\nUnit{\na=1\n}\nUnit{\na=2\n}\n");
  std::string value = "untouched";
  for (const char* expected : {"1", "2", "3"}) {
    ASSERT_TRUE(node.GetValue("F", value));
    EXPECT_EQ(value, expected);
  }
  EXPECT_FALSE(node.GetValue("F", value));
  EXPECT_EQ(value, "3");
  EXPECT_FALSE(node.GetValue("f", value)) << "case matters";

  EXPECT_EQ(node.CountChildren("Unit"), 2u);
  std::string a;
  auto first = node.GetChild("Unit");
  ASSERT_TRUE(first->GetValue("a", a));
  EXPECT_EQ(a, "1");
  EXPECT_EQ(node.CountChildren("Unit"), 1u);
  ASSERT_TRUE(node.GetChild("Unit")->GetValue("a", a));
  EXPECT_EQ(a, "2");
  EXPECT_FALSE(node.GetChild("Unit"));
}

namespace {

class TRecorder : public hovrak::TKELObject {
 public:
  std::string Seen = "never read";
  void Read(TKELNode& node) override { node.GetValue("v", Seen); }
  void Write(TKELNode& node) const override { node.AddValue("v", Seen); }
};

}  // namespace

TEST(KELNodeTest, ReadChildAndWriteChildRunTheObject) {
  TKELNode node;
  TRecorder written;
  written.Seen = "hello";
  node.WriteChild("Obj", written);
  TRecorder read;
  EXPECT_FALSE(node.ReadChild("Other", read));
  EXPECT_EQ(read.Seen, "never read");
  EXPECT_TRUE(node.ReadChild("Obj", read));
  EXPECT_EQ(read.Seen, "hello");
  EXPECT_EQ(node.CountChildren("Obj"), 0u);
}

TEST(KELNodeTest, WriterPutsValuesFirstAndIndentsTwoSpacesPerLevel) {
  TKELNode node;
  TKELNode& outer = node.AddChild("Outer");
  outer.AddChild("Inner").AddValue("deep", "1");
  outer.AddValue("mid", "2");
  node.AddChild("Empty");
  node.AddValue("top", "a = b");
  EXPECT_EQ(node.SaveToBytes(),
            "top=a = b\r\n"
            "Outer{\r\n"
            "  mid=2\r\n"
            "  Inner{\r\n"
            "    deep=1\r\n"
            "  }\r\n"
            "}\r\n"
            "Empty{\r\n"
            "}\r\n");
}

TEST(KELNodeTest, WrittenTreeReadsBackToTheSameBytes) {
  const std::string bytes = ReadWholeFile(TestDataPath("example-settings.kel"));
  const TKELNode node = Parse(bytes);
  EXPECT_EQ(node.SaveToBytes(), bytes);
}

TEST(KELNodeTest, DeepNestingNeitherOverflowsTheStackNorLosesData) {
  std::string bytes;
  const int depth = 64;
  for (int i = 0; i < depth; ++i) bytes += "N{\n";
  bytes += "leaf=1\n";
  TKELNode node;
  EXPECT_FALSE(node.LoadFromBytes(bytes));  // never closed
  const TKELNode* p = &node;
  int levels = 0;
  while (!p->Children().empty()) {
    p = p->Children().front().Node.get();
    ++levels;
  }
  EXPECT_EQ(levels, depth);
  EXPECT_EQ(Values(*p), (Strings{"leaf=1"}));
}

// A hand-edited file of a hundred thousand open lines: read in linear time and
// memory, blocks below the 64th level left out (with what they hold), the file not
// clean; the tree writes back small.
TEST(KELNodeTest, NestingBeyondTheLimitIsLeftOutAndMakesTheFileUnclean) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += "Backup{\r\n";
  bytes += "deep=1\r\n";
  for (int i = 0; i < 100000; ++i) bytes += "}\r\n";
  bytes += "after=2\r\n";
  TKELNode node;
  EXPECT_FALSE(node.LoadFromBytes(bytes));
  EXPECT_EQ(Values(node), (Strings{"after=2"}));  // the closes still match their opens
  const std::string saved = node.SaveToBytes();
  EXPECT_LT(saved.size(), 10000u);
  EXPECT_EQ(saved.find("deep"), std::string::npos);
  TKELNode again;
  EXPECT_TRUE(again.LoadFromBytes(saved));
}

TEST(KELNodeTest, FilesLoadAndSave) {
  TTempDir dir;
  const std::string path = dir / "Mirun.kel";
  TKELNode node;
  node.AddValue("kept", "1");
  EXPECT_FALSE(node.LoadFile(dir / "missing.kel"));
  EXPECT_FALSE(node.LoadFile(dir.Path())) << "a folder is not a settings file";
  EXPECT_EQ(Values(node), (Strings{"kept=1"}));

  ASSERT_TRUE(node.SaveFile(path));
  EXPECT_EQ(ReadWholeFile(path), "kept=1\r\n");
  TKELNode loaded;
  ASSERT_TRUE(loaded.LoadFile(path));
  EXPECT_EQ(Values(loaded), (Strings{"kept=1"}));
}

TEST(KELNodeTest, FailedSaveLeavesTheOldFileAndNoLitter) {
  TTempDir dir;
  TKELNode node;
  node.AddValue("new", "1");
  EXPECT_FALSE(node.SaveFile(dir / "no-such-folder/Mirun.kel"));

  // A folder standing where the file should be is not replaced.
  WriteWholeFile(dir / "taken/inside.txt", "x");
  EXPECT_FALSE(node.SaveFile(dir / "taken"));
  EXPECT_EQ(ReadWholeFile(dir / "taken/inside.txt"), "x");

  // Saving over an existing file replaces it whole and keeps its permissions.
  const std::string path = dir / "Mirun.kel";
  WriteWholeFile(path, "old=1\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(node.SaveFile(path));
  EXPECT_EQ(ReadWholeFile(path), "new=1\r\n");
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // Only the file itself (and the "taken" folder) remain: no temporary files.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 2);
}

TEST(KELNodeTest, SaveThroughASymbolicLinkKeepsTheLink) {
  TTempDir dir;
  WriteWholeFile(dir / "real.kel", "old=1\r\n");
  ASSERT_EQ(::symlink((dir / "real.kel").c_str(), (dir / "link.kel").c_str()), 0);
  TKELNode node;
  node.AddValue("new", "1");
  ASSERT_TRUE(node.SaveFile(dir / "link.kel"));
  struct stat st;
  ASSERT_EQ(::lstat((dir / "link.kel").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadWholeFile(dir / "real.kel"), "new=1\r\n");
}

TEST(KELNodeTest, LineFeedsAndCtrlZInValuesCannotBreakTheFile) {
  TKELNode node;
  node.AddValue("SearchedHistory", "a\nVer3First=1");
  node.AddValue("PathHistory", "x\x1ay");
  node.AddValue("Tail", "b\r");
  node.AddChild("Option").AddValue("Mode", "Word");
  const TKELNode back = Parse(node.SaveToBytes());
  EXPECT_EQ(Values(back), (Strings{"SearchedHistory=aVer3First=1", "PathHistory=xy", "Tail=b\r"}));
  EXPECT_EQ(ChildNames(back), (Strings{"Option"}));
}

TEST(KELNodeTest, SaysWhetherTheBytesReadCleanly) {
  TKELNode node;
  for (const char* clean : {"", "\r\n  \r\n", "a=1\nB{\n  c=2\n}\n", "Option{  \r\n}\t\r\n",
                            "A=1\r\n\x1a"
                            "}junk",
                            "Key = v\r\nx=a\ry\r\n=empty name\r\n"}) {
    EXPECT_TRUE(node.LoadFromBytes(clean)) << clean;
  }
  EXPECT_TRUE(node.LoadFromBytes(ReadWholeFile(TestDataPath("example-settings.kel"))));
  for (const char* broken : {"Option{\nMode=Word\n",       // never closed
                             "a=1\n}\nb=2\n",              // a close line with nothing open
                             "A{\n}\n}\n",                 // one close line too many
                             "a=1\nstray text\n",          // a line the reader skips
                             "Option{ Mode=Word\n}\n",     // text after the open mark
                             "Option{\n} Mode=Word\n"}) {  // text after the close mark
    EXPECT_FALSE(node.LoadFromBytes(broken)) << broken;
    // What could be read is written so that it reads cleanly, and writes the same.
    const std::string written = node.SaveToBytes();
    TKELNode back;
    EXPECT_TRUE(back.LoadFromBytes(written)) << broken;
    EXPECT_EQ(back.SaveToBytes(), written) << broken;
  }
}

TEST(KELNodeTest, LongListsAreTakenInOrderWhateverStandsBetween) {
  // Long enough for the lookup index; names interleaved so that each lookup has
  // entries of other names before it.
  TKELNode node;
  std::string bytes;
  for (int i = 0; i < 300; ++i) {
    bytes += "A=" + std::to_string(i) + "\nB=" + std::to_string(i) + "\n";
    bytes += std::string(i % 3 == 0 ? "U" : "V") + "{\nn=" + std::to_string(i) + "\n}\n";
  }
  ASSERT_TRUE(node.LoadFromBytes(bytes));
  std::string value;
  for (int i = 0; i < 300; ++i) {
    ASSERT_TRUE(node.GetValue("B", value));
    EXPECT_EQ(value, std::to_string(i));
  }
  EXPECT_FALSE(node.GetValue("B", value));
  EXPECT_EQ(node.CountChildren("U"), 100u);
  EXPECT_EQ(node.CountChildren("V"), 200u);
  // Entries added after the lookups began come after the older ones.
  node.AddChild("U").AddValue("n", "new");
  node.AddValue("A", "new");
  EXPECT_EQ(node.CountChildren("U"), 101u);
  for (int i = 0; i < 300; i += 3) {
    ASSERT_TRUE(node.GetChild("U")->GetValue("n", value));
    EXPECT_EQ(value, std::to_string(i));
  }
  ASSERT_TRUE(node.GetChild("U")->GetValue("n", value));
  EXPECT_EQ(value, "new");
  EXPECT_FALSE(node.GetChild("U"));
  EXPECT_EQ(node.CountChildren("U"), 0u);
  EXPECT_EQ(node.CountChildren("V"), 200u);
  // What is left is what was not taken, in its order.
  ASSERT_EQ(node.Data().size(), 301u);
  EXPECT_EQ(node.Data().front().Name + node.Data().front().Value, "A0");
  EXPECT_EQ(node.Data().back().Name + node.Data().back().Value, "Anew");
  ASSERT_TRUE(node.GetValue("A", value));
  EXPECT_EQ(value, "0");
}

TEST(KELNodeTest, AHundredThousandBackupUnitsReadAndWriteInLinearTime) {
  const int units = 100000;
  std::string block = "Backup{\r\n  Dir=/b\r\n  MaxSize=3145728\r\n  DeletableTime=00:00:00\r\n";
  for (int i = 0; i < units; ++i) {
    block += "  Unit{\r\n    Time=2005-03-14 13:45:07\r\n    Name=20050314_src_" + std::to_string(i + 1) +
             "\r\n    Size=2048\r\n    BaseDir=/w/src\r\n    File=readme.txt\r\n    File=sub/main.c\r\n  }\r\n";
  }
  block += "}\r\n";
  const auto start = std::chrono::steady_clock::now();
  TKELNode node;
  ASSERT_TRUE(node.LoadFromBytes("Ver3First=0\r\n" + block));
  const auto parsed = std::chrono::steady_clock::now();
  TBackup backup;
  ASSERT_TRUE(node.ReadChild("Backup", backup));
  const auto read = std::chrono::steady_clock::now();
  const std::string written = TSettingsFile::BlockBytes("Backup", backup);
  const auto end = std::chrono::steady_clock::now();

  ASSERT_EQ(backup.Units.size(), static_cast<std::size_t>(units));
  EXPECT_EQ(backup.Units.back()->Name, "20050314_src_100000");
  EXPECT_EQ(backup.Units.front()->Files, (TStringVector{"readme.txt", "sub/main.c"}));
  EXPECT_EQ(written, block);
  const auto ms = [](auto from, auto to) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count());
  };
  std::printf("100000 units: parse %ld ms, read %ld ms, write %ld ms\n", ms(start, parsed), ms(parsed, read),
              ms(read, end));
  // Generous, so that a loaded machine does not fail it (about 2 s here, 9 s with
  // the sanitizers); the quadratic reading took close to a minute.
#ifdef __SANITIZE_ADDRESS__
  EXPECT_LT(ms(start, end), 30000);
#else
  EXPECT_LT(ms(start, end), 5000);
#endif
}
