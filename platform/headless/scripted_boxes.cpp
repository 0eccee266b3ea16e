// Message boxes answered from a queue and recorded, for tests and replays.
#include "platform/backend.h"

#include "platform/formats/text_encoding.h"
#include "platform/headless/headless.h"

#include <cstdio>
#include <deque>

namespace platform {

namespace {

std::deque<int> answers;
std::vector<std::string> boxLog;
bool echo = false;
int beeps = 0;

// The text on one line: carriage returns and line feeds written as \r and \n.
std::string OneLine(const char* text) {
    std::string line;
    for (char c : Cp932ToUtf8(text ? text : "")) {
        if (c == '\r')
            line += "\\r";
        else if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    return line;
}

} // namespace

int MessageBox(HWND, const char* text, const char* title, UINT type) {
    bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
    int answer = yesNo ? IDNO : IDOK;
    if (!answers.empty()) {
        int queued = answers.front();
        answers.pop_front();
        if (yesNo ? queued == IDYES || queued == IDNO : queued == IDOK) answer = queued;
    }
    const char* word = answer == IDYES ? "yes" : answer == IDNO ? "no" : "ok";
    std::string line = "box \"" + OneLine(title) + "\" \"" + OneLine(text) + "\" -> " + word;
    if (echo) {
        std::fputs(line.c_str(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    boxLog.push_back(std::move(line));
    return answer;
}

void MessageBeep(UINT) { ++beeps; }

namespace headless {

void QueueBoxAnswer(int id) { answers.push_back(id); }
const std::vector<std::string>& BoxLog() { return boxLog; }
void SetBoxEcho(bool on) { echo = on; }
int BeepCount() { return beeps; }

void ResetBoxes() {
    answers.clear();
    boxLog.clear();
    beeps = 0;
}

} // namespace headless
} // namespace platform
