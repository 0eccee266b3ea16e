// A decimal number kept in a small text file in the program folder.
#include "draw/draw.h"
#include "platform/files.h"
#include "system/system.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace elSystem {

namespace {

// The file's path in `path`; false when the name does not fit the buffer.
bool NumberPath(const char* name, char (&path)[260]) {
    if (!name) return false;
    int length = std::snprintf(path, sizeof path, "%s%s", ProgramFolder(1), name);
    return length >= 0 && static_cast<std::size_t>(length) < sizeof path;
}

} // namespace

void PutNumber(const char* name, int value) { WriteNumber(name, value); }

int WriteNumber(const char* name, int value) {
    char path[260];
    if (!NumberPath(name, path)) return 0;
    std::FILE* file = std::fopen(platform::ResolvePath(path).c_str(), "w");
    if (!file) return 0;
    std::fprintf(file, "%d", value);
    std::fclose(file);
    return 0;
}

int GetNumber(const char* name) {
    char path[260];
    if (!NumberPath(name, path)) return 0;
    std::FILE* file = std::fopen(platform::ResolvePath(path).c_str(), "r");
    if (!file) return 0;
    // The first word is read as a number; one out of range stops at the limit
    // of an int, and no number at all reads as 0.
    char word[32] = "";
    int found = std::fscanf(file, "%31s", word);
    std::fclose(file);
    if (found != 1) return 0;
    errno = 0;
    long number = std::strtol(word, nullptr, 10);
    if (errno == ERANGE || number > INT_MAX) return number < 0 ? INT_MIN : INT_MAX;
    if (number < INT_MIN) return INT_MIN;
    return static_cast<int>(number);
}

int ReadNumber(const char* name) { return GetNumber(name); }

} // namespace elSystem
