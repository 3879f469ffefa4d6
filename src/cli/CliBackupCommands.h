#pragma once
// The backup commands of mirun-cli: --list-backups prints the units of the backup
// index, --restore puts the copies of one unit back (the undo of a replace).

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

class TBackup;
class TBackupRestore;
class TCliCommandLine;
struct TRestoreReport;

class TCliBackupCommands {
 public:
  // out, err: the standard streams (not owned); stopFlag: set by the SIGINT handler.
  TCliBackupCommands(std::FILE* out, std::FILE* err, const volatile std::sig_atomic_t* stopFlag)
      : out_(out), err_(err), stopFlag_(stopFlag) {}

  // Runs the command the command line asks for; returns the exit status.
  int Run(const TCliCommandLine& command);

 private:
  int List(TBackup& backup);
  int Restore(const TCliCommandLine& command, TBackup& backup, const std::string& settingsPath);
  // Sets the restore's questions to the answers of the command line; aborted is set
  // when a file error ends the restore.
  void InstallAnswers(TBackupRestore& restore, const TCliCommandLine& command,
                      const std::function<void()>& clearProgress, bool& aborted) const;
  // Says on stderr what the restore did and what it did not; true when it failed.
  bool TellReport(const TRestoreReport& report, const TBackup& backup, const std::string& name,
                  const std::string& settingsPath, bool quiet) const;

  std::FILE* out_;
  std::FILE* err_;
  const volatile std::sig_atomic_t* stopFlag_;
};
