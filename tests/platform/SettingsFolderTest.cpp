#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include "platform/SettingsFolder.h"

using hovrak::ChooseSettingsFolder;

namespace {

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

TEST(SettingsFolderTest, MirunHomeComesFirstAndIsCreated) {
  TTempDir dir;
  const std::string home = dir / "home/sub";
  EXPECT_EQ(ChooseSettingsFolder((home + "/").c_str(), dir / "prog/mirun", nullptr, nullptr), home);
  EXPECT_TRUE(IsFolder(home));
}

TEST(SettingsFolderTest, WritableProgramFolderComesNext) {
  TTempDir dir;
  WriteWholeFile(dir / "bin/mirun", "");
  EXPECT_EQ(ChooseSettingsFolder("", dir / "bin/mirun", "/nonexistent-xdg", "/nonexistent-home"), dir / "bin");
}

TEST(SettingsFolderTest, AnInstalledProgramKeepsNothingInItsBinFolder) {
  TTempDir dir;
  // cmake --install --prefix ~/.local: bin is writable, share/mirun lies beside it.
  WriteWholeFile(dir / "prefix/bin/mirun", "");
  WriteWholeFile(dir / "prefix/share/mirun/help/index.html", "");
  EXPECT_EQ(ChooseSettingsFolder(nullptr, dir / "prefix/bin/mirun", (dir / "xdg").c_str(), nullptr), dir / "xdg/mirun");
  EXPECT_TRUE(IsFolder(dir / "xdg/mirun"));
  // $MIRUN_HOME still comes first.
  EXPECT_EQ(ChooseSettingsFolder((dir / "home").c_str(), dir / "prefix/bin/mirun", nullptr, nullptr), dir / "home");
}

TEST(SettingsFolderTest, OtherwiseTheConfigFolderIsCreated) {
  TTempDir dir;
  // A program folder that does not exist cannot be written.
  const std::string program = dir / "missing/bin/mirun";
  EXPECT_EQ(ChooseSettingsFolder(nullptr, program, (dir / "xdg").c_str(), nullptr), dir / "xdg/mirun");
  EXPECT_TRUE(IsFolder(dir / "xdg/mirun"));
  // Without (or with a relative) XDG_CONFIG_HOME: ~/.config/mirun.
  EXPECT_EQ(ChooseSettingsFolder(nullptr, program, "relative", (dir / "user").c_str()), dir / "user/.config/mirun");
  EXPECT_TRUE(IsFolder(dir / "user/.config/mirun"));
}

TEST(SettingsFolderTest, ProcessRuleUsesMirunHome) {
  const char* home = std::getenv("MIRUN_HOME");
  ASSERT_NE(home, nullptr);
  EXPECT_EQ(hovrak::SettingsFilePath(), std::string(home) + "/Mirun.kel");
  EXPECT_EQ(hovrak::DefaultBackupFolder(), std::string(home) + "/Backup");
  EXPECT_EQ(hovrak::SideFilePath(), std::string(home) + "/mirun_tests.cmdparam");
  EXPECT_FALSE(hovrak::ProgramFilePath().empty());
}
