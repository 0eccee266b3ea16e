// The play-test's sound effects, from its sound pack, and its music.
#pragma once

// The effects' pack and the tune, in the program's folder.
constexpr const char* SOUND_PACK_FILE = "run\\sounds.pak";
constexpr const char* TUNE_FILE = "run\\tune.mid";

enum EffectNo { EFFECT_JUMP, EFFECT_STOMP, EFFECT_MISS, EFFECT_CLEAR, EFFECT_COUNT };

// Loads the effects from the pack. Without a sound device the game stays
// silent.
void LoadSounds();
// Starts the tune, looping.
void StartMusic();
// Stops the tune and every effect still sounding.
void StopSounds();
// Plays one effect; nothing when it could not be loaded.
void PlayEffect(int effect);
