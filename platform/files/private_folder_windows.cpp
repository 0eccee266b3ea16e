// Folders of this user's alone under the user's temporary folder: made
// exclusively, with an access list that lets in this user and nobody else.
#include "platform/files/private_folder.h"

#include "platform/files/windows_files.h"

#include <windows.h>

#include <sddl.h>

#include <cerrno>
#include <random>

namespace platform {

namespace {

// The access list of a folder that only this user may enter: the user's own
// security identifier, with full rights passed down to what is made inside.
std::wstring OwnerOnlyDescriptor() {
    ::HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    ::DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::wstring descriptor;
    std::string buffer(size, '\0');
    LPWSTR sid = nullptr;
    if (GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
        descriptor = L"D:P(A;OICI;FA;;;" + std::wstring(sid) + L")";
        LocalFree(sid);
    }
    CloseHandle(token);
    return descriptor;
}

// Removes what is at `path`, never following a link: a linked folder loses
// its link only.
bool Remove(const std::wstring& path) {
    const ::DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(path.c_str());
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW entry;
        ::HANDLE listing = FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &entry,
                                            FindExSearchNameMatch, nullptr, 0);
        if (listing != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name != L"." && name != L"..") Remove(path + L"\\" + name);
            } while (FindNextFileW(listing, &entry));
            FindClose(listing);
        }
    }
    return RemoveDirectoryW(path.c_str());
}

// Security attributes that let in this user (and the system) alone; the
// descriptor is freed with LocalFree. False with errno when none can be made.
bool OwnerOnly(SECURITY_ATTRIBUTES& security) {
    const std::wstring descriptor = OwnerOnlyDescriptor();
    if (!descriptor.empty() &&
        ConvertStringSecurityDescriptorToSecurityDescriptorW(
            descriptor.c_str(), SDDL_REVISION_1, &security.lpSecurityDescriptor, nullptr))
        return true;
    errno = EACCES;
    return false;
}

} // namespace

std::string TemporaryFolder() {
    wchar_t path[MAX_PATH + 1];
    const ::DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH) return ".";
    std::wstring folder(path, length);
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return windows::Utf8FromWide(folder);
}

std::string MakePrivateFolder(const char* prefix) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
    if (!OwnerOnly(security)) return "";
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string made;
    for (int attempt = 0; attempt < 100 && made.empty(); ++attempt) {
        std::string name = TemporaryFolder() + "\\" + prefix;
        for (int i = 0; i < 6; ++i) name += letters[random() % (sizeof letters - 1)];
        if (CreateDirectoryW(windows::WideFromUtf8(name).c_str(), &security))
            made = name;
        else if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    LocalFree(security.lpSecurityDescriptor);
    if (made.empty()) errno = EACCES;
    return made;
}

int MakeOwnFolder(const std::string& folder) {
    // The folders above are made as any new folder; the folder itself for this
    // user alone. One that is there already is taken when it is a real folder:
    // the user's own application data folders let in no one else.
    for (std::size_t at = folder.find_first_of("/\\", 3); at != std::string::npos;
         at = folder.find_first_of("/\\", at + 1))
        CreateDirectoryW(windows::WideFromUtf8(folder.substr(0, at)).c_str(), nullptr);
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
    if (!OwnerOnly(security)) return 0;
    const std::wstring wide = windows::WideFromUtf8(folder);
    const bool made = CreateDirectoryW(wide.c_str(), &security);
    const ::DWORD error = GetLastError();
    LocalFree(security.lpSecurityDescriptor);
    if (!made && error != ERROR_ALREADY_EXISTS) {
        errno = windows::ErrnoOf(error);
        return 0;
    }
    const ::DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return 1;
    errno = EPERM;
    return 0;
}

int RemoveFolder(const std::string& path) {
    if (Remove(windows::WideFromUtf8(path))) return 1;
    errno = EACCES;
    return 0;
}

} // namespace platform
