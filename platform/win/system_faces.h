// The system's face names that programs ask for, and what draws each: the
// face Windows has for it where that is installed, else a face that stands in
// for it (installed on Linux; on Windows shipped in the fonts folder beside the
// programs), drawn at least this heavy.
#pragma once

namespace platform {

struct SystemFace {
    const char* name;           // CP932
    const wchar_t* windowsFace; // Windows' own face
    const char8_t* standIn;     // family name of the face standing in
    const char* standInFile;    // its file in the Windows programs' fonts folder
    int minimumWeight;
};

inline constexpr SystemFace SystemFaces[] = {
    {"標準明朝", L"MS Mincho", u8"IPAMincho", "ipam.ttf", 0},
    {"標準ゴシック", L"MS Gothic", u8"IPAGothic", "ipag.ttf", 0},
    // A rounded face made heavy stands in for the heavy pop display face.
    {"HG創英角ﾎﾟｯﾌﾟ体", L"HG創英角ﾎﾟｯﾌﾟ体", u8"MotoyaLMaru", "MTLmr3m.ttf", 900},
};

} // namespace platform
