// Desktop tunes: each opened tune is a cursor into its song that the
// synthesiser follows while it plays.
#include "platform/backend.h"
#include "platform/desktop/synth.h"
#include "platform/win/mci.h"

namespace platform {

namespace {

class SynthPlayer : public backend::TunePlayer {
  public:
    SynthPlayer(desktop::Synth& synth, std::shared_ptr<const MidiSong> song) : synth(synth) {
        tune.song = std::move(song);
    }
    ~SynthPlayer() override { synth.Halt(tune); }
    void Play(std::uint32_t fromMs) override { synth.Start(tune, fromMs); }
    void Stop() override { synth.Halt(tune); }
    std::uint32_t Position() override { return tune.positionMs; }
    bool Playing() override { return tune.playing; }

  private:
    desktop::Synth& synth;
    desktop::TuneCursor tune;
};

} // namespace

namespace backend {

std::unique_ptr<TunePlayer> OpenTune(std::shared_ptr<const MidiSong> song, DWORD* error) {
    desktop::Synth* synth = desktop::Synth::Get();
    if (!synth) {
        *error = MCIERR_SEQ_NOMIDIPRESENT;
        return nullptr;
    }
    return std::make_unique<SynthPlayer>(*synth, std::move(song));
}

// The desktop keeps no log of its commands.
void LogMciCommand(const char*) {}

} // namespace backend
} // namespace platform
