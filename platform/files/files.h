// Files under the framework's naming rules: names use backslashes and are
// matched case-insensitively, as on the system the framework was written for.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// Turns a framework file name into a path of this system: every '\' becomes '/',
// and when the exact path is missing, each component that exists under another
// case is replaced by the name found on disk. Components that do not exist at all
// are kept as given, so the result also serves for creating a new file.
std::string ResolvePath(const char* name);

// Opens a framework file name for reading in binary mode, or gives null when it
// names no file: a folder, or a device or pipe that may never end or never answer.
std::FILE* OpenForReading(const char* name);

// Names of the files (not folders) in a folder that match a framework pattern
// such as "folder\*.BMP": '*' stands for any run of characters and '?' for one,
// letters match in either case. Sorted ignoring case; empty when the folder is missing.
std::vector<std::string> FindFiles(const char* pattern);

// The separator of folders in this system's paths.
#ifdef _WIN32
constexpr char PATH_SEPARATOR = '\\';
#else
constexpr char PATH_SEPARATOR = '/';
#endif

// Folder of the running executable, ending in PATH_SEPARATOR.
std::string ExecutableFolder();

// The name the program was started by, without its folder ("tessera-run"): the
// first word of every line it writes on standard error.
const char* CommandName();

// The value of an environment variable; empty when it is not set.
std::string EnvironmentValue(const char* name);

// Whether the program was started from the desktop's menu: its desktop entry
// sets TESSERA_FROM_MENU=1 on Linux; on Windows the system says so of a program
// started from a shortcut.
bool StartedFromMenu();

// Where a program started from the menu keeps the user's maps, in the user's
// data folder: true with the folder in `path`; false when the data folder is
// unknown, with the folder as the help names it in `path` and the cause in
// `error`. The help names it so:
#ifdef _WIN32
#define TESSERA_MENU_MAPS_FOLDER "%APPDATA%\\Tessera\\maps"
#else
#define TESSERA_MENU_MAPS_FOLDER "$XDG_DATA_HOME/tessera/maps\n(~/.local/share/tessera/maps)"
#endif
bool MenuMapsFolder(std::string& path, std::string& error);

// The user's state folder, for what a program keeps between its runs
// ($XDG_STATE_HOME when it is an absolute path, else ~/.local/state; on
// Windows the user's local application data folder), without a trailing
// separator; empty when no home folder is known. The help names its folder
// of Tessera so:
#ifdef _WIN32
#define TESSERA_KEPT_STATE_FOLDER "%LOCALAPPDATA%\\tessera"
#else
#define TESSERA_KEPT_STATE_FOLDER "$XDG_STATE_HOME/tessera (~/.local/state/tessera)"
#endif
std::string UserStateFolder();

// Makes `path` and the missing folders above it, then makes it the current
// folder. False with the cause in `error`.
bool EnterFolder(const std::string& path, std::string& error);

// The system's configuration folder (without a trailing '/'), where system-wide
// settings files live.
std::string SystemFolder();

} // namespace platform
