#include "platform/files/private_folder.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

namespace platform {

std::string TemporaryFolder() {
    const char* root = std::getenv("TMPDIR");
    return root && *root ? root : "/tmp";
}

std::string MakePrivateFolder(const char* prefix) {
    std::string pattern = TemporaryFolder();
    if (pattern.back() != '/') pattern += '/';
    pattern += prefix;
    pattern += "XXXXXX";
    // mkdtemp creates the folder exclusively, with mode 0700.
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) return "";
    return name.data();
}

bool IsPrivateFolder(const std::string& folder) {
    struct stat info;
    return lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

int MakeOwnFolder(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0700); // fails harmlessly where one is there
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return 0;
    if (IsPrivateFolder(folder)) return 1;
    errno = EPERM;
    return 0;
}

int RemoveFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::remove_all(path, error);
    if (error) errno = error.value();
    return error ? 0 : 1;
}

} // namespace platform
