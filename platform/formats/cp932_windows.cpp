// CP932 as the system's code page 932 knows it, and the framework's CP932 text
// as the system's UTF-16.
#include "platform/formats/cp932_system.h"
#include "platform/formats/text_encoding.h"

#include <windows.h>

namespace platform {

namespace {

constexpr UINT CP932 = 932;

std::wstring Widen(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

} // namespace

char32_t SystemCodePoint(const char* bytes, std::size_t size) {
    wchar_t wide[2];
    const int length =
        MultiByteToWideChar(CP932, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(size), wide, 2);
    return length == 1 ? static_cast<char32_t>(wide[0]) : NoCharacter;
}

bool SystemUtf8ToCp932(std::string_view text, std::string& out) {
    out.clear();
    const std::wstring wide = Widen(CP_UTF8, text);
    BOOL lost = FALSE;
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP932, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                           0, nullptr, &lost);
    out.resize(static_cast<std::size_t>(length));
    WideCharToMultiByte(CP932, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), length, nullptr,
                        &lost);
    return !lost;
}

namespace windows {

std::wstring WideFromCp932(std::string_view text) { return Widen(CP932, text); }

std::string Cp932FromWide(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP932, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP932, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

} // namespace windows
} // namespace platform
