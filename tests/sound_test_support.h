// What the sound tests share: WAV files and sound packs made in memory, a
// folder beside the program for them, and the screen set-up that opens the
// sound device.
#pragma once

#include "draw/draw.h"
#include "platform/formats/text_encoding.h"
#include "platform/headless/headless.h"
#include "platform/win/sound.h"
#include "sound/sound.h"
#include "system/system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace sound_test {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

inline void PutWord(Bytes& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

inline void PutDword(Bytes& bytes, std::uint32_t value) {
    PutWord(bytes, static_cast<std::uint16_t>(value));
    PutWord(bytes, static_cast<std::uint16_t>(value >> 16));
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The 18-byte format block of a PCM format.
inline Bytes Format(int channels, int rate, int bits) {
    Bytes bytes;
    const int align = channels * bits / 8;
    PutWord(bytes, 1);
    PutWord(bytes, static_cast<std::uint16_t>(channels));
    PutDword(bytes, static_cast<std::uint32_t>(rate));
    PutDword(bytes, static_cast<std::uint32_t>(rate * align));
    PutWord(bytes, static_cast<std::uint16_t>(align));
    PutWord(bytes, static_cast<std::uint16_t>(bits));
    PutWord(bytes, 0);
    return bytes;
}

// A chunk: its id, its size (`claimed` when given) and its contents, padded.
inline Bytes Chunk(const char* id, const Bytes& contents, long long claimed = -1) {
    Bytes bytes(id, id + 4);
    PutDword(bytes, static_cast<std::uint32_t>(claimed >= 0 ? claimed : contents.size()));
    bytes = bytes + contents;
    if (contents.size() % 2) bytes.push_back(0);
    return bytes;
}

inline Bytes Riff(const Bytes& chunks) { return Chunk("RIFF", Bytes{'W', 'A', 'V', 'E'} + chunks); }

// A WAV file with a 16-byte "fmt " chunk, as most writers make them.
inline Bytes Wave(int channels, int rate, int bits, const Bytes& samples) {
    Bytes format = Format(channels, rate, bits);
    format.resize(16);
    return Riff(Chunk("fmt ", format) + Chunk("data", samples));
}

// Samples of 16-bit mono holding `value` `count` times.
inline Bytes Constant16(int value, int count) {
    Bytes bytes;
    for (int i = 0; i < count; ++i) PutWord(bytes, static_cast<std::uint16_t>(value));
    return bytes;
}

// One pack record.
inline Bytes Record(const std::string& name, const Bytes& format, const Bytes& data) {
    Bytes bytes;
    PutDword(bytes, static_cast<std::uint32_t>(data.size()));
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.push_back(0);
    PutDword(bytes, static_cast<std::uint32_t>(format.size()));
    return bytes + format + data;
}

inline std::string ErrorBox(const char* operation, const char* message) {
    return "box \"" + platform::Cp932ToUtf8("エラー発生") + "\" \"" + operation + " : " +
           platform::Cp932ToUtf8(message) + "\" -> ok";
}

inline std::string LastBox() {
    const auto& log = platform::headless::BoxLog();
    return log.empty() ? "" : log.back();
}

inline DWORD Status(platform::SoundBuffer* buffer) {
    DWORD status = 0;
    buffer->GetStatus(&status);
    return status;
}

inline DWORD Position(platform::SoundBuffer* buffer) {
    DWORD play = 0;
    buffer->GetCurrentPosition(&play, nullptr);
    return play;
}

inline platform::SoundBuffer* BufferOf(int no, int mix) {
    return elSound::MixTable[no][mix].Buffer;
}

inline int TakenSlots() {
    int taken = 0;
    for (const elSound::SoundObject& object : elSound::SoundTable) taken += object.InUse;
    return taken;
}

// Opens the screen, and with it the sound device, and gives each test a
// folder beside the program for its files.
class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::headless::ResetBoxes();
        platform::headless::SetSoundDevicePresent(true);
        folder = std::string("s").append(std::to_string(getpid()));
        root = fs::path(elSystem::ProgramFolder(0));
        fs::remove_all(root / folder);
        fs::create_directories(root / folder);
        elSound::SoundPackPath[0] = '\0';
        OpenScreen();
        platform::headless::ClearSoundOutput();
    }
    void TearDown() override {
        elSound::Quit();
        elDraw::Quit();
        platform::headless::SetSoundDevicePresent(true);
        fs::remove_all(root / folder);
    }
    void OpenScreen() {
        elDraw::Quit();
        ASSERT_EQ(elDraw::Screen(64, 64, 1), 1);
    }
    // The name of a file of the test's folder, relative to the program's folder.
    std::string Name(const std::string& file) const { return folder + "\\" + file; }
    void Write(const std::string& file, const Bytes& bytes) const {
        std::ofstream out(root / folder / file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    Bytes Read(const std::string& file) const {
        std::ifstream in(root / folder / file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    // Writes the pack and sets it.
    void WritePack(const Bytes& bytes) const {
        Write("p.dat", bytes);
        elSound::SetPack(Name("p.dat").c_str());
    }

    std::string folder;
    fs::path root;
};

} // namespace sound_test
