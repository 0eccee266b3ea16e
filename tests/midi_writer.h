// Small Standard MIDI Files built in memory for the tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// One track's bytes: events with their delta times.
struct Track {
    Bytes bytes;
    Track& Event(std::uint32_t delta, std::initializer_list<std::uint8_t> data) {
        Quantity(delta);
        bytes.insert(bytes.end(), data);
        return *this;
    }
    Track& Tempo(std::uint32_t delta, std::uint32_t usPerQuarter) {
        return Event(delta, {0xFF, 0x51, 3, std::uint8_t(usPerQuarter >> 16),
                             std::uint8_t(usPerQuarter >> 8), std::uint8_t(usPerQuarter)});
    }
    Track& End(std::uint32_t delta) { return Event(delta, {0xFF, 0x2F, 0}); }
    void Quantity(std::uint32_t value) {
        Bytes groups{std::uint8_t(value & 0x7F)};
        while (value >>= 7) groups.insert(groups.begin(), std::uint8_t(0x80 | (value & 0x7F)));
        bytes.insert(bytes.end(), groups.begin(), groups.end());
    }
};

inline void BigEndian(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(std::uint8_t(value >> (8 * i)));
}

inline Bytes MidiFileBytes(int format, std::uint16_t division, const std::vector<Track>& tracks) {
    Bytes out{'M', 'T', 'h', 'd'};
    BigEndian(out, 6, 4);
    BigEndian(out, format, 2);
    BigEndian(out, static_cast<std::uint32_t>(tracks.size()), 2);
    BigEndian(out, division, 2);
    for (const Track& track : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        BigEndian(out, static_cast<std::uint32_t>(track.bytes.size()), 4);
        out.insert(out.end(), track.bytes.begin(), track.bytes.end());
    }
    return out;
}

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
    struct Timed {
        std::uint32_t time;
        Bytes event;
    };
    std::vector<Timed> events;
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
    std::stable_sort(events.begin(), events.end(),
                     [](const Timed& a, const Timed& b) { return a.time < b.time; });
    Track track;
    std::uint32_t now = 0;
    for (const Timed& timed : events) {
        track.Quantity(timed.time - now);
        track.bytes.insert(track.bytes.end(), timed.event.begin(), timed.event.end());
        now = timed.time;
    }
    return MidiFileBytes(0, 500, {track.End(ms - now)});
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
