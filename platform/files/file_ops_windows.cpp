// The steps of a set's replacement on the system's own Windows calls: files
// opened by handle (as C runtime descriptors), never through a link where a
// step promises so; names replaced with MoveFileExW, written through to the
// disk; new files made with CREATE_NEW and the access list of the file they
// stand in for from the start.
#include "platform/files/file_ops.h"

#include "platform/files/windows_files.h"

#include <windows.h>

#include <aclapi.h>
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <memory>
#include <new>

namespace platform::file_ops {

namespace {

constexpr ::DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr int LINK_HOPS = 40; // as many links as a path lookup follows

int Fail() {
    errno = windows::ErrnoOf(GetLastError());
    return 0;
}

::HANDLE HandleOf(int fd) { return reinterpret_cast<::HANDLE>(_get_osfhandle(fd)); }

// A C runtime descriptor that owns the handle, or -1 (the handle closed).
int Descriptor(::HANDLE file, int flags) {
    if (file == INVALID_HANDLE_VALUE) {
        Fail();
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        errno = EMFILE;
    }
    return fd;
}

// Opens what is at `path` to read its facts, a folder too; a link itself
// unless `follow`.
::HANDLE OpenToInspect(const std::string& path, bool follow) {
    return CreateFileW(
        windows::WideFromUtf8(path).c_str(), READ_CONTROL, SHARE_ALL, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
}

// Whether the file's owner is the user this process runs as.
bool OwnedByUs(::HANDLE file) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                        nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    bool ours = false;
    ::HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        alignas(TOKEN_USER) unsigned char buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
        ::DWORD size = 0;
        if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size))
            ours = EqualSid(owner, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
        CloseHandle(token);
    }
    LocalFree(descriptor);
    return ours;
}

int FactsOf(::HANDLE file, Facts& facts) {
    BY_HANDLE_FILE_INFORMATION information{};
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandle(file, &information) ||
        !GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic))
        return Fail();
    const ::DWORD attributes = information.dwFileAttributes;
    const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
    facts.exists = true;
    facts.folder = !link && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    facts.regular = !link && !facts.folder && GetFileType(file) == FILE_TYPE_DISK;
    facts.own = OwnedByUs(file);
    facts.links = information.nNumberOfLinks;
    facts.identity.volume = information.dwVolumeSerialNumber;
    facts.identity.file =
        (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    facts.identity.size =
        (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
    // The system counts time in 100 ns steps.
    facts.identity.modified = basic.LastWriteTime.QuadPart * 100;
    facts.identity.changed = basic.ChangeTime.QuadPart * 100;
    return 1;
}

} // namespace

int Inspect(const std::string& path, Facts& facts, bool follow) {
    facts = {};
    const ::HANDLE file = OpenToInspect(path, follow);
    if (file == INVALID_HANDLE_VALUE) {
        const ::DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 1;
        return Fail();
    }
    const int told = FactsOf(file, facts);
    CloseHandle(file);
    return told;
}

int InspectOpen(int fd, Facts& facts) {
    facts = {};
    const ::HANDLE file = HandleOf(fd);
    if (file == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return 0;
    }
    return FactsOf(file, facts);
}

int FollowLinks(const std::string& name, std::string& end) {
    std::string path = name;
    for (int hop = 0; hop <= LINK_HOPS; ++hop) {
        const ::DWORD attributes = GetFileAttributesW(windows::WideFromUtf8(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            end = path;
            return 1;
        }
        // A link: the system names the file at its end, which must exist.
        const ::HANDLE file = OpenToInspect(path, true);
        if (file == INVALID_HANDLE_VALUE) break;
        wchar_t target[MAX_PATH * 4];
        const ::DWORD length =
            GetFinalPathNameByHandleW(file, target, MAX_PATH * 4, FILE_NAME_NORMALIZED);
        CloseHandle(file);
        if (length == 0 || length >= MAX_PATH * 4) break;
        std::wstring_view found(target, length);
        if (found.starts_with(L"\\\\?\\")) found.remove_prefix(4);
        path = windows::Utf8FromWide(found);
    }
    errno = ELOOP;
    return 0;
}

int MayWrite(const std::string& path) {
    const ::HANDLE file = CreateFileW(windows::WideFromUtf8(path).c_str(), GENERIC_WRITE, SHARE_ALL,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail();
    CloseHandle(file);
    return 1;
}

int CreateLike(const std::string& path, const std::string& like) {
    // The access list of `like` is the new file's from its making.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
    if (!like.empty() && GetNamedSecurityInfoW(windows::WideFromUtf8(like).c_str(), SE_FILE_OBJECT,
                                               DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                                               nullptr, &descriptor) == ERROR_SUCCESS)
        security.lpSecurityDescriptor = descriptor;
    // Shared for removal, so that an interruption may remove it while open.
    const ::HANDLE file =
        CreateFileW(windows::WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, SHARE_ALL,
                    &security, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const ::DWORD error = GetLastError();
    if (descriptor) LocalFree(descriptor);
    SetLastError(error);
    return Descriptor(file, _O_RDWR);
}

int OpenForWriteInPlace(const std::string& path) {
    const ::HANDLE file =
        CreateFileW(windows::WideFromUtf8(path).c_str(), GENERIC_WRITE | READ_CONTROL, SHARE_ALL,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        Fail();
        return -1;
    }
    Facts facts;
    if (!FactsOf(file, facts) || !facts.regular) {
        CloseHandle(file);
        errno = EEXIST;
        return -1;
    }
    return Descriptor(file, _O_WRONLY);
}

int WriteAt(int fd, long long offset, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<::DWORD>(offset);
        at.OffsetHigh = static_cast<::DWORD>(offset >> 32);
        const ::DWORD chunk = static_cast<::DWORD>(std::min<std::size_t>(size, 1u << 30));
        ::DWORD written = 0;
        if (!WriteFile(HandleOf(fd), bytes, chunk, &written, &at)) return Fail();
        if (written == 0) {
            errno = ENOSPC;
            return 0;
        }
        bytes += written;
        offset += written;
        size -= written;
    }
    return 1;
}

int CopyContents(int from, int to) {
    constexpr ::DWORD BLOCK = 1 << 20;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[BLOCK]);
    if (!buffer) {
        errno = ENOMEM;
        return 0;
    }
    long long offset = 0;
    while (true) {
        OVERLAPPED at{};
        at.Offset = static_cast<::DWORD>(offset);
        at.OffsetHigh = static_cast<::DWORD>(offset >> 32);
        ::DWORD got = 0;
        if (!ReadFile(HandleOf(from), buffer.get(), BLOCK, &got, &at) &&
            GetLastError() != ERROR_HANDLE_EOF)
            return Fail();
        if (got == 0) break;
        if (!WriteAt(to, offset, buffer.get(), got)) return 0;
        offset += got;
    }
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = offset;
    if (!SetFileInformationByHandle(HandleOf(to), FileEndOfFileInfo, &end, sizeof end))
        return Fail();
    return Flush(to);
}

int Flush(int fd) { return FlushFileBuffers(HandleOf(fd)) ? 1 : Fail(); }

int FlushFolder(const std::string& folder) {
    const ::HANDLE handle = CreateFileW(
        windows::WideFromUtf8(folder.empty() ? "." : folder).c_str(), GENERIC_READ | GENERIC_WRITE,
        SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    // A folder this user may not open for writing, or a file system that keeps
    // no names of its own to flush: its names reach the disk when the system
    // writes them out.
    if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_ACCESS_DENIED ? 1 : Fail();
    const bool flushed = FlushFileBuffers(handle) || GetLastError() == ERROR_INVALID_FUNCTION ||
                         GetLastError() == ERROR_ACCESS_DENIED;
    const ::DWORD error = GetLastError();
    CloseHandle(handle);
    SetLastError(error);
    return flushed ? 1 : Fail();
}

int Rename(const std::string& from, const std::string& to) {
    return MoveFileExW(windows::WideFromUtf8(from).c_str(), windows::WideFromUtf8(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 1
               : Fail();
}

int Link(const std::string& existing, const std::string& name) {
    return CreateHardLinkW(windows::WideFromUtf8(name).c_str(),
                           windows::WideFromUtf8(existing).c_str(), nullptr)
               ? 1
               : Fail();
}

int Remove(const std::string& path) {
    return DeleteFileW(windows::WideFromUtf8(path).c_str()) ? 1 : Fail();
}

int ListFolder(const std::string& folder, std::vector<std::string>& names) {
    std::string pattern = folder.empty() ? "." : folder;
    if (pattern.back() != '/' && pattern.back() != '\\') pattern += '\\';
    WIN32_FIND_DATAW found;
    const ::HANDLE search = FindFirstFileW(windows::WideFromUtf8(pattern + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return Fail();
    do names.push_back(windows::Utf8FromWide(found.cFileName));
    while (FindNextFileW(search, &found));
    FindClose(search);
    return 1;
}

long ProcessId() { return static_cast<long>(GetCurrentProcessId()); }

int ProcessEnded(long id) {
    if (id <= 0) return 0;
    const ::HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                         static_cast<::DWORD>(id));
    // No process of that number: it has ended (one of another user's cannot be opened).
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

} // namespace platform::file_ops
