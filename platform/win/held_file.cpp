#include "platform/win/held_file.h"

#include "platform/backend.h"
#include "platform/files/files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>

namespace platform {

namespace {

struct HeldFile {
    int fd = -1;
};

// Windows published by this process, by lock path.
std::map<std::string, HeldFile> publishedWindows;

// Folders made by NewPrivateFolder, removed at exit.
std::vector<std::string> madeFolders;

void RemoveMadeFolders() {
    std::error_code ignored;
    for (const std::string& folder : madeFolders) std::filesystem::remove_all(folder, ignored);
}

// Opens and locks the file; writes our process id into it. Returns -1 and sets
// `busy` when another holder has it.
int Hold(const std::string& path, bool* busy) {
    *busy = false;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *busy = errno == EWOULDBLOCK;
        close(fd);
        return -1;
    }
    char text[32];
    int length = std::snprintf(text, sizeof text, "%d\n", static_cast<int>(getpid()));
    if (ftruncate(fd, 0) != 0 || pwrite(fd, text, static_cast<size_t>(length), 0) != length) {
        // The lock alone is what counts; a missing process id only means that a
        // second copy cannot find this one's window.
    }
    return fd;
}

} // namespace

std::string HeldFilePath(const char* kind, const char* name) {
    std::string safe(name);
    for (char& c : safe)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
    std::string folder = backend::LockFolder();
    if (folder.empty()) return "";
    return folder + "/" + kind + "-" + safe + ".lock";
}

std::string PrivateFolder(const std::string& folder) {
    mkdir(folder.c_str(), 0700); // fails harmlessly when something is there already
    if (IsPrivateFolder(folder)) return folder;
    std::string fresh = NewPrivateFolder(folder + "-");
    std::fprintf(stderr, "%s: %s is not a private folder of ours; using %s instead\n",
                 CommandName(), folder.c_str(), fresh.empty() ? "none" : fresh.c_str());
    return fresh;
}

std::string NewPrivateFolder(const std::string& prefix) {
    std::string pattern = prefix + "XXXXXX";
    if (!mkdtemp(pattern.data())) return "";
    if (madeFolders.empty()) std::atexit(RemoveMadeFolders);
    madeFolders.push_back(pattern);
    return pattern;
}

HANDLE CreateMutex(const char* name, bool* alreadyExists) {
    bool busy = false;
    int fd = Hold(HeldFilePath("mutex", name), &busy);
    *alreadyExists = busy;
    if (fd < 0) return nullptr;
    return new HeldFile{fd};
}

BOOL ReleaseMutex(HANDLE mutex) {
    if (!mutex) return 0;
    auto* held = static_cast<HeldFile*>(mutex);
    // The file stays: removing it would let two processes lock different files.
    flock(held->fd, LOCK_UN);
    close(held->fd);
    delete held;
    return 1;
}

void PublishWindow(const char* className, const char* title) {
    std::string path = HeldFilePath("window", (std::string(className) + "-" + title).c_str());
    bool busy = false;
    int fd = Hold(path, &busy);
    if (fd >= 0) publishedWindows[path].fd = fd;
}

void UnpublishWindow(const char* className, const char* title) {
    std::string path = HeldFilePath("window", (std::string(className) + "-" + title).c_str());
    auto it = publishedWindows.find(path);
    if (it == publishedWindows.end()) return;
    flock(it->second.fd, LOCK_UN);
    close(it->second.fd);
    publishedWindows.erase(it);
}

int ProcessOfWindow(const char* className, const char* title) {
    std::string path = HeldFilePath("window", (std::string(className) + "-" + title).c_str());
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return 0;
    // Only a file of ours may name a process for us to signal, and only while
    // its publisher holds it: a file nobody holds was left by one that has gone.
    struct stat info;
    bool ours = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid();
    int pid = 0;
    if (ours && flock(fd, LOCK_SH | LOCK_NB) != 0) {
        char text[32] = {};
        if (read(fd, text, sizeof text - 1) > 0) pid = std::atoi(text);
    }
    close(fd); // also drops a lock taken just now
    return pid;
}

bool AskToRaise(int process) {
    // The other copy raises its window when it receives this signal.
    return kill(process, SIGUSR1) == 0;
}

} // namespace platform
