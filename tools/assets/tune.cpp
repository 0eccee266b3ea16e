#include "tools/assets/tune.h"

#include "tools/assets/midi_writer.h"

namespace assets {

namespace {

constexpr std::uint32_t kQuarter = 480, kEighth = kQuarter / 2, kBar = 4 * kQuarter;
constexpr std::uint32_t kEnd = kTuneBars * kBar;
constexpr std::uint8_t kLead = 0, kBass = 1, kDrums = 9;

// A melody note: its key (0 rests) and its length in eighths.
struct Note {
    std::uint8_t key, eighths;
};

// Twelve bars over C G Am F | C G F G | F G C G; the last bar leads back to
// the first.
const Note kMelody[] = {
    {72, 1}, {76, 1}, {79, 2}, {76, 1}, {79, 1}, {84, 2}, // C
    {83, 2}, {79, 1}, {74, 1}, {79, 2}, {71, 2},          // G
    {81, 1}, {79, 1}, {76, 2}, {72, 1}, {76, 1}, {81, 2}, // Am
    {77, 2}, {81, 1}, {77, 1}, {72, 3}, {0, 1},           // F
    {72, 1}, {76, 1}, {79, 2}, {76, 1}, {79, 1}, {84, 2}, // C
    {86, 2}, {83, 1}, {79, 1}, {74, 2}, {79, 2},          // G
    {81, 1}, {81, 1}, {77, 1}, {81, 1}, {84, 2}, {81, 2}, // F
    {79, 3}, {77, 1}, {76, 1}, {74, 1}, {71, 2},          // G
    {77, 1}, {81, 1}, {84, 2}, {81, 1}, {77, 1}, {72, 2}, // F
    {74, 1}, {79, 1}, {83, 2}, {79, 1}, {74, 1}, {71, 2}, // G
    {76, 1}, {79, 1}, {84, 2}, {83, 1}, {81, 1}, {79, 2}, // C
    {74, 2}, {77, 1}, {76, 1}, {74, 2}, {71, 1}, {0, 1},  // G
};

// The bass root of each bar.
const std::uint8_t kRoots[kTuneBars] = {36, 43, 45, 41, 36, 43, 41, 43, 41, 43, 36, 43};

void Play(std::vector<smf::Timed>& events, std::uint8_t channel, std::uint32_t at,
          std::uint32_t length, std::uint8_t key, std::uint8_t velocity) {
    events.push_back({at, {std::uint8_t(0x90 | channel), key, velocity}});
    events.push_back({at + length, {std::uint8_t(0x80 | channel), key, 0}});
}

smf::Track Conductor() {
    constexpr std::uint32_t us = 60000000 / kTuneBeatsPerMinute; // a quarter
    // 4/4, a metronome click a quarter, eight 32nds a quarter; the tempo.
    return smf::TrackOf(
        {{0, {0xFF, 0x58, 4, 4, 2, 24, 8}},
         {0, {0xFF, 0x51, 3, std::uint8_t(us >> 16), std::uint8_t(us >> 8), std::uint8_t(us)}}},
        kEnd);
}

// Square lead, notes a little short of their length for a bouncy feel,
// stressed on the beat.
smf::Track Melody() {
    std::vector<smf::Timed> events{{0, {0xC0 | kLead, 80}}};
    std::uint32_t at = 0;
    for (const auto& [key, eighths] : kMelody) {
        const std::uint32_t length = eighths * kEighth;
        if (key) Play(events, kLead, at, length * 7 / 8, key, at % kQuarter ? 88 : 108);
        at += length;
    }
    return smf::TrackOf(events, kEnd);
}

// Synth bass in eighths around the root: root, root, octave, root, fifth,
// root, octave, fifth.
smf::Track Bass() {
    std::vector<smf::Timed> events{{0, {0xC0 | kBass, 38}}};
    const int steps[8] = {0, 0, 12, 0, 7, 0, 12, 7};
    for (int bar = 0; bar < kTuneBars; ++bar)
        for (int e = 0; e < 8; ++e)
            Play(events, kBass, bar * kBar + e * kEighth, kEighth * 3 / 4,
                 std::uint8_t(kRoots[bar] + steps[e]), e % 2 ? 84 : 100);
    return smf::TrackOf(events, kEnd);
}

// Kick on one and three, snare on two and four, closed hi-hat on every
// eighth, a crash every four bars, and a snare run into the loop.
smf::Track Drums() {
    constexpr std::uint8_t kKick = 36, kSnare = 38, kHat = 42, kCrash = 49;
    std::vector<smf::Timed> events;
    const std::uint32_t hit = kEighth / 2;
    for (int bar = 0; bar < kTuneBars; ++bar) {
        const std::uint32_t start = bar * kBar;
        for (int e = 0; e < 8; ++e) Play(events, kDrums, start + e * kEighth, hit, kHat, 70);
        for (int beat : {0, 2}) Play(events, kDrums, start + beat * kQuarter, hit, kKick, 112);
        const bool last = bar == kTuneBars - 1;
        for (int beat : {1, 3})
            if (!last || beat == 1) Play(events, kDrums, start + beat * kQuarter, hit, kSnare, 100);
        if (bar % 4 == 0) Play(events, kDrums, start, kQuarter, kCrash, 96);
        if (last)
            for (int s = 0; s < 4; ++s)
                Play(events, kDrums, start + 3 * kQuarter + s * hit, hit, kSnare,
                     std::uint8_t(80 + 10 * s));
    }
    return smf::TrackOf(events, kEnd);
}

} // namespace

std::vector<std::uint8_t> TuneBytes() {
    return smf::MidiFileBytes(1, kQuarter, {Conductor(), Melody(), Bass(), Drums()});
}

} // namespace assets
