#include "platform/win/mci_words.h"

#include "platform/win/mci.h"

#include <strings.h>

namespace platform {

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

DWORD SplitCommand(const char* command, std::vector<std::string>& words) {
    words.clear();
    const char* at = command;
    for (;;) {
        while (Blank(*at)) ++at;
        if (!*at) return 0;
        std::string word;
        if (*at == '"') {
            const char* end = ++at;
            while (*end && *end != '"') ++end;
            if (!*end) return MCIERR_NO_CLOSING_QUOTE;
            word.assign(at, end);
            at = end + 1;
        } else {
            const char* end = at;
            while (*end && !Blank(*end)) ++end;
            word.assign(at, end);
            at = end;
        }
        words.push_back(std::move(word));
    }
}

bool SameWord(const std::string& word, const char* keyword) {
    return strcasecmp(word.c_str(), keyword) == 0;
}

} // namespace platform
