#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>

#include "TestSupport.h"
#include "settings/KELNode.h"

namespace {

const std::string kBlock = "Backup{\r\n  Dir=new\r\n}\r\n";

TEST(SettingsFile, ReplacesOnlyTheFirstTopLevelBlockOfThatName) {
  const std::string head = "A=1\r\nOption{\r\n  Backup{\r\n    Inner=kept\r\n  }\r\n}\r\n";
  const std::string tail = "Backup{\r\n  Second=kept\r\n}\r\nZ=2\r\n";
  const std::string old = "  Backup{\r\n  Dir=old\r\n  Unit{\r\n    File=x\r\n  }\r\n}\r\n";
  EXPECT_EQ(TSettingsFile::ReplaceTopLevelBlock(head + old + tail, "Backup", kBlock), head + kBlock + tail);
  // A name with trailing blanks is another name; LF-only files are read the same way.
  EXPECT_EQ(TSettingsFile::ReplaceTopLevelBlock("Backup {\n}\nBackup{\nX=1\n}\nY=2\n", "Backup", kBlock),
            "Backup {\n}\n" + kBlock + "Y=2\n");
}

TEST(SettingsFile, AppendsAMissingBlockWhereTheReaderStillSeesIt) {
  EXPECT_EQ(TSettingsFile::ReplaceTopLevelBlock("", "Backup", kBlock), kBlock);
  EXPECT_EQ(TSettingsFile::ReplaceTopLevelBlock("A=1", "Backup", kBlock), "A=1\r\n" + kBlock);
  // Before a Ctrl-Z and before a stray close line, after which nothing is read.
  EXPECT_EQ(TSettingsFile::ReplaceTopLevelBlock("A=1\r\n\x1a"
                                                "junk",
                                                "Backup", kBlock),
            "A=1\r\n" + kBlock +
                "\x1a"
                "junk");
  EXPECT_EQ(TSettingsFile::ReplaceTopLevelBlock("A=1\r\n}\r\nB=2\r\n", "Backup", kBlock),
            "A=1\r\n" + kBlock + "}\r\nB=2\r\n");
  // A block never closed runs to the end of the data.
  EXPECT_EQ(TSettingsFile::ReplaceTopLevelBlock("A=1\r\nBackup{\r\n  Dir=x\r\n\x1a", "Backup", kBlock),
            "A=1\r\n" + kBlock + "\x1a");
}

class TDirOnly : public hovrak::TKELObject {
 public:
  std::string Dir;
  void Read(hovrak::TKELNode& node) override { node.GetValue("Dir", Dir); }
  void Write(hovrak::TKELNode& node) const override { node.AddValue("Dir", Dir); }
};

TEST(SettingsFile, SavesTheBlockIntoTheFileAsItIsNow) {
  TTempDir dir;
  TSettingsFile file(dir / "Mirun.kel");
  TDirOnly object;
  EXPECT_FALSE(file.Exists());
  EXPECT_FALSE(file.Load(object));
  object.Dir = "first";
  ASSERT_TRUE(file.SaveBlock("Backup", object));
  EXPECT_EQ(ReadWholeFile(dir / "Mirun.kel"), "Backup{\r\n  Dir=first\r\n}\r\n");

  WriteWholeFile(dir / "Mirun.kel", "Keep=me\r\nBackup{\r\n  Dir=old\r\n}\r\nOption{\r\n}\r\n");
  TDirOnly loaded;
  ASSERT_TRUE(file.Load(loaded));
  EXPECT_EQ(loaded.Dir, "");  // the object reads the top level, not the block
  loaded.Dir = "second";
  ASSERT_TRUE(file.SaveBlock("Backup", loaded));
  EXPECT_EQ(ReadWholeFile(dir / "Mirun.kel"), "Keep=me\r\nBackup{\r\n  Dir=second\r\n}\r\nOption{\r\n}\r\n");

  TSettingsFile folder(dir.Path());
  EXPECT_FALSE(folder.Load(loaded));
  EXPECT_FALSE(folder.SaveBlock("Backup", loaded));
}

TEST(SettingsFile, AFileThatDoesNotReadCleanlyIsRewrittenWholeAndKeptAsBad) {
  TTempDir dir;
  const std::string path = dir / "Mirun.kel";
  TSettingsFile file(path);
  TDirOnly object;
  object.Dir = "new";
  // The Option block is never closed: the Backup block and the history are read as
  // part of it, and a block put after them would be inside it too, never read.
  const std::string broken = "Option{\r\n  Mode=Word\r\nBackup{\r\n  Dir=old\r\n}\r\nPathHistory=x\r\n";
  WriteWholeFile(path, broken);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  WriteWholeFile(path + ".bad", "an older broken file");
  ASSERT_TRUE(file.SaveBlock("Backup", object));
  const std::string rewritten =
      "Option{\r\n  Mode=Word\r\n  PathHistory=x\r\n  Backup{\r\n    Dir=old\r\n  }\r\n}\r\n" + kBlock;
  EXPECT_EQ(ReadWholeFile(path), rewritten);
  EXPECT_EQ(ReadWholeFile(path + ".bad"), broken);
  struct stat st;
  ASSERT_EQ(::stat((path + ".bad").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the kept copy is as private as the settings file";

  // The new file reads cleanly, its top-level block is the one saved, and saving
  // the same block again changes nothing (the kept copy included).
  hovrak::TKELNode tree;
  EXPECT_TRUE(tree.LoadFromBytes(rewritten));
  TDirOnly loaded;
  ASSERT_TRUE(tree.ReadChild("Backup", loaded));
  EXPECT_EQ(loaded.Dir, "new");
  ASSERT_TRUE(file.SaveBlock("Backup", object));
  EXPECT_EQ(ReadWholeFile(path), rewritten);
  EXPECT_EQ(ReadWholeFile(path + ".bad"), broken);

  // A stray close line: what stands after it was never read and is only in the copy.
  const std::string stray = "A=1\nBackup{\nDir=old\n}\n}\nB=2\n";
  WriteWholeFile(path, stray);
  ASSERT_TRUE(file.SaveBlock("Backup", object));
  EXPECT_EQ(ReadWholeFile(path), "A=1\r\n" + kBlock);
  EXPECT_EQ(ReadWholeFile(path + ".bad"), stray);
}

TEST(SettingsFile, WriteBlockSaysWhyItFailed) {
  TTempDir dir;
  TDirOnly object;
  WriteWholeFile(dir / "plain", "x");
  EXPECT_EQ(TSettingsFile(dir / "plain/Mirun.kel").WriteBlock("Backup", object), ENOTDIR);
  EXPECT_EQ(TSettingsFile(dir.Path()).WriteBlock("Backup", object), EISDIR);
  EXPECT_EQ(TSettingsFile(dir / "missing/Mirun.kel").WriteBlock("Backup", object), ENOENT);
  EXPECT_EQ(TSettingsFile(dir / "Mirun.kel").WriteBlock("Backup", object), 0);
}

}  // namespace
