// elMidi: the command strings it sends, its flags, and the end of a pass
// reaching it through the message loop and the window procedure.
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/win/mci.h"
#include "sound/midi.h"
#include "system/system.h"
#include "tests/midi_writer.h"
#include "tests/scripted_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class Midi : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::mciSendStringA("close all", nullptr, 0, nullptr);
        folderName = "midi-test-" + std::to_string(getpid());
        folder = std::filesystem::path(elSystem::ProgramFolder(0)) / folderName;
        WriteBytes(folder / "tune.mid", OneNoteTune(500));
        WriteBytes(folder / "other.mid", OneNoteTune(800));
        tuneName = folderName + "\\TUNE.mid";
        platform::headless::ClearMciLog();
        elMidi::Init();
    }
    void TearDown() override {
        platform::mciSendStringA("close all", nullptr, 0, nullptr);
        std::filesystem::remove_all(folder);
    }
    // A window with the framework's procedure, without the main loop.
    void MakeWindow() {
        ResetPlatformForTest(1000);
        elSystem::FrameworkReset();
        WNDCLASS windowClass{};
        windowClass.lpfnWndProc = elSystem::WindowProc;
        windowClass.lpszClassName = "DEFAULT";
        platform::RegisterClass(windowClass);
        MainWindowHandle = platform::CreateWindowEx(0, "DEFAULT", "Tessera", 0, 0, 0, 1024, 768);
    }
    void Dispatch() {
        MSG msg;
        while (platform::PeekMessage(&msg)) platform::DispatchMessage(&msg);
    }
    std::string OpenCommand(const std::string& name) const {
        return "open \"" + std::string(elSystem::ProgramFolder(0)) + name +
               "\" type sequencer alias midi";
    }
    Log TakeLog() {
        Log log = platform::headless::MciLog();
        platform::headless::ClearMciLog();
        return log;
    }
    std::string folderName, tuneName;
    std::filesystem::path folder;
};

const std::string kSeek = "seek midi to start";
const std::string kPlay = "play midi notify";
const std::string kStatus = "status midi mode";

TEST_F(Midi, PlayOpensFromTheProgramFolderAndPlaysFromTheStart) {
    MakeWindow();
    elMidi::MidiEnded = 1;
    elMidi::Play(tuneName.c_str(), 0);
    EXPECT_EQ(TakeLog(), (Log{OpenCommand(tuneName), kSeek, kPlay}));
    EXPECT_EQ(elMidi::MidiOpen, 1);
    EXPECT_EQ(elMidi::MidiLoop, 0);
    EXPECT_EQ(elMidi::MidiEnded, 0);
    char mode[32];
    platform::mciSendStringA(kStatus.c_str(), mode, sizeof mode, nullptr);
    EXPECT_STREQ(mode, "playing"); // the backslashed, differently cased name was found
    TakeLog();

    // Playing another tune stops and closes the first before opening it.
    std::string other = folderName + "\\other.mid";
    elMidi::Play(other.c_str(), 7);
    EXPECT_EQ(TakeLog(), (Log{"stop midi", "close midi", OpenCommand(other), kSeek, kPlay}));
    EXPECT_EQ(elMidi::MidiLoop, 7);
}

TEST_F(Midi, StopActsOnceAndCloseAlwaysSendsItsCommands) {
    MakeWindow();
    elMidi::Close();
    EXPECT_EQ(TakeLog(), (Log{"stop midi", "close midi"}));
    EXPECT_EQ(elMidi::MidiOpen, 0);
    elMidi::Play(tuneName.c_str(), 1);
    TakeLog();
    elMidi::Close();
    EXPECT_EQ(TakeLog(), (Log{"stop midi", "close midi"}));
    EXPECT_EQ(elMidi::MidiOpen, 1); // the flags are not Close's business
    elMidi::Play(tuneName.c_str(), 1);
    TakeLog();
    elMidi::Stop();
    elMidi::Stop();
    EXPECT_EQ(TakeLog(), (Log{"stop midi", "close midi"}));
    EXPECT_EQ(elMidi::MidiOpen, 0);
}

TEST_F(Midi, InitResetsTheFlagsWithReplayOn) {
    elMidi::MidiOpen = 1;
    elMidi::MidiEnded = 1;
    elMidi::MidiLoop = 0;
    EXPECT_EQ(elMidi::Init(), 1);
    EXPECT_EQ(elMidi::MidiOpen, 0);
    EXPECT_EQ(elMidi::MidiEnded, 0);
    EXPECT_EQ(elMidi::MidiLoop, 1);
    // So the end of a pass replays the tune.
    elMidi::OnNotify();
    EXPECT_EQ(TakeLog(), (Log{kSeek, kPlay}));
    EXPECT_EQ(elMidi::MidiEnded, 1);
}

// The main loop with a scene that records the command log at every frame.
struct LoopRun {
    std::uint32_t playClock = 0;
    std::vector<std::pair<std::uint32_t, std::size_t>> frames; // clock, log length

    // Plays the tune and records from then on.
    void Play(const char* name, int loop) {
        elMidi::Play(name, loop);
        playClock = platform::timeGetTime();
        SceneHook = [this] {
            frames.emplace_back(platform::timeGetTime(), platform::headless::MciLog().size());
        };
    }
    // The first frame whose log is longer than `length`, as milliseconds after Play.
    std::uint32_t FirstGrowth(std::size_t length) const {
        for (auto [clock, size] : frames)
            if (size > length) return clock - playClock;
        return 0;
    }
};

TEST_F(Midi, LoopingTuneIsReplayedThroughTheWindowProcedureAfterItsLength) {
    LoopRun run;
    Script script;
    script.Frames(3)
        .Do([&] { run.Play(tuneName.c_str(), 1); })
        .Frames(40)
        .Do([&] { EXPECT_EQ(elMidi::MidiEnded, 1); })
        .Frames(40);
    script.Run();
    Log pass = {kStatus, kSeek, kPlay};
    Log expected = {OpenCommand(tuneName), kSeek, kPlay};
    expected.insert(expected.end(), pass.begin(), pass.end());
    expected.insert(expected.end(), pass.begin(), pass.end());
    EXPECT_EQ(platform::headless::MciLog(), expected);
    // The notification came with the first event pump after 500 ms had passed.
    std::uint32_t first = run.FirstGrowth(3);
    EXPECT_GE(first, 500u);
    EXPECT_LT(first, 500u + 2 * 16);
    std::uint32_t second = run.FirstGrowth(6);
    EXPECT_GE(second, first + 500u);
    EXPECT_EQ(elMidi::MidiOpen, 1);
    EXPECT_EQ(elMidi::MidiLoop, 1);
}

TEST_F(Midi, AfterEndLoopTheNextEndOfPassClosesTheTune) {
    Script script;
    script.Frames(1)
        .Do([&] { elMidi::Play(tuneName.c_str(), 1); })
        .Frames(10)
        .Do([] { elMidi::EndLoop(); })
        .Frames(40)
        .Do([] {
            EXPECT_EQ(elMidi::MidiOpen, 0);
            EXPECT_EQ(elMidi::MidiEnded, 1);
            EXPECT_EQ(elMidi::MidiLoop, 0);
        })
        .Frames(40);
    script.Run();
    EXPECT_EQ(platform::headless::MciLog(),
              (Log{OpenCommand(tuneName), kSeek, kPlay, kStatus, "stop midi", "close midi"}));
}

TEST_F(Midi, OtherNotificationsAndAPlayingDeviceChangeNothing) {
    MakeWindow();
    // Nothing open: even a successful notification is not looked into.
    platform::PostMessage(MainWindowHandle, MM_MCINOTIFY, platform::MCI_NOTIFY_SUCCESSFUL, 1);
    Dispatch();
    EXPECT_TRUE(TakeLog().empty());
    elMidi::Play(tuneName.c_str(), 1);
    TakeLog();
    for (WPARAM code : {platform::MCI_NOTIFY_SUPERSEDED, platform::MCI_NOTIFY_ABORTED,
                        platform::MCI_NOTIFY_FAILURE})
        platform::PostMessage(MainWindowHandle, MM_MCINOTIFY, code, 1);
    Dispatch();
    EXPECT_TRUE(TakeLog().empty());
    // A late notification while the tune plays: the mode is "playing".
    platform::PostMessage(MainWindowHandle, MM_MCINOTIFY, platform::MCI_NOTIFY_SUCCESSFUL, 1);
    Dispatch();
    EXPECT_EQ(TakeLog(), (Log{kStatus}));
    EXPECT_EQ(elMidi::MidiEnded, 0);
    EXPECT_EQ(elMidi::MidiOpen, 1);
    // Stopping sends the pending play's abort, which is ignored in turn.
    elMidi::Stop();
    TakeLog();
    Dispatch();
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(Midi, MissingFileLeavesTheTuneOpenAndSilent) {
    Script script;
    script.Frames(1).Do([] { elMidi::Play("no such tune.mid", 1); }).Frames(200, 50).Do([] {
        EXPECT_EQ(elMidi::MidiOpen, 1);
        EXPECT_EQ(elMidi::MidiEnded, 0);
        elMidi::Stop();
    });
    script.Run();
    EXPECT_EQ(platform::headless::MciLog(),
              (Log{OpenCommand("no such tune.mid"), kSeek, kPlay, "stop midi", "close midi"}));
    EXPECT_EQ(elMidi::MidiOpen, 0);
}

TEST_F(Midi, PathLongerThanTheCommandBufferIsRefusedWhole) {
    MakeWindow();
    elMidi::Play(tuneName.c_str(), 1);
    TakeLog();
    std::string longName(260 - OpenCommand("").size(), 'a');
    elMidi::Play(longName.c_str(), 0);
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_EQ(elMidi::MidiOpen, 1);
    EXPECT_EQ(elMidi::MidiLoop, 1);
    // One byte less fits, with its terminator.
    longName.pop_back();
    elMidi::Play(longName.c_str(), 0);
    EXPECT_EQ(TakeLog().size(), 5u);
}

} // namespace
