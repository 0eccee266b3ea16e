// Start and end of elText: the shared font description, and the table of the
// faces the back buffer's device context offers.
#include "draw/draw.h"
#include "text/text.h"

#include <cstring>

namespace elText {

platform::LOGFONTA* FontDesc;
FontEntry FontTable[FONT_TABLE_SIZE];
int FontCount;
int TextCopy;

namespace {

int AddFace(const platform::LOGFONTA* font, LPARAM) {
    if (FontCount >= FONT_TABLE_SIZE) return 0;
    FontEntry& entry = FontTable[FontCount];
    std::memcpy(entry.FaceName, font->lfFaceName, platform::LF_FACESIZE);
    entry.FaceName[platform::LF_FACESIZE - 1] = '\0';
    entry.Class = font->lfCharSet == platform::SHIFTJIS_CHARSET ? 1
                  : font->lfCharSet == platform::SYMBOL_CHARSET ? 3
                                                                : 2;
    entry.CharSet = font->lfCharSet;
    ++FontCount;
    return 1;
}

} // namespace

void Init() {
    // A second start (a new screen) begins from a fresh description.
    delete FontDesc;
    FontDesc = new platform::LOGFONTA{};
    for (FontEntry& entry : FontTable) {
        entry.FaceName[0] = '\0';
        entry.Class = -1;
        entry.CharSet = 0;
    }
    platform::HDC dc = elDraw::GetBackDC();
    FontCount = 0;
    platform::EnumFonts(dc, AddFace, 0);
    elDraw::ReleaseBackDC();
    TextCopy = 1;
}

void Quit() {
    delete FontDesc;
    FontDesc = nullptr;
}

} // namespace elText
