// The replay driver: script parsing with its errors, and a run of the editor.
#include "platform/bmp.h"
#include "platform/win_defs.h"
#include "tools/replay/replay_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace {

std::string ParseError(const std::string& source) {
    std::vector<ReplayCommand> commands;
    std::string error;
    EXPECT_FALSE(ParseReplayScript(source, commands, error)) << source;
    return error;
}

TEST(ReplayScript, MistakesAreReportedWithTheirLine) {
    EXPECT_EQ(ParseError("frames 2\n\n# note\nbogus\n"), "4: unknown command: bogus");
    EXPECT_EQ(ParseError("move 10\n"), "1: move takes 2 arguments");
    EXPECT_EQ(ParseError("frames -1\n"), "1: not a number: -1");
    EXPECT_EQ(ParseError("frames 9999999999\n"), "1: not a number: 9999999999");
    EXPECT_EQ(ParseError("keydown F13\n"), "1: unknown key: F13");
    EXPECT_EQ(ParseError("answer maybe\n"), "1: answer is yes, no or ok, not maybe");
    EXPECT_EQ(ParseError("type a-b\n"), "1: type takes letters and digits only: -");
    EXPECT_EQ(ParseError("ldown now\n"), "1: ldown takes 0 arguments");
}

TEST(ReplayScript, CommandsAndKeyNames) {
    std::vector<ReplayCommand> commands;
    std::string error;
    ASSERT_TRUE(ParseReplayScript("frametime 20 # faster\n  move 5 6\nrdbl\nkeyup ENTER\n"
                                  "answer yes\ntype Ab1\ndeactivate\n",
                                  commands, error));
    ASSERT_EQ(commands.size(), 7u);
    EXPECT_EQ(commands[0].kind, ReplayCommand::FrameTime);
    EXPECT_EQ(commands[0].value, 20);
    EXPECT_EQ(commands[1].x, 5);
    EXPECT_EQ(commands[2].message, static_cast<std::uint32_t>(WM_RBUTTONDBLCLK));
    EXPECT_EQ(commands[3].value, VK_RETURN);
    EXPECT_EQ(commands[5].text, "Ab1");
    EXPECT_EQ(commands[6].value, 0);
    EXPECT_EQ(VirtualKeyByName("CTRL"), VK_CONTROL);
    EXPECT_EQ(VirtualKeyByName("F12"), VK_F12);
    EXPECT_EQ(VirtualKeyByName("z"), 'Z');
    EXPECT_EQ(VirtualKeyByName("7"), '7');
    EXPECT_EQ(VirtualKeyByName("65"), 65);
    EXPECT_EQ(VirtualKeyByName("300"), 0);
    EXPECT_EQ(VirtualKeyByName("HOME"), 0);
}

TEST(ReplayRun, RunsTheEditorAndWritesWhatWasPresented) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("tessera-replay-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::path old = fs::current_path();
    fs::current_path(folder);
    std::vector<ReplayCommand> commands;
    std::string error;
    ASSERT_TRUE(
        ParseReplayScript("frames 3\nmove 100 100\nframes 2\nscreenshot s.bmp\n", commands, error));
    EXPECT_EQ(RunReplay(commands), 0);
    platform::DecodedImage shot;
    EXPECT_TRUE(platform::LoadBmpFile("s.bmp", shot));
    EXPECT_EQ(shot.width, 1024);
    EXPECT_EQ(shot.height, 768);
    fs::current_path(old);
    fs::remove_all(folder);
}

} // namespace
