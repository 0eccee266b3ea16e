// The desktop's MIDI synthesiser: FluidSynth with a General MIDI sound font,
// rendered by the sound mixer as its music source (no audio device of its own).
#pragma once

#include "platform/formats/midi_file.h"

#include <fluidsynth.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace platform::desktop {

// A tune as the main thread sees it; the synthesiser reports its progress here.
struct TuneCursor {
    std::shared_ptr<const MidiSong> song;
    // Playing, and not yet near the end of the pass: the end is reported a
    // little ahead, so that a play from the start can follow it without a gap.
    std::atomic<bool> playing{false};
    std::atomic<std::uint32_t> positionMs{0};
};

// The one synthesiser, made at the first use and kept for the run. Null with no
// sound font that loads (the sequencer is then missing). Its calls and the
// mixer's thread meet under its lock, which covers the pass and the events sent,
// not the synthesis: FluidSynth's own API lock (synth.threadsafe-api) lets the
// main thread's calls run while a block renders.
class Synth {
  public:
    static Synth* Get();
    // Starts `tune` at `fromMs`, in place of any other; program and controller
    // changes before that point are sent at once so that the tune sounds as it
    // would there. A play from the start of the tune whose end was reported
    // follows that pass at its last frame instead.
    void Start(TuneCursor& tune, std::uint32_t fromMs);
    // Silences `tune` if it is the one playing; it stays where it is. A pass
    // whose end was reported plays out, and nothing follows it.
    void Halt(TuneCursor& tune);

  private:
    // The tune being rendered.
    struct Pass {
        std::shared_ptr<const MidiSong> song;
        TuneCursor* owner = nullptr; // null once the tune let go of it
        std::size_t next = 0;        // the first event not yet sent
        std::uint64_t startUs = 0;   // tune time when `frames` was 0
        std::uint64_t frames = 0;    // frames rendered since then
        bool active = false;
        bool again = false; // the next pass follows from the start
    };

    Synth() = default;
    bool Load();
    bool Render(float* mix, int frames, int rate);
    int Advance(int most);
    void Restart();
    void Send(const MidiEvent& event, const MidiSong& song);

    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    std::mutex lock;
    int rate = 0;
    Pass pass;
    // The mixer's blocks are rendered in parts of at most this many frames.
    static constexpr int kChunk = 1024;
    // How long before the end of a pass its end is reported: time enough for
    // the main loop to answer with the next play before the last frame renders.
    static constexpr std::uint64_t kLeadUs = 100000;
    float left[kChunk], right[kChunk];
};

} // namespace platform::desktop
