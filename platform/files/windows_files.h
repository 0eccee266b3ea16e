// What the file work on the system's own Windows calls shares, and what the
// Windows backends take from it: paths as the system's UTF-16, and the
// system's error codes as errno values.
#pragma once

#include <string>
#include <string_view>

namespace platform::windows {

// Paths and names the platform hands around in UTF-8, as the system's UTF-16,
// and back; characters that have no form in the other become U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// The errno value that stands for a system error code (EIO for the ones
// without a closer match).
int ErrnoOf(unsigned long error);

} // namespace platform::windows
