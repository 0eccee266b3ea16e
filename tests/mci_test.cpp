// The media-control command strings on the headless backend: opening tunes,
// playing them on the clock, the mode word, notifications and errors.
#include "platform/headless/headless.h"
#include "platform/win/mci.h"
#include "platform/win/messages.h"
#include "tests/midi_writer.h"
#include "tests/test_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::mciSendStringA;

std::vector<MSG> received;

LRESULT Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MM_MCINOTIFY) received.push_back(MSG{window, message, wParam, lParam});
    return 0;
}

class Mci : public TestFolder {
  protected:
    Mci() : TestFolder("tessera-mci-") {}
    void SetUp() override {
        TestFolder::SetUp();
        platform::ResetMessages();
        platform::headless::SetEventSource(nullptr);
        platform::headless::SetClock(5000);
        mciSendStringA("close all", nullptr, 0, nullptr);
        platform::headless::ClearMciLog();
        received.clear();
        WNDCLASS windowClass{};
        windowClass.lpfnWndProc = Record;
        windowClass.lpszClassName = "MCI";
        platform::RegisterClass(windowClass);
        window = platform::CreateWindowEx(0, "MCI", "", 0, 0, 0, 10, 10);
        WriteBytes(folder / "music" / "tune.mid", OneNoteTune(1000));
    }
    void TearDown() override {
        mciSendStringA("close all", nullptr, 0, nullptr);
        TestFolder::TearDown();
    }
    // The tune's path as the framework writes it: backslashes, other case.
    std::string TunePath() const { return folder.string() + "\\MUSIC\\Tune.MID"; }
    DWORD Send(const std::string& command, HWND callback = nullptr) {
        reply[0] = 'x';
        return mciSendStringA(command.c_str(), reply, sizeof reply, callback);
    }
    std::string Mode() {
        EXPECT_EQ(Send("status midi mode"), 0u);
        return reply;
    }
    // Lets time pass and takes what the message loop would then find.
    void Pass(std::uint32_t ms) {
        platform::headless::AdvanceClock(ms);
        MSG msg;
        while (platform::PeekMessage(&msg)) platform::DispatchMessage(&msg);
    }
    std::vector<WPARAM> Codes() const {
        std::vector<WPARAM> codes;
        for (const MSG& msg : received) codes.push_back(msg.wParam);
        return codes;
    }
    HWND window = nullptr;
    char reply[32];
};

TEST_F(Mci, TunePlaysForItsLengthOnTheClockThenReportsStopped) {
    ASSERT_EQ(Send("open \"" + TunePath() + "\" type sequencer alias midi"), 0u);
    EXPECT_STREQ(reply, "1"); // the device id
    EXPECT_EQ(Mode(), "stopped");
    ASSERT_EQ(Send("status MIDI length"), 0u);
    EXPECT_STREQ(reply, "1000");
    ASSERT_EQ(Send("seek midi to start"), 0u);
    ASSERT_EQ(Send("play midi notify", window), 0u);
    EXPECT_STREQ(reply, "");
    EXPECT_EQ(Mode(), "playing");
    Pass(400);
    ASSERT_EQ(Send("status midi position"), 0u);
    EXPECT_STREQ(reply, "400");
    Pass(599);
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(Mode(), "playing");
    Pass(1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].hwnd, window);
    EXPECT_EQ(received[0].wParam, platform::MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(received[0].lParam, 1);
    EXPECT_EQ(Mode(), "stopped");
    ASSERT_EQ(Send("status midi position"), 0u);
    EXPECT_STREQ(reply, "1000");
    // Played again from its start, the whole length passes once more.
    Send("seek midi to start");
    Send("play midi notify", window);
    Pass(999);
    EXPECT_EQ(received.size(), 1u);
    Pass(1);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{1, 1}));
    EXPECT_EQ(Send("close midi"), 0u);
    EXPECT_EQ(Send("status midi mode"), platform::MCIERR_INVALID_DEVICE_NAME);
}

TEST_F(Mci, PendingNotificationIsAbortedOrSupersededAsTheRealSequencerDoes) {
    Send("open \"" + TunePath() + "\" type sequencer alias midi");
    Send("play midi notify", window);
    Send("stop midi");
    Pass(2000);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{platform::MCI_NOTIFY_ABORTED}));
    EXPECT_EQ(received[0].lParam, 1);
    // Stopped at 0 ms plus nothing: playing on resumes where it stopped.
    Send("play midi notify", window);
    Pass(300);
    Send("play midi notify", window); // replaces the first; the tune plays on
    Pass(300);
    Send("seek midi to start");
    Send("play midi notify", window);
    Pass(300);
    Send("close midi");
    Pass(0);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{4, 2, 4, 4}));
    // Nothing more arrives once the device is gone.
    Pass(5000);
    EXPECT_EQ(received.size(), 4u);
}

TEST_F(Mci, StopKeepsThePositionAndPlayGoesOnFromThere) {
    Send("open \"" + TunePath() + "\" alias midi");
    Send("play midi notify", window);
    Pass(300);
    Send("stop midi");
    Pass(5000);
    EXPECT_EQ(Mode(), "stopped");
    Send("status midi position");
    EXPECT_STREQ(reply, "300");
    Send("play midi notify", window);
    Pass(699);
    EXPECT_EQ(Mode(), "playing");
    Pass(1);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{4, 1}));
    // At its end, playing again without a seek ends at once.
    Send("play midi notify", window);
    Pass(0);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{4, 1, 1}));
}

TEST_F(Mci, BadCommandsReturnErrorsAndOpenNothing) {
    using namespace platform;
    EXPECT_EQ(Send("open \"" + folder.string() + "/none.mid\" type sequencer alias midi"),
              MCIERR_FILE_NOT_FOUND);
    WriteBytes(folder / "noise.mid", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'});
    EXPECT_EQ(Send("open \"" + folder.string() + "/noise.mid\" type sequencer alias midi"),
              MCIERR_INVALID_FILE);
    EXPECT_EQ(Send("open \"" + folder.string() + "\" type sequencer alias midi"),
              MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(Send("status midi mode"), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_STREQ(reply, "");
    EXPECT_EQ(Send("stop midi"), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(Send("close midi"), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(Send("dance midi"), MCIERR_UNRECOGNIZED_COMMAND);
    EXPECT_EQ(Send(""), MCIERR_MISSING_COMMAND_STRING);
    EXPECT_EQ(mciSendStringA(nullptr, nullptr, 0, nullptr), MCIERR_MISSING_COMMAND_STRING);
    EXPECT_EQ(Send("play"), MCIERR_MISSING_DEVICE_NAME);
    EXPECT_EQ(Send("open \"" + TunePath() + " alias midi"), MCIERR_NO_CLOSING_QUOTE);
    EXPECT_EQ(Send("open \"" + TunePath() + "\" type waveaudio alias midi"),
              MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(Send("open \"" + folder.string() + "/music/tune.wav\" alias midi"),
              MCIERR_EXTENSION_NOT_FOUND);
    EXPECT_EQ(Send("open \"" + TunePath() + "\" type sequencer alias"), MCIERR_MISSING_PARAMETER);

    ASSERT_EQ(Send("open \"" + TunePath() + "\" type sequencer alias midi"), 0u);
    EXPECT_EQ(Send("open \"" + TunePath() + "\" type sequencer alias MIDI"),
              MCIERR_DUPLICATE_ALIAS);
    EXPECT_EQ(Send("play midi loudly"), MCIERR_UNRECOGNIZED_KEYWORD);
    EXPECT_EQ(Send("seek midi"), MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(Send("seek midi to later"), MCIERR_BAD_INTEGER);
    EXPECT_EQ(Send("seek midi to 1001"), MCIERR_OUTOFRANGE);
    EXPECT_EQ(Send("seek midi to 1000"), 0u);
    EXPECT_EQ(Send("status midi"), MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(Send("status midi colour"), MCIERR_UNRECOGNIZED_KEYWORD);
    char small[4];
    EXPECT_EQ(mciSendStringA("status midi mode", small, sizeof small, nullptr),
              MCIERR_PARAM_OVERFLOW);
    EXPECT_STREQ(small, "sto");
    // A second sequencer may open but not play while the first plays.
    ASSERT_EQ(Send("open \"" + TunePath() + "\" alias other"), 0u);
    EXPECT_STREQ(reply, "2");
    EXPECT_EQ(Send("seek midi to start"), 0u);
    EXPECT_EQ(Send("play midi"), 0u);
    EXPECT_EQ(Send("play other notify", window), MCIERR_SEQ_PORT_INUSE);
    EXPECT_EQ(Send("close other"), 0u);
    EXPECT_EQ(Mode(), "playing");
    Pass(5000);
    EXPECT_TRUE(received.empty()); // nothing asked for a notification
}

TEST_F(Mci, EveryCommandIsLoggedAsSent) {
    Send("open \"" + TunePath() + "\" type sequencer alias midi");
    Send("Play Midi");
    Send("bogus");
    const auto& log = platform::headless::MciLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "open \"" + TunePath() + "\" type sequencer alias midi");
    EXPECT_EQ(log[1], "Play Midi");
    EXPECT_EQ(log[2], "bogus");
    platform::headless::ClearMciLog();
    EXPECT_TRUE(platform::headless::MciLog().empty());
}

TEST_F(Mci, CommandWithNotifyThatEndsAtOnceIsAnsweredAtOnce) {
    Send("open \"" + TunePath() + "\" type sequencer alias midi notify", window);
    Send("seek midi to end notify", window);
    Send("close midi notify", window);
    Pass(0);
    EXPECT_EQ(Codes(), (std::vector<WPARAM>{1, 1, 1}));
}

} // namespace
