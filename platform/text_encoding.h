// Conversion of the system's CP932 text for the places that need Unicode.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// CP932 (Shift-JIS) to UTF-8. Bytes that do not form a character become U+FFFD.
std::string Cp932ToUtf8(std::string_view text);

} // namespace platform
