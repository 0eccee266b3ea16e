// Locks between processes on a lock file beside what they guard, with the
// system's byte-range locks: the turnstile byte, which a writer holds from
// before it waits for the guard until it is done and which a reader passes on
// its way, and the guard byte, held shared by readers and alone by the writer.
// The system drops a process's locks when it ends.
#include "platform/files/file_lock.h"

#include "platform/files/file_ops.h"
#include "platform/files/windows_files.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>

namespace platform {

namespace {

constexpr ::DWORD TURNSTILE = 0;
constexpr ::DWORD GUARD = 1;

// Opens the lock file, never through a link at its name, creating it
// exclusively when missing and `createLike` is given (with the access list of
// the file it names).
::HANDLE OpenLockFile(const std::string& path, bool forWriteLocks, const char* createLike) {
    const std::wstring wide = windows::WideFromUtf8(path);
    const ::DWORD access = GENERIC_READ | (forWriteLocks ? GENERIC_WRITE : 0);
    const ::DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    for (int attempt = 0; attempt < 10; ++attempt) {
        ::HANDLE file = CreateFileW(wide.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            BY_HANDLE_FILE_INFORMATION information{};
            if (GetFileInformationByHandle(file, &information) &&
                !(information.dwFileAttributes &
                  (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
                GetFileType(file) == FILE_TYPE_DISK)
                return file;
            errno = information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT ? ELOOP : EEXIST;
            CloseHandle(file);
            return INVALID_HANDLE_VALUE;
        }
        const ::DWORD error = GetLastError();
        if ((error != ERROR_FILE_NOT_FOUND) || !createLike) {
            errno =
                error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
            return INVALID_HANDLE_VALUE;
        }
        const int made = file_ops::CreateLike(path, createLike);
        if (made >= 0) {
            // A handle of its own, for the locks; the descriptor goes.
            ::HANDLE own = INVALID_HANDLE_VALUE;
            DuplicateHandle(GetCurrentProcess(), reinterpret_cast<::HANDLE>(_get_osfhandle(made)),
                            GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS);
            _close(made);
            if (own == INVALID_HANDLE_VALUE) errno = EMFILE;
            return own;
        }
        if (errno != EEXIST) return INVALID_HANDLE_VALUE;
    }
    errno = EEXIST;
    return INVALID_HANDLE_VALUE;
}

bool SetByte(::HANDLE file, ::DWORD byte, bool exclusive) {
    OVERLAPPED at{};
    at.Offset = byte;
    return LockFileEx(file, LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0),
                      0, 1, 0, &at);
}

void ClearByte(::HANDLE file, ::DWORD byte) { UnlockFile(file, byte, 0, 1, 0); }

// Sets the byte's lock, trying again until `deadline` while another holds it.
bool WaitForByte(::HANDLE file, ::DWORD byte, bool exclusive, ULONGLONG deadline) {
    ::DWORD pause = 1;
    while (!SetByte(file, byte, exclusive)) {
        const ::DWORD error = GetLastError();
        if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
            errno = EACCES;
            return false;
        }
        if (GetTickCount64() >= deadline) {
            errno = EWOULDBLOCK;
            return false;
        }
        Sleep(pause);
        pause = std::min<::DWORD>(pause * 2, 20);
    }
    return true;
}

// Whether the handle is still the file at `path`: a lock on a file that was
// removed or replaced meanwhile guards nothing.
bool StillAt(::HANDLE file, const std::string& path) {
    ::HANDLE named = CreateFileW(windows::WideFromUtf8(path).c_str(), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION held{}, found{};
    const bool same =
        GetFileInformationByHandle(file, &held) && GetFileInformationByHandle(named, &found) &&
        held.dwVolumeSerialNumber == found.dwVolumeSerialNumber &&
        held.nFileIndexHigh == found.nFileIndexHigh && held.nFileIndexLow == found.nFileIndexLow;
    CloseHandle(named);
    return same;
}

} // namespace

int FileLock::Take(const std::string& path, LockKind kind, int waitMs, const char* createLike) {
    Release();
    // The system does not tell who holds a byte-range lock.
    holder_ = 0;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max(waitMs, 0));
    const bool writing = kind == LockKind::Exclusive;
    while (true) {
        ::HANDLE file = OpenLockFile(path, writing, createLike);
        if (file == INVALID_HANDLE_VALUE) return 0;
        bool held = WaitForByte(file, TURNSTILE, writing, deadline) &&
                    WaitForByte(file, GUARD, writing, deadline);
        if (held && !writing) ClearByte(file, TURNSTILE);
        if (held && StillAt(file, path)) {
            fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY);
            if (fd_ >= 0) {
                path_ = path;
                return 1;
            }
            CloseHandle(file);
            errno = EMFILE;
            return 0;
        }
        const int error = errno;
        CloseHandle(file); // drops whatever it held
        if (!held) {
            errno = error;
            return 0;
        }
    }
}

void FileLock::Release() {
    if (fd_ < 0) return;
    _close(fd_); // drops the locks
    fd_ = -1;
}

void FileLock::ReleaseAndRemove() {
    if (fd_ >= 0) DeleteFileW(windows::WideFromUtf8(path_).c_str());
    Release();
}

} // namespace platform
