// The real editor on the desktop backend, on a private X server without a
// window manager: the window is moved, keys and clicks go through the server,
// and the screen is compared with the headless rendering of the same script.
#include "map/map_files.h"
#include "map/map_model.h"
#include "tests/desktop/frame_match.h"
#include "tests/desktop/private_display.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <tuple>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using desktop_test::FrameMatch;
using desktop_test::Placement;
using platform::DecodedImage;

namespace {

// How long the desktop run stands for one frame of a script; the editor draws
// at the display's rate, so several frames pass.
constexpr auto FrameTime = 50ms;
// A key is held this long, so that the editor's once-a-frame polling sees it.
constexpr auto KeyHold = 200ms;
// Presses closer than this at one place would make a double click, which a
// script's separate presses are not.
constexpr auto DoubleClickTime = 600ms;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The X keysym of a key name of the replay scripts.
std::string KeysymOf(const std::string& key) {
    static const std::pair<const char*, const char*> named[] = {
        {"CTRL", "Control_L"}, {"SHIFT", "Shift_L"},  {"ALT", "Alt_L"},   {"ENTER", "Return"},
        {"ESC", "Escape"},     {"BACK", "BackSpace"}, {"SPACE", "space"}, {"LEFT", "Left"},
        {"UP", "Up"},          {"RIGHT", "Right"},    {"DOWN", "Down"},   {"TAB", "Tab"},
        {"PGUP", "Prior"},     {"PGDN", "Next"},      {"HOME", "Home"},   {"END", "End"}};
    for (const auto& [name, keysym] : named)
        if (key == name) return keysym;
    if (key.size() == 1 && std::isalnum(static_cast<unsigned char>(key[0])))
        return std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(key[0]))));
    return key; // an X keysym name given directly
}

// Centres of the two push buttons of a message box, left to right: the band of
// rows near the box's bottom where exactly two wide runs of pixels differ from
// its background.
std::vector<std::pair<int, int>> BoxButtons(const DecodedImage& screen, const Placement& box) {
    if (box.width < 20 || box.height < 20 || box.x < 0 || box.y < 0 ||
        box.x + box.width > screen.width || box.y + box.height > screen.height)
        return {};
    auto at = [&](int x, int y) { return screen.pixels[(box.y + y) * screen.width + box.x + x]; };
    const std::uint32_t background = at(1, 1);
    auto buttonsIn = [&](int y) {
        std::vector<std::pair<int, int>> runs;
        for (int x = 0, start = -1; x <= box.width; ++x) {
            const bool inRun = x < box.width && at(x, y) != background;
            if (inRun && start < 0) start = x;
            if (!inRun && start >= 0) {
                if (x - start > 30)
                    runs.push_back({start, x});
                else
                    runs.push_back({-1, -1});
                start = -1;
            }
        }
        return runs.size() == 2 && runs[0].first >= 0 && runs[1].first >= 0
                   ? runs
                   : std::vector<std::pair<int, int>>{};
    };
    int bottom = box.height - 1;
    while (bottom > box.height / 3 && buttonsIn(bottom).empty()) --bottom;
    const auto runs = buttonsIn(bottom);
    if (runs.empty()) return {};
    int top = bottom;
    while (top > 0 && buttonsIn(top - 1) == runs) --top;
    std::vector<std::pair<int, int>> centres;
    for (const auto& [from, to] : runs)
        centres.push_back({box.x + (from + to) / 2, box.y + (top + bottom) / 2});
    return centres;
}

class DesktopEditor : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("tessera-desktop-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        for (const char* sub : {"desktop", "headless", "runtime", "tmp", "state"})
            fs::create_directories(folder / sub);
        chmod((folder / "runtime").c_str(), 0700);
        std::string error;
        ASSERT_TRUE(display.Start((folder / "xvfb.log").string(), error)) << error;
    }

    void TearDown() override {
        editor.Stop();
        if (HasFailure())
            std::cerr << "kept " << folder << "; editor output:\n"
                      << ReadFile(folder / "tessera.log");
        else
            fs::remove_all(folder);
    }

    // The environment of a desktop program started here, with `extra` added.
    // Its own lock folder, temporary folder, state folder (where recovery
    // copies go), and no session bus: the program neither meets other runs nor
    // inhibits the screen saver of the desktop the
    // tests run on.
    std::vector<std::string> ProgramEnvironment(const std::vector<std::string>& extra) {
        std::vector<std::string> environment = {
            display.Variable(), "XDG_RUNTIME_DIR=" + (folder / "runtime").string(),
            "TMPDIR=" + (folder / "tmp").string(), "XDG_STATE_HOME=" + (folder / "state").string(),
            "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (folder / "no-bus").string()};
        // Under the sanitizers, what the graphics libraries keep at exit would
        // read as leaks, in stacks that cannot be unwound to name them; our own
        // code's leaks are caught by the headless suites, which run it all.
        if (const char* asan = std::getenv("ASAN_OPTIONS"))
            environment.push_back("ASAN_OPTIONS=" + std::string(asan) + ":detect_leaks=0");
        environment.insert(environment.end(), extra.begin(), extra.end());
        return environment;
    }

    // Starts the desktop program on the private display, with `extra` added to
    // its environment, and waits for its window. TESSERA_TEST_EDITOR, when set,
    // names another copy of the program to start (the package test's).
    void LaunchEditor(const std::vector<std::string>& extra = {}) {
        const std::vector<std::string> environment = ProgramEnvironment(extra);
        const char* other = std::getenv("TESSERA_TEST_EDITOR");
        ASSERT_TRUE(editor.Start({other ? other : TESSERA_PROGRAM}, (folder / "desktop").string(),
                                 environment, (folder / "tessera.log").string()));
        ASSERT_TRUE(desktop_test::WaitUntil(30s, [&] {
            window = display.FindWindow("Tessera");
            return window != 0 || !editor.Running();
        }));
        ASSERT_NE(window, 0u) << "the editor ended before showing its window";
    }

    // The same, and waits for its first frame.
    void StartEditor(const std::vector<std::string>& extra = {}) {
        LaunchEditor(extra);
        if (HasFatalFailure()) return;
        // The first frame drawn: the editor reads input from now on.
        ASSERT_TRUE(desktop_test::WaitUntil(30s, [&] {
            const DecodedImage screen = display.Screen();
            return std::count_if(screen.pixels.begin(), screen.pixels.end(),
                                 [](std::uint32_t p) { return p != 0; }) > 10000;
        })) << "the window stays black";
    }

    // Runs the script on the headless backend, where its screenshots land,
    // with `extra` added to its environment.
    void RunHeadless(const std::string& script, const std::vector<std::string>& extra = {}) {
        const fs::path file = folder / "headless" / "script.replay";
        std::ofstream(file) << script;
        desktop_test::ChildProcess replay;
        ASSERT_TRUE(replay.Start({TESSERA_REPLAY, file.string()}, (folder / "headless").string(),
                                 extra, (folder / "replay.log").string()));
        ASSERT_EQ(replay.Wait(120s), 0) << ReadFile(folder / "replay.log");
    }

    DecodedImage Headless(const std::string& name) {
        DecodedImage image;
        EXPECT_TRUE(platform::LoadBmpFile((folder / "headless" / name).string(), image)) << name;
        return image;
    }

    // TESSERA_TEST_OTHER_TEXT=1 says that the editor under test draws its text
    // with another rasteriser than the headless rendering's (the Windows
    // editor's GDI): its text may differ within the stated tolerance.
    static desktop_test::TextRendering TextRendering() {
        const char* other = std::getenv("TESSERA_TEST_OTHER_TEXT");
        return other && std::string(other) == "1" ? desktop_test::TextRendering::Rasterised
                                                  : desktop_test::TextRendering::Same;
    }

    void Pause(std::chrono::milliseconds time) { std::this_thread::sleep_for(time); }

    // Waits until the program with the keyboard (the editor, or the play-test
    // over it) has drawn a frame after the input sent so far: a frame reads
    // the keys and buttons as they stand, and on a busy machine one key
    // stroke could otherwise begin and end between two. A message box over
    // the editor holds its frames: then there is nothing to wait for.
    void Settle() {
        const auto end = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < end) {
            if (window && display.FindTransient(window)) return;
            const desktop_test::WindowId focused = display.Focused();
            const desktop_test::WindowId drawing =
                focused && display.Exists(focused) ? focused : window;
            if (!drawing || !display.Exists(drawing) || display.NextFrame(drawing, 1s)) return;
        }
    }

    void Press(unsigned button, bool down) {
        if (down) {
            const auto since = std::chrono::steady_clock::now() - lastPress;
            if (since < DoubleClickTime)
                Pause(
                    std::chrono::duration_cast<std::chrono::milliseconds>(DoubleClickTime - since));
            lastPress = std::chrono::steady_clock::now();
        }
        display.Button(button, down);
        if (button == 1) leftDown = down;
        Settle();
    }

    // A key goes up no sooner than KeyHold after it went down.
    void Key(const std::string& keysym, bool down) {
        const auto now = std::chrono::steady_clock::now();
        if (down) {
            keyPressed[keysym] = now;
        } else if (auto at = keyPressed.find(keysym); at != keyPressed.end()) {
            if (now - at->second < KeyHold)
                Pause(std::chrono::duration_cast<std::chrono::milliseconds>(KeyHold -
                                                                            (now - at->second)));
            keyPressed.erase(at);
        }
        ASSERT_TRUE(display.Key(keysym.c_str(), down)) << keysym;
        Settle();
    }

    // One key stroke, long enough to be seen, and the pause after it.
    void Stroke(const std::string& keysym) {
        Key(keysym, true);
        Pause(KeyHold);
        Key(keysym, false);
        Pause(KeyHold);
    }

    void PointAt(int frameX, int frameY) {
        const desktop_test::FrameMapping map(display.Where(window));
        display.PointerTo(map.ScreenX(frameX), map.ScreenY(frameY));
        Settle();
    }

    // Plays a replay script on the desktop: the same pointer positions, buttons
    // and keys, through the X server. Each screenshot of the script must show
    // on the screen (compared with the headless run's one); each answer is
    // given by clicking the message box's button once it shows.
    void PlayOnDesktop(const std::string& script) {
        std::istringstream lines(script);
        std::string line, pendingAnswer;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string command, argument;
            words >> command;
            if (command.empty() || command[0] == '#') continue;
            std::getline(words >> std::ws, argument);
            if (command == "move") {
                int x = 0, y = 0;
                std::istringstream(argument) >> x >> y;
                PointAt(x, y);
                Pause(FrameTime);
            } else if (command == "ldown" || command == "lup") {
                Press(1, command == "ldown");
            } else if (command == "rdown" || command == "rup") {
                Press(3, command == "rdown");
            } else if (command == "wheel") {
                // X reports a notch as a click of button 4 (away) or 5 (towards).
                const int notches = std::stoi(argument);
                for (int notch = 0; notch < std::abs(notches); ++notch) {
                    display.Button(notches < 0 ? 4 : 5, true);
                    display.Button(notches < 0 ? 4 : 5, false);
                }
                Settle();
            } else if (command == "keydown" || command == "keyup") {
                Key(KeysymOf(argument), command == "keydown");
            } else if (command == "type") {
                for (char c : argument) {
                    // A capital is typed with Shift held around its key.
                    const bool capital = std::isupper(static_cast<unsigned char>(c));
                    if (capital) {
                        Key("Shift_L", true);
                        Pause(KeyHold);
                    }
                    Stroke(KeysymOf(std::string(1, c)));
                    if (capital) {
                        Key("Shift_L", false);
                        Pause(KeyHold);
                    }
                }
            } else if (command == "frames") {
                Pause(FrameTime * std::max(1, std::stoi(argument)));
                Settle();
                if (!pendingAnswer.empty() && !leftDown) {
                    AnswerBox(pendingAnswer);
                    pendingAnswer.clear();
                }
            } else if (command == "answer") {
                pendingAnswer = argument;
            } else if (command == "screenshot") {
                ExpectFrame(argument);
            } else if (command != "frametime") {
                ADD_FAILURE() << "cannot play on the desktop: " << line;
            }
        }
    }

    // Waits until the screen shows the headless run's screenshot `name`.
    void ExpectFrame(const std::string& name) {
        const DecodedImage frame = Headless(name);
        DecodedImage screen;
        FrameMatch match;
        desktop_test::WaitUntil(15s, [&] {
            screen = display.Screen();
            match = desktop_test::MatchFrame(screen, display.Where(window), frame, TextRendering());
            return match.Good() || !editor.Running();
        });
        if (!match.Good()) platform::WriteBmp24((folder / ("desktop-" + name)).string(), screen);
        EXPECT_TRUE(match.Good()) << name << ": " << match.Describe()
                                  << (editor.Running() ? "" : "; the editor has ended");
    }

    // Clicks the first (yes) or second (no) button of the box over the editor.
    void AnswerBox(const std::string& answer) {
        desktop_test::WindowId box = 0;
        std::vector<std::pair<int, int>> buttons;
        ASSERT_TRUE(desktop_test::WaitUntil(15s, [&] {
            box = display.FindTransient(window);
            if (box) buttons = BoxButtons(display.Screen(), display.Where(box));
            return buttons.size() == 2;
        })) << "no message box with two buttons over the editor";
        EXPECT_EQ(display.FindWindow("メッセージ"), box);
        const auto [x, y] = buttons[answer == "yes" ? 0 : 1];
        display.PointerTo(x, y);
        Pause(FrameTime);
        Press(1, true);
        Pause(FrameTime);
        Press(1, false);
        EXPECT_TRUE(desktop_test::WaitUntil(10s, [&] { return !display.Exists(box); }))
            << "the box stays after a click on its button";
    }

    fs::path folder;
    desktop_test::PrivateDisplay display;
    desktop_test::ChildProcess editor;
    desktop_test::WindowId window = 0;
    std::chrono::steady_clock::time_point lastPress;
    bool leftDown = false;
    std::map<std::string, std::chrono::steady_clock::time_point> keyPressed;
};

// A click on a panel button at the display's origin: the frame is the
// headless one before and after, so the pointer reached the button.
TEST_F(DesktopEditor, FrameAndPanelClickMatchTheHeadlessRun) {
    const std::string script = R"(
move 900 300
frames 2
screenshot start.bmp
# Width + twice and height + once: the size digits read 03 x 02.
move 20 620
ldown
frames 1
lup
frames 1
ldown
frames 1
lup
frames 1
move 260 620
ldown
frames 1
lup
frames 1
move 900 300
frames 2
screenshot sized.bmp
)";
    RunHeadless(script);
    ASSERT_FALSE(
        desktop_test::MatchFrame(Headless("start.bmp"), {0, 0, 1024, 768}, Headless("sized.bmp"))
            .Good());
    StartEditor();
    PlayOnDesktop(script);
}

// The wheel, PageDown and the overview move the view in the real window as
// they do headless: a 2 x 2-screen map, nine notches down, PageDown back at
// the same place (the last screen), Tab, and a click that centres the view.
TEST_F(DesktopEditor, TheWheelPageDownAndTheOverviewMoveTheView) {
    const std::string script = R"(
move 20 620
ldown
frames 1
lup
frames 1
move 260 620
ldown
frames 1
lup
frames 1
move 400 300
frames 2
screenshot start.bmp
wheel 9
frames 2
screenshot wheeled.bmp
wheel -9
frames 2
keydown PGDN
frames 2
keyup PGDN
frames 2
screenshot paged.bmp
keydown TAB
frames 2
keyup TAB
frames 2
screenshot overview.bmp
move 600 450
ldown
frames 1
lup
frames 2
move 400 300
frames 2
screenshot centred.bmp
)";
    RunHeadless(script);
    ASSERT_FALSE(
        desktop_test::MatchFrame(Headless("start.bmp"), {0, 0, 1024, 768}, Headless("wheeled.bmp"))
            .Good());
    ASSERT_TRUE(
        desktop_test::MatchFrame(Headless("paged.bmp"), {0, 0, 1024, 768}, Headless("wheeled.bmp"))
            .Good());
    StartEditor();
    PlayOnDesktop(script);
}

// Left alone, the editor shows the same picture after ten seconds as after one,
// though it no longer sends an unchanged picture to the window; the window
// covered and uncovered meanwhile gets its picture back, and the smallest
// change after the idle stretch, the pointer's, shows as in the headless run.
TEST_F(DesktopEditor, TheIdleEditorKeepsItsPictureAndShowsTheNextChange) {
    const std::string idle = R"(
move 900 300
frames 2
screenshot idle.bmp
)";
    const std::string after = R"(
move 904 302
frames 2
screenshot nudged.bmp
move 20 620
ldown
frames 1
lup
frames 1
move 900 300
frames 2
screenshot wider.bmp
)";
    RunHeadless(idle + after);
    ASSERT_FALSE(
        desktop_test::MatchFrame(Headless("idle.bmp"), {0, 0, 1024, 768}, Headless("nudged.bmp"))
            .Good());
    StartEditor();
    PlayOnDesktop(idle);
    Pause(1s);
    const DecodedImage early = display.Screen();
    Pause(9s);
    EXPECT_TRUE(display.Screen().pixels == early.pixels) << "the idle picture changed";
    ExpectFrame("idle.bmp");

    const desktop_test::WindowId cover = display.Cover({100, 100, 500, 400});
    EXPECT_TRUE(desktop_test::WaitUntil(5s, [&] {
        return display.Screen().pixels != early.pixels;
    })) << "the cover does not show";
    display.Uncover(cover);
    ExpectFrame("idle.bmp");
    PlayOnDesktop(after);
}

// Wherever the window is, it shows the whole frame letterboxed in it, and the
// pointer lands where it is on the frame.
TEST_F(DesktopEditor, AMovedWindowShowsTheWholeFrameAndThePointerMapsToIt) {
    const std::string first = R"(
move 900 300
frames 2
screenshot moved.bmp
move 20 620
ldown
frames 1
lup
frames 1
move 900 300
frames 2
screenshot wider.bmp
)";
    const std::string second = R"(
move 260 620
ldown
frames 1
lup
frames 1
move 600 200
frames 2
screenshot taller.bmp
)";
    RunHeadless(first + second);
    StartEditor();
    ASSERT_TRUE(display.Move(window, 0, 40));
    PlayOnDesktop(first);
    ASSERT_TRUE(display.Move(window, 30, 50));
    PlayOnDesktop(second);
}

// Opens the save prompt, clears the offered name, types Desk7, takes a
// screenshot and saves.
const char* const SaveDesk7 = R"(
frametime 100
move 450 650
ldown
frames 1
lup
frames 1
# Held past half a second, Backspace clears the offered name.
keydown BACK
frames 20
keyup BACK
frames 1
type Desk7
move 900 300
frames 2
screenshot prompt.bmp
keydown ENTER
frames 1
keyup ENTER
frames 2
)";

// The save prompt takes a name typed on the keyboard: it shows as in the
// headless run, and Enter writes the three map files under it, the same files.
TEST_F(DesktopEditor, ANameTypedIntoTheSavePromptNamesTheMapFiles) {
    RunHeadless(SaveDesk7);
    StartEditor();
    PlayOnDesktop(SaveDesk7);
    for (int layer = 0; layer < MAP_FILE_COUNT; ++layer) {
        const fs::path file = folder / "desktop" / tessera::MapFileName("Desk7", layer);
        ASSERT_TRUE(desktop_test::WaitUntil(15s, [&] { return fs::exists(file); })) << file;
        EXPECT_TRUE(ReadFile(file) == ReadFile(folder / "headless" / file.filename())) << file;
    }
}

// Started as the desktop entry starts it, the editor makes the maps folder in
// the user's data folder and saves there, not in the folder it was started in.
TEST_F(DesktopEditor, StartedFromTheMenuItSavesInTheUsersMapsFolder) {
    RunHeadless(SaveDesk7);
    const fs::path data = folder / "data", maps = data / "tessera/maps";
    StartEditor({"TESSERA_FROM_MENU=1", "XDG_DATA_HOME=" + data.string()});
    EXPECT_TRUE(fs::is_directory(maps));
    PlayOnDesktop(SaveDesk7);
    for (int layer = 0; layer < MAP_FILE_COUNT; ++layer) {
        const fs::path file = maps / tessera::MapFileName("Desk7", layer);
        ASSERT_TRUE(desktop_test::WaitUntil(15s, [&] { return fs::exists(file); })) << file;
        EXPECT_TRUE(ReadFile(file) == ReadFile(folder / "headless" / file.filename())) << file;
    }
    EXPECT_TRUE(fs::is_empty(folder / "desktop"));
}

// Left and right Shift are two keys: while one of them is still held after the
// other is released, a letter comes out upper-case.
TEST_F(DesktopEditor, EitherShiftKeyHeldAloneStillTypesCapitals) {
    StartEditor();
    PlayOnDesktop(R"(
move 450 650
ldown
frames 1
lup
frames 1
keydown BACK
frames 20
keyup BACK
frames 1
)");
    Stroke("k");
    for (const auto& [released, kept, letter] :
         {std::tuple{"Shift_L", "Shift_R", "q"}, std::tuple{"Shift_R", "Shift_L", "w"}}) {
        Key(released, true);
        Pause(KeyHold);
        Key(kept, true);
        Pause(KeyHold);
        Key(released, false);
        Pause(KeyHold);
        Stroke(letter);
        Key(kept, false);
        Pause(KeyHold);
    }
    Stroke("e");
    Stroke("Return");
    const fs::path saved = folder / "desktop" / "kQWe_data.txt";
    const bool written = desktop_test::WaitUntil(15s, [&] { return fs::exists(saved); });
    std::string names;
    for (const auto& entry : fs::directory_iterator(folder / "desktop"))
        names += entry.path().filename().string() + " ";
    EXPECT_TRUE(written) << "saved instead: " << names;
}

// The chip file of the one-screen start map, `value` giving each cell's chip.
template <typename Value> std::string OneScreenChips(Value value) {
    std::string text;
    for (int row = 0; row < 72; ++row) {
        for (int column = 0; column < 96; ++column)
            text += std::to_string(value(row, column)) + " ";
        text += "\r\n";
    }
    return text;
}

// Chips picked in the palette by a left-button drag are tiled over a map area
// by a right-button drag, shown while it is held; Ctrl+Z takes the stamp back
// and Ctrl+Y writes it again. Each step shows as in the headless run, and the
// map saved after it ("s", "u", "r") holds the same cells as the headless run's.
TEST_F(DesktopEditor, APaletteSelectionIsStampedByARightDragThenUndoneAndRedoneByKeys) {
    // Buttons and keys are held for four frames, so that a slow frame of the
    // desktop run (200 ms) still sees each state; Ctrl goes down frames before Z or Y.
    const std::string saveAs = R"(
move 450 650
ldown
frames 4
lup
frames 4
keydown BACK
frames 20
keyup BACK
frames 1
type )";
    const std::string afterSave = R"(
keydown ENTER
frames 4
keyup ENTER
frames 35
)";
    const std::string script = R"(
frametime 100
# Chips 2 to 4 over 82 to 84: palette columns 2 to 4, rows 0 and 1.
move 830 4
ldown
frames 4
move 846 12
frames 4
lup
frames 4
move 900 300
frames 2
screenshot selected.bmp
# From column 10, row 20 to column 16, row 22, the preview while held.
move 84 164
rdown
frames 4
move 108 172
frames 4
move 132 180
frames 4
screenshot stamping.bmp
rup
frames 4
move 900 300
frames 2
screenshot stamped.bmp
)" + saveAs + "s" + afterSave +
                               R"(
keydown CTRL
frames 4
keydown Z
frames 4
keyup Z
frames 4
keyup CTRL
frames 4
move 900 300
frames 2
screenshot undone.bmp
)" + saveAs + "u" + afterSave +
                               R"(
keydown CTRL
frames 4
keydown Y
frames 4
keyup Y
frames 4
keyup CTRL
frames 4
move 900 300
frames 2
screenshot redone.bmp
)" + saveAs + "r" + afterSave;
    RunHeadless(script);
    // Each checkpoint shows something new.
    const char* const shots[] = {"selected.bmp", "stamping.bmp", "stamped.bmp", "undone.bmp",
                                 "redone.bmp"};
    for (int i = 1; i < 5; ++i)
        EXPECT_FALSE(
            desktop_test::MatchFrame(Headless(shots[i - 1]), {0, 0, 1024, 768}, Headless(shots[i]))
                .Good())
            << shots[i];
    StartEditor();
    PlayOnDesktop(script);

    const std::string stamped = OneScreenChips([](int row, int column) {
        const bool inside = row >= 20 && row <= 22 && column >= 10 && column <= 16;
        return inside ? 2 + (column - 10) % 3 + (row - 20) % 2 * 80 : 0;
    });
    const std::string empty = OneScreenChips([](int, int) { return 0; });
    for (const auto& [name, chips] :
         {std::pair{"s", &stamped}, std::pair{"u", &empty}, std::pair{"r", &stamped}}) {
        const fs::path data = folder / "desktop" / tessera::MapFileName(name, CHIP_FILE);
        ASSERT_TRUE(desktop_test::WaitUntil(15s, [&] { return fs::exists(data); })) << data;
        EXPECT_TRUE(ReadFile(data) == *chips) << data;
        for (int layer = 0; layer < MAP_FILE_COUNT; ++layer) {
            const std::string file = tessera::MapFileName(name, layer);
            EXPECT_TRUE(ReadFile(folder / "desktop" / file) == ReadFile(folder / "headless" / file))
                << file;
        }
    }
}

// Quit asks in a message box of its own window, answered with the pointer:
// No leaves the editor running as it was, Yes ends it with exit code 0. In the
// C locale, as services run, the box still shows its text and buttons.
TEST_F(DesktopEditor, TheQuitQuestionIsAnsweredByClickingItsButtons) {
    const std::string script = R"(
move 700 700
frames 2
screenshot before.bmp
answer no
ldown
frames 1
lup
frames 2
move 900 300
frames 2
screenshot after_no.bmp
# Still editing: width +.
move 20 620
ldown
frames 1
lup
frames 1
move 900 300
frames 2
screenshot wider.bmp
move 700 700
answer yes
ldown
frames 1
lup
frames 2
)";
    RunHeadless(script);
    StartEditor({"LANG=C", "LC_ALL=C"});
    PlayOnDesktop(script);
    EXPECT_EQ(editor.Wait(20s), 0);
}

// Work an earlier run left unsaved is offered at start in a box over the real
// window: yes restores the map (the frame is the headless restored one) and
// marks the title unsaved. Quit then asks about the unsaved work; yes ends the
// editor and leaves the copy for the next start.
TEST_F(DesktopEditor, TheRecoveryQuestionRestoresTheMapAndQuitAsksAboutUnsavedWork) {
    // Chips stamped, the map made 2 x 2 screens; the run ends unsaved.
    RunHeadless(R"(
move 830 4
ldown
frames 1
move 838 12
frames 1
lup
frames 1
move 84 44
rdown
frames 1
rup
frames 1
move 20 620
ldown
frames 1
lup
frames 1
move 260 620
ldown
frames 1
lup
frames 1
)",
                {"XDG_STATE_HOME=" + (folder / "state").string()});
    ASSERT_TRUE(fs::exists(folder / "state" / "tessera" / "recovery.txt"));
    fs::copy(folder / "state", folder / "headless-state", fs::copy_options::recursive);
    const std::vector<std::string> headlessState = {"XDG_STATE_HOME=" +
                                                    (folder / "headless-state").string()};
    RunHeadless("answer yes\nmove 900 300\nframes 2\nscreenshot restored.bmp\n", headlessState);
    RunHeadless("answer no\nmove 900 300\nframes 2\nscreenshot refused.bmp\n", headlessState);
    ASSERT_FALSE(desktop_test::MatchFrame(Headless("refused.bmp"), {0, 0, 1024, 768},
                                          Headless("restored.bmp"))
                     .Good());

    // The box comes before the first frame.
    LaunchEditor();
    ASSERT_FALSE(HasFatalFailure());
    AnswerBox("yes");
    PointAt(900, 300);
    ExpectFrame("restored.bmp");
    EXPECT_TRUE(desktop_test::WaitUntil(15s, [&] {
        return display.FindWindow("*map - Tessera") == window;
    })) << "the title does not mark the restored map unsaved";
    PlayOnDesktop("move 700 700\nanswer yes\nldown\nframes 1\nlup\nframes 2\n");
    EXPECT_EQ(editor.Wait(20s), 0);
    EXPECT_NE(ReadFile(folder / "state" / "tessera" / "recovery.txt").find("offered 1"),
              std::string::npos);
}

TEST_F(DesktopEditor, ADisplayThatGoesAwayEndsTheEditorWithAMessage) {
    StartEditor();
    display.Stop();
    EXPECT_EQ(editor.Wait(30s), 1);
    EXPECT_NE(ReadFile(folder / "tessera.log").find("the connection to the display was lost"),
              std::string::npos);
}

// F5 plays the map in the editor's own window, on its own map: no other
// window opens and nothing is written; Esc brings back the editor's picture.
TEST_F(DesktopEditor, F5PlaysTheMapInTheEditorsWindowAndEscReturnsToTheEditor) {
    StartEditor();
    PointAt(900, 300);
    Pause(FrameTime * 4);
    const DecodedImage before = display.Screen();
    Stroke("F5");
    EXPECT_TRUE(desktop_test::WaitUntil(15s, [&] {
        return display.Screen().pixels != before.pixels;
    })) << "the play-test does not show";
    EXPECT_EQ(display.FindWindow("Tessera Run"), 0u) << "the play-test opened a window";
    EXPECT_TRUE(fs::is_empty(folder / "tmp")) << "something was written under TMPDIR";
    Stroke("Escape");
    DecodedImage after;
    EXPECT_TRUE(desktop_test::WaitUntil(15s, [&] {
        after = display.Screen();
        return after.pixels == before.pixels;
    })) << "the editor's picture changed";
    if (after.pixels != before.pixels) {
        platform::WriteBmp24((folder / "before.bmp").string(), before);
        platform::WriteBmp24((folder / "after.bmp").string(), after);
    }
    EXPECT_TRUE(fs::is_empty(folder / "tmp")) << "something was written under TMPDIR";
    EXPECT_TRUE(fs::is_empty(folder / "desktop")) << "the user's folder gained a file";
    EXPECT_TRUE(editor.Running());
}

// Root mean square of the 16-bit stereo samples from byte `from` for `bytes`.
double Level(const std::string& sound, std::size_t from, std::size_t bytes) {
    from &= ~std::size_t{3};
    const std::size_t end = std::min(sound.size() & ~std::size_t{3}, from + bytes);
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t i = from; i + 1 < end; i += 2, ++count) {
        const auto sample = static_cast<std::int16_t>(static_cast<std::uint8_t>(sound[i]) |
                                                      static_cast<std::uint8_t>(sound[i + 1]) << 8);
        sum += static_cast<double>(sample) * sample;
    }
    return count ? std::sqrt(sum / static_cast<double>(count)) : 0;
}

// The level of `bytes` bytes of 16-bit sound in the file from `from` on.
double LevelInFile(const fs::path& path, std::size_t from, std::size_t bytes) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from & ~std::size_t{3}));
    std::string part(bytes, '\0');
    in.read(part.data(), static_cast<std::streamsize>(bytes));
    part.resize(static_cast<std::size_t>(in.gcount()));
    return Level(part, 0, part.size());
}

// The play-test on SDL's disk audio driver: its music plays from the start, and
// each jump sounds over it. The file grows as the sound is played, so its size
// once the game has drawn a frame with the key down marks where that moment's
// sound lands.
TEST_F(DesktopEditor, ThePlayTestPlaysItsMusicAndAJumpSoundsOverIt) {
    // A one-screen map with a floor of solid cells six rows high.
    tessera::MapLayers map;
    ASSERT_EQ(AllocateLayers(map), 1);
    map.width = map.height = 1;
    for (int row = 66; row < SCREEN_ROWS; ++row)
        for (int column = 0; column < SCREEN_COLUMNS; ++column) {
            SetCell(map.chips, row, column, 32);
            SetCell(map.attributes, row, column, 1);
        }
    ASSERT_EQ(SaveMap(map, (folder / "desktop" / "floor").c_str()), 1);

    const fs::path soundFile = folder / "sound.raw";
    desktop_test::ChildProcess run;
    ASSERT_TRUE(run.Start(
        {TESSERA_RUN, "floor"}, (folder / "desktop").string(),
        ProgramEnvironment({"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + soundFile.string()}),
        (folder / "tessera.log").string()));
    ASSERT_TRUE(desktop_test::WaitUntil(
        30s, [&] { return display.FindWindow("Tessera Run") != 0 || !run.Running(); }));
    ASSERT_TRUE(run.Running()) << "the play-test ended before showing its window";
    constexpr std::size_t SECOND = 44100 * 4;
    const auto played = [&] {
        std::error_code error;
        const std::uintmax_t size = fs::file_size(soundFile, error);
        return error ? std::size_t{0} : static_cast<std::size_t>(size);
    };
    // The music, once it has begun (later on a busy machine), alone for two
    // seconds while the player lands on the floor.
    ASSERT_TRUE(desktop_test::WaitUntil(60s, [&] {
        const std::size_t size = played();
        return size > SECOND && LevelInFile(soundFile, size - SECOND / 2, SECOND / 2) > 100;
    })) << "no music";
    const std::size_t musicFrom = played();
    ASSERT_TRUE(desktop_test::WaitUntil(60s, [&] { return played() >= musicFrom + 2 * SECOND; }));
    const double music = LevelInFile(soundFile, musicFrom, 2 * SECOND);
    for (int i = 0; i < 3; ++i) {
        Key("z", true);
        const std::size_t at = played();
        Key("z", false);
        // Half a second of the jump's sound, then the rest of a second to land.
        ASSERT_TRUE(desktop_test::WaitUntil(60s, [&] { return played() >= at + SECOND; }));
        const double jump = LevelInFile(soundFile, at, SECOND / 2);
        EXPECT_GT(jump, music * 1.5)
            << "no jump sound at byte " << at << " over music at " << music;
    }
    Stroke("Escape");
    EXPECT_EQ(run.Wait(15s), 0);
}

} // namespace
