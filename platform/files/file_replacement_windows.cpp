// Replacing a set of files as a whole with the system's own calls: each new
// file is created exclusively beside the old one and flushed when closed; an
// old file is swapped for its new one with its attributes and access list kept
// and itself kept under a spare name, and every spare is removed only once the
// whole set is in place. A step that fails puts every old file back.
#include "platform/files/file_replacement.h"

#include "platform/files/windows_files.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <mutex>
#include <set>

namespace platform {

namespace {

constexpr int NAME_ATTEMPTS = 100;

// Temporaries made and not yet put in place or removed, for an interruption.
std::mutex heldLock;
std::set<std::wstring> held;

void Remember(const std::wstring& path) {
    std::lock_guard<std::mutex> hold(heldLock);
    held.insert(path);
}

void Forget(const std::wstring& path) {
    std::lock_guard<std::mutex> hold(heldLock);
    held.erase(path);
}

std::wstring Wide(const std::string& path) { return windows::WideFromUtf8(path); }

std::string TemporaryName(const std::string& path, int attempt) {
    return path + ".~" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
}

// Whether a process of this id runs now.
bool Running(::DWORD id) {
    ::HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

// Removes the temporaries and spares of `path` that a process no longer running left.
void RemoveStaleTemporaries(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::wstring prefix =
        Wide(path.substr(slash == std::string::npos ? 0 : slash + 1) + ".~");
    WIN32_FIND_DATAW entry;
    ::HANDLE listing = FindFirstFileExW(Wide(path + ".~*").c_str(), FindExInfoBasic, &entry,
                                        FindExSearchNameMatch, nullptr, 0);
    if (listing == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = entry.cFileName;
        if (name.compare(0, prefix.size(), prefix) != 0 ||
            (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            continue;
        wchar_t* end = nullptr;
        const unsigned long id = wcstoul(name.c_str() + prefix.size(), &end, 10);
        if (id == 0 || !end || *end != L'-' || Running(id)) continue;
        DeleteFileW((Wide(folder) + name).c_str());
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
}

// A new empty file under a free temporary name of `path`, created exclusively;
// its descriptor, or -1.
int CreateTemporary(const std::string& path, std::string& temporary) {
    for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
        temporary = TemporaryName(path, attempt);
        const std::wstring wide = Wide(temporary);
        Remember(wide);
        ::HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
            if (fd >= 0) return fd;
            CloseHandle(file);
            DeleteFileW(wide.c_str());
        }
        const ::DWORD error = GetLastError();
        Forget(wide);
        errno = windows::ErrnoOf(error);
        if (error != ERROR_FILE_EXISTS) break;
    }
    temporary.clear();
    return -1;
}

BOOL WINAPI OnInterrupt(::DWORD) {
    std::lock_guard<std::mutex> hold(heldLock);
    for (const std::wstring& path : held) DeleteFileW(path.c_str());
    held.clear();
    return FALSE; // and the program ends as it would have
}

} // namespace

int PrepareReplacement(const std::string& name, ReplacedFile& file) {
    file.path = name;
    // A link at the name is followed to the file a plain write would change.
    ::HANDLE target =
        CreateFileW(Wide(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        const ::DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            errno = windows::ErrnoOf(error);
            return 0;
        }
    } else {
        BY_HANDLE_FILE_INFORMATION information{};
        wchar_t final[MAX_PATH * 4];
        const ::DWORD length =
            GetFinalPathNameByHandleW(target, final, MAX_PATH * 4, FILE_NAME_NORMALIZED);
        const bool known = GetFileInformationByHandle(target, &information);
        const bool disk = GetFileType(target) == FILE_TYPE_DISK;
        CloseHandle(target);
        if (length > 0 && length < MAX_PATH * 4) file.path = windows::Utf8FromWide(final);
        file.existed = true;
        if (!known || !disk || (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            errno = known && (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EISDIR
                                                                                       : EEXIST;
            return 0;
        }
        // The plain write would refuse a file marked read-only.
        if (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
            errno = EACCES;
            return 0;
        }
        file.old.st_size = static_cast<off_t>(information.nFileSizeLow);
    }
    RemoveStaleTemporaries(file.path);
    return 1;
}

int CreateReplacement(ReplacedFile& file) { return CreateTemporary(file.path, file.temporary); }

int ReplaceFiles(std::span<ReplacedFile> files) {
    for (ReplacedFile& file : files) {
        const std::wstring path = Wide(file.path), temporary = Wide(file.temporary);
        bool placed;
        if (file.existed) {
            // The old file keeps a spare name until the set is in place; the
            // new one takes over its attributes and access list.
            const int placeholder = CreateTemporary(file.path, file.spare);
            if (placeholder >= 0) _close(placeholder); // its name is the old file's from now on
            placed = placeholder >= 0 &&
                     ReplaceFileW(path.c_str(), temporary.c_str(), Wide(file.spare).c_str(),
                                  REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                                  nullptr, nullptr);
        } else {
            placed = MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
        }
        if (!placed) {
            const int error = windows::ErrnoOf(GetLastError());
            RestoreFiles(files);
            errno = error;
            return 0;
        }
        Forget(temporary);
        file.replaced = true;
    }
    for (ReplacedFile& file : files)
        if (!file.spare.empty()) {
            DeleteFileW(Wide(file.spare).c_str());
            Forget(Wide(file.spare));
        }
    return 1;
}

void RestoreFiles(std::span<ReplacedFile> files) {
    for (ReplacedFile& file : files) {
        const std::wstring path = Wide(file.path);
        if (file.replaced && !file.spare.empty())
            MoveFileExW(Wide(file.spare).c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        else if (file.replaced)
            DeleteFileW(path.c_str());
        else if (!file.spare.empty())
            DeleteFileW(Wide(file.spare).c_str());
        if (!file.spare.empty()) Forget(Wide(file.spare));
        if (!file.replaced && !file.temporary.empty()) {
            DeleteFileW(Wide(file.temporary).c_str());
            Forget(Wide(file.temporary));
        }
        file.spare.clear();
        file.temporary.clear();
        file.linked = file.replaced = false;
    }
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

void SetUpToolSignals() { SetConsoleCtrlHandler(OnInterrupt, TRUE); }

} // namespace platform
