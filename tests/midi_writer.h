// Small Standard MIDI Files built in memory for the tests.
#pragma once

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

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
