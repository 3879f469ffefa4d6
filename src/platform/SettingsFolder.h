#pragma once
// Where Mirun keeps the files it owns: the settings file Mirun.kel, the default
// backup folder and the hand-over side file. The program folder is often read-only
// on Linux, so the settings folder is, in this order: $MIRUN_HOME when set; the
// program file's folder when it is writable and not an installed bin folder (one
// with share/mirun beside it); $XDG_CONFIG_HOME/mirun (by default ~/.config/mirun),
// created on demand.

#include <string>

namespace hovrak {

// Absolute path of the running program file (from /proc/self/exe); empty when it
// cannot be found.
std::string ProgramFilePath();

// The rule above on given inputs (null or empty strings count as unset); the
// chosen folder is created when it is missing. No trailing '/'.
std::string ChooseSettingsFolder(const char* mirunHome, const std::string& programFile, const char* xdgConfigHome,
                                 const char* home);

// The rule above on this process's environment and program file.
std::string SettingsFolder();

// SettingsFolder() + "/Journal": where each running process keeps the journal of
// its saves, for the next start to tidy up after a killed run.
std::string SaveJournalFolder();

// The user's home folder: $HOME when set, else the user database's; no trailing '/'.
std::string UserHomeFolder();

// SettingsFolder() + "/Mirun.kel".
std::string SettingsFilePath();

// SettingsFolder() + "/Backup": where backups go until the user picks a folder.
std::string DefaultBackupFolder();

// SettingsFolder() + "/" + program file name + ".cmdparam": the arguments a second
// start hands over to the running instance.
std::string SideFilePath();

}  // namespace hovrak
