#include "platform/win/font_cache.h"

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <tuple>
#include <utility>

namespace platform {

namespace {

constexpr int DEFAULT_PIXELS = 12; // em size of a font made with height 0
constexpr int MAX_PIXELS = 1024;

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return library;
}

// One face per font file and index, for the whole run.
FT_Face OpenFace(const std::string& file, int index) {
    static std::map<std::pair<std::string, int>, FT_Face> faces;
    auto [entry, added] = faces.try_emplace({file, index}, nullptr);
    if (added && Library() && FT_New_Face(Library(), file.c_str(), index, &entry->second) != 0)
        entry->second = nullptr;
    return entry->second;
}

FT_Fixed Fixed(double value) { return static_cast<FT_Fixed>(std::lround(value * 65536)); }

// What makes two fonts draw alike: everything but the underline.
using StrikeKey = std::tuple<std::string, int, int, int, int, int>;

Strike* StrikeFor(const LOGFONTA& font) {
    static std::map<StrikeKey, std::unique_ptr<Strike>> strikes;
    const int escapement = ((font.lfEscapement % 3600) + 3600) % 3600;
    StrikeKey key{std::string(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE)),
                  font.lfCharSet,
                  font.lfWeight,
                  font.lfItalic != 0,
                  font.lfHeight,
                  escapement};
    auto [entry, added] = strikes.try_emplace(key);
    if (added) {
        FaceChoice choice;
        FT_Face face = MatchFace(font, choice) ? OpenFace(choice.file, choice.index) : nullptr;
        if (face) entry->second = std::make_unique<Strike>(face, choice, font.lfHeight, escapement);
    }
    return entry->second.get();
}

} // namespace

Strike::Strike(FT_Face face, const FaceChoice& choice, int height, int escapement) : face(face) {
    // The cell is the face's Windows ascent and descent where it has them.
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const bool win = os2 && os2->usWinAscent + os2->usWinDescent > 0;
    const double up = win ? os2->usWinAscent : face->ascender;
    const double down = win ? os2->usWinDescent : -face->descender;
    const double em = face->units_per_EM;
    const double cell = std::max(1.0, up + down);
    const long long wanted = height;
    if (wanted > 0) {
        const long long cellPixels = std::min<long long>(wanted, MAX_PIXELS);
        pixels = static_cast<int>(std::lround(cellPixels * em / cell));
        ascent = static_cast<int>(std::lround(cellPixels * up / cell));
        descent = static_cast<int>(cellPixels) - ascent;
    } else {
        pixels =
            wanted == 0 ? DEFAULT_PIXELS : static_cast<int>(std::min(-wanted, 1LL * MAX_PIXELS));
        ascent = static_cast<int>(std::lround(up * pixels / em));
        descent = static_cast<int>(std::lround(down * pixels / em));
    }
    pixels = std::clamp(pixels, 1, MAX_PIXELS);
    const double thickness = face->underline_thickness * pixels / em;
    underlineThickness = std::max(1, static_cast<int>(std::lround(thickness)));
    underlineOffset = std::max(
        1, static_cast<int>(std::lround(-face->underline_position * pixels / em - thickness / 2)));

    // Synthetic bold in whole pixels, one at least, so that it survives the
    // crisp rendering; the heaviest weights twice as strong.
    if (choice.embolden) {
        const double share = choice.weight >= 800 ? 1.0 / 10 : 1.0 / 24;
        emboldenStrength = std::max<FT_Pos>(1, std::lround(pixels * share)) * 64;
    }
    const double radians = escapement * 3.14159265358979323846 / 1800;
    cosine = std::cos(radians);
    sine = std::sin(radians);
    // Rotation after fontconfig's slant, in FreeType's y-up space.
    transform.xx = Fixed(cosine * choice.xx - sine * choice.yx);
    transform.xy = Fixed(cosine * choice.xy - sine * choice.yy);
    transform.yx = Fixed(sine * choice.xx + cosine * choice.yx);
    transform.yy = Fixed(sine * choice.xy + cosine * choice.yy);
    transformed = transform.xx != 0x10000 || transform.xy != 0 || transform.yx != 0 ||
                  transform.yy != 0x10000;
}

Glyph Strike::Render(char32_t codePoint) {
    Glyph glyph{{}, 0};
    // Crisp one-bit glyphs: the auto-hinter keeps small digits and letters
    // apart better than the faces' own hints.
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0 ||
        FT_Load_Glyph(face, FT_Get_Char_Index(face, codePoint),
                      FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO | FT_LOAD_FORCE_AUTOHINT) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return glyph;
    FT_GlyphSlot slot = face->glyph;
    if (emboldenStrength) {
        // Thicker strokes grow down and to the right, as a font's own heavy
        // weight would, keeping the glyph's top inside the cell.
        FT_Outline_EmboldenXY(&slot->outline, emboldenStrength, emboldenStrength);
        FT_Outline_Translate(&slot->outline, emboldenStrength / 2, -emboldenStrength / 2);
    }
    // Whole pixels from the exact advance: the hinted one shrinks half-em
    // glyphs at small sizes until they touch.
    glyph.advance =
        static_cast<int>(((slot->linearHoriAdvance + 0x8000) >> 16) * 64 + emboldenStrength);
    if (transformed) FT_Outline_Transform(&slot->outline, &transform);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return glyph;

    const FT_Bitmap& bitmap = slot->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const unsigned char* bits = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
        const int y = static_cast<int>(row) - slot->bitmap_top;
        for (unsigned x = 0; x < bitmap.width;) {
            auto set = [&](unsigned at) { return bits[at >> 3] & (0x80 >> (at & 7)); };
            if (!set(x)) {
                ++x;
                continue;
            }
            unsigned end = x;
            while (end < bitmap.width && set(end)) ++end;
            glyph.runs.push_back({y, slot->bitmap_left + static_cast<int>(x),
                                  slot->bitmap_left + static_cast<int>(end)});
            x = end;
        }
    }
    return glyph;
}

HFONT CreateFontIndirect(const LOGFONTA* font) {
    if (!font) return nullptr;
    Strike* strike = StrikeFor(*font);
    return strike ? new Font{strike, font->lfUnderline != 0} : nullptr;
}

HFONT SelectObject(HDC dc, HFONT font) {
    if (!dc) return nullptr;
    return std::exchange(dc->font, font);
}

BOOL DeleteObject(HFONT font) {
    if (!font) return 0;
    delete font;
    return 1;
}

Font* FontOf(HDC dc) {
    static Font* stock = [] {
        LOGFONTA font{};
        font.lfCharSet = SHIFTJIS_CHARSET;
        return CreateFontIndirect(&font);
    }();
    return dc->font ? dc->font : stock;
}

} // namespace platform
