// The software mixer: voices resampled by linear interpolation to the output
// rate, scaled by their gains and summed in float stereo, then the music source
// held below full scale and set to its level, then clipped into the output format.
#include "platform/win/sound_mixer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <utility>

namespace platform {

namespace {

// The music source and its level, guarded by the lock.
std::function<bool(float*, int, int)> musicSource;
float musicGain = 1.0f;
std::atomic<bool> musicSounding{false};

constexpr int kBlockFrames = 256;
constexpr float kFraction = 1.0f / 4294967296.0f;

// One sample as a float of full scale 128 (8 bits) or 32768 (16 bits); the
// gains carry the scale back to 1.0.
inline float Sample(std::uint8_t value) { return static_cast<float>(value) - 128.0f; }
inline float Sample(std::int16_t value) { return static_cast<float>(value); }

// Mixes `count` output frames from frames `at` and `at + 1` of `data` onward,
// all of which the caller has checked lie inside it.
template <class T, int Channels>
std::uint64_t MixInside(const T* data, std::uint64_t position, std::uint64_t step, int count,
                        float left, float right, float* mix) {
    for (int k = 0; k < count; ++k) {
        const T* at = data + (position >> 32) * Channels;
        float f = static_cast<float>(static_cast<std::uint32_t>(position)) * kFraction;
        float a = Sample(at[0]);
        float l = a + (Sample(at[Channels]) - a) * f;
        float r = l;
        if constexpr (Channels == 2) {
            float b = Sample(at[1]);
            r = b + (Sample(at[3]) - b) * f;
        }
        mix[2 * k] += l * left;
        mix[2 * k + 1] += r * right;
        position += step;
    }
    return position;
}

// The last frame, interpolated toward `next` (frame 0 when looping, itself when not).
template <class T, int Channels>
void MixLast(const T* last, const T* next, std::uint64_t position, float left, float right,
             float* mix) {
    float f = static_cast<float>(static_cast<std::uint32_t>(position)) * kFraction;
    float a = Sample(last[0]);
    float l = a + (Sample(next[0]) - a) * f;
    float r = l;
    if constexpr (Channels == 2) {
        float b = Sample(last[1]);
        r = b + (Sample(next[1]) - b) * f;
    }
    mix[0] += l * left;
    mix[1] += r * right;
}

// Mixes one voice for `count` frames; returns false when it played to its end.
template <class T, int Channels>
bool MixFormat(const T* data, std::uint32_t frames, bool looping, std::uint64_t& position,
               std::uint64_t step, int count, float left, float right, float* mix) {
    const std::uint64_t end = static_cast<std::uint64_t>(frames) << 32;
    const std::uint64_t lastStart = end - (std::uint64_t{1} << 32);
    int k = 0;
    while (k < count) {
        if (position >= end) {
            if (!looping) {
                position = end;
                return false;
            }
            position %= end;
        }
        if (position < lastStart) {
            // Frames whose next frame is inside the data, in one run.
            std::uint64_t run = (lastStart - position + step - 1) / step;
            int n = static_cast<int>(std::min<std::uint64_t>(run, count - k));
            position = MixInside<T, Channels>(data, position, step, n, left, right, mix + 2 * k);
            k += n;
            continue;
        }
        const T* last = data + (frames - 1) * std::size_t{Channels};
        MixLast<T, Channels>(last, looping ? data : last, position, left, right, mix + 2 * k);
        position += step;
        ++k;
    }
    return true;
}

// Holds the music below full scale: the gain drops at once to what keeps a
// frame under the ceiling and recovers over a fifth of a second, so a single
// line (far below the ceiling) passes untouched and a full score never clips.
class MusicLimiter {
  public:
    void Apply(float* music, int frames, int rate) {
        const float recovery =
            1.0f - std::exp(-1.0f / (kRecoverySeconds * static_cast<float>(rate)));
        for (int i = 0; i < 2 * frames; i += 2) {
            float peak = std::max(std::abs(music[i]), std::abs(music[i + 1]));
            float needed = peak > kCeiling ? kCeiling / peak : 1.0f;
            gain = std::min(needed, gain + (1.0f - gain) * recovery);
            music[i] *= gain;
            music[i + 1] *= gain;
        }
    }

  private:
    static constexpr float kCeiling = 0.89f; // -1 dB
    static constexpr float kRecoverySeconds = 0.2f;
    float gain = 1.0f;
};

// The music's limiter, used by the one mixing thread.
MusicLimiter musicLimiter;

// Writes the float stereo mix into the output format, clipped to its range.
void Convert(const float* mix, int frames, const WAVEFORMATEX& format, void* out) {
    bool mono = format.nChannels == 1;
    int samples = frames * format.nChannels;
    for (int i = 0; i < samples; ++i) {
        float v = mono ? (mix[2 * i] + mix[2 * i + 1]) * 0.5f : mix[i];
        if (format.wBitsPerSample == 16) {
            float s = std::clamp(v * 32768.0f, -32768.0f, 32767.0f);
            static_cast<std::int16_t*>(out)[i] =
                static_cast<std::int16_t>(s < 0 ? s - 0.5f : s + 0.5f);
        } else {
            float s = std::clamp(v * 128.0f + 128.0f, 0.0f, 255.0f);
            static_cast<std::uint8_t*>(out)[i] = static_cast<std::uint8_t>(s + 0.5f);
        }
    }
}

} // namespace

void SoundMixer::MixVoice(SoundBuffer& voice, float* mix, int frames, std::uint32_t rate) {
    std::uint64_t step = (static_cast<std::uint64_t>(voice.frequency) << 32) / rate;
    float scale = voice.format.wBitsPerSample == 8 ? 1.0f / 128.0f : 1.0f / 32768.0f;
    float left = voice.gainLeft * scale;
    float right = voice.gainRight * scale;
    bool going = true;
    if (left == 0.0f && right == 0.0f) {
        // Silent: the position moves on without reading the data.
        std::uint64_t end = static_cast<std::uint64_t>(voice.frames) << 32;
        voice.position += step * static_cast<std::uint64_t>(frames);
        if (voice.position >= end) {
            going = voice.looping;
            voice.position = going ? voice.position % end : end;
        }
    } else {
        const std::uint8_t* data = voice.data.data();
        auto* data16 = reinterpret_cast<const std::int16_t*>(data);
        bool stereo = voice.format.nChannels == 2;
        std::uint32_t n = voice.frames;
        bool loop = voice.looping;
        std::uint64_t& at = voice.position;
        if (voice.format.wBitsPerSample == 8)
            going =
                stereo
                    ? MixFormat<std::uint8_t, 2>(data, n, loop, at, step, frames, left, right, mix)
                    : MixFormat<std::uint8_t, 1>(data, n, loop, at, step, frames, left, right, mix);
        else
            going = stereo ? MixFormat<std::int16_t, 2>(data16, n, loop, at, step, frames, left,
                                                        right, mix)
                           : MixFormat<std::int16_t, 1>(data16, n, loop, at, step, frames, left,
                                                        right, mix);
    }
    if (!going) voice.playing = false;
}

void SoundMixer::Render(void* out, int frames, const WAVEFORMATEX& format) {
    float mix[2 * kBlockFrames];
    float music[2 * kBlockFrames];
    auto* bytes = static_cast<std::uint8_t*>(out);
    const int rate = static_cast<int>(format.nSamplesPerSec);
    std::function<bool(float*, int, int)> source;
    float gain;
    {
        std::lock_guard<std::mutex> hold(SoundLock());
        source = musicSource;
        gain = musicGain;
        bool silent = !source && std::none_of(SoundBuffers().begin(), SoundBuffers().end(),
                                              [](SoundBuffer* voice) { return voice->playing; });
        if (silent) {
            std::memset(out, format.wBitsPerSample == 8 ? 0x80 : 0,
                        static_cast<std::size_t>(frames) * format.nBlockAlign);
            musicSounding = false;
            return;
        }
    }
    bool sounding = false;
    for (int done = 0; done < frames;) {
        int n = std::min(kBlockFrames, frames - done);
        std::fill(mix, mix + 2 * n, 0.0f);
        {
            std::lock_guard<std::mutex> hold(SoundLock());
            for (SoundBuffer* voice : SoundBuffers())
                if (voice->playing) MixVoice(*voice, mix, n, format.nSamplesPerSec);
        }
        if (source) {
            std::fill(music, music + 2 * n, 0.0f);
            if (source(music, n, rate)) sounding = true;
            musicLimiter.Apply(music, n, rate);
            for (int i = 0; i < 2 * n; ++i) mix[i] += music[i] * gain;
        }
        Convert(mix, n, format, bytes + static_cast<std::size_t>(done) * format.nBlockAlign);
        done += n;
    }
    musicSounding = sounding;
}

float Gain(long hundredths) {
    if (hundredths <= DSBVOLUME_MIN) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

void SetMusicSource(std::function<bool(float* mix, int frames, int rate)> source) {
    std::lock_guard<std::mutex> hold(SoundLock());
    musicSource = std::move(source);
}

HRESULT SetMusicVolume(long volume) {
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(SoundLock());
    musicGain = Gain(volume);
    return DS_OK;
}

bool MusicSounding() { return musicSounding; }

} // namespace platform
