// The editor end to end: the replay scripts of tests/e2e run the real program in
// a fresh folder; their screenshots, map files, box lines and exit codes are
// checked here.
#include "map/map_files.h"
#include "platform/formats/bmp.h"

#include <gtest/gtest.h>

#include "tests/test_folder.h"
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Shot = platform::DecodedImage;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class EditorE2E : public TestFolder {
  protected:
    EditorE2E() : TestFolder("tessera-e2e-") {}

    // Runs tests/e2e/NAME.replay in the folder, after the shell command
    // `limits`. Its standard output must be NAME.out, or nothing when there is
    // no such file. Returns the exit code.
    int Replay(const std::string& name, const std::string& limits = "true") {
        const fs::path scripts = E2E_SCRIPTS;
        const std::string command = "cd '" + folder.string() + "' && " + limits + " && '" +
                                    TESSERA_REPLAY "' '" + (scripts / (name + ".replay")).string() +
                                    "'";
        std::FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return -1;
        std::string out;
        char buffer[256];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        const int status = pclose(pipe);
        EXPECT_EQ(out, ReadFile(scripts / (name + ".out"))) << name;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    Shot Load(const char* name) {
        Shot shot;
        EXPECT_TRUE(platform::LoadBmpFile((folder / name).string(), shot)) << name;
        return shot;
    }

    // A map of the given size in screens, as the editor writes it, in all three files.
    void WriteMap(const std::string& name, int width, int height, int (*value)(int, int, int)) {
        for (int layer = 0; layer < MAP_FILE_COUNT; ++layer) {
            std::string text;
            for (int row = 0; row < height * 72; ++row) {
                for (int column = 0; column < width * 96; ++column)
                    text += std::to_string(value(layer, row, column)) + " ";
                text += "\r\n";
            }
            std::ofstream(folder / tessera::MapFileName(name, layer), std::ios::binary) << text;
        }
    }

    // Lines and values per line of a map file, every line checked.
    std::pair<int, int> Shape(const std::string& file) {
        const std::string text = ReadFile(folder / file);
        int lines = 0, values = -1;
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2, ++lines) {
            int count = 0;
            for (std::size_t i = start; i < end; ++i) count += text[i] == ' ';
            if (values >= 0 && count != values) return {lines, -1};
            values = count;
        }
        return {lines, values};
    }
};

int Zero(int, int, int) { return 0; }

std::uint32_t At(const Shot& shot, int x, int y) { return shot.pixels[y * shot.width + x]; }

bool SameRegion(const Shot& a, const Shot& b, int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (At(a, x, y) != At(b, x, y)) return false;
    return true;
}
bool SameView(const Shot& a, const Shot& b) { return SameRegion(a, b, 0, 0, 800, 600); }

// Pixels that are not black where the dialogues write their text.
int DialogueText(const Shot& shot) {
    int count = 0;
    for (int y = 700; y < 745; ++y)
        for (int x = 360; x < 680; ++x) count += At(shot, x, y) != 0;
    return count;
}

// The screen-boundary lines are pure blue, two pixels wide, ending at their
// coordinate; the guide grid's lines are paler.
bool IsBoundary(std::uint32_t rgb) {
    return (rgb & 0xFF) > 200 && (rgb >> 8 & 0xFF) < 60 && (rgb >> 16) < 60;
}
int BoundaryColumn(const Shot& shot) {
    for (int x = 0; x < 800; ++x)
        if (IsBoundary(At(shot, x, 4))) return x + 1;
    return -1;
}
int BoundaryRow(const Shot& shot) {
    for (int y = 0; y < 600; ++y)
        if (IsBoundary(At(shot, 4, y))) return y + 1;
    return -1;
}

TEST_F(EditorE2E, ViewScrollBarsMoveWithinTheMap) {
    ASSERT_EQ(Replay("view_scroll"), 0);
    const Shot start = Load("start.bmp");
    EXPECT_EQ(BoundaryRow(start), 576);
    EXPECT_EQ(BoundaryColumn(start), 768);

    // The arrow's left columns are clear of the pointer and the position label.
    const Shot held = Load("held_down.bmp");
    EXPECT_FALSE(SameRegion(held, start, 800, 580, 805, 600));
    EXPECT_TRUE(SameRegion(Load("released.bmp"), start, 800, 580, 805, 600));
    EXPECT_TRUE(SameView(held, start));

    EXPECT_EQ(BoundaryRow(Load("down10.bmp")), 496);
    const Shot limit = Load("down_limit.bmp");
    EXPECT_EQ(BoundaryRow(limit), 576);
    EXPECT_FALSE(SameView(limit, start)); // row 72, not 0: the label differs
    EXPECT_EQ(BoundaryRow(Load("up3.bmp")), 24);
    EXPECT_TRUE(SameView(Load("top.bmp"), start));

    EXPECT_EQ(BoundaryColumn(Load("right5.bmp")), 728);
    EXPECT_EQ(BoundaryColumn(Load("right_limit.bmp")), 736);
    EXPECT_TRUE(SameView(Load("left.bmp"), start));
}

// The position labels print ViewX and ViewY in the view, so two views alike
// are two views at the same place.
TEST_F(EditorE2E, WheelAndPageKeysMoveTheViewAsFarAsTheTracksDo) {
    ASSERT_EQ(Replay("wheel_and_pages"), 0);
    const Shot start = Load("start.bmp");
    const Shot down = Load("track_down.bmp");
    EXPECT_FALSE(SameView(down, start));
    EXPECT_TRUE(SameView(Load("home.bmp"), start));
    EXPECT_TRUE(SameView(Load("page_down.bmp"), down));
    EXPECT_TRUE(SameView(Load("wheel_down.bmp"), down));
    EXPECT_TRUE(SameView(Load("wheel_up.bmp"), start));

    const Shot right = Load("track_right.bmp");
    EXPECT_FALSE(SameView(right, start));
    EXPECT_TRUE(SameView(Load("page_right.bmp"), right));
    EXPECT_TRUE(SameView(Load("wheel_right.bmp"), right));

    EXPECT_TRUE(SameView(Load("above_top.bmp"), start));
    const Shot end = Load("past_end.bmp");
    EXPECT_FALSE(SameView(end, start));
    EXPECT_TRUE(SameView(Load("tracks_at_end.bmp"), end));
    EXPECT_TRUE(SameView(Load("prompt_keys.bmp"), end));

    const Shot wheeled = Load("palette_wheel.bmp");
    EXPECT_FALSE(SameRegion(wheeled, start, 810, 0, 1014, 758));
    EXPECT_TRUE(SameRegion(wheeled, Load("palette_arrows.bmp"), 810, 0, 1014, 758));
    EXPECT_TRUE(SameView(wheeled, start)); // the view stayed where it was
}

constexpr std::uint32_t THUMB = 0xB0B4B0;

// The region alike wherever neither picture shows a scroll bar's thumb.
bool SameTrack(const Shot& a, const Shot& b, int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (At(a, x, y) != THUMB && At(b, x, y) != THUMB && At(a, x, y) != At(b, x, y))
                return false;
    return true;
}

// The thumb's pixels along a scroll bar's middle line, from `from` to `to`:
// its first and its end.
std::pair<int, int> Thumb(const Shot& shot, bool vertical, int line, int from, int to) {
    int first = -1, end = -1;
    for (int p = from; p < to; ++p) {
        const bool thumb = (vertical ? At(shot, line, p) : At(shot, p, line)) == THUMB;
        if (thumb && first < 0) first = p;
        if (thumb) end = p + 1;
    }
    return {first, end};
}
std::pair<int, int> ViewThumbY(const Shot& shot) { return Thumb(shot, true, 805, 0, 600); }
std::pair<int, int> ViewThumbX(const Shot& shot) { return Thumb(shot, false, 605, 0, 800); }

// Where the game screen under the pointer is printed.
bool SameScreenLabel(const Shot& a, const Shot& b) { return SameRegion(a, b, 200, 230, 420, 246); }

// A thumb's length is the view's share of how far it can go (the map less a
// view, plus a view), its start the view's position in that.
TEST_F(EditorE2E, TheScrollBarsAndTheStatusShowWhereTheViewAndThePointerAre) {
    ASSERT_EQ(Replay("where_am_i"), 0);
    const Shot one = Load("one_screen.bmp");
    EXPECT_EQ(ViewThumbY(one), std::make_pair(20, 580));
    EXPECT_EQ(ViewThumbX(one), std::make_pair(20, 780));
    const Shot outside = Load("outside.bmp");
    EXPECT_FALSE(SameScreenLabel(one, outside));
    EXPECT_TRUE(SameScreenLabel(Load("past_edge.bmp"), outside));

    const Shot three = Load("three.bmp");
    EXPECT_EQ(ViewThumbY(three), std::make_pair(20, 20 + 75 * 560 / 219));
    EXPECT_EQ(ViewThumbX(three), std::make_pair(20, 20 + 100 * 760 / 300));
    EXPECT_EQ(Thumb(three, true, 1019, 0, 758), std::make_pair(20, 20 + 758 * 718 / 2000));
    EXPECT_EQ(Thumb(three, false, 763, 810, 1014), std::make_pair(830, 830 + 204 * 164 / 640));

    const Shot moved = Load("moved.bmp");
    const int down = 20 + 72 * 560 / 219, right = 20 + 96 * 760 / 300;
    EXPECT_EQ(ViewThumbY(moved), std::make_pair(down, down + 75 * 560 / 219));
    EXPECT_EQ(ViewThumbX(moved), std::make_pair(right, right + 100 * 760 / 300));
    EXPECT_FALSE(SameScreenLabel(moved, one)); // screen 1, 1 against 0, 0
    EXPECT_TRUE(SameScreenLabel(Load("same_screen.bmp"), moved));
    EXPECT_FALSE(SameScreenLabel(Load("next_screen.bmp"), moved));
}

int OneEnemy(int layer, int row, int column) {
    return layer == 2 && row == 100 && column == 150 ? 1 : 0;
}

// Pure red, and pure yellow, as a 16-bit display shows them.
bool IsRed(std::uint32_t rgb) {
    return (rgb >> 16 & 0xFF) > 200 && (rgb >> 8 & 0xFF) < 60 && (rgb & 0xFF) < 60;
}
bool IsYellow(std::uint32_t rgb) {
    return (rgb >> 16 & 0xFF) > 200 && (rgb >> 8 & 0xFF) > 200 && (rgb & 0xFF) < 60;
}

// A 3 x 3-screen map fills the 800 x 600 view area, 0.36 cells a pixel.
TEST_F(EditorE2E, TheOverviewShowsTheMapAndMovesTheViewWhereClicked) {
    WriteMap("level", 3, 3, OneEnemy);
    ASSERT_EQ(Replay("overview"), 0);
    const Shot view = Load("view.bmp");
    const Shot open = Load("open.bmp");
    // The enemy's cell, 2.78 pixels across, and only it is red.
    EXPECT_FALSE(IsRed(At(open, 416, 278)));
    for (int x = 417; x <= 419; ++x) EXPECT_TRUE(IsRed(At(open, x, 278))) << x;
    EXPECT_FALSE(IsRed(At(open, 420, 278)));
    EXPECT_FALSE(IsRed(At(open, 417, 277)));
    EXPECT_TRUE(IsBoundary(At(open, 267, 50))); // the first column of screen 1
    EXPECT_FALSE(IsBoundary(At(open, 266, 50)));
    EXPECT_TRUE(IsBoundary(At(open, 100, 200))); // the first row of screen 1
    EXPECT_TRUE(IsYellow(At(open, 100, 208)));   // the view's lower edge: rows 0 to 75
    EXPECT_TRUE(IsYellow(At(open, 277, 100)));   // its right edge: columns 0 to 100
    EXPECT_FALSE(IsYellow(At(open, 100, 210)));
    EXPECT_FALSE(SameView(open, view));
    EXPECT_TRUE(SameView(Load("closed_by_tab.bmp"), view));
    EXPECT_TRUE(SameView(Load("closed_by_esc.bmp"), view));

    const Shot centred = Load("centred.bmp");
    EXPECT_EQ(BoundaryColumn(centred), 768 - 94 * 8 % 768);
    EXPECT_EQ(BoundaryRow(centred), 576 - 71 * 8 % 576);

    // The stamped cell, 144 across and 108 down, shows; the one left of it
    // does not change; the view's rectangle is where the click put it.
    const Shot stamped = Load("stamped.bmp");
    EXPECT_NE(At(stamped, 400, 300), At(open, 400, 300));
    EXPECT_EQ(At(stamped, 396, 300), At(open, 396, 300));
    EXPECT_TRUE(IsRed(At(stamped, 417, 278)));
    EXPECT_TRUE(IsYellow(At(stamped, 300, 197)));
    const Shot closed = Load("stamped_closed.bmp");
    EXPECT_FALSE(SameView(closed, centred)); // the stamp shows in the view
    EXPECT_TRUE(SameView(Load("prompt_tab.bmp"), closed));
}

// The view can reach past the map's last screen; centred on the last cells it
// stops at its last rows, and across 50 columns short of the cell clicked.
TEST_F(EditorE2E, TabAndOneClickGoFromTheFirstScreenToTheLast) {
    ASSERT_EQ(Replay("corner_trip"), 0);
    const Shot start = Load("top_left.bmp");
    EXPECT_EQ(BoundaryColumn(start), 768);
    EXPECT_EQ(BoundaryRow(start), 576);
    const Shot end = Load("bottom_right.bmp");
    EXPECT_EQ(BoundaryColumn(end), 768 - 6086 * 8 % 768);
    EXPECT_EQ(BoundaryRow(end), 576 - 4536 * 8 % 576);
    EXPECT_FALSE(SameView(end, start));
}

int LayersMap(int layer, int row, int column) {
    if (layer == 0) return row == 10 && column >= 10 && column <= 12 ? 32 : 0;
    if (layer == 1) {
        if (row == 10 && column == 11) return 5;
        if (row == 10 && column == 12) return 1;
        return row == 20 && column == 20 ? 3 : 0;
    }
    return row == 30 && column == 30 ? 1 : 0;
}

// The tint shows the attributes a save gives the cells: a solid chip's red
// whether or not it has its 1 yet, another value cyan, nothing on chips that
// are not solid.
TEST_F(EditorE2E, EAndAShowEnemiesAndSolidCellsOverTheChips) {
    WriteMap("layers", 1, 1, LayersMap);
    ASSERT_EQ(Replay("layer_toggles"), 0);
    const Shot base = Load("base.bmp");
    const Shot enemies = Load("enemies.bmp");
    EXPECT_FALSE(SameRegion(enemies, base, 240, 240, 290, 290));
    EXPECT_TRUE(SameRegion(enemies, base, 0, 0, 200, 200));

    const Shot both = Load("both.bmp");
    EXPECT_NE(At(both, 84, 84), At(base, 84, 84));  // column 10, no attribute yet
    EXPECT_EQ(At(both, 100, 84), At(both, 84, 84)); // column 12, attribute 1
    EXPECT_NE(At(both, 92, 84), At(base, 92, 84));  // column 11, attribute 5
    EXPECT_NE(At(both, 92, 84), At(both, 84, 84));
    EXPECT_EQ(At(both, 164, 164), At(base, 164, 164)); // attribute 3 on chip 0
    EXPECT_TRUE(SameRegion(both, enemies, 240, 240, 290, 290));

    const Shot tint = Load("tint_only.bmp");
    EXPECT_TRUE(SameRegion(tint, base, 240, 240, 290, 290));
    EXPECT_TRUE(SameRegion(tint, both, 80, 80, 104, 88));

    EXPECT_TRUE(SameView(Load("chips_again.bmp"), base));
    EXPECT_TRUE(SameView(Load("prompt_e.bmp"), base));
}

TEST_F(EditorE2E, SizeButtonsStopAtOneAndSixtyFourAndResetTheView) {
    WriteMap("wide", 64, 1, Zero);
    WriteMap("tall", 1, 64, Zero);
    ASSERT_EQ(Replay("size_buttons"), 0);
    const Shot start = Load("start.bmp");
    EXPECT_EQ(Shape("small_data.txt"), std::make_pair(72, 96));

    EXPECT_EQ(BoundaryColumn(Load("wide_right.bmp")), 728);
    EXPECT_TRUE(SameView(Load("wide_reset.bmp"), start));
    EXPECT_EQ(Shape("wide2_teki.txt"), std::make_pair(72, 64 * 96));

    EXPECT_EQ(BoundaryRow(Load("tall_down.bmp")), 536);
    EXPECT_TRUE(SameView(Load("tall_reset.bmp"), start));
    EXPECT_EQ(Shape("tall2_zk.txt"), std::make_pair(64 * 72, 96));
}

TEST_F(EditorE2E, FrameButtonsWrapAndTheAnimationAlternatesUntilSwitchedOff) {
    ASSERT_EQ(Replay("frames_animation"), 0);
    const Shot frame0 = Load("frame0.bmp");
    const Shot frame1 = Load("frame1.bmp");
    // The digit's upper part: the selection labels under the pointer at (680, 650)
    // reach into its lower part.
    auto digit = [](const Shot& a, const Shot& b) { return SameRegion(a, b, 720, 610, 760, 658); };
    EXPECT_FALSE(digit(frame0, frame1));
    EXPECT_TRUE(digit(Load("plus_wrapped.bmp"), frame0));
    EXPECT_TRUE(digit(Load("minus_wrapped.bmp"), frame1));

    // The switch's top-left part, clear of the pointer.
    auto switchPicture = [](const Shot& a, const Shot& b) {
        return SameRegion(a, b, 640, 610, 680, 650);
    };
    int shown[2] = {0, 0};
    for (const char* name : {"anim_a.bmp", "anim_b.bmp", "anim_c.bmp", "anim_d.bmp"}) {
        const Shot shot = Load(name);
        EXPECT_FALSE(switchPicture(shot, frame0)) << name;
        shown[0] += digit(shot, frame0);
        shown[1] += digit(shot, frame1);
    }
    EXPECT_EQ(shown[0], 2);
    EXPECT_EQ(shown[1], 2);

    const Shot off = Load("off_a.bmp");
    EXPECT_TRUE(switchPicture(off, frame0));
    EXPECT_TRUE(digit(off, Load("off_b.bmp")));
}

TEST_F(EditorE2E, NamesTakeCapitalsUpToFifteenCharactersAndEscapeDropsTheTyping) {
    ASSERT_EQ(Replay("name_entry"), 0);
    std::set<std::string> saved;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with("_data.txt")) saved.insert(name);
    }
    EXPECT_EQ(saved, (std::set<std::string>{"AbC123456789012_data.txt", "AbC123456789_data.txt"}));
    EXPECT_GT(DialogueText(Load("prompt.bmp")), 100);
    EXPECT_EQ(DialogueText(Load("escaped.bmp")), 0);
}

int RawPattern(int layer, int row, int column) {
    return (row * 131 + column * 17 + layer * 5) % 20011 - (column == 5 ? 40 : 0);
}

// Attributes in step with the chips, as every save leaves them, so that the
// files come back unchanged.
int Pattern(int layer, int row, int column) {
    const int value = RawPattern(layer, row, column);
    if (layer != ATTR_FILE) return value;
    return IsSolidChip(RawPattern(CHIP_FILE, row, column)) ? (value != 0 ? value : 1) : 0;
}

TEST_F(EditorE2E, SavedMapsLoadBackWithTheirSizeAndLayers) {
    WriteMap("src", 2, 1, Pattern);
    ASSERT_EQ(Replay("save_load"), 0);
    for (int file = 0; file < MAP_FILE_COUNT; ++file) {
        const std::string source = ReadFile(folder / tessera::MapFileName("src", file));
        EXPECT_EQ(ReadFile(folder / tessera::MapFileName("copy", file)), source) << file;
        EXPECT_EQ(ReadFile(folder / tessera::MapFileName("copy2", file)), source) << file;
    }
}

// Two programs on one map: a save over files another changed since this
// editor loaded them asks first, and only "yes" writes them.
int Diagonal(int layer, int row, int column) { return layer + row + column; }

TEST_F(EditorE2E, ASaveOverAMapChangedElsewhereAsksFirst) {
    WriteMap("m", 1, 1, Zero);
    WriteMap("other", 1, 1, Diagonal);
    std::string own[MAP_FILE_COUNT];
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        own[file] = ReadFile(folder / tessera::MapFileName("m", file));
    ASSERT_EQ(Replay("lost_update"), 0); // the script checks that "no" kept the other's file
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        EXPECT_EQ(ReadFile(folder / tessera::MapFileName("m", file)), own[file]) << file;
    EXPECT_NE(ReadFile(folder / "other_zk.txt"), own[ATTR_FILE]);
}

// 終了, closing the window and a load ask before unsaved work is lost, and the
// prompts offer the name of the map being edited, never that of a load that
// failed.
TEST_F(EditorE2E, UnsavedWorkIsAskedAboutAndTheEditedMapsNameOffered) {
    WriteMap("m", 1, 1, Zero);
    const std::string m = ReadFile(folder / "m_data.txt");
    ASSERT_EQ(Replay("unsaved_questions"), 0);
    EXPECT_EQ(Shape("map_teki.txt"), std::make_pair(72, 2 * 96));
    EXPECT_FALSE(fs::exists(folder / "nosuch_data.txt"));
    EXPECT_EQ(ReadFile(folder / "m_data.txt"), m);
}

// A save under the name of another map asks before replacing it.
TEST_F(EditorE2E, ASaveOverAnotherMapAsksFirst) {
    WriteMap("m", 1, 1, Zero);
    WriteMap("other", 1, 1, Diagonal);
    WriteMap("keep", 1, 1, Diagonal);
    const std::string m = ReadFile(folder / "m_data.txt");
    ASSERT_EQ(Replay("overwrite"), 0); // the script checks that "no" kept "other"
    EXPECT_EQ(ReadFile(folder / "m_data.txt"), m);
    for (int file = 0; file < MAP_FILE_COUNT; ++file)
        EXPECT_EQ(Shape(tessera::MapFileName("other", file)), std::make_pair(72, 2 * 96)) << file;
}

TEST_F(EditorE2E, LoadingAMissingNameSaysSoForThreeSeconds) {
    WriteMap("there", 1, 1, Zero);
    ASSERT_EQ(Replay("load_missing"), 0);
    EXPECT_EQ(DialogueText(Load("enter.bmp")), 0); // the failing frame draws nothing
    const Shot shown = Load("shown.bmp");
    EXPECT_GT(DialogueText(shown), 100);
    EXPECT_EQ(DialogueText(Load("gone.bmp")), 0);
    EXPECT_GT(DialogueText(Load("loaded.bmp")), 100);
    EXPECT_FALSE(SameRegion(shown, Load("loaded.bmp"), 360, 700, 680, 745));
}

TEST_F(EditorE2E, ASaveThatCannotWriteSaysSoForThreeSeconds) {
    fs::create_directory(folder / "bad_data.txt");
    ASSERT_EQ(Replay("save_failure"), 0);
    EXPECT_TRUE(fs::exists(folder / "good_teki.txt"));
    EXPECT_FALSE(fs::exists(folder / "bad_teki.txt"));
    const Shot good = Load("good.bmp");
    const Shot bad = Load("bad.bmp");
    EXPECT_GT(DialogueText(good), 100);
    EXPECT_GT(DialogueText(bad), 100);
    EXPECT_FALSE(SameRegion(good, bad, 360, 700, 680, 745));
    EXPECT_EQ(DialogueText(Load("enter.bmp")), 0);
    EXPECT_TRUE(SameRegion(Load("bad_late.bmp"), bad, 360, 700, 680, 745));
    EXPECT_EQ(DialogueText(Load("gone.bmp")), 0);
}

TEST_F(EditorE2E, QuitAnsweredNoChangesNothingAndYesEndsAtOnce) {
    EXPECT_EQ(Replay("quit"), 0);
    const Shot before = Load("before.bmp");
    EXPECT_EQ(before.pixels, Load("after_no.bmp").pixels);
    EXPECT_FALSE(fs::exists(folder / "never.bmp"));
}

TEST_F(EditorE2E, WithoutMemoryForTheLayersTheEditorSaysSoAndEnds) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
#endif
    // 300 MB of address space: less than the three layers need.
    EXPECT_EQ(Replay("no_memory", "ulimit -v 300000"), 1);
    EXPECT_FALSE(fs::exists(folder / "never.bmp"));
}

// A saved layer, one vector of values per line.
using Grid = std::vector<std::vector<int>>;

Grid ReadLayer(const fs::path& path) {
    Grid grid;
    std::istringstream lines(ReadFile(path));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream values(line);
        grid.emplace_back(std::istream_iterator<int>(values), std::istream_iterator<int>());
    }
    return grid;
}

Grid Zeros(int rows, int columns) { return Grid(rows, std::vector<int>(columns, 0)); }

// Numbers are light grey; the darkened picture never gets this bright.
bool Bright(std::uint32_t rgb) {
    return (rgb & 0xFF) > 150 && (rgb >> 8 & 0xFF) > 150 && (rgb >> 16) > 150;
}

bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > 8)
            return false;
    return true;
}

// Bright pixels of the 24 x 10 box where a number is printed at (x, y).
std::vector<std::vector<bool>> Label(const Shot& shot, int x, int y) {
    std::vector<std::vector<bool>> columns(24, std::vector<bool>(10));
    for (int i = 0; i < 24; ++i)
        for (int j = 0; j < 10; ++j) columns[i][j] = Bright(At(shot, x + i, y + j));
    return columns;
}

int Width(const std::vector<std::vector<bool>>& label) {
    int width = 0;
    for (int i = 0; i < static_cast<int>(label.size()); ++i)
        for (bool on : label[i])
            if (on) width = i + 1;
    return width;
}

// Chip and attribute of single cells of the "solid" map; every other cell is 0.
struct SolidCell {
    int row, column, chip, attribute;
};
constexpr SolidCell SolidCells[] = {
    {1, 10, 40, 0},  {2, 10, 32, 5}, {3, 10, 31, 5},      {4, 10, 64, 7},
    {5, 10, 113, 0}, {0, 0, 0, 9},   {10, 150, 120, 200}, {71, 191, 63, 0},
};

int SolidMap(int layer, int row, int column) {
    for (const SolidCell& cell : SolidCells)
        if (cell.row == row && cell.column == column)
            return layer == 0 ? cell.chip : layer == 1 ? cell.attribute : 0;
    return 0;
}

TEST_F(EditorE2E, EnteringAttributeEditingMarksSolidChipsOnEveryClick) {
    WriteMap("solid", 2, 1, SolidMap);
    ASSERT_EQ(Replay("modes_solid_pass"), 0);
    // Solid chips without an attribute get 1 and keep a non-zero one; plain
    // chips lose theirs. The second screen and its last cell take part.
    Grid expected = Zeros(72, 192);
    expected[1][10] = 1, expected[2][10] = 5, expected[5][10] = 1;
    expected[10][150] = 200, expected[71][191] = 1;
    EXPECT_EQ(ReadLayer(folder / "pass1_zk.txt"), expected);
    EXPECT_EQ(ReadFile(folder / "pass1_data.txt"), ReadFile(folder / "solid_data.txt"));

    // Entering showed what the pass left: 1 at (1,10), 5 at (2,10), nothing
    // at (3,10) (a plain chip that had 5; row 4's number would reach into the
    // box of (4,10)).
    const Shot entered = Load("entered.bmp");
    auto shown = [](const Shot& shot, int row, int column) {
        return Width(Label(shot, column * 8 + 2, row * 8 + 2)) > 0;
    };
    EXPECT_TRUE(shown(entered, 1, 10));
    EXPECT_TRUE(shown(entered, 2, 10));
    EXPECT_FALSE(shown(entered, 3, 10));

    // The attribute raised on the plain chip at (1,1) shows until a save, or
    // the next click of the button, clears it.
    EXPECT_TRUE(shown(Load("raised.bmp"), 1, 1));
    EXPECT_FALSE(shown(Load("saved.bmp"), 1, 1));
    EXPECT_TRUE(shown(Load("raised_again.bmp"), 1, 1));
    EXPECT_FALSE(shown(Load("passed.bmp"), 1, 1));
    expected[2][10] = 4;
    EXPECT_EQ(ReadLayer(folder / "edited_zk.txt"), expected);
    EXPECT_EQ(ReadLayer(folder / "pass2_zk.txt"), expected);
    EXPECT_EQ(ReadLayer(folder / "pass3_zk.txt"), expected);
}

int EditMap(int layer, int row, int column) {
    if (layer == 0) return row == 20 && (column == 5 || column == 10) ? 40 : 0;
    if (layer == 1) return row == 20 && column == 10 ? 5 : 0;
    if (row % 5 != 0) return 0;
    const int values[] = {0, 0, 255, 0, 253, 3};
    if (row == 5 && column % 5 == 0 && column <= 25) return values[column / 5];
    return row == 15 && column == 5 ? 100 : 0;
}

TEST_F(EditorE2E, ClicksAndHeldButtonsRaiseAndLowerCellsWithinTheirLimits) {
    WriteMap("edit", 1, 1, EditMap);
    ASSERT_EQ(Replay("modes_edit"), 0);
    Grid enemies = Zeros(72, 96);
    enemies[5][5] = 12;                                         // click, holds of 3, 4, 10 frames
    enemies[10][5] = 2, enemies[10][6] = 2, enemies[10][7] = 1; // the repeat follows the pointer
    enemies[5][10] = 255, enemies[5][20] = 255;                 // stopped at 255
    enemies[15][5] = 97;
    EXPECT_EQ(ReadLayer(folder / "edited_teki.txt"), enemies);
    Grid attributes = Zeros(72, 96);
    attributes[20][5] = 3;  // 1 from the pass, raised twice
    attributes[20][10] = 3; // 5 set by hand, lowered twice
    EXPECT_EQ(ReadLayer(folder / "edited_zk.txt"), attributes);
}

// Solid chips at the cells of the last column and row that the edge test
// edits, so that their attributes are saved.
int EdgeMap(int layer, int row, int column) {
    const bool edited = (row == 0 && column == 6143) || (row == 4607 && column == 5);
    return layer == 0 && edited ? 32 : 0;
}

TEST_F(EditorE2E, EditsBeyondTheLayerArraysChangeNothing) {
    WriteMap("wide", 64, 1, EdgeMap);
    WriteMap("tall", 1, 64, EdgeMap);
    ASSERT_EQ(Replay("modes_edges"), 0);
    Grid wide = Zeros(72, 64 * 96);
    wide[0][6143] = 3; // 1 from the pass, raised twice
    EXPECT_EQ(ReadLayer(folder / "wide2_zk.txt"), wide);
    Grid attributes = Zeros(64 * 72, 96);
    Grid enemies = attributes;
    attributes[4607][5] = 2;
    enemies[4607][6] = 1;
    EXPECT_EQ(ReadLayer(folder / "tall2_zk.txt"), attributes);
    EXPECT_EQ(ReadLayer(folder / "tall2_teki.txt"), enemies);
}

// The overlay test's map: enemy types 1 to 8 on row 6, one in every second
// block of 6 x 6 cells; numbers on row 18; solid chips with attributes from
// row 42 down.
int OverlayMap(int layer, int row, int column) {
    if (layer == 0) return row >= 42 ? 32 + (row + column) % 32 : 0;
    if (layer == 1) return row >= 42 ? (row * 5 + column * 3) % 255 + 1 : 0;
    if (row == 6 && column % 12 == 6) return column / 12 + 1;
    if (row != 18) return 0;
    switch (column) {
    case 6:
        return 0x11;
    case 18:
        return 0x1a;
    case 30:
        return 0xa;
    case 42:
        return 9;
    case 54:
        return 255;
    default:
        return 0;
    }
}

// Block (bx, by) of 48 x 48 pixels against block (ex, ey), outside the number
// box at its top-left corner and the last column, where the screen boundary
// runs in block 15. Blocks repeat the grid and the dimming pattern.
bool SameBlock(const Shot& shot, int bx, int by, int ex, int ey) {
    for (int j = 0; j < 48; ++j)
        for (int i = 0; i < 47; ++i)
            if ((i >= 26 || j >= 12) &&
                At(shot, 48 * bx + i, 48 * by + j) != At(shot, 48 * ex + i, 48 * ey + j))
                return false;
    return true;
}

TEST_F(EditorE2E, EnemyOverlayDrawsSpritesAndHexadecimalNumbers) {
    WriteMap("enemies", 1, 1, OverlayMap);
    ASSERT_EQ(Replay("modes_overlay"), 0);
    const Shot shot = Load("enemies.bmp");

    // Type t is sprite t - 1, drawn whole from 2 pixels into its cell.
    const fs::path assets = fs::path(TESSERA_REPLAY).parent_path();
    for (int type = 1; type <= 8; ++type) {
        Shot sprite;
        const std::string name = "char0" + std::to_string(type - 1) + ".BMP";
        ASSERT_TRUE(platform::LoadBmpFile((assets / "char" / name).string(), sprite)) << name;
        const int x = 48 * (2 * type - 1) + 2, y = 48 + 2;
        int compared = 0;
        for (int j = 0; j < sprite.height; ++j)
            for (int i = 0; i < sprite.width; ++i) {
                // Clear of the number, the grid lines, the screen boundary
                // and the key colour.
                if ((i < 12 && j < 10) || i == 46 || j == 46 || x + i == 767 ||
                    Near(At(sprite, i, j), sprite.pixels[0]))
                    continue;
                ++compared;
                EXPECT_TRUE(Near(At(shot, x + i, y + j), At(sprite, i, j)))
                    << name << " at " << i << "," << j;
            }
        EXPECT_GT(compared, 500) << name;
    }

    // Row 18: 0x11, 0x1a, 0xa, 9, 255 and 0 in blocks 1, 3, ... 11 of block row 3.
    auto label = [&](int bx) { return Label(shot, 48 * bx + 2, 48 * 3 + 2); };
    const auto x11 = label(1), x1a = label(3), xa = label(5), x9 = label(7), xff = label(9);
    EXPECT_EQ(Width(label(11)), 0);
    EXPECT_GT(Width(xa), 0);
    EXPECT_GT(Width(x9), 0);
    EXPECT_GT(Width(x11), Width(xa)); // two digits against one
    EXPECT_GT(Width(xff), Width(xa));
    EXPECT_LT(Width(xff), 20); // not three
    // "1a" starts with the "1" of "11" and ends unlike it.
    int one = 0;
    while (one < 24 && std::count(x11[one].begin(), x11[one].end(), true) > 0) ++one;
    EXPECT_TRUE(std::equal(x1a.begin(), x1a.begin() + one, x11.begin()));
    EXPECT_NE(x1a, x11);
    EXPECT_NE(xff, x11);
    // Numbers without sprites: the blocks hold nothing but their number.
    for (int bx : {1, 3, 5, 7, 9}) EXPECT_TRUE(SameBlock(shot, bx, 3, 11, 3)) << bx;
    int lit = 0;
    for (int y = 336; y < 576; ++y)
        for (int x = 0; x < 768; ++x) lit += Bright(At(shot, x, y));
    EXPECT_EQ(lit, 0); // the attributes stay hidden

    // Attribute editing: the same picture, no sprites and no enemy numbers,
    // the attributes of the solid chips instead.
    const Shot attributes = Load("attributes.bmp");
    for (int bx : {1, 3, 5, 7, 9, 11, 13, 15})
        EXPECT_TRUE(SameBlock(attributes, bx, 1, 11, 3)) << bx;
    EXPECT_EQ(Width(Label(attributes, 48 + 2, 48 * 3 + 2)), 0);
    EXPECT_GT(Width(Label(attributes, 2, 42 * 8 + 2)), 0);
}

int PatternMap(int layer, int row, int column) {
    return layer == 0 ? (row * 7 + column * 3) % 32 + 80 * ((row + column) % 5) : 0;
}

// The views of two shots, off every place where a grid line or a screen
// boundary of view column 0 or 1 can fall.
bool SameOffGrid(const Shot& a, const Shot& b) {
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            if (x % 48 >= 1 && x % 48 <= 38 && y % 48 >= 1 && y % 48 <= 46 &&
                At(a, x, y) != At(b, x, y))
                return false;
    return true;
}

TEST_F(EditorE2E, DarkenedPictureStaysUntilTheScrollBarsMoveTheView) {
    WriteMap("pattern", 2, 2, PatternMap);
    ASSERT_EQ(Replay("modes_snapshot"), 0);
    const Shot entered = Load("entered.bmp");
    EXPECT_TRUE(SameOffGrid(Load("switched.bmp"), entered));
    EXPECT_TRUE(SameOffGrid(Load("frame1.bmp"), entered));
    EXPECT_TRUE(SameOffGrid(Load("scrolling.bmp"), entered));
    const Shot scrolled = Load("scrolled.bmp");
    EXPECT_FALSE(SameOffGrid(scrolled, entered));
    EXPECT_TRUE(SameOffGrid(Load("scrolled_later.bmp"), scrolled));
    const Shot reset = Load("reset.bmp");
    EXPECT_TRUE(SameOffGrid(reset, scrolled));
    const Shot reentered = Load("reentered.bmp");
    EXPECT_FALSE(SameOffGrid(reentered, reset));
    EXPECT_TRUE(SameOffGrid(Load("paging.bmp"), reentered));
    EXPECT_FALSE(SameOffGrid(Load("paged.bmp"), reentered));
}

// Lines first to first + count - 1 of a saved layer, as numbers. Reads the
// file once; a 64 x 64 map's layer is 56 MB.
std::vector<std::vector<int>> MapRows(const fs::path& path, int first, int count) {
    const std::string text = ReadFile(path);
    std::vector<std::vector<int>> rows;
    std::size_t start = 0;
    for (int line = 0; line < first + count && start < text.size(); ++line) {
        const std::size_t end = text.find('\n', start);
        if (line >= first) {
            std::vector<int>& values = rows.emplace_back();
            const char* p = text.c_str() + start;
            const char* stop = text.c_str() + (end == std::string::npos ? text.size() : end);
            while (p < stop) {
                char* next;
                const long v = std::strtol(p, &next, 10);
                if (next == p) break;
                values.push_back(static_cast<int>(v));
                for (p = next; p < stop && (*p == ' ' || *p == '\r');) ++p;
            }
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return rows;
}

// Values of row `row`, columns first to first + count - 1, of the saved "map".
std::vector<int> Cells(const std::vector<std::vector<int>>& rows, int row, int first, int count) {
    const std::vector<int>& line = rows.at(row);
    return std::vector<int>(line.begin() + first, line.begin() + first + count);
}
using V = std::vector<int>;

// The "ledge" map: solid chips on row 30, columns 10 to 14, the first with an
// attribute set by hand, the others without; a plain chip with an attribute.
int LedgeMap(int layer, int row, int column) {
    const bool ledge = row == 30 && column >= 10 && column <= 14;
    const bool plain = row == 20 && column == 20;
    if (layer == 0) return ledge ? 40 : plain ? 3 : 0;
    if (layer == 1) return row == 30 && column == 10 ? 5 : plain ? 7 : 0;
    return 0;
}

TEST_F(EditorE2E, EverySaveGivesSolidChipsAnAttributeAndClearsTheRest) {
    WriteMap("ledge", 1, 1, LedgeMap);
    ASSERT_EQ(Replay("save_solid_pass"), 0);
    Grid expected = Zeros(72, 96);
    expected[30][10] = 5;
    for (int column = 11; column <= 14; ++column) expected[30][column] = 1;
    EXPECT_EQ(ReadLayer(folder / "saved_zk.txt"), expected);
    EXPECT_EQ(ReadFile(folder / "saved_data.txt"), ReadFile(folder / "ledge_data.txt"));
    // A piece of the ledge stamped after attribute editing is saved solid too.
    EXPECT_EQ(Cells(ReadLayer(folder / "stamped_data.txt"), 50, 39, 4), (V{0, 40, 40, 0}));
    expected[50][40] = expected[50][41] = 1;
    EXPECT_EQ(ReadLayer(folder / "stamped_zk.txt"), expected);
}

TEST_F(EditorE2E, ADoubleClickCountsAsOneMoreClick) {
    ASSERT_EQ(Replay("double_clicks"), 0);
    EXPECT_EQ(Shape("quick_teki.txt"), std::make_pair(72, 11 * 96));
    const Grid enemies = ReadLayer(folder / "quick_teki.txt");
    EXPECT_EQ(Cells(enemies, 5, 5, 11), (V{2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2}));
    EXPECT_EQ(Cells(ReadLayer(folder / "quick_data.txt"), 20, 9, 4), (V{0, 3, 3, 0}));
}

TEST_F(EditorE2E, PaletteSelectionsAtTheCornersUnscrolledAndScrolledToTheEnd) {
    ASSERT_EQ(Replay("palette_select"), 0);
    const auto rows = MapRows(folder / "map_data.txt", 0, 9);
    // (1013, 757) is column 25, row 94; (811, 0) chip 0 over it; scrolled to
    // the end, the last chip 19999 and column 54, row 155.
    EXPECT_EQ(Cells(rows, 1, 0, 6), (V{0, 7545, 0, 19999, 12454, 0}));
    // Dragged from column 2, row 3 to column 0, row 1: columns 0-2, rows 1-3.
    EXPECT_EQ(Cells(rows, 4, 9, 5), (V{0, 0, 0, 0, 0}));
    EXPECT_EQ(Cells(rows, 5, 9, 5), (V{0, 80, 81, 82, 0}));
    EXPECT_EQ(Cells(rows, 6, 9, 5), (V{0, 160, 161, 162, 0}));
    EXPECT_EQ(Cells(rows, 7, 9, 5), (V{0, 240, 241, 242, 0}));
    EXPECT_EQ(Cells(rows, 8, 9, 5), (V{0, 0, 0, 0, 0}));
}

TEST_F(EditorE2E, ADragFromThePaletteIntoTheViewSelectsOnlyPaletteChips) {
    ASSERT_EQ(Replay("palette_into_view"), 0);
    const auto rows = MapRows(folder / "map_data.txt", 0, 21);
    EXPECT_EQ(Cells(rows, 0, 1, 4), (V{0, 164, 165, 0}));
    // Chip 2, where the drag began, stamped at column 20, row 10; not the map
    // cells dragged over.
    EXPECT_EQ(Cells(rows, 9, 19, 4), (V{0, 0, 0, 0}));
    EXPECT_EQ(Cells(rows, 10, 19, 4), (V{0, 2, 0, 0}));
    EXPECT_EQ(Cells(rows, 11, 19, 4), (V{0, 0, 0, 0}));
    EXPECT_EQ(Cells(rows, 12, 19, 4), (V{0, 0, 0, 0}));
    // The click during the palette drag stamped nothing.
    EXPECT_EQ(Cells(rows, 20, 29, 3), (V{0, 0, 0}));
    // "コピー中" shows until the pointer is over the palette with the button up.
    EXPECT_FALSE(SameRegion(Load("copying.bmp"), Load("idle.bmp"), 270, 200, 320, 212));
}

TEST_F(EditorE2E, StampsByClickAndByDragForwardsAndBackwards) {
    ASSERT_EQ(Replay("stamp_drag"), 0);
    const auto rows = MapRows(folder / "map_data.txt", 0, 51);
    // 2, 3 over 82, 83 at column 10, row 5; then chip 0 clicked over the 2.
    EXPECT_EQ(Cells(rows, 5, 9, 4), (V{0, 0, 3, 0}));
    EXPECT_EQ(Cells(rows, 6, 9, 4), (V{0, 82, 83, 0}));
    EXPECT_EQ(Cells(rows, 7, 9, 4), (V{0, 0, 0, 0}));
    // Columns 10 to 14 tile 2, 3; back from 10 to 7 leaves column 10 out.
    EXPECT_EQ(Cells(rows, 20, 9, 7), (V{0, 2, 3, 2, 3, 2, 0}));
    EXPECT_EQ(Cells(rows, 30, 6, 5), (V{0, 2, 3, 2, 0}));
    // Up and left from column 10, row 50: rows 47 to 49, columns 7 to 9.
    EXPECT_EQ(Cells(rows, 46, 6, 5), (V{0, 0, 0, 0, 0}));
    for (int row = 47; row <= 49; ++row) EXPECT_EQ(Cells(rows, row, 6, 5), (V{0, 2, 3, 2, 0}));
    EXPECT_EQ(Cells(rows, 50, 6, 5), (V{0, 0, 0, 0, 0}));
    EXPECT_EQ(Cells(rows, 40, 39, 7), (V{0, 12, 13, 12, 13, 12, 0}));
    EXPECT_EQ(Cells(rows, 41, 39, 7), (V{0, 92, 93, 92, 93, 92, 0}));
    EXPECT_EQ(Cells(rows, 42, 39, 7), (V{0, 12, 13, 12, 13, 12, 0}));

    // Pressed on column 40, row 40 (screen 320, 320), the preview is that one
    // cell; the rows above the pointer show it.
    const Shot before = Load("before.bmp");
    const Shot anchor = Load("anchor.bmp");
    EXPECT_FALSE(SameRegion(anchor, before, 320, 321, 328, 324));
    EXPECT_TRUE(SameRegion(anchor, before, 328, 321, 336, 324));
    EXPECT_TRUE(SameRegion(anchor, before, 321, 328, 324, 334));
    // Dragged to column 44, row 42, the preview is what the release writes,
    // and nothing beside it.
    const Shot dragging = Load("dragging.bmp");
    const Shot written = Load("written.bmp");
    EXPECT_FALSE(SameRegion(dragging, before, 320, 320, 356, 340));
    EXPECT_TRUE(SameRegion(dragging, written, 320, 320, 356, 340));
    EXPECT_TRUE(SameRegion(dragging, before, 360, 320, 368, 328));
    EXPECT_TRUE(SameRegion(dragging, before, 320, 344, 328, 352));
}

TEST_F(EditorE2E, MapSelectionsOverlappingTheStampRepeatTheCellsAlreadyWritten) {
    ASSERT_EQ(Replay("stamp_overlap"), 0);
    const auto rows = MapRows(folder / "map_data.txt", 0, 11);
    // Cells 10-11 of row 5 dragged from column 11 to 15: each cell copies the
    // one before it, which the stamp has just written.
    EXPECT_EQ(Cells(rows, 5, 9, 8), (V{0, 2, 2, 2, 2, 2, 2, 0}));
    EXPECT_EQ(Cells(rows, 6, 9, 8), (V{0, 82, 83, 0, 0, 0, 0, 0}));
    // Column 30, rows 5-6 dragged down from row 6 to 9; then columns 30-31,
    // rows 5-6 dragged from column 31, row 6 to column 36, row 7.
    EXPECT_EQ(Cells(rows, 4, 29, 9), (V{0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Cells(rows, 5, 29, 9), (V{0, 2, 3, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Cells(rows, 6, 29, 9), (V{0, 2, 2, 3, 2, 3, 2, 3, 0}));
    EXPECT_EQ(Cells(rows, 7, 29, 9), (V{0, 2, 2, 2, 2, 2, 2, 2, 0}));
    EXPECT_EQ(Cells(rows, 8, 29, 3), (V{0, 2, 0}));
    EXPECT_EQ(Cells(rows, 9, 29, 3), (V{0, 2, 0}));
    EXPECT_EQ(Cells(rows, 10, 29, 3), (V{0, 0, 0}));
}

TEST_F(EditorE2E, SelectionOutlinesFollowTheirCellsAndLeaveOutEdgesBeyondTheBounds) {
    ASSERT_EQ(Replay("map_outline"), 0);
    // Columns 107-116, rows 7-16 selected at column 100: (56,56)-(136,136);
    // with the view four columns to the left, (88,56)-(168,136).
    const Shot selected = Load("selected.bmp");
    const Shot scrolled = Load("scrolled.bmp");
    EXPECT_NE(BoundaryColumn(selected), BoundaryColumn(scrolled));
    for (const auto& [shot, x0] : {std::pair{&selected, 56}, std::pair{&scrolled, 88}}) {
        for (int k : {4, 30, 74}) {
            EXPECT_TRUE(IsRed(At(*shot, x0 + k, 56))) << x0 + k;
            EXPECT_TRUE(IsRed(At(*shot, x0 + k, 136))) << x0 + k;
            EXPECT_TRUE(IsRed(At(*shot, x0, 56 + k))) << k;
            EXPECT_TRUE(IsRed(At(*shot, x0 + 80, 56 + k))) << k;
        }
        EXPECT_FALSE(IsRed(At(*shot, x0 - 4, 100)));
        EXPECT_FALSE(IsRed(At(*shot, x0 + 84, 100)));
    }
    EXPECT_FALSE(IsRed(At(scrolled, 56, 100)));
    // At column 0 the cells lie beyond the view: no edge shows, in the view or
    // over the scroll bar and the palette.
    const Shot beyond = Load("beyond.bmp");
    for (int x = 0; x < 1024; ++x)
        for (int y : {56, 100, 136}) ASSERT_FALSE(IsRed(At(beyond, x, y))) << x << "," << y;

    // Left edge 18 columns before the view: top and bottom edges start at x 0,
    // no left edge, the right edge at x 304.
    const Shot view = Load("view_clipped.bmp");
    for (int x : {0, 4, 100, 300}) {
        EXPECT_TRUE(IsRed(At(view, x, 56))) << x;
        EXPECT_TRUE(IsRed(At(view, x, 136))) << x;
    }
    for (int y : {60, 100, 130}) {
        EXPECT_FALSE(IsRed(At(view, 0, y))) << y;
        EXPECT_TRUE(IsRed(At(view, 304, y))) << y;
    }
    EXPECT_FALSE(IsRed(At(view, 308, 56)));

    // Sheet column 5, rows 0 to 103, with the palette at 80 when last held:
    // the top edge (y -80) is left out, the sides run from y 0 to the bottom
    // edge at 752.
    const Shot base = Load("palette_base.bmp");
    const Shot palette = Load("palette_clipped.bmp");
    for (int y : {0, 5, 300, 751}) {
        EXPECT_TRUE(IsRed(At(palette, 850, y))) << y;
        EXPECT_TRUE(IsRed(At(palette, 858, y))) << y;
    }
    EXPECT_TRUE(SameRegion(palette, base, 851, 0, 858, 1));
    EXPECT_TRUE(IsRed(At(palette, 854, 752)));
    EXPECT_TRUE(SameRegion(palette, base, 851, 753, 858, 758));
    // Scrolled back to the top, the palette shows rows 0 to 94: the top edge
    // at y 0, the sides down to the palette's bottom, no bottom edge.
    const Shot top = Load("palette_top.bmp");
    EXPECT_TRUE(IsRed(At(top, 854, 0)));
    for (int y : {5, 300, 757}) {
        EXPECT_TRUE(IsRed(At(top, 850, y))) << y;
        EXPECT_TRUE(IsRed(At(top, 858, y))) << y;
    }
    EXPECT_FALSE(IsRed(At(top, 854, 752)));
}

TEST_F(EditorE2E, AStampAtTheFarEndOfTheLargestMapWritesOnlyInsideTheLayers) {
    // "big" is 64 x 64 screens: the teki file sets the size.
    std::ofstream(folder / "big_data.txt", std::ios::binary) << "0 \r\n";
    std::ofstream(folder / "big_zk.txt", std::ios::binary) << "0 \r\n";
    std::string teki;
    for (int row = 0; row < 64 * 72 - 1; ++row) teki += "0 \r\n";
    for (int column = 0; column < 64 * 96; ++column) teki += "0 ";
    std::ofstream(folder / "big_teki.txt", std::ios::binary) << teki << "\r\n";

    ASSERT_EQ(Replay("stamp_far_end"), 0);
    // Columns 6130 to 6398, rows 4366 to 4609 tiled with 2, 3 over 82, 83;
    // the arrays end at column 6143 and row 4607.
    const auto data = MapRows(folder / "map_data.txt", 4365, 4608 - 4365);
    ASSERT_EQ(data.size(), 4608u - 4365);
    EXPECT_EQ(Cells(data, 0, 6126, 18), V(18, 0));
    for (int row = 4366; row < 4608; ++row) {
        const std::vector<int>& line = data[row - 4365];
        ASSERT_EQ(line.size(), 6144u);
        const int chipRow = (row - 4366) % 2;
        for (int column = 6130; column < 6144; ++column)
            ASSERT_EQ(line[column], 2 + (column - 6130) % 2 + 80 * chipRow) << row << "," << column;
        // A write past a row's end would land at the start of the next row.
        ASSERT_EQ(std::count(line.begin(), line.begin() + 6130, 0), 6130) << row;
    }
    // A write past the last row would land in the attribute layer.
    for (const char* file : {"map_zk.txt", "map_teki.txt"}) {
        const auto first = MapRows(folder / file, 0, 3);
        for (const std::vector<int>& line : first)
            EXPECT_EQ(std::count(line.begin(), line.end(), 0), 6144) << file;
    }
}

TEST_F(EditorE2E, StampsStartInTheViewCopyNoMapCellsAsSheetChipsAndPreviewOnlyInTheView) {
    ASSERT_EQ(Replay("stamp_guards"), 0);
    // Chip 5 at column 50, row 278 and, copied by the map selection dragged
    // into the palette, at column 1, row 1; the last drag's area from column
    // 80, row 52 to column 198, row 145. The presses on the panel and just past
    // the view wrote nothing.
    Grid expected = Zeros(288, 192);
    expected[278][50] = expected[1][1] = 5;
    for (int row = 52; row <= 145; ++row)
        for (int column = 80; column < 192; ++column) expected[row][column] = 5;
    const Grid chips = ReadLayer(folder / "map_data.txt");
    int outsideSheet = 0;
    for (const std::vector<int>& line : chips)
        outsideSheet += static_cast<int>(
            std::count_if(line.begin(), line.end(), [](int n) { return n < 0 || n > 19999; }));
    EXPECT_EQ(outsideSheet, 0);
    EXPECT_TRUE(chips == expected);

    // The preview of the last drag fills the view and stops at its edges: the
    // palette, the panel and the scroll-bar tracks look as before the drag.
    const Shot before = Load("before.bmp");
    const Shot dragging = Load("dragging.bmp");
    EXPECT_TRUE(SameRegion(dragging, before, 810, 0, 1024, 768));
    EXPECT_TRUE(SameRegion(dragging, before, 0, 611, 800, 768));
    // The view moved meanwhile, and the tracks' thumbs with it.
    EXPECT_TRUE(SameTrack(dragging, before, 801, 20, 810, 580));
    EXPECT_TRUE(SameTrack(dragging, before, 20, 601, 780, 610));
    EXPECT_TRUE(SameRegion(dragging, Load("written.bmp"), 700, 500, 800, 600));
}

// Enemy values of row 5 of the "limits" map, from a hand-edited file: the
// button clicked on each, and the value it then holds. Values outside 0 to
// 255 only move towards that range.
struct LimitCell {
    int column, value;
    bool raise;
    int expected;
};
constexpr LimitCell LimitCells[] = {
    {5, INT_MAX, true, INT_MAX},   {10, INT_MAX, false, INT_MAX - 1},
    {15, INT_MIN, false, INT_MIN}, {20, INT_MIN, true, INT_MIN + 1},
    {25, 256, true, 256},          {30, -1, false, -1},
};

constexpr int LimitChips[] = {20000, -1, 7}; // row 10, columns 5 to 7

int LimitMap(int layer, int row, int column) {
    if (layer == 0 && row == 10 && column >= 5 && column < 8) return LimitChips[column - 5];
    for (const LimitCell& cell : LimitCells)
        if (layer == 2 && row == 5 && column == cell.column) return cell.value;
    return 0;
}

TEST_F(EditorE2E, ChoosingAnotherModeEndsAStampDragAndValuesNeverWrap) {
    WriteMap("limits", 1, 1, LimitMap);
    ASSERT_EQ(Replay("mode_switch_limits"), 0);
    // Out of chip editing the drag is over: the view's arrow scrolls it two
    // columns and its edge none, and back in chip editing the held button
    // writes nothing.
    EXPECT_EQ(BoundaryColumn(Load("scrolled.bmp")), 752);
    EXPECT_EQ(ReadLayer(folder / "drag_data.txt"), Zeros(72, 192));
    // Copied by a map selection, the chips that no sheet holds are written as chip 0.
    const Grid chips = ReadLayer(folder / "limits2_data.txt");
    EXPECT_EQ(Cells(chips, 10, 5, 3), (V{20000, -1, 7}));
    EXPECT_EQ(Cells(chips, 15, 5, 3), (V{0, 0, 7}));
    Grid enemies = Zeros(72, 96);
    for (const LimitCell& cell : LimitCells) enemies[5][cell.column] = cell.expected;
    EXPECT_EQ(ReadLayer(folder / "limits2_teki.txt"), enemies);
}

// A chip at a cell of a saved map.
struct Chip {
    int row, column, value;
};

// The chip file of a one-screen map holding the chips, later ones over
// earlier ones, and 0 everywhere else.
std::string ChipFile(std::initializer_list<std::initializer_list<Chip>> stamps) {
    std::string text;
    for (int row = 0; row < 72; ++row) {
        for (int column = 0; column < 96; ++column) {
            int value = 0;
            for (const auto& stamp : stamps)
                for (const Chip& chip : stamp)
                    if (chip.row == row && chip.column == column) value = chip.value;
            text += std::to_string(value) + " ";
        }
        text += "\r\n";
    }
    return text;
}

TEST_F(EditorE2E, StampsAreUndoneAndRedoneWithCtrlZAndCtrlY) {
    ASSERT_EQ(Replay("undo_redo"), 0);
    const std::initializer_list<Chip> a = {{5, 10, 2}, {5, 11, 3}, {6, 10, 82}, {6, 11, 83}};
    const std::initializer_list<Chip> b = {{6, 11, 2}, {6, 12, 3}, {7, 11, 82}, {7, 12, 83}};
    const std::initializer_list<Chip> c = {{5, 20, 5}};
    EXPECT_EQ(ReadFile(folder / "none_data.txt"), ChipFile({}));
    EXPECT_EQ(ReadFile(folder / "a_data.txt"), ChipFile({a}));
    EXPECT_EQ(ReadFile(folder / "ab_data.txt"), ChipFile({a, b}));
    // C replaced B, which no redo brings back.
    EXPECT_EQ(ReadFile(folder / "ac_data.txt"), ChipFile({a, c}));
    // Ctrl pressed together with Z undoes nothing.
    EXPECT_EQ(ReadFile(folder / "ac2_data.txt"), ChipFile({a, c}));
    // After loading the empty map, redo at the newest record writes C again.
    EXPECT_EQ(ReadFile(folder / "c_data.txt"), ChipFile({c}));
}

} // namespace
