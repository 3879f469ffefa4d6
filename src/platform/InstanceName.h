#pragma once
// Names that tie running copies of the program together: one instance runs per
// program file, and a later start of the same program file finds it through a local
// socket whose path is derived from these names.

#include <string>

namespace hovrak {

// "Hovrak@" + the program file's canonical absolute path, ASCII letters upper-cased,
// '\' turned into '/'. A path that cannot be resolved is taken as given.
std::string InstanceName(const std::string& programFile);

// Where the instance sockets live: $XDG_RUNTIME_DIR when it is an absolute folder
// (private to the user), else $TMPDIR, else /tmp. No trailing '/'.
std::string InstanceRuntimeFolder(const char* xdgRuntimeDir, const char* tmpDir);

// The socket path of an instance: runtimeFolder + "/mirun-<uid>-<hash>.sock", the
// hash taken over the instance name, the exact canonical program path and the
// settings folder. The name alone folds letter case and backslashes, while on Linux
// "/opt/A/mirun" and "/opt/a/mirun" are two program files; and the hand-over side
// file lies in the settings folder, so two copies with different settings folders
// could not read each other's. Falls back to /tmp when the path would be too long
// for a local socket.
std::string InstanceSocketPath(const std::string& programFile, const std::string& settingsFolder,
                               const std::string& runtimeFolder, unsigned uid);

// The socket path for this process (program file, settings folder, environment).
std::string ThisInstanceSocketPath();

}  // namespace hovrak
