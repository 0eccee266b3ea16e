#include "map/map_files.h"

#include "map/map_model.h"
#include "platform/files/file_io.h"
#include "platform/files/file_lock.h"
#include "platform/files/file_replacement.h"
#include "platform/files/files.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace tessera {

namespace {

constexpr int SIZE_FILE = ENEMY_FILE; // the enemy file gives the map size

LayerRow* LayerOfFile(const MapLayers& map, int file) {
    LayerRow* const layers[MAP_FILE_COUNT] = {map.chips, map.attributes, map.enemies};
    return layers[file];
}

std::string FileName(const char* name, int file) {
    return platform::ResolvePath(MapFileName(name, file).c_str());
}

// A save holds the map's lock exclusively while it writes, and a load holds it
// shared while it reads, so that a load never sees a save half done, whichever
// program does either. The lock file sits beside the map and is named after
// its chip file as found on disk, so that every spelling of the name finds it.
constexpr int LOCK_WAIT_MS = 10000; // longer than a full map takes to save or load

std::string LockPath(const char* name) {
    const std::string chips = FileName(name, CHIP_FILE);
    return chips.substr(0, chips.size() - MapFileName("", CHIP_FILE).size()) + ".lock";
}

// Runs task(file) for every file, side by side when threads can be had. Full
// maps run to hundreds of megabytes of text, so both cores are worth using.
template <typename Task> void ForEachFile(const Task& task) {
    std::vector<std::thread> helpers;
    helpers.reserve(MAP_FILE_COUNT);
    for (int file = 1; file < MAP_FILE_COUNT; ++file) {
        try {
            helpers.emplace_back(task, file);
        } catch (const std::system_error&) {
            task(file);
        }
    }
    task(0);
    for (std::thread& helper : helpers) helper.join();
}

// ---- Writing ----

static_assert(std::endian::native == std::endian::little, "digit words are built little-endian");

constexpr std::size_t WRITE_CHUNK = 256 << 10;
constexpr std::size_t VALUE_ROOM = 12; // "-2147483648 ", and what FormatValue may touch
constexpr std::uint64_t ZEROS = 0x3030303030303030u; // '0' in every byte

// The four decimal digits of every n < 10^4, leading zeros included, one digit
// value per byte with the first digit in the lowest byte (memory order).
constexpr std::array<std::uint32_t, 10000> DIGIT_QUADS = [] {
    std::array<std::uint32_t, 10000> quads{};
    for (std::uint32_t n = 0; n < 10000; ++n)
        quads[n] = n / 1000 | (n / 100 % 10) << 8 | (n / 10 % 10) << 16 | (n % 10) << 24;
    return quads;
}();

// The eight digits of n < 10^8 in the same form.
inline std::uint64_t EightDigits(std::uint32_t n) {
    return DIGIT_QUADS[n / 10000] | static_cast<std::uint64_t>(DIGIT_QUADS[n % 10000]) << 32;
}

// Writes `value` as "%d " would, touching at most VALUE_ROOM bytes; returns the
// end of what was written. Values below 10^8 take no branch on their length.
inline char* FormatValue(char* out, std::int32_t value) {
    std::uint32_t rest = static_cast<std::uint32_t>(value);
    *out = '-';
    if (value < 0) rest = 0u - rest;
    out += value < 0;
    if (rest >= 100000000) {
        const std::uint32_t top = rest / 100000000;
        if (top >= 10) *out++ = static_cast<char>('0' + top / 10);
        *out++ = static_cast<char>('0' + top % 10);
        const std::uint64_t digits = EightDigits(rest % 100000000) + ZEROS;
        std::memcpy(out, &digits, 8);
        out[8] = ' ';
        return out + 9;
    }
    std::uint64_t digits = EightDigits(rest);
    const int leadingZeros = __builtin_ctzll(digits | 1ull << 56) / 8;
    digits = (digits + ZEROS) >> 8 * leadingZeros;
    std::memcpy(out, &digits, 8);
    out[8 - leadingZeros] = ' ';
    return out + 9 - leadingZeros;
}

// Writes the part of `layer` within the map's size, in large chunks.
int WriteLayer(int fd, const MapLayers& map, const LayerRow* layer) {
    const int rows = map.height * SCREEN_ROWS;
    const int columns = std::max(map.width * SCREEN_COLUMNS, 0);
    const std::size_t rowRoom = static_cast<std::size_t>(columns) * VALUE_ROOM + 2;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[WRITE_CHUNK + rowRoom]);
    if (!buffer) {
        errno = ENOMEM;
        return 0;
    }
    char* const start = buffer.get();
    char* out = start;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            out = FormatValue(out, GetCell(layer, row, column));
        *out++ = '\r';
        *out++ = '\n';
        if (static_cast<std::size_t>(out - start) >= WRITE_CHUNK) {
            if (!platform::WriteAll(fd, start, static_cast<std::size_t>(out - start))) return 0;
            out = start;
        }
    }
    return platform::WriteAll(fd, start, static_cast<std::size_t>(out - start));
}

// 0 with the cause in errno on failure.
int WriteTemporary(platform::ReplacedFile& target, const MapLayers& map, int file) {
    const int fd = platform::CreateReplacement(target);
    if (fd < 0) return 0;
    const int written = WriteLayer(fd, map, LayerOfFile(map, file));
    const int error = errno;
    if (!platform::CloseFile(fd)) return 0;
    errno = error;
    return written;
}

// ---- Reading ----

constexpr std::size_t READ_BLOCK = 1 << 20;

// A map file open for reading. Files are read a block of whole lines at a
// time, so that loading holds no more than a block or a line of text per file.
struct OpenFile {
    int fd = -1;
    std::unique_ptr<char[]> buffer;
    std::size_t room = 0;

    OpenFile() = default;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        if (fd >= 0) platform::CloseFile(fd);
    }
};

// Opens a regular file. 0 when it cannot be opened or is not a regular file.
int OpenRegular(const std::string& path, OpenFile& file) {
    file.fd = platform::OpenRegularForRead(path);
    if (file.fd < 0) return 0;
    file.buffer.reset(new (std::nothrow) char[READ_BLOCK]);
    file.room = file.buffer ? READ_BLOCK : 0;
    return file.buffer != nullptr;
}

// Reads the file from its start and calls use(begin, end) on runs of whole
// lines, each line with its '\n' but the file's last one maybe without. The
// buffer grows to hold the longest line. 0 on a read error or when memory runs
// out.
template <typename Use> int ForEachLines(OpenFile& file, const Use& use) {
    if (!platform::Rewind(file.fd)) return 0;
    std::size_t held = 0;
    while (true) {
        if (held == file.room) { // a line longer than the buffer
            std::unique_ptr<char[]> larger(new (std::nothrow) char[2 * file.room]);
            if (!larger) return 0;
            std::memcpy(larger.get(), file.buffer.get(), held);
            file.buffer = std::move(larger);
            file.room *= 2;
        }
        char* const start = file.buffer.get();
        const std::ptrdiff_t n = platform::ReadSome(file.fd, start + held, file.room - held);
        if (n < 0) return 0;
        if (n == 0) {
            if (held > 0) use(start, start + held);
            return 1;
        }
        held += static_cast<std::size_t>(n);
        const std::string_view read(start, held);
        const std::size_t lastEnd = read.rfind('\n');
        if (lastEnd == std::string_view::npos) continue;
        const std::size_t whole = lastEnd + 1;
        use(start, start + whole);
        std::memmove(start, start + whole, held - whole);
        held -= whole;
    }
}

inline int IsBlank(char c) { return c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Takes one piece of a line: the bytes from `p` (not a space) up to the next
// space, or up to and including the line's '\n'. Reads a number from its start
// as "%d" does: blanks skipped, an optional sign, digits, the rest ignored.
// Returns 1 with `value` set when there is one and it fits in 32 bits. Leaves
// `p` after the piece and sets `lineEnded` when the piece closed the line.
inline int ReadPiece(const char*& p, const char* end, int& value, bool& lineEnded) {
    const char* s = p;
    while (s < end && IsBlank(*s)) ++s;
    bool negative = false;
    if (s < end && (*s == '-' || *s == '+')) negative = *s++ == '-';
    const char* digits = s;
    std::uint64_t magnitude = 0;
    for (; s < end && static_cast<unsigned char>(*s - '0') < 10; ++s) {
        // Past 2^31 the number is out of range however it goes on.
        if (magnitude <= 0x80000000u) magnitude = magnitude * 10 + static_cast<unsigned>(*s - '0');
    }
    const int found = s > digits && magnitude <= (negative ? 0x80000000u : 0x7fffffffu);
    if (found)
        value = static_cast<int>(negative ? -static_cast<std::int64_t>(magnitude)
                                          : static_cast<std::int64_t>(magnitude));
    while (s < end && *s != ' ' && *s != '\n') ++s;
    lineEnded = s < end && *s == '\n';
    p = lineEnded ? s + 1 : s;
    return found;
}

// The usual piece, one to seven digits followed by a space, read eight bytes
// at a time. Returns 0, leaving `p` alone, for anything else.
inline int TakeShortNumber(const char*& p, const char* end, int& value) {
    if (end - p < 8) return 0;
    std::uint64_t digits;
    std::memcpy(&digits, p, 8);
    digits ^= 0x3030303030303030u; // '0'..'9' become 0..9, every other byte more
    const std::uint64_t notDigit =
        (((digits & 0x7f7f7f7f7f7f7f7fu) + 0x7676767676767676u) | digits) & 0x8080808080808080u;
    if (!notDigit) return 0;
    const int count = __builtin_ctzll(notDigit) / 8;
    if (count == 0 || p[count] != ' ') return 0;
    // Leading zeros in front, then the digits combined pairwise.
    std::uint64_t v = digits << (8 * (8 - count));
    v = v * 10 + (v >> 8);
    v = ((v & 0x000000ff000000ffu) * (100 + (1000000ull << 32)) +
         ((v >> 16) & 0x000000ff000000ffu) * (1 + (10000ull << 32))) >>
        32;
    value = static_cast<int>(v);
    p += count + 1;
    return 1;
}

int HoldsNumber(const char* p, const char* end) {
    int value;
    bool lineEnded;
    while (p < end) {
        if (*p == ' ')
            ++p;
        else if (ReadPiece(p, end, value, lineEnded))
            return 1;
    }
    return 0;
}

// Where reading a layer has come to: the next row, and the line count and the
// piece count of the last line, both up to the last line that holds a number.
struct LayerProgress {
    int row = 0;
    int lines = 0;
    int lastPieces = 0;
};

// Reads whole lines [p, end) into `layer`, one line per row and one piece per
// column. A piece without a number leaves its cell alone but still takes a
// column, and cells beyond the layer are skipped.
void ParseLines(const char* p, const char* end, LayerRow* layer, LayerProgress& progress) {
    int& row = progress.row;
    while (p < end) {
        int column = 0;
        bool lineEnded = false;
        bool holdsNumber = false;
        while (!lineEnded) {
            while (p < end && *p == ' ') ++p;
            if (p == end) break;
            int value;
            if (TakeShortNumber(p, end, value) || ReadPiece(p, end, value, lineEnded)) {
                SetCell(layer, row, column, value);
                holdsNumber = true;
            }
            if (column < INT_MAX) ++column;
        }
        if (row < INT_MAX) ++row;
        // Trailing lines without a number (a blank line, spaces, an end-of-file
        // mark) are not part of the map.
        if (holdsNumber) {
            progress.lines = row;
            progress.lastPieces = column;
        }
    }
}

int ClampScreens(int screens) { return std::clamp(screens, MAP_SIZE_MIN, MAP_SIZE_MAX); }

} // namespace

std::string MapFileName(const std::string& name, int file) {
    const char* const suffixes[MAP_FILE_COUNT] = {"_data.txt", "_zk.txt", "_teki.txt"};
    return name + suffixes[file];
}

int SaveMap(const MapLayers& map, const char* name) {
    // A save that would be refused is refused before the lock file is made.
    platform::ReplacedFile targets[MAP_FILE_COUNT];
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        if (!platform::PrepareReplacement(FileName(name, file), targets[file])) return 0;
    platform::FileLock lock;
    if (!lock.Take(LockPath(name), platform::LockKind::Exclusive, true, LOCK_WAIT_MS)) return 0;

    // All three files are written under temporary names first, and put in
    // place together, so that a failure anywhere leaves the previous map whole.
    int errors[MAP_FILE_COUNT] = {}; // errno of each file's writer, which may be another thread
    ForEachFile([&](int file) {
        if (!WriteTemporary(targets[file], map, file)) errors[file] = errno;
    });
    for (const int error : errors)
        if (error) {
            platform::RestoreFiles(targets);
            errno = error;
            return 0;
        }
    return platform::ReplaceFiles(targets);
}

int LoadMap(MapLayers& map, const char* name) {
    if (!AllocateLayers(map)) return 0;
    std::string paths[MAP_FILE_COUNT];
    for (int file = 0; file < MAP_FILE_COUNT; ++file) paths[file] = FileName(name, file);

    // A map that no program of ours has saved has no lock file yet; it gets
    // one, unless the folder takes no new files, in which case nobody can be
    // saving it there and it is read without. Only a lock still held by a save
    // after the wait stops the load.
    platform::FileLock lock;
    if (!lock.Take(LockPath(name), platform::LockKind::Shared,
                   platform::PathExists(paths[CHIP_FILE]), LOCK_WAIT_MS) &&
        errno == EWOULDBLOCK)
        return 0;

    // Every file is read through and checked before the first cell changes,
    // then read again into its layer; only a file changed in between can make
    // the second reading fail.
    OpenFile files[MAP_FILE_COUNT];
    int usable[MAP_FILE_COUNT] = {};
    ForEachFile([&](int file) {
        int holds = 0;
        usable[file] = OpenRegular(paths[file], files[file]) &&
                       ForEachLines(files[file],
                                    [&](const char* begin, const char* end) {
                                        holds = holds || HoldsNumber(begin, end);
                                    }) &&
                       holds;
    });
    if (!usable[0] || !usable[1] || !usable[2]) return 0;

    LayerProgress progress[MAP_FILE_COUNT];
    int read[MAP_FILE_COUNT] = {};
    ForEachFile([&](int file) {
        read[file] = ForEachLines(files[file], [&](const char* begin, const char* end) {
            ParseLines(begin, end, LayerOfFile(map, file), progress[file]);
        });
    });
    map.width = ClampScreens(progress[SIZE_FILE].lastPieces / SCREEN_COLUMNS);
    map.height = ClampScreens(progress[SIZE_FILE].lines / SCREEN_ROWS);
    return read[0] && read[1] && read[2];
}

int IsMapFile(const char* name, const std::string& path) {
    if (!platform::PathExists(path)) return 0;
    std::string files[MAP_FILE_COUNT + 1] = {LockPath(name)};
    for (int file = 0; file < MAP_FILE_COUNT; ++file) files[file + 1] = FileName(name, file);
    for (const std::string& file : files)
        if (platform::SameFile(path, file)) return 1;
    return 0;
}

} // namespace tessera
