// The play-test's sound effects, synthesised as 16-bit mono samples, and the
// WAV file that holds them.
#pragma once

#include <cstdint>
#include <vector>

namespace assets {

constexpr int kEffectRate = 22050;

struct SoundEffect {
    const char* file; // the WAV file's name, also its record name in the pack
    std::vector<std::int16_t> samples;
};

// Jump, stomp, miss and clear.
std::vector<SoundEffect> SynthesiseEffects();

// A PCM WAV file of the samples at kEffectRate.
std::vector<std::uint8_t> WaveFileBytes(const std::vector<std::int16_t>& samples);

} // namespace assets
