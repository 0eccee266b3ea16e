// The calls on one voice: its data, play state, position and controls. Each
// takes the mixer's lock, so the mixer sees every change whole.
#include "platform/win/sound_mixer.h"

#include <algorithm>

namespace platform {

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2,
                          DWORD* bytes2, DWORD) {
    if (!part1 || !bytes1) return DSERR_INVALIDPARAM;
    *part1 = nullptr;
    *bytes1 = 0;
    if (part2) *part2 = nullptr;
    if (bytes2) *bytes2 = 0;
    DWORD size = static_cast<DWORD>(data.size());
    if (primary || bytes == 0 || bytes > size || offset >= size) return DSERR_INVALIDPARAM;
    // The data never moves while the buffer lives, so the caller writes into it
    // without the lock, as into the original device's memory.
    *part1 = data.data() + offset;
    *bytes1 = std::min(bytes, size - offset);
    if (bytes > *bytes1 && part2 && bytes2) {
        *part2 = data.data();
        *bytes2 = bytes - *bytes1;
    }
    return DS_OK;
}

HRESULT SoundBuffer::Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) {
    auto inside = [this](void* part, DWORD bytes) {
        auto* at = static_cast<std::uint8_t*>(part);
        return at >= data.data() && bytes <= static_cast<DWORD>(data.data() + data.size() - at);
    };
    if (primary || !part1 || !inside(part1, bytes1)) return DSERR_INVALIDPARAM;
    if (part2 && !inside(part2, bytes2)) return DSERR_INVALIDPARAM;
    return DS_OK;
}

HRESULT SoundBuffer::Play(DWORD, DWORD, DWORD flags) {
    if (primary) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(SoundLock());
    playing = true;
    looping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

HRESULT SoundBuffer::Stop() {
    if (primary) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(SoundLock());
    playing = false;
    return DS_OK;
}

HRESULT SoundBuffer::GetCurrentPosition(DWORD* play, DWORD* write) {
    if (primary || !play) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(SoundLock());
    // The mixer reads the data as it plays, so what is written past the play
    // position is heard: the write position is the play position.
    *play = static_cast<DWORD>(position >> 32) * format.nBlockAlign;
    if (write) *write = *play;
    return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD at) {
    if (primary || at > data.size()) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(SoundLock());
    position = static_cast<std::uint64_t>(at / format.nBlockAlign) << 32;
    return DS_OK;
}

HRESULT SoundBuffer::GetStatus(DWORD* status) {
    if (!status) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(SoundLock());
    *status = playing ? DSBSTATUS_PLAYING | (looping ? DSBSTATUS_LOOPING : 0) : 0;
    return DS_OK;
}

HRESULT SoundBuffer::SetVolume(long value) {
    if (primary || value < DSBVOLUME_MIN || value > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(SoundLock());
    volume = value;
    gainLeft = Gain(volume - std::max(pan, 0L));
    gainRight = Gain(volume + std::min(pan, 0L));
    return DS_OK;
}

HRESULT SoundBuffer::SetPan(long value) {
    if (primary || value < DSBPAN_LEFT || value > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    {
        std::lock_guard<std::mutex> hold(SoundLock());
        pan = value;
    }
    return SetVolume(volume);
}

HRESULT SoundBuffer::GetVolume(long* value) {
    if (primary || !value) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(SoundLock());
    *value = volume;
    return DS_OK;
}

HRESULT SoundBuffer::GetPan(long* value) {
    if (primary || !value) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(SoundLock());
    *value = pan;
    return DS_OK;
}

HRESULT SoundBuffer::SetFrequency(DWORD value) {
    if (primary || value < DSBFREQUENCY_MIN || value > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(SoundLock());
    frequency = value;
    return DS_OK;
}

HRESULT SoundBuffer::GetFrequency(DWORD* value) {
    if (primary || !value) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(SoundLock());
    *value = frequency;
    return DS_OK;
}

} // namespace platform
