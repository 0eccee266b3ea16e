// Error, question and notice boxes, and the debug log.
#include "platform/backend.h"
#include "platform/files/files.h"
#include "platform/win/display.h"
#include "system/system.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

int ErrorFlag;

namespace {

// Box texts are built in a buffer of this many bytes, terminating zero included.
constexpr std::size_t TextBuffer = 260;

bool IsLeadByte(char c) {
    auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The longest start of `text` within `limit` bytes that does not split a
// double-byte character.
std::string_view Fit(std::string_view text, std::size_t limit) {
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t width = IsLeadByte(text[end]) ? 2 : 1;
        if (end + width > limit || end + width > text.size()) break;
        end += width;
    }
    return text.substr(0, end);
}

__attribute__((format(printf, 1, 0))) std::string Format(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

// Before any box the desktop's own surface is shown, so that the box is visible.
void ShowDesktop() {
    if (platform::DisplayOpen()) platform::FlipToGDISurface();
}

// The box of Ask and Message. The time spent in it is kept out of the next frame.
__attribute__((format(printf, 1, 0))) int ShowMessage(const char* format, va_list args, UINT type) {
    std::string text(Fit(Format(format, args), TextBuffer - 3));
    text += "\r\n";
    ShowDesktop();
    BoxShown = 1;
    int answer = platform::MessageBox(MainWindowHandle, text.c_str(), "メッセージ", type);
    BoxShown = 0;
    elSystem::ResetTimer();
    return answer;
}

} // namespace

namespace elSystem {

// The time the box stays open is not taken out of the next frame.
int Error(const char* operation, const char* message) {
    std::string joined = std::string(operation) + " : " + message;
    std::string text(Fit(joined, TextBuffer - 1));
    ShowDesktop();
    platform::MessageBeep(static_cast<UINT>(-1));
    platform::MessageBox(MainWindowHandle, text.c_str(), "エラー発生",
                         MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    ErrorFlag = 1;
    return 0;
}

int Ask(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int answer = ShowMessage(format, args, MB_YESNO | MB_ICONQUESTION);
    va_end(args);
    return answer == IDYES ? 1 : 0;
}

void Message(const char* format, ...) {
    va_list args;
    va_start(args, format);
    ShowMessage(format, args, MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    va_end(args);
}

int Log(const char* format, ...) {
    std::FILE* file = std::fopen(platform::ResolvePath("DEBUG.TXT").c_str(), "ab");
    if (!file) return 0;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    // Lines end in CR LF, as the log's readers expect.
    std::fputs("\r\n", file);
    return std::fclose(file);
}

int HasError() { return ErrorFlag; }

int QuitOnError() {
    if (ErrorFlag == 1) Shutdown();
    return ErrorFlag;
}

} // namespace elSystem
