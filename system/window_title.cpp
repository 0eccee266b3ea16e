// The main window's title bar.
#include "platform/win/messages.h"
#include "system/system.h"

namespace elSystem {

void SetTitle(const char* text) { platform::SetWindowText(MainWindowHandle, text); }

} // namespace elSystem
