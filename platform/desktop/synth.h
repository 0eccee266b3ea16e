// The desktop's MIDI synthesiser: FluidSynth with a General MIDI sound font,
// rendered by the sound mixer as its music source (no audio device of its own).
#pragma once

#include "platform/midi_file.h"

#include <fluidsynth.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace platform::desktop {

// A tune's place in its song, shared by the main thread (start, stop) and the
// mixer's thread (events sent, frames rendered). All but the atomics are kept
// under the synthesiser's lock.
struct TuneCursor {
    std::shared_ptr<const MidiSong> song;
    std::size_t next = 0;      // the first event not yet sent
    std::uint64_t startUs = 0; // tune time when `frames` was 0
    std::uint64_t frames = 0;  // frames rendered since then
    std::atomic<bool> playing{false};
    std::atomic<std::uint32_t> positionMs{0};
};

// The one synthesiser, made at the first use and kept for the run. Null with no
// sound font that loads (the sequencer is then missing).
class Synth {
  public:
    static Synth* Get();
    // Starts `tune` at `fromMs`, in place of any other; program and controller
    // changes before that point are sent at once so that the tune sounds as it
    // would there.
    void Start(TuneCursor& tune, std::uint32_t fromMs);
    // Silences `tune` if it is the one playing; it stays where it is.
    void Halt(TuneCursor& tune);

  private:
    Synth() = default;
    bool Load();
    void Render(float* mix, int frames, int rate);
    void Send(const MidiEvent& event, const MidiSong& song);

    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    int rate = 0;
    std::mutex lock;
    TuneCursor* current = nullptr;
    // The mixer's blocks are rendered in parts of at most this many frames.
    static constexpr int kChunk = 1024;
    float left[kChunk], right[kChunk];
};

} // namespace platform::desktop
