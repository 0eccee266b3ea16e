// A decimal number kept in a small text file in the program folder.
#include "platform/files/files.h"
#include "system/system.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

namespace elSystem {

namespace {

// The file's path in `path`; false when the name does not fit the buffer.
bool NumberPath(const char* name, char (&path)[260]) {
    if (!name) return false;
    int length = std::snprintf(path, sizeof path, "%s%s", ProgramFolder(1), name);
    return length >= 0 && static_cast<std::size_t>(length) < sizeof path;
}

// Reads a number as "%d" does: blanks skipped, an optional sign, then digits,
// however many; a number past the range of an int stops at its limit, and no
// number at all reads as 0.
int ReadDecimal(std::FILE* file) {
    int c;
    do c = std::getc(file);
    while (std::isspace(c));
    const bool negative = c == '-';
    if (c == '-' || c == '+') c = std::getc(file);
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; std::isdigit(c); c = std::getc(file))
        magnitude = std::min(magnitude * 10 + (c - '0'), limit);
    return static_cast<int>(negative ? -magnitude : magnitude);
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
    std::FILE* file = platform::OpenForReading(path);
    if (!file) return 0;
    const int number = ReadDecimal(file);
    std::fclose(file);
    return number;
}

int ReadNumber(const char* name) { return GetNumber(name); }

} // namespace elSystem
