// Streaming objects: long pack records played through a four-second buffer
// refilled each frame, checked on the rendered output of the device (8-bit mono
// at 8000 Hz, so that the output holds the record's bytes as they are).
#include "tests/scripted_run.h"
#include "tests/sound_test_support.h"

namespace {

using namespace sound_test;
namespace headless = platform::headless;

constexpr int RATE = 8000;    // bytes a second
constexpr int BUFFER = 32000; // four seconds
constexpr int CHUNK = 16000;  // two seconds
constexpr std::uint8_t SILENCE = 0x80;

// Bytes that never repeat in step and are never silence.
Bytes Sample(int bytes) {
    Bytes data(static_cast<std::size_t>(bytes));
    for (int i = 0; i < bytes; ++i)
        data[i] = static_cast<unsigned char>(0x81 + (i * 7 + i / 997) % 120);
    return data;
}

Bytes Part(const Bytes& data, int from, int to) {
    return Bytes(data.begin() + from, data.begin() + to);
}

class SoundStream : public SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        ASSERT_EQ(elSound::SelectFormat(1, 8, 8), 1);
    }
    // A pack with the record LONG.WAV of `seconds` of 8-bit mono at 8000 Hz.
    Bytes WriteLong(double seconds) {
        const Bytes data = Sample(static_cast<int>(seconds * RATE));
        WritePack(Record("LONG.WAV", Format(1, RATE, 8), data));
        return data;
    }
    // Frames of `ms` milliseconds: the device renders, then the streams refill.
    // Each refill's size is noted.
    void Frames(int count, int ms) {
        for (int frame = 0; frame < count; ++frame) {
            headless::AdvanceClock(static_cast<std::uint32_t>(ms));
            FrameSeconds = static_cast<float>(ms) / 1000;
            Refill();
        }
    }
    void Refill() {
        const elSound::StreamRecord& stream = elSound::SoundTable[0].Stream;
        const std::uint32_t before = stream.WriteOffset;
        results.push_back(elSound::Streaming());
        if (stream.WriteOffset != before)
            chunks.push_back(static_cast<int>((stream.WriteOffset + BUFFER - before) % BUFFER));
    }
    static Bytes Contents(int from, int to) {
        void* part = nullptr;
        DWORD bytes = 0;
        platform::SoundBuffer* buffer = BufferOf(0, 0);
        if (buffer->Lock(static_cast<DWORD>(from), static_cast<DWORD>(to - from), &part, &bytes,
                         nullptr, nullptr, 0) != platform::DS_OK)
            return {};
        const auto* at = static_cast<const unsigned char*>(part);
        Bytes contents(at, at + bytes);
        buffer->Unlock(part, bytes, nullptr, 0);
        return contents;
    }
    static Bytes Output(std::size_t from, std::size_t to) {
        const Bytes& output = headless::SoundOutput();
        to = std::min(to, output.size());
        return from < to ? Bytes(output.begin() + from, output.begin() + to) : Bytes{};
    }

    std::vector<int> chunks;
    std::vector<int> results;
};

// Through the frame loop: the scene refills the stream every frame, and the
// window's close shuts the device down.
TEST_F(SoundStream, PlaysItsDataThenOneChunkOfSilenceThenStops) {
    Bytes data;
    Bytes silentWrap;
    Script script;
    script.Do([&] {
        OpenScreen();
        ASSERT_EQ(elSound::SelectFormat(1, 8, 8), 1);
        data = WriteLong(7);
        ASSERT_EQ(elSound::LoadStream("long.wav", 0), 0);
        headless::ClearSoundOutput();
        elSound::Play(0, 0);
        SceneHook = [&] {
            Refill();
            // The chunk of silence runs past the buffer's end: written in two parts.
            if (elSound::SoundTable[0].Stream.EndCountdown == 1 && silentWrap.empty())
                silentWrap = Contents(24000, BUFFER) + Contents(0, 12000);
        };
    });
    script.Frames(100, 100);
    script.Run();

    // 3 seconds were left after two chunks: they came as 1.5 and 1.5 seconds.
    EXPECT_EQ(chunks, (std::vector<int>{CHUNK, 12000, 12000, CHUNK}));
    EXPECT_EQ(silentWrap, Bytes(16000, SILENCE) + Part(data, 40000, 44000));
    ASSERT_EQ(headless::SoundOutput().size(), 10u * RATE);
    EXPECT_EQ(Output(0, 56000), data);
    EXPECT_EQ(Output(56000, 80000), Bytes(24000, SILENCE));
    EXPECT_EQ(elSound::Device, nullptr); // closed by the shutdown
    EXPECT_TRUE(headless::BoxLog().empty());
}

TEST_F(SoundStream, StopsAndRewindsAndIsThenPassedOver) {
    WriteLong(7);
    ASSERT_EQ(elSound::LoadStream("long.wav", 0), 0);
    elSound::Play(0, 0);
    Frames(75, 100);
    EXPECT_EQ(Status(BufferOf(0, 0)), 0u);
    EXPECT_EQ(Position(BufferOf(0, 0)), 0u);
    const elSound::StreamRecord stream = elSound::SoundTable[0].Stream;
    Frames(20, 100);
    EXPECT_EQ(elSound::SoundTable[0].Stream.ReadOffset, stream.ReadOffset);
    EXPECT_EQ(elSound::SoundTable[0].Stream.LastPlay, stream.LastPlay);
    EXPECT_EQ(std::count(results.begin(), results.end(), 0), 0);
    // Played again, it starts from the start.
    headless::ClearSoundOutput();
    elSound::Play(0, 0);
    Frames(10, 100);
    EXPECT_EQ(Output(0, 8000), Part(Sample(7 * RATE), 0, 8000));
}

TEST_F(SoundStream, LoopsFromItsLoopPoint) {
    const Bytes data = WriteLong(7);
    ASSERT_EQ(elSound::LoadStream("long.wav", 24000), 0);
    headless::ClearSoundOutput();
    elSound::PlayLoop(0, 0);
    Frames(170, 100);
    const Bytes repeat = Part(data, 24000, 56000);
    EXPECT_EQ(Output(0, 120000), data + repeat + repeat);
    EXPECT_EQ(Output(120000, 136000), Part(repeat, 0, 16000));
    EXPECT_EQ(Status(BufferOf(0, 0)), platform::DSBSTATUS_PLAYING | platform::DSBSTATUS_LOOPING);
}

TEST_F(SoundStream, LoopPointsOutsideTheDataLoopTheWhole) {
    // 16-bit stereo: a loop point inside a frame is taken to the frame's start.
    Bytes data = Sample(5 * 4 * 1000);
    WritePack(Record("LONG.WAV", Format(2, 1000, 16), data));
    ASSERT_EQ(elSound::LoadStream("long.wav", 7), 0);
    const elSound::StreamRecord& stream = elSound::SoundTable[0].Stream;
    EXPECT_EQ(stream.EndOffset - stream.StartOffset, 4u);
    EXPECT_EQ(stream.DataSize, 20000u);
    elSound::ReleaseObject(0);
    for (int loop : {20000, 999999, -5}) {
        ASSERT_EQ(elSound::LoadStream("long.wav", loop), 0) << loop;
        EXPECT_EQ(stream.EndOffset, stream.StartOffset) << loop;
        elSound::ReleaseObject(0);
    }
    // A data size that is no whole number of frames is cut to one.
    data.resize(data.size() + 3);
    WritePack(Record("LONG.WAV", Format(2, 1000, 16), data));
    ASSERT_EQ(elSound::LoadStream("long.wav", 0), 0);
    EXPECT_EQ(stream.DataSize, 20000u);
}

TEST_F(SoundStream, APausedStreamIsNotRefilledAndResumesWhereItWas) {
    const Bytes data = WriteLong(7);
    ASSERT_EQ(elSound::LoadStream("long.wav", 0), 0);
    headless::ClearSoundOutput();
    elSound::Play(0, 0);
    Frames(10, 100);
    elSound::Pause(0, 0);
    const std::size_t refills = chunks.size();
    Frames(30, 100);
    EXPECT_EQ(chunks.size(), refills);
    elSound::Pause(0, 0);
    Frames(80, 100);
    EXPECT_EQ(Output(0, 8000), Part(data, 0, 8000));
    EXPECT_EQ(Output(8000, 32000), Bytes(24000, SILENCE));
    EXPECT_EQ(Output(32000, 80000), Part(data, 8000, 56000));
    EXPECT_EQ(Output(80000, 96000), Bytes(16000, SILENCE));
}

TEST_F(SoundStream, DeletingThePackShowsOneErrorAtTheNextRefillAndEndsTheStream) {
    WriteLong(7);
    ASSERT_EQ(elSound::LoadStream("long.wav", 0), 0);
    elSound::Play(0, 0);
    Frames(3, 100); // the second chunk is written at once
    EXPECT_EQ(chunks.size(), 1u);
    std::filesystem::remove(root / folder / "p.dat");
    Frames(12, 100); // not due yet
    EXPECT_TRUE(headless::BoxLog().empty());
    Frames(10, 100);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::Streaming", "パックファイル名が指定されていません"));
    EXPECT_EQ(std::count(results.begin(), results.end(), 0) > 0, true);
    // The stream has ended: no box comes again.
    headless::ResetBoxes();
    Frames(30, 100);
    EXPECT_TRUE(headless::BoxLog().empty());
    DWORD status = 1;
    elSound::MixTable[0][0].Buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(elSound::ResetStream(0), 0);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::ResetStream", "パックファイル名が指定されていません"));
}

// The stream's pace comes from the rate and the frame size: a header whose
// average-bytes field disagrees still plays its data once, in time, and ends.
TEST_F(SoundStream, AWrongAverageRateInTheHeaderDoesNotSetThePace) {
    for (std::uint32_t average : {4u, 0u, 1000000u}) {
        SCOPED_TRACE(average);
        const Bytes data = Sample(7 * RATE);
        Bytes format = Format(1, RATE, 8);
        format[8] = static_cast<unsigned char>(average);
        format[9] = static_cast<unsigned char>(average >> 8);
        format[10] = static_cast<unsigned char>(average >> 16);
        WritePack(Record("LONG.WAV", format, data));
        const int no = elSound::LoadStream("long.wav", 0);
        ASSERT_EQ(no, 0);
        EXPECT_EQ(elSound::SoundTable[no].Stream.BufferSize, static_cast<std::uint32_t>(BUFFER));
        headless::ClearSoundOutput();
        elSound::Play(no, 0);
        Frames(100, 100);
        EXPECT_EQ(Status(BufferOf(no, 0)), 0u);
        EXPECT_EQ(Output(0, 56000), data);
        EXPECT_EQ(Output(56000, 64000), Bytes(8000, SILENCE));
        elSound::ReleaseObject(no);
    }
}

// A record larger than any sound held whole is refused as an object but
// streams: only a chunk of it is ever read.
TEST_F(SoundStream, ARecordTooLargeToHoldWholeStillStreams) {
    const std::uint32_t size = 300u << 20;
    const Bytes start = Sample(BUFFER);
    Bytes head = Record("LONG.WAV", Format(1, RATE, 8), start);
    head[0] = static_cast<unsigned char>(size);
    head[1] = static_cast<unsigned char>(size >> 8);
    head[2] = static_cast<unsigned char>(size >> 16);
    head[3] = static_cast<unsigned char>(size >> 24);
    WritePack(head);
    // The rest of the data, as a hole in the file.
    fs::resize_file(root / folder / "p.dat", head.size() - start.size() + size);
    EXPECT_EQ(elSound::LoadPack("long.wav", 1), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadPack", "WAVEファイルを読み込めません"));
    headless::ResetBoxes();
    const int no = elSound::LoadStream("long.wav", 0);
    ASSERT_EQ(no, 0);
    EXPECT_EQ(elSound::SoundTable[no].Stream.DataSize, size);
    headless::ClearSoundOutput();
    elSound::Play(no, 0);
    Frames(50, 100);
    EXPECT_EQ(Output(0, BUFFER), start);
    EXPECT_EQ(Output(BUFFER, 5 * RATE), Bytes(RATE, 0));
    EXPECT_TRUE(headless::BoxLog().empty());
}

TEST_F(SoundStream, AnEntryShorterThanFiveSecondsLoadsWhole) {
    WriteLong(4.9);
    const int no = elSound::LoadStream("long.wav", 0);
    ASSERT_EQ(no, 0);
    const elSound::SoundObject& object = elSound::SoundTable[no];
    EXPECT_EQ(object.Stream.DataSize, 0u);
    EXPECT_EQ(object.MixCount, 1);
    EXPECT_EQ(object.EchoCounter, -1);
    EXPECT_EQ(object.FromPack, 1);
    EXPECT_EQ(Contents(0, 39200), Sample(39200));
    EXPECT_TRUE(Contents(0, 39201).empty());

    WriteLong(5);
    EXPECT_EQ(elSound::LoadStream("long.wav", 0), 1);
    EXPECT_EQ(elSound::SoundTable[1].Stream.DataSize, 40000u);
    EXPECT_STREQ(elSound::SoundTable[1].Name, "long.wav");
    EXPECT_TRUE(headless::BoxLog().empty());
}

TEST_F(SoundStream, LoadErrors) {
    EXPECT_EQ(elSound::LoadStream("long.wav", 0), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadStream", "パックファイル名が指定されていません"));
    WriteLong(6);
    EXPECT_EQ(elSound::LoadStream("short.wav", 0), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadStream", "WAVEファイルを読み込めません"));
    const std::string name(31, 'L');
    // Five seconds of a frame size no device plays, at the highest rate:
    // refused before any buffer of that pace is made.
    Bytes huge = Format(2, 100000, 16);
    huge[12] = 8;
    WritePack(Record(name, Format(1, RATE, 8), Sample(6 * RATE)) +
              Record("BAD.WAV", Format(3, RATE, 8), Sample(6 * 3 * RATE)) +
              Record("HUGE.WAV", huge, Sample(5 * 800000)));
    EXPECT_EQ(elSound::LoadStream(name.c_str(), 0), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadStream", "ファイル名が長すぎます"));
    EXPECT_NE(elSound::SoundTable[0].Stream.DataSize, 0u);
    EXPECT_EQ(elSound::LoadStream("bad.wav", 0), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadStream", "サウンドバッファが生成できません"));
    headless::ResetBoxes();
    EXPECT_EQ(elSound::LoadStream("huge.wav", 0), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadStream", "サウンドバッファが生成できません"));
    EXPECT_EQ(TakenSlots(), 1);
    EXPECT_EQ(elSound::SoundTable[1].Stream.DataSize, 0u);
    EXPECT_EQ(elSound::Streaming(), 1);
}

TEST_F(SoundStream, ReloadTakesEachStreamFromItsOwnPack) {
    const Bytes data = WriteLong(6);
    ASSERT_EQ(elSound::LoadStream("long.wav", 0), 0);
    Write("q.dat", Record("SHORT.WAV", Format(1, RATE, 8), Sample(100)));
    elSound::SetPack(Name("q.dat").c_str());
    const std::string pack = elSound::SoundPackPath;
    ASSERT_EQ(elSound::LoadPack("short.wav", 2), 1);
    elSound::SetVolume(0, -4, 0);

    elSound::Reload();
    // The device opened again plays its default format until it is chosen again.
    ASSERT_EQ(elSound::SelectFormat(1, 8, 8), 1);
    EXPECT_TRUE(headless::BoxLog().empty());
    EXPECT_EQ(elSound::SoundPackPath, pack);
    EXPECT_EQ(elSound::SoundTable[0].Stream.DataSize, 6u * RATE);
    EXPECT_NE(BufferOf(1, 1), nullptr);
    long volume = 0;
    BufferOf(0, 0)->GetVolume(&volume);
    EXPECT_EQ(volume, -400);
    headless::ClearSoundOutput();
    elSound::SetVolume(0, 0, 0);
    elSound::Play(0, 0);
    Frames(30, 100);
    EXPECT_EQ(Output(0, 24000), Part(data, 0, 24000));
}

} // namespace
