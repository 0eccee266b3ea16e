// libFuzzer entry for the sound readers: the input is read as a WAV file, and
// as a sound pack searched for "A.WAV" whose record is then read whole. Either
// reader refuses what it cannot hold, never reading or writing out of bounds.
#include "sound/wave_format.h"

#include <cstdlib>
#include <vector>

namespace {

void ReadAsWave(const unsigned char* data, std::size_t size) {
    std::FILE* file = fmemopen(const_cast<unsigned char*>(data), size, "rb");
    if (!file) std::abort();
    std::vector<std::uint8_t> format{1}, samples{1};
    if (elSound::ReadWaveFile(file, format, samples)) {
        // The format block is 18 bytes and the extra ones it counts.
        if (format.size() < elSound::FORMAT_BLOCK_SIZE ||
            format.size() != elSound::FORMAT_BLOCK_SIZE + (format[16] | format[17] << 8))
            std::abort();
        if (samples.size() > size) std::abort();
    } else if (!format.empty() || !samples.empty()) {
        std::abort();
    }
    std::fclose(file);
}

void ReadAsPack(const unsigned char* data, std::size_t size) {
    std::FILE* file = fmemopen(const_cast<unsigned char*>(data), size, "rb");
    if (!file) std::abort();
    elSound::SoundRecord record;
    if (elSound::FindSoundRecord(file, "A.WAV", record)) {
        // A record found is there whole.
        std::vector<std::uint8_t> bytes(elSound::FORMAT_BLOCK_SIZE + record.DataSize);
        if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
    }
    std::fclose(file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0) return 0; // a stream over no bytes cannot be opened
    ReadAsWave(data, size);
    ReadAsPack(data, size);
    return 0;
}
