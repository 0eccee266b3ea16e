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
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = errno;
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

int Rewind(int fd) { return lseek(fd, 0, SEEK_SET) == 0; }

int CloseFile(int fd) { return close(fd) == 0; }

int PathExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

int MayRead(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

int SameFile(const std::string& first, const std::string& second) {
    struct stat one, two;
    return stat(first.c_str(), &one) == 0 && stat(second.c_str(), &two) == 0 &&
           one.st_dev == two.st_dev && one.st_ino == two.st_ino;
}

} // namespace platform
