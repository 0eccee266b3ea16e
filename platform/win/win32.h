// The Windows system headers, for the files of the Windows backends that call
// the system itself (those compiled with TESSERA_NATIVE_WINDOWS). Include it
// after the platform's own headers (in a block of its own): those declare the
// framework's window-system names inside namespace platform, and the system's
// macros of the same names, defined afterwards, then only stand for the same
// values. The system's names are the global ones here (::HWND, ::RECT, ...).
#pragma once

#ifndef TESSERA_NATIVE_WINDOWS
#error "a file that calls the Windows system is compiled with TESSERA_NATIVE_WINDOWS defined"
#endif

#include "platform/files/windows_files.h"
#include "platform/formats/text_encoding.h"

#include <windows.h>
// After windows.h, in this order.
#include <mmsystem.h>

#include <dsound.h>
#include <imm.h>
#include <shlobj.h>

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
#undef SetWindowText
#undef TextOut
