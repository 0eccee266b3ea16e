// Held files on Windows, for the headless backend there: a file is held while
// this process has it open for writing with no one else let in to write, and
// names the holder's process; the system lets go of it when the process ends.
// The files live in the backend's lock folder, a private folder of its own.
#include "platform/win/held_file.h"

#include "platform/backend.h"
#include "platform/files/private_folder.h"
#include "platform/files/windows_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "platform/win/win32.h"

namespace platform {

namespace {

// Windows published by this process, by lock path.
std::map<std::string, ::HANDLE> publishedWindows;

// Folders made by NewPrivateFolder, removed at exit.
std::vector<std::string> madeFolders;

void RemoveMadeFolders() {
    for (const std::string& folder : madeFolders) RemoveFolder(folder);
}

// Opens the file and holds it, writing our process id into it; null, with
// `busy` set when another holder has it.
::HANDLE Hold(const std::string& path, bool* busy) {
    *busy = false;
    if (path.empty()) return nullptr;
    const ::HANDLE file =
        CreateFileW(windows::WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *busy = GetLastError() == ERROR_SHARING_VIOLATION;
        return nullptr;
    }
    // The hold alone is what counts; a missing process id only means that a
    // second copy cannot find this one's window.
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%lu\n",
                                     static_cast<unsigned long>(GetCurrentProcessId()));
    ::DWORD written = 0;
    if (SetEndOfFile(file)) WriteFile(file, text, static_cast<::DWORD>(length), &written, nullptr);
    return file;
}

std::string WindowPath(const char* className, const char* title) {
    return HeldFilePath("window", (std::string(className) + "-" + title).c_str());
}

} // namespace

std::string HeldFilePath(const char* kind, const char* name) {
    std::string safe(name);
    for (char& c : safe)
        if (std::strchr("/\\:*?\"<>|", c) || static_cast<unsigned char>(c) < 0x20) c = '_';
    const std::string folder = backend::LockFolder();
    if (folder.empty()) return "";
    return folder + "\\" + kind + "-" + safe + ".lock";
}

std::string NewPrivateFolder(const std::string& prefix) {
    const std::string folder = MakePrivateFolder(prefix.c_str());
    if (folder.empty()) return "";
    if (madeFolders.empty()) std::atexit(RemoveMadeFolders);
    madeFolders.push_back(folder);
    return folder;
}

HANDLE CreateMutex(const char* name, bool* alreadyExists) {
    bool busy = false;
    const ::HANDLE file = Hold(HeldFilePath("mutex", name), &busy);
    *alreadyExists = busy;
    return file;
}

BOOL ReleaseMutex(HANDLE mutex) {
    // The file stays: removing it would let two processes hold different files.
    return mutex && CloseHandle(mutex);
}

void PublishWindow(const char* className, const char* title) {
    bool busy = false;
    const std::string path = WindowPath(className, title);
    if (const ::HANDLE file = Hold(path, &busy)) publishedWindows[path] = file;
}

void UnpublishWindow(const char* className, const char* title) {
    const auto it = publishedWindows.find(WindowPath(className, title));
    if (it == publishedWindows.end()) return;
    CloseHandle(it->second);
    publishedWindows.erase(it);
}

int ProcessOfWindow(const char* className, const char* title) {
    const std::string path = WindowPath(className, title);
    if (path.empty()) return 0;
    // Only while its publisher holds it (the file cannot be opened for writing)
    // does the file name a process: one nobody holds was left by one that has gone.
    const std::wstring wide = windows::WideFromUtf8(path);
    const ::HANDLE probe = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (probe != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) {
        if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
        return 0;
    }
    const ::HANDLE file =
        CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    char text[32] = {};
    ::DWORD got = 0;
    const int process = ReadFile(file, text, sizeof text - 1, &got, nullptr) ? std::atoi(text) : 0;
    CloseHandle(file);
    return process;
}

bool AskToRaise(int) {
    // No copy on the headless backend has a window to raise.
    return false;
}

} // namespace platform
