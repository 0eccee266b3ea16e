// The sound device on the headless backend: voices of every PCM format mixed
// into memory as the clock advances, with their gains, pan, resampling, play
// modes, positions, locks, the primary format and the music source.
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/win/held_file.h"
#include "platform/win/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace platform;
namespace headless = platform::headless;

WAVEFORMATEX Pcm(WORD channels, DWORD rate, WORD bits) {
    WORD align = static_cast<WORD>(channels * bits / 8);
    return WAVEFORMATEX{WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

class Mixer : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::SetSoundDevicePresent(true);
        ASSERT_EQ(DirectSoundCreate(&device), DS_OK);
        DSBUFFERDESC primaryDescription{36, DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
        ASSERT_EQ(device->CreateSoundBuffer(&primaryDescription, &primary), DS_OK);
        headless::ClearSoundOutput();
    }
    void TearDown() override {
        SetMusicSource(nullptr);
        SetMusicVolume(0);
        if (device) device->Release();
    }

    // A voice whose frames hold `values` (one per channel per frame, 8-bit ones
    // unsigned), repeated `repeats` times.
    SoundBuffer* Voice(WORD channels, DWORD rate, WORD bits, const std::vector<int>& values,
                       int repeats = 1) {
        WAVEFORMATEX format = Pcm(channels, rate, bits);
        std::vector<std::uint8_t> bytes;
        for (int r = 0; r < repeats; ++r)
            for (int v : values) {
                bytes.push_back(static_cast<std::uint8_t>(v));
                if (bits == 16) bytes.push_back(static_cast<std::uint8_t>(v >> 8));
            }
        DSBUFFERDESC description{36, DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN,
                                 static_cast<DWORD>(bytes.size()), 0, &format};
        SoundBuffer* voice = nullptr;
        EXPECT_EQ(device->CreateSoundBuffer(&description, &voice), DS_OK);
        if (!voice) return nullptr;
        void* part = nullptr;
        DWORD size = 0;
        EXPECT_EQ(voice->Lock(0, description.dwBufferBytes, &part, &size, nullptr, nullptr, 0),
                  DS_OK);
        std::memcpy(part, bytes.data(), size);
        voice->Unlock(part, size, nullptr, 0);
        return voice;
    }

    // A voice of `frames` frames all holding `value`.
    SoundBuffer* Constant(WORD channels, DWORD rate, WORD bits, int value, int frames) {
        return Voice(channels, rate, bits, std::vector<int>(channels, value), frames);
    }

    static DWORD Position(SoundBuffer* voice) {
        DWORD play = 0;
        voice->GetCurrentPosition(&play, nullptr);
        return play;
    }
    static DWORD Status(SoundBuffer* voice) {
        DWORD status = 0;
        voice->GetStatus(&status);
        return status;
    }
    // Stereo output frames whose left sample is not silent.
    static int SoundingFrames() {
        std::vector<int> samples = headless::SoundSamples();
        int count = 0;
        for (std::size_t i = 0; i < samples.size(); i += 2) count += samples[i] != 0;
        return count;
    }

    SoundDevice* device = nullptr;
    SoundBuffer* primary = nullptr;
};

TEST_F(Mixer, EveryPcmFormatPlaysAtItsRateIntoTheDefaultOutput) {
    WAVEFORMATEX output{};
    ASSERT_EQ(primary->GetFormat(&output), DS_OK);
    EXPECT_EQ(output.nSamplesPerSec, 44100u);
    EXPECT_EQ(output.nChannels, 2);
    EXPECT_EQ(output.wBitsPerSample, 16);

    struct Case {
        WORD channels, bits;
        DWORD rate;
        int value, heard;
    };
    // A fifth of a second of a constant at each rate: the output holds the
    // value for a fifth of a second of output frames.
    for (Case c : {Case{1, 16, 8000, 10000, 10000}, Case{1, 16, 11025, -12000, -12000},
                   Case{2, 16, 22050, 9000, 9000}, Case{1, 8, 44100, 192, 16384},
                   Case{2, 8, 100000, 64, -16384}, Case{1, 16, 100, 3000, 3000}}) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.bits << " bits");
        headless::ClearSoundOutput();
        SoundBuffer* voice = Constant(c.channels, c.rate, c.bits, c.value, c.rate / 5);
        voice->Play(0, 0, 0);
        headless::AdvanceClock(400);
        std::vector<int> samples = headless::SoundSamples();
        ASSERT_EQ(samples.size(), 2u * 17640);
        EXPECT_EQ(samples[0], c.heard);
        EXPECT_EQ(samples[1], c.heard);
        EXPECT_EQ(samples[2 * 8819 + 1], c.heard);
        EXPECT_NEAR(SoundingFrames(), 8820, 1);
        voice->Release();
    }
}

TEST_F(Mixer, StereoVoicesKeepTheirSidesAndResamplingInterpolates) {
    SoundBuffer* stereo = Voice(2, 44100, 16, {8000, -8000}, 100);
    stereo->Play(0, 0, DSBPLAY_LOOPING);
    headless::AdvanceClock(1);
    std::vector<int> samples = headless::SoundSamples();
    ASSERT_EQ(samples.size(), 88u);
    EXPECT_EQ(samples[0], 8000);
    EXPECT_EQ(samples[1], -8000);
    stereo->Stop();

    // At half the output rate every other output frame lies between two frames.
    headless::ClearSoundOutput();
    SoundBuffer* slow = Voice(1, 22050, 16, {0, 1000, 0, -1000});
    slow->Play(0, 0, 0);
    headless::AdvanceClock(1);
    samples = headless::SoundSamples();
    std::vector<int> left;
    for (std::size_t i = 0; i < 16; i += 2) left.push_back(samples[i]);
    EXPECT_EQ(left, (std::vector<int>{0, 500, 1000, 500, 0, -500, -1000, -1000}));

    // Each side of a stereo voice from its own samples; looping, the last
    // frame leads into the first.
    headless::ClearSoundOutput();
    slow->Stop();
    SoundBuffer* sides = Voice(2, 22050, 16, {0, 4000, 1000, 2000, 0, 0, -1000, -2000});
    sides->Play(0, 0, DSBPLAY_LOOPING);
    headless::AdvanceClock(1);
    samples = headless::SoundSamples();
    EXPECT_EQ(std::vector<int>(samples.begin(), samples.begin() + 20),
              (std::vector<int>{0,    4000,  500,   3000,  1000, 2000, 500, 1000, 0,   0,
                                -500, -1000, -1000, -2000, -500, 1000, 0,   4000, 500, 3000}));
}

TEST_F(Mixer, VolumeAndPanAttenuateInHundredthsOfADecibel) {
    SoundBuffer* voice = Constant(1, 44100, 16, 20000, 4410);
    voice->Play(0, 0, DSBPLAY_LOOPING);
    ASSERT_EQ(voice->SetVolume(-600), DS_OK);
    headless::AdvanceClock(1);
    std::vector<int> samples = headless::SoundSamples();
    EXPECT_NEAR(samples[0], 10000, 100); // -6 dB is half the amplitude
    EXPECT_EQ(samples[0], samples[1]);

    long volume = 0;
    voice->GetVolume(&volume);
    EXPECT_EQ(volume, -600);
    voice->SetVolume(0);
    ASSERT_EQ(voice->SetPan(DSBPAN_LEFT), DS_OK);
    headless::ClearSoundOutput();
    headless::AdvanceClock(1);
    samples = headless::SoundSamples();
    EXPECT_EQ(samples[0], 20000);
    EXPECT_EQ(samples[1], 0);

    // Pan to the right by 6 dB halves the left and leaves the right whole; the
    // volume lowers both.
    voice->SetPan(600);
    voice->SetVolume(-600);
    headless::ClearSoundOutput();
    headless::AdvanceClock(1);
    samples = headless::SoundSamples();
    EXPECT_NEAR(samples[0], 5000, 50);
    EXPECT_NEAR(samples[1], 10000, 100);
    long pan = 0;
    voice->GetPan(&pan);
    EXPECT_EQ(pan, 600);

    voice->SetVolume(DSBVOLUME_MIN);
    headless::ClearSoundOutput();
    headless::AdvanceClock(1);
    EXPECT_EQ(SoundingFrames(), 0);
}

TEST_F(Mixer, DoublingTheFrequencyHalvesTheDuration) {
    SoundBuffer* voice = Constant(1, 22050, 16, 5000, 22050);
    DWORD frequency = 0;
    voice->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 22050u);
    ASSERT_EQ(voice->SetFrequency(44100), DS_OK);
    voice->Play(0, 0, 0);
    headless::AdvanceClock(490);
    EXPECT_EQ(Status(voice), DSBSTATUS_PLAYING);
    headless::AdvanceClock(20);
    EXPECT_EQ(Status(voice), 0u);
    EXPECT_EQ(Position(voice), 44100u);
    EXPECT_NEAR(SoundingFrames(), 22050, 1);
}

TEST_F(Mixer, PlayedOnceStopsAtTheEndWhileLoopingGoesRound) {
    SoundBuffer* once = Constant(1, 44100, 16, 100, 1000);
    SoundBuffer* loop = Constant(1, 44100, 16, 100, 1000);
    once->Play(0, 0, 0);
    loop->Play(0, 0, DSBPLAY_LOOPING);
    headless::AdvanceClock(10); // 441 frames
    EXPECT_EQ(Position(once), 882u);
    EXPECT_EQ(Status(once), DSBSTATUS_PLAYING);
    EXPECT_EQ(Status(loop), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    headless::AdvanceClock(20); // 1323 frames
    EXPECT_EQ(Position(once), 2000u);
    EXPECT_EQ(Status(once), 0u);
    EXPECT_EQ(Position(loop), 646u);

    // Stop keeps the position; Play goes on from it; SetCurrentPosition moves
    // it to a frame boundary.
    loop->Stop();
    headless::AdvanceClock(10);
    EXPECT_EQ(Position(loop), 646u);
    EXPECT_EQ(Status(loop), 0u);
    loop->Play(0, 0, 0);
    headless::AdvanceClock(5); // 220.5 frames
    EXPECT_EQ(Position(loop), 646u + 440);
    EXPECT_EQ(loop->SetCurrentPosition(1001), DS_OK);
    EXPECT_EQ(Position(loop), 1000u);
    EXPECT_EQ(loop->SetCurrentPosition(2001), DSERR_INVALIDPARAM);

    // At three quarters of the output rate, heard or muted, a voice played once
    // ends at its end and a looping one keeps its place lap after lap: a second
    // is 33075 of its frames.
    for (const long volume : {DSBVOLUME_MAX, DSBVOLUME_MIN}) {
        SoundBuffer* slowOnce = Constant(1, 33075, 16, 100, 100);
        SoundBuffer* slowLoop = Constant(1, 33075, 16, 100, 100);
        slowOnce->SetVolume(volume);
        slowLoop->SetVolume(volume);
        slowOnce->Play(0, 0, 0);
        slowLoop->Play(0, 0, DSBPLAY_LOOPING);
        headless::AdvanceClock(1000);
        EXPECT_EQ(Status(slowOnce), 0u) << volume;
        EXPECT_EQ(Position(slowOnce), 200u) << volume;
        EXPECT_EQ(Position(slowLoop), 2u * (33075 % 100)) << volume;
        slowOnce->Release();
        slowLoop->Release();
    }
}

TEST_F(Mixer, TheClockRendersItsTimeWithoutDrift) {
    for (int i = 0; i < 1000; ++i) headless::AdvanceClock(1);
    EXPECT_EQ(headless::SoundOutput().size(), 44100u * 4);
    headless::SetClock(1000000);
    headless::ClearSoundOutput();
    headless::SetClock(1000100);
    EXPECT_EQ(headless::SoundOutput().size(), 4410u * 4);
    headless::SetClock(1000050); // back: nothing to hear
    EXPECT_EQ(headless::SoundOutput().size(), 4410u * 4);
}

TEST_F(Mixer, LockGivesTwoPartsAtTheWrap) {
    SoundBuffer* voice = Constant(1, 44100, 16, 0, 500); // 1000 bytes
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    ASSERT_EQ(voice->Lock(800, 400, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
    EXPECT_EQ(bytes1, 200u);
    EXPECT_EQ(bytes2, 200u);
    ASSERT_NE(part2, nullptr);
    EXPECT_EQ(static_cast<std::uint8_t*>(part1) - static_cast<std::uint8_t*>(part2), 800);
    // The second part is the start of the data: what is written there plays first.
    std::int16_t first[100];
    for (auto& s : first) s = 1234;
    std::memcpy(part2, first, sizeof first);
    EXPECT_EQ(voice->Unlock(part1, bytes1, part2, bytes2), DS_OK);

    ASSERT_EQ(voice->Lock(0, 1000, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
    EXPECT_EQ(bytes1, 1000u);
    EXPECT_EQ(part2, nullptr);
    EXPECT_EQ(bytes2, 0u);
    EXPECT_EQ(voice->Lock(1000, 1, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->Lock(0, 1001, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->Lock(0, 0, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(primary->Lock(0, 4, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);

    voice->Play(0, 0, 0);
    headless::AdvanceClock(20);
    std::vector<int> samples = headless::SoundSamples();
    EXPECT_EQ(samples[0], 1234);
    EXPECT_EQ(samples[2 * 99], 1234);
    EXPECT_EQ(samples[2 * 100], 0);
}

TEST_F(Mixer, ThePrimaryFormatSetsWhatTheMixerProduces) {
    WAVEFORMATEX mono8 = Pcm(1, 22050, 8);
    ASSERT_EQ(primary->SetFormat(&mono8), DS_OK);
    WAVEFORMATEX now{};
    primary->GetFormat(&now);
    EXPECT_EQ(now.nSamplesPerSec, 22050u);
    EXPECT_EQ(now.nChannels, 1);
    EXPECT_EQ(now.wBitsPerSample, 8);
    // Silence in 8 bits is the middle of the range.
    headless::AdvanceClock(10);
    EXPECT_EQ(headless::SoundOutput(), std::vector<std::uint8_t>(220, 128));
    headless::ClearSoundOutput();

    // A stereo voice, full on the left and silent on the right, heard in mono
    // at half its level, as 8-bit samples at 22050 Hz.
    SoundBuffer* voice = Voice(2, 44100, 16, {16384, 0}, 44100);
    voice->Play(0, 0, 0);
    headless::AdvanceClock(100);
    ASSERT_EQ(headless::SoundOutput().size(), 2205u);
    EXPECT_EQ(headless::SoundOutput()[0], 128 + 32);

    for (WAVEFORMATEX bad : {Pcm(1, 7999, 16), Pcm(2, 48001, 16), Pcm(3, 22050, 16),
                             Pcm(2, 22050, 12), WAVEFORMATEX{3, 2, 44100, 352800, 8, 32, 0},
                             WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 44100, 176400, 2, 16, 0}})
        EXPECT_EQ(primary->SetFormat(&bad), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->SetFormat(&mono8), DSERR_INVALIDPARAM);
    WAVEFORMATEX stereo16 = Pcm(2, 48000, 16);
    EXPECT_EQ(primary->SetFormat(&stereo16), DS_OK);
    headless::AdvanceClock(10);
    EXPECT_EQ(headless::SoundOutput().size(), 480u * 4);
}

TEST_F(Mixer, BadDescriptionsAndControlsAreRefused) {
    SoundBuffer* buffer = nullptr;
    auto create = [&](DWORD flags, DWORD bytes, WAVEFORMATEX* format) {
        DSBUFFERDESC description{36, flags, bytes, 0, format};
        buffer = reinterpret_cast<SoundBuffer*>(1);
        HRESULT result = device->CreateSoundBuffer(&description, &buffer);
        EXPECT_EQ(buffer, nullptr);
        return result;
    };
    WAVEFORMATEX good = Pcm(2, 22050, 16);
    EXPECT_EQ(create(0, 0, &good), DSERR_INVALIDPARAM);
    EXPECT_EQ(create(0, 1002, &good), DSERR_INVALIDPARAM); // not whole frames
    EXPECT_EQ(create(0, 0x10000000, &good), DSERR_INVALIDPARAM);
    EXPECT_EQ(create(0, 1000, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(create(DSBCAPS_PRIMARYBUFFER, 1000, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(create(DSBCAPS_PRIMARYBUFFER, 0, &good), DSERR_INVALIDPARAM);
    for (WAVEFORMATEX bad :
         {Pcm(1, 99, 16), Pcm(1, 100001, 16), Pcm(0, 22050, 16), Pcm(3, 22050, 16),
          Pcm(1, 22050, 12), Pcm(1, 22050, 32), WAVEFORMATEX{2, 1, 22050, 11025, 1024, 4, 32},
          WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 22050, 0, 2, 16, 0}})
        EXPECT_EQ(create(0, 4096, &bad), DSERR_INVALIDPARAM);
    EXPECT_EQ(device->CreateSoundBuffer(nullptr, &buffer), DSERR_INVALIDPARAM);

    SoundBuffer* voice = Constant(1, 22050, 16, 0, 10);
    EXPECT_EQ(voice->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->SetPan(10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->SetPan(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->SetFrequency(100001), DSERR_INVALIDPARAM);
    EXPECT_EQ(voice->SetFrequency(100), DS_OK);
    EXPECT_EQ(voice->SetFrequency(100000), DS_OK);
}

TEST_F(Mixer, TheMusicSourceIsMixedAfterTheVoicesAndClipped) {
    int calls = 0;
    SetMusicSource([&calls](float* mix, int frames, int rate) {
        ++calls;
        EXPECT_EQ(rate, 44100);
        for (int i = 0; i < frames; ++i) {
            mix[2 * i] += 0.25f;
            mix[2 * i + 1] -= 0.25f;
        }
        return true;
    });
    SoundBuffer* voice = Constant(1, 44100, 16, 30000, 4410);
    voice->Play(0, 0, DSBPLAY_LOOPING);
    headless::AdvanceClock(10);
    EXPECT_GT(calls, 0);
    std::vector<int> samples = headless::SoundSamples();
    EXPECT_EQ(samples[0], 32767); // 30000 + 8192, clipped
    EXPECT_EQ(samples[1], 30000 - 8192);

    voice->Stop();
    headless::ClearSoundOutput();
    headless::AdvanceClock(1);
    samples = headless::SoundSamples();
    EXPECT_EQ(samples[0], 8192);
    EXPECT_EQ(samples[1], -8192);

    SetMusicSource(nullptr);
    headless::ClearSoundOutput();
    headless::AdvanceClock(1);
    EXPECT_EQ(SoundingFrames(), 0);
}

// A busy score is held below full scale, whatever its peaks, while a single
// line keeps its level; the music's own volume applies after that.
TEST_F(Mixer, TheMusicStaysBelowFullScaleAtItsVolume) {
    struct Case {
        float amplitude;
        long volume;
        int lowest, highest; // the output's peak
    };
    // Louder after softer: the limiter recovers over a fifth of a second, so a
    // single line after the loudest is back to nearly its level within half a second.
    for (Case c :
         {Case{0.5f, 0, 16384, 16384}, Case{0.8f, 0, 26214, 26215}, Case{0.5f, -600, 8200, 8230},
          Case{1.6f, 0, 28500, 29200}, Case{4.0f, 0, 28500, 29200}, Case{4.0f, -600, 14300, 14650},
          Case{4.0f, -10000, 0, 0}, Case{0.5f, 0, 15000, 16384}}) {
        SCOPED_TRACE(testing::Message() << c.amplitude << " at " << c.volume);
        ASSERT_EQ(SetMusicVolume(c.volume), DS_OK);
        // A 441 Hz sine, 2000 frames of it to a call.
        int phase = 0;
        SetMusicSource([&](float* mix, int frames, int) {
            for (int i = 0; i < frames; ++i, ++phase) {
                float v = c.amplitude * std::sin(static_cast<float>(phase) * 0.0628318f);
                mix[2 * i] += v;
                mix[2 * i + 1] += v;
            }
            return true;
        });
        headless::ClearSoundOutput();
        headless::AdvanceClock(500);
        std::vector<int> samples = headless::SoundSamples();
        ASSERT_FALSE(samples.empty());
        int peak = 0;
        for (int sample : samples) peak = std::max(peak, std::abs(sample));
        EXPECT_GE(peak, c.lowest);
        EXPECT_LE(peak, c.highest);
        EXPECT_TRUE(MusicSounding());
    }
    EXPECT_EQ(SetMusicVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(SetMusicVolume(-10001), DSERR_INVALIDPARAM);
    SetMusicVolume(0);
    SetMusicSource([](float*, int, int) { return false; });
    headless::AdvanceClock(10);
    EXPECT_FALSE(MusicSounding());
}

// The main thread's buffer calls never wait for the music: a busy score takes
// milliseconds to render.
TEST_F(Mixer, TheMusicRendersOutsideTheMixersLock) {
    SoundBuffer* voice = Constant(1, 44100, 16, 1000, 4410);
    voice->Play(0, 0, DSBPLAY_LOOPING);
    std::thread caller;
    std::promise<void> called;
    std::future<void> answered = called.get_future();
    bool inTime = false;
    SetMusicSource([&](float*, int, int) {
        if (!caller.joinable()) {
            caller = std::thread([&] {
                voice->SetVolume(-600);
                called.set_value();
            });
            inTime = answered.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        }
        return true;
    });
    headless::AdvanceClock(1);
    ASSERT_TRUE(caller.joinable());
    caller.join();
    EXPECT_TRUE(inTime);
}

TEST_F(Mixer, SystemSoundsPlayAWaveFileToItsEnd) {
    std::string folder = NewPrivateFolder("/tmp/tessera-sound-test-");
    ASSERT_FALSE(folder.empty());
    std::string path = folder + "/ding.wav";
    // 100 frames of 11025 Hz mono 8-bit, a byte of padding chunk before the data.
    std::vector<std::uint8_t> wav = {
        'R', 'I', 'F', 'F', 0, 0, 0,    0,    'W', 'A', 'V',  'E',  'f', 'm', 't', ' ', 16, 0,
        0,   0,   1,   0,   1, 0, 0x11, 0x2B, 0,   0,   0x11, 0x2B, 0,   0,   1,   0,   8,  0,
        'j', 'u', 'n', 'k', 1, 0, 0,    0,    0,   0,   'd',  'a',  't', 'a', 100, 0,   0,  0};
    wav.insert(wav.end(), 100, 192);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(wav.data(), 1, wav.size(), file);
    std::fclose(file);

    EXPECT_TRUE(sndPlaySoundA(path.c_str(), 0));
    EXPECT_FALSE(sndPlaySoundA((folder + "/missing.wav").c_str(), 0));
    EXPECT_EQ(headless::SystemSoundLog(),
              (std::vector<std::string>{path, folder + "/missing.wav"}));
    // 100 frames at 11025 Hz are 400 at 44100 Hz.
    EXPECT_EQ(headless::SoundSamples()[0], 16384);
    EXPECT_EQ(SoundingFrames(), 400);
    std::remove(path.c_str());
    std::remove(folder.c_str());
}

TEST_F(Mixer, BrokenWaveFilesAreRefusedOrPlayedAsFarAsTheyGo) {
    std::string folder = NewPrivateFolder("/tmp/tessera-sound-test-");
    ASSERT_FALSE(folder.empty());
    std::string path = folder + "/broken.wav";
    auto play = [&](std::vector<std::uint8_t> bytes) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return false;
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        headless::ClearSoundOutput();
        return sndPlaySoundA(path.c_str(), 0);
    };
    std::vector<std::uint8_t> header = {'R',  'I',  'F', 'F', 0,    0,    0, 0, 'W', 'A', 'V', 'E',
                                        'f',  'm',  't', ' ', 16,   0,    0, 0, 1,   0,   1,   0,
                                        0x44, 0xAC, 0,   0,   0x88, 0x58, 1, 0, 2,   0,   16,  0};
    auto with = [&](std::vector<std::uint8_t> tail) {
        std::vector<std::uint8_t> bytes = header;
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return bytes;
    };
    EXPECT_FALSE(play({}));
    EXPECT_FALSE(play({'R', 'I', 'F', 'F'}));
    EXPECT_FALSE(play(with({})));                               // no data chunk
    EXPECT_FALSE(play(with({'d', 'a', 't', 'a', 0, 0, 0, 0}))); // no data
    std::vector<std::uint8_t> twelveBits = with({'d', 'a', 't', 'a', 4, 0, 0, 0, 1, 2, 3, 4});
    twelveBits[34] = 12;
    EXPECT_FALSE(play(twelveBits));
    // A format chunk of 14 bytes is not read past its end, where the bits per
    // sample would be: here the next chunk's name.
    std::vector<std::uint8_t> shortFormat =
        with({'a', 'b', 0, 0, 0, 0, 'd', 'a', 't', 'a', 2, 0, 0, 0, 1, 2});
    shortFormat[16] = 14;
    EXPECT_FALSE(play(shortFormat));
    std::vector<std::uint8_t> hugeChunk = header;
    hugeChunk[16] = hugeChunk[17] = hugeChunk[18] = hugeChunk[19] = 0xFF;
    EXPECT_FALSE(play(hugeChunk));
    // A data chunk that claims more than the file holds plays what is there,
    // less the last frame cut in half.
    ASSERT_TRUE(play(with({'d', 'a', 't', 'a', 0xE8, 0x03, 0, 0, 0x10, 0x27, 0x10, 0x27, 0x10})));
    EXPECT_EQ(headless::SoundSamples()[0], 10000);
    EXPECT_EQ(SoundingFrames(), 2);
    std::remove(path.c_str());
    std::remove(folder.c_str());
}

TEST(MixerDevice, NoDeviceMeansNoDriverAndNoOutput) {
    headless::SetSoundDevicePresent(false);
    SoundDevice* device = reinterpret_cast<SoundDevice*>(1);
    EXPECT_EQ(DirectSoundCreate(&device), DSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
    EXPECT_FALSE(sndPlaySoundA("/nonexistent.wav", 0));
    headless::SetSoundDevicePresent(true);

    // Closed, the device renders nothing; buffers still alive go with it.
    ASSERT_EQ(DirectSoundCreate(&device), DS_OK);
    WAVEFORMATEX format = Pcm(1, 8000, 8);
    DSBUFFERDESC description{36, 0, 800, 0, &format};
    SoundBuffer* voice = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&description, &voice), DS_OK);
    voice->Play(0, 0, DSBPLAY_LOOPING);
    device->Release();
    headless::ClearSoundOutput();
    headless::AdvanceClock(100);
    EXPECT_TRUE(headless::SoundOutput().empty());
}

} // namespace
