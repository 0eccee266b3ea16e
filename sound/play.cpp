// Playing, stopping and pausing sound objects, and their volume, pan and
// frequency per mix buffer.
#include "sound/buffers.h"

#include <algorithm>
#include <cstdlib>

namespace elSound {

namespace {

// Calls `apply` with each mix buffer the selector names for the control
// operations: that one, the turn's, or (any other negative) all of them.
// Buffers that do not exist are passed over.
template <typename Apply> void ForSelected(int no, int mix, Apply apply) {
    if (!SoundAvailable || !InTable(no)) return;
    const SoundObject& object = SoundTable[no];
    int first = mix, last = mix;
    if (mix == MIX_TURN) first = last = object.CurrentMix;
    if (mix < 0 && mix != MIX_TURN) {
        first = 0;
        last = object.MixCount - 1;
    }
    for (int index = std::max(first, 0); index <= std::min(last, MIX_LIMIT - 1); ++index)
        if (MixTable[no][index].Buffer) apply(MixTable[no][index]);
}

// As ForSelected, for Stop and Pause: any negative selector names every buffer.
template <typename Apply> void ForStopped(int no, int mix, Apply apply) {
    ForSelected(no, mix < 0 ? MIX_EACH : mix, apply);
}

long Clamp(long long value, long low, long high) {
    return static_cast<long>(std::clamp<long long>(value, low, high));
}

void ApplyFrequency(MixBuffer& mix, long long frequency) {
    mix.Frequency = static_cast<std::uint32_t>(
        Clamp(frequency, platform::DSBFREQUENCY_MIN, platform::DSBFREQUENCY_MAX));
    mix.Buffer->SetFrequency(mix.Frequency);
}

void ApplyPan(MixBuffer& mix, long long pan) {
    mix.Pan = Clamp(pan, platform::DSBPAN_LEFT, platform::DSBPAN_RIGHT);
    mix.Buffer->SetPan(mix.Pan);
}

void ApplyVolume(MixBuffer& mix, long long volume) {
    mix.Volume = Clamp(volume, platform::DSBVOLUME_MIN, platform::DSBVOLUME_MAX);
    mix.Buffer->SetVolume(mix.Volume);
}

// The buffer a play takes: the one selected, or the turn's, passing the turn
// on. MIX_TURN on an object that can echo first resets it and arms an echo.
int PlayedMix(int no, int mix, int loop) {
    SoundObject& object = SoundTable[no];
    if (mix >= 0) return mix;
    if (mix == MIX_TURN && object.EchoCounter >= 0) {
        ResetFrequency(no, MIX_EACH);
        ResetPan(no, MIX_EACH);
        ResetVolume(no, MIX_EACH);
        object.EchoCounter = 1;
        object.EchoElapsed = 0;
        object.EchoLoop = loop;
        object.EchoPanDb = static_cast<float>(MixTable[no][object.CurrentMix].Pan) / 100;
        object.EchoDirection = std::rand() % 2 * 2 - 1;
    }
    const int played = object.CurrentMix;
    object.CurrentMix = (object.CurrentMix + 1) % std::max(object.MixCount, 1);
    return played;
}

void Start(int no, int mix, int loop) {
    if (!SoundAvailable || !InTable(no)) return;
    SoundObject& object = SoundTable[no];
    const int index = PlayedMix(no, mix, loop);
    platform::SoundBuffer* buffer = index < MIX_LIMIT ? MixTable[no][index].Buffer : nullptr;
    if (buffer) {
        const bool streaming = object.Stream.DataSize != 0;
        buffer->Stop();
        if (loop) {
            if (streaming) ResetStream(no);
            buffer->SetCurrentPosition(0);
        } else {
            buffer->SetCurrentPosition(0);
            if (streaming) ResetStream(no);
        }
        buffer->Play(0, 0, loop || streaming ? platform::DSBPLAY_LOOPING : 0);
    }
    object.Looping = loop;
}

} // namespace

void Play(int no, int mix) { Start(no, mix, 0); }

void PlayLoop(int no, int mix) { Start(no, mix, 1); }

void Stop(int no, int mix) {
    ForStopped(no, mix, [](MixBuffer& buffer) {
        buffer.Buffer->Stop();
        buffer.Buffer->SetCurrentPosition(0);
    });
    if (SoundAvailable && InTable(no) && mix < 0 && SoundTable[no].EchoCounter >= 0)
        SoundTable[no].EchoCounter = 0;
}

void Pause(int no, int mix) {
    if (!InTable(no)) return;
    // A stream's buffer always plays looping; only its refills end it.
    const int loop = SoundTable[no].Looping || SoundTable[no].Stream.DataSize;
    ForStopped(no, mix, [loop](MixBuffer& buffer) {
        DWORD status = 0;
        buffer.Buffer->GetStatus(&status);
        if (status & platform::DSBSTATUS_PLAYING) {
            DWORD position = 0;
            buffer.Buffer->GetCurrentPosition(&position, nullptr);
            buffer.SavedPosition = position;
            buffer.Buffer->Stop();
        } else {
            buffer.Buffer->SetCurrentPosition(buffer.SavedPosition);
            buffer.Buffer->Play(0, 0, loop ? platform::DSBPLAY_LOOPING : 0);
        }
    });
}

void AddFrequency(int no, int value, int mix) {
    ForSelected(no, mix, [value](MixBuffer& buffer) {
        ApplyFrequency(buffer, buffer.Frequency + value * 100LL);
    });
}

void SetFrequency(int no, int value, int mix) {
    if (!InTable(no)) return;
    const long long base = SoundTable[no].BaseFrequency;
    ForSelected(no, mix,
                [base, value](MixBuffer& buffer) { ApplyFrequency(buffer, base + value * 100LL); });
}

void ResetFrequency(int no, int mix) {
    if (!InTable(no)) return;
    const long long base = SoundTable[no].BaseFrequency;
    ForSelected(no, mix, [base](MixBuffer& buffer) { ApplyFrequency(buffer, base); });
}

void AddPan(int no, int value, int mix) {
    ForSelected(no, mix,
                [value](MixBuffer& buffer) { ApplyPan(buffer, buffer.Pan + value * 100LL); });
}

void SetPan(int no, int value, int mix) {
    ForSelected(no, mix, [value](MixBuffer& buffer) { ApplyPan(buffer, value * 100LL); });
}

void ResetPan(int no, int mix) {
    ForSelected(no, mix, [](MixBuffer& buffer) { ApplyPan(buffer, 0); });
}

void PanLeft(int no, int mix) {
    ForSelected(no, mix, [](MixBuffer& buffer) { ApplyPan(buffer, platform::DSBPAN_LEFT); });
}

void PanRight(int no, int mix) {
    ForSelected(no, mix, [](MixBuffer& buffer) { ApplyPan(buffer, platform::DSBPAN_RIGHT); });
}

void AddVolume(int no, int value, int mix) {
    ForSelected(no, mix,
                [value](MixBuffer& buffer) { ApplyVolume(buffer, buffer.Volume + value * 100LL); });
}

void SetVolume(int no, int value, int mix) {
    ForSelected(no, mix, [value](MixBuffer& buffer) { ApplyVolume(buffer, value * 100LL); });
}

void ResetVolume(int no, int mix) {
    ForSelected(no, mix, [](MixBuffer& buffer) { ApplyVolume(buffer, 0); });
}

} // namespace elSound
