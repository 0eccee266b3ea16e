// Files held under an exclusive lock for as long as a process lives. They stand
// for named objects shared between processes: the single-instance mutex and the
// published main window. The kernel drops the lock when the holder ends, so a
// crashed copy never blocks the next one.
#pragma once

#include "platform/files/private_folder.h"
#include "platform/win/win_defs.h"

#include <string>

namespace platform {

// Creates the named mutex, owned by this process. When another holder exists,
// returns null and sets `alreadyExists`; other failures also return null.
HANDLE CreateMutex(const char* name, bool* alreadyExists);
BOOL ReleaseMutex(HANDLE mutex);

// Publishes this process's window under its class and title, and finds the
// process that published one. `ProcessOfWindow` returns 0 when nobody holds it.
void PublishWindow(const char* className, const char* title);
void UnpublishWindow(const char* className, const char* title);
int ProcessOfWindow(const char* className, const char* title);
// Asks the process that published a window to raise it. Whether it was asked.
bool AskToRaise(int process);

// Path of the lock file for a name in the backend's lock folder; empty when
// there is no such folder.
std::string HeldFilePath(const char* kind, const char* name);

// Lock folders. Whoever can write into one can take our locks or plant a window
// file, so only a folder of our own that nobody else may enter will do
// (IsPrivateFolder). `folder`, made private when it is missing, if it is
// private; otherwise a fresh private folder beside it (empty when none can be
// made).
std::string PrivateFolder(const std::string& folder);
// A fresh private folder named `prefix` and six random characters, removed
// with its contents when the process ends; empty when none can be made.
std::string NewPrivateFolder(const std::string& prefix);

} // namespace platform
