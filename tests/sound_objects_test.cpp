// Sound objects: the device opened by screen set-up, mix counts, loading WAV
// files and pack records, damaged input, releasing, reloading, the output
// format, system sounds and shutdown.
#include "sound/wave_format.h"
#include "tests/sound_test_support.h"

#include <sys/resource.h>

#include <cerrno>
#include <climits>
#include <csignal>

namespace {

using namespace sound_test;
namespace headless = platform::headless;

using SoundObjects = SoundTest;

TEST_F(SoundObjects, ScreenOpensTheDeviceAndShutdownClosesIt) {
    ASSERT_EQ(elSound::SoundAvailable, 1);
    ASSERT_NE(elSound::Device, nullptr);
    Write("a.wav", Wave(1, 22050, 16, Constant16(1000, 100)));
    const int no = elSound::LoadObject(Name("a.wav").c_str(), 2);
    ASSERT_EQ(no, 0);
    // Set-up again closes the device and frees the table.
    OpenScreen();
    EXPECT_EQ(elSound::SoundTable[0].InUse, 0);
    EXPECT_EQ(BufferOf(0, 0), nullptr);
    ASSERT_EQ(elSound::LoadObject(Name("a.wav").c_str(), 1), 0);

    elSystem::Shutdown();
    EXPECT_EQ(elSound::Device, nullptr);
    EXPECT_EQ(elSound::PrimaryBuffer, nullptr);
    EXPECT_EQ(BufferOf(0, 0), nullptr);
}

TEST_F(SoundObjects, LoadedSampleIsMixedIntoTheOutput) {
    Write("a.wav", Wave(1, 44100, 16, Constant16(1000, 4410)));
    const int no = elSound::LoadObject(Name("A.WAV").c_str(), 1); // any case
    ASSERT_EQ(no, 0);
    const elSound::SoundObject& object = elSound::SoundTable[no];
    EXPECT_EQ(object.InUse, 1);
    EXPECT_EQ(object.FromPack, 0);
    EXPECT_STREQ(object.Name, Name("A.WAV").c_str());
    EXPECT_EQ(object.BaseFrequency, 44100u);
    EXPECT_EQ(elSound::MixTable[no][0].Frequency, 44100u);

    elSound::Play(no, 0);
    headless::AdvanceClock(200);
    const std::vector<int> samples = headless::SoundSamples();
    ASSERT_EQ(samples.size(), 2u * 8820);
    // 100 ms of the sample on both sides, then silence.
    EXPECT_EQ(samples[0], 1000);
    EXPECT_EQ(samples[2 * 4409 + 1], 1000);
    EXPECT_EQ(samples[2 * 4500], 0);
    EXPECT_EQ(Status(BufferOf(no, 0)), 0u);
    EXPECT_TRUE(headless::BoxLog().empty());
}

TEST_F(SoundObjects, MixCounts) {
    Write("a.wav", Wave(1, 22050, 16, Constant16(1, 10)));
    const std::string name = Name("a.wav");
    for (int mix : {11, -11, INT_MIN}) {
        headless::ResetBoxes();
        EXPECT_EQ(elSound::LoadObject(name.c_str(), mix), -1) << mix;
        EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadObject", "ミックス数が多過ぎます"));
    }
    EXPECT_EQ(TakenSlots(), 0);

    struct Case {
        int mix, buffers, echo;
    };
    for (const Case c : {Case{10, 10, 0}, Case{-4, 4, -1}, Case{4, 4, 0}, Case{1, 1, -1},
                         Case{-1, 1, -1}, Case{0, 1, -1}, Case{2, 2, 0}}) {
        const int no = elSound::LoadObject(name.c_str(), c.mix);
        ASSERT_GE(no, 0) << c.mix;
        EXPECT_EQ(elSound::SoundTable[no].MixCount, c.buffers) << c.mix;
        EXPECT_EQ(elSound::SoundTable[no].EchoCounter, c.echo) << c.mix;
        for (int mix = 0; mix < elSound::MIX_LIMIT; ++mix)
            EXPECT_EQ(BufferOf(no, mix) != nullptr, mix < c.buffers) << c.mix << " " << mix;
        elSound::ReleaseObject(no);
    }
    headless::ResetBoxes();
    WritePack(Record("A.WAV", Format(1, 22050, 16), Constant16(1, 10)));
    EXPECT_EQ(elSound::LoadPack("a.wav", -11), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadPack", "ミックス数が多過ぎます"));
    EXPECT_EQ(elSound::LoadPack("a.wav", 10), 0);
    EXPECT_NE(BufferOf(0, 9), nullptr);
}

TEST_F(SoundObjects, TheTableHoldsSeventyObjects) {
    Write("a.wav", Wave(1, 22050, 8, Bytes(10, 0x80)));
    for (int no = 0; no < elSound::SOUND_COUNT; ++no)
        ASSERT_EQ(elSound::LoadObject(Name("a.wav").c_str(), 1), no);
    EXPECT_EQ(elSound::LoadObject(Name("a.wav").c_str(), 1), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadObject", "オブジェクト数が多過ぎます"));
    // A released slot is the next one taken.
    elSound::ReleaseObject(7);
    EXPECT_EQ(elSound::SoundTable[7].InUse, 0);
    EXPECT_STREQ(elSound::SoundTable[7].Name, "");
    EXPECT_EQ(elSound::SoundTable[7].MixCount, 1);
    EXPECT_EQ(BufferOf(7, 0), nullptr);
    EXPECT_EQ(elSound::LoadObject(Name("a.wav").c_str(), 1), 7);
}

TEST_F(SoundObjects, NamesLongerThanThirtyBytesLoadWithoutAName) {
    const std::string prefix = folder + "\\";
    const std::string longest = std::string(30 - prefix.size() - 4, 'n') + ".wav";
    const std::string tooLong = "m" + longest;
    Write(longest, Wave(1, 22050, 16, Constant16(5, 10)));
    Write(tooLong, Wave(1, 22050, 16, Constant16(5, 10)));
    EXPECT_EQ(elSound::LoadObject((prefix + longest).c_str(), 1), 0);
    EXPECT_STREQ(elSound::SoundTable[0].Name, (prefix + longest).c_str());
    EXPECT_EQ(elSound::LoadObject((prefix + tooLong).c_str(), 1), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadObject", "ファイル名またはリソース名が長すぎます"));
    EXPECT_EQ(elSound::SoundTable[1].InUse, 1);
    EXPECT_STREQ(elSound::SoundTable[1].Name, "");
    EXPECT_NE(BufferOf(1, 0), nullptr);

    // Pack records: the same rule, with the pack loaders' message.
    const std::string record(31, 'R');
    WritePack(Record(record, Format(1, 22050, 16), Constant16(5, 10)));
    EXPECT_EQ(elSound::LoadPack(record.c_str(), 1), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadPack", "ファイル名が長すぎます"));
    EXPECT_EQ(elSound::SoundTable[2].InUse, 1);

    // Reloading passes over the objects that have no name to be found by.
    headless::ResetBoxes();
    elSound::Reload();
    EXPECT_TRUE(headless::BoxLog().empty());
    EXPECT_NE(BufferOf(0, 0), nullptr);
}

// WAV files that cannot be read take no slot; the program has no resources to
// fall back on.
TEST_F(SoundObjects, DamagedWaveFilesAreRefused) {
    Bytes format = Format(1, 22050, 16);
    format.resize(16);
    const Bytes fmt = Chunk("fmt ", format);
    const Bytes data = Chunk("data", Constant16(7, 8));
    Bytes wrongForm = Riff(fmt + data);
    wrongForm[8] = 'X';
    Bytes cutRiff = Riff(fmt + data);
    cutRiff[4] = 12; // the RIFF chunk ends before its "data" chunk
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"empty file", Bytes{}},
        {"not RIFF", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'} + fmt + data},
        {"not WAVE", wrongForm},
        {"no fmt", Riff(data)},
        {"fmt too short", Riff(Chunk("fmt ", Bytes(14, 1)) + data)},
        {"no data", Riff(fmt)},
        {"data beyond the RIFF chunk", cutRiff},
        {"more data claimed than held", Riff(fmt + Chunk("data", Constant16(7, 8), 400))},
        {"absurd data size", Riff(fmt + Chunk("data", Constant16(7, 8), 0xFFFFFFF0))},
        {"extra bytes beyond fmt", Riff(Chunk("fmt ", Bytes{2, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44,
                                                            0xAC, 0, 0, 2, 0, 16, 0, 40, 0}) +
                                        data)},
        {"header cut short", Bytes{'R', 'I', 'F', 'F', 100, 0, 0, 0, 'W', 'A'}},
    };
    for (const auto& [what, bytes] : cases) {
        headless::ResetBoxes();
        Write("bad.wav", bytes);
        EXPECT_EQ(elSound::LoadObject(Name("bad.wav").c_str(), 1), -1) << what;
        EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadObject", "WAVEリソースが見つかりません"))
            << what;
        std::vector<std::uint8_t> readFormat{1}, readData{1};
        EXPECT_EQ(elSound::ReadWave((root / folder / "bad.wav").c_str(), readFormat, readData), 0)
            << what;
        EXPECT_TRUE(readFormat.empty() && readData.empty()) << what;
    }
    headless::ResetBoxes();
    for (const char* name : {"missing.wav", ""}) {
        EXPECT_EQ(elSound::LoadObject(Name(name).c_str(), 1), -1);
        EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadObject", "WAVEリソースが見つかりません"));
    }
    EXPECT_EQ(TakenSlots(), 0);

    // A format the device does not play fails at the buffer.
    Write("bad.wav", Wave(3, 22050, 16, Constant16(7, 9)));
    EXPECT_EQ(elSound::LoadObject(Name("bad.wav").c_str(), 3), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadObject", "サウンドバッファが生成できません"));
    EXPECT_EQ(TakenSlots(), 0);
}

TEST_F(SoundObjects, WaveChunksAreFoundInAnyOrderAndOddDataIsCut) {
    // A list chunk of odd size before "fmt ", the data before a trailing chunk,
    // a half sample at the end of the data.
    Bytes format = Format(1, 8000, 16);
    format.resize(16);
    Bytes odd = Constant16(300, 3);
    odd.push_back(9);
    Write("a.wav", Riff(Chunk("LIST", Bytes(5, 'x')) + Chunk("fmt ", format) + Chunk("data", odd) +
                        Chunk("cue ", Bytes(4, 0))));
    std::vector<std::uint8_t> readFormat, readData;
    ASSERT_EQ(elSound::ReadWave((root / folder / "a.wav").c_str(), readFormat, readData), 1);
    EXPECT_EQ(Bytes(readFormat.begin(), readFormat.end()), Format(1, 8000, 16));
    EXPECT_EQ(readData.size(), 7u);
    const int no = elSound::LoadObject(Name("a.wav").c_str(), 1);
    ASSERT_EQ(no, 0);
    void* part = nullptr;
    DWORD bytes = 0;
    EXPECT_NE(BufferOf(no, 0)->Lock(0, 7, &part, &bytes, nullptr, nullptr, 0), platform::DS_OK);
    ASSERT_EQ(BufferOf(no, 0)->Lock(0, 6, &part, &bytes, nullptr, nullptr, 0), platform::DS_OK);
    BufferOf(no, 0)->Unlock(part, bytes, nullptr, 0);
}

TEST_F(SoundObjects, WithoutADeviceLoadersGiveMinusOneAndPacksAreStillMade) {
    headless::SetSoundDevicePresent(false);
    OpenScreen();
    EXPECT_EQ(elSound::SoundAvailable, 0);
    EXPECT_EQ(elSound::Device, nullptr);
    Write("a.wav", Wave(1, 22050, 16, Constant16(3, 4)));
    WritePack(Record("A.WAV", Format(1, 22050, 16), Constant16(3, 4)));
    EXPECT_EQ(elSound::LoadObject(Name("a.wav").c_str(), 1), -1);
    EXPECT_EQ(elSound::LoadPack("a.wav", 1), -1);
    EXPECT_EQ(elSound::LoadStream("a.wav", 0), -1);
    EXPECT_EQ(elSound::LoadObject(Name("a.wav").c_str(), 11), -1);
    EXPECT_EQ(elSound::SelectFormat(1, 8, 8), 1);
    EXPECT_EQ(elSound::Streaming(), 0);
    elSound::Play(0, elSound::MIX_TURN);
    elSound::Reload();
    EXPECT_TRUE(headless::BoxLog().empty());
    EXPECT_EQ(TakenSlots(), 0);

    ASSERT_EQ(elSound::MakePack(Name("made.dat").c_str(), folder.c_str(), 1), 1);
    EXPECT_EQ(Read("made.dat"), Record("A.WAV", Format(1, 22050, 16), Constant16(3, 4)));
}

TEST_F(SoundObjects, MakePackWritesUpperCaseRecordsAndSkipsWhatItCannotHold) {
    Write("b.wav", Wave(2, 11025, 8, Bytes{1, 2, 3, 4}));
    Write("a.Wav", Wave(1, 22050, 16, Constant16(-2, 3)));
    Write("broken.wav", Bytes{'R', 'I', 'F', 'F'});
    // A format with extra bytes: a pack's format block holds none.
    Write("extra.wav", Riff(Chunk("fmt ", Bytes{2, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC,
                                                0, 0, 2, 0, 16,   0,    2, 0, 7,    7}) +
                            Chunk("data", Bytes(4, 0))));
    Write("note.txt", Wave(1, 22050, 16, Constant16(1, 1)));
    fs::create_directory(root / folder / "dir.wav");
    ASSERT_EQ(elSound::MakePack(Name("p.dat").c_str(), folder.c_str(), 1), 1);
    const Bytes first = Record("A.WAV", Format(1, 22050, 16), Constant16(-2, 3)) +
                        Record("B.WAV", Format(2, 11025, 8), Bytes{1, 2, 3, 4});
    EXPECT_EQ(Read("p.dat"), first);
    // Without `fresh` the records are appended.
    ASSERT_EQ(elSound::MakePack(Name("p.dat").c_str(), folder.c_str(), 0), 1);
    EXPECT_EQ(Read("p.dat"), first + first);
    ASSERT_EQ(elSound::MakePack(Name("p.dat").c_str(), folder.c_str(), 1), 1);
    EXPECT_EQ(Read("p.dat"), first);
    // A folder with no WAV files makes nothing.
    ASSERT_EQ(elSound::MakePack(Name("q.dat").c_str(), (folder + "\\dir.wav").c_str(), 1), 1);
    EXPECT_FALSE(fs::exists(root / folder / "q.dat"));
}

// A record is appended whole or not at all: a pack cut short in a record
// would hide every record after it.
TEST_F(SoundObjects, ARecordIsAppendedWholeOrNotAtAll) {
    Write("a.wav", Wave(1, 22050, 16, Constant16(3, 4)));
    Write("big.wav", Wave(1, 22050, 16, Constant16(5, 40000)));
    Write("broken.wav", Bytes{'R', 'I', 'F', 'F'});
    // A format with extra bytes: a pack's format block holds none.
    Write("extra.wav", Riff(Chunk("fmt ", Bytes{2, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC,
                                                0, 0, 2, 0, 16,   0,    2, 0, 7,    7}) +
                            Chunk("data", Bytes(4, 0))));
    const std::string pack = (root / folder / "p.dat").string();
    const auto path = [&](const char* file) { return (root / folder / file).string(); };
    ASSERT_EQ(elSound::AppendPackRecord(pack, path("a.wav"), "A.WAV"), 0);
    const Bytes before = Read("p.dat");
    EXPECT_EQ(before, Record("A.WAV", Format(1, 22050, 16), Constant16(3, 4)));

    struct Case {
        const char* file;
        int error;
    };
    for (Case c : {Case{"missing.wav", ENOENT}, Case{"broken.wav", EINVAL},
                   Case{"extra.wav", EINVAL}, Case{"big.wav", EFBIG}}) {
        SCOPED_TRACE(c.file);
        // A full disk, as a limit on the size of the files this process writes.
        rlimit saved;
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 64 << 10;
        auto signal = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const int error = elSound::AppendPackRecord(pack, path(c.file), "B.WAV");
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, signal);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(Read("p.dat"), before);
    }
    ASSERT_EQ(elSound::AppendPackRecord(pack, path("big.wav"), "B.WAV"), 0);
    elSound::SetPack(Name("p.dat").c_str());
    EXPECT_EQ(elSound::LoadPack("b.wav", 1), 0);
}

TEST_F(SoundObjects, PackRecordsLoadByNameInAnyCase) {
    Write("b.wav", Wave(1, 44100, 16, Constant16(-700, 441)));
    Write("a.wav", Wave(1, 44100, 16, Constant16(1, 10)));
    ASSERT_EQ(elSound::MakePack(Name("p.dat").c_str(), folder.c_str(), 1), 1);
    elSound::SetPack(Name("P.DAT").c_str());
    const int no = elSound::LoadPack("b.wav", 1);
    ASSERT_EQ(no, 0);
    EXPECT_EQ(elSound::SoundTable[no].FromPack, 1);
    EXPECT_STREQ(elSound::SoundTable[no].Name, "b.wav");
    EXPECT_EQ(elSound::SoundTable[no].Stream.DataSize, 0u);
    elSound::Play(no, 0);
    headless::AdvanceClock(10);
    const std::vector<int> samples = headless::SoundSamples();
    ASSERT_EQ(samples.size(), 2u * 441);
    EXPECT_EQ(samples[0], -700);
    EXPECT_EQ(samples.back(), -700);

    // Two-byte characters keep their second byte as it is.
    const std::string twoByte = "\x83\x61";
    WritePack(Record("X" + twoByte + "Z.WAV", Format(1, 22050, 16), Constant16(4, 2)));
    EXPECT_EQ(elSound::LoadPack(("x" + twoByte + "z.wav").c_str(), 1), 1);
    EXPECT_TRUE(headless::BoxLog().empty());
}

TEST_F(SoundObjects, MissingAndDamagedPacksAreRefused) {
    EXPECT_EQ(elSound::LoadPack("a.wav", 1), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadPack", "パックファイル名が指定されていません"));
    elSound::SetPack(Name("none.dat").c_str());
    EXPECT_EQ(elSound::LoadPack("a.wav", 1), -1);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadPack", "パックファイル名が指定されていません"));

    const Bytes format = Format(1, 22050, 16);
    const Bytes good = Record("A.WAV", format, Constant16(9, 4));
    Bytes wide = format;
    wide.push_back(0);
    wide.push_back(0);
    Bytes cutData = good;
    cutData.pop_back();
    Bytes absurd = good;
    absurd[0] = absurd[1] = absurd[2] = absurd[3] = 0xFF;
    Bytes pastEnd = Record("B.WAV", format, {});
    pastEnd[0] = pastEnd[1] = pastEnd[2] = 0xFF;
    pastEnd[3] = 0x0F;
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"no record of the name", Record("B.WAV", format, Constant16(9, 4))},
        {"data cut short", cutData},
        {"format block cut short", Bytes(good.begin(), good.begin() + 16)},
        {"name without its NUL", Bytes{8, 0, 0, 0, 'A', '.', 'W'}},
        {"size cut short", Bytes{8, 0}},
        {"absurd data size", absurd},
        {"format block of 20 bytes", Record("A.WAV", wide, Constant16(9, 4))},
        {"a record of 20 bytes before it", Record("B.WAV", wide, Constant16(9, 4)) + good},
        {"a size past the end skipped", pastEnd + good},
    };
    for (const auto& [what, bytes] : cases) {
        headless::ResetBoxes();
        WritePack(bytes);
        EXPECT_EQ(elSound::LoadPack("a.wav", 1), -1) << what;
        EXPECT_EQ(LastBox(), ErrorBox("elSound::LoadPack", "WAVEファイルを読み込めません")) << what;
    }
    EXPECT_EQ(TakenSlots(), 0);
    // Records with names longer than the reader holds are passed over.
    WritePack(Record(std::string(200, 'N'), format, Constant16(1, 2)) + good);
    EXPECT_EQ(elSound::LoadPack("a.wav", 1), 0);
}

TEST_F(SoundObjects, ReloadKeepsNumbersTurnsAndSettings) {
    Write("a.wav", Wave(1, 22050, 16, Constant16(100, 2205)));
    Write("b.wav", Wave(1, 11025, 16, Constant16(200, 1102)));
    ASSERT_EQ(elSound::MakePack(Name("p.dat").c_str(), folder.c_str(), 1), 1);
    elSound::SetPack(Name("p.dat").c_str());
    ASSERT_EQ(elSound::LoadObject(Name("a.wav").c_str(), 3), 0);
    ASSERT_EQ(elSound::LoadPack("B.wav", -4), 1);
    elSound::ReleaseObject(0);
    ASSERT_EQ(elSound::LoadObject(Name("a.wav").c_str(), 3), 0);
    elSound::Play(0, elSound::MIX_TURN);
    elSound::Play(0, elSound::MIX_TURN);
    elSound::SetVolume(0, -12, 1);
    elSound::SetFrequency(0, 30, 1);
    elSound::SetPan(0, -7, 2);
    elSound::SetVolume(1, -3, elSound::MIX_EACH);
    elSound::Play(1, elSound::MIX_TURN);

    elSound::Reload();
    EXPECT_TRUE(headless::BoxLog().empty());
    ASSERT_NE(BufferOf(0, 2), nullptr);
    EXPECT_EQ(elSound::SoundTable[0].CurrentMix, 2);
    EXPECT_EQ(elSound::SoundTable[1].CurrentMix, 1);
    EXPECT_EQ(elSound::SoundTable[0].BaseFrequency, 22050u);
    long volume = 0, pan = 0;
    DWORD frequency = 0;
    BufferOf(0, 1)->GetVolume(&volume);
    BufferOf(0, 1)->GetFrequency(&frequency);
    BufferOf(0, 2)->GetPan(&pan);
    EXPECT_EQ(volume, -1200);
    EXPECT_EQ(frequency, 25050u);
    EXPECT_EQ(pan, -700);
    BufferOf(0, 0)->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 22050u);
    for (int mix = 0; mix < 4; ++mix) {
        BufferOf(1, mix)->GetVolume(&volume);
        EXPECT_EQ(volume, -300) << mix;
    }
    EXPECT_EQ(elSound::SoundTable[1].FromPack, 1);
    // A negative mix count is kept as its size: the object can echo now.
    EXPECT_EQ(elSound::SoundTable[1].EchoCounter, 0);
    // The reloaded buffers hold the samples.
    headless::ClearSoundOutput();
    elSound::Play(1, 3);
    headless::AdvanceClock(1);
    ASSERT_FALSE(headless::SoundSamples().empty());
    EXPECT_NEAR(headless::SoundSamples()[0], 200 * 0.708, 1); // -3 dB
}

TEST_F(SoundObjects, SelectFormatChangesTheOutputAndReloads) {
    Write("a.wav", Wave(1, 8000, 8, Bytes(800, 0xC0)));
    ASSERT_EQ(elSound::LoadObject(Name("a.wav").c_str(), 2), 0);
    elSound::SetVolume(0, -6, 1);
    ASSERT_EQ(elSound::SelectFormat(1, 8, 8), 1);
    EXPECT_NE(BufferOf(0, 1), nullptr);
    long volume = 0;
    BufferOf(0, 1)->GetVolume(&volume);
    EXPECT_EQ(volume, -600);
    headless::ClearSoundOutput();
    elSound::Play(0, 0);
    headless::AdvanceClock(200);
    // 8000 mono frames of 8 bits a second: the sample, then silence.
    const Bytes& output = headless::SoundOutput();
    ASSERT_EQ(output.size(), 1600u);
    EXPECT_EQ(output[0], 0xC0);
    EXPECT_EQ(output[799], 0xC0);
    EXPECT_EQ(output[1000], 0x80);

    ASSERT_EQ(elSound::SelectFormat(2, 44, 16), 1);
    headless::ClearSoundOutput();
    headless::AdvanceClock(100);
    EXPECT_EQ(headless::SoundOutput().size(), 17640u);

    // A format the output cannot take leaves the objects without buffers.
    EXPECT_EQ(elSound::SelectFormat(3, 22, 16), 0);
    EXPECT_EQ(LastBox(), ErrorBox("elSound::SelectFormat", "再生フォーマットを変更できません"));
    EXPECT_EQ(BufferOf(0, 0), nullptr);
    EXPECT_EQ(elSound::SoundTable[0].InUse, 1);
    elSound::Play(0, elSound::MIX_TURN);
    elSound::SetVolume(0, -1, elSound::MIX_EACH);
    elSound::Pause(0, elSound::MIX_EACH);
    EXPECT_EQ(elSound::GetPosition(0), 0u);
}

TEST_F(SoundObjects, PlaySystemClosesTheDevicePlaysAndReloads) {
    Write("a.wav", Wave(1, 22050, 16, Constant16(100, 100)));
    Write("chime.wav", Wave(1, 44100, 16, Constant16(-300, 441)));
    ASSERT_EQ(elSound::LoadObject(Name("a.wav").c_str(), 2), 0);
    elSound::SetPan(0, 5, 1);
    const std::string chime = (root / folder / "CHIME.WAV").string();
    elSound::PlaySystem(chime.c_str());
    ASSERT_EQ(headless::SystemSoundLog().size(), 1u);
    EXPECT_EQ(headless::SystemSoundLog()[0], chime);
    const std::vector<int> samples = headless::SoundSamples();
    ASSERT_GE(samples.size(), 2u * 441);
    EXPECT_EQ(samples[0], -300);
    ASSERT_NE(elSound::Device, nullptr);
    ASSERT_NE(BufferOf(0, 1), nullptr);
    long pan = 0;
    BufferOf(0, 1)->GetPan(&pan);
    EXPECT_EQ(pan, 500);
}

// Inputs of the readers' fuzzing, each as a WAV file and as a pack: each
// loads, or is refused with one box and takes no slot.
TEST_F(SoundObjects, CorpusLoadsOrIsRefused) {
    int files = 0;
    for (const auto& file : fs::directory_iterator(WAVE_CORPUS)) {
        std::ifstream in(file.path(), std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(in), {}};
        Write("a.wav", bytes);
        WritePack(bytes);
        for (int pack = 0; pack < 2; ++pack) {
            headless::ResetBoxes();
            const int no = pack ? elSound::LoadPack("a.wav", 2)
                                : elSound::LoadObject(Name("a.wav").c_str(), 2);
            EXPECT_EQ(no < 0, headless::BoxLog().size() == 1) << file.path() << " " << pack;
            EXPECT_EQ(TakenSlots(), no < 0 ? 0 : 1) << file.path() << " " << pack;
            if (no >= 0) elSound::ReleaseObject(no);
        }
        ++files;
    }
    EXPECT_GT(files, 10);
}

} // namespace
