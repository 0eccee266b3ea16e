#include "platform/files/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace platform {

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Looks in `folder` for an entry equal to `component` ignoring case.
bool FindIgnoringCase(const std::string& folder, const std::string& component, std::string& found) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return false;
    bool ok = false;
    while (dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, component.c_str()) == 0) {
            found = entry->d_name;
            ok = true;
            break;
        }
    }
    closedir(dir);
    return ok;
}

} // namespace

std::string ResolvePath(const char* name) {
    std::string path(name);
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty() || Exists(path)) return path;

    // Rebuild the path one component at a time, correcting the case of each.
    std::vector<std::string> components;
    std::string::size_type start = 0;
    while (start <= path.size()) {
        std::string::size_type slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        components.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    std::string result = path[0] == '/' ? "/" : "";
    bool first = true;
    for (const std::string& component : components) {
        if (component.empty()) continue;
        std::string folder = result;
        std::string next = result + (first || result == "/" ? "" : "/") + component;
        if (!Exists(next) && component != "." && component != "..") {
            std::string found;
            if (FindIgnoringCase(folder, component, found))
                next = result + (first || result == "/" ? "" : "/") + found;
        }
        result = next;
        first = false;
    }
    return result;
}

std::FILE* OpenForReading(const char* name) {
    // Without waiting for a writer, so that a pipe is refused rather than waited on.
    const int fd = open(ResolvePath(name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
}

std::vector<std::string> FindFiles(const char* pattern) {
    std::string path(pattern);
    for (char& c : path)
        if (c == '\\') c = '/';
    const std::string::size_type slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : ResolvePath(path.substr(0, slash + 1).c_str());
    const std::string wildcard = slash == std::string::npos ? path : path.substr(slash + 1);
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        if (fnmatch(wildcard.c_str(), entry->d_name, FNM_CASEFOLD | FNM_NOESCAPE) != 0) continue;
        struct stat st;
        if (stat((folder + "/" + entry->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.push_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./";
    std::string path(buffer, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

const char* CommandName() { return program_invocation_short_name; }

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

namespace {

// A folder of the user's: `variable` when it holds an absolute path, else
// `underHome` under the home folder.
std::string UserFolder(const char* variable, const char* underHome) {
    const std::string set = EnvironmentValue(variable);
    if (set.starts_with('/')) return set;
    const std::string home = EnvironmentValue("HOME");
    return home.empty() ? "" : home + underHome;
}

std::string UserDataFolder() { return UserFolder("XDG_DATA_HOME", "/.local/share"); }

} // namespace

std::string UserStateFolder() { return UserFolder("XDG_STATE_HOME", "/.local/state"); }

bool StartedFromMenu() { return EnvironmentValue("TESSERA_FROM_MENU") == "1"; }

bool MenuMapsFolder(std::string& path, std::string& error) {
    const std::string data = UserDataFolder();
    path = data.empty() ? "$XDG_DATA_HOME/tessera/maps" : data + "/tessera/maps";
    if (data.empty()) error = "neither XDG_DATA_HOME nor HOME is set";
    return !data.empty();
}

bool EnterFolder(const std::string& path, std::string& error) {
    std::error_code failure;
    std::filesystem::create_directories(path, failure);
    if (failure) {
        error = failure.message();
        return false;
    }
    if (chdir(path.c_str()) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

std::string SystemFolder() { return "/etc"; }

} // namespace platform
