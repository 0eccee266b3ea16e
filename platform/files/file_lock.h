// Advisory locks between processes, each on a lock file beside what it guards:
// shared for those who read, exclusive for the one who writes, and a writer
// that waits is not kept out by readers that keep coming. The kernel drops a
// lock when its holder ends, so a killed process never blocks the next one.
#pragma once

#include <string>

namespace platform {

enum class LockKind { Shared, Exclusive };

class FileLock {
  public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock() { Release(); }

    // Takes the lock on the file `path`, waiting up to `waitMs` milliseconds
    // while others hold it the other way. The file is never written (a writer
    // opens it for writing only because the system asks that of write locks)
    // and never opened through a symbolic link at its name. When it is missing
    // it is created, exclusively, only when `createLike` is given: with the
    // owner's group, permissions and access list of the file `createLike`
    // names, or as a plain new file when that is "" or missing; and when it is
    // this user's, it follows that file's group and read and write bits as
    // they are now, so that whoever may write what it guards may take it. 1 when held; otherwise 0
    // with errno: ENOENT (missing), EWOULDBLOCK (still held by another, which Holder tells), ELOOP
    // (a link), EEXIST (not a plain file), or what opening it gave.
    int Take(const std::string& path, LockKind kind, int waitMs, const char* createLike = nullptr);
    void Release();
    // Removes the lock file, then releases the lock: for a lock that lives
    // only while it is held. A process waiting on it meanwhile makes another.
    void ReleaseAndRemove();

    // After Take failed with EWOULDBLOCK: the number of a process that holds
    // the lock, or 0 when none could be told.
    long Holder() const { return holder_; }

  private:
    int fd_ = -1;
    long holder_ = 0;
    std::string path_;
};

} // namespace platform
