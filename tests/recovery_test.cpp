// The recovery copy of unsaved work, through tessera-replay: an editing script
// killed at random frames, and the next start, which restores the work or sets
// it aside. What a start restored is saved by its script through the save
// prompt (which offers the restored name) and compared with the same map saved
// by reference runs of the script's first edits.
#include "map/recovery_copy.h"

#include <gtest/gtest.h>

#include "tests/test_folder.h"
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int FRAME_MS = 1000;  // script time per frame while editing
constexpr int LIMIT_MS = 30000; // how far behind the last edit a copy may be

// One edit of the script and the frames that follow it.
struct Edit {
    const char* lines;
    int frames;
};

// Chips 2, 3, 82 and 83 are selected first; then stamps, and the size buttons.
constexpr char SELECT[] = "move 830 4\nldown\nframes 1\nmove 838 12\nframes 1\nlup\nframes 1\n";
const Edit EDITS[] = {
    {"move 84 44\nrdown\nframes 1\nrup\n", 4},    {"move 20 620\nldown\nframes 1\nlup\n", 12},
    {"move 300 200\nrdown\nframes 1\nrup\n", 3},  {"move 260 620\nldown\nframes 1\nlup\n", 5},
    {"move 500 400\nrdown\nframes 1\nrup\n", 15}, {"move 20 620\nldown\nframes 1\nlup\n", 2},
    {"move 160 500\nrdown\nframes 1\nrup\n", 35}, {"move 700 100\nrdown\nframes 1\nrup\n", 8},
};
constexpr int EDIT_COUNT = sizeof EDITS / sizeof EDITS[0];
constexpr int EDIT_FRAMES = 1; // frames inside an edit's own lines

// Saves the map under the name the prompt offers, at the script's end.
constexpr char SAVE[] = "frametime 100\nmove 450 650\nldown\nframes 1\nlup\nframes 1\n"
                        "keydown ENTER\nframes 1\nkeyup ENTER\nframes 35\n";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The script of the first `edits` edits; with `killFrame` > 0, the process
// kills itself before that frame, which must be one of GapFrames.
std::string EditScript(int edits, int killFrame = 0) {
    std::string script = std::string("frametime ") + std::to_string(FRAME_MS) + "\n" + SELECT;
    int frame = 3;
    for (int k = 0; k < edits; ++k) {
        script += EDITS[k].lines;
        frame += EDIT_FRAMES;
        for (int i = 0; i < EDITS[k].frames; ++i, ++frame) {
            if (frame == killFrame) script += "shell kill -KILL $PPID\n";
            script += "frames 1\n";
        }
    }
    return script;
}

// When each count of edits began (the script's clock as the edit's lines
// start), and the frames between edits, where a kill may come.
std::vector<int> EditTimes() {
    std::vector<int> times{0};
    int frame = 3;
    for (const Edit& edit : EDITS) {
        times.push_back(frame * FRAME_MS);
        frame += EDIT_FRAMES + edit.frames;
    }
    return times;
}
std::vector<int> GapFrames() {
    std::vector<int> gaps;
    int frame = 3;
    for (const Edit& edit : EDITS) {
        frame += EDIT_FRAMES;
        for (int i = 0; i < edit.frames; ++i) gaps.push_back(frame++);
    }
    return gaps;
}

class Recovery : public TestFolder {
  protected:
    Recovery() : TestFolder("tessera-recovery-") {}

    // Runs `script` in the subfolder `run` with the state folder `state`
    // (none: recovery off). What it printed is in `output`.
    int Replay(const std::string& run, const std::string& script, const std::string& state = "") {
        fs::create_directories(folder / run);
        std::ofstream(folder / run / "script.replay") << script;
        const std::string environment = state.empty()
                                            ? "unset XDG_STATE_HOME; "
                                            : "XDG_STATE_HOME='" + (folder / state).string() + "' ";
        return RunInFolder("cd '" + run + "' && " + environment +
                           "'" TESSERA_REPLAY "' script.replay");
    }

    // The three files of "map" saved in the subfolder `run`.
    std::string SavedMap(const std::string& run) {
        std::string files;
        for (const char* suffix : {"_data.txt", "_zk.txt", "_teki.txt"})
            files += ReadFile(folder / run / (std::string("map") + suffix)) + "|";
        return files;
    }

    // The map after each count of edits, as the editor saves it.
    std::vector<std::string> ReferenceMaps() {
        std::vector<std::string> maps;
        for (int edits = 0; edits <= EDIT_COUNT; ++edits) {
            const std::string run = "reference" + std::to_string(edits);
            EXPECT_EQ(Replay(run, EditScript(edits) + SAVE), 0) << output;
            maps.push_back(SavedMap(run));
        }
        return maps;
    }

    std::string CopyFolder(const std::string& state) {
        return (folder / state / "tessera").string();
    }
};

// Box lines are printed in UTF-8.
const std::string OFFER = reinterpret_cast<const char*>(
    u8"box \"メッセージ\" \"保存されていない作業が残っています（マップ map、");

TEST_F(Recovery, KilledAtRandomFramesRestoresWorkAtMost30SecondsOld) {
    const std::vector<std::string> maps = ReferenceMaps();
    ASSERT_EQ(maps.size(), static_cast<std::size_t>(EDIT_COUNT + 1));
    const std::vector<int> times = EditTimes();
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const std::vector<int> gaps = GapFrames();
    std::uniform_int_distribution<std::size_t> pick(0, gaps.size() - 1);
    for (int kill = 0; kill < 5; ++kill) {
        const int killFrame = gaps[pick(random)];
        const int killTime = killFrame * FRAME_MS;
        SCOPED_TRACE("killed at frame " + std::to_string(killFrame));
        const std::string run = "kill" + std::to_string(kill), state = run + "-state";
        EXPECT_NE(Replay(run, EditScript(EDIT_COUNT, killFrame), state), 0) << output;

        // The next start restores the copy, and saves it under its own name.
        const bool offered = [&] {
            tessera::RecoveryRecord record;
            return tessera::ReadRecoveryRecord(CopyFolder(state), record) && record.offered;
        }();
        ASSERT_EQ(Replay(run, std::string("answer yes\n") + SAVE, state), 0) << output;
        EXPECT_EQ(output.find(OFFER) != std::string::npos, offered) << output;
        const std::string restored = SavedMap(run);
        // Some state of the last 30 s of script time before the kill; a
        // state lasts from its edit (which takes a frame or two) to the next.
        bool matched = false;
        for (int k = 0; k <= EDIT_COUNT && !matched; ++k) {
            const int from = times[k];
            const int to = k < EDIT_COUNT ? times[k + 1] + 2 * FRAME_MS : killTime;
            matched = from <= killTime && to >= killTime - LIMIT_MS && restored == maps[k];
        }
        EXPECT_TRUE(matched) << "the restored map is no state of the last 30 s";
        // The save made the copy obsolete.
        EXPECT_FALSE(fs::exists(fs::path(CopyFolder(state)) / "recovery.txt"));
        EXPECT_TRUE(fs::is_empty(CopyFolder(state))) << "left in the state folder";
    }
}

TEST_F(Recovery, NoSetsTheCopyAsideUntilTheNextOneReplacesIt) {
    const std::vector<std::string> maps = ReferenceMaps();
    // An end with unsaved work leaves the copy up to date.
    ASSERT_EQ(Replay("edit", EditScript(EDIT_COUNT), "state"), 0) << output;
    EXPECT_EQ(output, "");
    struct stat info;
    ASSERT_EQ(lstat(CopyFolder("state").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    tessera::RecoveryRecord record;
    ASSERT_TRUE(tessera::ReadRecoveryRecord(CopyFolder("state"), record));
    EXPECT_EQ(record.name, "map");
    EXPECT_EQ(record.width, 3);
    EXPECT_EQ(record.height, 2);
    EXPECT_TRUE(record.offered);

    // No: the start is the empty map, and the copy stays, set aside.
    ASSERT_EQ(Replay("no", std::string("answer no\n") + SAVE, "state"), 0) << output;
    EXPECT_NE(output.find(OFFER), std::string::npos) << output;
    EXPECT_EQ(SavedMap("no"), maps[0]);
    ASSERT_TRUE(tessera::ReadRecoveryRecord(CopyFolder("state"), record));
    EXPECT_FALSE(record.offered);
    EXPECT_EQ(record.width, 3);
    // Nothing is asked of the next start; its first copy replaces the one set
    // aside and is on offer again.
    ASSERT_EQ(Replay("again", EditScript(1) + "frames 12\n", "state"), 0) << output;
    EXPECT_EQ(output, "");
    ASSERT_TRUE(tessera::ReadRecoveryRecord(CopyFolder("state"), record));
    EXPECT_TRUE(record.offered);
    EXPECT_EQ(record.width, 1);
    ASSERT_EQ(Replay("yes", std::string("answer yes\n") + SAVE, "state"), 0) << output;
    EXPECT_EQ(SavedMap("yes"), maps[1]);
    // No map files were written where the copies were made.
    for (const char* run : {"edit", "again"})
        EXPECT_FALSE(fs::exists(folder / run / "map_data.txt")) << run;
}

// A state folder that others could reach into is not used: a link planted at
// its place, or a folder open to the group. The run says so once, and writes
// nothing there or where the link leads.
TEST_F(Recovery, AStateFolderNotTheUsersAloneIsNotUsed) {
    fs::create_directories(folder / "elsewhere");
    fs::create_directories(folder / "linked");
    fs::create_symlink(folder / "elsewhere", folder / "linked" / "tessera");
    fs::create_directories(folder / "open" / "tessera");
    fs::permissions(folder / "open" / "tessera", fs::perms::owner_all | fs::perms::group_all);
    for (const char* state : {"linked", "open"}) {
        ASSERT_EQ(Replay(std::string("run-") + state, EditScript(2) + "frames 12\n", state), 0)
            << output;
        EXPECT_NE(output.find(reinterpret_cast<const char*>(u8"専用のフォルダではない")),
                  std::string::npos)
            << state << ": " << output;
        EXPECT_TRUE(fs::is_empty(folder / state / "tessera")) << state;
    }
    EXPECT_TRUE(fs::is_empty(folder / "elsewhere"));
}

// A copy that cannot be written (a folder where its first file goes) is said
// once, however often it is tried again, and leaves nothing on offer.
TEST_F(Recovery, ACopyThatCannotBeWrittenIsSaidOnce) {
    fs::create_directories(folder / "state" / "tessera" / "copy-a_data.txt");
    fs::permissions(folder / "state", fs::perms::owner_all);
    fs::permissions(folder / "state" / "tessera", fs::perms::owner_all);
    ASSERT_EQ(Replay("run", EditScript(EDIT_COUNT), "state"), 0) << output;
    const std::string said = reinterpret_cast<const char*>(u8"作業の復旧用のコピーを");
    const std::size_t first = output.find(said);
    EXPECT_NE(first, std::string::npos) << output;
    EXPECT_EQ(output.find(said, first + 1), std::string::npos) << output;
    tessera::RecoveryRecord record;
    EXPECT_FALSE(tessera::ReadRecoveryRecord(CopyFolder("state"), record));
}

} // namespace
