// --list-backups and --restore end to end with the built mirun-cli: a replace undone
// byte for byte, later edits kept unless forced, the undo of the undo, Ctrl-C, bad
// usage and an index edited to point elsewhere.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>

#include "TestSupport.h"
#include "cli/CliProcess.h"
#include "platform/SafeSave.h"
#include "platform/SaveJournal.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

// "東京で会議" CR LF in Shift-JIS, and the same in UTF-8.
const std::string kSjis = "\x93\x8C\x8B\x9E\x82\xC5\x89\xEF\x8B\x63\x0D\x0A";
const std::string kUtf8 = "\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x81\xA7\xE4\xBC\x9A\xE8\xAD\xB0\x0D\x0A";

class CliRestore : public ::testing::Test {
 protected:
  TTempDir home, dir;
  TCliOptions options;
  CliRestore() { options.Home = home.Path(); }

  TCliResult Cli(const std::vector<std::string>& args) { return RunCli(args, options); }
  // The unit names, newest first.
  std::vector<std::string> Units() {
    const TCliResult list = Cli({"--list-backups"});
    EXPECT_EQ(list.Status, 0) << list.Err;
    std::vector<std::string> names;
    for (const std::string& line : Lines(list.Out)) names.push_back(Fields(line).at(0));
    return names;
  }
};

TEST_F(CliRestore, AReplaceIsUndoneByteForByteAndListedAsRestored) {
  WriteWholeFile(dir / "sjis.txt", kSjis);
  WriteWholeFile(dir / "sub/utf8.txt", kUtf8);
  ASSERT_EQ(Cli({"-b", "-K", "s", "-s", "東京", "--replace", "大阪", dir / "sjis.txt"}).Status, 0);
  ASSERT_EQ(Cli({"-b", "-K", "un", "-s", "東京", "--replace", "大阪", dir / "sub/utf8.txt"}).Status, 0);
  ASSERT_NE(ReadWholeFile(dir / "sjis.txt"), kSjis);

  const TCliResult list = Cli({"--list-backups"});
  EXPECT_EQ(list.Status, 0) << list.Err;
  const std::vector<std::string> lines = Lines(list.Out);
  ASSERT_EQ(lines.size(), 2u) << list.Out;
  // Newest first: name, time, base folder, files, size.
  const std::vector<std::string> newest = Fields(lines[0]);
  ASSERT_EQ(newest.size(), 5u) << lines[0];
  EXPECT_EQ(newest[2], dir / "sub");
  EXPECT_EQ(newest[3], "1 file");
  EXPECT_EQ(newest[4], std::to_string(kUtf8.size()) + "バイト");
  EXPECT_EQ(newest[1].size(), 19u);
  EXPECT_EQ(Fields(lines[1])[2], dir.Path());

  for (const std::vector<std::string>& unit : {Fields(lines[0]), Fields(lines[1])}) {
    const TCliResult r = Cli({"--restore", unit[0]});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err.rfind("復元が完了しました。（書き戻し 1 ファイル、変更なし 0 ファイル、スキップ 0 ファイル）\n", 0),
              0u)
        << r.Err;
  }
  EXPECT_EQ(ReadWholeFile(dir / "sjis.txt"), kSjis);
  EXPECT_EQ(ReadWholeFile(dir / "sub/utf8.txt"), kUtf8);

  // Two units restored and the two made before the restores.
  const std::vector<std::string> after = Lines(Cli({"--list-backups"}).Out);
  ASSERT_EQ(after.size(), 4u);
  EXPECT_EQ(Fields(after[2]).size(), 6u);
  EXPECT_EQ(Fields(after[2])[5].rfind("restored ", 0), 0u);
}

TEST_F(CliRestore, AnEditMadeAfterTheReplaceNeedsForce) {
  WriteWholeFile(dir / "a.txt", "old a\n");
  WriteWholeFile(dir / "b.txt", "old b\n");
  ASSERT_EQ(Cli({"-b", "-s", "old", "--replace", "new", dir.Path()}).Status, 0);
  const std::string unit = Units().at(0);
  WriteWholeFile(dir / "a.txt", "new a\nmine\n");

  // abort: nothing is written, exit 2.
  TCliResult r = Cli({"--restore", unit, "--on-error", "abort"});
  EXPECT_EQ(r.Status, 2) << r.Err;
  EXPECT_NE(r.Err.find("changed since the replace (stopping)"), std::string::npos) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "b.txt"), "new b\n");

  // skip: the other file comes back, the edit stays, exit 0.
  r = Cli({"--restore", unit});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find("mirun-cli: skipped: '" + dir / "a.txt" + "'\n"), std::string::npos) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "new a\nmine\n");
  EXPECT_EQ(ReadWholeFile(dir / "b.txt"), "old b\n");

  // A second restore needs force, which also writes over the edit.
  r = Cli({"--restore", unit});
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("already (--on-error force restores it again)"), std::string::npos) << r.Err;
  r = Cli({"--restore", unit, "--on-error", "force"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "old a\n");

  // The unit made before that restore gives the edit back.
  const std::string undo = Units().at(0);
  r = Cli({"--restore", undo});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "new a\nmine\n");
  EXPECT_EQ(ReadWholeFile(dir / "b.txt"), "old b\n");
}

TEST_F(CliRestore, ADeletedFileAndFolderComeBackWithForce) {
  WriteWholeFile(dir / "sub/a.txt", "old\n");
  ASSERT_EQ(Cli({"-b", "-s", "old", "--replace", "new", dir / "sub/a.txt"}).Status, 0);
  ASSERT_EQ(::unlink((dir / "sub/a.txt").c_str()), 0);
  ASSERT_EQ(::rmdir((dir / "sub").c_str()), 0);
  const std::string unit = Units().at(0);
  TCliResult r = Cli({"--restore", unit});
  EXPECT_EQ(r.Status, 0);
  EXPECT_NE(r.Err.find("its folder is gone (left as it is)"), std::string::npos) << r.Err;
  r = Cli({"--restore", unit, "--on-error", "force"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "sub/a.txt"), "old\n");
}

TEST_F(CliRestore, CtrlCWhileCheckingWritesNothing) {
  for (int i = 0; i < 1000; ++i) WriteWholeFile(dir / ("f" + std::to_string(1000 + i) + ".txt"), "old\n");
  ASSERT_EQ(Cli({"-b", "-s", "old", "--replace", "new", dir.Path()}).Status, 0);
  // The first file asks (it was edited), and the interrupt follows that line.
  WriteWholeFile(dir / "f1000.txt", "edited\n");
  options.InterruptAfterErr = 1;
  const TCliResult r = Cli({"--restore", Units().at(0)});
  EXPECT_EQ(r.Status, 130) << r.Err;
  EXPECT_NE(r.Err.find("復元を中止しました。（書き戻し 0 ファイル"), std::string::npos) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "f1999.txt"), "new\n");
}

TEST_F(CliRestore, BadUsageAndUnknownOrHostileUnitsChangeNothing) {
  EXPECT_EQ(Cli({"--restore"}).Status, 2);
  EXPECT_EQ(Cli({"--restore", ""}).Status, 2);
  TCliResult r = Cli({"--restore", "x", "--list-backups"});
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("cannot be given together"), std::string::npos);
  r = Cli({"--restore", "x", "-s", "a", dir.Path()});
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("takes no targets"), std::string::npos) << r.Err;
  r = Cli({"--restore", "nothing"});
  EXPECT_EQ(r.Status, 2);
  EXPECT_EQ(r.Err, "mirun-cli: no backup unit named 'nothing' (see --list-backups)\n");

  // An index edited to reach outside the backup folder.
  TTempDir outside;
  WriteWholeFile(outside / "victim.txt", "keep\n");
  WriteWholeFile(home / "Backup/u_1/a.txt", "planted\n");
  const std::string settings =
      "Backup{\r\n"
      "  Dir=" +
      home / "Backup" +
      "\r\n"
      "  Unit{\r\n    Name=../../" +
      outside.Path().substr(1) + "\r\n    BaseDir=" + dir.Path() +
      "\r\n    File=victim.txt\r\n  }\r\n"
      "  Unit{\r\n    Name=u_1\r\n    BaseDir=" +
      dir.Path() +
      "\r\n    File=a.txt\r\n"
      "    Source=" +
      outside / "victim.txt" +
      "\r\n    Written=\r\n  }\r\n"
      "}\r\n";
  WriteWholeFile(home / "Mirun.kel", settings);
  EXPECT_EQ(Units(), std::vector<std::string>{"u_1"});
  r = Cli({"--restore", "u_1", "--on-error", "force"});
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("mirun-cli: not restored: copy 'a.txt': where it came from cannot be told safely"),
            std::string::npos)
      << r.Err;
  EXPECT_EQ(ReadWholeFile(outside / "victim.txt"), "keep\n");
  struct stat st;
  EXPECT_NE(::stat((dir / "a.txt").c_str(), &st), 0);
}

TEST_F(CliRestore, HelpNamesTheBackupCommands) {
  const TCliResult help = Cli({"--help"});
  EXPECT_NE(help.Out.find("mirun-cli --restore UNIT"), std::string::npos);
  EXPECT_NE(help.Out.find("--list-backups"), std::string::npos);
}

}  // namespace

// A run killed half-way through rewriting a hard-linked file: whatever command runs
// next puts the old bytes back and says so.
TEST_F(CliRestore, TheNextRunPutsRightWhatAKilledRunLeftTorn) {
  const std::string oldBytes(5000, 'o');
  WriteWholeFile(dir / "a.txt", oldBytes);
  ASSERT_EQ(::link((dir / "a.txt").c_str(), (dir / "b.txt").c_str()), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    hovrak::SetSaveJournalFolder(home / "Journal");
    gStepsTaken = 0;
    gKillAtStep = 4;  // the copy, the reservation, two chunks written
    hovrak::SetSafeSaveTestHook(KillAtStep, 1000);
    hovrak::SafeWriteFile(dir / "a.txt", std::string(5000, 'n'));
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_NE(ReadWholeFile(dir / "a.txt"), oldBytes);
  const TCliResult r = Cli({"--list-backups"});
  EXPECT_EQ(r.Status, 0);
  EXPECT_NE(r.Err.find("'" + dir / "a.txt" +
                       "' was left half-written by a run that was stopped; its previous "
                       "contents are back"),
            std::string::npos)
      << r.Err;
  EXPECT_TRUE(ReadWholeFile(dir / "b.txt") == oldBytes);
  EXPECT_EQ(Cli({"--list-backups"}).Err, "");
}

// Names with tabs and line feeds are listed escaped: every unit stays one line of
// the same fields, and the name as listed restores.
TEST_F(CliRestore, ListedFieldsAreEscapedAndAListedNameRestores) {
  const std::string base = dir / "tab\there\nand line";
  WriteWholeFile(base + "/a.txt", "old\n");
  ASSERT_EQ(Cli({"-b", "-s", "old", "--replace", "new", base + "/a.txt"}).Status, 0);
  const std::vector<std::string> lines = Lines(Cli({"--list-backups"}).Out);
  ASSERT_EQ(lines.size(), 1u);
  const std::vector<std::string> fields = Fields(lines[0]);
  ASSERT_EQ(fields.size(), 5u) << lines[0];
  EXPECT_EQ(fields[2], dir.Path() + "/tab\\there\\nand line");
  const TCliResult r = Cli({"--restore", fields[0]});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadWholeFile(base + "/a.txt"), "old\n");
}

// A hand-edited unit without records at the root folder: forced, it writes nothing
// and names the options; with them, it restores into the folder named.
TEST_F(CliRestore, AnOldUnitNeedsItsOptionsBeforeAForcedRestoreWrites) {
  WriteWholeFile(home / "Backup/old_1/a.txt", "old a\n");
  WriteWholeFile(dir / "a.txt", "new a\n");
  const auto index = [&](const std::string& base) {
    WriteWholeFile(home / "Mirun.kel",
                   "Backup{\r\n  Unit{\r\n    Time=2005-03-14 10:00:00\r\n    Name=old_1\r\n"
                   "    Size=6\r\n    BaseDir=" +
                       base + "\r\n    File=a.txt\r\n  }\r\n}\r\n");
  };
  index("/");
  TCliResult r = Cli({"--restore", "old_1", "--on-error", "force"});
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("is the root folder: nothing of it was written (--base '/' allows that folder)"),
            std::string::npos)
      << r.Err;
  struct stat st;
  EXPECT_FALSE(::stat("/a.txt", &st) == 0 && ReadWholeFile("/a.txt") == "old a\n");

  index(dir.Path());
  r = Cli({"--restore", "old_1", "--on-error", "force", "--base", dir.Path()});
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("--restore-old-unit writes its copies all the same"), std::string::npos) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "new a\n");
  r = Cli({"--restore", "old_1", "--on-error", "force", "--base", dir.Path(), "--restore-old-unit"});
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "old a\n");
}

// A settings file that cannot be read stops only what must write the index.
TEST_F(CliRestore, AnUnusableSettingsFileStillLetsASearchRun) {
  ASSERT_EQ(::mkdir((home / "Mirun.kel").c_str(), 0755), 0);
  WriteWholeFile(dir / "a.txt", "word\n");
  TCliResult r = Cli({"-s", "word", dir / "a.txt"});
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out, dir / "a.txt" + ":1:1:word\n");
  EXPECT_NE(r.Err.find("going on with the default options"), std::string::npos) << r.Err;
  r = Cli({"-b", "-s", "word", "--replace", "other", dir / "a.txt"});
  EXPECT_EQ(r.Status, 2);
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "word\n");
  EXPECT_EQ(Cli({"-B", "-s", "word", "--replace", "other", dir / "a.txt"}).Status, 0);
  EXPECT_EQ(ReadWholeFile(dir / "a.txt"), "other\n");
  EXPECT_EQ(Cli({"--list-backups"}).Status, 2);
}
