#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "TestSupport.h"
#include "front/EditorCommand.h"

using hovrak::ExpandEditorCommand;
using hovrak::FindProgram;
using hovrak::SplitEditorCommand;

TEST(EditorCommandTest, PlaceholdersTakeThePlaceOneBased) {
  EXPECT_EQ(ExpandEditorCommand("sakura \"%p\" -Y=%l -X=%c", "/w/a b.txt", 0, 4), "sakura \"/w/a b.txt\" -Y=1 -X=5");
  EXPECT_EQ(ExpandEditorCommand("hidemaru /j%l,%c \"%p\"", "/w/a.txt", 99, 0), "hidemaru /j100,1 \"/w/a.txt\"");
  EXPECT_EQ(ExpandEditorCommand("ed %p %p", "x", 0, 0), "ed x x");
  // A file name holding a placeholder is not expanded again.
  EXPECT_EQ(ExpandEditorCommand("ed %p +%l", "/w/%l%c.txt", 2, 3), "ed /w/%l%c.txt +3");
  EXPECT_EQ(ExpandEditorCommand("ed %pl", "/w/a%", 2, 3), "ed /w/a%l");
  EXPECT_EQ(ExpandEditorCommand("ed %l%c%", "f", 9, 10), "ed 1011%");
  EXPECT_EQ(ExpandEditorCommand("ed %%pp %x", "f", 0, 0), "ed %fp %x");
  EXPECT_EQ(ExpandEditorCommand("", "f", 0, 0), "");
}

TEST(EditorCommandTest, ProgramAndParameters) {
  auto split = SplitEditorCommand("sakura \"/w/a b.txt\" -Y=1 -X=5");
  EXPECT_EQ(split.Program, "sakura");
  EXPECT_EQ(split.Parameters, "\"/w/a b.txt\" -Y=1 -X=5");

  split = SplitEditorCommand("\"/opt/my editor/ed\"   +3 \"/w/a.txt\"");
  EXPECT_EQ(split.Program, "/opt/my editor/ed");
  EXPECT_EQ(split.Parameters, "+3 \"/w/a.txt\"");

  // One word, or one quoted path: no parameters.
  split = SplitEditorCommand("gedit");
  EXPECT_EQ(split.Program, "gedit");
  EXPECT_EQ(split.Parameters, "");
  split = SplitEditorCommand("\"/opt/my editor/ed\"");
  EXPECT_EQ(split.Program, "/opt/my editor/ed");
  EXPECT_EQ(split.Parameters, "");

  // Blanks around the command are not part of the program.
  split = SplitEditorCommand("  kate -l 3 /w/a.txt  ");
  EXPECT_EQ(split.Program, "kate");
  EXPECT_EQ(split.Parameters, "-l 3 /w/a.txt");

  // A quote glued to a word does not have the designed shape: all program.
  split = SplitEditorCommand("ed\"x\" a");
  EXPECT_EQ(split.Program, "ed\"x\" a");
  EXPECT_EQ(split.Parameters, "");

  // The shortest quoted run is the program.
  split = SplitEditorCommand("\"a\" \"b\" c");
  EXPECT_EQ(split.Program, "a");
  EXPECT_EQ(split.Parameters, "\"b\" c");
}

namespace {

void WriteProgram(const std::string& path, bool executable) {
  WriteWholeFile(path, "#!/bin/sh\n");
  ::chmod(path.c_str(), executable ? 0755 : 0644);
}

}  // namespace

TEST(EditorCommandTest, FindProgramOnThePath) {
  TTempDir dir;
  WriteProgram(dir / "a/ed", false);  // not executable: passed over
  WriteProgram(dir / "b/ed", true);
  WriteProgram(dir / "c/ed", true);
  ::mkdir((dir / "d").c_str(), 0755);
  ::mkdir((dir / "d/vi").c_str(), 0755);  // a folder of that name: passed over
  WriteProgram(dir / "e/vi", true);

  const std::string path = ":" + dir / "a" + "::" + dir / "b/" + ":" + dir / "c";
  EXPECT_EQ(FindProgram("ed", path.c_str()), dir / "b/ed");
  const std::string path2 = dir / "d" + ":" + dir / "e";
  EXPECT_EQ(FindProgram("vi", path2.c_str()), dir / "e/vi");
  EXPECT_EQ(FindProgram("nano", path.c_str()), "");
  EXPECT_EQ(FindProgram("ed", nullptr), "");
  EXPECT_EQ(FindProgram("", path.c_str()), "");
}

TEST(EditorCommandTest, FindProgramWithAFolderPart) {
  TTempDir dir;
  WriteProgram(dir / "bin/ed", true);
  EXPECT_EQ(FindProgram(dir / "bin/ed", nullptr), dir / "bin/ed");
  EXPECT_EQ(FindProgram(dir / "bin/vi", "/usr/bin:/bin"), "");
  EXPECT_EQ(FindProgram(dir / "bin", "/usr/bin:/bin"), "");
}
