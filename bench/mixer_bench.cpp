// The sound mixer rendering 64 looping voices of every PCM format, with varied
// volume, pan and frequency, into 44.1 kHz 16-bit stereo in the desktop's
// callback-sized pieces. One iteration is one second of sound; core_percent is
// the CPU time that second takes, as a percentage of one core.
#include "platform/win/sound_mixer.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace platform;

constexpr int kVoices = 64;
constexpr int kCallbackFrames = 1024;

void Mixer64Voices(benchmark::State& state) {
    SoundDevice* device = nullptr;
    if (DirectSoundCreate(&device) != DS_OK) {
        state.SkipWithError("no sound device");
        return;
    }
    const DWORD rates[] = {11025, 22050, 44100, 48000};
    std::uint32_t noise = 12345;
    for (int i = 0; i < kVoices; ++i) {
        WORD channels = static_cast<WORD>(1 + i % 2);
        WORD bits = static_cast<WORD>(i / 2 % 2 ? 16 : 8);
        DWORD rate = rates[i / 4 % 4];
        WORD align = static_cast<WORD>(channels * bits / 8);
        WAVEFORMATEX format{WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
        // Between a third and a whole second of noise.
        DWORD bytes = (rate / 3 + static_cast<DWORD>(i) * rate / 96) * align;
        DSBUFFERDESC description{36, DSBCAPS_STATIC, bytes, 0, &format};
        SoundBuffer* voice = nullptr;
        if (device->CreateSoundBuffer(&description, &voice) != DS_OK) {
            state.SkipWithError("buffer refused");
            device->Release();
            return;
        }
        void* part = nullptr;
        DWORD locked = 0;
        voice->Lock(0, bytes, &part, &locked, nullptr, nullptr, 0);
        for (DWORD b = 0; b < locked; ++b) {
            noise = noise * 1103515245u + 12345u;
            static_cast<std::uint8_t*>(part)[b] = static_cast<std::uint8_t>(noise >> 16);
        }
        voice->Unlock(part, locked, nullptr, 0);
        voice->SetVolume(-(i * 37 % 2000));
        voice->SetPan((i * 613 % 8001) - 4000);
        voice->SetFrequency(rate / 2 + static_cast<DWORD>(i) * rate * 3 / 2 / kVoices);
        voice->Play(0, 0, DSBPLAY_LOOPING);
    }

    WAVEFORMATEX output{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    std::vector<std::int16_t> out(kCallbackFrames * 2);
    for (auto _ : state) {
        for (int done = 0; done < 44100; done += kCallbackFrames) {
            SoundMixer::Render(out.data(), std::min(kCallbackFrames, 44100 - done), output);
            benchmark::DoNotOptimize(out.data());
        }
    }
    // Rate of hundredths of a second of sound, inverted: CPU seconds per
    // second of sound, times 100.
    state.counters["core_percent"] =
        benchmark::Counter(static_cast<double>(state.iterations()) / 100.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    device->Release();
}
BENCHMARK(Mixer64Voices)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
