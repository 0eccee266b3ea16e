#include "command_line/command_line.h"

#include <cstdio>
#include <cstring>

namespace {

// "usage: NAME LINE" for the first line of the synopsis, "       NAME LINE" for the rest.
void PrintSynopsis(const CommandUsage& usage) {
    const char* line = usage.synopsis;
    bool first = true;
    do {
        const char* end = std::strchr(line, '\n');
        const int length = static_cast<int>(end ? end - line : std::strlen(line));
        std::printf("%s %s%s%.*s\n", first ? "usage:" : "      ", usage.name, length ? " " : "",
                    length, line);
        line += length + (end ? 1 : 0);
        first = false;
    } while (*line != '\0');
}

} // namespace

int AnswerHelpOrVersion(int argc, char** argv, const CommandUsage& usage) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", usage.name, TESSERA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            PrintSynopsis(usage);
            if (usage.details[0] != '\0') std::printf("\n%s", usage.details);
            return 0;
        }
    }
    return -1;
}

int UsageError(const CommandUsage& usage, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", usage.name, message.c_str());
    std::fprintf(stderr, "Try '%s --help' for more information.\n", usage.name);
    return 2;
}

bool IsOption(const char* argument) { return argument[0] == '-' && argument[1] != '\0'; }

std::string Printable(const std::string& text) {
    std::string printable;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            printable += "\\n";
        } else if (c == '\t') {
            printable += "\\t";
        } else if (byte < 0x20 || byte == 0x7f) {
            const char hex[] = "0123456789abcdef";
            printable += "\\x";
            printable += hex[byte >> 4];
            printable += hex[byte & 15];
        } else {
            printable += c;
        }
    }
    return printable;
}
