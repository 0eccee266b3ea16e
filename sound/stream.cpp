// Streaming objects: a long pack record played through a four-second buffer
// that is refilled from the pack in two-second chunks while it plays.
#include "platform/files/files.h"
#include "sound/buffers.h"
#include "system/system.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace elSound {

namespace {

constexpr DWORD STREAM_FLAGS = platform::DSBCAPS_STATIC | platform::DSBCAPS_CTRLFREQUENCY |
                               platform::DSBCAPS_CTRLPAN | platform::DSBCAPS_CTRLVOLUME |
                               platform::DSBCAPS_GLOBALFOCUS |
                               platform::DSBCAPS_GETCURRENTPOSITION2;
// Records shorter than this many seconds load whole.
constexpr std::uint32_t STREAM_MIN_SECONDS = 5;
// The fastest sound a voice plays: stereo 16-bit at its highest rate.
constexpr std::uint64_t STREAM_MAX_BYTES_PER_SECOND = std::uint64_t{platform::DSBFREQUENCY_MAX} * 4;

// Reads `bytes` bytes at the file's position; what the file lacks stays silent.
std::vector<std::uint8_t> ReadChunk(std::FILE* file, std::uint32_t bytes, std::uint8_t silence) {
    std::vector<std::uint8_t> chunk(bytes, silence);
    std::fread(chunk.data(), 1, bytes, file);
    return chunk;
}

std::uint32_t Position(std::FILE* file) {
    const long position = std::ftell(file);
    return position < 0 ? 0 : static_cast<std::uint32_t>(position);
}

// Writes the chunk at `offset`, in two parts when it runs past the buffer's
// end; `silent` writes silence instead.
void WriteChunk(platform::SoundBuffer* buffer, std::uint32_t offset,
                const std::vector<std::uint8_t>& chunk, bool silent, std::uint8_t silence) {
    void* parts[2] = {nullptr, nullptr};
    DWORD lengths[2] = {0, 0};
    if (buffer->Lock(offset, static_cast<DWORD>(chunk.size()), &parts[0], &lengths[0], &parts[1],
                     &lengths[1], 0) != platform::DS_OK)
        return;
    std::size_t copied = 0;
    for (int part = 0; part < 2; ++part) {
        const std::size_t length = std::min<std::size_t>(lengths[part], chunk.size() - copied);
        if (!parts[part] || !length) continue;
        if (silent)
            std::memset(parts[part], silence, length);
        else
            std::memcpy(parts[part], chunk.data() + copied, length);
        copied += length;
    }
    buffer->Unlock(parts[0], lengths[0], parts[1], lengths[1]);
}

// The size of the next chunk: a whole one, or the rest, or half of what is
// left when a whole one would leave less than another (the two last chunks
// then have similar sizes); in whole sample frames.
std::uint32_t NextChunk(const StreamRecord& stream) {
    const std::uint32_t left = stream.DataSize - stream.ReadTotal;
    if (stream.ChunkSize > left) return left;
    if (left - stream.ChunkSize >= stream.ChunkSize) return stream.ChunkSize;
    const std::uint32_t half = left / 2;
    return half - half % stream.FrameBytes;
}

// Whether the play position has entered the chunk written last.
bool RefillDue(const StreamRecord& stream, std::uint32_t play) {
    if (stream.WrapMark < 0) return play >= stream.LastWriteStart || play < stream.LastPlay;
    const auto mark = static_cast<std::uint32_t>(stream.WrapMark);
    if (stream.LastWriteStart < mark) return stream.LastWriteStart <= play && play < mark;
    return play >= stream.LastWriteStart;
}

// Writes the next chunk of one stream; 0 after an error box.
int Refill(int no, std::uint32_t play) {
    StreamRecord& stream = SoundTable[no].Stream;
    File file(std::fopen(platform::ResolvePath(stream.PackPath).c_str(), "rb"));
    if (!file) return elSystem::Error("elSound::Streaming", "パックファイル名が指定されていません");
    if (std::fseek(file.get(), static_cast<long>(stream.ReadOffset), SEEK_SET) != 0)
        return elSystem::Error("elSound::Streaming", "ストリーミング再生できません");
    const std::uint32_t bytes = NextChunk(stream);
    const std::vector<std::uint8_t> chunk = ReadChunk(file.get(), bytes, stream.Silence);
    stream.ReadOffset = Position(file.get());
    file.reset();
    stream.ReadTotal += bytes;
    if (stream.ReadTotal >= stream.DataSize) {
        // Reading goes on at the loop point; a stream that does not loop ends.
        stream.ReadOffset = stream.EndOffset;
        stream.ReadTotal = stream.EndOffset - stream.StartOffset;
        if (!SoundTable[no].Looping) stream.EndCountdown = 2;
    }
    WriteChunk(MixTable[no][0].Buffer, stream.WriteOffset, chunk, stream.EndCountdown == 1,
               stream.Silence);
    stream.WrapMark =
        stream.WriteOffset < stream.LastWriteStart ? static_cast<std::int32_t>(play) : -1;
    stream.LastWriteStart = stream.WriteOffset;
    stream.WriteOffset += bytes;
    if (stream.WriteOffset >= stream.BufferSize) stream.WriteOffset -= stream.BufferSize;
    return 1;
}

} // namespace

int LoadStream(const char* name, int loopStart) {
    const char* operation = "elSound::LoadStream";
    if (!SoundAvailable) return -1;
    const int no = TakeSlot(operation);
    if (no < 0) return -1;
    StreamRecord stream{};
    std::memcpy(stream.PackPath, SoundPackPath, sizeof stream.PackPath);
    SoundRecord record;
    File file(OpenPackRecord(operation, stream.PackPath, name, record));
    if (!file) return -1;
    std::vector<std::uint8_t> format(FORMAT_BLOCK_SIZE);
    std::fread(format.data(), 1, format.size(), file.get());
    const platform::WAVEFORMATEX block = FormatOf(format);
    // The pace is the rate times the frame size, as the device plays it: the
    // header's average-bytes field may say anything. Short records, and
    // formats that give no rate to stream by, load whole; a rate no device
    // plays is refused as the device refuses it.
    const std::uint64_t perSecond = std::uint64_t{block.nSamplesPerSec} * block.nBlockAlign;
    if (perSecond == 0 || record.DataSize / perSecond < STREAM_MIN_SECONDS) {
        file.reset();
        return LoadPack(name, 1);
    }
    if (perSecond > STREAM_MAX_BYTES_PER_SECOND) {
        elSystem::Error(operation, "サウンドバッファが生成できません");
        return -1;
    }
    // Offsets in the pack are 32-bit: the record must end below 4 GiB.
    const long start = std::ftell(file.get());
    if (start < 0 || static_cast<std::uint64_t>(start) + record.DataSize > UINT32_MAX) {
        elSystem::Error(operation, "WAVEファイルを読み込めません");
        return -1;
    }
    stream.FrameBytes = block.nBlockAlign;
    stream.Silence = block.wBitsPerSample == 8 ? 0x80 : 0;
    stream.DataSize = WholeFrames(record.DataSize, block);
    stream.BufferSize = static_cast<std::uint32_t>(perSecond * 4);
    stream.ChunkSize = stream.BufferSize / 2;
    stream.WriteOffset = stream.ChunkSize;
    stream.StartOffset = static_cast<std::uint32_t>(start);
    // A loop point outside the data, or inside a sample frame, is taken back
    // to the frame's start, or to the data's start.
    std::uint32_t loop = loopStart > 0 ? static_cast<std::uint32_t>(loopStart) : 0;
    if (loop >= stream.DataSize) loop = 0;
    stream.EndOffset = stream.StartOffset + loop - loop % stream.FrameBytes;
    const std::vector<std::uint8_t> chunk = ReadChunk(file.get(), stream.ChunkSize, stream.Silence);
    stream.ReadOffset = Position(file.get());
    file.reset();
    stream.ReadTotal = stream.ChunkSize;
    stream.WrapMark = -1;

    SoundObject& object = SoundTable[no];
    object.MixCount = 1;
    object.EchoCounter = -1;
    if (!Reloading) object.CurrentMix = 0;
    if (!MakeBuffers(operation, no, 1, STREAM_FLAGS, format, stream.BufferSize, chunk.data(),
                     stream.ChunkSize))
        return -1;
    object.Stream = stream;
    object.InUse = 1;
    object.FromPack = 1;
    return NameObject(operation, "ファイル名が長すぎます", no, name);
}

int ResetStream(int no) {
    const char* operation = "elSound::ResetStream";
    if (!SoundAvailable || !InTable(no) || !MixTable[no][0].Buffer) return 0;
    StreamRecord& stream = SoundTable[no].Stream;
    if (!stream.DataSize) return 0;
    File file(std::fopen(platform::ResolvePath(stream.PackPath).c_str(), "rb"));
    if (!file) return elSystem::Error(operation, "パックファイル名が指定されていません");
    if (std::fseek(file.get(), static_cast<long>(stream.StartOffset), SEEK_SET) != 0)
        return elSystem::Error(operation, "ストリーミング再生できません");
    stream.LastWriteStart = 0;
    stream.WriteOffset = stream.ChunkSize;
    const std::vector<std::uint8_t> chunk = ReadChunk(file.get(), stream.ChunkSize, stream.Silence);
    stream.ReadOffset = Position(file.get());
    file.reset();
    stream.ReadTotal = stream.ChunkSize;
    stream.WrapMark = -1;
    stream.LastPlay = 0;
    stream.EndCountdown = 0;
    WriteChunk(MixTable[no][0].Buffer, 0, chunk, false, stream.Silence);
    return 1;
}

int Streaming() {
    if (!SoundAvailable) return 0;
    for (int no = 0; no < SOUND_COUNT; ++no) {
        platform::SoundBuffer* buffer = MixTable[no][0].Buffer;
        StreamRecord& stream = SoundTable[no].Stream;
        if (!stream.DataSize || !buffer) continue;
        DWORD status = 0;
        buffer->GetStatus(&status);
        if (!(status & platform::DSBSTATUS_PLAYING)) continue;
        DWORD play = 0;
        buffer->GetCurrentPosition(&play, nullptr);
        if (!RefillDue(stream, play)) continue;
        stream.LastPlay = play;
        if (stream.EndCountdown > 0 && --stream.EndCountdown == 0) {
            Stop(no, MIX_EACH);
            continue;
        }
        if (!Refill(no, play)) {
            // A stream that cannot be refilled would loop stale sound and raise
            // the box again every frame: it ends here, once.
            Stop(no, MIX_EACH);
            return 0;
        }
    }
    return 1;
}

} // namespace elSound
