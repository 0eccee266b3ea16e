// MIDI music through the system's own media-control sequencer: command strings
// go to it as they are, its replies and notifications come back as sent.
#include "platform/win/mci.h"
#include "platform/win/sound.h"

#include "platform/windows/native.h"

#include <algorithm>
#include <cmath>

namespace platform {

DWORD mciSendStringA(const char* command, char* reply, UINT replyLength, HWND callback) {
    if (!command) return MCIERR_MISSING_COMMAND_STRING;
    if (reply && replyLength > 0) reply[0] = '\0';
    wchar_t answer[256] = {};
    const MCIERROR error = mciSendStringW(windows::WideFromCp932(command).c_str(), answer,
                                          std::size(answer), windows::NativeOf(callback));
    if (!reply || replyLength == 0) return error;
    const std::string text = windows::Cp932FromWide(answer);
    const std::size_t kept = std::min<std::size_t>(text.size(), replyLength - 1);
    std::copy_n(text.data(), kept, reply);
    reply[kept] = '\0';
    return error ? error : kept < text.size() ? MCIERR_PARAM_OVERFLOW : 0;
}

HRESULT SetMusicVolume(long volume) {
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    // Hundredths of a decibel as the synthesiser's linear level, both sides.
    const double gain = std::pow(10.0, volume / 2000.0);
    const auto level = static_cast<::DWORD>(std::lround(gain * 0xFFFF));
    midiOutSetVolume(reinterpret_cast<HMIDIOUT>(static_cast<UINT_PTR>(MIDI_MAPPER)),
                     level | level << 16);
    return DS_OK;
}

bool MusicSounding() {
    // The system's synthesiser gives no word of its last notes ringing on.
    return false;
}

} // namespace platform
