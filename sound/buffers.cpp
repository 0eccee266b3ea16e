// Slots of the sound-object table, the mix buffers the loaders create, and the
// folder sound files are named from.
#include "sound/buffers.h"
#include "system/system.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace elSound {

std::string BesideProgram(const char* name) {
    return std::string(elSystem::ProgramFolder(0)) + name;
}

int TakeSlot(const char* operation) {
    if (Reloading) return InTable(CurrentSlot) ? CurrentSlot : -1;
    for (int no = 0; no < SOUND_COUNT; ++no)
        if (!SoundTable[no].InUse) return no;
    elSystem::Error(operation, "オブジェクト数が多過ぎます");
    return -1;
}

int MixCountOf(const char* operation, int mix) {
    const long long count = mix < 0 ? -static_cast<long long>(mix) : mix;
    if (count > MIX_LIMIT) return elSystem::Error(operation, "ミックス数が多過ぎます");
    return count == 0 ? 1 : static_cast<int>(count);
}

platform::WAVEFORMATEX FormatOf(const std::vector<std::uint8_t>& format) {
    platform::WAVEFORMATEX block{};
    std::memcpy(&block, format.data(), std::min(format.size(), sizeof block));
    return block;
}

std::uint32_t WholeFrames(std::uint32_t bytes, const platform::WAVEFORMATEX& format) {
    return format.nBlockAlign ? bytes - bytes % format.nBlockAlign : bytes;
}

void ReleaseBuffers(int no) {
    for (MixBuffer& mix : MixTable[no]) {
        if (!mix.Buffer) continue;
        mix.Buffer->Stop();
        mix.Buffer->Release();
        mix.Buffer = nullptr;
    }
}

namespace {

void Fill(platform::SoundBuffer* buffer, std::uint32_t size, const std::uint8_t* data,
          std::uint32_t bytes) {
    void* parts[2] = {nullptr, nullptr};
    DWORD lengths[2] = {0, 0};
    if (buffer->Lock(0, size, &parts[0], &lengths[0], &parts[1], &lengths[1], 0) != platform::DS_OK)
        return;
    std::uint32_t copied = 0;
    for (int part = 0; part < 2; ++part) {
        const std::uint32_t length = std::min<std::uint32_t>(lengths[part], bytes - copied);
        if (parts[part] && length) std::memcpy(parts[part], data + copied, length);
        copied += length;
    }
    buffer->Unlock(parts[0], lengths[0], parts[1], lengths[1]);
}

} // namespace

int MakeBuffers(const char* operation, int no, int count, DWORD flags,
                const std::vector<std::uint8_t>& format, std::uint32_t size,
                const std::uint8_t* data, std::uint32_t bytes) {
    platform::WAVEFORMATEX block = FormatOf(format);
    platform::DSBUFFERDESC description{sizeof description, flags, size, 0, &block};
    ReleaseBuffers(no);
    for (int index = 0; index < count; ++index) {
        MixBuffer& mix = MixTable[no][index];
        if (!Device || Device->CreateSoundBuffer(&description, &mix.Buffer) != platform::DS_OK) {
            mix.Buffer = nullptr;
            ReleaseBuffers(no);
            return elSystem::Error(operation, "サウンドバッファが生成できません");
        }
        Fill(mix.Buffer, size, data, bytes);
        if (Reloading) {
            mix.Buffer->SetVolume(mix.Volume);
            mix.Buffer->SetFrequency(mix.Frequency);
            mix.Buffer->SetPan(mix.Pan);
        } else {
            DWORD frequency = 0;
            mix.Buffer->GetFrequency(&frequency);
            mix.Frequency = frequency;
            SoundTable[no].BaseFrequency = frequency;
            mix.Volume = 0;
            mix.Pan = 0;
        }
    }
    return 1;
}

int NameObject(const char* operation, const char* message, int no, const char* name) {
    if (Reloading) return no;
    if (std::strlen(name) > SOUND_NAME_LIMIT) {
        SoundTable[no].Name[0] = '\0';
        elSystem::Error(operation, message);
        return -1;
    }
    std::snprintf(SoundTable[no].Name, sizeof SoundTable[no].Name, "%s", name);
    return no;
}

} // namespace elSound
