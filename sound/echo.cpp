// The per-frame echo: the object replayed on its following mix buffers at
// falling volume, optionally swinging the pan from side to side.
#include "sound/buffers.h"
#include "system/system.h"

#include <algorithm>

namespace elSound {

namespace {

// Largest swing of EchoPan, in decibels.
constexpr float PAN_SWING_DB = 30;

// The frame's share of the echo: false while no echo is due.
bool EchoDue(int no, int interval, int repeats) {
    if (!SoundAvailable || !InTable(no)) return false;
    SoundObject& object = SoundTable[no];
    if (object.EchoCounter < 1 || repeats < 1) return false;
    object.EchoElapsed += FrameSeconds * 1000;
    if (object.EchoElapsed < static_cast<float>(interval)) return false;
    object.EchoElapsed = 0;
    return true;
}

// Plays the next echo on the turn's buffer, quieter by `step` dB each time.
void PlayEcho(int no, int repeats, int step) {
    SoundObject& object = SoundTable[no];
    const long long volume = -static_cast<long long>(object.EchoCounter) * step;
    SetVolume(no, static_cast<int>(std::clamp<long long>(volume, -100, 0)), MIX_TURN);
    // A negative selector other than MIX_TURN plays the turn without arming again.
    if (object.EchoLoop)
        PlayLoop(no, -3);
    else
        Play(no, -3);
    if (++object.EchoCounter > repeats) object.EchoCounter = 0;
}

} // namespace

void Echo(int no, int interval, int repeats, int step) {
    if (EchoDue(no, interval, repeats)) PlayEcho(no, repeats, step);
}

void EchoPan(int no, int interval, int repeats, int step, int speed) {
    if (!EchoDue(no, interval, repeats)) return;
    SoundObject& object = SoundTable[no];
    object.EchoPanDb +=
        static_cast<float>(object.EchoDirection) * FrameSeconds * 100 * static_cast<float>(speed);
    if (object.EchoPanDb < -PAN_SWING_DB || object.EchoPanDb > PAN_SWING_DB) {
        object.EchoPanDb = std::clamp(object.EchoPanDb, -PAN_SWING_DB, PAN_SWING_DB);
        object.EchoDirection = -object.EchoDirection;
    }
    SetPan(no, static_cast<int>(object.EchoPanDb), MIX_TURN);
    PlayEcho(no, repeats, step);
}

std::uint32_t GetPosition(int no) {
    DWORD play = 0;
    if (InTable(no) && MixTable[no][0].Buffer)
        MixTable[no][0].Buffer->GetCurrentPosition(&play, nullptr);
    return play;
}

} // namespace elSound
