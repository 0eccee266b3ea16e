#include "map/map_files.h"
#include "map/map_model.h"
#include "platform/files/file_set.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "tests/test_folder.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// `lines` lines of `values` copies of "v ", each ended by `eol`.
std::string Uniform(int lines, int values, int v, const char* eol = "\r\n") {
    std::string line;
    for (int i = 0; i < values; ++i) line += std::to_string(v) + " ";
    line += eol;
    std::string text;
    for (int i = 0; i < lines; ++i) text += line;
    return text;
}

void WriteMap(const std::string& name, const std::string& data, const std::string& zk,
              const std::string& teki) {
    WriteFile(tessera::MapFileName(name, CHIP_FILE), data);
    WriteFile(tessera::MapFileName(name, ATTR_FILE), zk);
    WriteFile(tessera::MapFileName(name, ENEMY_FILE), teki);
}

std::set<std::string> Entries() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(".")) names.insert(entry.path().filename());
    return names;
}

// Each test runs in a folder of its own, on layers set to a known pattern.
class MapFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(AllocateLayers(map), 1);
        previous_ = fs::current_path();
        char folder[] = "/tmp/map_files_test.XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
        fs::current_path(folder_);
        Fill(-1);
        map.width = map.height = 1;
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }
    // Every cell of the first 10 x 10 screens gets a value from its position.
    void Fill(int salt) {
        for (int layer = 0; layer < 3; ++layer)
            for (int r = 0; r < 720; ++r)
                for (int c = 0; c < 960; ++c) Layer(layer)[r][c] = salt * (r * 7919 + c + layer);
    }
    LayerRow* Layer(int i) const {
        return i == 0 ? map.chips : i == 1 ? map.attributes : map.enemies;
    }
    int Untouched(int layer, int r, int c) const {
        return Layer(layer)[r][c] == -(r * 7919 + c + layer);
    }
    tessera::MapLayers map;
    fs::path previous_, folder_;
};

TEST_F(MapFiles, WritesExactBytes) {
    Fill(0);
    map.enemies[0][1] = 3;
    map.chips[0][0] = INT_MIN;
    map.chips[71][95] = 19999;
    map.chips[0][96] = 5; // outside the extent: not saved
    ASSERT_EQ(SaveMap(map, "one"), 1);

    std::string zeros = Uniform(1, 94, 0, "\r\n");
    EXPECT_EQ(ReadFile("one_teki.txt"), "0 3 " + zeros + Uniform(71, 96, 0));
    EXPECT_EQ(ReadFile("one_zk.txt"), Uniform(72, 96, 0));
    EXPECT_EQ(ReadFile("one_data.txt"), "-2147483648 " + Uniform(1, 95, 0) + Uniform(70, 96, 0) +
                                            Uniform(1, 95, 0, "19999 \r\n"));

    map.width = 2;
    ASSERT_EQ(SaveMap(map, "two"), 1);
    EXPECT_EQ(ReadFile("two_zk.txt"), Uniform(72, 192, 0));

    // New files get what a plain fopen gives them; existing ones keep theirs.
    fs::permissions("two_zk.txt", fs::perms(0604));
    {
        const ModeMask strict(027);
        ASSERT_EQ(SaveMap(map, "two"), 1);
        ASSERT_EQ(SaveMap(map, "three"), 1);
    }
    EXPECT_EQ(fs::status("two_zk.txt").permissions(), fs::perms(0604));
    EXPECT_EQ(fs::status("three_zk.txt").permissions(), fs::perms(0640));
}

// A map whose layers were never reserved is an empty one-screen map.
TEST_F(MapFiles, AMapNeverReservedSavesAsAnEmptyOne) {
    const tessera::MapLayers empty;
    ASSERT_EQ(SaveMap(empty, "e"), 1);
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        EXPECT_EQ(ReadFile(tessera::MapFileName("e", file)), Uniform(72, 96, 0)) << file;
    EXPECT_EQ(empty.chips, nullptr);
}

TEST_F(MapFiles, WritesEveryNumberAsPrintfDoes) {
    const int values[] = {0,         7,          -7,      10,      99,         -100,      1000,
                          9999,      10000,      99999,   123456,  -1234567,   12345678,  99999999,
                          100000000, -999999999, INT_MAX, INT_MIN, 1000000000, -100000000};
    std::string expected;
    char text[16];
    for (int c = 0; c < 20; ++c) {
        map.attributes[0][c] = values[c];
        std::snprintf(text, sizeof text, "%d ", values[c]);
        expected += text;
    }
    ASSERT_EQ(SaveMap(map, "n"), 1);
    EXPECT_EQ(ReadFile("n_zk.txt").substr(0, expected.size()), expected);
}

TEST_F(MapFiles, RoundTripRestoresLayersAndSize) {
    Fill(1);
    map.chips[5][5] = INT_MAX;
    map.attributes[5][5] = INT_MIN;
    map.width = 10; // several megabytes a file
    map.height = 9;
    ASSERT_EQ(SaveMap(map, "big"), 1);
    Fill(-1);
    map.width = map.height = 1;
    ASSERT_EQ(LoadMap(map, "big"), 1);
    EXPECT_EQ(map.width, 10);
    EXPECT_EQ(map.height, 9);
    EXPECT_EQ(map.chips[5][5], INT_MAX);
    EXPECT_EQ(map.attributes[5][5], INT_MIN);
    int wrong = 0;
    for (int layer = 0; layer < 3; ++layer)
        for (int r = 0; r < 648; ++r)
            for (int c = 0; c < 960; ++c)
                wrong += !(r == 5 && c == 5) && Layer(layer)[r][c] != r * 7919 + c + layer;
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(Untouched(0, 648, 0)); // beyond the files: kept
}

TEST_F(MapFiles, SizeComesFromTheEnemyFile) {
    WriteMap("a", Uniform(10, 10, 1), Uniform(1, 1, 1), Uniform(144, 96, 2));
    ASSERT_EQ(LoadMap(map, "a"), 1);
    EXPECT_EQ(map.width, 1);
    EXPECT_EQ(map.height, 2);
    EXPECT_EQ(map.chips[9][9], 1);
    EXPECT_TRUE(Untouched(0, 9, 10));

    // LF only, and a short last line without a line break.
    WriteMap("b", Uniform(1, 1, 1, "\n"), Uniform(1, 1, 1, "\n"),
             Uniform(149, 288, 4, "\n") + Uniform(1, 190, 4, "") + "4");
    ASSERT_EQ(LoadMap(map, "b"), 1);
    EXPECT_EQ(map.width, 1); // 191 pieces
    EXPECT_EQ(map.height, 2);
    EXPECT_EQ(map.enemies[148][287], 4);
    EXPECT_EQ(map.enemies[149][190], 4);
    EXPECT_TRUE(Untouched(2, 149, 191));
}

TEST_F(MapFiles, SizeIsClampedToOneToSixtyFourScreens) {
    WriteMap("small", "1 ", "1 ", Uniform(71, 94, 3));
    map.width = map.height = 5;
    ASSERT_EQ(LoadMap(map, "small"), 1);
    EXPECT_EQ(map.width, 1);
    EXPECT_EQ(map.height, 1);

    // Rows past 4608 and columns past 6144 are skipped, not stored in the next layer or row.
    std::string wide = Uniform(1, 40000, 8); // one line of 80 KB
    WriteMap("huge", Uniform(4700, 1, 9), wide, wide + Uniform(4699, 1, 8));
    ASSERT_EQ(LoadMap(map, "huge"), 1);
    EXPECT_EQ(map.height, 64);
    EXPECT_EQ(map.width, 1); // from the last line: 2 pieces
    EXPECT_EQ(map.chips[4607][0], 9);
    EXPECT_EQ(map.attributes[0][6143], 8);
    EXPECT_EQ(map.attributes[0][0], 8);
    EXPECT_TRUE(Untouched(1, 1, 0));
    WriteMap("huge", "1 ", "1 ", wide);
    ASSERT_EQ(LoadMap(map, "huge"), 1);
    EXPECT_EQ(map.width, 64);
}

TEST_F(MapFiles, PiecesAreReadAsPrintfNumbers) {
    WriteMap("p",
             "  2147483647 2147483648 -2147483648   -2147483649 18446744073709551621 "
             "000000000000000000042 +7 \t-8x - abc 12abc\r\n",
             "1 ", "1 ");
    ASSERT_EQ(LoadMap(map, "p"), 1);
    const int expected[] = {INT_MAX, 0, INT_MIN, 0, 0, 42, 7, -8, 0, 0, 12};
    for (int c = 0; c < 11; ++c) {
        if (expected[c] == 0)
            EXPECT_TRUE(Untouched(0, 0, c)) << c;
        else
            EXPECT_EQ(map.chips[0][c], expected[c]) << c;
    }
    EXPECT_TRUE(Untouched(0, 0, 11));
}

TEST_F(MapFiles, UnreadableOrEmptyFileChangesNothing) {
    const char raw[] = "\0\x01\xff\x1a\r\n   \t-+\n\0\0zz";
    const std::string garbage(raw, sizeof raw - 1);
    // Missing, a folder, empty, no digit anywhere, a pipe (must not hang), and
    // no read permission, which does not stop root.
    const int kinds = getuid() == 0 ? 5 : 6;
    for (int bad = 0; bad < 3; ++bad) {
        for (int kind = 0; kind < kinds; ++kind) {
            WriteMap("m", Uniform(72, 96, 5), Uniform(72, 96, 5), Uniform(144, 192, 5));
            const std::string path = tessera::MapFileName("m", bad);
            fs::remove(path);
            if (kind == 1) fs::create_directory(path);
            if (kind == 2 || kind == 5) WriteFile(path, kind == 2 ? "" : "1 ");
            if (kind == 3) WriteFile(path, garbage);
            if (kind == 4) {
                ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
            }
            if (kind == 5) chmod(path.c_str(), 0);
            EXPECT_EQ(LoadMap(map, "m"), 0) << path << " kind " << kind;
            fs::remove(path);
        }
    }
    EXPECT_EQ(map.width, 1);
    EXPECT_EQ(map.height, 1);
    for (int layer = 0; layer < 3; ++layer) EXPECT_TRUE(Untouched(layer, 0, 0));
}

TEST_F(MapFiles, GarbageNeverWritesOutsideTheLayers) {
    std::string noise(1 << 20, '\0');
    unsigned seed = 12345;
    for (char& c : noise) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    WriteMap("g", noise, noise, noise);
    LoadMap(map, "g"); // succeeds or not; the sanitizers watch the writes
    EXPECT_GE(map.width, 1);
    EXPECT_LE(map.width, 64);
    EXPECT_GE(map.height, 1);
    EXPECT_LE(map.height, 64);
}

TEST_F(MapFiles, FailedSaveKeepsTheOldMap) {
    ASSERT_EQ(SaveMap(map, "keep"), 1);
    const std::string old = ReadFile("keep_data.txt");
    const std::set<std::string> before = Entries();
    Fill(1);

    EXPECT_EQ(SaveMap(map, "nowhere/keep"), 0);
    fs::create_directory("keep_zk.txt.d");
    fs::rename("keep_zk.txt", "keep_zk.txt.x");
    fs::rename("keep_zk.txt.d", "keep_zk.txt");
    EXPECT_EQ(SaveMap(map, "keep"), 0);
    fs::remove("keep_zk.txt");
    fs::rename("keep_zk.txt.x", "keep_zk.txt");

    // A file size limit stands in for a full disk.
    struct rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    struct rlimit low = limit;
    low.rlim_cur = 50000;
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
    map.width = 2;
    EXPECT_EQ(SaveMap(map, "keep"), 0);
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, SIG_DFL);

    EXPECT_EQ(ReadFile("keep_data.txt"), old);
    EXPECT_EQ(Entries(), before);
}

TEST_F(MapFiles, ALineLongerThanAReadBlockIsReadWhole) {
    const std::string line = "5" + std::string(3 << 20, ' ') + "6 \r\n7 8 \r\n";
    WriteMap("long", line, line, line);
    ASSERT_EQ(LoadMap(map, "long"), 1);
    for (int layer = 0; layer < 3; ++layer) {
        EXPECT_EQ(Layer(layer)[0][0], 5);
        EXPECT_EQ(Layer(layer)[0][1], 6);
        EXPECT_EQ(Layer(layer)[1][0], 7);
        EXPECT_EQ(Layer(layer)[1][1], 8);
    }
}

TEST_F(MapFiles, NamesMatchExistingFilesIgnoringCase) {
    WriteMap("Stage", "1 ", "1 ", "1 ");
    fs::create_directory("Maps");
    Fill(0);
    ASSERT_EQ(SaveMap(map, "stage"), 1);
    ASSERT_EQ(SaveMap(map, "maps\\stage"), 1);
    EXPECT_EQ(Entries(), (std::set<std::string>{"Stage_data.txt", "Stage_zk.txt", "Stage_teki.txt",
                                                "Stage.lock", "Maps"}));
    EXPECT_TRUE(fs::exists("Maps/stage.lock"));
    EXPECT_EQ(ReadFile("Stage_zk.txt"), Uniform(72, 96, 0));
    EXPECT_EQ(ReadFile("Maps/stage_zk.txt"), Uniform(72, 96, 0));
}

TEST_F(MapFiles, TrailingLinesWithoutNumbersDoNotCountForTheSize) {
    const std::string text = Uniform(144, 288, 6);
    for (const char* tail : {"\r\n", "   \r\n", "\n", "\x1a", "  ", "x y\r\n", "\r\n \r\n\n\x1a"}) {
        WriteMap("t", text + tail, text + tail, text + tail);
        map.width = map.height = 1;
        ASSERT_EQ(LoadMap(map, "t"), 1);
        EXPECT_EQ(map.width, 3) << testing::PrintToString(tail);
        EXPECT_EQ(map.height, 2) << testing::PrintToString(tail);
        // The next save writes the whole map back as it was.
        ASSERT_EQ(SaveMap(map, "u"), 1);
        EXPECT_TRUE(ReadFile("u_teki.txt") == text) << testing::PrintToString(tail);
    }
    // A line without numbers inside the map is still a row.
    WriteMap("m", "1 ", "1 ", Uniform(100, 96, 1) + "\r\n" + Uniform(43, 96, 1));
    ASSERT_EQ(LoadMap(map, "m"), 1);
    EXPECT_EQ(map.height, 2);
    EXPECT_EQ(map.width, 1);
}

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info;
}

// Another user, whom the tests run as root hand files to and save as.
const passwd* Nobody() {
    static const passwd* const nobody = getpwnam("nobody");
    return nobody;
}
uid_t OtherUser() { return Nobody() ? Nobody()->pw_uid : 65534; }
gid_t OtherGroup() { return Nobody() ? Nobody()->pw_gid : 65534; }

// Gives `path` to `user` when the tests run as root; others run without.
void Give(const std::string& path, uid_t user, gid_t group) {
    if (getuid() == 0) {
        ASSERT_EQ(chown(path.c_str(), user, group), 0) << path;
    }
}

// Runs SaveMap(map, name) in a child process; as root, the child first becomes
// OtherUser, so that permissions bind as they do for everyone else. Returns
// SaveMap's result, or -1.
int SaveAsUser(const tessera::MapLayers& map, const char* name) {
    const pid_t child = fork();
    if (child == 0) {
        const uid_t user = OtherUser();
        if (getuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(OtherGroup()) != 0 || setuid(user) != 0))
            _exit(99);
        _exit(SaveMap(map, name));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status) == 99 ? -1 : WEXITSTATUS(status);
}

// The owner, mode and bytes (hashed) of each file of the map `name`.
std::vector<std::string> Snapshot(const std::string& name) {
    std::vector<std::string> files;
    for (int file = 0; file < MAP_FILE_COUNT; ++file) {
        const std::string path = tessera::MapFileName(name, file);
        const struct stat info = StatOf(path);
        files.push_back(std::to_string(info.st_uid) + " " + std::to_string(info.st_mode) + " " +
                        std::to_string(std::hash<std::string>{}(ReadFile(path))));
    }
    return files;
}

bool SameBytes(const std::string& a, const std::string& b) { return ReadFile(a) == ReadFile(b); }

TEST_F(MapFiles, ASaveNeverDoesWhatAPlainWriteWouldRefuse) {
    Fill(0);
    ASSERT_EQ(SaveMap(map, "ref"), 1);
    map.chips[0][0] = 1;
    ASSERT_EQ(SaveMap(map, "old"), 1);
    const std::string old = ReadFile("old_data.txt");
    Fill(0);
    fs::permissions(folder_, fs::perms(0777));

    // A file the user may not write is not replaced, nor is any other.
    for (int file = 0; file < 3; ++file) {
        WriteMap("ro", old, old, old);
        for (int other = 0; other < 3; ++other) {
            const std::string path = tessera::MapFileName("ro", other);
            Give(path, other == file ? 0 : OtherUser(), OtherGroup());
            chmod(path.c_str(), other == file ? 0444 : 0644);
        }
        const auto before = Snapshot("ro");
        const auto entries = Entries();
        EXPECT_EQ(SaveAsUser(map, "ro"), 0) << file;
        EXPECT_EQ(Snapshot("ro"), before) << file;
        EXPECT_EQ(Entries(), entries) << file;
    }
    WriteMap("rw", old, old, old);
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        Give(tessera::MapFileName("rw", file), OtherUser(), OtherGroup());
    EXPECT_EQ(SaveAsUser(map, "rw"), 1);
    EXPECT_TRUE(SameBytes("rw_data.txt", "ref_data.txt"));

    // Existing files keep their mode and, when root saves, their owner; root's
    // plain write would write a read-only file, and so does the save.
    WriteMap("keep", old, old, old);
    chmod("keep_data.txt", 0600);
    chmod("keep_zk.txt", 0444);
    Give("keep_teki.txt", OtherUser(), 0);
    {
        const ModeMask usual(022);
        EXPECT_EQ(SaveMap(map, "keep"), getuid() == 0 ? 1 : 0);
    }
    if (getuid() == 0) {
        EXPECT_EQ(StatOf("keep_data.txt").st_mode & 07777, 0600u);
        EXPECT_EQ(StatOf("keep_zk.txt").st_mode & 07777, 0444u);
        EXPECT_EQ(StatOf("keep_teki.txt").st_uid, OtherUser());
        EXPECT_EQ(StatOf("keep_teki.txt").st_gid, 0u);
        EXPECT_TRUE(SameBytes("keep_zk.txt", "ref_zk.txt"));
    }

    // Symbolic links are written through: relative, absolute, a chain, and one
    // whose file does not exist yet.
    fs::create_directories("real/deeper");
    WriteFile("real/data.txt", old);
    WriteFile("real/deeper/zk.txt", old);
    fs::create_symlink("real/data.txt", "l_data.txt");
    fs::create_symlink(folder_ / "real/deeper/zk.txt", "l_zk.txt");
    fs::create_symlink("deeper/teki.txt", "real/teki");
    fs::create_symlink("real/teki", "l_teki.txt");
    auto entries = Entries();
    ASSERT_EQ(SaveMap(map, "l"), 1);
    entries.insert("l.lock");
    EXPECT_EQ(Entries(), entries);
    EXPECT_EQ(fs::read_symlink("l_data.txt"), "real/data.txt");
    EXPECT_EQ(fs::read_symlink("l_teki.txt"), "real/teki");
    EXPECT_TRUE(SameBytes("real/data.txt", "ref_data.txt"));
    EXPECT_TRUE(SameBytes("real/deeper/zk.txt", "ref_zk.txt"));
    EXPECT_TRUE(SameBytes("real/deeper/teki.txt", "ref_teki.txt"));
    std::set<std::string> inReal;
    for (const auto& entry : fs::recursive_directory_iterator("real"))
        inReal.insert(entry.path().string());
    EXPECT_EQ(inReal, (std::set<std::string>{"real/data.txt", "real/deeper", "real/deeper/zk.txt",
                                             "real/deeper/teki.txt", "real/teki"}));
    fs::create_symlink("loop_data.txt", "loop_data.txt");
    EXPECT_EQ(SaveMap(map, "loop"), 0);

    // A pipe where a file of the map belongs is not replaced, and nothing is written.
    ASSERT_EQ(mkfifo("pipe_zk.txt", 0644), 0);
    entries = Entries();
    EXPECT_EQ(SaveMap(map, "pipe"), 0);
    EXPECT_EQ(Entries(), entries);
    EXPECT_TRUE(fs::is_fifo("pipe_zk.txt"));
}

// An access list as the system keeps it in an extended attribute: the owner
// and the owning group read and write, the user `named` too, others read.
std::string AccessList(uid_t named) {
    std::string list;
    const auto put = [&list](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) list += static_cast<char>(value >> (8 * i) & 0xff);
    };
    put(2, 4); // the format's version
    const std::uint32_t none = 0xffffffff;
    const std::uint32_t entries[][3] = {
        {0x01, 6, none}, {0x02, 6, named}, {0x04, 6, none}, {0x10, 6, none}, {0x20, 4, none}};
    for (const auto& entry : entries) put(entry[0], 2), put(entry[1], 2), put(entry[2], 4);
    return list;
}

std::string Attribute(const std::string& path, const char* name) {
    char value[256];
    const ssize_t size = getxattr(path.c_str(), name, value, sizeof value);
    return size < 0 ? "" : std::string(value, static_cast<std::size_t>(size));
}

// The owner shares a map with a group, then another user of the group saves
// it: each file keeps its owner, group, mode, access list and extended
// attributes, and one with a second name stays one file with it.
TEST_F(MapFiles, AGroupMemberSaveKeepsGroupModeAccessListAttributesAndLinks) {
    if (getuid() != 0) GTEST_SKIP() << "needs root to save as another user";
    constexpr gid_t SHARED = 4242;
    map.chips[0][0] = 1;
    ASSERT_EQ(SaveMap(map, "m"), 1);
    ASSERT_EQ(link("m_zk.txt", "zk_elsewhere.txt"), 0);
    fs::permissions(folder_, fs::perms(0777));
    const std::string list = AccessList(12345);
    for (int file = 0; file < MAP_FILE_COUNT; ++file) {
        const std::string path = tessera::MapFileName("m", file);
        ASSERT_EQ(chown(path.c_str(), 0, SHARED), 0);
        ASSERT_EQ(chmod(path.c_str(), 0664), 0);
        if (setxattr(path.c_str(), "user.note", "ours", 4, 0) != 0 ||
            setxattr(path.c_str(), "system.posix_acl_access", list.data(), list.size(), 0) != 0)
            GTEST_SKIP() << "no extended attributes here: " << std::strerror(errno);
    }
    std::string lists[MAP_FILE_COUNT];
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        lists[file] = Attribute(tessera::MapFileName("m", file), "system.posix_acl_access");
    // The owner's save keeps them too, and gives the lock file, made before
    // the files were shared, their group and mode.
    ASSERT_EQ(SaveMap(map, "m"), 1);
    EXPECT_EQ(StatOf("m.lock").st_gid, SHARED);
    EXPECT_EQ(StatOf("m.lock").st_mode & 07777, 0664u);

    Fill(0);
    const pid_t child = fork();
    if (child == 0) {
        const gid_t groups[] = {SHARED};
        if (setgroups(1, groups) != 0 || setgid(OtherGroup()) != 0 || setuid(OtherUser()) != 0)
            _exit(99);
        tessera::MapError error;
        const int saved = SaveMap(map, "m", &error);
        if (!saved) std::fprintf(stderr, "%s\n", tessera::DescribeMapError(error).c_str());
        _exit(saved);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;

    for (int file = 0; file < MAP_FILE_COUNT; ++file) {
        const std::string path = tessera::MapFileName("m", file);
        const struct stat info = StatOf(path);
        EXPECT_EQ(info.st_uid, 0u) << path;
        EXPECT_EQ(info.st_gid, SHARED) << path;
        EXPECT_EQ(info.st_mode & 07777, 0664u) << path;
        EXPECT_EQ(Attribute(path, "user.note"), "ours") << path;
        EXPECT_EQ(Attribute(path, "system.posix_acl_access"), lists[file]) << path;
        EXPECT_EQ(ReadFile(path).substr(0, 2), "0 ") << path;
    }
    EXPECT_EQ(StatOf("m_zk.txt").st_nlink, 2u);
    EXPECT_TRUE(SameBytes("m_zk.txt", "zk_elsewhere.txt"));
    EXPECT_EQ(Entries(), (std::set<std::string>{"m.lock", "m_data.txt", "m_zk.txt", "m_teki.txt",
                                                "zk_elsewhere.txt"}));
    // The owner saves again after the member.
    Fill(-1);
    EXPECT_EQ(SaveMap(map, "m"), 1);
}

// In a shared folder with the sticky bit, where nobody may replace another's
// file, a map of which one file is root's (and writable by all) saves whole
// as another user: root's file is written in place and stays root's.
TEST_F(MapFiles, AnotherUsersFileInAStickyFolderIsWrittenInPlace) {
    if (getuid() != 0) GTEST_SKIP() << "needs root to hand files to two users";
    map.chips[0][0] = 1;
    ASSERT_EQ(SaveMap(map, "old"), 1);
    const std::string old = ReadFile("old_data.txt");
    Fill(0);
    fs::permissions(folder_, fs::perms(01777));
    for (int held = 1; held < 3; ++held) {
        WriteMap("s", old, old, old);
        for (int file = 0; file < 3; ++file) {
            const std::string path = tessera::MapFileName("s", file);
            ASSERT_EQ(chown(path.c_str(), file == held ? 0 : OtherUser(), OtherGroup()), 0);
            chmod(path.c_str(), 0666);
        }
        auto entries = Entries();
        EXPECT_EQ(SaveAsUser(map, "s"), 1) << held;
        for (int file = 0; file < 3; ++file) {
            const std::string path = tessera::MapFileName("s", file);
            EXPECT_EQ(StatOf(path).st_uid, file == held ? 0u : OtherUser()) << held << path;
            EXPECT_EQ(StatOf(path).st_mode & 07777, 0666u) << held << path;
            EXPECT_NE(ReadFile(path), old) << held << path;
        }
        entries.insert("s.lock"); // made once, and kept
        EXPECT_EQ(Entries(), entries) << held;
    }
}

TEST_F(MapFiles, AFileHeldByAMountKeepsTheWholeOldMap) {
    map.chips[0][0] = 1;
    ASSERT_EQ(SaveMap(map, "b"), 1);
    const auto before = Snapshot("b");
    WriteFile("other.txt", "other");
    if (mount("other.txt", "b_zk.txt", nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "cannot bind-mount here: " << std::strerror(errno);
    const auto entries = Entries();
    Fill(0);
    const int saved = SaveMap(map, "b");
    umount2("b_zk.txt", MNT_DETACH);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(Snapshot("b"), before);
    EXPECT_EQ(Entries(), entries);

    // A new map whose last file alone exists, held: the two new files put in
    // place before it are taken away again.
    WriteFile("n_teki.txt", "held");
    ASSERT_EQ(mount("other.txt", "n_teki.txt", nullptr, MS_BIND, nullptr), 0);
    auto fresh = Entries();
    const int savedNew = SaveMap(map, "n");
    umount2("n_teki.txt", MNT_DETACH);
    EXPECT_EQ(savedNew, 0);
    fresh.insert("n.lock");
    EXPECT_EQ(Entries(), fresh);
}

// The temporaries a save killed half-way left (named as the files' own, with
// the number of a process that has ended) go with the next save; names that
// only look like them, and those of a process still running, stay.
TEST_F(MapFiles, ASaveRemovesTheTemporariesOfEndedSaves) {
    const std::set<std::string> before = Entries();
    const pid_t ended = fork();
    if (ended == 0) {
        // Begins a save and ends before putting it in place.
        std::string names[MAP_FILE_COUNT];
        for (int file = 0; file < MAP_FILE_COUNT; ++file)
            names[file] = tessera::MapFileName("keep", file);
        platform::FileSet set(names, "keep.journal");
        for (int file = 0; file < MAP_FILE_COUNT; ++file)
            if (set.Create(file) < 0) _exit(1);
        _exit(0);
    }
    ASSERT_GT(ended, 0);
    int status = -1;
    ASSERT_EQ(waitpid(ended, &status, 0), ended);
    ASSERT_EQ(status, 0);
    std::vector<std::string> stale;
    for (const std::string& name : Entries())
        if (!before.contains(name)) stale.push_back(name);
    ASSERT_EQ(stale.size(), 3u);
    // Appended, not added up: GCC 12 warns of a false overlap in "-" + string.
    const std::string dead = std::string("-").append(std::to_string(ended)).append("-");
    const std::string live = std::string("-").append(std::to_string(getppid())).append("-");
    const std::string prefix = stale[0].substr(0, stale[0].find(dead));
    ASSERT_NE(prefix, stale[0]);

    const std::set<std::string> kept = {
        prefix + live + "0", prefix + dead + "0x",      prefix + dead,
        prefix + "-" + "-0", "x" + prefix + dead + "0", prefix + dead + "-"};
    for (const std::string& name : kept) WriteFile(name, "x");
    fs::create_directory(prefix + dead + "91");
    fs::create_symlink("keep_zk.txt", prefix + dead + "92");
    if (getuid() == 0) {
        WriteFile(prefix + dead + "93", "another user's");
        ASSERT_EQ(chown((prefix + dead + "93").c_str(), OtherUser(), OtherGroup()), 0);
    }
    std::set<std::string> expected = Entries();
    for (const std::string& name : stale) expected.erase(name);
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        expected.insert(tessera::MapFileName("keep", file));
    expected.insert("keep.lock");

    ASSERT_EQ(SaveMap(map, "keep"), 1);
    EXPECT_EQ(Entries(), expected);
}

long ResidentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

TEST(MapMemory, AnEmptyMapCostsNoLayerMemory) {
    const long before = ResidentBytes();
    tessera::MapLayers map;
    ASSERT_EQ(AllocateLayers(map), 1);
    map.width = map.height = 1;
    char folder[] = "/tmp/map_memory_test.XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string name = std::string(folder) + "/m";
    ASSERT_EQ(SaveMap(map, name.c_str()), 1);
    ASSERT_EQ(LoadMap(map, name.c_str()), 1);
    fs::remove_all(folder);
    EXPECT_LT(ResidentBytes() - before, 32L << 20);
}

long PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    long kilobytes = 0;
    while (status >> word)
        if (word == "VmHWM:") status >> kilobytes;
    return kilobytes << 10;
}

TEST(MapMemory, LoadingHoldsABlockOfTextPerFileNotTheFiles) {
    tessera::MapLayers map;
    ASSERT_EQ(AllocateLayers(map), 1);
    map.width = 64;
    map.height = 16; // 14 MB of text per file
    for (LayerRow* layer : {map.chips, map.attributes, map.enemies})
        for (int row = 0; row < map.height * SCREEN_ROWS; ++row)
            for (int column = 0; column < LAYER_COLUMNS; ++column) layer[row][column] = 7;
    char folder[] = "/tmp/map_memory_test.XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string name = std::string(folder) + "/m";
    ASSERT_EQ(SaveMap(map, name.c_str()), 1);
    // The layers are in memory already: whatever loading adds is its own.
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
    const long before = ResidentBytes();
    ASSERT_EQ(LoadMap(map, name.c_str()), 1);
    const long added = PeakResidentBytes() - before;
    fs::remove_all(folder);
    EXPECT_EQ(map.chips[map.height * SCREEN_ROWS - 1][LAYER_COLUMNS - 1], 7);
    EXPECT_LT(added, 12L << 20);
}

// A chip line running 256 MB past the layer's last column (a hole in the
// file, read as zero bytes) costs no more than a normal line: its cells beyond
// the layer are read past, not kept, and the next line is read as usual.
TEST(MapMemory, ALineRunningPastTheLayerIsReadPastNotKept) {
    tessera::MapLayers map;
    ASSERT_EQ(AllocateLayers(map), 1);
    char folder[] = "/tmp/map_memory_test.XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string name = std::string(folder) + "/m";
    std::string first;
    for (int column = 0; column < LAYER_COLUMNS; ++column) first += "1 ";
    {
        std::ofstream data(name + "_data.txt", std::ios::binary);
        data << first;
        data.seekp(static_cast<std::streamoff>(first.size()) + (256L << 20));
        data << "9 \r\n2 3 \r\n";
        std::ofstream(name + "_zk.txt") << "0 \r\n0 \r\n";
        std::ofstream(name + "_teki.txt") << "0 \r\n0 \r\n";
    }
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
    const long before = ResidentBytes();
    ASSERT_EQ(LoadMap(map, name.c_str()), 1);
    const long added = PeakResidentBytes() - before;
    fs::remove_all(folder);
    EXPECT_EQ(map.chips[0][LAYER_COLUMNS - 1], 1);
    EXPECT_EQ(map.chips[1][0], 2);
    EXPECT_EQ(map.chips[1][1], 3);
    EXPECT_LT(added, 12L << 20);
}

} // namespace
