// The sound device: opening and closing the output, creating buffers, and the
// primary format the mixer produces.
#include "platform/backend.h"
#include "platform/win/sound_mixer.h"

#include <algorithm>
#include <new>

namespace platform {

namespace {

constexpr WAVEFORMATEX kDefaultOutput{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
// The largest voice, as the original device allowed.
constexpr DWORD kMaxBufferBytes = 0x0FFFFFFF;

// Devices open now; the output stays open while there is one.
int openDevices = 0;
WAVEFORMATEX outputFormat = kDefaultOutput;
// Every buffer of every open device, primaries included, guarded by the lock.
std::vector<SoundBuffer*> buffers;

// The format with its derived fields filled in and no extra bytes.
WAVEFORMATEX Canonical(const WAVEFORMATEX& format) {
    WAVEFORMATEX result = format;
    result.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
    result.nAvgBytesPerSec = result.nBlockAlign * format.nSamplesPerSec;
    result.cbSize = 0;
    return result;
}

} // namespace

std::mutex& SoundLock() {
    static std::mutex lock;
    return lock;
}

WAVEFORMATEX SoundOutputFormat() { return outputFormat; }

const std::vector<SoundBuffer*>& SoundBuffers() { return buffers; }

HRESULT DirectSoundCreate(SoundDevice** device) {
    if (!device) return DSERR_INVALIDPARAM;
    *device = nullptr;
    if (openDevices == 0) {
        outputFormat = kDefaultOutput;
        if (!backend::OpenSoundOutput(outputFormat)) return DSERR_NODRIVER;
    }
    ++openDevices;
    *device = new SoundDevice;
    return DS_OK;
}

HRESULT SoundDevice::SetCooperativeLevel(HWND, DWORD level) {
    return level == DSSCL_NORMAL || level == DSSCL_PRIORITY ? DS_OK : DSERR_INVALIDPARAM;
}

HRESULT SoundDevice::CreateSoundBuffer(const DSBUFFERDESC* description, SoundBuffer** buffer) {
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (!description) return DSERR_INVALIDPARAM;
    // The record's size field is not checked: callers pass the size of the
    // original record, which is longer than ours.
    bool primary = (description->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0;
    const WAVEFORMATEX* format = description->lpwfxFormat;
    DWORD bytes = description->dwBufferBytes;
    if (primary) {
        if (bytes != 0 || format) return DSERR_INVALIDPARAM;
    } else if (!format || !ValidPcmFormat(*format, false) || bytes == 0 ||
               bytes > kMaxBufferBytes || bytes % format->nBlockAlign != 0) {
        return DSERR_INVALIDPARAM;
    }

    SoundBuffer* made = nullptr;
    try {
        made = new SoundBuffer;
        if (!primary) {
            made->format = Canonical(*format);
            made->data.assign(bytes, format->wBitsPerSample == 8 ? 0x80 : 0);
            made->frames = bytes / format->nBlockAlign;
            made->frequency = format->nSamplesPerSec;
        }
        made->device = this;
        made->primary = primary;
        // The list grows under the lock: growing may move it while the mixer walks it.
        std::lock_guard<std::mutex> hold(SoundLock());
        buffers.push_back(made);
    } catch (const std::bad_alloc&) {
        delete made;
        return DSERR_OUTOFMEMORY;
    }
    *buffer = made;
    return DS_OK;
}

void SoundDevice::Release() {
    {
        std::lock_guard<std::mutex> hold(SoundLock());
        std::erase_if(buffers, [this](SoundBuffer* buffer) {
            if (buffer->device != this) return false;
            delete buffer;
            return true;
        });
    }
    delete this;
    if (--openDevices == 0) backend::CloseSoundOutput();
}

void SoundBuffer::Release() {
    {
        std::lock_guard<std::mutex> hold(SoundLock());
        std::erase(buffers, this);
    }
    delete this;
}

HRESULT SoundBuffer::SetFormat(const WAVEFORMATEX* format) {
    if (!primary || !format || !ValidPcmFormat(*format, true)) return DSERR_INVALIDPARAM;
    WAVEFORMATEX wanted = Canonical(*format);
    // The output changes outside the lock: the desktop waits there for its
    // audio thread, which mixes under it.
    if (!backend::ChangeSoundFormat(wanted)) return DSERR_GENERIC;
    outputFormat = wanted;
    return DS_OK;
}

HRESULT SoundBuffer::GetFormat(WAVEFORMATEX* result) {
    if (!result) return DSERR_INVALIDPARAM;
    *result = primary ? outputFormat : format;
    return DS_OK;
}

} // namespace platform
