// Draws every image the editor loads and writes them into the folder given on
// the command line: bmp/ for the panel, the chip sheets and the dimming image,
// char/ for the enemy sprites.
#include "tools/assets/chip_sheets.h"
#include "tools/assets/dimming_image.h"
#include "tools/assets/enemies.h"
#include "tools/assets/panel_image.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

bool Write(const std::filesystem::path& path, const assets::Canvas& canvas) {
    if (platform::WriteBmp24(path.string(), canvas.Image())) return true;
    std::fprintf(stderr, "tessera-assets: cannot write %s\n", path.string().c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessera-assets OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path root = argv[1], bmp = root / "bmp", chars = root / "char";
    std::error_code error;
    std::filesystem::create_directories(bmp, error);
    std::filesystem::create_directories(chars, error);

    bool ok = Write(bmp / "edita.bmp", assets::DrawPanelImage());
    const auto sheets = assets::DrawChipSheets();
    ok = Write(bmp / "m_cp00.BMP", sheets[0]) && ok;
    ok = Write(bmp / "m_cp01.BMP", sheets[1]) && ok;
    ok = Write(bmp / "kurowaku.bmp", assets::DrawDimmingImage()) && ok;
    for (int i = 0; i < assets::kEnemyCount; ++i) {
        const std::string name = "char0" + std::to_string(i) + ".BMP";
        ok = Write(chars / name, assets::DrawEnemy(i)) && ok;
    }
    return ok ? 0 : 1;
}
