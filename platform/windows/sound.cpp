// Sound objects on the system's DirectSound: the device, the primary buffer and
// one secondary buffer per voice, which the system mixes on its own threads.
// Descriptions are checked as on every system before the device sees them.
#include "platform/win/sound.h"
#include "platform/backend.h"
#include "platform/files/files.h"

#include "platform/windows/native.h"

#include <algorithm>

namespace platform {

namespace {

IDirectSound8* device = nullptr;
int openDevices = 0;
// The largest voice, as the device allows.
constexpr DWORD MAX_BUFFER_BYTES = 0x0FFFFFFF;

::WAVEFORMATEX Native(const WAVEFORMATEX& format) {
    ::WAVEFORMATEX real{};
    real.wFormatTag = format.wFormatTag;
    real.nChannels = format.nChannels;
    real.nSamplesPerSec = format.nSamplesPerSec;
    real.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
    real.nAvgBytesPerSec = real.nSamplesPerSec * real.nBlockAlign;
    real.wBitsPerSample = format.wBitsPerSample;
    return real;
}

IDirectSoundBuffer* Real(void* native) { return static_cast<IDirectSoundBuffer*>(native); }

HRESULT Result(::HRESULT result) { return static_cast<HRESULT>(result); }

} // namespace

HRESULT DirectSoundCreate(SoundDevice** created) {
    if (!created) return DSERR_INVALIDPARAM;
    *created = nullptr;
    if (!device && FAILED(DirectSoundCreate8(nullptr, &device, nullptr))) {
        device = nullptr;
        return DSERR_NODRIVER;
    }
    ++openDevices;
    *created = new SoundDevice;
    return DS_OK;
}

HRESULT SoundDevice::SetCooperativeLevel(HWND window, DWORD level) {
    // A program whose windows only carry messages plays on behalf of the desktop.
    ::HWND native = windows::NativeOf(window);
    if (!native || !IsWindowVisible(native)) native = GetDesktopWindow();
    return Result(device->SetCooperativeLevel(native, level));
}

HRESULT SoundDevice::CreateSoundBuffer(const DSBUFFERDESC* description, SoundBuffer** buffer) {
    if (!description || !buffer || description->dwSize < sizeof(DSBUFFERDESC))
        return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    const bool primary = (description->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0;
    ::DSBUFFERDESC real{};
    real.dwSize = sizeof real;
    real.dwFlags = description->dwFlags;
    ::WAVEFORMATEX format{};
    if (primary) {
        if (description->dwBufferBytes != 0 || description->lpwfxFormat) return DSERR_INVALIDPARAM;
    } else {
        const WAVEFORMATEX* given = description->lpwfxFormat;
        if (!given || !ValidPcmFormat(*given, false) || description->dwBufferBytes == 0 ||
            description->dwBufferBytes > MAX_BUFFER_BYTES ||
            description->dwBufferBytes % given->nBlockAlign != 0)
            return DSERR_INVALIDPARAM;
        format = Native(*given);
        real.dwBufferBytes = description->dwBufferBytes;
        real.lpwfxFormat = &format;
    }
    IDirectSoundBuffer* made = nullptr;
    const ::HRESULT result = device->CreateSoundBuffer(&real, &made, nullptr);
    if (FAILED(result)) return Result(result);
    auto* voice = new SoundBuffer;
    voice->device = this;
    voice->primary = primary;
    voice->native = made;
    if (!primary) voice->format = *description->lpwfxFormat;
    *buffer = voice;
    return DS_OK;
}

void SoundDevice::Release() {
    if (--openDevices == 0 && device) {
        device->Release();
        device = nullptr;
    }
    delete this;
}

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2,
                          DWORD* bytes2, DWORD flags) {
    if (!part1 || !bytes1 || primary) return DSERR_INVALIDPARAM;
    ::DWORD first = 0, second = 0;
    const ::HRESULT result =
        Real(native)->Lock(offset, bytes, part1, &first, part2, part2 ? &second : nullptr, flags);
    *bytes1 = first;
    if (bytes2) *bytes2 = second;
    return Result(result);
}

HRESULT SoundBuffer::Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) {
    if (primary) return DSERR_INVALIDPARAM;
    return Result(Real(native)->Unlock(part1, bytes1, part2, bytes2));
}

HRESULT SoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
    if (primary) return DSERR_INVALIDPARAM;
    return Result(Real(native)->Play(reserved, priority, flags));
}

HRESULT SoundBuffer::Stop() { return primary ? DSERR_INVALIDPARAM : Result(Real(native)->Stop()); }

HRESULT SoundBuffer::GetCurrentPosition(DWORD* play, DWORD* write) {
    if (primary || !play) return DSERR_INVALIDPARAM;
    ::DWORD playing = 0, writing = 0;
    const ::HRESULT result = Real(native)->GetCurrentPosition(&playing, &writing);
    *play = playing;
    if (write) *write = writing;
    return Result(result);
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD at) {
    if (primary) return DSERR_INVALIDPARAM;
    return Result(Real(native)->SetCurrentPosition(at - at % format.nBlockAlign));
}

HRESULT SoundBuffer::GetStatus(DWORD* status) {
    if (!status) return DSERR_INVALIDPARAM;
    ::DWORD real = 0;
    const ::HRESULT result = Real(native)->GetStatus(&real);
    *status = real & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    return Result(result);
}

HRESULT SoundBuffer::SetVolume(long level) {
    if (primary || level < DSBVOLUME_MIN || level > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    return Result(Real(native)->SetVolume(level));
}

HRESULT SoundBuffer::GetVolume(long* level) {
    if (!level) return DSERR_INVALIDPARAM;
    LONG real = 0;
    const ::HRESULT result = Real(native)->GetVolume(&real);
    *level = real;
    return Result(result);
}

HRESULT SoundBuffer::SetPan(long position) {
    if (primary || position < DSBPAN_LEFT || position > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    return Result(Real(native)->SetPan(position));
}

HRESULT SoundBuffer::GetPan(long* position) {
    if (!position) return DSERR_INVALIDPARAM;
    LONG real = 0;
    const ::HRESULT result = Real(native)->GetPan(&real);
    *position = real;
    return Result(result);
}

HRESULT SoundBuffer::SetFrequency(DWORD rate) {
    if (primary || rate < DSBFREQUENCY_MIN || rate > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
    return Result(Real(native)->SetFrequency(rate));
}

HRESULT SoundBuffer::GetFrequency(DWORD* rate) {
    if (!rate) return DSERR_INVALIDPARAM;
    ::DWORD real = 0;
    const ::HRESULT result = Real(native)->GetFrequency(&real);
    *rate = real;
    return Result(result);
}

HRESULT SoundBuffer::SetFormat(const WAVEFORMATEX* given) {
    if (!primary || !given || !ValidPcmFormat(*given, true)) return DSERR_INVALIDPARAM;
    const ::WAVEFORMATEX real = Native(*given);
    return Result(Real(native)->SetFormat(&real));
}

HRESULT SoundBuffer::GetFormat(WAVEFORMATEX* out) {
    if (!out) return DSERR_INVALIDPARAM;
    ::WAVEFORMATEX real{};
    const ::HRESULT result = Real(native)->GetFormat(&real, sizeof real, nullptr);
    *out = WAVEFORMATEX{real.wFormatTag,
                        real.nChannels,
                        static_cast<DWORD>(real.nSamplesPerSec),
                        static_cast<DWORD>(real.nAvgBytesPerSec),
                        real.nBlockAlign,
                        real.wBitsPerSample,
                        0};
    return Result(result);
}

void SoundBuffer::Release() {
    if (native) Real(native)->Release();
    delete this;
}

bool sndPlaySoundA(const char* path, UINT flags) {
    return path && ::sndPlaySoundW(windows::WideFromUtf8(ResolvePath(path)).c_str(), flags);
}

} // namespace platform
