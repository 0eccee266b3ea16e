#include "platform/files/private_folder.h"

#include <stdlib.h>

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

int RemoveFolder(const std::string& path) {
    std::error_code error;
    std::filesystem::remove_all(path, error);
    if (error) errno = error.value();
    return error ? 0 : 1;
}

} // namespace platform
