#include "platform/win/font_match.h"
#include "platform/formats/text_encoding.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace platform {

namespace {

const FcChar8* Fc(const char* text) { return reinterpret_cast<const FcChar8*>(text); }
const FcChar8* Fc(const char8_t* text) { return reinterpret_cast<const FcChar8*>(text); }

} // namespace

bool FontconfigReady() {
    static const bool ready = FcInit() && std::atexit(FcFini) == 0;
    return ready;
}

bool MatchFace(const LOGFONTA& font, FaceChoice& choice) {
    if (!FontconfigReady()) return false;
    const std::string name(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
    int weight = font.lfWeight == 0 ? 400 : std::clamp(font.lfWeight, 1, 1000);

    FcPattern* pattern = FcPatternCreate();
    // fontconfig alone maps the system's names to faces without Japanese glyphs.
    auto system = std::find_if(std::begin(SystemFaces), std::end(SystemFaces),
                               [&](const SystemFace& face) { return name == face.name; });
    if (system != std::end(SystemFaces)) {
        FcPatternAddString(pattern, FC_FAMILY, Fc(system->standIn));
        weight = std::max(weight, system->minimumWeight);
    } else if (!name.empty()) {
        FcPatternAddString(pattern, FC_FAMILY, Fc(Cp932ToUtf8(name).c_str()));
    }
    // A face that is not installed gives way to one that can write Japanese.
    if (font.lfCharSet == SHIFTJIS_CHARSET) FcPatternAddString(pattern, FC_LANG, Fc(u8"ja"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, font.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8* file = nullptr;
    FcBool scalable = FcFalse, embolden = FcFalse;
    FcMatrix* matrix = nullptr;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
                       FcPatternGetBool(match, FC_SCALABLE, 0, &scalable) == FcResultMatch &&
                       scalable;
    if (found) {
        choice.file = reinterpret_cast<const char*>(file);
        choice.weight = weight;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &choice.index) != FcResultMatch)
            choice.index = 0;
        FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
        choice.embolden = embolden;
        if (FcPatternGetMatrix(match, FC_MATRIX, 0, &matrix) == FcResultMatch) {
            choice.xx = matrix->xx;
            choice.xy = matrix->xy;
            choice.yx = matrix->yx;
            choice.yy = matrix->yy;
        }
    }
    FcPatternDestroy(match);
    return found;
}

} // namespace platform
