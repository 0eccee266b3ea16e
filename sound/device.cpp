// The sound device, the object table and the device-wide operations.
#include "platform/backend.h"
#include "sound/buffers.h"
#include "system/system.h"

#include <cstring>

namespace elSound {

platform::SoundDevice* Device;
platform::SoundBuffer* PrimaryBuffer;
int SoundAvailable;
int Reloading;
int CurrentSlot;
char SoundPackPath[SOUND_PATH_LIMIT];
SoundObject SoundTable[SOUND_COUNT];
MixBuffer MixTable[SOUND_COUNT][MIX_LIMIT];

namespace {

// Volume, frequency and pan of every mix buffer back to 0.
void ClearMixSettings(int no) {
    for (MixBuffer& mix : MixTable[no]) {
        mix.Volume = 0;
        mix.Frequency = 0;
        mix.Pan = 0;
    }
}

} // namespace

int Init() {
    // A device still open (screen set-up run again) is closed first, so that
    // neither it nor its buffers are left behind.
    if (SoundAvailable) Quit();
    Device = nullptr;
    PrimaryBuffer = nullptr;
    if (platform::DirectSoundCreate(&Device) != platform::DS_OK) {
        Device = nullptr;
        SoundAvailable = 0;
        return 0;
    }
    if (Device->SetCooperativeLevel(MainWindowHandle, platform::DSSCL_PRIORITY) != platform::DS_OK)
        Device->SetCooperativeLevel(MainWindowHandle, platform::DSSCL_NORMAL);
    platform::DSBUFFERDESC primary{sizeof primary, platform::DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    if (Device->CreateSoundBuffer(&primary, &PrimaryBuffer) != platform::DS_OK)
        PrimaryBuffer = nullptr;
    for (auto& mixes : MixTable)
        for (MixBuffer& mix : mixes) mix.Buffer = nullptr;
    Reloading = 0;
    SoundAvailable = 1;
    return 1;
}

void ResetTable() {
    for (int no = 0; no < SOUND_COUNT; ++no) {
        SoundObject& object = SoundTable[no];
        object.InUse = 0;
        object.MixCount = 1;
        object.CurrentMix = 0;
        object.BaseFrequency = 0;
        object.Name[0] = '\0';
        object.EchoCounter = -1;
        object.FromPack = 0;
        object.Stream.DataSize = 0;
        ClearMixSettings(no);
    }
}

void Quit() {
    if (!SoundAvailable) return;
    // Every buffer of the table, not only those below the mix counts: none is left open.
    for (int no = 0; no < SOUND_COUNT; ++no) ReleaseBuffers(no);
    if (PrimaryBuffer) PrimaryBuffer->Release();
    PrimaryBuffer = nullptr;
    if (Device) Device->Release();
    Device = nullptr;
}

void ReleaseObject(int no) {
    if (!SoundAvailable || !InTable(no) || !SoundTable[no].InUse) return;
    SoundObject& object = SoundTable[no];
    object.InUse = 0;
    object.BaseFrequency = 0;
    object.Name[0] = '\0';
    object.FromPack = 0;
    object.Stream.DataSize = 0;
    ClearMixSettings(no);
    ReleaseBuffers(no);
    object.MixCount = 1;
}

void ReloadObjects() {
    Reloading = 1;
    char packPath[SOUND_PATH_LIMIT];
    std::memcpy(packPath, SoundPackPath, sizeof packPath);
    for (int no = 0; no < SOUND_COUNT; ++no) {
        SoundObject& object = SoundTable[no];
        // An object whose name was too long to keep cannot be found again.
        if (!object.InUse || object.Name[0] == '\0') continue;
        CurrentSlot = no;
        char name[SOUND_NAME_LIMIT + 1];
        std::memcpy(name, object.Name, sizeof name);
        if (object.Stream.DataSize) {
            // The stream's own pack, for its load only: pack objects after it
            // still load from the pack that was set.
            std::memcpy(SoundPackPath, object.Stream.PackPath, sizeof SoundPackPath);
            LoadStream(name, static_cast<int>(object.Stream.EndOffset - object.Stream.StartOffset));
            std::memcpy(SoundPackPath, packPath, sizeof SoundPackPath);
        } else if (object.FromPack) {
            LoadPack(name, object.MixCount);
        } else {
            LoadObject(name, object.MixCount);
        }
    }
    Reloading = 0;
}

void Reload() {
    if (!SoundAvailable) return;
    Init();
    ReloadObjects();
}

int SelectFormat(int channels, int rate, int bits) {
    if (!SoundAvailable) return 1;
    for (int no = 0; no < SOUND_COUNT; ++no)
        if (SoundTable[no].InUse) ReleaseBuffers(no);
    DWORD hertz = static_cast<DWORD>(rate);
    if (rate == 8) hertz = 8000;
    if (rate == 11) hertz = 11025;
    if (rate == 22) hertz = 22050;
    if (rate == 44) hertz = 44100;
    platform::WAVEFORMATEX format{};
    format.wFormatTag = platform::WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = hertz;
    format.wBitsPerSample = static_cast<WORD>(bits);
    format.nBlockAlign = static_cast<WORD>(static_cast<long long>(channels) * (bits / 8));
    format.nAvgBytesPerSec = format.nBlockAlign * hertz;
    if (!PrimaryBuffer || PrimaryBuffer->SetFormat(&format) != platform::DS_OK)
        return elSystem::Error("elSound::SelectFormat", "再生フォーマットを変更できません");
    ReloadObjects();
    return 1;
}

void PlaySystem(const char* file) {
    Quit();
    platform::sndPlaySoundA(file, 0);
    Reload();
}

} // namespace elSound
