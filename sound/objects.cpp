// Loading sound objects from WAV files beside the program and from the sound pack.
#include "platform/files/files.h"
#include "platform/formats/text_encoding.h"
#include "sound/buffers.h"
#include "sound/wave_format.h"
#include "system/system.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace elSound {

namespace {

constexpr DWORD OBJECT_FLAGS = platform::DSBCAPS_STATIC | platform::DSBCAPS_CTRLFREQUENCY |
                               platform::DSBCAPS_CTRLPAN | platform::DSBCAPS_CTRLVOLUME;

// Fills the slot with `count` buffers of the sample and marks it in use.
int FillObject(const char* operation, int no, int mix, int count,
               const std::vector<std::uint8_t>& format, const std::vector<std::uint8_t>& data,
               int fromPack) {
    SoundObject& object = SoundTable[no];
    object.MixCount = count;
    object.EchoCounter = mix > 1 ? 0 : -1;
    if (!Reloading) object.CurrentMix = 0;
    const std::uint32_t bytes =
        WholeFrames(static_cast<std::uint32_t>(data.size()), FormatOf(format));
    if (!MakeBuffers(operation, no, count, OBJECT_FLAGS, format, bytes, data.data(), bytes))
        return 0;
    object.InUse = 1;
    object.FromPack = fromPack;
    object.Stream.DataSize = 0;
    return 1;
}

} // namespace

int ReadWave(const char* path, std::vector<std::uint8_t>& format, std::vector<std::uint8_t>& data) {
    format.clear();
    data.clear();
    File file(std::fopen(platform::ResolvePath(path).c_str(), "rb"));
    return file && ReadWaveFile(file.get(), format, data) ? 1 : 0;
}

int LoadObject(const char* name, int mix) {
    const char* operation = "elSound::LoadObject";
    if (!SoundAvailable) return -1;
    const int count = MixCountOf(operation, mix);
    if (!count) return -1;
    const int no = TakeSlot(operation);
    if (no < 0) return -1;
    // The program carries no sound resources: a name that is no readable WAV
    // file beside it names nothing.
    std::vector<std::uint8_t> format, data;
    if (!ReadWave(BesideProgram(name).c_str(), format, data)) {
        elSystem::Error(operation, "WAVEリソースが見つかりません");
        return -1;
    }
    if (!FillObject(operation, no, mix, count, format, data, 0)) return -1;
    return NameObject(operation, "ファイル名またはリソース名が長すぎます", no, name);
}

void SetPack(const char* name) {
    // A path that does not fit names no pack.
    const std::string path = BesideProgram(name);
    std::snprintf(SoundPackPath, sizeof SoundPackPath, "%s",
                  path.size() < sizeof SoundPackPath ? path.c_str() : "");
}

std::FILE* OpenPackRecord(const char* operation, const char* path, const char* name,
                          SoundRecord& record) {
    std::FILE* file = path[0] ? std::fopen(platform::ResolvePath(path).c_str(), "rb") : nullptr;
    if (!file) {
        elSystem::Error(operation, "パックファイル名が指定されていません");
        return nullptr;
    }
    std::string upper = name;
    platform::UpperCaseCp932(upper.data(), upper.size());
    if (!FindSoundRecord(file, upper.c_str(), record)) {
        std::fclose(file);
        elSystem::Error(operation, "WAVEファイルを読み込めません");
        return nullptr;
    }
    return file;
}

int LoadPack(const char* name, int mix) {
    const char* operation = "elSound::LoadPack";
    if (!SoundAvailable) return -1;
    const int count = MixCountOf(operation, mix);
    if (!count) return -1;
    const int no = TakeSlot(operation);
    if (no < 0) return -1;
    SoundRecord record;
    File file(OpenPackRecord(operation, SoundPackPath, name, record));
    if (!file) return -1;
    // The record is held whole: one larger than any sound held so is refused
    // as unreadable. Its size was checked against the file.
    if (record.DataSize > SOUND_DATA_LIMIT) {
        elSystem::Error(operation, "WAVEファイルを読み込めません");
        return -1;
    }
    std::vector<std::uint8_t> format(FORMAT_BLOCK_SIZE), data(record.DataSize);
    std::fread(format.data(), 1, format.size(), file.get());
    std::fread(data.data(), 1, data.size(), file.get());
    file.reset();
    if (!FillObject(operation, no, mix, count, format, data, 1)) return -1;
    return NameObject(operation, "ファイル名が長すぎます", no, name);
}

} // namespace elSound
