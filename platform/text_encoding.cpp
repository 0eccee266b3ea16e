#include "platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>

namespace platform {

namespace {

// U+FFFD in UTF-8 (numeric escapes are not re-encoded by the compiler).
constexpr char Replacement[] = "\xEF\xBF\xBD";

// One converter for the whole run; null when the C library lacks CP932.
iconv_t Converter() {
    static iconv_t converter = iconv_open("UTF-8", "CP932");
    return converter == reinterpret_cast<iconv_t>(-1) ? nullptr : converter;
}

} // namespace

std::string Cp932ToUtf8(std::string_view text) {
    std::string result;
    iconv_t converter = Converter();
    if (!converter) {
        // Without a converter only plain ASCII survives.
        for (char c : text) {
            if (static_cast<unsigned char>(c) < 0x80)
                result += c;
            else
                result += Replacement;
        }
        return result;
    }
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buffer[256];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
        result.append(buffer, static_cast<std::size_t>(out - buffer));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // An invalid or cut-off sequence: replace its first byte and go on.
        result += Replacement;
        ++in;
        --inLeft;
    }
    return result;
}

} // namespace platform
