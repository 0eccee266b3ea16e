#include "platform/files/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <new>

namespace platform::file_ops {

namespace {

constexpr int LINK_HOPS = 40; // as many symbolic links as a path lookup follows
constexpr char ACCESS_LIST[] = "system.posix_acl_access";

void FactsOf(const struct stat& info, Facts& facts) {
    facts.exists = true;
    facts.regular = S_ISREG(info.st_mode);
    facts.folder = S_ISDIR(info.st_mode);
    facts.own = info.st_uid == geteuid();
    facts.links = static_cast<unsigned>(info.st_nlink);
    facts.identity.volume = info.st_dev;
    facts.identity.file = info.st_ino;
    facts.identity.size = static_cast<std::uint64_t>(info.st_size);
    facts.identity.modified = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
    facts.identity.changed = info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec;
}

// Extended attribute names are listed one after another, each ended by '\0'.
std::string AttributeNames(const std::string& path) {
    while (true) {
        const ssize_t size = llistxattr(path.c_str(), nullptr, 0);
        if (size <= 0) return {};
        std::string names(static_cast<std::size_t>(size), '\0');
        const ssize_t got = llistxattr(path.c_str(), names.data(), names.size());
        if (got >= 0) return names.substr(0, static_cast<std::size_t>(got));
        if (errno != ERANGE) return {}; // grew meanwhile: again
    }
}

// Copies every extended attribute of `like` that this user may read onto the
// open file, the access list among them, and takes away the access list the
// folder's default gave the new file when `like` has none. Attributes only the
// system may set (security and trusted ones) are left when refused.
int CopyAttributes(const std::string& like, int fd) {
    const std::string names = AttributeNames(like);
    bool hasAccessList = false;
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
        const char* const name = names.c_str() + at;
        hasAccessList = hasAccessList || std::strcmp(name, ACCESS_LIST) == 0;
        std::string value;
        ssize_t size;
        do {
            size = lgetxattr(like.c_str(), name, nullptr, 0);
            if (size < 0) break;
            value.resize(static_cast<std::size_t>(size));
            size = lgetxattr(like.c_str(), name, value.data(), value.size());
        } while (size < 0 && errno == ERANGE);
        if (size < 0) continue; // gone meanwhile, or not ours to read
        value.resize(static_cast<std::size_t>(size));
        if (fsetxattr(fd, name, value.data(), value.size(), 0) == 0) continue;
        const bool systems =
            std::strncmp(name, "security.", 9) == 0 || std::strncmp(name, "trusted.", 8) == 0;
        if (!(systems && (errno == EPERM || errno == EACCES))) return 0;
    }
    if (!hasAccessList && fremovexattr(fd, ACCESS_LIST) != 0 && errno != ENODATA &&
        errno != ENOTSUP)
        return 0;
    return 1;
}

// Gives the new open file the owner, group, attributes and permissions of `old`
// (the file `like`). Giving a file away is root's alone, and a group only its
// members': otherwise it stays as this user made it.
int GiveAttributes(int fd, const std::string& like, const struct stat& old) {
    const uid_t owner = geteuid() == 0 ? old.st_uid : static_cast<uid_t>(-1);
    if (fchown(fd, owner, old.st_gid) != 0 && errno != EPERM) return 0;
    // The permissions last: a change of owner or group takes away set-id bits.
    return CopyAttributes(like, fd) && fchmod(fd, old.st_mode & 07777) == 0;
}

} // namespace

int Inspect(const std::string& path, Facts& facts, bool follow) {
    facts = {};
    struct stat info;
    if ((follow ? stat(path.c_str(), &info) : lstat(path.c_str(), &info)) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    FactsOf(info, facts);
    return 1;
}

int InspectOpen(int fd, Facts& facts) {
    facts = {};
    struct stat info;
    if (fstat(fd, &info) != 0) return 0;
    FactsOf(info, facts);
    return 1;
}

int FollowLinks(const std::string& name, std::string& end) {
    std::string path = name;
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

int MayWrite(const std::string& path) {
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

int CreateLike(const std::string& path, const std::string& like) {
    struct stat old;
    const bool copy = !like.empty() && stat(like.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    // Until it has the attributes of `like`, only this user may open it.
    const int fd =
        open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, copy ? 0600 : 0666);
    if (fd < 0 || !copy || GiveAttributes(fd, like, old)) return fd;
    const int error = errno;
    close(fd);
    unlink(path.c_str());
    errno = error;
    return -1;
}

int OpenForWriteInPlace(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) return fd;
    close(fd);
    errno = EEXIST;
    return -1;
}

int WriteAt(int fd, long long offset, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = pwrite(fd, bytes, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return 0;
        }
        bytes += n;
        offset += n;
        size -= static_cast<std::size_t>(n);
    }
    return 1;
}

int CopyContents(int from, int to) {
    constexpr std::size_t BLOCK = 1 << 20;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[BLOCK]);
    if (!buffer) {
        errno = ENOMEM;
        return 0;
    }
    long long offset = 0;
    while (true) {
        const ssize_t n = pread(from, buffer.get(), BLOCK, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return 0;
        if (n == 0) break;
        if (!WriteAt(to, offset, buffer.get(), static_cast<std::size_t>(n))) return 0;
        offset += n;
    }
    return ftruncate(to, offset) == 0 && fsync(to) == 0;
}

int Flush(int fd) { return fsync(fd) == 0; }

int FlushFolder(const std::string& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder this user may write but not read cannot be opened to flush;
    // its names reach the disk when the system writes them out.
    if (fd < 0) return errno == EACCES;
    // Some file systems keep no names of their own to flush.
    const int flushed = fsync(fd) == 0 || errno == EINVAL;
    const int error = errno;
    close(fd);
    errno = error;
    return flushed;
}

int Rename(const std::string& from, const std::string& to) {
    return rename(from.c_str(), to.c_str()) == 0;
}

int Link(const std::string& existing, const std::string& name) {
    return link(existing.c_str(), name.c_str()) == 0;
}

int Remove(const std::string& path) { return unlink(path.c_str()) == 0; }

int ListFolder(const std::string& folder, std::vector<std::string>& names) {
    DIR* const listing = opendir(folder.empty() ? "." : folder.c_str());
    if (!listing) return 0;
    while (const dirent* entry = readdir(listing)) names.emplace_back(entry->d_name);
    closedir(listing);
    return 1;
}

long ProcessId() { return getpid(); }

int ProcessEnded(long id) {
    return id > 0 && id <= INT_MAX && kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH;
}

} // namespace platform::file_ops
