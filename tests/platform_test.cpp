// Platform services: file names with the framework's rules, named locks.
#include "platform/files/files.h"
#include "platform/win/held_file.h"
#include "platform/win/messages.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

class InTempFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        old = fs::current_path();
        folder = fs::temp_directory_path() / ("tessera-files-" + std::to_string(getpid()));
        fs::create_directories(folder);
        fs::current_path(folder);
    }
    void TearDown() override {
        fs::current_path(old);
        fs::remove_all(folder);
    }
    static void Touch(const char* path) { std::fclose(std::fopen(path, "w")); }
    fs::path old, folder;
};

TEST_F(InTempFolder, BackslashesAndCaseAreResolved) {
    fs::create_directories("Bmp/Sub");
    Touch("Bmp/Sub/Edita.BMP");
    EXPECT_EQ(platform::ResolvePath("bmp\\sub\\edita.bmp"), "Bmp/Sub/Edita.BMP");
    EXPECT_EQ(platform::ResolvePath("Bmp\\Sub\\Edita.BMP"), "Bmp/Sub/Edita.BMP");
    // A missing last component keeps its name; the folders found keep theirs.
    EXPECT_EQ(platform::ResolvePath("BMP\\new.txt"), "Bmp/new.txt");
    EXPECT_EQ(platform::ResolvePath("nothing\\here.bmp"), "nothing/here.bmp");
    std::string absolute = (folder / "bmp" / "SUB").string();
    EXPECT_EQ(platform::ResolvePath(absolute.c_str()), (folder / "Bmp" / "Sub").string());
}

TEST(NamedLock, HeldUntilReleasedAndFreeAfterwards) {
    bool exists = true;
    HANDLE first = platform::CreateMutex("Test:Lock", &exists);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(exists);
    HANDLE second = platform::CreateMutex("Test:Lock", &exists);
    EXPECT_EQ(second, nullptr);
    EXPECT_TRUE(exists);
    platform::ReleaseMutex(first);
    HANDLE third = platform::CreateMutex("Test:Lock", &exists);
    EXPECT_NE(third, nullptr);
    EXPECT_FALSE(exists);
    platform::ReleaseMutex(third);
}

TEST(NamedLock, AnotherProcessFindsTheHolderAndItsWindow) {
    bool exists = false;
    HANDLE mutex = platform::CreateMutex("Test:Shared", &exists);
    ASSERT_NE(mutex, nullptr);
    platform::PublishWindow("DEFAULT", "Title/With:Odd chars");
    EXPECT_EQ(platform::ProcessOfWindow("DEFAULT", "Title/With:Odd chars"), getpid());

    pid_t child = fork();
    if (child == 0) {
        bool busy = false;
        HANDLE theirs = platform::CreateMutex("Test:Shared", &busy);
        int found = platform::ProcessOfWindow("DEFAULT", "Title/With:Odd chars");
        _exit(theirs == nullptr && busy && found == getppid() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    platform::UnpublishWindow("DEFAULT", "Title/With:Odd chars");
    EXPECT_EQ(platform::ProcessOfWindow("DEFAULT", "Title/With:Odd chars"), 0);
    platform::ReleaseMutex(mutex);
}

TEST(NamedLock, WindowFileOfAnotherUserNamesNoProcess) {
    platform::PublishWindow("DEFAULT", "Owned");
    ASSERT_EQ(platform::ProcessOfWindow("DEFAULT", "Owned"), getpid());
    std::string path = platform::HeldFilePath("window", "DEFAULT-Owned");
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0); // nobody
    EXPECT_EQ(platform::ProcessOfWindow("DEFAULT", "Owned"), 0);
    platform::UnpublishWindow("DEFAULT", "Owned");
}

class LockFolders : public InTempFolder {
  protected:
    // The folder is refused: another, private one is given instead.
    void ExpectRefused(const fs::path& refused) {
        std::string given = platform::PrivateFolder(refused.string());
        ASSERT_FALSE(given.empty()) << refused;
        EXPECT_NE(given, refused.string());
        EXPECT_TRUE(platform::IsPrivateFolder(given)) << given;
        EXPECT_FALSE(platform::IsPrivateFolder(refused.string())) << refused;
    }
};

TEST_F(LockFolders, AMissingFolderIsMadePrivate) {
    fs::path locks = folder / "locks";
    EXPECT_EQ(platform::PrivateFolder(locks.string()), locks.string());
    struct stat info;
    ASSERT_EQ(lstat(locks.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    // Found again as it is.
    EXPECT_EQ(platform::PrivateFolder(locks.string()), locks.string());
}

TEST_F(LockFolders, FoldersOpenToOthersOrNotOursOrNotFoldersAreRefused) {
    fs::create_directory(folder / "open");
    chmod((folder / "open").c_str(), 0777);
    ExpectRefused(folder / "open");
    fs::create_directory(folder / "group");
    chmod((folder / "group").c_str(), 0750);
    ExpectRefused(folder / "group");

    fs::create_directory(folder / "theirs");
    chmod((folder / "theirs").c_str(), 0700);
    ASSERT_EQ(chown((folder / "theirs").c_str(), 65534, 65534), 0);
    ExpectRefused(folder / "theirs");

    // A link to a private folder of ours is still a link someone else may have laid.
    fs::create_directory(folder / "real");
    chmod((folder / "real").c_str(), 0700);
    fs::create_directory_symlink(folder / "real", folder / "link");
    ExpectRefused(folder / "link");

    Touch("plain");
    ExpectRefused(folder / "plain");
}
// Takes one key message off the queue, as the main loop does.
void TakeKey(UINT message, int key, LPARAM data) {
    platform::PostMessage(nullptr, message, static_cast<WPARAM>(key), data | 1);
    MSG msg;
    ASSERT_TRUE(platform::PeekMessage(&msg));
}

bool Down(int key) { return platform::GetKeyState(key) < 0; }

TEST(KeyStateTable, EachSideOfShiftCtrlAndAltIsTrackedOnItsOwn) {
    struct Sided {
        UINT down, up;
        int shared, left, right;
        LPARAM leftData, rightData;
    };
    const Sided keys[] = {
        {WM_KEYDOWN, WM_KEYUP, VK_SHIFT, VK_LSHIFT, VK_RSHIFT, SCAN_LSHIFT << 16,
         SCAN_RSHIFT << 16},
        {WM_KEYDOWN, WM_KEYUP, VK_CONTROL, VK_LCONTROL, VK_RCONTROL, SCAN_CONTROL << 16,
         SCAN_CONTROL << 16 | KF_EXTENDED},
        {WM_SYSKEYDOWN, WM_SYSKEYUP, VK_MENU, VK_LMENU, VK_RMENU, SCAN_MENU << 16,
         SCAN_MENU << 16 | KF_EXTENDED},
    };
    for (const Sided& k : keys) {
        platform::ResetMessages();
        TakeKey(k.down, k.shared, k.rightData);
        EXPECT_TRUE(Down(k.right)) << k.shared;
        EXPECT_FALSE(Down(k.left)) << k.shared;
        EXPECT_TRUE(Down(k.shared)) << k.shared;
        TakeKey(k.down, k.shared, k.leftData);
        // Releasing one side leaves the key held by the other.
        TakeKey(k.up, k.shared, k.rightData);
        EXPECT_FALSE(Down(k.right)) << k.shared;
        EXPECT_TRUE(Down(k.left)) << k.shared;
        EXPECT_TRUE(Down(k.shared)) << k.shared;
        TakeKey(k.up, k.shared, k.leftData);
        EXPECT_FALSE(Down(k.left)) << k.shared;
        EXPECT_FALSE(Down(k.shared)) << k.shared;
    }
}

TEST(KeyStateTable, SharedCodeTogglesOncePerPressOfEitherSide) {
    platform::ResetMessages();
    TakeKey(WM_KEYDOWN, VK_SHIFT, SCAN_LSHIFT << 16);
    TakeKey(WM_KEYDOWN, VK_SHIFT, SCAN_RSHIFT << 16);
    EXPECT_EQ(platform::GetKeyState(VK_SHIFT) & 1, 1);
    TakeKey(WM_KEYUP, VK_SHIFT, SCAN_LSHIFT << 16);
    TakeKey(WM_KEYUP, VK_SHIFT, SCAN_RSHIFT << 16);
    TakeKey(WM_KEYDOWN, VK_SHIFT, SCAN_RSHIFT << 16);
    EXPECT_EQ(platform::GetKeyState(VK_SHIFT) & 1, 0);
    EXPECT_EQ(platform::GetKeyState(VK_RSHIFT) & 1, 0); // its second press
    EXPECT_EQ(platform::GetKeyState(VK_LSHIFT) & 1, 1);
    // A message without a scan code, as scripts post them, counts as the left key.
    platform::ResetMessages();
    TakeKey(WM_KEYDOWN, VK_CONTROL, 0);
    EXPECT_TRUE(Down(VK_LCONTROL));
    TakeKey(WM_KEYUP, VK_CONTROL, 0);
    EXPECT_FALSE(Down(VK_CONTROL));
}

} // namespace
