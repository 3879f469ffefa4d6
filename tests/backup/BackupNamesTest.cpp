#include <gtest/gtest.h>

#include "backup/Backup.h"

TEST(BackupNames, CommonBaseDirIsTheLongestCommonFolder) {
  EXPECT_EQ(TBackup::CommonBaseDir({}), "");
  EXPECT_EQ(TBackup::CommonBaseDir({"/w/src/a1.txt", "/w/src/a2.txt"}), "/w/src");
  EXPECT_EQ(TBackup::CommonBaseDir({"/w/src/a.txt", "/w/src/sub/b.txt"}), "/w/src");
  EXPECT_EQ(TBackup::CommonBaseDir({"/w/a.txt"}), "/w");
  // The root plays the part of a drive root.
  EXPECT_EQ(TBackup::CommonBaseDir({"/a1.txt", "/a2.txt"}), "/");
  EXPECT_EQ(TBackup::CommonBaseDir({"/a.txt", "/b.txt"}), "");
  EXPECT_EQ(TBackup::CommonBaseDir({"/x/a.txt", "/y/b.txt"}), "");
  EXPECT_EQ(TBackup::CommonBaseDir({"a.txt", "b.txt"}), "");
  // Compared byte by byte: letter case matters.
  EXPECT_EQ(TBackup::CommonBaseDir({"/w/Src/a", "/w/src/a"}), "/w");
}

TEST(BackupNames, RelativeToCutsWithoutComparing) {
  EXPECT_EQ(TBackup::RelativeTo("/w/src/a.txt", ""), "/w/src/a.txt");
  EXPECT_EQ(TBackup::RelativeTo("/w/src/a.txt", "/w/src"), "a.txt");
  EXPECT_EQ(TBackup::RelativeTo("/a.txt", "/"), "a.txt");
  EXPECT_EQ(TBackup::RelativeTo("/w", "/w/src"), "/w");
  EXPECT_EQ(TBackup::RelativeTo("/q/qqq/a.txt", "/w/src"), "a.txt");
}

TEST(BackupNames, CopyNamesStayInsideTheUnit) {
  TBackup backup;
  TBackupUnit unit(&backup);
  unit.BaseDir = "/w/src";
  EXPECT_EQ(unit.BackupFileName("/w/src/sub/a.txt"), "sub/a.txt");
  // Characters that cannot stand in a Windows name become "_"; so does a backslash.
  EXPECT_EQ(unit.BackupFileName("/w/src/a\\b;c,d:e*f?g\"h<i>j|k"), "a_b_c_d_e_f_g_h_i_j_k");
  EXPECT_EQ(unit.BackupFileName("/w/src/line\nfeed"), "line_feed");
  EXPECT_EQ(unit.BackupFileName("/w/src/end\x1aof"), "end_of");
  // Other bytes pass whatever they are: UTF-8, or Shift-JIS (its backslash trail
  // byte is replaced like any backslash).
  EXPECT_EQ(unit.BackupFileName("/w/src/日本/\x93\xfa\x95\x5c.txt"), "日本/\x93\xfa\x95_.txt");
  // Targets that climb out of the base folder.
  EXPECT_EQ(unit.BackupFileName("/w/src/../etc/passwd"), "__/etc/passwd");
  EXPECT_EQ(unit.BackupFileName("/w/src/./a/./b"), "_/a/_/b");
  EXPECT_EQ(unit.BackupFileName("/w/src/.."), "__");

  unit.BaseDir = "";
  EXPECT_EQ(unit.BackupFileName("/x/../y"), "x/__/y");
  EXPECT_EQ(unit.BackupFileName("//srv/s/b.txt"), "srv/s/b.txt");
  EXPECT_EQ(unit.BackupFileName("///a"), "a");
  EXPECT_EQ(unit.BackupFileName("/"), "_");
  EXPECT_EQ(unit.BackupFileName("../a.txt"), "__/a.txt");
}

TEST(BackupNames, SizeTextKeepsThreeSignificantDigits) {
  EXPECT_EQ(TBackup::SizeText(0), "0バイト");
  EXPECT_EQ(TBackup::SizeText(500), "500バイト");
  EXPECT_EQ(TBackup::SizeText(1023), "1023バイト");
  EXPECT_EQ(TBackup::SizeText(1024), "1.00KB");
  EXPECT_EQ(TBackup::SizeText(1536), "1.50KB");
  EXPECT_EQ(TBackup::SizeText(150000), "146KB");
  EXPECT_EQ(TBackup::SizeText(2000000), "1.91MB");
  EXPECT_EQ(TBackup::SizeText(3145728), "3.00MB");
  EXPECT_EQ(TBackup::SizeText(15 * 1024 + 512), "15.5KB");
  // Rounding that carries into another digit still shows three digits.
  EXPECT_EQ(TBackup::SizeText(10 * 1024 - 1), "10.0KB");
  EXPECT_EQ(TBackup::SizeText(100 * 1024 - 1), "100KB");
  EXPECT_EQ(TBackup::SizeText(std::uint64_t(5) << 30), "5.00GB");
  EXPECT_EQ(TBackup::SizeText(std::uint64_t(2000) << 40), "2000TB");
}
