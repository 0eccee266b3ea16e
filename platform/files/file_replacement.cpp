#include "platform/files/file_replacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

constexpr int LINK_HOPS = 40;      // as many symbolic links as a path lookup follows
constexpr int NAME_ATTEMPTS = 100; // temporary names tried per file

// ---- Names to remove when an interruption ends the process ----

// The temporaries and placeholders this process has made and not yet put in
// place or removed. Kept in fixed storage, since a signal handler reads it.
struct HeldName {
    enum : int { FREE, FILLING, HELD };
    std::atomic<int> state{FREE};
    char path[PATH_MAX];
};
constexpr int HELD_NAMES = 32;
HeldName heldNames[HELD_NAMES];

std::atomic<int> replacing{0};      // ReplaceFiles or RestoreFiles are running
std::atomic<int> deferredSignal{0}; // an interruption that came meanwhile

// Notes `path` as one of ours. A name that does not fit is only not removed
// on an interruption; a later save of the same file sweeps it.
void Remember(const std::string& path) {
    if (path.size() >= PATH_MAX) return;
    for (HeldName& held : heldNames) {
        int free = HeldName::FREE;
        if (!held.state.compare_exchange_strong(free, HeldName::FILLING)) continue;
        std::memcpy(held.path, path.c_str(), path.size() + 1);
        held.state.store(HeldName::HELD);
        return;
    }
}

void Forget(const std::string& path) {
    for (HeldName& held : heldNames)
        if (held.state.load() == HeldName::HELD && path == held.path) {
            held.state.store(HeldName::FREE);
            return;
        }
}

// Only what a signal handler may call.
void EndBySignal(int signal) {
    for (HeldName& held : heldNames)
        if (held.state.load() == HeldName::HELD) unlink(held.path);
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigaction(signal, &plain, nullptr);
    raise(signal);
}

extern "C" void OnInterrupt(int signal) {
    if (replacing.load() > 0)
        deferredSignal.store(signal);
    else
        EndBySignal(signal);
}

// Brackets the steps that put files in place or back: an interruption waits
// for them, so that it never leaves a set half replaced.
struct Replacing {
    Replacing() { replacing.fetch_add(1); }
    ~Replacing() {
        if (replacing.fetch_sub(1) == 1)
            if (const int signal = deferredSignal.exchange(0)) EndBySignal(signal);
    }
};

int RemoveName(const std::string& path) {
    const int removed = unlink(path.c_str()) == 0;
    Forget(path);
    return removed;
}

int MoveName(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) return 0;
    Forget(from);
    return 1;
}

// ---- Temporaries ----

// Temporaries and spares are named after the file, this process and a number.
std::string TemporaryName(const std::string& path, int attempt) {
    return path + ".~" + std::to_string(getpid()) + "-" + std::to_string(attempt);
}

// Follows symbolic links from `path` to the name that a write through it would
// create or change, which need not exist. 0 for a loop or an unreadable link.
int FollowLinks(std::string path, std::string& end) {
    for (int hop = 0; hop <= LINK_HOPS; ++hop) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            end = path;
            return 1;
        }
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target);
        if (length <= 0 || length == static_cast<ssize_t>(sizeof target)) return 0;
        const std::size_t slash = path.rfind('/');
        if (target[0] == '/' || slash == std::string::npos)
            path.assign(target, static_cast<std::size_t>(length));
        else
            path = path.substr(0, slash + 1).append(target, static_cast<std::size_t>(length));
    }
    errno = ELOOP;
    return 0;
}

// 1 when `entry` is `prefix` followed by "PID-N", with `pid` set.
int IsTemporaryName(const char* entry, const std::string& prefix, pid_t& pid) {
    if (std::strncmp(entry, prefix.c_str(), prefix.size()) != 0) return 0;
    const char* p = entry + prefix.size();
    const char* const digits = p;
    long long value = 0;
    for (; *p >= '0' && *p <= '9' && p - digits < 10; ++p) value = value * 10 + (*p - '0');
    if (p == digits || *p != '-' || value <= 0 || value > INT_MAX) return 0;
    const char* const number = ++p;
    while (*p >= '0' && *p <= '9') ++p;
    if (p == number || *p != '\0') return 0;
    pid = static_cast<pid_t>(value);
    return 1;
}

// Removes the temporaries and spares of `path` that a process no longer running
// left: regular files of ours, named exactly as this module names them.
void RemoveStaleTemporaries(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + ".~";
    DIR* const listing = opendir(folder.c_str());
    if (!listing) return;
    while (const dirent* entry = readdir(listing)) {
        pid_t pid;
        if (!IsTemporaryName(entry->d_name, prefix, pid) || kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        struct stat info;
        if (fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == geteuid())
            unlinkat(dirfd(listing), entry->d_name, 0);
    }
    closedir(listing);
}

// Creates a new empty file under a free temporary name of `path`; a name that
// is taken, by anything at all, is passed over. Its descriptor, or -1.
int CreateTemporary(const std::string& path, std::string& temporary) {
    for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
        temporary = TemporaryName(path, attempt);
        Remember(temporary); // before it exists, so that no interruption misses it
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        const int error = errno;
        Forget(temporary);
        errno = error;
        if (error != EEXIST) break;
    }
    temporary.clear();
    return -1;
}

// Gives the old file a spare name beside it, so that it can be put back. A file
// of our own gets a second link and stays in place meanwhile. Another user's
// file is moved aside instead, since a link to it might be refused or might not
// be removable again; so is a file on a file system without links.
int SetAside(ReplacedFile& file) {
    if (file.old.st_uid == geteuid()) {
        for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
            file.spare = TemporaryName(file.path, attempt);
            if (link(file.path.c_str(), file.spare.c_str()) == 0) {
                file.linked = true;
                return 1;
            }
            if (errno != EEXIST) break;
        }
    }
    const int placeholder = CreateTemporary(file.path, file.spare);
    if (placeholder < 0) return 0;
    close(placeholder);
    if (std::rename(file.path.c_str(), file.spare.c_str()) == 0) return 1;
    const int error = errno;
    RemoveName(file.spare);
    file.spare.clear();
    errno = error;
    return 0;
}

} // namespace

int PrepareReplacement(const std::string& name, ReplacedFile& file) {
    if (!FollowLinks(name, file.path)) return 0;
    if (stat(file.path.c_str(), &file.old) != 0) {
        if (errno != ENOENT) return 0;
    } else {
        // The plain write would refuse a file the user may not write, and would
        // write into a device or a pipe rather than replace it.
        file.existed = true;
        if (!S_ISREG(file.old.st_mode)) {
            errno = S_ISDIR(file.old.st_mode) ? EISDIR : EEXIST;
            return 0;
        }
        if (faccessat(AT_FDCWD, file.path.c_str(), W_OK, AT_EACCESS) != 0) return 0;
    }
    RemoveStaleTemporaries(file.path);
    return 1;
}

int CreateReplacement(ReplacedFile& file) {
    const int fd = CreateTemporary(file.path, file.temporary);
    if (fd < 0 || !file.existed) return fd;
    // Giving a file away is root's alone: for anyone else it stays theirs, as
    // any file they create, with the old permissions.
    if ((fchown(fd, file.old.st_uid, file.old.st_gid) == 0 || errno == EPERM) &&
        fchmod(fd, file.old.st_mode & 07777) == 0)
        return fd;
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
}

int ReplaceFiles(std::span<ReplacedFile> files) {
    const Replacing bracket;
    for (ReplacedFile& file : files) {
        if ((file.existed && !SetAside(file)) || !MoveName(file.temporary, file.path)) {
            const int error = errno;
            RestoreFiles(files);
            errno = error;
            return 0;
        }
        file.replaced = true;
    }
    for (ReplacedFile& file : files)
        if (!file.spare.empty()) RemoveName(file.spare);
    return 1;
}

void RestoreFiles(std::span<ReplacedFile> files) {
    const Replacing bracket;
    for (ReplacedFile& file : files) {
        if (file.spare.empty()) {
            if (file.replaced) unlink(file.path.c_str());
        } else if (file.linked && !file.replaced) {
            RemoveName(file.spare); // the old file never left its place
        } else {
            MoveName(file.spare, file.path);
        }
        if (!file.replaced && !file.temporary.empty()) RemoveName(file.temporary);
        file.spare.clear();
        file.temporary.clear();
        file.linked = file.replaced = false;
    }
}

int WriteAll(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return 0;
        if (n == 0) {
            errno = ENOSPC;
            return 0;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return 1;
}

void SetUpToolSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction action {};
        // A signal the caller's shell set to be ignored (a job started in the
        // background) stays ignored.
        if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
        action = {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, nullptr);
}

} // namespace platform
