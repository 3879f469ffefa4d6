#pragma once
// The backup commands of mirun-cli: --list-backups prints the units of the backup
// index, --restore puts the copies of one unit back (the undo of a replace).

#include <csignal>
#include <cstdio>
#include <string>

class TBackup;
class TCliCommandLine;

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

  std::FILE* out_;
  std::FILE* err_;
  const volatile std::sig_atomic_t* stopFlag_;
};
