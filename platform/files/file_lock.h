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
    // and never opened through a symbolic link at its name; when it is missing
    // and `create` is set, it is created exclusively. 1 when held; otherwise 0
    // with errno: ENOENT (missing), EWOULDBLOCK (still held by another), ELOOP
    // (a link), EEXIST (not a plain file), or what opening it gave.
    int Take(const std::string& path, LockKind kind, bool create, int waitMs);
    void Release();

  private:
    int fd_ = -1;
};

} // namespace platform
