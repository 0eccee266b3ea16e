// The replay driver: script parsing with its errors, and a run of the editor.
#include "editor/edit_scene.h"
#include "platform/formats/bmp.h"
#include "platform/win/win_defs.h"
#include "tools/replay/replay_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

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
    EXPECT_EQ(ParseError("shell\n"), "1: shell takes a command");
    EXPECT_EQ(ParseError("wheel\n"), "1: wheel takes 1 argument");
    EXPECT_EQ(ParseError("wheel --2\n"), "1: not a number of notches: --2");
    EXPECT_EQ(ParseError("wheel -\n"), "1: not a number of notches: -");
    EXPECT_EQ(ParseError("wheel 1001\n"), "1: not a number of notches: 1001");
}

TEST(ReplayScript, CommandsAndKeyNames) {
    std::vector<ReplayCommand> commands;
    std::string error;
    ASSERT_TRUE(ParseReplayScript("frametime 20 # faster\n  move 5 6\nrdbl\nkeyup ENTER\n"
                                  "answer yes\ntype Ab1\ndeactivate\nshell cp  a   b\n"
                                  "wheel -3\nwheel 1000\n",
                                  commands, error));
    ASSERT_EQ(commands.size(), 10u);
    EXPECT_EQ(commands[0].kind, ReplayCommand::FrameTime);
    EXPECT_EQ(commands[0].value, 20);
    EXPECT_EQ(commands[1].x, 5);
    EXPECT_EQ(commands[2].message, static_cast<std::uint32_t>(WM_RBUTTONDBLCLK));
    EXPECT_EQ(commands[3].value, VK_RETURN);
    EXPECT_EQ(commands[5].text, "Ab1");
    EXPECT_EQ(commands[6].value, 0);
    EXPECT_EQ(commands[7].kind, ReplayCommand::Shell);
    EXPECT_EQ(commands[7].text, "cp a b");
    EXPECT_EQ(commands[8].kind, ReplayCommand::Wheel);
    EXPECT_EQ(commands[8].value, -3);
    EXPECT_EQ(commands[9].value, 1000);
    EXPECT_EQ(VirtualKeyByName("CTRL"), VK_CONTROL);
    EXPECT_EQ(VirtualKeyByName("F12"), VK_F12);
    EXPECT_EQ(VirtualKeyByName("z"), 'Z');
    EXPECT_EQ(VirtualKeyByName("7"), '7');
    EXPECT_EQ(VirtualKeyByName("65"), 65);
    EXPECT_EQ(VirtualKeyByName("300"), 0);
    EXPECT_EQ(VirtualKeyByName("HOME"), VK_HOME);
    EXPECT_EQ(VirtualKeyByName("PGDN"), VK_NEXT);
    EXPECT_EQ(VirtualKeyByName("TAB"), VK_TAB);
    EXPECT_EQ(VirtualKeyByName("INSERT"), 0);
}

// Runs in a fresh folder of its own, where the replay writes its files.
class ReplayRun : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterEditor();
        folder = fs::temp_directory_path() / ("tessera-replay-" + std::to_string(getpid()));
        fs::create_directories(folder);
        old = fs::current_path();
        fs::current_path(folder);
    }
    void TearDown() override {
        fs::current_path(old);
        fs::remove_all(folder);
    }
    static std::vector<ReplayCommand> Parse(const std::string& source) {
        std::vector<ReplayCommand> commands;
        std::string error;
        EXPECT_TRUE(ParseReplayScript(source, commands, error)) << error;
        return commands;
    }
    fs::path folder, old;
};

TEST_F(ReplayRun, RunsTheEditorAndWritesWhatWasPresented) {
    EXPECT_EQ(RunReplay(Parse("frames 3\nmove 100 100\nframes 2\nscreenshot s.bmp\n")), 0);
    platform::DecodedImage shot;
    EXPECT_TRUE(platform::LoadBmpFile("s.bmp", shot));
    EXPECT_EQ(shot.width, 1024);
    EXPECT_EQ(shot.height, 768);
}

TEST_F(ReplayRun, AScreenshotThatCannotBeWrittenStopsTheRunWithStatus2) {
    const auto commands = Parse("frames 1\n\nscreenshot no/such/s.bmp\nscreenshot t.bmp\n");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunReplay(commands), 2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "script:3: cannot write the screenshot no/such/s.bmp\n");
    EXPECT_FALSE(fs::exists("t.bmp")); // the rest of the script did not run
}

// A shell command runs between frames; one that fails stops the run there.
TEST_F(ReplayRun, AShellCommandRunsBetweenFramesAndAFailureStopsTheRun) {
    const auto commands =
        Parse("frames 1\nshell echo one > a.txt\nshell false\nshell echo two > b.txt\n");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunReplay(commands), 2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "script:3: the command failed: false\n");
    EXPECT_TRUE(fs::exists("a.txt"));
    EXPECT_FALSE(fs::exists("b.txt"));
}

TEST_F(ReplayRun, AScriptThatCannotBeReadStopsBeforeTheRunWithStatus2) {
    std::ofstream("bad.replay") << "frames 1\nbogus\n";
    for (const auto& [path, message] :
         {std::pair<std::string, std::string>{"missing.replay",
                                              "missing.replay: No such file or directory"},
          {folder.string(), folder.string() + ": Is a directory"}}) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(RunReplayFile(path.c_str()), 2) << path;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "script: cannot read " + message + "\n");
    }
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunReplayFile("bad.replay"), 2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "script:2: unknown command: bogus\n");
}

} // namespace
