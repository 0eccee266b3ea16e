// CP932 as the system's code page 932 knows it.
#include "platform/cp932_system.h"

#include "platform/windows/win32.h"

namespace platform {

char32_t SystemCodePoint(const char* bytes, std::size_t size) {
    wchar_t wide[2];
    const int length = MultiByteToWideChar(windows::SYSTEM_CODE_PAGE, MB_ERR_INVALID_CHARS, bytes,
                                           static_cast<int>(size), wide, 2);
    return length == 1 ? static_cast<char32_t>(wide[0]) : NoCharacter;
}

bool SystemUtf8ToCp932(std::string_view text, std::string& out) {
    out.clear();
    const std::wstring wide = windows::WideFromUtf8(text);
    BOOL lost = FALSE;
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(windows::SYSTEM_CODE_PAGE, WC_NO_BEST_FIT_CHARS,
                                           wide.data(), size, nullptr, 0, nullptr, &lost);
    out.resize(static_cast<std::size_t>(length));
    WideCharToMultiByte(windows::SYSTEM_CODE_PAGE, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                        out.data(), length, nullptr, &lost);
    return !lost;
}

} // namespace platform
