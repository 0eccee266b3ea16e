// Fonts as the engine keeps them: FreeType faces opened once per file, and
// strikes (a face at one size, weight, slant and angle) that keep every glyph
// they have drawn, so that making a font and drawing known glyphs cost little.
#pragma once

#include "platform/win/font_match.h"
#include "platform/win/fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <optional>
#include <unordered_map>
#include <vector>

namespace platform {

// A row of set pixels, relative to the glyph's origin on the baseline (y down,
// `right` excluded).
struct GlyphRun {
    int y, left, right;
};

struct Glyph {
    std::vector<GlyphRun> runs;
    int advance; // along the baseline, 1/64 pixel
};

class Strike {
  public:
    // `height` as in LOGFONTA; `escapement` in tenths of a degree.
    Strike(FT_Face face, const FaceChoice& choice, int height, int escapement);
    Strike(const Strike&) = delete;
    Strike& operator=(const Strike&) = delete;

    const Glyph& Get(char32_t codePoint) {
        if (codePoint < ascii.size()) {
            std::optional<Glyph>& glyph = ascii[codePoint];
            if (!glyph) glyph = Render(codePoint);
            return *glyph;
        }
        auto found = others.find(codePoint);
        if (found == others.end()) found = others.emplace(codePoint, Render(codePoint)).first;
        return found->second;
    }

    int ascent = 0, descent = 0; // the cell: ascent + descent pixels high
    // Top of the underline below the baseline, and its thickness, in pixels.
    int underlineOffset = 1, underlineThickness = 1;
    // Direction of the baseline on the screen: (cosine, -sine).
    double cosine = 1, sine = 0;

  private:
    Glyph Render(char32_t codePoint);

    FT_Face face;
    int pixels; // em size
    FT_Pos emboldenStrength = 0;
    FT_Matrix transform;
    bool transformed;
    std::array<std::optional<Glyph>, 128> ascii;
    std::unordered_map<char32_t, Glyph> others;
};

struct Font {
    Strike* strike;
    bool underline;
};

// The font of a context: the selected one, or the stock font. Null only when no
// face is installed.
Font* FontOf(HDC dc);

} // namespace platform
