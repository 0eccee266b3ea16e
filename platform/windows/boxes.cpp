// Message boxes of the system, owned by the window, and its alert sounds.
#include "platform/backend.h"
#include "platform/win/cursor.h"
#include "platform/win/messages.h"

#include "platform/win/win32.h"

namespace platform {

int MessageBox(HWND owner, const char* text, const char* title, UINT type) {
    // The pointer may leave the confinement to reach the box.
    RECT clip;
    const bool clipped = CursorClip(&clip);
    if (clipped) ClipCursor(nullptr);
    const int answer = MessageBoxW(owner ? static_cast<::HWND>(owner->native) : nullptr,
                                   windows::WideFromCp932(text ? text : "").c_str(),
                                   windows::WideFromCp932(title ? title : "").c_str(), type);
    if (clipped) ClipCursor(&clip);
    return answer;
}

void MessageBeep(UINT type) { ::MessageBeep(type); }

} // namespace platform
