// Files read and written by descriptor with the system's own calls: a C
// runtime descriptor over a handle the system opened. A file opened for
// reading must be a file on a disk, never a device or a pipe.
#include "platform/files/file_io.h"
#include "platform/files/windows_files.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>

namespace platform {

namespace {

// A handle on a regular file as a C runtime descriptor (which owns it), or -1.
int Descriptor(::HANDLE file, int flags) {
    if (file == INVALID_HANDLE_VALUE) return -1;
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(file);
        errno = EISDIR;
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags);
    if (fd < 0) CloseHandle(file);
    return fd;
}

::HANDLE OpenExisting(const std::string& path, ::DWORD access) {
    ::HANDLE file = CreateFileW(windows::WideFromUtf8(path).c_str(), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) errno = windows::ErrnoOf(GetLastError());
    return file;
}

} // namespace

int OpenForRead(const std::string& path) {
    return Descriptor(OpenExisting(path, GENERIC_READ), _O_RDONLY | _O_BINARY);
}

int OpenRegularForRead(const std::string& path) { return OpenForRead(path); }

std::ptrdiff_t ReadSome(int fd, void* data, std::size_t size) {
    const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
    return _read(fd, data, chunk);
}

int WriteAll(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
        const int n = _write(fd, bytes, chunk);
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

int Rewind(int fd) { return _lseeki64(fd, 0, SEEK_SET) == 0; }

int CloseFile(int fd) { return _close(fd) == 0; }

int FlushAndClose(int fd) {
    const auto file = reinterpret_cast<::HANDLE>(_get_osfhandle(fd));
    const bool flushed = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file);
    const int error = flushed ? 0 : windows::ErrnoOf(GetLastError());
    const bool closed = _close(fd) == 0;
    if (!flushed) errno = error;
    return flushed && closed;
}

int PathExists(const std::string& path) {
    return GetFileAttributesW(windows::WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int IsRegularFile(const std::string& path) {
    const ::DWORD attributes = GetFileAttributesW(windows::WideFromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

int MayRead(const std::string& path) {
    ::HANDLE file = OpenExisting(path, GENERIC_READ);
    if (file == INVALID_HANDLE_VALUE) return 0;
    CloseHandle(file);
    return 1;
}

} // namespace platform
