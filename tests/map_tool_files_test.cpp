// The files tessera-map writes, run as the program in a fresh folder: links
// planted at temporary names, outputs that are the map's own files, failures
// named with their cause, interruptions, and programs saving and loading one
// map at the same time.
#include "map/map_files.h"
#include "map/map_model.h"
#include "platform/files/file_lock.h"

#include <gtest/gtest.h>

#include "tests/spawn_in_folder.h"
#include "tests/test_folder.h"
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Whether the file holds exactly `text`. A failure tells the file's size and
// the first offset that differs, never its bytes: a picture written where it
// must not be runs to hundreds of megabytes.
::testing::AssertionResult Holds(const fs::path& path, const std::string& text) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error) return ::testing::AssertionFailure() << path << ": " << error.message();
    if (size != text.size())
        return ::testing::AssertionFailure()
               << path << " holds " << size << " bytes, not the " << text.size() << " expected";
    const std::string bytes = ReadFile(path);
    const auto differ = std::mismatch(bytes.begin(), bytes.end(), text.begin()).first;
    if (differ == bytes.end()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << path << " differs from what was expected at offset " << differ - bytes.begin();
}

class MapToolFiles : public TestFolder {
  protected:
    MapToolFiles() : TestFolder("tessera-map-files-") {}

    void SetUp() override {
        TestFolder::SetUp();
        ASSERT_EQ(AllocateLayers(map), 1);
    }

    // Saves a map of the given size in screens whose every cell holds `value`
    // in all three layers, but chips varying with the cell when `varied`.
    void MakeMap(const std::string& name, int width, int height, int value, bool varied = false) {
        map.width = width;
        map.height = height;
        for (int row = 0; row < height * SCREEN_ROWS; ++row)
            for (int column = 0; column < width * SCREEN_COLUMNS; ++column) {
                map.chips[row][column] = varied ? (row * 977 + column * 131) % 20000 : value;
                map.attributes[row][column] = map.enemies[row][column] = value;
            }
        ASSERT_EQ(SaveMap(map, (folder / name).c_str()), 1);
    }

    int Run(const std::string& command) { return RunInFolder(command); }

    tessera::MapLayers map;

    // Names in the folder (and below) that are temporaries of ours.
    std::vector<std::string> Temporaries() {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.path().filename().string().find(".~") != std::string::npos)
                found.push_back(entry.path().filename().string());
        return found;
    }
};

const std::string MAP = "'" TESSERA_MAP "'";

// Links planted at every name the tools ever used for their temporaries,
// pointing at a file only root may write: they are passed over, never written
// through, and the outputs come out whole.
TEST_F(MapToolFiles, LinksPlantedAtTemporaryNamesAreNeverWrittenThrough) {
    MakeMap("m", 1, 1, 3);
    std::ofstream(folder / "victim") << "root's own";
    fs::permissions(folder / "victim", fs::perms::owner_read | fs::perms::owner_write);
    const std::string plant = "for n in $(seq 0 3); do for f in $OUTS; do "
                              "ln -s victim \"$f.tmp-$$\"; ln -s victim \"$f.tmp$$\"; "
                              "ln -s victim \"$f.~$$-$n\"; done; done; exec ";
    const struct {
        const char* outputs;
        const char* command;
    } cases[] = {
        {"out.png", "render m out.png"},
        {"out.tmx out_chips.png out_attributes.png out_enemies.png", "export m out.tmx"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Run("OUTS='" + std::string(c.outputs) + "' sh -c '" + plant + MAP + " " +
                      c.command + "'"),
                  0)
            << c.command << ": " << output;
        EXPECT_TRUE(Holds(folder / "victim", "root's own")) << c.command;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string file = entry.path().filename().string();
            if (file.find(".tmp") != std::string::npos || file.find(".~") != std::string::npos) {
                EXPECT_TRUE(fs::is_symlink(entry.symlink_status())) << file;
            }
        }
        for (const char* made : {"out.png", "out.tmx", "out_chips.png"})
            EXPECT_FALSE(fs::is_symlink(folder / made)) << made;
    }
    EXPECT_GT(fs::file_size(folder / "out.png"), 1000u);
    EXPECT_EQ(Run(MAP + " import out.tmx copy"), 0) << output;
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        EXPECT_TRUE(ReadFile(folder / tessera::MapFileName("m", file)) ==
                    ReadFile(folder / tessera::MapFileName("copy", file)))
            << file;
}

// An output that is one of the map's own files, under its name or through a
// link, is refused before anything is written.
TEST_F(MapToolFiles, AnOutputThatIsOneOfTheMapsFilesIsRefused) {
    MakeMap("m", 1, 1, 3);
    std::string before[3];
    for (int i = 0; i < 3; ++i) before[i] = ReadFile(folder / tessera::MapFileName("m", i));
    fs::create_symlink("m_teki.txt", folder / "link.png");
    fs::create_hard_link(folder / "m_zk.txt", folder / "hard.tmx");
    const struct {
        const char* command;
        const char* named;
    } cases[] = {
        {"render m m_data.txt", "m_data.txt"},   {"render m link.png", "link.png"},
        {"render m m.lock --scale 8", "m.lock"}, {"export m m_zk.txt", "m_zk.txt"},
        {"export m hard.tmx", "hard.tmx"},       {"export m ./m_teki.txt", "./m_teki.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(MAP + " " + c.command), 1) << c.command;
        EXPECT_NE(output.find(std::string(c.named) + ": is a file of the map m"), std::string::npos)
            << output;
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(ReadFile(folder / tessera::MapFileName("m", i)) == before[i])
                << c.command << " " << tessera::MapFileName("m", i);
    }
    EXPECT_TRUE(fs::is_symlink(folder / "link.png"));
    EXPECT_TRUE(Temporaries().empty());
}

// A failure names the file the user gave (or the picture made from it) and
// its cause, never a temporary, and leaves nothing behind.
TEST_F(MapToolFiles, FailuresNameTheFileAndTheCause) {
    MakeMap("m", 1, 1, 3, true);
    fs::create_directory(folder / "taken.png");
    fs::create_directory(folder / "taken.tmx");
    fs::create_directory(folder / "closed");
    fs::permissions(folder / "closed", fs::perms(0755));
    fs::permissions(folder, fs::perms(0755));
    // The other user reads the map, whatever the umask the tests run under.
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) fs::permissions(entry.path(), fs::perms(0644));
    const bool root = getuid() == 0;
    // The other user can run the tool only where it may read the tool's own
    // images: a build made under a strict umask keeps them to its owner.
    bool othersRead = root;
    for (const auto& entry : fs::directory_iterator(fs::path(TESSERA_MAP).parent_path() / "bmp"))
        othersRead &= (entry.status().permissions() & fs::perms::others_read) != fs::perms::none;
    const bool small = root && fs::create_directory(folder / "small") &&
                       mount("tmpfs", (folder / "small").c_str(), "tmpfs", 0, "size=64k") == 0;
    const std::string nobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    const struct {
        bool run;
        std::string command;
        std::string message;
    } cases[] = {
        {true, "render m taken.png", "taken.png: cannot write (Is a directory)"},
        {true, "export m taken.tmx", "taken.tmx: cannot write (Is a directory)"},
        {true, "render m none/out.png", "none/out.png: cannot write (No such file or directory)"},
        {true, "export m none/out.tmx", "none/out.tmx: cannot write (No such file or directory)"},
        {othersRead, nobody + MAP + " render m closed/out.png",
         "closed/out.png: cannot write (Permission denied)"},
        {othersRead, nobody + MAP + " export m closed/out.tmx",
         "closed/out.tmx: cannot write (Permission denied)"},
        {true, "ulimit -f 40 && " + MAP + " render m big.png",
         "big.png: cannot write (File too large)"},
        {true, "ulimit -f 40 && " + MAP + " export m big.tmx",
         "big_chips.png: cannot write (File too large)"},
        {small, "render m small/out.png", "small/out.png: cannot write (No space left on device)"},
        {small, "export m small/out.tmx",
         "small/out_chips.png: cannot write (No space left on device)"},
    };
    for (const auto& c : cases) {
        if (!c.run) continue;
        const std::string command =
            c.command.find(MAP) == std::string::npos ? MAP + " " + c.command : c.command;
        EXPECT_EQ(Run(command), 1) << command;
        EXPECT_NE(output.find("tessera-map: " + c.message), std::string::npos)
            << command << ": " << output;
        EXPECT_EQ(output.find(".~"), std::string::npos) << output;
        EXPECT_TRUE(Temporaries().empty()) << command;
        EXPECT_FALSE(fs::exists(folder / "big.png") || fs::exists(folder / "big.tmx") ||
                     fs::exists(folder / "closed/out.png") || fs::exists(folder / "small/out.png"))
            << command;
    }
    if (small) umount2((folder / "small").c_str(), MNT_DETACH);
}

// Ctrl+C (or a polite kill) while a tool writes removes its temporaries; an
// older output stays as it was. A signal the tool was started ignoring (as a
// job in the background is) leaves it to finish.
TEST_F(MapToolFiles, AnInterruptedToolRemovesItsTemporaries) {
    MakeMap("m", 64, 8, 0, true); // render takes seconds, export a good part of one
    std::ofstream(folder / "out.png") << "an older picture";
    const struct {
        std::vector<std::string> arguments;
        int signal;
        bool ignored;
    } cases[] = {
        {{"render", "m", "out.png"}, SIGINT, false},
        {{"export", "m", "out.tmx"}, SIGTERM, false},
        {{"export", "m", "kept.tmx"}, SIGINT, true},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        if (c.ignored)
            arguments.insert(arguments.begin(),
                             {"-c", "trap '' " + std::to_string(c.signal) + "; exec \"$0\" \"$@\"",
                              TESSERA_MAP});
        const pid_t child =
            SpawnInFolder(c.ignored ? "/bin/sh" : TESSERA_MAP, arguments, folder.string());
        ASSERT_GT(child, 0);
        int status = 0;
        bool seen = false;
        while (!seen && waitpid(child, &status, WNOHANG) == 0) {
            seen = !Temporaries().empty();
            if (!seen) usleep(1000);
        }
        ASSERT_TRUE(seen) << c.arguments[0] << " ended before it was interrupted";
        kill(child, c.signal);
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (c.ignored) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.arguments[0];
        }
        EXPECT_TRUE(Temporaries().empty()) << c.arguments[0];
    }
    EXPECT_GT(fs::file_size(folder / "kept.tmx"), 1000u);
    EXPECT_TRUE(Holds(folder / "out.png", "an older picture"));
    EXPECT_FALSE(fs::exists(folder / "out.tmx"));
    EXPECT_FALSE(fs::exists(folder / "out_chips.png"));
}

// Every cell of every layer holds the same value: the set of files loaded is
// one that a single save wrote.
bool OneSave(const tessera::MapLayers& map, int width, int height) {
    const int value = map.chips[0][0];
    for (LayerRow* layer : {map.chips, map.attributes, map.enemies})
        for (int row = 0; row < height * SCREEN_ROWS; ++row)
            for (int column = 0; column < width * SCREEN_COLUMNS; ++column)
                if (layer[row][column] != value) return false;
    return true;
}

// Two imports of one map run side by side, over and over, while this process
// loads the map as fast as it can: every load, and the map left at the end,
// is one document's whole.
TEST_F(MapToolFiles, SavesAndLoadsOfOneMapNeverMix) {
    MakeMap("a", 4, 4, 1);
    MakeMap("b", 4, 4, 2);
    ASSERT_EQ(Run(MAP + " export a a.tmx && " + MAP + " export b b.tmx"), 0) << output;
    ASSERT_EQ(Run(MAP + " import a.tmx m"), 0) << output;
    constexpr int ROUNDS = 25;
    std::atomic<bool> done{false};
    int status = -1;
    std::thread writers([&] {
        const std::string loop =
            "for i in $(seq " + std::to_string(ROUNDS) + "); do " + MAP + " import ";
        status = Run("(" + loop + "a.tmx m || exit 1; done) & a=$!; (" + loop +
                     "b.tmx m || exit 1; done) & b=$!; wait $a && wait $b");
        done = true;
    });
    const std::string name = (folder / "m").string();
    int loads = 0, mixed = 0;
    int failed = 0;
    while (!done) {
        if (!LoadMap(map, name.c_str())) {
            ++failed;
            continue;
        }
        ++loads;
        mixed += !OneSave(map, 4, 4);
    }
    writers.join();
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(mixed, 0) << "of " << loads << " loads";
    EXPECT_EQ(failed, 0);
    EXPECT_GT(loads, 10);
    ASSERT_EQ(LoadMap(map, name.c_str()), 1);
    EXPECT_TRUE(OneSave(map, 4, 4));
    EXPECT_TRUE(Temporaries().empty());
}

// An import killed at each step of its save (every rename, write, flush, link
// and removal, in turn): a reader that may not write the folder, and then one
// that may, each load one whole set, the old or the new, and the new one when
// the import said it was done; a new save then succeeds and leaves nothing
// behind. Then again with a file that has a second name, which it keeps.
TEST_F(MapToolFiles, AnImportKilledAtAnyStepLeavesOneWholeSet) {
    if (Run("strace -f -qq -o /dev/null true") != 0)
        GTEST_SKIP() << "strace is not installed or may not trace here";
    const ModeMask readable(022);
    MakeMap("a", 2, 2, 1);
    MakeMap("b", 2, 2, 2);
    ASSERT_EQ(Run(MAP + " export a a.tmx && " + MAP + " export b b.tmx"), 0) << output;
    const bool root = getuid() == 0;
    if (root) fs::permissions(folder, fs::perms(0755));
    const struct {
        const char* call;
        int steps;
    } calls[] = {{"rename", 4}, {"write", 6},    {"fsync", 8},    {"link", 3},
                 {"unlink", 4}, {"pwrite64", 4}, {"ftruncate", 2}};
    const std::string name = (folder / "m").string();
    int stopped = 0; // kills that left a journal to follow
    for (const bool linked : {false, true})
        for (const auto& call : calls)
            for (int step = 1; step <= call.steps; ++step) {
                const std::string at =
                    std::string(call.call) + " " + std::to_string(step) + (linked ? " linked" : "");
                if (linked && !fs::exists(folder / "zk_elsewhere.txt"))
                    fs::create_hard_link(folder / "m_zk.txt", folder / "zk_elsewhere.txt");
                ASSERT_EQ(Run(MAP + " import a.tmx m"), 0) << output;
                std::vector<std::string> before;
                for (const auto& entry : fs::directory_iterator(folder))
                    before.push_back(entry.path().filename().string());
                std::sort(before.begin(), before.end());
                const bool done =
                    Run("strace -f -qq -o /dev/null -e inject=" + std::string(call.call) +
                        ":signal=SIGKILL:when=" + std::to_string(step) + " " + MAP +
                        " import b.tmx m") == 0;
                stopped += fs::exists(folder / "m.journal");
                if (root) {
                    // A reader of another user's, who may read the files but not
                    // settle them.
                    const pid_t reader = fork();
                    if (reader == 0) {
                        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
                        if (!LoadMap(map, name.c_str()) || !OneSave(map, 2, 2)) _exit(1);
                        _exit(done && map.chips[0][0] != 2 ? 2 : 0);
                    }
                    int status = -1;
                    ASSERT_EQ(waitpid(reader, &status, 0), reader);
                    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                        << at << " " << status;
                }
                ASSERT_EQ(LoadMap(map, name.c_str()), 1) << at;
                EXPECT_TRUE(OneSave(map, 2, 2)) << at;
                EXPECT_TRUE(map.chips[0][0] == 2 || (!done && map.chips[0][0] == 1)) << at;
                ASSERT_EQ(Run(MAP + " import a.tmx m"), 0) << at << ": " << output;
                std::vector<std::string> after;
                for (const auto& entry : fs::directory_iterator(folder))
                    after.push_back(entry.path().filename().string());
                std::sort(after.begin(), after.end());
                EXPECT_EQ(after, before) << at;
                if (linked) {
                    EXPECT_EQ(fs::hard_link_count(folder / "m_zk.txt"), 2u) << at;
                    EXPECT_EQ(ReadFile(folder / "zk_elsewhere.txt"), ReadFile(folder / "m_zk.txt"))
                        << at;
                }
            }
    EXPECT_GT(stopped, 0);
}

// A reader leaves nothing that keeps out a later writer entitled to write the
// map, and a lock file that is anything but a plain file, or is held, is
// named in the message, with the process that holds it.
TEST_F(MapToolFiles, ReadersLeaveNoLockAndLockFaultsNameTheLockFile) {
    const ModeMask readable(022);
    MakeMap("m", 1, 1, 3);
    ASSERT_EQ(Run(MAP + " export m m.tmx"), 0) << output;
    fs::remove(folder / "m.lock");
    const bool root = getuid() == 0;
    if (root) {
        fs::permissions(folder, fs::perms(0777));
        for (int file = 0; file < MAP_FILE_COUNT; ++file)
            ASSERT_EQ(chown((folder / tessera::MapFileName("m", file)).c_str(), 65534, 65534), 0);
    }
    EXPECT_EQ(Run(MAP + " render m out.png"), 0) << output;
    EXPECT_FALSE(fs::exists(folder / "m.lock"));
    if (root) {
        EXPECT_EQ(
            Run("setpriv --reuid=65534 --regid=65534 --clear-groups " + MAP + " import m.tmx m"), 0)
            << output;
        fs::remove(folder / "m.lock");
    }

    // A save fails on it; a reader reads the map all the same, since no save
    // can take that lock either.
    const struct {
        const char* make;
        const char* command;
        int status;
    } cases[] = {
        {"mkdir m.lock", "import m.tmx m", 1},      {"ln -s nowhere m.lock", "import m.tmx m", 1},
        {"mkfifo m.lock", "import m.tmx m", 1},     {"mkdir m.lock", "render m out.png", 0},
        {"mkfifo m.lock", "export m other.tmx", 0},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Run(c.make), 0) << c.make;
        EXPECT_EQ(Run(MAP + " " + c.command), c.status) << c.make << ", " << c.command;
        EXPECT_EQ(output.find("m.lock: ") != std::string::npos, c.status == 1)
            << c.make << ": " << output;
        fs::remove(folder / "m.lock");
    }

    // Held by a process that stopped while it saved.
    const pid_t holder = fork();
    if (holder == 0) {
        platform::FileLock lock;
        if (!lock.Take((folder / "m.lock").string(), platform::LockKind::Exclusive, 0, ""))
            _exit(1);
        raise(SIGSTOP);
        _exit(0);
    }
    ASSERT_GT(holder, 0);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, WUNTRACED), holder);
    ASSERT_TRUE(WIFSTOPPED(status));
    EXPECT_EQ(Run(MAP + " render m out.png"), 1);
    EXPECT_NE(output.find("m.lock: held by process " + std::to_string(holder)), std::string::npos)
        << output;
    kill(holder, SIGKILL);
    waitpid(holder, &status, 0);
}

// Names no map can have are refused as wrong arguments, printed without their
// control characters; every name whose three files the folder can hold is
// taken, however near the limit of a file name.
TEST_F(MapToolFiles, NamesNoMapCanHaveAreRefusedAndLongOnesTaken) {
    MakeMap("m", 1, 1, 3);
    ASSERT_EQ(Run(MAP + " export m m.tmx"), 0) << output;
    const struct {
        const char* name;
        const char* shown;
    } names[] = {
        {"", "\"\": a map name cannot be empty"},
        {".", "\".\": a map name cannot be \".\" or \"..\""},
        {"..", "\"..\": a map name cannot be"},
        {"sub/..", "\"sub/..\": a map name cannot be"},
        {"a\nb", "\"a\\nb\": a map name cannot hold control characters"},
        {"a\x1b[2Jb", "\"a\\x1b[2Jb\": a map name cannot hold control characters"},
    };
    for (const auto& n : names)
        for (const std::string& command : {"import m.tmx '" + std::string(n.name) + "'",
                                           "render '" + std::string(n.name) + "' out.png",
                                           "export '" + std::string(n.name) + "' out.tmx"}) {
            EXPECT_EQ(Run(MAP + " " + command), 2) << command;
            EXPECT_NE(output.find(std::string("tessera-map: ") + n.shown), std::string::npos)
                << command << ": " << output;
            EXPECT_EQ(output.find('\x1b'), std::string::npos) << command;
        }
    // The longest name whose files ("_data.txt", "_teki.txt") fit in 255 bytes.
    const std::string longest(246, 'n');
    EXPECT_EQ(Run(MAP + " import m.tmx " + longest), 0) << output;
    EXPECT_EQ(Run(MAP + " render " + longest + " out.png"), 0) << output;
    EXPECT_EQ(Run(MAP + " import m.tmx " + longest + "n"), 1);
    EXPECT_NE(output.find("_data.txt: File name too long"), std::string::npos) << output;
    EXPECT_TRUE(Temporaries().empty());
}

} // namespace
