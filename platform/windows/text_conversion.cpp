// Conversions between the framework's narrow text and the system's UTF-16.
#include "platform/win_defs.h"

#include "platform/windows/win32.h"

namespace platform::windows {

namespace {

std::wstring Widen(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

} // namespace

std::wstring WideFromCp932(std::string_view text) { return Widen(SYSTEM_CODE_PAGE, text); }
std::string Cp932FromWide(std::wstring_view text) { return Narrow(SYSTEM_CODE_PAGE, text); }
std::wstring WideFromUtf8(std::string_view text) { return Widen(CP_UTF8, text); }
std::string Utf8FromWide(std::wstring_view text) { return Narrow(CP_UTF8, text); }

} // namespace platform::windows
