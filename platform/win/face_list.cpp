#include "platform/win/face_list.h"

#include "platform/formats/text_encoding.h"
#include "platform/win/fonts.h"
#include "platform/win/system_faces.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace platform {

namespace {

const std::vector<InstalledFace>* overrideFaces = nullptr;

std::vector<InstalledFace> ListFaces() {
    std::vector<InstalledFace> faces;
    for (const SystemFace& face : SystemFaces) faces.push_back({face.name, SHIFTJIS_CHARSET});
    for (const auto& [name, charSet] : InstalledFamilies()) {
        const bool system = std::any_of(std::begin(SystemFaces), std::end(SystemFaces),
                                        [&](const SystemFace& face) { return name == face.name; });
        if (!system && !name.empty() && name.size() < LF_FACESIZE) faces.push_back({name, charSet});
    }
    return faces;
}

} // namespace

int EnumFonts(HDC dc, FONTENUMPROCA callback, LPARAM data) {
    if (!dc || !callback) return 0;
    static const std::vector<InstalledFace> installed = ListFaces();
    int result = 1;
    for (const InstalledFace& face : overrideFaces ? *overrideFaces : installed) {
        LOGFONTA font{};
        const std::size_t length = Cp932Prefix(face.name, LF_FACESIZE - 1);
        std::memcpy(font.lfFaceName, face.name.data(), length);
        font.lfWeight = 400;
        font.lfCharSet = face.charSet;
        result = callback(&font, data);
        if (!result) break;
    }
    return result;
}

void OverrideInstalledFaces(const std::vector<InstalledFace>* faces) { overrideFaces = faces; }

} // namespace platform
