// Files under the framework's naming rules, by the system's own calls. Names
// are UTF-8 here and UTF-16 to the system, which already takes backslashes and
// matches names in any case.
#include "platform/files/file_io.h"
#include "platform/files/files.h"
#include "platform/files/windows_files.h"

#include <shlobj.h>
#include <windows.h>

#include <io.h>

#include <algorithm>
#include <cwctype>

namespace platform {

namespace {

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

namespace {

// The path of the running executable; empty when the system cannot tell it.
std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const ::DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<::DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

} // namespace

std::string ExecutableFolder() {
    const std::wstring path = ExecutablePath();
    if (path.empty()) return ".\\";
    return windows::Utf8FromWide(path.substr(0, path.rfind(L'\\') + 1));
}

const char* CommandName() {
    static const std::string name = [] {
        std::wstring path = ExecutablePath();
        path.erase(0, path.rfind(L'\\') + 1);
        if (path.size() > 4 && _wcsicmp(path.c_str() + path.size() - 4, L".exe") == 0)
            path.resize(path.size() - 4);
        return windows::Utf8FromWide(path);
    }();
    return name.c_str();
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

std::string UserStateFolder() { return KnownFolder(FOLDERID_LocalAppData); }

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

} // namespace platform
