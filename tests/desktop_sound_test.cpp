// The sound device on the desktop backend, through SDL's disk audio driver,
// which writes what the device plays into a file: WAV files, the primary
// format, the alert beep, and running without a device.
#include "platform/backend.h"
#include "platform/win/held_file.h"
#include "platform/win/sound.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

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

class DesktopSound : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = NewPrivateFolder("/tmp/tessera-desktop-sound-");
        ASSERT_FALSE(folder.empty());
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (folder + "/played.raw").c_str(), 1);
    }
    static void TearDownTestSuite() {
        std::remove((folder + "/played.raw").c_str());
        std::remove((folder + "/tone.wav").c_str());
        std::remove(folder.c_str());
    }

    // What the device played, as the disk driver wrote it.
    static std::vector<std::uint8_t> Played() {
        std::ifstream in(folder + "/played.raw", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::vector<std::int16_t> Played16() {
        std::vector<std::uint8_t> bytes = Played();
        std::vector<std::int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
};

TEST_F(DesktopSound, AWaveFilePlaysToItsEndThroughTheDevice) {
    // A fifth of a second of a constant, 16-bit mono at 44100 Hz.
    std::vector<std::int16_t> data(8820, 8000);
    std::uint32_t bytes = static_cast<std::uint32_t>(data.size() * 2);
    std::uint32_t riff = 36 + bytes;
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    std::string path = folder + "/tone.wav";
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4).write(reinterpret_cast<char*>(&riff), 4).write("WAVEfmt ", 8);
    std::uint32_t formatSize = 16;
    out.write(reinterpret_cast<char*>(&formatSize), 4).write(reinterpret_cast<char*>(&format), 16);
    out.write("data", 4).write(reinterpret_cast<char*>(&bytes), 4);
    out.write(reinterpret_cast<char*>(data.data()), bytes);
    out.close();

    ASSERT_TRUE(sndPlaySoundA(path.c_str(), 0));
    // The default output: 16-bit stereo at 44100 Hz, every frame of the file
    // on both sides.
    std::vector<std::int16_t> played = Played16();
    int frames = 0;
    for (std::size_t i = 0; i + 1 < played.size(); i += 2)
        frames += played[i] == 8000 && played[i + 1] == 8000;
    EXPECT_EQ(frames, 8820);
}

TEST_F(DesktopSound, ThePrimaryFormatReopensTheDeviceInIt) {
    SoundDevice* device = nullptr;
    ASSERT_EQ(DirectSoundCreate(&device), DS_OK);
    DSBUFFERDESC primaryDescription{36, DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    SoundBuffer* primary = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&primaryDescription, &primary), DS_OK);
    WAVEFORMATEX mono8{WAVE_FORMAT_PCM, 1, 22050, 22050, 1, 8, 0};
    ASSERT_EQ(primary->SetFormat(&mono8), DS_OK);

    // A fifth of a second of 8-bit mono at 11025 Hz, at half scale.
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
    DSBUFFERDESC description{36, DSBCAPS_STATIC, 2205, 0, &format};
    SoundBuffer* voice = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&description, &voice), DS_OK);
    void* part = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(voice->Lock(0, 2205, &part, &bytes, nullptr, nullptr, 0), DS_OK);
    std::memset(part, 192, bytes);
    voice->Unlock(part, bytes, nullptr, 0);
    voice->Play(0, 0, 0);
    // Played to its end (within a minute); what the device mixed is written
    // out as it closes.
    DWORD status = DSBSTATUS_PLAYING;
    for (int wait = 0;
         wait < 6000 && voice->GetStatus(&status) == DS_OK && (status & DSBSTATUS_PLAYING); ++wait)
        usleep(10000);
    EXPECT_EQ(status & DSBSTATUS_PLAYING, 0u);
    device->Release();

    // One byte a frame at 22050 Hz: the file is in the new format.
    std::vector<std::uint8_t> played = Played();
    EXPECT_EQ(std::count(played.begin(), played.end(), 192), 4410);
    EXPECT_EQ(
        std::count_if(played.begin(), played.end(), [](int v) { return v != 192 && v != 128; }), 0);
}

// A game loads its sound objects while music loops: the device's thread mixes
// all the while (here as fast as it can), and every new buffer joins the list
// it walks. Buffers are made, and past the first 690 (69 objects of 10 mix
// buffers each) made and dropped again, until the device has mixed the music
// ten times over beside them.
TEST_F(DesktopSound, BuffersMadeWhileASoundLoopsLeaveTheMixerWhole) {
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    SoundDevice* device = nullptr;
    ASSERT_EQ(DirectSoundCreate(&device), DS_OK);
    unsetenv("SDL_DISKAUDIODELAY");
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    constexpr DWORD BYTES = 4410;
    auto make = [&](std::int16_t value) {
        std::vector<std::int16_t> data(BYTES / 2, value);
        DSBUFFERDESC description{36, DSBCAPS_STATIC, BYTES, 0, &format};
        SoundBuffer* voice = nullptr;
        EXPECT_EQ(device->CreateSoundBuffer(&description, &voice), DS_OK);
        void* part = nullptr;
        DWORD bytes = 0;
        if (voice && voice->Lock(0, BYTES, &part, &bytes, nullptr, nullptr, 0) == DS_OK) {
            std::memcpy(part, data.data(), bytes);
            voice->Unlock(part, bytes, nullptr, 0);
        }
        return voice;
    };
    SoundBuffer* music = make(5000);
    ASSERT_NE(music, nullptr);
    music->Play(0, 0, DSBPLAY_LOOPING);
    // Bytes of the music mixed: the play position's steps forward, which can
    // only undercount laps.
    long long mixed = 0;
    DWORD last = 0;
    const time_t deadline = time(nullptr) + 60;
    for (int made = 0; made < 690 || mixed < 10 * BYTES; ++made) {
        ASSERT_LT(time(nullptr), deadline)
            << "the device mixed " << mixed << " bytes of the music in a minute";
        SoundBuffer* voice = make(static_cast<std::int16_t>(made % 1000));
        ASSERT_NE(voice, nullptr);
        if (made >= 690) voice->Release();
        DWORD position = 0;
        music->GetCurrentPosition(&position, nullptr);
        mixed += (position + BYTES - last) % BYTES;
        last = position;
    }
    DWORD status = 0;
    music->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    device->Release();
    // Every mixed frame of the music is two frames of the stereo output at
    // twice its rate: four samples of 5000 for each of its two bytes.
    std::vector<std::int16_t> played = Played16();
    EXPECT_GE(std::count(played.begin(), played.end(), 5000), 2 * mixed);
}

TEST_F(DesktopSound, TheBeepIsAToneThroughTheDevice) {
    MessageBeep(0xFFFFFFFFu);
    std::vector<std::int16_t> played = Played16();
    ASSERT_FALSE(played.empty());
    int sounding = 0;
    for (std::size_t i = 0; i + 1 < played.size(); i += 2) {
        sounding += played[i] != 0;
        EXPECT_EQ(played[i], played[i + 1]);
    }
    // About 150 ms at 44100 Hz, swinging both ways.
    EXPECT_NEAR(sounding, 6615, 100);
    EXPECT_GT(*std::max_element(played.begin(), played.end()), 10000);
    EXPECT_LT(*std::min_element(played.begin(), played.end()), -10000);
}

TEST_F(DesktopSound, WithoutADriverThereIsNoDeviceAndSoundsFail) {
    setenv("SDL_AUDIODRIVER", "none-such", 1);
    SoundDevice* device = nullptr;
    EXPECT_EQ(DirectSoundCreate(&device), DSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
    EXPECT_FALSE(sndPlaySoundA((folder + "/tone.wav").c_str(), 0));
    MessageBeep(0xFFFFFFFFu); // falls back to the terminal's bell
    setenv("SDL_AUDIODRIVER", "disk", 1);
    ASSERT_EQ(DirectSoundCreate(&device), DS_OK);
    device->Release();
}

// A sound library failing to find its card says so in one line of ours, not in
// its own screenful.
TEST_F(DesktopSound, AMissingSoundCardIsReportedInOneLine) {
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    setenv("AUDIODEV", "hw:99", 1);
    testing::internal::CaptureStderr();
    SoundDevice* device = nullptr;
    const HRESULT first = DirectSoundCreate(&device);
    const HRESULT second = DirectSoundCreate(&device);
    const std::string said = testing::internal::GetCapturedStderr();
    unsetenv("AUDIODEV");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    EXPECT_EQ(first, DSERR_NODRIVER);
    EXPECT_EQ(second, DSERR_NODRIVER);
    EXPECT_EQ(said.find("ALSA lib"), std::string::npos) << said;
    EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

} // namespace
