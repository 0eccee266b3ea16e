#include "platform/formats/text_encoding.h"
#include "platform/formats/cp932_system.h"

#include <cstdint>
#include <memory>

namespace platform {

namespace {

constexpr char32_t Replacement = 0xFFFD;

// Row of a lead byte in the two-byte table: 0x81-0x9F, then 0xE0-0xFC.
int LeadRow(unsigned char lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31; }

// Every CP932 code and its code point, asked of the system once.
struct Cp932Table {
    char32_t single[256];
    char32_t pair[60][256];
};

std::unique_ptr<Cp932Table> BuildTable() {
    auto table = std::make_unique<Cp932Table>();
    for (int byte = 0; byte < 256; ++byte) {
        const char in[1] = {static_cast<char>(byte)};
        table->single[byte] = SystemCodePoint(in, 1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsCp932Lead(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0; trail < 256; ++trail) {
            const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            table->pair[LeadRow(static_cast<unsigned char>(lead))][trail] = SystemCodePoint(in, 2);
        }
    }
    return table;
}

const Cp932Table& Table() {
    static const std::unique_ptr<Cp932Table> table = BuildTable();
    return *table;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

int DecodeCp932(std::string_view text, char32_t& codePoint) {
    const Cp932Table& table = Table();
    const auto first = static_cast<unsigned char>(text[0]);
    if (IsCp932Lead(first) && text.size() >= 2) {
        char32_t pair = table.pair[LeadRow(first)][static_cast<unsigned char>(text[1])];
        if (pair != NoCharacter) {
            codePoint = pair;
            return 2;
        }
    }
    // A lead byte without a valid second byte stands alone; the next byte gets
    // its own chance.
    char32_t single = IsCp932Lead(first) ? NoCharacter : table.single[first];
    codePoint = single == NoCharacter ? Replacement : single;
    return 1;
}

std::size_t Cp932Prefix(std::string_view text, std::size_t limit) {
    std::size_t length = 0;
    while (length < text.size()) {
        std::size_t next = length + (IsCp932Lead(static_cast<unsigned char>(text[length])) ? 2 : 1);
        if (next > limit || next > text.size()) break;
        length = next;
    }
    return length;
}

void UpperCaseCp932(char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (IsCp932Lead(byte))
            ++i; // the next byte belongs to this character
        else if (byte >= 'a' && byte <= 'z')
            text[i] = static_cast<char>(byte - 'a' + 'A');
    }
}

std::string Cp932ToUtf8(std::string_view text) {
    std::string result;
    while (!text.empty()) {
        char32_t codePoint;
        text.remove_prefix(static_cast<std::size_t>(DecodeCp932(text, codePoint)));
        AppendUtf8(result, codePoint);
    }
    return result;
}

bool Utf8ToCp932(std::string_view text, std::string& out) { return SystemUtf8ToCp932(text, out); }

} // namespace platform
