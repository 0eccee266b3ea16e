// The framework's small services: number files, the version code, free disk
// space, the date and time, moving the pointer, the command line and the
// watched key.
#include "platform/backend.h"
#include "platform/files/files.h"
#include "platform/win/cursor.h"
#include "platform/win/system_info.h"
#include "system/system.h"
#include "tests/scripted_run.h"
#include "tests/test_folder.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Services : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetPlatformForTest(5000);
        elSystem::FrameworkReset();
    }
    void TearDown() override {
        platform::headless::UseHostSystemInfo();
        platform::ClipCursor(nullptr);
        for (const std::string& name : {score, garbled})
            fs::remove(fs::path(elSystem::ProgramFolder(1)) / name);
    }
    static std::string FileBytes(const std::string& name) {
        std::ifstream in(fs::path(elSystem::ProgramFolder(1)) / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::string Upper(std::string name) {
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return name;
    }
    static void WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream(fs::path(elSystem::ProgramFolder(1)) / name, std::ios::binary) << bytes;
    }
    // Number files beside the program, named for this test process alone.
    const std::string score = OwnName("score.txt"), garbled = OwnName("garbled.txt");
};

TEST_F(Services, NumberFileHoldsTheDigitsAlone) {
    elSystem::PutNumber(score.c_str(), -15);
    EXPECT_EQ(FileBytes(score), "-15");
    EXPECT_EQ(elSystem::GetNumber(score.c_str()), -15);
    // Names are matched without regard to case, as everywhere in the framework.
    EXPECT_EQ(elSystem::ReadNumber(Upper(score).c_str()), -15);
    // A new value replaces the old content entirely.
    EXPECT_EQ(elSystem::WriteNumber(score.c_str(), 7), 0);
    EXPECT_EQ(FileBytes(score), "7");
    EXPECT_EQ(elSystem::GetNumber(score.c_str()), 7);
}

TEST_F(Services, NumberFilesReadAsDecimalNumbersClampedOnlyOnOverflow) {
    EXPECT_EQ(elSystem::GetNumber("no such number.txt"), 0);
    const std::string zeros(40, '0');
    const struct {
        std::string bytes;
        int number;
    } rows[] = {
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"\n  42xyz\n", 42},
        {"+12 34", 12},
        {zeros + "42", 42},
        {"-" + zeros + "7", -7},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", INT_MAX},
        {"4294967296", INT_MAX},
        {"-99999999999999999999999999999999999999999999", INT_MIN},
    };
    for (const auto& row : rows) {
        WriteFile(garbled, row.bytes);
        EXPECT_EQ(elSystem::GetNumber(garbled.c_str()), row.number) << row.bytes;
    }

    // A name that does not fit the path is refused: nothing is written, not
    // even under a shortened name.
    std::string tooLong(300, 'n');
    elSystem::PutNumber(tooLong.c_str(), 3);
    EXPECT_EQ(elSystem::GetNumber(tooLong.c_str()), 0);
    for (const auto& entry : fs::directory_iterator(elSystem::ProgramFolder(1)))
        EXPECT_EQ(entry.path().filename().string().find("nnnnnnnn"), std::string::npos);
}

TEST_F(Services, NumberFilesLiveUnderTheDataRootWhenOneIsSet) {
    // The data root comes from a file named relative to the system's folder;
    // files land in a folder under it named like the program's own.
    const fs::path base = fs::temp_directory_path() / ("numbers" + std::to_string(getpid()));
    const fs::path program = elSystem::ProgramFolder(0);
    const fs::path moved = base / program.parent_path().filename();
    fs::create_directories(moved);
    std::ofstream(base / "root.txt") << base.string() << "\n";
    const std::string rootFile = fs::relative(base / "root.txt", platform::SystemFolder()).string();
    ASSERT_EQ(elSystem::SetDataRoot(rootFile.c_str()), 1);
    elSystem::PutNumber("moved.txt", 5);
    const int read = elSystem::GetNumber("moved.txt");
    elSystem::SetDataRoot("no such root file");
    EXPECT_EQ(read, 5);
    EXPECT_TRUE(fs::exists(moved / "moved.txt"));
    EXPECT_FALSE(fs::exists(program / "moved.txt"));
    fs::remove(program / "moved.txt");
    fs::remove_all(base);
}

TEST_F(Services, VersionCodeFollowsTheFamilyTable) {
    struct Row {
        std::uint32_t platform, major, minor;
        int code;
    };
    const Row rows[] = {
        {platform::VER_PLATFORM_WIN32s, 3, 11, 310},
        {platform::VER_PLATFORM_WIN32_WINDOWS, 4, 0, 950},
        {platform::VER_PLATFORM_WIN32_WINDOWS, 4, 10, 980},
        {platform::VER_PLATFORM_WIN32_WINDOWS, 4, 90, 980},
        {platform::VER_PLATFORM_WIN32_WINDOWS, 5, 2, 502},
        {platform::VER_PLATFORM_WIN32_NT, 4, 0, 4000},
        {platform::VER_PLATFORM_WIN32_NT, 5, 0, 2000},
        {platform::VER_PLATFORM_WIN32_NT, 5, 1, 2000},
        {platform::VER_PLATFORM_WIN32_NT, 6, 1, 6010},
        {platform::VER_PLATFORM_WIN32_NT, 6, 2, 6020},
        {platform::VER_PLATFORM_WIN32_NT, 10, 0, 10000},
        {3, 6, 1, -1},
    };
    for (const Row& row : rows) {
        platform::headless::SetVersionRecord(row.platform, row.major, row.minor);
        EXPECT_EQ(elSystem::OsVersion(), row.code)
            << "platform " << row.platform << ", " << row.major << "." << row.minor;
    }
}

TEST_F(Services, RunningKernelReportsItselfInTheNtFamily) {
    utsname name{};
    ASSERT_EQ(uname(&name), 0);
    int major = 0, minor = 0;
    ASSERT_EQ(std::sscanf(name.release, "%d.%d", &major, &minor), 2);
    EXPECT_EQ(elSystem::OsVersion(), major == 5 ? 2000 : major * 1000 + minor * 10);
}

TEST_F(Services, FreeMemoryIsReportedAsA32BitProgramSeesIt) {
    // Real memory above 2 GB reads as 2 GB - 1, never as a negative number.
    int available = elSystem::MemoryFree();
    EXPECT_GT(available, 0);
    platform::MEMORYSTATUS status{};
    platform::GlobalMemoryStatus(&status);
    EXPECT_LE(status.dwTotalPhys, 0x7FFFFFFFu);
    EXPECT_LE(status.dwMemoryLoad, 100u);
}

TEST_F(Services, DiskFreeWrapsPastTwoGigabytes) {
    platform::headless::SetDiskFree(8, 512, 1000);
    EXPECT_EQ(elSystem::DiskFree('C'), 4096000);
    // 2 457 600 000 bytes do not fit a signed 32-bit result.
    platform::headless::SetDiskFree(8, 512, 600000);
    EXPECT_EQ(elSystem::DiskFree('C'), -1837367296);
    // Exactly 4 GB wraps to nothing.
    platform::headless::SetDiskFree(8, 512, 1048576);
    EXPECT_EQ(elSystem::DiskFree('D'), 0);
}

TEST_F(Services, EveryDriveIsTheProgramFoldersFileSystem) {
    DWORD perCluster = 0, perSector = 0, freeClusters = 0;
    ASSERT_TRUE(
        platform::GetDiskFreeSpaceA("A:\\", &perCluster, &perSector, &freeClusters, nullptr));
    EXPECT_EQ(perSector, 512u);
    EXPECT_GT(perCluster, 0u);
    DWORD otherCluster = 0, otherSector = 0, otherFree = 0;
    ASSERT_TRUE(platform::GetDiskFreeSpaceA((std::string(elSystem::ProgramFolder(0)) + ".").c_str(),
                                            &otherCluster, &otherSector, &otherFree, nullptr));
    EXPECT_EQ(otherCluster, perCluster);
    EXPECT_FALSE(platform::GetDiskFreeSpaceA("no such folder\\at all", &perCluster, &perSector,
                                             &freeClusters, nullptr));
}

TEST_F(Services, DateNamesTheWeekdayInKanji) {
    struct Day {
        int year, month, day;
        const char* kanji;
    };
    const Day days[] = {
        {2026, 12, 6, "日"},  {2026, 12, 7, "月"},  {2026, 12, 8, "火"},
        {2026, 12, 9, "水"},  {2026, 12, 10, "木"}, {2026, 12, 11, "金"},
        {2026, 12, 12, "土"}, {2024, 2, 29, "木"},  {2000, 1, 1, "土"},
    };
    for (const Day& d : days) {
        platform::headless::SetLocalTime(d.year, d.month, d.day, 12, 0, 0);
        int year = 0, month = 0, day = 0;
        char text[3] = "xx";
        EXPECT_EQ(elSystem::Date(&year, &month, &day, text), text);
        EXPECT_EQ(year, d.year);
        EXPECT_EQ(month, d.month);
        EXPECT_EQ(day, d.day);
        // Two bytes of code page 932 and the terminating zero.
        EXPECT_EQ(std::string(text, 3), std::string(d.kanji, 3)) << d.year << "-" << d.day;
    }
}

TEST_F(Services, LocalTimeRunsOnWithTheClock) {
    platform::headless::SetLocalTime(2026, 12, 31, 23, 59, 58);
    int hour = 0, minute = 0, second = 0;
    elSystem::Time(&hour, &minute, &second);
    EXPECT_EQ(hour * 10000 + minute * 100 + second, 235958);
    platform::headless::AdvanceClock(2500);
    elSystem::Time(&hour, &minute, &second);
    EXPECT_EQ(hour * 10000 + minute * 100 + second, 0);
    int year = 0, month = 0, day = 0;
    char text[3];
    elSystem::Date(&year, &month, &day, text);
    EXPECT_EQ(year * 10000 + month * 100 + day, 20270101);
    EXPECT_STREQ(text, "金");
}

TEST_F(Services, PointerMovesFromClientPixelsInsideTheConfinement) {
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = elSystem::WindowProc;
    windowClass.lpszClassName = "DEFAULT";
    platform::RegisterClass(windowClass);
    MainWindowHandle = platform::CreateWindowEx(0, "DEFAULT", "Tessera", 0, 0, 0, 1024, 768);
    platform::SendMessage(MainWindowHandle, WM_MOVE, 0, MAKELPARAM(30, 40));
    ScreenWidth = 1024;
    ScreenHeight = 768;

    int moves = platform::headless::PointerMoveCount();
    int x = 0, y = 0;
    elSystem::SetCursorPos(100, 200);
    platform::headless::LastPointerMove(&x, &y);
    EXPECT_EQ(platform::headless::PointerMoveCount(), moves + 1);
    EXPECT_EQ(x, 130);
    EXPECT_EQ(y, 240);

    elSystem::ClipCursorToScreen();
    elSystem::SetCursorPos(2000, -900);
    platform::headless::LastPointerMove(&x, &y);
    EXPECT_EQ(x, 1023);
    EXPECT_EQ(y, 0);
}

// What elSystem::CommandLine reads during a run given `commandLine`.
std::string CommandLineSeen(const char* commandLine) {
    std::string seen;
    Script script;
    script.Do([&] { seen = elSystem::CommandLine(); });
    script.Run(1000, commandLine);
    return seen;
}

TEST(ServicesRun, CommandLineIsKeptAndCutToItsBuffer) {
    EXPECT_EQ(CommandLineSeen("stage3 -edit"), "stage3 -edit");
    EXPECT_EQ(CommandLineSeen(std::string(400, 'c').c_str()), std::string(259, 'c'));
}

TEST(ServicesRun, WatchedKeyReleasesAreCountedUntilWatchedAgain) {
    std::vector<int> counts;
    Script script;
    // The run resets the scene hook, so the first step sets it.
    script.Do([&] { SceneHook = [&] { counts.push_back(elSystem::WatchCount()); }; })
        .Frames(1)
        .Do([] { elSystem::WatchKey('Q'); })
        .Post(WM_KEYDOWN, 'Q')
        .Post(WM_KEYUP, 'Q')
        .Post(WM_KEYUP, 'W')
        .Frames(1)
        .Post(WM_KEYUP, 'Q')
        .Frames(1)
        .Do([] { elSystem::WatchKey('Q'); })
        .Frames(1)
        .Post(WM_KEYUP, 'Q')
        .Frames(1);
    script.Run();
    EXPECT_EQ(counts, (std::vector<int>{0, 1, 2, 0, 1}));
}

} // namespace
