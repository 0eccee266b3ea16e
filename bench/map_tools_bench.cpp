// tessera-map run as the program on full 64 x 64-screen maps (6144 x 4608
// cells), made once per run: "full", chips of every part of the sheet,
// different in neighbouring cells; and "level", laid out as a level is
// (tests/level_map.h); both with an attribute in about one cell of eleven and
// an enemy every few screens. Also imports of documents made to cost time or
// memory. The editor's own load of the full map is the reference.
// Times are wall-clock seconds; peak_MB is the largest resident size of the
// program in the runs measured, size_MB the size of what it wrote. The level's
// pictures are compared with what the PNG library makes of the same pixels at
// zlib's fastest level (fast_MB), which takes a minute or two.
#include "map/map_files.h"
#include "map/map_model.h"
#include "tests/level_map.h"
#include "tests/spawn_in_folder.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string Folder;

// Makes and saves both maps in a child process, so that this one stays small:
// the peak size the system reports for a program counts the process it was
// started from.
bool MakeMaps() {
    const pid_t child = fork();
    if (child == 0) {
        tessera::MapLayers map;
        if (!AllocateLayers(map)) _exit(1);
        map.width = map.height = MAP_SIZE_MAX;
        for (const bool level : {false, true}) {
            for (int row = 0; row < LAYER_ROWS; ++row)
                for (int column = 0; column < LAYER_COLUMNS; ++column) {
                    map.chips[row][column] =
                        level ? LevelChip(row, column) : (row * 977 + column * 131) % 20000;
                    map.attributes[row][column] =
                        (row * 7 + column * 3) % 11 == 0 ? (row + column) % 16 : 0;
                    map.enemies[row][column] =
                        row % 37 == 5 && column % 41 == 3 ? 1 + (row + column) % 8 : 0;
                }
            if (!SaveMap(map, (Folder + (level ? "/level" : "/full")).c_str())) _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// Runs tessera-map with the arguments in the maps' folder; its exit status,
// and its peak resident size in megabytes in `peak`.
int RunMap(const std::vector<std::string>& arguments, double& peak) {
    const pid_t child = SpawnInFolder(TESSERA_MAP, arguments, Folder);
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
    peak = std::max(peak, static_cast<double>(usage.ru_maxrss) / 1024);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double MegabytesOf(const std::string& file) {
    return static_cast<double>(std::filesystem::file_size(Folder + "/" + file)) / (1 << 20);
}

void Command(benchmark::State& state, std::vector<std::string> arguments, const char* made = "") {
    double peak = 0;
    for (auto _ : state)
        if (RunMap(arguments, peak) != 0) state.SkipWithError(arguments[0].c_str());
    state.counters["peak_MB"] = peak;
    if (*made) state.counters["size_MB"] = MegabytesOf(made);
}

// The size of the PNG file `file` as the PNG library writes the same pixels
// at zlib's fastest level, filtering rows as it chooses; read and written a
// row at a time. 0 on failure.
double FastDeflateMegabytes(const std::string& file) {
    std::FILE* in = std::fopen((Folder + "/" + file).c_str(), "rb");
    if (!in) return 0;
    png_structp reader = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop readInfo = png_create_info_struct(reader);
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop writeInfo = png_create_info_struct(writer);
    double size = 0;
    bool done = false;
    if (setjmp(png_jmpbuf(reader)) == 0) {
        if (setjmp(png_jmpbuf(writer)) == 0) {
            png_init_io(reader, in);
            png_read_info(reader, readInfo);
            const png_uint_32 width = png_get_image_width(reader, readInfo);
            const png_uint_32 height = png_get_image_height(reader, readInfo);
            png_set_write_fn(
                writer, &size,
                [](png_structp png, png_bytep, png_size_t n) {
                    *static_cast<double*>(png_get_io_ptr(png)) += static_cast<double>(n);
                },
                nullptr);
            png_set_IHDR(writer, writeInfo, width, height, 8, PNG_COLOR_TYPE_RGB,
                         PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
            png_set_compression_level(writer, 1);
            png_write_info(writer, writeInfo);
            std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
            for (png_uint_32 y = 0; y < height; ++y) {
                png_read_row(reader, row.data(), nullptr);
                png_write_row(writer, row.data());
            }
            png_write_end(writer, writeInfo);
            done = true;
        }
    }
    png_destroy_read_struct(&reader, &readInfo, nullptr);
    png_destroy_write_struct(&writer, &writeInfo);
    std::fclose(in);
    return done ? size / (1 << 20) : 0;
}

void BM_RenderScale1(benchmark::State& state) {
    Command(state, {"render", "full", "full.png"}, "full.png");
    std::filesystem::remove(Folder + "/full.png"); // gigabytes
}
void BM_RenderScale8(benchmark::State& state) {
    Command(state, {"render", "full", "small.png", "--scale", "8"}, "small.png");
}
void BM_RenderLevelScale1(benchmark::State& state) {
    Command(state, {"render", "level", "level.png"}, "level.png");
    state.counters["fast_MB"] = FastDeflateMegabytes("level.png");
}
void BM_RenderLevelScale8(benchmark::State& state) {
    Command(state, {"render", "level", "level8.png", "--scale", "8"}, "level8.png");
    state.counters["fast_MB"] = FastDeflateMegabytes("level8.png");
}
void BM_Export(benchmark::State& state) { Command(state, {"export", "full", "full.tmx"}); }
void BM_Import(benchmark::State& state) {
    double peak = 0;
    if (!std::filesystem::exists(Folder + "/full.tmx") &&
        RunMap({"export", "full", "full.tmx"}, peak) != 0)
        state.SkipWithError("export failed");
    Command(state, {"import", "full.tmx", "copy"});
}

// A document of an empty one-screen map with `inside` at the start of the map
// element's attributes (`inTag`) or of its content.
void WriteHostile(const std::string& file, const std::string& inside, bool inTag) {
    std::string gids;
    for (int i = 0; i < 96 * 72; ++i) gids += i ? ",1" : "1";
    std::ofstream out(Folder + "/" + file, std::ios::binary);
    out << "<?xml version=\"1.0\"?>\n<map" << (inTag ? inside : "")
        << " orientation=\"orthogonal\" width=\"96\" height=\"72\" tilewidth=\"8\" "
           "tileheight=\"8\">\n"
        << (inTag ? "" : inside);
    const char* const names[3] = {"chips", "attributes", "enemies"};
    for (int i = 0; i < 3; ++i)
        out << "<tileset firstgid=\"1\" name=\"" << names[i] << "\"/>\n<layer name=\"" << names[i]
            << "\" width=\"96\" height=\"72\"><data encoding=\"csv\">" << gids
            << "</data></layer>\n";
    out << "</map>\n";
}

void BM_ImportManyAttributes(benchmark::State& state) {
    std::string attributes;
    for (int i = 0; i < 200000; ++i) attributes += " a" + std::to_string(i) + "=\"1\"";
    WriteHostile("attributes.tmx", attributes, true);
    Command(state, {"import", "attributes.tmx", "hostile"});
}
void BM_ImportElementFlood(benchmark::State& state) {
    std::string flood;
    while (flood.size() < std::size_t{100} << 20) flood += "<a/><b c='d'/>";
    WriteHostile("flood.tmx", flood, false);
    Command(state, {"import", "flood.tmx", "hostile"});
}

// In this process, which it makes large: run last.
void BM_LoadMap(benchmark::State& state) {
    const std::string name = Folder + "/full";
    tessera::MapLayers map;
    for (auto _ : state)
        if (!LoadMap(map, name.c_str()) || map.width != 64 || map.height != 64)
            state.SkipWithError("LoadMap failed");
}

BENCHMARK(BM_RenderScale1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_RenderScale8)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_RenderLevelScale1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_RenderLevelScale8)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Export)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Import)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ImportManyAttributes)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ImportElementFlood)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_LoadMap)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const char* tmp = std::getenv("TMPDIR");
    Folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/map_tools_bench.XXXXXX";
    if (!mkdtemp(Folder.data()) || !MakeMaps()) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Folder);
    return 0;
}
