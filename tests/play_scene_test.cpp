// F5 in the real editor, through the replay driver: the play-test runs as the
// editor's second scene on the editor's own map, from the view's game screen,
// and Esc brings back the editor exactly as it was. Nothing is written
// anywhere on the way.
#include "draw/draw.h"
#include "editor/dialogues.h"
#include "editor/edit_scene.h"
#include "editor/editor_state.h"
#include "editor/modes.h"
#include "editor/play_scene.h"
#include "input/input.h"
#include "map/undo_history.h"
#include "platform/headless/headless.h"
#include "platform/win/messages.h"
#include "run/run_rules.h"
#include "run/run_scene.h"
#include "system/system.h"
#include "tools/replay/replay_run.h"
#include "undo_test_support.h"

#include <gtest/gtest.h>

#include "tests/test_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr char PRESS_F5[] = "keydown F5\nframes 1\nkeyup F5\nframes 2\n";
constexpr char PRESS_ESC[] = "keydown ESC\nframes 1\nkeyup ESC\nframes 2\n";

// What one frame of the play scene saw.
struct PlayFrame {
    const tessera::MapLayers* map;
    int startX, startY, cameraX, cameraY;
    ClipRectangle clip;
    int objects; // sprite objects in use
    long long steps;
    std::vector<Enemy> enemies;
};
std::vector<PlayFrame> PlayFrames;

int ObjectsInUse() {
    return static_cast<int>(
        std::count_if(std::begin(elDraw::ObjectTable), std::end(elDraw::ObjectTable),
                      [](const ObjectEntry& e) { return e.Surface != nullptr; }));
}

void RecordedPlayScene() {
    PlayFrames.push_back({RunMap, StartScreenX, StartScreenY, CameraX, CameraY, elDraw::ClipRect,
                          ObjectsInUse(), RunSteps, Enemies});
    RunScene();
}

bool Same(const ClipRectangle& a, const ClipRectangle& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class PlayKey : public TestFolder {
  protected:
    PlayKey() : TestFolder("tessera-f5-") {}

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
        SceneTable[PLAY_SCENE] = RecordedPlayScene;
        PlayFrames.clear();
        ASSERT_EQ(AllocateLayers(EditorMap), 1);
        EditorHistory = tessera::UndoHistory{};
        PlayKeyState = KEY_FREE;
        SaveState = LoadState = DIALOGUE_CLOSED;
        EditMode = EDIT_CHIPS;
        // A 4 x 3 map with a floor along its bottom row of screens, a stamp in
        // the history, and one enemy standing on the floor.
        MapWidth = 4;
        MapHeight = 3;
        FillArea(EditorMap, 0, 0, 384, 216, 0);
        for (LayerRow* layer : {AttrLayer, EnemyLayer})
            for (int row = 0; row < 216; ++row)
                for (int column = 0; column < 384; ++column) SetCell(layer, row, column, 0);
        StampArea(EditorMap, EditorHistory, 0, 200, 384, 16, 33);
        SetCell(EnemyLayer, 192, 250, 1);
        ViewX = 2 * SCREEN_COLUMNS + 5; // screen 2, 1
        ViewY = SCREEN_ROWS + 10;
        undoCount = EditorHistory.count;
        undoCurrent = EditorHistory.current;
    }

    void TearDown() override {
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
        platform::headless::ClearMciLog();
        ShutDownDone = 0;
        PlayKeyState = KEY_FREE;
        ASSERT_EQ(RunReplay(commands), 0);
    }

    // The editor is as it was before F5, and nothing was written anywhere.
    void ExpectEditorAsItWas() {
        EXPECT_EQ(SceneNo, EDIT_SCENE);
        EXPECT_EQ(EditorHistory.count, undoCount);
        EXPECT_EQ(EditorHistory.current, undoCurrent);
        EXPECT_EQ(ViewX, 2 * SCREEN_COLUMNS + 5);
        EXPECT_EQ(ViewY, SCREEN_ROWS + 10);
        EXPECT_EQ(MapWidth, 4);
        EXPECT_EQ(MapHeight, 3);
        EXPECT_EQ(GetCell(ChipLayer, 210, 100), 33);
        EXPECT_EQ(GetCell(EnemyLayer, 192, 250), 1);
        EXPECT_TRUE(Same(elDraw::ClipRect, {0, 0, 1024, 768}));
        EXPECT_TRUE(fs::is_empty(user)) << "the user's folder gained a file";
        EXPECT_TRUE(fs::is_empty(temporary)) << "something was written under TMPDIR";
        EXPECT_TRUE(platform::headless::BoxLog().empty());
    }

    // A screenshot's file, beside the user's folder, and the script's words for it.
    std::string Path(const char* name) { return (folder / name).string() + ".bmp"; }
    std::string Shot(const char* name) { return Path(name) + "\n"; }
    void ExpectSamePicture(const char* first, const char* second) {
        platform::DecodedImage a, b;
        ASSERT_TRUE(platform::LoadBmpFile(Path(first), a));
        ASSERT_TRUE(platform::LoadBmpFile(Path(second), b));
        EXPECT_TRUE(a.pixels == b.pixels) << first << " and " << second << " differ";
    }

    fs::path user, temporary, previous;
    int undoCount = 0;
    tessera::UndoRecord* undoCurrent = nullptr;
};

TEST_F(PlayKey, F5PlaysTheEditorsOwnMapAtTheViewsScreenAndEscBringsTheEditorBack) {
    Run("frames 2\nscreenshot " + Shot("before") + PRESS_F5 + "frames 150\nscreenshot " +
        Shot("playing") + PRESS_ESC + "screenshot " + Shot("after"));

    ASSERT_GE(PlayFrames.size(), 150u);
    // The editor's map itself, not a copy, from the game screen of the view's
    // top-left cell, drawn within one game screen at the top-left.
    EXPECT_EQ(PlayFrames[0].map, &EditorMap);
    EXPECT_EQ(PlayFrames[0].startX, 2);
    EXPECT_EQ(PlayFrames[0].startY, 1);
    EXPECT_EQ(PlayFrames[0].cameraX, 2 * GAME_WIDTH);
    EXPECT_EQ(PlayFrames[0].cameraY, GAME_HEIGHT);
    EXPECT_TRUE(Same(PlayFrames.back().clip, {0, 0, GAME_WIDTH, GAME_HEIGHT}));
    // The unsaved enemy plays, started where the editor draws it.
    ASSERT_EQ(PlayFrames[0].enemies.size(), 1u);
    EXPECT_EQ(PixelX(PlayFrames[0].enemies[0].body), 250 * CELL_SIZE + ENEMY_SPRITE_OFFSET);

    // The game's screen is stretched over the editor's whole screen: the floor
    // (the bottom 16 rows of the map, 128 of 576 game pixels) fills the bottom
    // 170 rows of 768 from edge to edge.
    platform::DecodedImage playing;
    ASSERT_TRUE(platform::LoadBmpFile(Path("playing"), playing));
    const auto pixel = [&](int x, int y) { return playing.pixels[y * playing.width + x]; };
    for (int x : {0, 500, 1023}) {
        EXPECT_NE(pixel(x, 767), 0u) << x;
        EXPECT_NE(pixel(x, 600), 0u) << x;
    }
    // The tune played and stopped.
    const std::vector<std::string>& mci = platform::headless::MciLog();
    EXPECT_NE(std::find_if(mci.begin(), mci.end(),
                           [](const std::string& c) { return c.starts_with("open"); }),
              mci.end());
    EXPECT_EQ(mci.back(), "close midi");

    ExpectSamePicture("before", "after");
    ExpectEditorAsItWas();
}

TEST_F(PlayKey, TheStartScreenHoldsTheViewsTopLeftCellInsideTheMap) {
    struct Case {
        int width, height, viewX, viewY;
        int screenX, screenY;
    };
    // The view reaches (width - 1) * 100 columns: past the last screen of a wide map.
    const Case cases[] = {
        {4, 3, 0, 0, 0, 0},     {4, 3, 95, 71, 0, 0},     {4, 3, 96, 72, 1, 1},
        {4, 3, 300, 144, 3, 2}, {64, 2, 6300, 72, 63, 1}, {30, 1, 2900, 0, 29, 0},
    };
    for (const Case& c : cases) {
        MapWidth = c.width;
        MapHeight = c.height;
        ViewX = c.viewX;
        ViewY = c.viewY;
        PlayFrames.clear();
        Run(std::string(PRESS_F5) + PRESS_ESC);
        ASSERT_FALSE(PlayFrames.empty());
        EXPECT_EQ(PlayFrames[0].startX, c.screenX) << c.width << "x" << c.height;
        EXPECT_EQ(PlayFrames[0].startY, c.screenY) << c.width << "x" << c.height;
        EXPECT_EQ(ViewX, c.viewX);
        EXPECT_EQ(SceneNo, EDIT_SCENE);
    }
}

TEST_F(PlayKey, F5DoesNothingWhileThePromptIsOpen) {
    // The save button opens the prompt; F5 then starts nothing, and once Esc
    // has closed it, F5 plays.
    Run(std::string("move 450 650\nldown\nframes 1\nlup\nframes 1\n") + PRESS_F5 + PRESS_ESC);
    EXPECT_TRUE(PlayFrames.empty());
    Run(std::string("move 560 650\nldown\nframes 1\nlup\nframes 1\n") + PRESS_F5 + PRESS_ESC +
        PRESS_F5 + PRESS_ESC);
    EXPECT_FALSE(PlayFrames.empty());
    // A tap pressed and released between two frames plays too.
    PlayFrames.clear();
    Run(std::string("keydown F5\nkeyup F5\nframes 2\n") + PRESS_ESC);
    EXPECT_FALSE(PlayFrames.empty());
    ExpectEditorAsItWas();
}

// The game plays the attributes a save would write: solid chips get 1 where
// they had none, other chips lose theirs, hand-set values on solid chips stay.
TEST_F(PlayKey, F5SetsTheAttributesFromTheChipsAsASaveDoes) {
    SetCell(AttrLayer, 210, 10, 0); // a floor cell left at 0
    SetCell(AttrLayer, 210, 11, 7); // a floor cell set by hand
    SetCell(AttrLayer, 100, 10, 1); // open sky marked solid
    Run(std::string(PRESS_F5) + PRESS_ESC);
    EXPECT_EQ(GetCell(AttrLayer, 210, 10), 1);
    EXPECT_EQ(GetCell(AttrLayer, 210, 11), 7);
    EXPECT_EQ(GetCell(AttrLayer, 100, 10), 0);
    EXPECT_EQ(GetCell(AttrLayer, 215, 383), 1);
}

// Esc while a miss closes the game's screen: the wipe ends, and the editor's
// clip rectangle and picture come back whole. The second F5 loads nothing more.
TEST_F(PlayKey, EscDuringAWipeBringsBackTheWholeEditorAndTheGameLoadsOnce) {
    // From the bottom row of screens, where the start screen has no floor: the
    // player falls out of the map and misses, and the screen closes over half
    // a second.
    ViewY = 2 * SCREEN_ROWS;
    for (int row = 200; row < 216; ++row)
        for (int column = 192; column < 288; ++column) SetCell(ChipLayer, row, column, 0);
    Run("frames 2\nscreenshot " + Shot("before") + PRESS_F5 + "frames 75\n" + PRESS_ESC +
        "screenshot " + Shot("after") + PRESS_F5 + "frames 5\n" + PRESS_ESC);
    std::size_t again = 1;
    while (again < PlayFrames.size() &&
           !(PlayFrames[again].steps == 0 && PlayFrames[again - 1].steps > 0))
        ++again;
    ASSERT_LT(again, PlayFrames.size()) << "the second F5 did not play";
    const ClipRectangle atEsc = PlayFrames[again - 1].clip;
    EXPECT_GT(atEsc.right - atEsc.left, 0) << "the wipe had ended before Esc";
    EXPECT_LT(atEsc.right - atEsc.left, GAME_WIDTH) << "no wipe when Esc came";
    EXPECT_TRUE(Same(PlayFrames[again].clip, {0, 0, GAME_WIDTH, GAME_HEIGHT}))
        << "the second F5 starts inside the last one's wipe";
    EXPECT_EQ(PlayFrames.front().objects, PlayFrames.back().objects);
    ExpectSamePicture("before", "after");
    ViewY = SCREEN_ROWS + 10;
    ExpectEditorAsItWas();
}

} // namespace
