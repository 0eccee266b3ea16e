// Makes every image the editor loads and the play-test's data, and writes them
// into the folder given on the command line: bmp/ for the panel, the chip
// sheets and the dimming image, char/ for the enemy sprites, run/ for the
// player's sprite sheet, its sound effects (WAV files in run/wav/, packed into
// run/sounds.pak) and its tune; and the editor's icon in every size of the icon
// theme, icons/hicolor/SIZExSIZE/apps/tessera.png, and all of them in the
// Windows icon file tessera.ico.
#include "draw/draw.h"
#include "map/map_model.h"
#include "png/png_rows.h"
#include "run/run_draw.h"
#include "run/run_sounds.h"
#include "sound/sound.h"
#include "system/system.h"
#include "tools/assets/chip_sheets.h"
#include "tools/assets/dimming_image.h"
#include "tools/assets/enemies.h"
#include "tools/assets/icon.h"
#include "tools/assets/panel_image.h"
#include "tools/assets/player.h"
#include "tools/assets/sound_effects.h"
#include "tools/assets/tune.h"

#include "platform/files/file_set.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A file the programs load by a name in their folder ("bmp\\m_cp00.BMP"), under `root`.
fs::path Beside(const fs::path& root, std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    return root / name;
}

bool Fail(const fs::path& path) {
    std::fprintf(stderr, "tessera-assets: cannot write %s\n", path.string().c_str());
    return false;
}

bool Write(const fs::path& path, const assets::Canvas& canvas) {
    return platform::WriteBmp24(path.string(), canvas.Image()) || Fail(path);
}

bool Write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail() || Fail(path);
}

// Packs the WAV files of `wav` into `pack`. The framework names both relative
// to the program's folder, with backslashes.
bool Pack(const fs::path& pack, const fs::path& wav) {
    const fs::path program = elSystem::ProgramFolder(0);
    std::error_code error;
    auto framework = [&](const fs::path& path) {
        std::string name = fs::relative(path, program, error).string();
        for (char& c : name)
            if (c == '/') c = '\\';
        return name;
    };
    const std::string packName = framework(pack), folderName = framework(wav);
    if (error || packName.empty() || folderName.empty()) return Fail(pack);
    elSound::MakePack(packName.c_str(), folderName.c_str(), 1);
    return fs::is_regular_file(pack, error) || Fail(pack);
}

// Replaces the PNG file at `path` as a whole with the icon of `size` pixels.
bool WriteIcon(const fs::path& path, int size) {
    const std::vector<std::uint8_t> pixels = assets::DrawIcon(size);
    const std::string name = path.string();
    platform::FileSet file({&name, 1}, "");
    int refused;
    const int fd = file.CheckWritable(refused) && file.Settle() ? file.Create(0) : -1;
    bool ok = fd >= 0;
    if (ok) {
        PngRowWriter writer;
        ok = writer.Open(fd, size, size, true);
        for (int y = 0; ok && y < size; ++y)
            ok = writer.WriteRow(&pixels[static_cast<std::size_t>(y) * size * 4]);
        ok = ok && writer.Finish();
    }
    return (ok && file.Replace()) || Fail(path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessera-assets OUTPUT_FOLDER\n");
        return 2;
    }
    const fs::path root = fs::absolute(argv[1]), bmp = root / "bmp", chars = root / "char",
                   wav = root / "run" / "wav";
    std::error_code error;
    for (const fs::path& folder : {bmp, chars, wav}) fs::create_directories(folder, error);

    bool ok = Write(bmp / "edita.bmp", assets::DrawPanelImage());
    const auto sheets = assets::DrawChipSheets();
    for (int i = 0; i < 2; ++i) ok = Write(Beside(root, CHIP_SHEET_FILES[i]), sheets[i]) && ok;
    ok = Write(bmp / "kurowaku.bmp", assets::DrawDimmingImage()) && ok;
    for (int i = 0; i < assets::kEnemyCount; ++i)
        ok = Write(Beside(root, ENEMY_SPRITE_FILES[i]), assets::DrawEnemy(i)) && ok;

    ok = Write(Beside(root, PLAYER_FILE), assets::DrawPlayerSheet()) && ok;
    bool sounds = true;
    for (const assets::SoundEffect& effect : assets::SynthesiseEffects())
        sounds = Write(wav / effect.file, assets::WaveFileBytes(effect.samples)) && sounds;
    ok = sounds && Pack(Beside(root, SOUND_PACK_FILE), wav) && ok;
    ok = Write(Beside(root, TUNE_FILE), assets::TuneBytes()) && ok;
    // The icon theme's sizes, then all of them in one icon file for Windows.
    std::vector<int> sizes;
    std::vector<std::vector<std::uint8_t>> pngs;
    for (const int size : assets::kIconSizes) {
        const std::string side = std::to_string(size);
        const fs::path folder = root / "icons/hicolor" / (side + "x" + side) / "apps";
        fs::create_directories(folder, error);
        const bool written = WriteIcon(folder / "tessera.png", size);
        std::ifstream png(folder / "tessera.png", std::ios::binary);
        sizes.push_back(size);
        pngs.emplace_back(std::istreambuf_iterator<char>(png), std::istreambuf_iterator<char>());
        ok = written && ok;
    }
    ok = Write(root / "tessera.ico", assets::IconFileBytes(sizes, pngs)) && ok;
    return ok ? 0 : 1;
}
