// The Windows system headers, for the native backend's files only. Include it
// after the platform's own headers (in a block of its own): those declare the
// framework's window-system names inside namespace platform, and the system's
// macros of the same names, defined afterwards, then only stand for the same
// values. The system's names are the global ones here (::HWND, ::RECT, ...).
#pragma once

#ifndef TESSERA_NATIVE_WINDOWS
#error "platform/windows/ is compiled with TESSERA_NATIVE_WINDOWS defined"
#endif

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, in this order.
#include <mmsystem.h>

#include <dsound.h>
#include <imm.h>
#include <shlobj.h>

#include <string>
#include <string_view>

// The platform's own operations of these names are not the system's
// character-set macros.
#undef CreateFontIndirect
#undef CreateMutex
#undef CreateWindowEx
#undef DefWindowProc
#undef DispatchMessage
#undef DrawText
#undef EnumFonts
#undef FindWindow
#undef GetTextExtentPoint32
#undef MessageBox
#undef PeekMessage
#undef PostMessage
#undef RegisterClass
#undef SendMessage
#undef TextOut

namespace platform::windows {

// Code page of the system's own text: every narrow string of the framework.
constexpr UINT SYSTEM_CODE_PAGE = 932;

// Text of the framework (CP932) as the system's UTF-16, and back; characters
// that have no form in the other become '?' (CP932) or U+FFFD (UTF-16).
std::wstring WideFromCp932(std::string_view text);
std::string Cp932FromWide(std::wstring_view text);
// Paths and names the platform hands around in UTF-8, as the system's UTF-16.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

} // namespace platform::windows
