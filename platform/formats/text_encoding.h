// Conversion of the system's CP932 text for the places that need Unicode.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Bytes that start a two-byte character.
constexpr bool IsCp932Lead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Decodes the character at the start of non-empty `text`. A byte that starts no
// character gives U+FFFD and is taken alone. Returns the bytes taken, 1 or 2.
int DecodeCp932(std::string_view text, char32_t& codePoint);

// Length of the longest start of `text` within `limit` bytes that does not
// split a two-byte character (a lead byte that ends the text is left out).
std::size_t Cp932Prefix(std::string_view text, std::size_t limit);

// Upper-cases the letters a to z of `length` bytes of CP932 text in place,
// leaving the second bytes of two-byte characters as they are.
void UpperCaseCp932(char* text, std::size_t length);

// CP932 (Shift-JIS) to UTF-8. Bytes that do not form a character become U+FFFD.
std::string Cp932ToUtf8(std::string_view text);

// UTF-8 to CP932; false when some character has no CP932 form.
bool Utf8ToCp932(std::string_view text, std::string& out);

#ifdef _WIN32
namespace windows {
// CP932 text as the system's UTF-16, and back, for the Windows backends;
// characters that have no form in the other become U+FFFD or '?'.
std::wstring WideFromCp932(std::string_view text);
std::string Cp932FromWide(std::wstring_view text);
} // namespace windows
#endif

} // namespace platform
