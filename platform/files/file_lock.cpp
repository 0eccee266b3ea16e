#include "platform/files/file_lock.h"

#include "platform/files/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace platform {

namespace {

constexpr int CREATE_ATTEMPTS = 10; // against others creating and removing it meanwhile

// Three bytes of the lock file are locked, never written: the turnstile, which
// a writer holds from before it waits for the guard until it is done, and
// which a reader passes (takes shared and lets go) on its way to the guard;
// the guard itself, held shared by readers and exclusively by the writer; and
// the mark, which every holder holds shared. A writer waiting for readers to
// finish so stops new ones from coming in, and is never kept out for long by
// readers that follow each other. The turnstile and the guard are locks of the
// open file, right between threads; the mark is the process's, the kind of
// lock whose holder the system names to one that asks.
constexpr off_t TURNSTILE = 0;
constexpr off_t GUARD = 1;
constexpr off_t MARK = 2;

// Gives a lock file of this user's the group and the read and write bits of
// the file `like` that it guards, as they are now (they may have changed since
// the lock file was made), so that whoever may write that file may take the
// lock: a write lock asks for a file open for writing.
void FollowGuardedFile(int fd, const char* like) {
    struct stat lock, guarded;
    if (!*like || fstat(fd, &lock) != 0 || lock.st_uid != geteuid() || stat(like, &guarded) != 0)
        return;
    if (lock.st_gid != guarded.st_gid && fchown(fd, static_cast<uid_t>(-1), guarded.st_gid) != 0)
        return; // a group this user is not in: the lock file stays as it is
    const mode_t mode = guarded.st_mode & 0666;
    if ((lock.st_mode & 07777) != mode) fchmod(fd, mode);
}

// Opens the lock file, for writing only when a write lock will be taken (the
// file is never written), creating it when missing and allowed. Its
// descriptor, or -1.
int OpenLockFile(const std::string& path, bool forWriteLocks, const char* createLike) {
    const int access = forWriteLocks ? O_RDWR : O_RDONLY;
    for (int attempt = 0; attempt < CREATE_ATTEMPTS; ++attempt) {
        const int fd = open(path.c_str(), access | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            struct stat info;
            if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) return fd;
            close(fd);
            errno = EEXIST;
            return -1;
        }
        if (errno != ENOENT || !createLike) return -1;
        const int made = file_ops::CreateLike(path, createLike);
        if (made >= 0) return made;
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

// Sets the lock of one byte (F_RDLCK, F_WRLCK or F_UNLCK) without waiting, as
// a lock of the open file or, with `command` F_SETLK, of the process. 1 when
// set; 0 with errno (EAGAIN when another holds it the other way).
int SetByte(int fd, off_t byte, short type, int command = F_OFD_SETLK) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    while (fcntl(fd, command, &lock) != 0) {
        if (errno == EACCES) errno = EAGAIN;
        if (errno != EINTR) return 0;
    }
    return 1;
}

// The process that holds the mark of the open lock file, or 0.
long MarkHolder(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = MARK;
    lock.l_len = 1;
    return fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK ? lock.l_pid : 0;
}

long long NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

// Sets the byte's lock, trying again until `deadline` while another holds it.
int WaitForByte(int fd, off_t byte, short type, long long deadline) {
    int pauseMs = 1;
    while (!SetByte(fd, byte, type)) {
        if (errno != EAGAIN) return 0;
        if (NowMs() >= deadline) {
            errno = EWOULDBLOCK;
            return 0;
        }
        const timespec pause{0, pauseMs * 1000000L};
        nanosleep(&pause, nullptr);
        pauseMs = std::min(pauseMs * 2, 20);
    }
    return 1;
}

// 1 when the descriptor is still the file at `path`: a lock on a file that was
// removed or replaced meanwhile guards nothing.
int StillAt(int fd, const std::string& path) {
    struct stat held, named;
    return fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

} // namespace

int FileLock::Take(const std::string& path, LockKind kind, int waitMs, const char* createLike) {
    Release();
    holder_ = 0;
    const long long deadline = NowMs() + waitMs;
    const bool writing = kind == LockKind::Exclusive;
    while (true) {
        const int fd = OpenLockFile(path, writing, createLike);
        if (fd < 0) return 0;
        if (createLike) FollowGuardedFile(fd, createLike);
        const bool held = writing ? WaitForByte(fd, TURNSTILE, F_WRLCK, deadline) &&
                                        WaitForByte(fd, GUARD, F_WRLCK, deadline)
                                  : WaitForByte(fd, TURNSTILE, F_RDLCK, deadline) &&
                                        WaitForByte(fd, GUARD, F_RDLCK, deadline) &&
                                        SetByte(fd, TURNSTILE, F_UNLCK);
        if (held && StillAt(fd, path)) {
            SetByte(fd, MARK, F_RDLCK, F_SETLK);
            fd_ = fd;
            path_ = path;
            return 1;
        }
        const int error = errno;
        if (!held && error == EWOULDBLOCK) holder_ = MarkHolder(fd);
        close(fd); // drops whatever it held
        if (!held) {
            errno = error;
            return 0;
        }
    }
}

void FileLock::Release() {
    if (fd_ < 0) return;
    close(fd_); // drops the locks
    fd_ = -1;
}

void FileLock::ReleaseAndRemove() {
    if (fd_ >= 0) unlink(path_.c_str());
    Release();
}

} // namespace platform
