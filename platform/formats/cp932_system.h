// What the system's own converter knows of CP932, for the conversions of
// text_encoding.h: iconv on Linux, the system's code pages on Windows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

constexpr char32_t NoCharacter = 0xFFFFFFFF;

// The code point of exactly `size` bytes of CP932, or NoCharacter when they
// are no character.
char32_t SystemCodePoint(const char* bytes, std::size_t size);

// UTF-8 to CP932; false when some character has no CP932 form.
bool SystemUtf8ToCp932(std::string_view text, std::string& out);

} // namespace platform
