// Media control: the MIDI sequencer driven by command strings ("open ... alias
// midi", "play midi notify", "status midi mode", ...).
#pragma once

#include "platform/win_defs.h"

namespace platform {

// Notification codes, the first parameter of MM_MCINOTIFY.
constexpr WPARAM MCI_NOTIFY_SUCCESSFUL = 1;
constexpr WPARAM MCI_NOTIFY_SUPERSEDED = 2;
constexpr WPARAM MCI_NOTIFY_ABORTED = 4;
constexpr WPARAM MCI_NOTIFY_FAILURE = 8;

// Carries out one command string; a reply (such as the mode word) is copied
// into `reply` of `replyLength` bytes, always terminated. A command with
// "notify" posts MM_MCINOTIFY to `callback` when it completes or is cut short.
// Returns 0 on success, an error number otherwise.
DWORD mciSendStringA(const char* command, char* reply, UINT replyLength, HWND callback);

} // namespace platform
