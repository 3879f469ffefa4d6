#pragma once
// The command line of mirun-cli: long options ("--name", "--name=VALUE",
// "--name VALUE"), "--" ending all options, and the short switches of the program's
// own command line, parsed with hovrak::arg_parser. Checks every value; applying
// them to the options is left to the run.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/Colors.h"
#include "front/OnErrorPolicy.h"
#include "front/ShortSwitches.h"
#include "settings/SearchMode.h"
#include "shared/StringVector.h"
#include "text/CharCode.h"

class TOption;

// The short switches and their fields are those of both front ends.
class TCliCommandLine : public TShortSwitches {
 public:
  using TOnError = hovrak::TOnErrorPolicy;

  // Parses the arguments (the program name excluded). Error() is empty on success.
  explicit TCliCommandLine(const std::vector<std::string>& args);

  // The first usage error found, in words for the user; empty when there is none.
  const std::string& Error() const { return error_; }

  bool Help = false;
  bool Version = false;
  bool Quiet = false;
  std::optional<std::string> Replacement;
  TOnError OnError = TOnError::Skip;
  // Rewrite files whose backup copy could not be made (--on-backup-error continue).
  bool GoOnWithoutBackup = false;
  std::optional<std::string> SettingsPath;
  // --list-backups: list the backup units instead of searching.
  bool ListBackups = false;
  // --restore NAME: put the copies of that backup unit back instead of searching.
  std::optional<std::string> RestoreUnit;
  // --restore-old-unit: a unit without records (made by an older version) may be
  // written when forced.
  bool RestoreOldUnit = false;
  // --base DIR: the base folder such a unit may write into although it is the root
  // or lies outside the home folder.
  std::optional<std::string> AllowedBase;

  // --dry-run: show what --replace would change, as a unified diff, and write nothing.
  bool DryRun = false;
  // Unchanged lines around each change of the diff (--context).
  int DiffContext = 3;
  TColors::TChoice Color = TColors::TChoice::Auto;
  bool Json = false;
  bool Count = false;
  bool FilesWithMatches = false;
  // --detect: name each file's character code and line ends instead of searching.
  bool Detect = false;
  // --exclude, in the order given.
  std::vector<std::string> Excludes;
  // --no-vcs-skip: search the folders .git, .svn and .hg too.
  bool NoVcsSkip = false;

  bool Csv = false;
  bool CsvFile = true;
  bool CsvLine = true;
  bool CsvHit = false;
  bool CsvAround = false;
  int CsvAroundLength = 30;

  // Option changes asked for beyond the short switches; those not given keep the
  // settings file's values.
  std::optional<bool> ShowLine;
  std::optional<std::int32_t> MaxFileSize;
  std::optional<std::int32_t> Threads;

  // The filter tokens of a folder search: -f, then each --exclude and the version
  // control folders as tokens that leave things out.
  TStringVector FilterTokens() const;

  // Sets the options that were given, leaving the others as they are.
  void ApplyTo(TOption& option) const;

  // The text of --help.
  static std::string Usage();

 private:
  bool Fail(const std::string& message);
  bool ParseLong(const std::string& name, const std::optional<std::string>& value);
  bool ParseCsvColumns(const std::string& columns);
  bool ParseShort(const std::vector<std::string>& args);
  // The options that cannot go together; false (and Error) when some do.
  bool CheckCombinations(bool contextGiven);

  std::string error_;
};
