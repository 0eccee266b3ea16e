// MIDI music on the desktop backend: FluidSynth rendered by the mixer into SDL's
// disk audio driver, the end of the tune reaching the window through the event
// pump, and a missing sound font.
#include "platform/desktop/desktop.h"
#include "platform/win/held_file.h"
#include "platform/win/mci.h"
#include "platform/win/messages.h"
#include "platform/win/sound.h"
#include "tests/midi_writer.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace platform;

std::string folder;
std::vector<MSG> notifications;

LRESULT Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MM_MCINOTIFY) notifications.push_back(MSG{window, message, wParam, lParam});
    return 0;
}

class DesktopMidi : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = NewPrivateFolder("/tmp/tessera-desktop-midi-");
        ASSERT_FALSE(folder.empty());
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_RENDER_DRIVER", "software", 1);
        setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (folder + "/played.raw").c_str(), 1);
        // Four notes of a tenth of a second on a piano.
        Track notes;
        notes.Event(0, {0xC0, 0});
        for (std::uint8_t key : {60, 64, 67, 72})
            notes.Event(0, {0x90, key, 110}).Event(100, {0x80, key, 0});
        WriteBytes(folder + "/tune.mid", MidiFileBytes(0, 500, {notes.End(0)}));
        WriteBytes(folder + "/busy.mid", BusyScore(6000));
    }
    static void TearDownTestSuite() {
        for (const char* name : {"/played.raw", "/tune.mid", "/busy.mid"})
            std::remove((folder + name).c_str());
        std::remove(folder.c_str());
    }
    static std::vector<std::int16_t> Played() {
        std::ifstream in(folder + "/played.raw", std::ios::binary);
        std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        std::vector<std::int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
    // The device played at least the tune's 0.4 s, 16-bit stereo at `rate`,
    // and the notes are there.
    static void ExpectTuneHeard(unsigned rate) {
        const std::vector<std::int16_t> played = Played();
        EXPECT_GE(played.size(), 2u * rate * 4 / 10);
        int loudest = 0;
        for (std::int16_t sample : played) loudest = std::max(loudest, std::abs(int{sample}));
        EXPECT_GT(loudest, 1000);
    }
    // The end of a tune is told a little ahead of its last frame: what is
    // still to be heard plays out before the device closes.
    static void PlayOut() {
        for (int wait = 0; wait < 250 && MusicSounding(); ++wait) SDL_Delay(20);
    }
    std::string Open() const {
        return "open \"" + folder + "/tune.mid\" type sequencer alias midi";
    }
};

// First, while no synthesiser has been made in this process.
TEST_F(DesktopMidi, WithoutASoundFontTheOpenFailsQuietly) {
    desktop::UseSoundFonts({folder + "/missing.sf2", folder + "/tune.mid"});
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    DWORD error = mciSendStringA(Open().c_str(), nullptr, 0, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(error, MCIERR_SEQ_NOMIDIPRESENT);
    EXPECT_EQ(mciSendStringA("play midi", nullptr, 0, nullptr), MCIERR_INVALID_DEVICE_NAME);
}

TEST_F(DesktopMidi, TuneIsHeardThroughTheMixerAndItsEndReachesTheWindow) {
    desktop::UseSoundFonts({"/usr/share/sounds/sf2/TimGM6mb.sf2"});
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = Record;
    windowClass.lpszClassName = "DEFAULT";
    RegisterClass(windowClass);
    HWND window = CreateWindowEx(0, "DEFAULT", "Tessera", 0, 0, 0, 64, 64);
    ASSERT_NE(window, nullptr);
    SoundDevice* device = nullptr;
    ASSERT_EQ(DirectSoundCreate(&device), DS_OK);

    // The synthesiser loads its font without a word on the terminal.
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ASSERT_EQ(mciSendStringA(Open().c_str(), nullptr, 0, nullptr), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    char reply[32];
    mciSendStringA("status midi length", reply, sizeof reply, nullptr);
    EXPECT_STREQ(reply, "400");
    ASSERT_EQ(mciSendStringA("play midi notify", nullptr, 0, window), 0u);

    // The pump hands over the end of the tune; give up after ten seconds.
    for (int wait = 0; wait < 500 && notifications.empty(); ++wait) {
        SDL_Delay(20);
        MSG msg;
        while (PeekMessage(&msg)) DispatchMessage(&msg);
    }
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].wParam, MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(notifications[0].lParam, 1);
    mciSendStringA("status midi mode", reply, sizeof reply, nullptr);
    EXPECT_STREQ(reply, "stopped");
    mciSendStringA("close midi", nullptr, 0, nullptr);
    PlayOut();
    device->Release();

    ExpectTuneHeard(44100);
    DestroyWindow(window);
}

TEST_F(DesktopMidi, AtAnotherOutputRateTheTuneStillPlaysToItsEnd) {
    desktop::UseSoundFonts({"/usr/share/sounds/sf2/TimGM6mb.sf2"});
    SoundDevice* device = nullptr;
    ASSERT_EQ(DirectSoundCreate(&device), DS_OK);
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    SoundBuffer* primary = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&description, &primary), DS_OK);
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
    ASSERT_EQ(primary->SetFormat(&format), DS_OK);
    ASSERT_EQ(mciSendStringA(Open().c_str(), nullptr, 0, nullptr), 0u);
    ASSERT_EQ(mciSendStringA("play midi", nullptr, 0, nullptr), 0u);
    char mode[32] = "playing";
    for (int wait = 0; wait < 500 && std::strcmp(mode, "playing") == 0; ++wait) {
        SDL_Delay(20);
        mciSendStringA("status midi mode", mode, sizeof mode, nullptr);
    }
    EXPECT_STREQ(mode, "stopped");
    mciSendStringA("close midi", nullptr, 0, nullptr);
    PlayOut();
    device->Release();
    ExpectTuneHeard(22050);
}

// A full score is held below full scale, and a single line keeps its level.
TEST_F(DesktopMidi, AFullScoreDoesNotClipWhileALineKeepsItsLevel) {
    desktop::UseSoundFonts({"/usr/share/sounds/sf2/TimGM6mb.sf2"});
    struct Case {
        const char* tune;
        int lowest, highest; // the loudest sample
    };
    for (Case c : {Case{"tune.mid", 4000, 4900}, Case{"busy.mid", 25000, 29200}}) {
        SCOPED_TRACE(c.tune);
        // Rendered as fast as the synthesiser goes.
        setenv("SDL_DISKAUDIODELAY", "0", 1);
        SoundDevice* device = nullptr;
        ASSERT_EQ(DirectSoundCreate(&device), DS_OK);
        unsetenv("SDL_DISKAUDIODELAY");
        const std::string open = "open \"" + folder + "/" + c.tune + "\" type sequencer alias midi";
        ASSERT_EQ(mciSendStringA(open.c_str(), nullptr, 0, nullptr), 0u);
        ASSERT_EQ(mciSendStringA("play midi", nullptr, 0, nullptr), 0u);
        char mode[32] = "playing";
        for (int wait = 0; wait < 6000 && std::strcmp(mode, "playing") == 0; ++wait) {
            SDL_Delay(10);
            mciSendStringA("status midi mode", mode, sizeof mode, nullptr);
        }
        EXPECT_STREQ(mode, "stopped");
        mciSendStringA("close midi", nullptr, 0, nullptr);
        PlayOut();
        device->Release();
        const std::vector<std::int16_t> played = Played();
        int loudest = 0;
        for (std::int16_t sample : played) loudest = std::max(loudest, std::abs(int{sample}));
        EXPECT_GE(loudest, c.lowest);
        EXPECT_LE(loudest, c.highest);
    }
}

} // namespace
