// Headless tunes play on the caller's clock alone: a tune started at clock T
// from position P reaches its end when the clock reads T + length - P.
#include "platform/backend.h"
#include "platform/formats/midi_file.h"
#include "platform/headless/headless.h"

namespace platform {

namespace {

std::vector<std::string> commandLog;

class ClockPlayer : public backend::TunePlayer {
  public:
    explicit ClockPlayer(std::uint32_t length) : length(length) {}
    void Play(std::uint32_t fromMs) override {
        from = fromMs;
        start = timeGetTime();
        playing = true;
    }
    void Stop() override {
        from = Position();
        playing = false;
    }
    std::uint32_t Position() override {
        if (!playing) return from;
        std::uint32_t elapsed = timeGetTime() - start;
        return elapsed >= length - from ? length : from + elapsed;
    }
    bool Playing() override { return playing && Position() < length; }

  private:
    std::uint32_t length;
    std::uint32_t from = 0;
    std::uint32_t start = 0;
    bool playing = false;
};

} // namespace

namespace backend {

std::unique_ptr<TunePlayer> OpenTune(std::shared_ptr<const MidiSong> song, DWORD*) {
    return std::make_unique<ClockPlayer>(song->LengthMs());
}

void LogMciCommand(const char* command) { commandLog.emplace_back(command); }

} // namespace backend

namespace headless {

const std::vector<std::string>& MciLog() { return commandLog; }
void ClearMciLog() { commandLog.clear(); }

} // namespace headless
} // namespace platform
