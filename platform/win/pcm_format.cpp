// The PCM formats sound objects take, alike on every system.
#include "platform/win/sound.h"

namespace platform {

bool ValidPcmFormat(const WAVEFORMATEX& format, bool output) {
    const DWORD lowest = output ? 8000 : DSBFREQUENCY_MIN;
    const DWORD highest = output ? 48000 : DSBFREQUENCY_MAX;
    return format.wFormatTag == WAVE_FORMAT_PCM &&
           (format.nChannels == 1 || format.nChannels == 2) &&
           (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
           format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8 &&
           format.nSamplesPerSec >= lowest && format.nSamplesPerSec <= highest;
}

} // namespace platform
