// Fonts and text of the system's GDI. The system's own face names are the
// faces Windows has for them (MS Mincho, MS Gothic) where it has them; where it
// does not, the faces shipped in the fonts folder beside the program stand in,
// added for this program alone. Text is CP932 and reaches the system as UTF-16.
#include "platform/files/files.h"
#include "platform/formats/text_encoding.h"
#include "platform/win/face_list.h"
#include "platform/win/fonts.h"
#include "platform/win/system_faces.h"

#include "platform/win/win32.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

namespace platform {

struct Font {
    ::HFONT native;
};

namespace {

bool Installed(const wchar_t* face) {
    ::HDC screen = CreateCompatibleDC(nullptr);
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(
        screen, &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, ::DWORD, LPARAM data) -> int {
            *reinterpret_cast<bool*>(data) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    DeleteDC(screen);
    return found;
}

// The face each system name is drawn with, settled once for the run: the
// substitutes the system lacks are added from the fonts folder then.
const std::map<std::string, std::wstring>& FacesInUse() {
    static const std::map<std::string, std::wstring> faces = [] {
        std::map<std::string, std::wstring> chosen;
        const std::wstring folder = windows::WideFromUtf8(ExecutableFolder()) + L"fonts\\";
        for (const SystemFace& face : SystemFaces) {
            if (Installed(face.windowsFace)) {
                chosen[face.name] = face.windowsFace;
                continue;
            }
            const std::wstring standIn =
                windows::WideFromUtf8(reinterpret_cast<const char*>(face.standIn));
            if (!Installed(standIn.c_str()))
                AddFontResourceExW((folder + windows::WideFromUtf8(face.standInFile)).c_str(),
                                   FR_PRIVATE, nullptr);
            chosen[face.name] = standIn;
        }
        return chosen;
    }();
    return faces;
}

::HFONT NativeFont(HDC dc) {
    static const ::HFONT stock = [] {
        LOGFONTA standard{};
        standard.lfHeight = 12;
        standard.lfCharSet = SHIFTJIS_CHARSET;
        std::strcpy(standard.lfFaceName, SystemFaces[1].name);
        Font* font = CreateFontIndirect(&standard);
        return font ? font->native : nullptr;
    }();
    return dc->font ? dc->font->native : stock;
}

// Draws with the context's font and modes; the text reaches the surface's
// memory before this returns.
template <typename Drawing> auto WithFont(HDC dc, Drawing drawing) {
    auto native = static_cast<::HDC>(dc->native);
    ::SetBkMode(native, dc->backMode);
    ::SetBkColor(native, dc->backColor);
    ::SetTextColor(native, dc->textColor);
    ::HGDIOBJ old = ::SelectObject(native, NativeFont(dc));
    const auto result = drawing(native);
    ::SelectObject(native, old);
    GdiFlush();
    return result;
}

bool Drawable(HDC dc) { return dc && dc->surface && dc->native; }

std::uint8_t CharSetOf(BYTE charSet) {
    if (charSet == SHIFTJIS_CHARSET || charSet == SYMBOL_CHARSET) return charSet;
    return ANSI_CHARSET;
}

} // namespace

std::map<std::string, std::uint8_t> InstalledFamilies() {
    // The faces standing in for the system's own are added first.
    FacesInUse();
    // A family counts as Japanese or symbol when it offers that character set.
    std::map<std::string, std::uint8_t> families;
    ::HDC screen = CreateCompatibleDC(nullptr);
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(
        screen, &all,
        [](const LOGFONTW* font, const TEXTMETRICW*, ::DWORD, LPARAM data) -> int {
            auto& found = *reinterpret_cast<std::map<std::string, std::uint8_t>*>(data);
            const std::wstring wide = font->lfFaceName;
            // Faces for vertical writing, and names CP932 cannot write, are left out.
            const std::string name = windows::Cp932FromWide(wide);
            if (wide.empty() || wide[0] == L'@' || windows::WideFromCp932(name) != wide) return 1;
            std::uint8_t& charSet = found.try_emplace(name, ANSI_CHARSET).first->second;
            if (charSet == ANSI_CHARSET) charSet = CharSetOf(font->lfCharSet);
            return 1;
        },
        reinterpret_cast<LPARAM>(&families), 0);
    DeleteDC(screen);
    return families;
}

HFONT CreateFontIndirect(const LOGFONTA* font) {
    if (!font) return nullptr;
    LOGFONTW wide{};
    wide.lfHeight = font->lfHeight;
    wide.lfWidth = font->lfWidth;
    wide.lfEscapement = font->lfEscapement;
    wide.lfOrientation = font->lfOrientation;
    wide.lfWeight = font->lfWeight;
    wide.lfItalic = font->lfItalic;
    wide.lfUnderline = font->lfUnderline;
    wide.lfStrikeOut = font->lfStrikeOut;
    wide.lfCharSet = font->lfCharSet;
    wide.lfOutPrecision = font->lfOutPrecision;
    wide.lfClipPrecision = font->lfClipPrecision;
    wide.lfQuality = font->lfQuality;
    wide.lfPitchAndFamily = font->lfPitchAndFamily;
    const std::string name(font->lfFaceName, strnlen(font->lfFaceName, LF_FACESIZE));
    std::wstring face = windows::WideFromCp932(name);
    for (const SystemFace& system : SystemFaces) {
        if (name != system.name) continue;
        face = FacesInUse().at(name);
        wide.lfWeight =
            std::max<LONG>(wide.lfWeight ? wide.lfWeight : FW_NORMAL, system.minimumWeight);
    }
    wcsncpy(wide.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    ::HFONT native = CreateFontIndirectW(&wide);
    return native ? new Font{native} : nullptr;
}

HFONT SelectObject(HDC dc, HFONT font) { return dc ? std::exchange(dc->font, font) : nullptr; }

BOOL DeleteObject(HFONT font) {
    if (!font) return 0;
    ::DeleteObject(font->native);
    delete font;
    return 1;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    return dc ? std::exchange(dc->textColor, color) : CLR_INVALID;
}

BOOL TextOut(HDC dc, int x, int y, const char* text, int length) {
    if (!Drawable(dc) || !text || length < 0) return 0;
    const std::wstring wide = windows::WideFromCp932({text, static_cast<std::size_t>(length)});
    return WithFont(dc, [&](::HDC native) {
        return TextOutW(native, x, y, wide.c_str(), static_cast<int>(wide.size()));
    });
}

BOOL GetTextExtentPoint32(HDC dc, const char* text, int length, SIZE* size) {
    if (!dc || !text || length < 0 || !size) return 0;
    const std::wstring wide = windows::WideFromCp932({text, static_cast<std::size_t>(length)});
    ::HDC measure = dc->native ? static_cast<::HDC>(dc->native) : CreateCompatibleDC(nullptr);
    ::HGDIOBJ old = ::SelectObject(measure, NativeFont(dc));
    ::SIZE extent{};
    const BOOL done =
        GetTextExtentPoint32W(measure, wide.c_str(), static_cast<int>(wide.size()), &extent);
    ::SelectObject(measure, old);
    if (!dc->native) DeleteDC(measure);
    size->cx = extent.cx;
    size->cy = extent.cy;
    return done;
}

int DrawText(HDC dc, const char* text, int length, RECT* rect, UINT format) {
    if (!Drawable(dc) || !text || !rect) return 0;
    const std::wstring wide = windows::WideFromCp932(
        length < 0 ? std::string_view(text)
                   : std::string_view(text, static_cast<std::size_t>(length)));
    ::RECT area{rect->left, rect->top, rect->right, rect->bottom};
    const int height = WithFont(dc, [&](::HDC native) {
        return DrawTextW(native, wide.c_str(), static_cast<int>(wide.size()), &area, format);
    });
    if (format & DT_CALCRECT) *rect = {area.left, area.top, area.right, area.bottom};
    return height;
}

} // namespace platform
