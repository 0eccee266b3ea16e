// Media control: the MIDI sequencer driven by command strings ("open ... alias
// midi", "play midi notify", "status midi mode", ...).
#pragma once

#include "platform/win/win_defs.h"

namespace platform {

// Notification codes, the first parameter of MM_MCINOTIFY; the second is the
// device id.
constexpr WPARAM MCI_NOTIFY_SUCCESSFUL = 1;
constexpr WPARAM MCI_NOTIFY_SUPERSEDED = 2;
constexpr WPARAM MCI_NOTIFY_ABORTED = 4;
constexpr WPARAM MCI_NOTIFY_FAILURE = 8;

// Error numbers mciSendStringA returns.
constexpr DWORD MCIERR_UNRECOGNIZED_KEYWORD = 259;
constexpr DWORD MCIERR_UNRECOGNIZED_COMMAND = 261;
constexpr DWORD MCIERR_INVALID_DEVICE_NAME = 263;
constexpr DWORD MCIERR_MISSING_COMMAND_STRING = 267;
constexpr DWORD MCIERR_PARAM_OVERFLOW = 268;
constexpr DWORD MCIERR_BAD_INTEGER = 270;
constexpr DWORD MCIERR_MISSING_PARAMETER = 273;
constexpr DWORD MCIERR_FILE_NOT_FOUND = 275;
constexpr DWORD MCIERR_EXTENSION_NOT_FOUND = 281;
constexpr DWORD MCIERR_OUTOFRANGE = 282;
constexpr DWORD MCIERR_DUPLICATE_ALIAS = 289;
constexpr DWORD MCIERR_MISSING_DEVICE_NAME = 292;
constexpr DWORD MCIERR_NO_CLOSING_QUOTE = 294;
constexpr DWORD MCIERR_INVALID_FILE = 296;
constexpr DWORD MCIERR_SEQ_PORT_INUSE = 337;
constexpr DWORD MCIERR_SEQ_NOMIDIPRESENT = 343;

// Carries out one command string; a reply (such as the mode word) is copied
// into `reply` of `replyLength` bytes, always terminated (MCIERR_PARAM_OVERFLOW
// when it had to be cut). A command with "notify" posts MM_MCINOTIFY to
// `callback` when it completes or is cut short. Returns 0 on success, an error
// number otherwise.
//
// Commands (keywords and device names in any case; a path in double quotes may
// hold blanks; backslashes and case in paths as the file layer takes them):
//   open PATH [type sequencer] [alias NAME]  a MIDI file (.mid, .midi or .rmi
//                                            when no type is given); the device
//                                            is named NAME, or PATH without alias
//   play NAME           from the current position to the end of the tune
//   seek NAME to start|end|MS
//   stop NAME           stays at the position reached
//   close NAME|all
//   status NAME mode|length|position   "stopped", "playing"; milliseconds
// A pending "play ... notify" is answered MCI_NOTIFY_SUCCESSFUL when the tune
// reaches its end, MCI_NOTIFY_SUPERSEDED when another "play ... notify" replaces
// it, and MCI_NOTIFY_ABORTED when stop, seek or close cuts it short. Only one
// sequencer plays at a time: playing a second one while another plays fails with
// MCIERR_SEQ_PORT_INUSE.
DWORD mciSendStringA(const char* command, char* reply, UINT replyLength, HWND callback);

} // namespace platform
