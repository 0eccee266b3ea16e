// Typeface enumeration: the system's own face names, then every installed
// family under a CP932 name, Japanese name first where the family has one.
#include "platform/formats/text_encoding.h"
#include "platform/win/face_list.h"
#include "platform/win/font_match.h"

#include <fontconfig/fontconfig.h>

#include <cstring>
#include <map>

namespace platform {

namespace {

// The family's first name that CP932 can write, a Japanese one first; empty
// when there is none.
std::string FamilyName(FcPattern* font) {
    std::string best, converted;
    bool bestJapanese = false;
    FcChar8* family;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
        FcChar8* lang;
        const bool japanese = FcPatternGetString(font, FC_FAMILYLANG, i, &lang) == FcResultMatch &&
                              std::strcmp(reinterpret_cast<const char*>(lang), "ja") == 0;
        if ((!best.empty() && (bestJapanese || !japanese)) ||
            !Utf8ToCp932(reinterpret_cast<const char*>(family), converted) || converted.empty())
            continue;
        best = converted.substr(0, Cp932Prefix(converted, LF_FACESIZE - 1));
        bestJapanese = japanese;
    }
    return best;
}

std::uint8_t CharSetOf(FcPattern* font) {
    FcBool symbol = FcFalse;
    if (FcPatternGetBool(font, FC_SYMBOL, 0, &symbol) == FcResultMatch && symbol)
        return SYMBOL_CHARSET;
    FcLangSet* langs;
    if (FcPatternGetLangSet(font, FC_LANG, 0, &langs) == FcResultMatch &&
        FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>(u8"ja")) != FcLangDifferentLang)
        return SHIFTJIS_CHARSET;
    return ANSI_CHARSET;
}

} // namespace

std::map<std::string, std::uint8_t> InstalledFamilies() {
    // A family counts as Japanese or symbol when any of its fonts is.
    std::map<std::string, std::uint8_t> families;
    if (!FontconfigReady()) return families;
    FcPattern* all = FcPatternCreate();
    FcObjectSet* fields = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_LANG, FC_SYMBOL, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, all, fields);
    FcObjectSetDestroy(fields);
    FcPatternDestroy(all);
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        std::string name = FamilyName(fonts->fonts[i]);
        if (name.empty()) continue;
        std::uint8_t& charSet = families.try_emplace(name, ANSI_CHARSET).first->second;
        if (charSet == ANSI_CHARSET) charSet = CharSetOf(fonts->fonts[i]);
    }
    if (fonts) FcFontSetDestroy(fonts);
    return families;
}

} // namespace platform
