// The folder loaders resolve relative names against, optionally moved under a
// data root read from a file in the system's configuration folder.
#include "platform/files/files.h"
#include "system/system.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace elSystem {

namespace {

char programFolder[256];
char dataRoot[256];
char folderName[256];

} // namespace

const char* ProgramFolder(int redirect) {
    std::snprintf(programFolder, sizeof programFolder, "%s", platform::ExecutableFolder().c_str());
    // Cut back to the last separator, so the text ends in one.
    std::size_t length = std::strlen(programFolder);
    const char separator = platform::PATH_SEPARATOR;
    while (length > 0 && programFolder[length - 1] != separator) programFolder[--length] = '\0';
    if (redirect == 0 || dataRoot[0] == '\0') return programFolder;

    std::string folder(programFolder, length);
    std::size_t last = folder.rfind(separator);
    std::size_t before = last == std::string::npos || last == 0 ? std::string::npos
                                                                : folder.rfind(separator, last - 1);
    if (before != std::string::npos)
        std::snprintf(folderName, sizeof folderName, "%s",
                      folder.substr(before + 1, last - before - 1).c_str());
    static char redirected[256];
    std::string result = std::string(dataRoot) + separator + folderName + separator;
    std::snprintf(redirected, sizeof redirected, "%s", result.c_str());
    return redirected;
}

int SetDataRoot(const char* name) {
    std::string path = platform::SystemFolder();
    if (path.size() > 3) path += platform::PATH_SEPARATOR;
    path += name;
    dataRoot[0] = '\0';
    std::FILE* file = std::fopen(platform::ResolvePath(path.c_str()).c_str(), "r");
    if (!file) return 0;
    if (std::fgets(dataRoot, sizeof dataRoot, file)) {
        std::size_t length = std::strlen(dataRoot);
        if (length > 0 && dataRoot[length - 1] == '\n') dataRoot[--length] = '\0';
        if (length > 0 && (dataRoot[length - 1] == '/' || dataRoot[length - 1] == '\\'))
            dataRoot[--length] = '\0';
    }
    std::fclose(file);
    return 1;
}

} // namespace elSystem
