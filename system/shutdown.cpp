// Orderly shutdown, run at most once whichever way it is reached.
#include "platform/win/held_file.h"
#include "platform/win/messages.h"
#include "system/system.h"

int ShutDownDone;
int CloseStage;
int BoxShown;

namespace elSystem {

int Shutdown() {
    if (ShutDownDone == 1) return 1;
    ShutDownDone = 1;
    UnclipCursor();
    QuitModules();
    if (InstanceMutex) {
        platform::ReleaseMutex(InstanceMutex);
        InstanceMutex = nullptr;
    }
    // Started from code: close the window through the message loop.
    if (CloseStage == 0) platform::PostMessage(MainWindowHandle, WM_CLOSE, 0, 0);
    CloseStage = 2;
    return 1;
}

} // namespace elSystem
