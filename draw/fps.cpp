// The frame-rate meter and the debug lines: 12-pixel Gothic, white on navy.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "platform/backend.h"
#include "platform/formats/text_encoding.h"
#include "system/system.h"
#include "text/text.h"

#include <cstdarg>
#include <cstdio>

namespace elDraw {

int FpsCounter;
std::uint32_t FpsTime;
float FpsRate;
float FpsHighest;
float FpsLowest = 999.9f;
char FpsText[64];

namespace {

// Frames counted between two measurements, and the time between them.
constexpr int MAX_COUNT = 999;
constexpr std::uint32_t PERIOD_MS = 2000;

} // namespace

void ShowFps() {
    if (elSystem::Elapsed(FpsTime) >= PERIOD_MS) {
        FpsRate = static_cast<float>(FpsCounter / 2.0);
        if (FpsRate > FpsHighest) FpsHighest = FpsRate;
        // A measurement of no frames at all never counts as the lowest.
        if (FpsRate > 0 && FpsRate < FpsLowest) FpsLowest = FpsRate;
        FpsTime = platform::timeGetTime();
        FpsCounter = 0;
    }
    if (FpsCounter < MAX_COUNT) ++FpsCounter;
    std::snprintf(FpsText, sizeof FpsText, "%3.1f fps ( max %3.1f / min %3.1f )", FpsRate,
                  FpsHighest, FpsLowest);
    DebugText(0, 0, FpsText);
}

void DebugText(int x, int y, const char* text) {
    elText::Begin(1, 12, 0, 0, 0, 0);
    elText::Color(0xFFFFFF, 0x800000, 0);
    elText::Print(x, y, text);
    elText::End();
}

void DebugPrint(int x, int y, const char* format, ...) {
    char text[260];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length < 0) return;
    // A line cut short must not end in half of a two-byte character.
    if (length >= static_cast<int>(sizeof text))
        text[platform::Cp932Prefix(text, sizeof text - 1)] = '\0';
    DebugText(x, y, text);
}

} // namespace elDraw
