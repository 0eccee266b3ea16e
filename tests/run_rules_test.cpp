// The play-test's rules, driven by the replay driver through the real frame:
// each case writes a small map, plays a script of keys and frames, and checks
// what the player, the enemies and the camera did in every frame.
#include "map/map_files.h"
#include "platform/formats/bmp.h"
#include "platform/headless/headless.h"
#include "platform/win/messages.h"
#include "run/bodies.h"
#include "run/map_load.h"
#include "run/run_draw.h"
#include "run/run_rules.h"
#include "run/run_scene.h"
#include "system/system.h"
#include "tools/replay/replay_run.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/test_folder.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

// One frame as the scene left it.
struct Seen {
    int x, y, vy, onGround, phase, restarts, cameraX, cameraY, attributes;
    long long steps;
    std::vector<Enemy> enemies;
};

std::vector<Seen> Frames;
// Called before each frame with the number of frames recorded so far.
std::function<void(std::size_t)> BeforeFrame;

void RecordedScene() {
    if (BeforeFrame) BeforeFrame(Frames.size());
    RunScene();
    Frames.push_back({PixelX(Player), PixelY(Player), Player.vy, Player.onGround, Phase, Restarts,
                      CameraX, CameraY, ShowAttributes, RunSteps, Enemies});
}

// A map of width x height screens; cells are set by (row, column).
struct TestMap {
    int width, height;
    std::vector<int> attributes, enemies;
    TestMap(int w, int h) : width(w), height(h), attributes(Cells(), 0), enemies(Cells(), 0) {}
    int Cells() const { return width * SCREEN_COLUMNS * height * SCREEN_ROWS; }
    int& At(std::vector<int>& layer, int row, int column) {
        return layer[row * width * SCREEN_COLUMNS + column];
    }
    // Cells of attribute `value` (solid: 1) over rows [top, bottom) and
    // columns [left, right).
    TestMap& Solid(int top, int bottom, int left, int right, int value = 1) {
        for (int row = top; row < bottom; ++row)
            for (int column = left; column < right; ++column) At(attributes, row, column) = value;
        return *this;
    }
    TestMap& Place(int row, int column, int type) {
        At(enemies, row, column) = type;
        return *this;
    }
    // The value of cell i in the map file `file`: solid cells show a ground chip.
    int Value(int file, int i) const {
        const int value = (file == ENEMY_FILE ? enemies : attributes)[i];
        return file == CHIP_FILE && value ? 33 : value;
    }
};

class RunRules : public TestFolder {
  protected:
    RunRules() : TestFolder("tessera-run-rules-") {}

    // Writes the map (solid cells show a ground chip) and returns its name.
    std::string Write(TestMap& map) {
        const std::string name = (folder / "level").string();
        for (int file = 0; file < MAP_FILE_COUNT; ++file) {
            std::ofstream out(tessera::MapFileName(name, file), std::ios::binary);
            for (int i = 0; i < map.Cells(); ++i) {
                out << map.Value(file, i) << ' ';
                if ((i + 1) % (map.width * SCREEN_COLUMNS) == 0) out << "\r\n";
            }
        }
        return name;
    }

    // Puts the map into `to` in memory, as a program hands over a map of its own.
    static void Hand(const TestMap& map, tessera::MapLayers& to) {
        ASSERT_EQ(AllocateLayers(to), 1);
        to.width = map.width;
        to.height = map.height;
        LayerRow* const targets[MAP_FILE_COUNT] = {to.chips, to.attributes, to.enemies};
        const int columns = map.width * SCREEN_COLUMNS;
        for (int file = 0; file < MAP_FILE_COUNT; ++file)
            for (int i = 0; i < map.Cells(); ++i)
                SetCell(targets[file], i / columns, i % columns, map.Value(file, i));
    }

    // Writes and loads the map, then plays the script from game screen
    // (screenX, screenY).
    void Play(TestMap& map, const std::string& script, int screenX = 0, int screenY = 0) {
        ASSERT_TRUE(LoadPlayMap(layers, Write(map).c_str(), screenX, screenY));
        RegisterPlayTest();
        Replay(script);
    }

    // Plays the script on the map loaded or being loaded, the play-test
    // registered, recording every frame.
    void Replay(const std::string& script) {
        SceneTable[1] = RecordedScene;
        Frames.clear();
        // A run before this one in the process left its window closed.
        platform::ResetMessages();
        ShutDownDone = 0;
        std::vector<ReplayCommand> commands;
        std::string error;
        ASSERT_TRUE(ParseReplayScript("frametime 16\n" + script, commands, error)) << error;
        ASSERT_EQ(RunReplay(commands), 0);
        ASSERT_FALSE(Frames.empty());
    }
    const Seen& Last() const { return Frames.back(); }

    tessera::MapLayers layers; // the map played
};

// Flat ground with its top at row 60 (pixel 480) across a whole screen.
TestMap Ground(int width = 1, int height = 1) {
    TestMap map(width, height);
    map.Solid(60, 72, 0, width * SCREEN_COLUMNS);
    return map;
}

constexpr int FLOOR_Y = 480 - PLAYER_HEIGHT; // the player's top standing on the ground

TEST_F(RunRules, ThePlayerDropsInAndRunsIntoAOneCellWallWithoutPassingIt) {
    TestMap map = Ground();
    map.Solid(20, 60, 40, 41); // a wall one cell wide at pixel 320
    map.Solid(3, 4, 0, 3);     // a ledge near the top of the left-most columns
    Play(map, "frames 60\nkeydown X\nkeydown RIGHT\nframes 150\n");
    // Dropped in at the left-most column, at the top-most place with room
    // (under the ledge), and landed on the ground.
    EXPECT_EQ(Frames.front().x, 0);
    EXPECT_EQ(Frames.front().y, 32);
    EXPECT_EQ(Frames[59].y, FLOOR_Y);
    EXPECT_TRUE(Frames[59].onGround);
    // At full running speed it stops flush against the wall, never inside.
    for (const Seen& frame : Frames) EXPECT_LE(frame.x + PLAYER_WIDTH, 320);
    EXPECT_EQ(Last().x + PLAYER_WIDTH, 320);
    EXPECT_EQ(Last().phase, RUN_PLAYING);
}

TEST_F(RunRules, AJumpRisesHigherWhileHeldAndLandsOnTheGroundAhead) {
    struct Case {
        const char* script;
        int ceiling;             // rock from the top down to this row, or 0
        int riseLow, riseHigh;   // pixels above the ground at the peak
        int aheadLow, aheadHigh; // pixels travelled by the landing
        int airHigh;             // frames in the air at most
    } cases[] = {
        {"frames 60\nkeydown Z\nframes 2\nkeyup Z\nframes 80\n", 0, 30, 56, 0, 0, 80},
        {"frames 60\nkeydown Z\nframes 80\n", 0, 120, 136, 0, 0, 80},
        {"frames 60\nkeydown SPACE\nframes 80\n", 0, 120, 136, 0, 0, 80},
        // A second tap in the air does not jump again.
        {"frames 60\nkeydown Z\nframes 2\nkeyup Z\nframes 8\nkeydown Z\nframes 2\nkeyup Z\nframes "
         "80\n",
         0, 30, 56, 0, 0, 80},
        // Walking into a held jump: the landing is 12 or 13 cells ahead.
        {"frames 60\nkeydown RIGHT\nframes 30\nkeydown Z\nframes 80\n", 0, 120, 136, 90, 110, 80},
        // Rock down to four cells over the head: the jump falls back at once.
        {"frames 60\nkeydown Z\nframes 80\n", 50, 32, 32, 0, 0, 20},
    };
    for (const Case& c : cases) {
        TestMap map = Ground();
        if (c.ceiling) map.Solid(0, c.ceiling + 1, 0, SCREEN_COLUMNS);
        Play(map, c.script);
        const auto take = std::find_if(Frames.begin() + 60, Frames.end(),
                                       [](const Seen& f) { return f.y < FLOOR_Y; });
        ASSERT_NE(take, Frames.end()) << c.script;
        const auto land =
            std::find_if(take, Frames.end(), [](const Seen& f) { return f.onGround; });
        ASSERT_NE(land, Frames.end()) << c.script;
        const int peak =
            std::min_element(take, land, [](const Seen& a, const Seen& b) { return a.y < b.y; })->y;
        EXPECT_GE(FLOOR_Y - peak, c.riseLow) << c.script;
        EXPECT_LE(FLOOR_Y - peak, c.riseHigh) << c.script;
        EXPECT_EQ(land->y, FLOOR_Y) << c.script;
        const int ahead = land->x - (take - 1)->x;
        EXPECT_GE(ahead, c.aheadLow) << c.script;
        EXPECT_LE(ahead, c.aheadHigh) << c.script;
        EXPECT_LE(land - take, c.airHigh) << c.script;
        EXPECT_EQ(land->vy, 0) << c.script;
    }
}

TEST_F(RunRules, TheGameRunsAtSixtyStepsASecondWhateverTheFrameRate) {
    // At every frame time a held jump peaks at the same height, and a tap of
    // one frame, also one whose frame runs no step, still jumps.
    std::vector<int> peaks;
    for (int ms : {8, 16, 33, 50}) {
        const auto frames = [ms](int milliseconds) {
            return "frames " + std::to_string(milliseconds / ms) + "\n";
        };
        TestMap map = Ground();
        Play(map, "frametime " + std::to_string(ms) + "\n" + frames(1000) + "keydown Z\n" +
                      frames(1500) + "keyup Z\n" + frames(300) + "keydown Z\nframes 1\nkeyup Z\n" +
                      frames(1000) + "keydown Z\nframes 1\nkeyup Z\nframes 1\n" + frames(1000));
        int takeoffs = 0;
        for (std::size_t i = 1; i < Frames.size(); ++i)
            takeoffs += Frames[i - 1].onGround && !Frames[i].onGround;
        EXPECT_EQ(takeoffs, 3) << ms << " ms";
        const auto landed =
            std::find_if(Frames.begin(), Frames.end(), [](const Seen& f) { return f.onGround; });
        peaks.push_back(
            std::min_element(landed, Frames.end(), [](auto& a, auto& b) { return a.y < b.y; })->y);
    }
    // Frames of 50 ms see every third step: the apex itself may fall between two.
    for (int peak : peaks) EXPECT_NEAR(peak, peaks[0], 1);

    // A frame after a stall of two seconds runs 8 steps, not 120.
    TestMap map = Ground();
    Play(map, "frames 10\nframetime 2000\nframes 1\nframetime 16\nframes 1\n");
    EXPECT_EQ(Frames[10].steps - Frames[9].steps, 8);
}

TEST_F(RunRules, AFallAtFullSpeedLandsOnAOneCellLedge) {
    TestMap map(1, 2);
    map.Solid(130, 131, 0, 12); // a ledge one cell thick, 1040 pixels down
    Play(map, "frames 150\n");
    const int fastest = std::max_element(Frames.begin(), Frames.end(), [](auto& a, auto& b) {
                            return a.vy < b.vy;
                        })->vy;
    EXPECT_EQ(fastest, MAX_FALL_SPEED); // faster than a cell a step
    EXPECT_EQ(Last().y + PLAYER_HEIGHT, 1040);
    EXPECT_TRUE(Last().onGround);
    EXPECT_EQ(Last().restarts, 0);
}

// The game plays a map handed to it in memory, as a program's own map would
// be, as it plays the same map read from its files, and never writes into it:
// a stomped enemy leaves the run, not the map.
TEST_F(RunRules, AMapHandedOverPlaysAsItsFilesDoAndIsLeftAsItWas) {
    TestMap stomp = Ground();
    stomp.Solid(40, 60, 6, 7).Place(54, 0, 1);
    Play(stomp, "frames 90\n");
    const std::vector<Seen> fromFiles = Frames;
    tessera::MapLayers handed;
    Hand(stomp, handed);
    PlayMap(handed, 0, 0);
    RegisterPlayTest();
    Replay("frames 90\n");
    ASSERT_EQ(Frames.size(), fromFiles.size());
    for (std::size_t i = 0; i < Frames.size(); ++i) {
        EXPECT_EQ(Frames[i].x, fromFiles[i].x) << i;
        EXPECT_EQ(Frames[i].y, fromFiles[i].y) << i;
        EXPECT_EQ(Frames[i].enemies[0].alive, fromFiles[i].enemies[0].alive) << i;
    }
    EXPECT_FALSE(Last().enemies[0].alive);
    EXPECT_EQ(GetCell(handed.enemies, 54, 0), 1);
    EXPECT_EQ(GetCell(handed.attributes, 40, 6), 1);
    EXPECT_EQ(GetCell(handed.chips, 40, 6), 33);
}

TEST_F(RunRules, LandingOnAnEnemyRemovesItAndATouchFromTheSideRestarts) {
    // The enemy is boxed in under the player's drop: a wall right of it.
    TestMap stomp = Ground();
    stomp.Solid(40, 60, 6, 7).Place(54, 0, 1);
    Play(stomp, "frames 90\n");
    EXPECT_FALSE(Last().enemies[0].alive);
    EXPECT_EQ(Last().restarts, 0);
    EXPECT_EQ(Last().phase, RUN_PLAYING);
    const auto bounce = std::find_if(Frames.begin(), Frames.end(),
                                     [](const Seen& f) { return !f.enemies[0].alive; });
    ASSERT_NE(bounce, Frames.end());
    EXPECT_LT(bounce->vy, 0);

    // Walking into an enemy on the ground: a miss, then the run starts
    // again with the enemy back in its place.
    TestMap touch = Ground();
    touch.Place(54, 30, 1);
    Play(touch, "frames 30\nkeydown RIGHT\nframes 200\n");
    const auto miss = std::find_if(Frames.begin(), Frames.end(),
                                   [](const Seen& f) { return f.phase == RUN_MISSED; });
    ASSERT_NE(miss, Frames.end());
    EXPECT_TRUE(miss->enemies[0].alive);
    EXPECT_EQ(Last().restarts, 1);
    const auto again =
        std::find_if(Frames.begin(), Frames.end(), [](const Seen& f) { return f.restarts == 1; });
    EXPECT_EQ(again->x, 0);
    EXPECT_NEAR(PixelX(again->enemies[0].body), 30 * CELL_SIZE, 2);
}

// Two enemies side by side in a pit, landed on in one step off a ledge: both
// are stomped and the player bounces, with no miss.
TEST_F(RunRules, LandingOnTwoEnemiesAtOnceStompsBoth) {
    TestMap map = Ground();
    map.Solid(30, 60, 0, 5).Solid(30, 60, 17, SCREEN_COLUMNS); // the pit: pixels 40..136
    map.Place(54, 5, 1).Place(54, 11, 1);                      // 48 pixels wide each
    Play(map, "frames 30\nkeydown RIGHT\nframes 40\nkeyup RIGHT\nframes 60\n");
    const auto landed = std::find_if(Frames.begin(), Frames.end(), [](const Seen& f) {
        return !f.enemies[0].alive || !f.enemies[1].alive;
    });
    ASSERT_NE(landed, Frames.end());
    EXPECT_FALSE(landed->enemies[0].alive);
    EXPECT_FALSE(landed->enemies[1].alive);
    EXPECT_LT(landed->vy, 0);
    EXPECT_EQ(Last().restarts, 0);
    EXPECT_EQ(Last().phase, RUN_PLAYING);
}

TEST_F(RunRules, FallingBelowTheMapRestartsFromTheStart) {
    TestMap map(1, 1); // no ground at all
    Play(map, "frames 120\n");
    EXPECT_EQ(Last().restarts, 1);
    EXPECT_LT(Last().y, 576);
    const auto miss = std::find_if(Frames.begin(), Frames.end(),
                                   [](const Seen& f) { return f.phase == RUN_MISSED; });
    ASSERT_NE(miss, Frames.end());
    EXPECT_GE(miss->y, 576);
}

TEST_F(RunRules, TheCameraStaysInsideTheMapAtItsFourEdges) {
    // From each corner screen the player runs to the side edge on a floor near
    // the top or bottom edge: the camera follows to both edges and no further,
    // and the player never leaves by the left edge. A start screen beyond the
    // map is its last one.
    struct Case {
        int screenX, screenY;
        const char* key;
    } cases[] = {{0, 0, "LEFT"}, {2, 0, "RIGHT"}, {0, 2, "LEFT"}, {2, 2, "RIGHT"}, {9, 9, "RIGHT"}};
    for (Case c : cases) {
        TestMap map(3, 3);
        const int floor = c.screenY == 0 ? 20 : 3 * SCREEN_ROWS - 4;
        map.Solid(floor, floor + 1, 0, 3 * SCREEN_COLUMNS);
        Play(map, std::string("keydown ") + c.key + "\nkeydown X\nframes 240\n", c.screenX,
             c.screenY);
        c.screenX = std::min(c.screenX, 2);
        c.screenY = std::min(c.screenY, 2);
        bool atEdges = false;
        for (const Seen& frame : Frames) {
            const bool settled = &frame - &Frames[0] >= 120;
            EXPECT_GE(frame.x, 0);
            EXPECT_GE(frame.cameraX, 0);
            EXPECT_LE(frame.cameraX, 2 * GAME_WIDTH);
            EXPECT_GE(frame.cameraY, 0);
            EXPECT_LE(frame.cameraY, 2 * GAME_HEIGHT);
            atEdges |= settled && frame.cameraX == c.screenX * GAME_WIDTH &&
                       frame.cameraY == c.screenY * GAME_HEIGHT;
        }
        EXPECT_TRUE(atEdges) << c.screenX << "," << c.screenY;
        // Running out at the right edge clears the run.
        const bool cleared = std::any_of(Frames.begin(), Frames.end(),
                                         [](const Seen& f) { return f.phase == RUN_CLEARED; });
        EXPECT_EQ(cleared, c.screenX == 2) << c.screenX << "," << c.screenY;
    }
}

TEST_F(RunRules, TheFirstGameControllerRunsAndJumpsAndUnpluggingItIsHarmless) {
    constexpr unsigned CENTRE = 32767, RIGHT = 65535, BUTTON_1 = 1, BUTTON_2 = 2;
    platform::headless::SetJoystick(0, CENTRE, CENTRE, 0); // answers from start-up on
    BeforeFrame = [](std::size_t frame) {
        if (frame == 60) platform::headless::SetJoystick(0, RIGHT, CENTRE, BUTTON_2);
        if (frame == 90) platform::headless::SetJoystick(0, RIGHT, CENTRE, BUTTON_1 | BUTTON_2);
        if (frame == 100) platform::headless::UnplugJoystick(0);
    };
    TestMap map = Ground();
    Play(map, "frames 200\n");
    BeforeFrame = nullptr;
    EXPECT_EQ(Frames[59].x, 0);
    EXPECT_GT(Frames[89].x, 70);       // ran right on the stick with button 2
    EXPECT_LT(Frames[100].y, FLOOR_Y); // jumped on button 1
    // Unplugged in the air: the player lands and comes to rest; the run goes on.
    EXPECT_EQ(Last().y, FLOOR_Y);
    EXPECT_EQ(Last().x, Frames[Frames.size() - 2].x);
    EXPECT_EQ(Last().phase, RUN_PLAYING);
}

TEST_F(RunRules, KeysRestartShowTheAttributesAndEndTheProgram) {
    TestMap map = Ground();
    Play(map, "frames 30\nkeydown RIGHT\nframes 30\nkeydown R\nframes 1\nkeyup R\nframes 5\n"
              "keydown A\nframes 1\nkeyup A\nframes 5\nkeydown ESC\nkeyup ESC\nframes 100\n");
    EXPECT_EQ(Frames[59].restarts, 0);
    EXPECT_EQ(Frames[62].restarts, 1);
    EXPECT_EQ(Frames[62].x, 0); // back at the start
    EXPECT_EQ(Frames[60].attributes, 0);
    EXPECT_EQ(Last().attributes, 1);
    // A tap of Esc between two frames still ends the program.
    EXPECT_LT(Frames.size(), 80u);
}

TEST_F(RunRules, TheMapLoadsOnAThreadOfItsOwnWhileTheProgramStarts) {
    TestMap map = Ground(2, 1);
    RegisterPlayTestLoading(layers, Write(map).c_str(), 1, 0);
    Replay("frames 60\n");
    EXPECT_EQ(layers.width, 2);
    EXPECT_EQ(Frames.front().cameraX, GAME_WIDTH); // at the start screen given
    EXPECT_EQ(Last().y, FLOOR_Y);
    // A map that cannot be read ends the program at start-up, named. The
    // child is started afresh: this process runs the sound device's thread.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string missing = (folder / "missing").string();
    EXPECT_EXIT(
        {
            std::filesystem::remove_all(folder); // the child's own, which it cannot tear down
            RegisterPlayTestLoading(layers, missing.c_str(), 0, 0);
            Replay("frames 1\n");
        },
        ::testing::ExitedWithCode(1), "cannot read the map");
}

TEST_F(RunRules, AMapThatCannotBeReadIsNamedOnStandardError) {
    const std::string name = (folder / "missing").string();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadPlayMap(layers, name.c_str(), 0, 0));
    const std::string error = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(error.find("tessera-run: cannot read the map " + name + ": " + name +
                         "_data.txt: No such file or directory"),
              std::string::npos)
        << error;
}

// Each of the map's files that cannot be used is named with its own cause,
// the same on the first and on a later run (no cause left over from the lock
// file or lost on a reading thread).
TEST_F(RunRules, AMapFileThatCannotBeUsedIsNamedWithItsCause) {
    const struct {
        int file;
        const char* kind; // what the file is made
        const char* said;
    } cases[] = {
        {CHIP_FILE, "folder", "_data.txt: Is a directory"},
        {CHIP_FILE, "pipe", "_data.txt: Invalid argument"},
        {CHIP_FILE, "empty", "_data.txt: holds no number"},
        {ATTR_FILE, "loop", "_zk.txt: Too many levels of symbolic links"},
        {ENEMY_FILE, "loop", "_teki.txt: Too many levels of symbolic links"},
        {ENEMY_FILE, "folder", "_teki.txt: Is a directory"},
    };
    for (const auto& c : cases) {
        TestMap map = Ground();
        const std::string name = Write(map);
        const std::string path = tessera::MapFileName(name, c.file);
        fs::remove(path);
        if (c.kind == std::string("folder")) fs::create_directory(path);
        if (c.kind == std::string("pipe")) {
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        }
        if (c.kind == std::string("empty")) std::ofstream(path).flush();
        if (c.kind == std::string("loop"))
            fs::create_symlink(path, path); // unreadable even by root
        for (int run = 0; run < 2; ++run) {
            ::testing::internal::CaptureStderr();
            EXPECT_FALSE(LoadPlayMap(layers, name.c_str(), 0, 0));
            const std::string error = ::testing::internal::GetCapturedStderr();
            EXPECT_NE(error.find("cannot read the map " + name + ": " + name + c.said),
                      std::string::npos)
                << c.kind << " " << run << ": " << error;
        }
        fs::remove_all(path);
    }
}

TEST_F(RunRules, AnEnemyTurnsAtTheLedgeAndTheWallOfItsPlatform) {
    TestMap map = Ground();
    map.Solid(30, 31, 50, 72).Place(24, 56, 1); // a platform of pixels 400..576
    map.Solid(20, 30, 70, 72);                  // and a wall on it from pixel 560
    Play(map, "frames 400\n");
    int turns = 0;
    for (std::size_t i = 1; i < Frames.size(); ++i) {
        const Enemy& enemy = Frames[i].enemies[0];
        EXPECT_EQ(PixelY(enemy.body) + enemy.body.height, 240); // never falls off
        EXPECT_GE(PixelX(enemy.body), 400);
        EXPECT_LE(PixelX(enemy.body) + enemy.body.width, 560);
        turns += enemy.direction != Frames[i - 1].enemies[0].direction;
    }
    EXPECT_GE(turns, 3);
    // It walks the platform from end to end.
    const auto [leftMost, rightMost] =
        std::minmax_element(Frames.begin(), Frames.end(), [](const Seen& a, const Seen& b) {
            return a.enemies[0].body.x < b.enemies[0].body.x;
        });
    EXPECT_EQ(PixelX(leftMost->enemies[0].body), 400);
    EXPECT_EQ(PixelX(rightMost->enemies[0].body) + rightMost->enemies[0].body.width, 560);
}

// Enemy values 1 to 8 are enemies, which wake within a screen of the camera
// (here at the start screen, 2,2, on the first step) on every side; other
// values are not. One that falls below the map is gone.
TEST_F(RunRules, EnemiesAreTheValuesOneToEightAndWakeAScreenAround) {
    const struct {
        int row, column, value;
        bool awake;
    } cells[] = {
        {65, 200, 1, false},  {66, 210, 1, true},   // above: reaching into the screen above
        {100, 89, 1, false},  {100, 90, 1, true},   // left: reaching into the screen left
        {100, 383, 1, true},  {100, 384, 2, false}, // right: starting in the screen right
        {287, 220, 8, true},  {288, 230, 3, false}, // below: starting in the screen below
        {100, 240, 9, false}, {100, 250, 10, false}, {100, 260, -1, false}, {100, 270, 255, false},
    };
    TestMap map = Ground(5, 5);
    map.Solid(204, 216, 192, 200); // under the player
    for (const auto& cell : cells) map.Place(cell.row, cell.column, cell.value);
    Play(map, "frames 120\n", 2, 2);
    const auto stepped =
        std::find_if(Frames.begin(), Frames.end(), [](const Seen& f) { return f.steps == 1; });
    ASSERT_NE(stepped, Frames.end());
    for (const auto& cell : cells) {
        if (cell.value < 1 || cell.value > 8) continue;
        const std::string where = std::to_string(cell.row) + "," + std::to_string(cell.column);
        const auto found =
            std::find_if(stepped->enemies.begin(), stepped->enemies.end(), [&](const Enemy& enemy) {
                return enemy.type == cell.value && PixelY(enemy.body) / CELL_SIZE >= cell.row &&
                       std::abs(PixelX(enemy.body) - cell.column * CELL_SIZE -
                                ENEMY_SPRITE_OFFSET) <= 1;
            });
        ASSERT_NE(found, stepped->enemies.end()) << where;
        EXPECT_EQ(found->awake, cell.awake) << where;
    }
    EXPECT_EQ(stepped->enemies.size(), 8u);
    // The camera closed an eighth of the way to the player, from the screen's corner.
    EXPECT_EQ(stepped->cameraX, 2 * GAME_WIDTH - (GAME_WIDTH / 2 - PLAYER_WIDTH / 2) / 8);
    const auto fallen = std::find_if(Last().enemies.begin(), Last().enemies.end(),
                                     [](const Enemy& enemy) { return enemy.type == 8; });
    ASSERT_NE(fallen, Last().enemies.end());
    EXPECT_FALSE(fallen->alive);
    EXPECT_EQ(Last().restarts, 0);
}

// A start screen past the map is held inside it, and standard error says so.
TEST_F(RunRules, AStartScreenPastTheMapIsToldOnStandardError) {
    TestMap map = Ground(3, 2);
    const std::string name = Write(map);
    for (const auto& [x, y, said] :
         {std::tuple{2, 1, ""}, std::tuple{9, 1, "2,1"}, std::tuple{0, 5, "0,1"}}) {
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(LoadPlayMap(layers, name.c_str(), x, y));
        const std::string error = ::testing::internal::GetCapturedStderr();
        if (*said == '\0') {
            EXPECT_EQ(error, "");
            continue;
        }
        EXPECT_NE(error.find("is 3 x 2 game screens; screen " + std::to_string(x) + "," +
                             std::to_string(y) + " lies past it, so the run starts at " + said),
                  std::string::npos)
            << error;
        EXPECT_EQ(StartScreenX, said[0] - '0');
        EXPECT_EQ(StartScreenY, said[2] - '0');
    }
}

// An enemy starts exactly where the editor draws its sprite, two pixels into
// its cell; one placed so that it would start in the ground is lifted onto
// it, and one buried deeper than its height stays where it was put.
TEST_F(RunRules, EnemiesStartWhereTheEditorDrawsThemAndOutOfTheGround) {
    TestMap map = Ground();
    map.Place(20, 60, 1); // in the air
    map.Place(55, 10, 1); // its sprite's foot 10 pixels into the ground
    map.Place(56, 30, 2); // 56 tall: 26 pixels into the ground
    map.Place(62, 80, 1); // wholly inside the ground
    Play(map, "frames 60\n");
    const auto first =
        std::find_if(Frames.begin(), Frames.end(), [](const Seen& f) { return f.steps == 0; });
    ASSERT_NE(first, Frames.end());
    ASSERT_EQ(first->enemies.size(), 4u);
    const struct {
        int x, y;
    } starts[] = {{60 * CELL_SIZE + ENEMY_SPRITE_OFFSET, 20 * CELL_SIZE + ENEMY_SPRITE_OFFSET},
                  {10 * CELL_SIZE + ENEMY_SPRITE_OFFSET, 480 - 48},
                  {30 * CELL_SIZE + ENEMY_SPRITE_OFFSET, 480 - 56},
                  {80 * CELL_SIZE + ENEMY_SPRITE_OFFSET, 62 * CELL_SIZE + ENEMY_SPRITE_OFFSET}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(PixelX(first->enemies[i].body), starts[i].x) << i;
        EXPECT_EQ(PixelY(first->enemies[i].body), starts[i].y) << i;
    }
    // The lifted ones walk on the ground; the one in the air lands on it.
    for (int i = 0; i < 3; ++i) {
        const Enemy& enemy = Last().enemies[i];
        EXPECT_EQ(PixelY(enemy.body) + enemy.body.height, 480) << i;
        EXPECT_NE(enemy.body.x, first->enemies[i].body.x) << i;
    }
}

// The player starts at the left-most column with room in the start screen;
// when that screen has none, in the nearest screen that has (the upper, then
// the left one of two as near); when no screen has room, nothing moves and
// the timer stays at 0.
TEST_F(RunRules, ThePlayerStartsWhereThereIsRoomOrTheMapSaysItHasNone) {
    const struct {
        int width, height, screenX, screenY;
        std::vector<std::array<int, 2>> open; // screens left open, with ground
        int startX, startY;                   // start screen found, or -1
        int x;                                // pixel column of the start
    } cases[] = {
        {1, 1, 0, 0, {{0, 0}}, 0, 0, 3 * CELL_SIZE},
        {2, 1, 0, 0, {{1, 0}}, 1, 0, GAME_WIDTH},
        {3, 3, 1, 0, {{0, 2}, {2, 2}}, 0, 2, 0},
        {3, 3, 1, 1, {{2, 1}, {1, 0}}, 1, 0, GAME_WIDTH},
        {2, 2, 1, 1, {}, -1, -1, 0},
    };
    for (const auto& c : cases) {
        TestMap map(c.width, c.height);
        map.Solid(0, c.height * SCREEN_ROWS, 0, c.width * SCREEN_COLUMNS);
        for (const auto& [x, y] : c.open) {
            map.Solid(y * SCREEN_ROWS, y * SCREEN_ROWS + 60, x * SCREEN_COLUMNS,
                      (x + 1) * SCREEN_COLUMNS, 0);
            map.Solid(y * SCREEN_ROWS, y * SCREEN_ROWS + 60, x * SCREEN_COLUMNS,
                      x * SCREEN_COLUMNS + 3); // rock at the left-most columns
        }
        Play(map, "frames 90\n", c.screenX, c.screenY);
        const std::string where = std::to_string(c.width) + "x" + std::to_string(c.height);
        if (c.startX < 0) {
            EXPECT_EQ(Last().phase, RUN_NO_ROOM) << where;
            EXPECT_EQ(Last().steps, 0) << where;
            continue;
        }
        EXPECT_EQ(StartScreenX, c.startX) << where;
        EXPECT_EQ(StartScreenY, c.startY) << where;
        EXPECT_EQ(Frames.front().x, c.startX * GAME_WIDTH + 3 * CELL_SIZE) << where;
        EXPECT_EQ(Last().y, c.startY * GAME_HEIGHT + FLOOR_Y) << where;
        EXPECT_EQ(Last().phase, RUN_PLAYING) << where;
    }
}

// A map keeps its first 4096 enemies, in rows from the top. The rest are
// told of on standard error and, for the first five seconds, on the screen.
TEST_F(RunRules, AMapHoldsAtMost4096Enemies) {
    TestMap map(1, 1);
    for (int cell = 0; cell <= 4096; ++cell)
        map.Place(cell / SCREEN_COLUMNS, cell % SCREEN_COLUMNS, 1);
    ::testing::internal::CaptureStderr();
    Play(map, "frames 1\n");
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Last().enemies.size(), 4096u);
    EXPECT_EQ(EnemiesLeftOut, 1);
    EXPECT_NE(said.find("more than 4096 enemies; the rest are left out"), std::string::npos)
        << said;

    // Two maps whose enemies all lie in the screen right of the start, one
    // with an enemy too many: the pictures differ by the notice, until it goes.
    std::vector<platform::DecodedImage> shots;
    for (int enemies : {4096, 4097}) {
        TestMap level = Ground(2, 1);
        for (int cell = 0; cell < enemies; ++cell)
            level.Place(cell / SCREEN_COLUMNS, SCREEN_COLUMNS + cell % SCREEN_COLUMNS, 1);
        const std::string early = (folder / "early.bmp").string();
        const std::string late = (folder / "late.bmp").string();
        Play(level, "frames 60\nscreenshot " + early + "\nframes 330\nscreenshot " + late + "\n");
        for (const std::string& path : {early, late}) {
            shots.emplace_back();
            ASSERT_TRUE(platform::LoadBmpFile(path, shots.back()));
        }
    }
    EXPECT_TRUE(shots[0].pixels != shots[2].pixels) << "no notice";
    EXPECT_TRUE(shots[1].pixels == shots[3].pixels) << "the notice stays";
}

// Reaching the right edge clears the run, shown for 3 s (180 steps), then
// the run starts again.
TEST_F(RunRules, AClearShowsForThreeSecondsThenTheRunStartsAgain) {
    TestMap map = Ground();
    map.Solid(0, 60, 0, 93); // rock: the player starts in column 93, by the edge
    Play(map, "keydown RIGHT\nframes 220\n");
    const auto cleared = std::find_if(Frames.begin(), Frames.end(),
                                      [](const Seen& f) { return f.phase == RUN_CLEARED; });
    const auto again =
        std::find_if(Frames.begin(), Frames.end(), [](const Seen& f) { return f.restarts == 1; });
    ASSERT_NE(again, Frames.end());
    EXPECT_NEAR(again - cleared, 188, 2); // 180 steps in frames of 16 ms
    EXPECT_EQ(again->x, 93 * CELL_SIZE);
}

// --screen X,Y: decimal digits with or without leading zeros, each 0 to 63.
TEST(StartScreen, IsTwoNumbersOfDigitsUpToSixtyThree) {
    const struct {
        const char* text;
        int ok, x, y;
    } cases[] = {
        {"0,0", 1, 0, 0},         {"63,63", 1, 63, 63},
        {"01,01", 1, 1, 1},       {"001,1", 1, 1, 1},
        {"0000007,000", 1, 7, 0}, {"64,0", 0, 0, 0},
        {"0,64", 0, 0, 0},        {"99999999999,0", 0, 0, 0},
        {"-1,0", 0, 0, 0},        {"+1,0", 0, 0, 0},
        {" 1,0", 0, 0, 0},        {"1, 0", 0, 0, 0},
        {"1,0 ", 0, 0, 0},        {"1,0x", 0, 0, 0},
        {"1;0", 0, 0, 0},         {",0", 0, 0, 0},
        {"1,", 0, 0, 0},          {"", 0, 0, 0},
    };
    for (const auto& c : cases) {
        int x = -1, y = -1;
        EXPECT_EQ(ParseStartScreen(c.text, x, y), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(x, c.x) << c.text;
        EXPECT_EQ(y, c.y) << c.text;
    }
}

// The run's time in seconds with hundredths, past the 99 hours where steps
// times 100 leaves 32 bits.
TEST(RunTime, ShowsSecondsWithHundredthsForAnyLengthOfRun) {
    const struct {
        long long steps;
        const char* shown;
    } cases[] = {{0, "0.00"},
                 {59, "0.98"},
                 {60, "1.00"},
                 {21474837, "357913.95"},
                 {216000000, "3600000.00"},
                 {3LL << 40, "54975581388.80"}};
    for (const auto& c : cases) {
        char text[32];
        FormatTime(text, sizeof text, c.steps);
        EXPECT_STREQ(text, c.shown) << c.steps;
    }
}

// Above the map is open: a jump from a floor near the top rises out of it.
TEST_F(RunRules, AJumpRisesAboveTheTopOfTheMap) {
    TestMap map(1, 1);
    map.Solid(10, 11, 0, SCREEN_COLUMNS);
    Play(map, "frames 30\nkeydown Z\nframes 80\n");
    const auto peak =
        std::min_element(Frames.begin(), Frames.end(), [](auto& a, auto& b) { return a.y < b.y; });
    EXPECT_LT(peak->y, -80);
    EXPECT_EQ(Last().y, 80 - PLAYER_HEIGHT);
}

// Attribute 1 is solid; every other value is passed through.
TEST_F(RunRules, OnlyAttributeOneIsSolid) {
    for (int value : {1, 2, 255, -1}) {
        TestMap map = Ground();
        map.Solid(30, 31, 0, SCREEN_COLUMNS, value); // a ledge under the drop
        Play(map, "frames 90\n");
        EXPECT_EQ(Last().y, value == 1 ? 240 - PLAYER_HEIGHT : FLOOR_Y) << value;
        EXPECT_TRUE(Last().onGround) << value;
    }
}

// A player standing on a wall, its feet level with the top of the enemy beside
// it and over its edge, is not touching it.
TEST_F(RunRules, BoxesThatOnlyMeetAtAnEdgeDoNotTouch) {
    TestMap map = Ground();
    map.Solid(0, 60, 0, 4)   // rock over the first four columns: the player drops in at column 4
        .Solid(54, 60, 4, 6) // onto a wall at the enemy's height (its top at pixel 432)
        .Solid(54, 60, 12, 14)
        .Place(54, 6, 1); // a 48-pixel enemy boxed in between, awake
    Play(map, "frames 120\n");
    EXPECT_EQ(Last().x, 32);
    EXPECT_EQ(Last().y + PLAYER_HEIGHT, 432); // overhangs the enemy by 4 pixels
    EXPECT_TRUE(Last().enemies[0].awake);
    EXPECT_TRUE(Last().enemies[0].alive);
    EXPECT_EQ(Last().restarts, 0);
    EXPECT_EQ(Last().phase, RUN_PLAYING);
}

// Two bodies touch when they share a pixel, on every side; meeting at an edge
// is not touching.
TEST(Bodies, TouchOnlyWhereTheyOverlap) {
    Body a;
    a.x = 100 * SUBPIXELS;
    a.y = 200 * SUBPIXELS;
    a.width = 20;
    a.height = 40;
    const struct {
        int x, y, width, height;
        bool touch;
    } others[] = {
        {120, 200, 48, 48, false}, {119, 200, 48, 48, true}, // right
        {52, 210, 48, 48, false},  {53, 210, 48, 48, true},  // left
        {90, 240, 56, 56, false},  {90, 239, 56, 56, true},  // below
        {110, 152, 48, 48, false}, {110, 153, 48, 48, true}, // above
    };
    for (const auto& other : others) {
        Body b;
        b.x = other.x * SUBPIXELS + SUBPIXELS - 1; // the far edge of its pixel
        b.y = other.y * SUBPIXELS;
        b.width = other.width;
        b.height = other.height;
        EXPECT_EQ(BodiesTouch(a, b), other.touch) << other.x << "," << other.y;
        EXPECT_EQ(BodiesTouch(b, a), other.touch) << other.x << "," << other.y;
    }
}

} // namespace
