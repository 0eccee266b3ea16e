// Standard MIDI Files built in memory: tracks of timed events and the file
// around them. Used by the asset generator for the play-test tune and by the
// tests for their small tunes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace smf {

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

// An event at an absolute time in ticks.
struct Timed {
    std::uint32_t time;
    Bytes event;
};

// The events in time order (equal times keep their order), ended at `end`,
// which lies at or after the last event.
inline Track TrackOf(std::vector<Timed> events, std::uint32_t end) {
    std::stable_sort(events.begin(), events.end(),
                     [](const Timed& a, const Timed& b) { return a.time < b.time; });
    Track track;
    std::uint32_t now = 0;
    for (const Timed& timed : events) {
        track.Quantity(timed.time - now);
        track.bytes.insert(track.bytes.end(), timed.event.begin(), timed.event.end());
        now = timed.time;
    }
    return track.End(end - now);
}

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

} // namespace smf
