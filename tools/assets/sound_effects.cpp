#include "tools/assets/sound_effects.h"

#include "tools/assets/shading.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace assets {

namespace {

using Signal = std::vector<double>;

// Loudest sample, as a fraction of full scale: about -3 dB, leaving room for
// the mixer to add effects together.
constexpr double kPeak = 0.7;

int Samples(double seconds) { return static_cast<int>(seconds * kEffectRate); }

// A wave of changing frequency: `hz(t)` at time t seconds, `shape(phase)` for
// a phase in cycles (0..1), scaled by `level(t)`.
Signal Tone(double seconds, const std::function<double(double)>& hz,
            const std::function<double(double)>& shape,
            const std::function<double(double)>& level) {
    Signal out(Samples(seconds));
    double phase = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kEffectRate;
        out[i] = shape(phase) * level(t);
        phase = std::fmod(phase + hz(t) / kEffectRate, 1.0);
    }
    return out;
}

double Sine(double phase) { return std::sin(2 * std::numbers::pi * phase); }
// A square with its edges softened, less harsh than a hard one at this rate.
double Square(double phase) { return std::tanh(4 * Sine(phase)); }
double Triangle(double phase) { return 4 * std::abs(phase - 0.5) - 1; }

// Adds `b` into `a` from sample `at` on, growing `a` as needed.
void MixInto(Signal& a, const Signal& b, std::size_t at = 0) {
    a.resize(std::max(a.size(), at + b.size()));
    for (std::size_t i = 0; i < b.size(); ++i) a[at + i] += b[i];
}

// Rising chirp, from a low to a high square tone with a quick fade.
Signal Jump() {
    return Tone(
        0.22, [](double t) { return 260 * std::pow(3.6, t / 0.22); }, Square,
        [](double t) { return std::min(1.0, t / 0.005) * (1 - t / 0.22); });
}

// A low sine thump dropping in pitch, and a click of noise at its start.
Signal Stomp() {
    Signal out = Tone(
        0.16, [](double t) { return 50 + 130 * std::exp(-t / 0.03); }, Sine,
        [](double t) { return std::min(1.0, t / 0.002) * std::exp(-t / 0.05); });
    for (int i = 0; i < Samples(0.012); ++i) {
        const double noise = Pick(2001, i, 7) / 1000.0 - 1;
        out[i] += 0.6 * noise * std::exp(-i / (0.003 * kEffectRate));
    }
    return out;
}

// A long falling triangle tone with a wobble, fading out.
Signal Miss() {
    return Tone(
        0.7,
        [](double t) {
            return (620 - 470 * t / 0.7) * (1 + 0.04 * std::sin(2 * std::numbers::pi * 9 * t));
        },
        Triangle, [](double t) { return std::min(1.0, t / 0.01) * (1 - t / 0.7); });
}

// Up the major chord in quick square notes, the top one held longer.
Signal Clear() {
    const double notes[] = {523.25, 659.25, 783.99, 1046.5}; // C, E, G, C
    Signal out;
    for (int n = 0; n < 4; ++n) {
        const double length = n == 3 ? 0.34 : 0.09;
        const Signal note = Tone(
            length, [&](double) { return notes[n]; }, Square,
            [&](double t) { return std::min(1.0, t / 0.004) * std::exp(-t / (length * 0.6)); });
        MixInto(out, note, Samples(0.08) * n);
    }
    return out;
}

// Scales to the common peak, fades the last few milliseconds to silence so
// that no effect ends in a click, and rounds to 16 bits.
std::vector<std::int16_t> Finish(Signal signal) {
    double peak = 0;
    for (double v : signal) peak = std::max(peak, std::abs(v));
    const int fade = Samples(0.004);
    std::vector<std::int16_t> out(signal.size());
    for (std::size_t i = 0; i < signal.size(); ++i) {
        const std::size_t left = signal.size() - i;
        const double tail = left < static_cast<std::size_t>(fade) ? double(left) / fade : 1.0;
        out[i] = static_cast<std::int16_t>(std::lround(signal[i] / peak * kPeak * tail * 32767));
    }
    return out;
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<SoundEffect> SynthesiseEffects() {
    return {{"JUMP.WAV", Finish(Jump())},
            {"STOMP.WAV", Finish(Stomp())},
            {"MISS.WAV", Finish(Miss())},
            {"CLEAR.WAV", Finish(Clear())}};
}

std::vector<std::uint8_t> WaveFileBytes(const std::vector<std::int16_t>& samples) {
    const auto data = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out{'R', 'I', 'F', 'F'};
    Put(out, 36 + data, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put(out, 16, 4);
    Put(out, 1, 2); // PCM
    Put(out, 1, 2); // mono
    Put(out, kEffectRate, 4);
    Put(out, kEffectRate * 2, 4); // bytes a second
    Put(out, 2, 2);               // bytes a frame
    Put(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put(out, data, 4);
    for (std::int16_t s : samples) Put(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

} // namespace assets
