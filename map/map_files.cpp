#include "map/map_files.h"

#include "map/map_model.h"
#include "platform/files/file_io.h"
#include "platform/files/file_lock.h"
#include "platform/files/file_set.h"
#include "platform/files/files.h"
#include "platform/files/snapshot_task.h"

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

std::array<std::string, MAP_FILE_COUNT> FileNames(const char* name) {
    std::array<std::string, MAP_FILE_COUNT> names;
    for (int file = 0; file < MAP_FILE_COUNT; ++file) names[file] = FileName(name, file);
    return names;
}

// A save holds the map's lock exclusively while it writes, and a load holds it
// shared while it reads, so that a load never sees a save half done, whichever
// program does either. The lock file and the journal sit beside the map and
// are named after its chip file as found on disk, so that every spelling of
// the name finds them.
constexpr int LOCK_WAIT_MS = 10000;   // longer than a full map takes to save or load
constexpr int UNLOCKED_READINGS = 20; // reads of a map without a lock file, should each meet a save

std::string BesideMap(const char* name, const char* suffix) {
    const std::string chips = FileName(name, CHIP_FILE);
    return chips.substr(0, chips.size() - MapFileName("", CHIP_FILE).size()) + suffix;
}

std::string LockPath(const char* name) { return BesideMap(name, ".lock"); }
std::string JournalPath(const char* name) { return BesideMap(name, ".journal"); }

// Sets `error` (and errno) and gives 0.
int Fail(MapError& error, MapFault fault, int cause, const std::string& file, long holder = 0) {
    error = {fault, cause, file, holder};
    errno = cause;
    return 0;
}

// Takes the map's lock, or fails the way of a lock.
int TakeLock(platform::FileLock& lock, const std::string& path, platform::LockKind kind,
             MapError& error, const char* createLike = nullptr) {
    if (lock.Take(path, kind, LOCK_WAIT_MS, createLike)) return 1;
    return Fail(error, errno == EWOULDBLOCK ? MapFault::Held : MapFault::System, errno, path,
                lock.Holder());
}

// The files' identities as they are now; a missing file has none.
MapFileIdentities IdentitiesOf(const platform::FileSet& set) {
    MapFileIdentities identities;
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        if (!platform::IdentifyFile(set.Path(file), identities[file])) identities[file] = {};
    return identities;
}

// Runs task(file) for every file, side by side when threads can be had (a
// task on a snapshot of the editor may start none). Full maps run to hundreds
// of megabytes of text, so both cores are worth using.
template <typename Task> void ForEachFile(const Task& task) {
    std::vector<std::thread> helpers;
    helpers.reserve(MAP_FILE_COUNT);
    for (int file = 1; file < MAP_FILE_COUNT; ++file) {
        if (platform::InSnapshotTask()) {
            task(file);
            continue;
        }
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

// Writes the new file of a layer, flushed to the disk. 0 with the cause in
// errno on failure.
int WriteNewFile(platform::FileSet& set, const MapLayers& map, int file) {
    const int fd = set.Create(file);
    if (fd < 0) return 0;
    if (WriteLayer(fd, map, LayerOfFile(map, file))) return platform::FlushAndClose(fd);
    const int error = errno;
    platform::CloseFile(fd);
    errno = error;
    return 0;
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

// Takes the open file for reading, with its buffer. 0 when memory runs out.
int TakeOpen(int fd, OpenFile& file) {
    file.fd = fd;
    file.buffer.reset(new (std::nothrow) char[READ_BLOCK]);
    file.room = file.buffer ? READ_BLOCK : 0;
    errno = file.buffer ? 0 : ENOMEM;
    return file.buffer != nullptr;
}

// Where the pieces of the layer's last column end in [begin, end), part of a
// line: just after the space that closes that piece; null when the text holds
// fewer pieces.
const char* EndOfLastColumn(const char* begin, const char* end) {
    int pieces = 0;
    for (const char* p = begin; p < end; ++p)
        if (*p == ' ' && p > begin && p[-1] != ' ' && ++pieces == LAYER_COLUMNS) return p + 1;
    return nullptr;
}

// Reads the file from its start and calls use(begin, end) on runs of whole
// lines, each line with its '\n' but the file's last one maybe without. The
// buffer grows to hold the longest line, but no further than the end of the
// piece of the layer's last column: the rest of a longer line is read past
// without being kept, since its cells lie beyond the layer. 0 on a read error
// or when memory runs out.
template <typename Use> int ForEachLines(OpenFile& file, const Use& use) {
    if (!platform::Rewind(file.fd)) return 0;
    std::size_t held = 0;
    bool pastLastColumn = false; // reading past the rest of an over-long line
    while (true) {
        if (held == file.room) { // a line longer than the buffer
            char* const start = file.buffer.get();
            if (const char* cut = EndOfLastColumn(start, start + held)) {
                held = static_cast<std::size_t>(cut - start);
                pastLastColumn = true;
            } else {
                std::unique_ptr<char[]> larger(new (std::nothrow) char[2 * file.room]);
                if (!larger) {
                    errno = ENOMEM;
                    return 0;
                }
                std::memcpy(larger.get(), start, held);
                file.buffer = std::move(larger);
                file.room *= 2;
            }
        }
        char* const start = file.buffer.get();
        const std::ptrdiff_t n = platform::ReadSome(file.fd, start + held, file.room - held);
        if (n < 0) return 0;
        if (n == 0) {
            if (held > 0) use(start, start + held);
            return 1;
        }
        if (pastLastColumn) {
            // Only the line's end is wanted: it is kept, with what follows it.
            const void* lineEnd = std::memchr(start + held, '\n', static_cast<std::size_t>(n));
            if (!lineEnd) continue;
            const char* const from = static_cast<const char*>(lineEnd);
            const std::size_t rest = static_cast<std::size_t>(start + held + n - from);
            std::memmove(start + held, from, rest);
            held += rest;
            pastLastColumn = false;
        } else {
            held += static_cast<std::size_t>(n);
        }
        const std::size_t lastEnd = std::string_view(start, held).rfind('\n');
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

// Reads the files of the set into the map's layers: each is read through and
// checked (that it can be read and holds a number) before the first cell
// changes, then read again into its layer. When `changed` says that the files
// changed meanwhile, before the layers do or after, -1: they are to be read
// again. 1 when read, with the files' identities in `read` when given; 0 with
// `fault` set on failure.
template <typename Changed>
int ReadLayers(MapLayers& map, const platform::FileSet& set, MapError& fault,
               MapFileIdentities* read, const Changed& changed) {
    int fds[MAP_FILE_COUNT];
    int failed;
    if (!set.OpenForReading(fds, failed))
        return Fail(fault, MapFault::System, errno, failed < 0 ? set.Record() : set.Path(failed));
    OpenFile files[MAP_FILE_COUNT];
    int errors[MAP_FILE_COUNT] = {};
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        if (!TakeOpen(fds[file], files[file])) errors[file] = errno;

    int holds[MAP_FILE_COUNT] = {};
    ForEachFile([&](int file) {
        if (!errors[file] && !ForEachLines(files[file], [&](const char* begin, const char* end) {
                holds[file] = holds[file] || HoldsNumber(begin, end);
            }))
            errors[file] = errno;
    });
    for (int file = 0; file < MAP_FILE_COUNT; ++file) {
        if (errors[file]) return Fail(fault, MapFault::System, errors[file], set.Path(file));
        if (!holds[file]) return Fail(fault, MapFault::NoNumbers, 0, set.Path(file));
    }
    if (changed()) return -1;

    LayerProgress progress[MAP_FILE_COUNT];
    ForEachFile([&](int file) {
        if (!ForEachLines(files[file], [&](const char* begin, const char* end) {
                ParseLines(begin, end, LayerOfFile(map, file), progress[file]);
            }))
            errors[file] = errno;
    });
    map.width = ClampScreens(progress[SIZE_FILE].lastPieces / SCREEN_COLUMNS);
    map.height = ClampScreens(progress[SIZE_FILE].lines / SCREEN_ROWS);
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        if (errors[file]) return Fail(fault, MapFault::System, errors[file], set.Path(file));
    if (changed()) return -1;
    if (read)
        for (int file = 0; file < MAP_FILE_COUNT; ++file)
            platform::IdentifyOpenFile(files[file].fd, (*read)[file]);
    return 1;
}

} // namespace

std::string MapFileName(const std::string& name, int file) {
    const char* const suffixes[MAP_FILE_COUNT] = {"_data.txt", "_zk.txt", "_teki.txt"};
    return name + suffixes[file];
}

const char* MapNameFault(const char* name) {
    const char* base = name;
    for (const char* c = name; *c; ++c) {
        if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7f)
            return "a map name cannot hold control characters";
        if (*c == '/' || *c == '\\') base = c + 1;
    }
    if (!*base) return "a map name cannot be empty";
    if (std::strcmp(base, ".") == 0 || std::strcmp(base, "..") == 0)
        return "a map name cannot be \".\" or \"..\"";
    return nullptr;
}

std::string DescribeMapError(const MapError& error) {
    switch (error.fault) {
    case MapFault::None:
        return "";
    case MapFault::BadName:
        return error.file;
    case MapFault::System:
        return error.file + ": " + std::strerror(error.cause);
    case MapFault::NoNumbers:
        return error.file + ": holds no number";
    case MapFault::Held:
        return error.file + ": held by " +
               (error.holder ? "process " + std::to_string(error.holder)
                             : std::string("another program")) +
               " for " + std::to_string(LOCK_WAIT_MS / 1000) + " seconds";
    case MapFault::Changed:
        return "the map's files have changed since they were read";
    }
    return "";
}

int SaveMap(const MapLayers& map, const char* name, MapError* error,
            const MapFileIdentities* unchangedSince, MapFileIdentities* written) {
    MapError ignored;
    MapError& fault = error ? *error : ignored;
    fault = {};
    if (const char* bad = MapNameFault(name)) return Fail(fault, MapFault::BadName, EINVAL, bad);
    const std::array<std::string, MAP_FILE_COUNT> names = FileNames(name);
    platform::FileSet set(names, JournalPath(name));
    int refused;
    // A save that would be refused is refused before the lock file is made.
    if (!set.CheckWritable(refused)) {
        const int cause = errno;
        return Fail(fault, MapFault::System, cause,
                    set.Found() ? set.Path(refused) : names[set.Unfound()]);
    }
    // The lock file gets the attributes of the map's files, so that whoever
    // may write them may lock them.
    std::string like;
    for (int file = MAP_FILE_COUNT - 1; file >= 0; --file)
        if (platform::PathExists(set.Path(file))) like = set.Path(file);
    platform::FileLock lock;
    if (!TakeLock(lock, LockPath(name), platform::LockKind::Exclusive, fault, like.c_str()))
        return 0;
    if (!set.Settle()) return Fail(fault, MapFault::System, errno, set.Record());
    if (unchangedSince && IdentitiesOf(set) != *unchangedSince)
        return Fail(fault, MapFault::Changed, EEXIST, set.Path(CHIP_FILE));

    // All three files are written under temporary names first, and put in
    // place together, so that a failure anywhere leaves the previous map whole.
    int errors[MAP_FILE_COUNT] = {}; // errno of each file's writer, which may be another thread
    ForEachFile([&](int file) {
        if (!WriteNewFile(set, map, file)) errors[file] = errno;
    });
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        if (errors[file]) return Fail(fault, MapFault::System, errors[file], set.Path(file));
    if (!set.Replace()) return Fail(fault, MapFault::System, errno, set.Path(CHIP_FILE));
    if (written) *written = IdentitiesOf(set);
    return 1;
}

int LoadMap(MapLayers& map, const char* name, MapError* error, MapFileIdentities* read) {
    MapError ignored;
    MapError& fault = error ? *error : ignored;
    fault = {};
    if (const char* bad = MapNameFault(name)) return Fail(fault, MapFault::BadName, EINVAL, bad);
    if (!AllocateLayers(map)) return Fail(fault, MapFault::System, ENOMEM, "");
    const std::array<std::string, MAP_FILE_COUNT> names = FileNames(name);
    platform::FileSet set(names, JournalPath(name));
    if (!set.Found()) return Fail(fault, MapFault::System, errno, names[set.Unfound()]);
    const std::string lockPath = LockPath(name);

    for (int reading = 1;; ++reading) {
        // A map that no program of ours has saved has no lock file, and a
        // reader makes none, whose owner might keep a later writer out: it is
        // read without, and read again when a save came meanwhile. So is a map
        // whose lock file this user may not open.
        platform::FileLock lock;
        const int locked = lock.Take(lockPath, platform::LockKind::Shared, LOCK_WAIT_MS);
        if (!locked && errno == EWOULDBLOCK)
            return Fail(fault, MapFault::Held, errno, lockPath, lock.Holder());
        if (locked && set.Pending()) {
            // A save stopped half-way: finished or undone now, when this user
            // may; otherwise the set its journal names is read.
            lock.Release();
            platform::FileLock writer;
            if (writer.Take(lockPath, platform::LockKind::Exclusive, LOCK_WAIT_MS))
                set.Settle();
            else if (errno == EWOULDBLOCK)
                return Fail(fault, MapFault::Held, errno, lockPath, writer.Holder());
            writer.Release();
            if (!TakeLock(lock, lockPath, platform::LockKind::Shared, fault)) return 0;
        }
        const auto state = [&] {
            std::array<platform::FileIdentity, MAP_FILE_COUNT + 2> found{};
            if (locked) return found;
            platform::IdentifyFile(lockPath, found[0]);
            platform::IdentifyFile(set.Record(), found[1]);
            for (int file = 0; file < MAP_FILE_COUNT; ++file)
                platform::IdentifyFile(set.Path(file), found[file + 2]);
            return found;
        };
        const auto before = state();
        const int done = ReadLayers(map, set, fault, read, [&] { return state() != before; });
        if (done >= 0) return done;
        if (reading == UNLOCKED_READINGS)
            return Fail(fault, MapFault::System, EAGAIN, set.Path(CHIP_FILE));
    }
}

int MapExists(const char* name) {
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        if (platform::IsRegularFile(FileName(name, file))) return 1;
    return 0;
}

int IsMapFile(const char* name, const std::string& path) {
    if (!platform::PathExists(path)) return 0;
    std::string files[MAP_FILE_COUNT + 2] = {LockPath(name), JournalPath(name)};
    for (int file = 0; file < MAP_FILE_COUNT; ++file) files[file + 2] = FileName(name, file);
    for (const std::string& file : files)
        if (platform::SameFile(path, file)) return 1;
    return 0;
}

} // namespace tessera
