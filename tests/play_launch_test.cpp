// F5 in the real edit scene, the play-test stood in for by the headless
// backend: the copy it is given, the screen it starts at, what a failure shows,
// and that the editor, its history and the user's folder stay as they were.
#include "editor/dialogues.h"
#include "editor/edit_scene.h"
#include "editor/editor_state.h"
#include "editor/play_launch.h"
#include "input/input.h"
#include "map/map_files.h"
#include "map/undo_history.h"
#include "platform/headless/headless.h"
#include "platform/win/messages.h"
#include "system/system.h"
#include "tools/replay/replay_run.h"
#include "undo_test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/test_folder.h"
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr char PRESS_F5[] = "keydown F5\nframes 1\nkeyup F5\nframes 2\n";
const std::string CANNOT_PLAY = reinterpret_cast<const char*>(
    u8R"(box "エラー発生" "PlayTest : テストプレイを開始できません" -> ok)");

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The three files of the map `name`, in file order.
std::vector<std::string> MapFiles(const std::string& name) {
    std::vector<std::string> files;
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        files.push_back(ReadFile(tessera::MapFileName(name, file)));
    return files;
}

bool IsEmptyFolder(const fs::path& path) { return fs::is_directory(path) && fs::is_empty(path); }

class PlayTestKey : public TestFolder {
  protected:
    PlayTestKey() : TestFolder("tessera-f5-") {}

    void SetUp() override {
        TestFolder::SetUp();
        user = folder / "user";
        temporary = folder / "tmp";
        fs::create_directories(user);
        fs::create_directories(temporary);
        setenv("TMPDIR", temporary.c_str(), 1);
        previous = fs::current_path();
        fs::current_path(user);

        RegisterEditor();
        ASSERT_EQ(AllocateLayers(EditorMap), 1);
        EditorHistory = tessera::UndoHistory{};
        PlayTestProgram = 0;
        PlayTestFolder.clear();
        PlayTestKeyState = KEY_FREE;
        SaveState = LoadState = DIALOGUE_CLOSED;
        // A 4 x 3 map with something in every layer, to its last cell.
        MapWidth = 4;
        MapHeight = 3;
        FillArea(EditorMap, 0, 0, 384, 216, 0);
        StampArea(EditorMap, EditorHistory, 100, 80, 3, 2, 7);
        for (LayerRow* layer : {AttrLayer, EnemyLayer}) {
            for (int row = 0; row < 216; ++row)
                for (int column = 0; column < 384; ++column) SetCell(layer, row, column, 0);
        }
        SetCell(AttrLayer, 215, 383, 1);
        SetCell(EnemyLayer, 100, 200, 3);
        ViewX = 2 * SCREEN_COLUMNS + 5; // screen 2, 1
        ViewY = SCREEN_ROWS + 10;
        undoCount = EditorHistory.count;
        undoCurrent = EditorHistory.current;

        UseStandIn(1);
    }

    // The stand-in records what each start gave it and answers exitStatus; the
    // play-test runs for `runningChecks` frames.
    void UseStandIn(int runningChecks) {
        platform::headless::SetProgramStandIn(
            [this](const std::string& path, const std::vector<std::string>& arguments) {
                paths.push_back(path);
                argumentLists.push_back(arguments);
                if (!arguments.empty()) {
                    copies.push_back(MapFiles(arguments[0]));
                    struct stat st {};
                    stat(fs::path(arguments[0]).parent_path().c_str(), &st);
                    folderModes.push_back(st.st_mode & 07777);
                }
                return exitStatus;
            },
            runningChecks);
    }

    void TearDown() override {
        platform::headless::SetProgramStandIn(nullptr, 0);
        fs::current_path(previous);
        unsetenv("TMPDIR");
        TestFolder::TearDown();
    }

    // Runs the editor with the script, with no box from before.
    void Run(const std::string& source) {
        std::vector<ReplayCommand> commands;
        std::string error;
        ASSERT_TRUE(ParseReplayScript(source, commands, error)) << error;
        platform::ResetMessages();
        platform::headless::ResetBoxes();
        ShutDownDone = 0;
        ASSERT_EQ(RunReplay(commands), 0);
    }

    // Nothing of the editor changed, nothing was left in the user's folder or
    // the temporary one.
    void ExpectNothingChanged() {
        EXPECT_EQ(EditorHistory.count, undoCount);
        EXPECT_EQ(EditorHistory.current, undoCurrent);
        EXPECT_EQ(ViewX, 2 * SCREEN_COLUMNS + 5);
        EXPECT_EQ(ViewY, SCREEN_ROWS + 10);
        EXPECT_EQ(MapWidth, 4);
        EXPECT_EQ(MapHeight, 3);
        EXPECT_EQ(GetCell(ChipLayer, 81, 102), 7);
        EXPECT_TRUE(IsEmptyFolder(user)) << "the user's folder gained a file";
        EXPECT_TRUE(IsEmptyFolder(temporary)) << "the copy's folder is left";
    }

    fs::path user, temporary, previous;
    int undoCount = 0;
    tessera::UndoRecord* undoCurrent = nullptr;
    int exitStatus = 0;
    // What the stand-in saw at each start.
    std::vector<std::string> paths;
    std::vector<std::vector<std::string>> argumentLists;
    std::vector<std::vector<std::string>> copies;
    std::vector<unsigned> folderModes;
};

TEST_F(PlayTestKey, F5PlaysAPrivateCopyAtTheViewsScreenAndChangesNothing) {
    // Runs for three frames: the second F5 comes meanwhile.
    UseStandIn(3);
    Run(std::string(PRESS_F5) + PRESS_F5 + "frames 5\n");

    ASSERT_EQ(paths.size(), 1u) << "F5 while the play-test runs started another";
    EXPECT_EQ(fs::path(paths[0]).filename(), "tessera-run");
    EXPECT_EQ(fs::path(paths[0]).parent_path(), fs::path(elSystem::ProgramFolder(0)).parent_path());
    ASSERT_EQ(argumentLists[0].size(), 3u);
    const fs::path copy = argumentLists[0][0];
    EXPECT_EQ(copy.parent_path().parent_path(), temporary);
    EXPECT_EQ(argumentLists[0][1], "--screen");
    EXPECT_EQ(argumentLists[0][2], "2,1");
    EXPECT_EQ(folderModes[0], 0700u);
    // The copy is what a save of the editor's map writes.
    ASSERT_EQ(SaveMap(EditorMap, (folder / "expected").c_str()), 1);
    EXPECT_EQ(copies[0], MapFiles((folder / "expected").string()));
    EXPECT_TRUE(platform::headless::BoxLog().empty());
    ExpectNothingChanged();
}

TEST_F(PlayTestKey, TheStartScreenHoldsTheViewsTopLeftCellInsideTheMap) {
    struct Case {
        int width, height, viewX, viewY;
        const char* screen;
    };
    // The view reaches (width - 1) * 100 columns: past the last screen of a wide map.
    const Case cases[] = {
        {4, 3, 0, 0, "0,0"},     {4, 3, 95, 71, "0,0"},     {4, 3, 96, 72, "1,1"},
        {4, 3, 300, 144, "3,2"}, {64, 2, 6300, 72, "63,1"}, {30, 1, 2900, 0, "29,0"},
    };
    for (const Case& c : cases) {
        MapWidth = c.width;
        MapHeight = c.height;
        ViewX = c.viewX;
        ViewY = c.viewY;
        argumentLists.clear();
        Run(PRESS_F5);
        ASSERT_EQ(argumentLists.size(), 1u);
        EXPECT_EQ(argumentLists[0].at(2), c.screen)
            << c.width << "x" << c.height << " at " << c.viewX << "," << c.viewY;
        EXPECT_EQ(ViewX, c.viewX);
        EXPECT_TRUE(IsEmptyFolder(temporary));
    }
}

TEST_F(PlayTestKey, F5DoesNothingWhileThePromptIsOpen) {
    // The save button opens the prompt; F5 then starts nothing, and once Esc
    // has closed it, F5 plays again.
    Run(std::string("move 450 650\nldown\nframes 1\nlup\nframes 1\n") + PRESS_F5 +
        "keydown ESC\nframes 1\nkeyup ESC\nframes 2\n");
    EXPECT_TRUE(paths.empty());
    Run(std::string("move 560 650\nldown\nframes 1\nlup\nframes 1\n") + PRESS_F5 +
        "keydown ESC\nframes 1\nkeyup ESC\nframes 2\n" + PRESS_F5);
    EXPECT_EQ(paths.size(), 1u);
    EXPECT_TRUE(platform::headless::BoxLog().empty());
    ExpectNothingChanged();
}

TEST_F(PlayTestKey, AFailureShowsTheErrorBoxAndLosesNothing) {
    struct Case {
        const char* what;
        int status;         // the stand-in's answer: -1 is a start that fails
        const char* tmpdir; // under the test folder, when not the usual one
    };
    const Case cases[] = {
        {"the start fails", -1, nullptr},
        {"the play-test ends with a failure", 1, nullptr},
        {"the folder cannot be made", 0, "missing"},
    };
    for (const Case& c : cases) {
        exitStatus = c.status;
        if (c.tmpdir) setenv("TMPDIR", (folder / c.tmpdir).c_str(), 1);
        Run(std::string(PRESS_F5) + "frames 3\n");
        EXPECT_EQ(platform::headless::BoxLog(), std::vector<std::string>{CANNOT_PLAY}) << c.what;
        EXPECT_EQ(PlayTestProgram, 0) << c.what;
        ExpectNothingChanged();
        setenv("TMPDIR", temporary.c_str(), 1);
    }
    EXPECT_EQ(paths.size(), 2u); // no start without a folder
}

TEST_F(PlayTestKey, TheEditorsEndRemovesTheCopyOfARunningPlayTest) {
    UseStandIn(1000);
    Run(PRESS_F5);
    EXPECT_TRUE(IsEmptyFolder(temporary));
    EXPECT_TRUE(IsEmptyFolder(user));
}

} // namespace
