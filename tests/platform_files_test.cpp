// The platform's files and memory on their own: reserved blocks read zero and
// keep what is written, with or without huge pages; files by descriptor, and
// what is not a regular file refused without waiting on it; the locks between
// programs reading and writing one map; interruptions held back while a set of
// files is put in place, and the record kept while it is.
#include "platform/files/file_io.h"
#include "platform/files/file_lock.h"
#include "platform/files/interruptions.h"
#include "platform/files/memory.h"
#include "platform/files/set_record.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/test_folder.h"

#include <atomic>
#include <cerrno>
#include <csignal>
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
        EXPECT_EQ(lock.Take(path, c.kind, 0, c.create ? "" : nullptr), c.taken) << c.what;
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
    ASSERT_EQ(reading.Take(path, LockKind::Shared, 0, ""), 1);
    std::atomic<int> written{-1};
    std::thread writer([&] {
        FileLock lock;
        written = lock.Take(path, LockKind::Exclusive, 60000);
    });
    int error = 0;
    EXPECT_TRUE(WaitUntil([&] {
        FileLock another;
        if (another.Take(path, LockKind::Shared, 0)) return false;
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
    ASSERT_EQ(first.Take(path, LockKind::Exclusive, 0, ""), 1);
    std::atomic<int> read{-1};
    std::thread reader([&] {
        FileLock lock;
        read = lock.Take(path, LockKind::Shared, 60000, "");
    });
    ASSERT_TRUE(WaitUntil([&] { return OpenOn(path, false) == 2; }));
    fs::remove(path);
    FileLock second;
    ASSERT_EQ(second.Take(path, LockKind::Exclusive, 0, ""), 1);
    first.Release();
    // The reader goes over to the new file and waits there.
    EXPECT_TRUE(WaitUntil([&] { return read != -1 || OpenOn(path, false) == 2; }));
    EXPECT_EQ(read, -1) << "the reader took the lock on the removed file";
    second.Release();
    reader.join();
    EXPECT_EQ(read, 1);
}

volatile sig_atomic_t handled = 0;
extern "C" void Note(int signal) { handled = signal; }

// An interruption that comes while a set is put in place waits until it is:
// then it does what the program had it do (a handler of its own, or ending
// the program, after its temporaries are removed).
TEST(Interruptions, WaitWhileASetIsReplacedThenDoWhatTheyDidBefore) {
    const fs::path folder = fs::temp_directory_path() / ("tessera-int-" + std::to_string(getpid()));
    fs::create_directories(folder);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        for (const bool ownHandler : {true, false}) {
            const std::string temporary = (folder / "temporary").string();
            const std::string alive = (folder / "alive").string();
            std::ofstream(temporary) << "new";
            const pid_t child = fork();
            if (child == 0) {
                std::signal(signal, ownHandler ? Note : SIG_DFL);
                platform::WatchInterruptions();
                platform::HoldTemporary(temporary);
                {
                    const platform::InterruptionsDeferred deferred;
                    raise(signal);
                    if (handled) _exit(2);
                    std::ofstream(alive) << "still here";
                }
                _exit(handled == signal ? 0 : 3);
            }
            int status = -1;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            if (ownHandler) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << signal;
                EXPECT_TRUE(fs::exists(temporary)) << signal;
            } else {
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
                EXPECT_FALSE(fs::exists(temporary)) << signal;
            }
            EXPECT_TRUE(fs::exists(alive)) << signal << " " << ownHandler;
            fs::remove(alive);
        }
    fs::remove_all(folder);
}

// The record of a set's replacement reads back as written, whatever bytes
// the names hold; a record cut short anywhere (a crash while it was written)
// or changed in any byte is not taken for one; and turning it back in place
// makes it one that is undoing.
TEST(SetRecord, ReadsBackWholeAndRefusesEveryPartOrChange) {
    using platform::SpareKind;
    const std::uint64_t big = ~std::uint64_t{0};
    platform::SetRecord record;
    record.entries = {
        {"m_data.txt", {2049, 77}, SpareKind::Link, ".~a-1-0", ".~a-1-1", {2049, 5}, {2049, 6}},
        {"a b%c-d\n\xff", {big, big}, SpareKind::Copy, ".~b-1-0", ".~b-1-1", {1, 2}, {3, 4}},
        {"-", {0, 0}, SpareKind::Moved, ".~c-1-0", ".~c-1-1", {big, 0}, {0, big}},
        {"new.txt", {9, 9}, SpareKind::None, ".~d-1-0", "", {}, {8, 8}},
    };
    const std::string text = platform::EncodeRecord(record);
    platform::SetRecord read;
    ASSERT_EQ(platform::DecodeRecord(text, read), 1) << text;
    EXPECT_FALSE(read.undoing);
    ASSERT_EQ(read.entries.size(), record.entries.size());
    for (std::size_t i = 0; i < read.entries.size(); ++i) {
        const platform::RecordEntry &a = record.entries[i], &b = read.entries[i];
        EXPECT_EQ(b.target, a.target) << i;
        EXPECT_EQ(b.temporary, a.temporary) << i;
        EXPECT_EQ(b.spare, a.spare) << i;
        EXPECT_EQ(b.kind, a.kind) << i;
        EXPECT_TRUE(platform::SameFile(b.folder, a.folder) && platform::SameFile(b.old, a.old) &&
                    platform::SameFile(b.made, a.made))
            << i;
    }
    for (std::size_t cut = 0; cut < text.size(); ++cut)
        EXPECT_EQ(platform::DecodeRecord(text.substr(0, cut), read), 0) << cut;
    for (std::size_t at = 0; at < text.size(); ++at) {
        std::string changed = text;
        changed[at] = static_cast<char>(changed[at] ^ 0x04);
        EXPECT_EQ(platform::DecodeRecord(changed, read), 0) << at;
    }
    std::string undoing = text;
    undoing.replace(platform::RECORD_STATE_OFFSET, platform::RECORD_UNDOING.size(),
                    platform::RECORD_UNDOING);
    ASSERT_EQ(platform::DecodeRecord(undoing, read), 1);
    EXPECT_TRUE(read.undoing);
    EXPECT_EQ(read.entries.size(), record.entries.size());
    EXPECT_EQ(platform::DecodeRecord(platform::EncodeRecord({}), read), 0); // names no file
}

} // namespace
