// The play-test's music: a Standard MIDI File (format 1) of a short cheerful
// tune for General MIDI, a whole number of bars long so that it loops cleanly.
#pragma once

#include <cstdint>
#include <vector>

namespace assets {

constexpr int kTuneBeatsPerMinute = 140;
constexpr int kTuneBars = 12; // of four beats: about 20.6 s

std::vector<std::uint8_t> TuneBytes();

} // namespace assets
