#include "run/run_sounds.h"

#include "sound/midi.h"
#include "sound/sound.h"

namespace {

constexpr const char* EFFECT_RECORDS[EFFECT_COUNT] = {"JUMP.WAV", "STOMP.WAV", "MISS.WAV",
                                                      "CLEAR.WAV"};
// Two buffers each, so that an effect can start again before it has ended.
constexpr int EFFECT_MIX = 2;

int EffectSounds[EFFECT_COUNT] = {-1, -1, -1, -1};

} // namespace

void LoadSounds() {
    if (!elSound::SoundAvailable) return;
    elSound::SetPack(SOUND_PACK_FILE);
    for (int i = 0; i < EFFECT_COUNT; ++i)
        EffectSounds[i] = elSound::LoadPack(EFFECT_RECORDS[i], EFFECT_MIX);
}

void StartMusic() { elMidi::Play(TUNE_FILE, 1); }

void StopSounds() {
    elMidi::Stop();
    for (const int sound : EffectSounds)
        if (sound >= 0) elSound::Stop(sound, elSound::MIX_EACH);
}

void PlayEffect(int effect) {
    if (effect >= 0 && effect < EFFECT_COUNT && EffectSounds[effect] >= 0)
        elSound::Play(EffectSounds[effect], elSound::MIX_TURN);
}
