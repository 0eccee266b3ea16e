// Platform services: file names with the framework's rules, named locks.
#include "platform/files.h"
#include "platform/held_file.h"

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

} // namespace
