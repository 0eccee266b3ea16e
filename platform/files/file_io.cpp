#include "platform/files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

int OpenForRead(const std::string& path) { return open(path.c_str(), O_RDONLY | O_CLOEXEC); }

int OpenRegularForRead(const std::string& path) {
    // Non-blocking, so that a pipe put in place of the file cannot hang the
    // open; it is refused below like every other kind of non-file.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info;
    const int known = fstat(fd, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
        const int error = !known ? errno : S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

std::ptrdiff_t ReadSome(int fd, void* data, std::size_t size) {
    while (true) {
        const ssize_t n = read(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        return n;
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

int Rewind(int fd) { return lseek(fd, 0, SEEK_SET) == 0; }

int CloseFile(int fd) { return close(fd) == 0; }

int FlushAndClose(int fd) {
    const int flushed = fsync(fd) == 0;
    const int error = errno;
    const int closed = close(fd) == 0;
    if (!flushed) errno = error;
    return flushed && closed;
}

int PathExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

int IsRegularFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

int MayRead(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

} // namespace platform
