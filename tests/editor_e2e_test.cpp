// The editor end to end: the replay scripts of tests/e2e run the real program in
// a fresh folder; their screenshots, map files, box lines and exit codes are
// checked here.
#include "platform/bmp.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Shot = platform::DecodedImage;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class EditorE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("tessera-e2e-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        if (!HasFailure()) fs::remove_all(folder);
    }

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
        const char* const suffixes[3] = {"_data.txt", "_zk.txt", "_teki.txt"};
        for (int layer = 0; layer < 3; ++layer) {
            std::string text;
            for (int row = 0; row < height * 72; ++row) {
                for (int column = 0; column < width * 96; ++column)
                    text += std::to_string(value(layer, row, column)) + " ";
                text += "\r\n";
            }
            std::ofstream(folder / (name + suffixes[layer]), std::ios::binary) << text;
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

    fs::path folder;
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
    auto digit = [](const Shot& a, const Shot& b) { return SameRegion(a, b, 720, 610, 760, 688); };
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

TEST_F(EditorE2E, NamesTakeCapitalsUpToFifteenCharactersAndSurviveEscape) {
    ASSERT_EQ(Replay("name_entry"), 0);
    std::set<std::string> saved;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with("_data.txt")) saved.insert(name);
    }
    EXPECT_EQ(saved, (std::set<std::string>{"AbC123456789012_data.txt", "AbC123456789_data.txt",
                                            "AbC123456789x_data.txt"}));
    EXPECT_GT(DialogueText(Load("prompt.bmp")), 100);
    EXPECT_EQ(DialogueText(Load("escaped.bmp")), 0);
}

int Pattern(int layer, int row, int column) {
    return (row * 131 + column * 17 + layer * 5) % 20011 - (column == 5 ? 40 : 0);
}

TEST_F(EditorE2E, SavedMapsLoadBackWithTheirSizeAndLayers) {
    WriteMap("src", 2, 1, Pattern);
    ASSERT_EQ(Replay("save_load"), 0);
    for (const char* suffix : {"_data.txt", "_zk.txt", "_teki.txt"}) {
        const std::string source = ReadFile(folder / ("src" + std::string(suffix)));
        EXPECT_EQ(ReadFile(folder / ("copy" + std::string(suffix))), source) << suffix;
        EXPECT_EQ(ReadFile(folder / ("copy2" + std::string(suffix))), source) << suffix;
    }
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

bool IsRed(std::uint32_t rgb) {
    return (rgb >> 16 & 0xFF) > 200 && (rgb >> 8 & 0xFF) < 60 && (rgb & 0xFF) < 60;
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

TEST_F(EditorE2E, ASelectionDraggedFromThePaletteIntoTheViewCopiesMapCells) {
    ASSERT_EQ(Replay("palette_into_view"), 0);
    const auto rows = MapRows(folder / "map_data.txt", 0, 21);
    EXPECT_EQ(Cells(rows, 0, 1, 4), (V{0, 164, 165, 0}));
    // Map columns 2-3, rows 0-1, stamped at column 20, row 10.
    EXPECT_EQ(Cells(rows, 9, 19, 4), (V{0, 0, 0, 0}));
    EXPECT_EQ(Cells(rows, 10, 19, 4), (V{0, 164, 165, 0}));
    EXPECT_EQ(Cells(rows, 11, 19, 4), (V{0, 244, 245, 0}));
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

TEST_F(EditorE2E, SelectionOutlinesStayWhereTheyWereMadeAndLeaveOutEdgesBeyondTheBounds) {
    ASSERT_EQ(Replay("map_outline"), 0);
    // Columns 107-116, rows 7-16 selected at column 100: (56,56)-(136,136),
    // before and after the view moves four columns.
    const Shot selected = Load("selected.bmp");
    const Shot scrolled = Load("scrolled.bmp");
    EXPECT_NE(BoundaryColumn(selected), BoundaryColumn(scrolled));
    for (const Shot* shot : {&selected, &scrolled}) {
        for (int k : {60, 100, 130}) {
            EXPECT_TRUE(IsRed(At(*shot, k, 56))) << k;
            EXPECT_TRUE(IsRed(At(*shot, k, 136))) << k;
            EXPECT_TRUE(IsRed(At(*shot, 56, k))) << k;
            EXPECT_TRUE(IsRed(At(*shot, 136, k))) << k;
        }
        EXPECT_FALSE(IsRed(At(*shot, 52, 100)));
        EXPECT_FALSE(IsRed(At(*shot, 140, 100)));
    }

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

} // namespace
