// Files by the system's own calls. Names are UTF-8 here and UTF-16 to the
// system, which already takes backslashes and matches names in any case; a
// file opened for reading must be a file on a disk, never a device or a pipe.
#include "platform/files.h"
#include "platform/file_io.h"

#include "platform/windows/win32.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cwctype>

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

int ErrnoOf(::DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

::HANDLE OpenExisting(const std::string& path, ::DWORD access) {
    ::HANDLE file = CreateFileW(windows::WideFromUtf8(path).c_str(), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) errno = ErrnoOf(GetLastError());
    return file;
}

// '*' any run of characters, '?' one, letters in either case.
bool Matches(std::wstring_view pattern, std::wstring_view name) {
    std::size_t p = 0, n = 0, star = std::wstring_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == L'?' || std::towlower(pattern[p]) == std::towlower(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

std::string KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string result;
    if (SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK)
        result = windows::Utf8FromWide(path);
    CoTaskMemFree(path);
    return result;
}

} // namespace

std::string ResolvePath(const char* name) {
    std::string path = name ? name : "";
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::FILE* OpenForReading(const char* name) {
    const int fd = OpenRegularForRead(ResolvePath(name));
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "rb");
    if (!file) _close(fd);
    return file;
}

std::vector<std::string> FindFiles(const char* pattern) {
    const std::string path = ResolvePath(pattern);
    const std::string::size_type slash = path.rfind('\\');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::wstring wildcard =
        windows::WideFromUtf8(slash == std::string::npos ? path : path.substr(slash + 1));
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    // Every name is matched here, not by the system, which would match short
    // names too.
    ::HANDLE listing = FindFirstFileExW(windows::WideFromUtf8(folder + "\\*").c_str(),
                                        FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (listing == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) &&
            Matches(wildcard, entry.cFileName))
            names.push_back(windows::Utf8FromWide(entry.cFileName));
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return _stricmp(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

std::string ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const ::DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<::DWORD>(path.size()));
        if (length == 0) return ".\\";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return windows::Utf8FromWide(path.substr(0, path.rfind(L'\\') + 1));
}

std::string EnvironmentValue(const char* name) {
    const wchar_t* value = _wgetenv(windows::WideFromUtf8(name).c_str());
    return value ? windows::Utf8FromWide(value) : "";
}

bool StartedFromMenu() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_TITLEISLINKNAME) != 0;
}

bool MenuMapsFolder(std::string& path, std::string& error) {
    const std::string data = KnownFolder(FOLDERID_RoamingAppData);
    path = data.empty() ? "%APPDATA%\\Tessera\\maps" : data + "\\Tessera\\maps";
    if (data.empty()) error = "the user's application data folder is unknown";
    return !data.empty();
}

bool EnterFolder(const std::string& path, std::string& error) {
    const std::wstring wide = windows::WideFromUtf8(ResolvePath(path.c_str()));
    // Each missing folder on the way is made.
    for (std::size_t at = wide.find(L'\\', 3); at != std::wstring::npos;
         at = wide.find(L'\\', at + 1))
        CreateDirectoryW(wide.substr(0, at).c_str(), nullptr);
    if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        error = "cannot make the folder (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    if (!SetCurrentDirectoryW(wide.c_str())) {
        error = "cannot enter the folder (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

std::string SystemFolder() { return KnownFolder(FOLDERID_Windows); }

int OpenForRead(const std::string& path) {
    return Descriptor(OpenExisting(path, GENERIC_READ), _O_RDONLY | _O_BINARY);
}

int OpenRegularForRead(const std::string& path) { return OpenForRead(path); }

std::ptrdiff_t ReadSome(int fd, void* data, std::size_t size) {
    const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30));
    return _read(fd, data, chunk);
}

int Rewind(int fd) { return _lseeki64(fd, 0, SEEK_SET) == 0; }

int CloseFile(int fd) {
    // What was written reaches the disk before the file counts as closed.
    const auto file = reinterpret_cast<::HANDLE>(_get_osfhandle(fd));
    if (file != INVALID_HANDLE_VALUE && !FlushFileBuffers(file) &&
        GetLastError() != ERROR_ACCESS_DENIED) {
        errno = ErrnoOf(GetLastError());
        _close(fd);
        return 0;
    }
    return _close(fd) == 0;
}

int PathExists(const std::string& path) {
    return GetFileAttributesW(windows::WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int MayRead(const std::string& path) {
    ::HANDLE file = OpenExisting(path, GENERIC_READ);
    if (file == INVALID_HANDLE_VALUE) return 0;
    CloseHandle(file);
    return 1;
}

int SameFile(const std::string& first, const std::string& second) {
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    ::HANDLE one = OpenExisting(first, 0), two = OpenExisting(second, 0);
    const bool same = one != INVALID_HANDLE_VALUE && two != INVALID_HANDLE_VALUE &&
                      GetFileInformationByHandle(one, &a) && GetFileInformationByHandle(two, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                      a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    if (one != INVALID_HANDLE_VALUE) CloseHandle(one);
    if (two != INVALID_HANDLE_VALUE) CloseHandle(two);
    return same;
}

} // namespace platform
