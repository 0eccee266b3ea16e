// Small Standard MIDI Files built in memory for the tests.
#pragma once

#include "tools/assets/midi_writer.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using smf::Bytes;
using smf::MidiFileBytes;
using smf::Track;

// A tune of one note (middle C on a piano) lasting `ms` milliseconds: 500 ticks
// per quarter note at the default tempo make a tick one millisecond.
inline Bytes OneNoteTune(std::uint32_t ms) {
    return MidiFileBytes(
        0, 500,
        {Track().Event(0, {0xC0, 0}).Event(0, {0x90, 60, 100}).Event(ms, {0x80, 60, 0}).End(0)});
}

// A busy score of `ms` milliseconds, at one tick a millisecond: piano, strings,
// brass and organ in loud chords that change every half second, with kick,
// snare, hi-hat and a crash on every bar.
inline Bytes BusyScore(std::uint32_t ms) {
    std::vector<smf::Timed> events;
    const std::uint8_t programs[4] = {0, 48, 61, 19};
    for (std::uint8_t channel = 0; channel < 4; ++channel)
        events.push_back({0, {std::uint8_t(0xC0 | channel), programs[channel]}});
    // Triads on C, F, G and C again, in three registers.
    const std::uint8_t roots[4] = {60, 65, 67, 60};
    for (std::uint32_t at = 0, chord = 0; at + 500 <= ms; at += 500, ++chord) {
        const std::uint8_t root = roots[chord % 4];
        for (std::uint8_t channel = 0; channel < 4; ++channel)
            for (int step : {-12, 0, 4, 7}) {
                const auto key = std::uint8_t(root + step - 12 * (channel == 3));
                events.push_back({at, {std::uint8_t(0x90 | channel), key, 127}});
                events.push_back({at + 480, {std::uint8_t(0x80 | channel), key, 0}});
            }
    }
    for (std::uint32_t at = 0; at + 125 <= ms; at += 125) {
        events.push_back({at, {0x99, 42, 127}});
        if (at % 500 == 0) events.push_back({at, {0x99, 36, 127}});
        if (at % 500 == 250) events.push_back({at, {0x99, 38, 127}});
        if (at % 2000 == 0) events.push_back({at, {0x99, 49, 127}});
    }
    return MidiFileBytes(0, 500, {smf::TrackOf(events, ms)});
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
