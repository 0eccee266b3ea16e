#include "platform/formats/cp932_system.h"

#include <iconv.h>

#include <cerrno>

namespace platform {

namespace {

iconv_t Open(const char* to, const char* from) { return iconv_open(to, from); }

bool Usable(iconv_t converter) { return converter != reinterpret_cast<iconv_t>(-1); }

} // namespace

char32_t SystemCodePoint(const char* bytes, std::size_t size) {
    static iconv_t converter = Open("UTF-32LE", "CP932");
    // Without a converter only plain ASCII survives.
    if (!Usable(converter))
        return size == 1 && static_cast<unsigned char>(bytes[0]) < 0x80
                   ? static_cast<char32_t>(bytes[0])
                   : NoCharacter;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes);
    unsigned char out[8];
    char* outPointer = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    if (iconv(converter, &in, &size, &outPointer, &outLeft) == static_cast<std::size_t>(-1) ||
        size != 0 || outLeft != 4)
        return NoCharacter;
    return out[0] | out[1] << 8 | out[2] << 16 | static_cast<char32_t>(out[3]) << 24;
}

bool SystemUtf8ToCp932(std::string_view text, std::string& out) {
    static iconv_t converter = Open("CP932", "UTF-8");
    out.clear();
    if (!Usable(converter)) return false;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPointer = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t done = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPointer - buffer));
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
}

} // namespace platform
