// Standard MIDI Files (formats 0 and 1, also inside a RIFF "RMID" wrapper): the
// events of all tracks in playing order, timed in microseconds with every tempo
// change applied. No outside library; damaged files are read as far as they make
// sense, never outside the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

struct MidiEvent {
    std::uint64_t time; // microseconds from the start of the tune
    // A channel message (0x80..0xEF with its one or two data bytes) or a system
    // exclusive message (0xF0), whose bytes after F0 are `sysexLength` bytes of
    // MidiSong::sysex from `sysexOffset`.
    std::uint8_t status, data1, data2;
    std::uint32_t sysexOffset, sysexLength;
};

struct MidiSong {
    std::vector<MidiEvent> events; // in time order; equal times keep file order
    std::vector<std::uint8_t> sysex;
    std::uint64_t length = 0; // microseconds to the last event or end of track
    // Length in whole milliseconds, rounded up so that the last event lies within.
    std::uint32_t LengthMs() const;
};

// Larger files are not taken for MIDI files: no tune comes near.
constexpr std::size_t MIDI_FILE_LIMIT = 16u << 20;

// Reads a whole file held in memory. False (with `song` emptied) when it is not a
// MIDI file of format 0 or 1: no header, a bad header, no track.
bool ReadMidiFile(const unsigned char* data, std::size_t size, MidiSong& song);

} // namespace platform
