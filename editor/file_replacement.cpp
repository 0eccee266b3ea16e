#include "editor/file_replacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

constexpr int LINK_HOPS = 40;      // as many symbolic links as a path lookup follows
constexpr int NAME_ATTEMPTS = 100; // temporary names tried per file

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

// Creates a new empty file under a free temporary name of `path`. Its
// descriptor, or -1.
int CreateTemporary(const std::string& path, std::string& temporary) {
    for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
        temporary = TemporaryName(path, attempt);
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
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
    unlink(file.spare.c_str());
    file.spare.clear();
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
        if (!S_ISREG(file.old.st_mode) ||
            faccessat(AT_FDCWD, file.path.c_str(), W_OK, AT_EACCESS) != 0)
            return 0;
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
    close(fd);
    return -1;
}

int ReplaceFiles(std::span<ReplacedFile> files) {
    for (ReplacedFile& file : files) {
        if (file.existed && !SetAside(file)) return 0;
        if (std::rename(file.temporary.c_str(), file.path.c_str()) != 0) return 0;
        file.replaced = true;
    }
    for (ReplacedFile& file : files)
        if (!file.spare.empty()) unlink(file.spare.c_str());
    return 1;
}

void RestoreFiles(std::span<ReplacedFile> files) {
    for (ReplacedFile& file : files) {
        if (file.spare.empty()) {
            if (file.replaced) unlink(file.path.c_str());
        } else if (file.linked && !file.replaced) {
            unlink(file.spare.c_str()); // the old file never left its place
        } else {
            std::rename(file.spare.c_str(), file.path.c_str());
        }
        if (!file.replaced && !file.temporary.empty()) unlink(file.temporary.c_str());
    }
}
