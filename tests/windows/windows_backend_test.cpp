// The native Windows backend on the system itself (run under Wine by the test
// command, with no display): GDI text and shapes on surfaces, the faces that
// stand in for the system's own, CP932 through the system's code page, the
// file work's all-or-none replacement and locks, private folders, DirectSound
// into the sound card's output, the media-control sequencer and the system's
// records.
#include "platform/backend.h"
#include "platform/files/file_io.h"
#include "platform/files/file_lock.h"
#include "platform/files/file_ops.h"
#include "platform/files/file_set.h"
#include "platform/files/files.h"
#include "platform/files/private_folder.h"
#include "platform/formats/text_encoding.h"
#include "platform/win/display.h"
#include "platform/win/fonts.h"
#include "platform/win/gdi_shapes.h"
#include "platform/win/mci.h"
#include "platform/win/sound.h"
#include "platform/win/system_info.h"
#include "tests/midi_writer.h"
#include "tests/windows/system_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Waits for `condition` up to ten seconds; its last answer.
template <typename Condition> bool WaitFor(Condition condition) {
    for (int waited = 0; !condition(); waited += 20) {
        if (waited >= 10000) return false;
        system_probe::Pause(20);
    }
    return true;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A folder of the test's own, removed at the end.
struct TestFolder {
    TestFolder() {
        path = fs::path(platform::MakePrivateFolder("tessera-windows-test-"));
        EXPECT_FALSE(path.empty());
    }
    ~TestFolder() { platform::RemoveFolder(path.string()); }
    fs::path path;
};

class Surfaces : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(platform::OpenDisplay(-1));
        ASSERT_EQ(platform::SetDisplayMode(1024, 768, 16), platform::DD_OK);
        ASSERT_EQ(platform::CreateSurface(platform::DDSCAPS_OFFSCREENPLAIN, 101, 40, &surface),
                  platform::DD_OK);
        ASSERT_EQ(platform::GetDC(surface, &dc), platform::DD_OK);
    }
    void TearDown() override {
        if (dc) platform::ReleaseDC(surface, dc);
        if (surface) platform::ReleaseSurface(surface);
        platform::CloseDisplay();
    }
    std::uint16_t At(int x, int y) {
        return reinterpret_cast<const std::uint16_t*>(surface->memory.data() +
                                                      y * surface->pitch)[x];
    }
    int Count(std::uint16_t value) {
        int count = 0;
        for (int y = 0; y < surface->height; ++y)
            for (int x = 0; x < surface->width; ++x) count += At(x, y) == value;
        return count;
    }
    platform::Surface* surface = nullptr;
    platform::HDC dc = nullptr;
};

platform::HFONT MakeFont(const char* face, int height) {
    platform::LOGFONTA font{};
    font.lfHeight = height;
    font.lfCharSet = platform::SHIFTJIS_CHARSET;
    std::strcpy(font.lfFaceName, face);
    return platform::CreateFontIndirect(&font);
}

} // namespace

// The system's GDI draws on the surface's own memory (rows on 4-byte
// boundaries, an odd width here), in the text colour, with the face standing
// in for the system's own Gothic; the system has none of the faces itself
// (the test run hides the machine's fonts), so the one shipped beside the
// program was added.
TEST_F(Surfaces, TextIsDrawnByTheSystemOnTheSurfaceMemoryInTheStandInFace) {
    EXPECT_EQ(surface->pitch % 4, 0);
    platform::HFONT font = MakeFont("標準ゴシック", 16);
    ASSERT_NE(font, nullptr);
    platform::SelectObject(dc, font);
    platform::SetBkMode(dc, platform::TRANSPARENT);
    platform::SetTextColor(dc, 0xFFFFFF);
    ASSERT_TRUE(platform::TextOut(dc, 2, 2, "日本語", 6));
    const int lit = Count(0xFFFF);
    EXPECT_GT(lit, 60) << "the glyphs are missing";
    platform::SIZE size{};
    ASSERT_TRUE(platform::GetTextExtentPoint32(dc, "日本語", 6, &size));
    EXPECT_EQ(size.cx, 48); // three full-width characters of a 16-pixel face
    EXPECT_GE(size.cy, 16);

    // Nothing is drawn outside the text's cell.
    for (int y = 0; y < surface->height; ++y)
        for (int x = 0; x < surface->width; ++x) {
            if (x < 2 || y < 2 || x >= 2 + size.cx || y >= 2 + size.cy) {
                ASSERT_EQ(At(x, y), 0) << x << "," << y;
            }
        }

    std::vector<std::string> faces;
    platform::EnumFonts(
        dc,
        [](const platform::LOGFONTA* f, LPARAM data) {
            reinterpret_cast<std::vector<std::string>*>(data)->push_back(f->lfFaceName);
            return 1;
        },
        reinterpret_cast<LPARAM>(&faces));
    ASSERT_GE(faces.size(), 3u);
    EXPECT_EQ(faces[0], "標準明朝");
    EXPECT_EQ(faces[1], "標準ゴシック");
    EXPECT_EQ(faces[2], "HG創英角ﾎﾟｯﾌﾟ体");
    for (const char* added : {"IPAMincho", "IPAGothic", "MotoyaLMaru"})
        EXPECT_NE(std::find(faces.begin(), faces.end(), added), faces.end()) << added;
    platform::SelectObject(dc, static_cast<platform::HFONT>(nullptr));
    platform::DeleteObject(font);
}

// Word breaking and measuring are the system's: a long line in a narrow box
// takes several lines, and measuring draws nothing.
TEST_F(Surfaces, DrawTextBreaksWordsAndMeasuresWithoutDrawing) {
    platform::HFONT font = MakeFont("標準明朝", 12);
    platform::SelectObject(dc, font);
    platform::SetTextColor(dc, 0x00FF00);
    platform::RECT box{0, 0, 60, 40};
    const int height = platform::DrawText(dc, "これは長い文章です words wrap", -1, &box,
                                          platform::DT_WORDBREAK | platform::DT_CALCRECT);
    EXPECT_GE(height, 24) << "one line only";
    EXPECT_EQ(Count(0), surface->width * surface->height) << "measuring drew";
    platform::RECT one{0, 0, 100, 40};
    EXPECT_LT(platform::DrawText(dc, "一行", -1, &one, platform::DT_LEFT), height);
    EXPECT_GT(Count(platform::PackColor(surface->format, 0x00FF00)), 0);
    platform::SelectObject(dc, static_cast<platform::HFONT>(nullptr));
    platform::DeleteObject(font);
}

// The system's lines leave out their end point; rectangles are outlined in the
// pen and filled with the brush; inversion flips every bit.
TEST_F(Surfaces, ShapesFollowTheSystemsRules) {
    platform::HPEN pen = platform::CreatePen(platform::PS_SOLID, 1, 0x0000FF);
    platform::SelectObject(dc, pen);
    platform::MoveToEx(dc, 0, 0, nullptr);
    platform::LineTo(dc, 10, 0);
    const std::uint16_t red = platform::PackColor(surface->format, 0x0000FF);
    EXPECT_EQ(At(0, 0), red);
    EXPECT_EQ(At(9, 0), red);
    EXPECT_EQ(At(10, 0), 0) << "the end point was drawn";

    const platform::LOGBRUSH green{platform::BS_SOLID, 0x00FF00, 0};
    platform::HBRUSH brush = platform::CreateBrushIndirect(&green);
    platform::SelectObject(dc, brush);
    platform::Rectangle(dc, 20, 10, 30, 20);
    EXPECT_EQ(At(20, 10), red);
    EXPECT_EQ(At(29, 19), red);
    EXPECT_EQ(At(30, 20), 0);
    EXPECT_EQ(At(25, 15), platform::PackColor(surface->format, 0x00FF00));

    const platform::RECT area{40, 0, 50, 10};
    platform::InvertRect(dc, &area);
    EXPECT_EQ(At(45, 5), 0xFFFF);
    platform::SelectObject(dc, static_cast<platform::HPEN>(nullptr));
    platform::SelectObject(dc, static_cast<platform::HBRUSH>(nullptr));
    platform::DeleteObject(pen);
    platform::DeleteObject(brush);
}

// CP932 through the system's code page 932, both ways; bytes that form no
// character become U+FFFD, and a character CP932 lacks is refused.
TEST(SystemCodePage, ConvertsCp932BothWays) {
    EXPECT_EQ(platform::Cp932ToUtf8("地図エディタ ﾃｽﾄ"),
              reinterpret_cast<const char*>(u8"地図エディタ ﾃｽﾄ"));
    EXPECT_EQ(platform::Cp932ToUtf8("\x81"), "\xEF\xBF\xBD");
    std::string back;
    EXPECT_TRUE(platform::Utf8ToCp932(reinterpret_cast<const char*>(u8"保存しますか"), back));
    EXPECT_EQ(back, "保存しますか");
    // Hangul has no CP932 form.
    EXPECT_FALSE(platform::Utf8ToCp932("\xED\x95\x9C", back));
}

// A set of three files is replaced whole. While another program holds one of
// them open without letting it be replaced, the check before a save refuses
// that file; a replacement that meets it all the same puts every old file back
// and leaves no record. Only the held file's second name, kept as its spare,
// may stay beside it: the system removes no name of a file held so.
TEST(FileSets, ASetIsReplacedWholeOrNotAtAll) {
    TestFolder folder;
    const fs::path names[3] = {folder.path / "a_data.txt", folder.path / "a_zk.txt",
                               folder.path / "a_teki.txt"};
    const std::string paths[3] = {names[0].string(), names[1].string(), names[2].string()};
    for (const fs::path& name : names) std::ofstream(name, std::ios::binary) << "old";

    auto replace = [&](const char* text) {
        platform::FileSet set(paths, (folder.path / "a.journal").string());
        if (!set.Found() || !set.Settle()) return 0;
        for (int i = 0; i < 3; ++i) {
            const int fd = set.Create(i);
            if (fd < 0) return 0;
            platform::WriteAll(fd, text, std::strlen(text));
            if (!platform::FlushAndClose(fd)) return 0;
        }
        return set.Replace();
    };

    ASSERT_EQ(replace("new"), 1);
    for (const fs::path& name : names) EXPECT_EQ(ReadAll(name), "new") << name;

    {
        // The last file is held open by another: it cannot be replaced.
        const system_probe::HeldOpen held(names[2].string());
        ASSERT_TRUE(held.Held());
        const platform::FileSet set(paths, (folder.path / "a.journal").string());
        int failed = -1;
        errno = 0;
        EXPECT_EQ(set.CheckWritable(failed), 0);
        EXPECT_EQ(failed, 2);
        EXPECT_EQ(errno, EACCES);
        EXPECT_EQ(replace("newer"), 0);
    }
    for (const fs::path& name : names) EXPECT_EQ(ReadAll(name), "new") << name;
    int others = 0;
    for (const auto& entry : fs::directory_iterator(folder.path)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".txt")) continue;
        ++others;
        EXPECT_TRUE(name.starts_with(".~")) << name << " was left";
    }
    EXPECT_LE(others, 1) << "temporaries or spares were left";
    // The next save, with the file let go, replaces the set.
    ASSERT_EQ(replace("newest"), 1);
    for (const fs::path& name : names) EXPECT_EQ(ReadAll(name), "newest") << name;
}

// The system's steps of a replacement: what a path holds, names made only when
// free, replaced whole, and the holders of files told apart. A member with a
// second name keeps it through a save: its new bytes are written into it.
TEST(FileSets, TheSystemsStepsKeepTheirPromises) {
    namespace ops = platform::file_ops;
    TestFolder folder;
    const std::string file = (folder.path / "m_data.txt").string();
    const std::string second = (folder.path / "second.txt").string();
    std::ofstream(file, std::ios::binary) << "old";

    ops::Facts facts;
    struct Row {
        std::string path;
        bool exists, regular, isFolder;
    };
    for (const Row& row :
         {Row{file, true, true, false}, Row{folder.path.string(), true, false, true},
          Row{(folder.path / "none").string(), false, false, false}}) {
        ASSERT_EQ(ops::Inspect(row.path, facts), 1) << row.path;
        EXPECT_EQ(facts.exists, row.exists) << row.path;
        EXPECT_EQ(facts.regular, row.regular) << row.path;
        EXPECT_EQ(facts.folder, row.isFolder) << row.path;
    }
    ASSERT_EQ(ops::Inspect(file, facts), 1);
    EXPECT_TRUE(facts.own);
    EXPECT_EQ(facts.links, 1u);

    // Names are made only where nothing is.
    EXPECT_EQ(ops::CreateLike(file, ""), -1);
    EXPECT_EQ(errno, EEXIST);
    ASSERT_EQ(ops::Link(file, second), 1);
    EXPECT_EQ(ops::Link(file, second), 0);
    EXPECT_EQ(errno, EEXIST);
    ASSERT_EQ(ops::Inspect(second, facts), 1);
    EXPECT_EQ(facts.links, 2u);
    std::vector<std::string> names;
    ASSERT_EQ(ops::ListFolder(folder.path.string(), names), 1);
    EXPECT_NE(std::find(names.begin(), names.end(), "second.txt"), names.end());

    // This process runs; a number no process has ended long ago.
    EXPECT_EQ(ops::ProcessEnded(ops::ProcessId()), 0);
    EXPECT_EQ(ops::ProcessEnded(0x7FFFFFF0), 1);

    // Saved as one of a set, the file keeps its second name, which reads the
    // new bytes too, and nothing is left beside them.
    const std::string paths[2] = {file, (folder.path / "m_zk.txt").string()};
    platform::FileSet set(paths, (folder.path / "m.journal").string());
    ASSERT_EQ(set.Found(), 1);
    ASSERT_EQ(set.Settle(), 1);
    for (int i = 0; i < 2; ++i) {
        const int fd = set.Create(i);
        ASSERT_GE(fd, 0);
        platform::WriteAll(fd, "newer", 5);
        ASSERT_EQ(platform::FlushAndClose(fd), 1);
    }
    ASSERT_EQ(set.Replace(), 1);
    EXPECT_EQ(ReadAll(file), "newer");
    EXPECT_EQ(ReadAll(second), "newer");
    EXPECT_EQ(ReadAll(paths[1]), "newer");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.path)) ++entries;
    EXPECT_EQ(entries, 3) << "temporaries or spares were left";
}

// A writer's lock keeps readers and other writers out until it is let go;
// readers share; the lock file itself is never a link's target.
TEST(FileLocks, WritersExcludeAndReadersShare) {
    TestFolder folder;
    const std::string lock = (folder.path / "map.lock").string();
    platform::FileLock writer, reader, other;
    ASSERT_EQ(writer.Take(lock, platform::LockKind::Exclusive, 0, ""), 1);
    EXPECT_EQ(reader.Take(lock, platform::LockKind::Shared, 50), 0);
    EXPECT_EQ(errno, EWOULDBLOCK);
    writer.Release();
    ASSERT_EQ(reader.Take(lock, platform::LockKind::Shared, 0), 1);
    ASSERT_EQ(other.Take(lock, platform::LockKind::Shared, 0), 1);
    EXPECT_EQ(writer.Take(lock, platform::LockKind::Exclusive, 50), 0);
    reader.Release();
    other.Release();
    EXPECT_EQ(writer.Take(lock, platform::LockKind::Exclusive, 0), 1);
    // A lock that lives only while held is gone with its holder.
    writer.ReleaseAndRemove();
    EXPECT_FALSE(fs::exists(lock));
    platform::FileLock missing;
    EXPECT_EQ(missing.Take((folder.path / "none.lock").string(), platform::LockKind::Shared, 0), 0);
    EXPECT_EQ(errno, ENOENT);
}

// A private folder is new, and its access list lets in this user alone.
TEST(PrivateFolders, AreNewAndClosedToEveryoneElse) {
    TestFolder first, second;
    EXPECT_NE(first.path, second.path);
    EXPECT_TRUE(system_probe::ClosedToOthers(first.path.string()));
    std::ofstream(first.path / "inside.txt") << "x";
    EXPECT_EQ(platform::RemoveFolder(first.path.string()), 1);
    EXPECT_FALSE(fs::exists(first.path));
}

// Sound objects play through DirectSound into the sound card's output, which
// the test run sends into a WAV file: a tone panned hard left reaches the left
// channel only.
TEST(DirectSound, AVoicePlaysIntoTheOutputPanned) {
    const char* output = std::getenv("TESSERA_TEST_SOUND_FILE");
    platform::SoundDevice* device = nullptr;
    ASSERT_EQ(platform::DirectSoundCreate(&device), platform::DS_OK);
    ASSERT_EQ(device->SetCooperativeLevel(nullptr, platform::DSSCL_PRIORITY), platform::DS_OK);
    platform::WAVEFORMATEX format{platform::WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    platform::DSBUFFERDESC description{sizeof description,
                                       platform::DSBCAPS_CTRLVOLUME | platform::DSBCAPS_CTRLPAN,
                                       22050, 0, &format};
    platform::SoundBuffer* voice = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&description, &voice), platform::DS_OK);
    // Descriptions the device would not take are refused before it sees them.
    platform::WAVEFORMATEX odd = format;
    odd.wBitsPerSample = 12;
    platform::DSBUFFERDESC bad = description;
    bad.lpwfxFormat = &odd;
    platform::SoundBuffer* refused = nullptr;
    EXPECT_EQ(device->CreateSoundBuffer(&bad, &refused), platform::DSERR_INVALIDPARAM);

    void* part1 = nullptr;
    void* part2 = nullptr;
    platform::DWORD bytes1 = 0, bytes2 = 0;
    ASSERT_EQ(voice->Lock(0, 22050, &part1, &bytes1, &part2, &bytes2, 0), platform::DS_OK);
    auto* samples = static_cast<std::int16_t*>(part1);
    for (DWORD i = 0; i < bytes1 / 2; ++i) samples[i] = (i / 25) % 2 ? 12000 : -12000;
    voice->Unlock(part1, bytes1, part2, bytes2);
    EXPECT_EQ(voice->SetPan(platform::DSBPAN_LEFT), platform::DS_OK);
    EXPECT_EQ(voice->SetPan(platform::DSBPAN_LEFT - 1), platform::DSERR_INVALIDPARAM);
    ASSERT_EQ(voice->Play(0, 0, 0), platform::DS_OK);
    platform::DWORD status = platform::DSBSTATUS_PLAYING;
    EXPECT_TRUE(WaitFor([&] {
        voice->GetStatus(&status);
        return !(status & platform::DSBSTATUS_PLAYING);
    })) << "the half second never ended";
    voice->Release();
    device->Release();
    if (!output) GTEST_SKIP() << "no sound output file given";

    // The output file: a WAV file of 32-bit stereo frames from the mixer.
    std::string wave;
    ASSERT_TRUE(WaitFor([&] {
        wave = ReadAll(std::string("Z:") + output);
        return wave.size() > 44 + 8 * 4000;
    }));
    long long left = 0, right = 0;
    for (std::size_t at = 44; at + 8 <= wave.size(); at += 8) {
        std::int32_t l, r;
        std::memcpy(&l, wave.data() + at, 4);
        std::memcpy(&r, wave.data() + at + 4, 4);
        left += std::llabs(l >> 16);
        right += std::llabs(r >> 16);
    }
    EXPECT_GT(left, 1000000) << "the tone is not heard";
    EXPECT_LT(right, left / 100) << "the tone is heard on the right";
}

// The system's sequencer opens a MIDI file and knows its length in
// milliseconds; a file that is not there is refused with the system's error.
TEST(MediaControl, TheSequencerOpensAndMeasuresATune) {
    TestFolder folder;
    const fs::path tune = folder.path / "tune.mid";
    const Bytes bytes = OneNoteTune(1500);
    std::ofstream(tune, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const std::string open = "open \"" + tune.string() + "\" type sequencer alias tune";
    ASSERT_EQ(platform::mciSendStringA(open.c_str(), nullptr, 0, nullptr), 0u);
    char reply[32];
    ASSERT_EQ(platform::mciSendStringA("status tune length", reply, sizeof reply, nullptr), 0u);
    EXPECT_EQ(std::atoi(reply), 1500);
    char tiny[2];
    EXPECT_EQ(platform::mciSendStringA("status tune length", tiny, sizeof tiny, nullptr),
              platform::MCIERR_PARAM_OVERFLOW);
    EXPECT_STREQ(tiny, "1");
    EXPECT_EQ(platform::mciSendStringA("close tune", nullptr, 0, nullptr), 0u);
    const std::string missing =
        "open \"" + (folder.path / "none.mid").string() + "\" type sequencer alias none";
    EXPECT_NE(platform::mciSendStringA(missing.c_str(), nullptr, 0, nullptr), 0u);
}

// The day of the week comes from the system's calendar, and the system tells
// its version.
TEST(SystemServices, DatesHaveTheirWeekdayAndTheSystemItsVersion) {
    EXPECT_EQ(platform::MakeSystemTime(2024, 1, 1, 0, 0, 0, 0).wDayOfWeek, 1);
    EXPECT_EQ(platform::MakeSystemTime(2000, 2, 29, 0, 0, 0, 0).wDayOfWeek, 2);
    platform::OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(platform::GetVersionExA(&version));
    EXPECT_EQ(version.dwPlatformId, platform::VER_PLATFORM_WIN32_NT);
    EXPECT_GE(version.dwMajorVersion, 6u);
}
