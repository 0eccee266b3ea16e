// What each backend supplies to the media-control devices: a player for an
// opened tune (a synthesiser on the desktop, the clock alone headless).
#pragma once

#include "platform/midi_file.h"
#include "platform/win_defs.h"

#include <cstdint>
#include <memory>

namespace platform {

// Posts the notifications of the devices whose tunes have reached their end.
// The backends' event pumps call it on the main thread.
void PollSequencers();

namespace backend {

// One opened tune. Called on the main thread only.
class TunePlayer {
  public:
    virtual ~TunePlayer() = default;
    // Plays from `fromMs` (at most the tune's length) to the end.
    virtual void Play(std::uint32_t fromMs) = 0;
    // Stops where it is; silent at once.
    virtual void Stop() = 0;
    // Milliseconds from the start of the tune reached so far.
    virtual std::uint32_t Position() = 0;
    // Playing, and not yet at the end.
    virtual bool Playing() = 0;
};

// A player for `song`, or null with an error number in `error` when there is no
// synthesiser to play it.
std::unique_ptr<TunePlayer> OpenTune(std::shared_ptr<const MidiSong> song, DWORD* error);

// Every command string sent, as it was sent (the headless backend keeps them).
void LogMciCommand(const char* command);

} // namespace backend
} // namespace platform
