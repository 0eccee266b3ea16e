// Modal message boxes and the alert beep.
#pragma once

#include "platform/win_defs.h"

namespace platform {

// Shows a box owned by `owner` and waits until it is closed. `text` and `title`
// are CP932; `type` combines MB_OK or MB_YESNO with an icon and MB_SYSTEMMODAL.
// Returns the button chosen: IDOK, IDYES or IDNO; 0 when no box could be shown.
int MessageBox(HWND owner, const char* text, const char* title, UINT type);

// Sounds the alert; -1 (all bits) is the default sound.
void MessageBeep(UINT type);

} // namespace platform
