// The editor end to end: the replay scripts of tests/e2e run the real program in
// a fresh folder; their screenshots, map files, box lines and exit codes are
// checked here.
#include "platform/bmp.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

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

} // namespace
