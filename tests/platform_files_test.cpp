// The platform's files and memory on their own: reserved blocks read zero and
// keep what is written, with or without huge pages; files by descriptor, and
// what is not a regular file refused without waiting on it; the locks between
// programs reading and writing one map.
#include "platform/files/file_io.h"
#include "platform/files/file_lock.h"
#include "platform/files/memory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/test_folder.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

TEST(ReservedMemory, ReadsZeroAndKeepsWritesWithOrWithoutHugePages) {
    constexpr std::size_t BYTES = std::size_t{96} << 20;
    for (const bool huge : {false, true}) {
        auto* block = static_cast<std::int32_t*>(platform::ReserveZeroedMemory(BYTES, huge));
        ASSERT_NE(block, nullptr) << huge;
        const std::size_t last = BYTES / sizeof(std::int32_t) - 1;
        EXPECT_EQ(block[0] | block[last / 2] | block[last], 0) << huge;
        block[0] = 1;
        block[last] = 2;
        // Advice on a range that starts and ends between huge pages, and on none.
        platform::AdviseHugePages(block + 3, BYTES / 2 + 5);
        platform::AdviseHugePages(block + 3, 0);
        EXPECT_EQ(block[0] + block[last], 3) << huge;
    }
}

TEST(FileDescriptors, RegularFilesAreReadAndOtherKindsRefused) {
    const fs::path folder = fs::temp_directory_path() / ("tessera-io-" + std::to_string(getpid()));
    fs::create_directories(folder / "sub");
    const std::string file = (folder / "f").string();
    std::ofstream(file, std::ios::binary) << "abcdef";
    fs::create_hard_link(file, folder / "hard");
    fs::create_symlink("f", folder / "soft");
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);

    const int fd = platform::OpenRegularForRead(file);
    char text[8] = {};
    EXPECT_EQ(platform::ReadSome(fd, text, 4), 4);
    EXPECT_EQ(platform::ReadSome(fd, text + 4, 4), 2);
    EXPECT_EQ(platform::ReadSome(fd, text, 4), 0);
    EXPECT_EQ(platform::Rewind(fd), 1);
    EXPECT_EQ(platform::ReadSome(fd, text, 8), 6);
    EXPECT_EQ(std::string(text), "abcdef");
    EXPECT_EQ(platform::CloseFile(fd), 1);

    const struct {
        const char* name;
        int exists, same; // same: the same file as "f"
    } paths[] = {{"hard", 1, 1}, {"soft", 1, 1}, {"sub", 1, 0}, {"pipe", 1, 0}, {"missing", 0, 0}};
    for (const auto& p : paths) {
        const std::string path = (folder / p.name).string();
        if (!p.same) {
            EXPECT_EQ(platform::OpenRegularForRead(path), -1) << p.name;
        }
        EXPECT_EQ(platform::PathExists(path), p.exists) << p.name;
        EXPECT_EQ(platform::SameFile(file, path), p.same) << p.name;
    }
    EXPECT_EQ(platform::MayRead(file), 1);
    EXPECT_EQ(platform::OpenForRead((folder / "missing").string()), -1);
    fs::remove_all(folder);
}

using platform::FileLock;
using platform::LockKind;

class FileLocks : public TestFolder {
  protected:
    FileLocks() : TestFolder("tessera-locks-") {}
    void SetUp() override {
        TestFolder::SetUp();
        path = (folder / "m.lock").string();
    }
    std::string path;
};

// Descriptors of this process open on the file at `path`, or on files removed
// from there.
int OpenOn(const std::string& path, bool removed) {
    int count = 0;
    const std::string name = removed ? path + " (deleted)" : path;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        count += fs::read_symlink(entry.path(), error) == name;
    }
    return count;
}

// Waits up to a minute for the condition.
bool WaitUntil(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Only a writer creates a missing lock file, and only a plain file is locked.
TEST_F(FileLocks, TakenOnPlainFilesAndMadeOnlyWhenAsked) {
    std::ofstream(folder / "target") << "kept";
    const struct {
        const char* what;
        std::function<void()> make;
        LockKind kind;
        bool create;
        int taken, error;
        bool plainAfter; // a plain file at the path afterwards
    } cases[] = {
        {"missing, read", [] {}, LockKind::Shared, false, 0, ENOENT, false},
        {"missing, written", [] {}, LockKind::Exclusive, true, 1, 0, true},
        {"there, read", [&] { std::ofstream{path}; }, LockKind::Shared, false, 1, 0, true},
        {"a link", [&] { fs::create_symlink("target", path); }, LockKind::Exclusive, true, 0, ELOOP,
         false},
        {"a folder", [&] { fs::create_directory(path); }, LockKind::Shared, true, 0, EEXIST, false},
    };
    for (const auto& c : cases) {
        fs::remove_all(path);
        c.make();
        FileLock lock;
        errno = 0;
        EXPECT_EQ(lock.Take(path, c.kind, c.create, 0), c.taken) << c.what;
        if (!c.taken) {
            EXPECT_EQ(errno, c.error) << c.what;
        }
        EXPECT_EQ(fs::is_regular_file(fs::symlink_status(path)), c.plainAfter) << c.what;
    }
    EXPECT_EQ(std::ifstream(folder / "target").rdbuf()->sgetc(), 'k');
}

// Readers come in beside one another until a writer waits for them; from then
// on new ones wait for the writer, who gets in once the readers in are done.
TEST_F(FileLocks, AWaitingWriterKeepsNewReadersOut) {
    FileLock reading;
    ASSERT_EQ(reading.Take(path, LockKind::Shared, true, 0), 1);
    std::atomic<int> written{-1};
    std::thread writer([&] {
        FileLock lock;
        written = lock.Take(path, LockKind::Exclusive, false, 60000);
    });
    int error = 0;
    EXPECT_TRUE(WaitUntil([&] {
        FileLock another;
        if (another.Take(path, LockKind::Shared, false, 0)) return false;
        error = errno;
        return true;
    })) << "readers kept coming in past the waiting writer";
    EXPECT_EQ(error, EWOULDBLOCK);
    EXPECT_EQ(written, -1);
    reading.Release();
    writer.join();
    EXPECT_EQ(written, 1);
}

// A lock file removed, and made again by another, while a reader waits on it:
// the lock on the removed one guards nothing, so the reader waits for the
// holder of the new one.
TEST_F(FileLocks, ALockFileRemovedMeanwhileIsLeftForTheOneAtItsName) {
    FileLock first;
    ASSERT_EQ(first.Take(path, LockKind::Exclusive, true, 0), 1);
    std::atomic<int> read{-1};
    std::thread reader([&] {
        FileLock lock;
        read = lock.Take(path, LockKind::Shared, true, 60000);
    });
    ASSERT_TRUE(WaitUntil([&] { return OpenOn(path, false) == 2; }));
    fs::remove(path);
    FileLock second;
    ASSERT_EQ(second.Take(path, LockKind::Exclusive, true, 0), 1);
    first.Release();
    // The reader goes over to the new file and waits there.
    EXPECT_TRUE(WaitUntil([&] { return read != -1 || OpenOn(path, false) == 2; }));
    EXPECT_EQ(read, -1) << "the reader took the lock on the removed file";
    second.Release();
    reader.join();
    EXPECT_EQ(read, 1);
}

} // namespace
