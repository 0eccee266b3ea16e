// Sounds played to their end on a device of their own: PCM data, and the
// contents of WAV files (the PCM format and data of a RIFF "WAVE" file).
#include "platform/files/files.h"
#include "platform/win/sound_mixer.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace platform {

namespace {

std::uint32_t Read32(const std::uint8_t* at) {
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// The "fmt " and "data" chunks of a WAV file image. A data chunk that claims
// more than the file holds gives what is there.
bool ParseWave(const std::vector<std::uint8_t>& file, WAVEFORMATEX* format,
               std::vector<std::uint8_t>* data) {
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
        std::memcmp(file.data() + 8, "WAVE", 4) != 0)
        return false;
    bool haveFormat = false;
    std::size_t at = 12;
    while (file.size() - at >= 8) {
        const std::uint8_t* chunk = file.data() + at;
        std::size_t size = std::min<std::size_t>(Read32(chunk + 4), file.size() - at - 8);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            *format = WAVEFORMATEX{};
            std::memcpy(format, chunk + 8, 16);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && haveFormat) {
            data->assign(chunk + 8, chunk + 8 + size);
            return true;
        }
        at += 8 + size + (size & 1);
        if (at > file.size()) break;
    }
    return false;
}

} // namespace

bool PlaySamples(const WAVEFORMATEX& format, const void* data, DWORD bytes,
                 void (*wait)(SoundBuffer& voice)) {
    SoundDevice* device = nullptr;
    if (DirectSoundCreate(&device) != DS_OK) return false;
    WAVEFORMATEX voiceFormat = format;
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_STATIC, bytes, 0, &voiceFormat};
    SoundBuffer* voice = nullptr;
    bool played = device->CreateSoundBuffer(&description, &voice) == DS_OK;
    if (played) {
        void* part = nullptr;
        DWORD locked = 0;
        voice->Lock(0, bytes, &part, &locked, nullptr, nullptr, 0);
        std::memcpy(part, data, locked);
        voice->Unlock(part, locked, nullptr, 0);
        voice->Play(0, 0, 0);
        wait(*voice);
    }
    device->Release();
    return played;
}

bool PlayWaveFile(const char* path, void (*wait)(SoundBuffer& voice)) {
    if (!path) return false;
    std::ifstream in(ResolvePath(path), std::ios::binary);
    std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    WAVEFORMATEX format;
    std::vector<std::uint8_t> data;
    if (!ParseWave(file, &format, &data) || data.size() > 0xFFFFFFFFu) return false;
    // A last frame cut short is left out.
    if (format.nBlockAlign > 0) data.resize(data.size() - data.size() % format.nBlockAlign);
    return PlaySamples(format, data.data(), static_cast<DWORD>(data.size()), wait);
}

} // namespace platform
