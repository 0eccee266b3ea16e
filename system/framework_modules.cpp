// The framework's modules started and ended, each in its order, in one place.
// Start-up follows the screen: elDraw::Screen makes the display, then starts
// sound, MIDI, the system's waits, text and the joystick, which need a window
// and a display before them. Shutdown ends text, sound and the graphics.
// These are the only calls from the system module up into the modules that
// stand on it, made here because the framework's own start and end are the
// system's business; everywhere else a module calls only the ones below it.
#include "draw/draw.h"
#include "input/input.h"
#include "sound/midi.h"
#include "sound/sound.h"
#include "system/system.h"
#include "text/text.h"

namespace elSystem {

void StartModules() {
    elSound::Init();
    elSound::ResetTable();
    elMidi::Init();
    Init();
    elText::Init();
    elInput::InitJoystick();
}

void QuitModules() {
    elText::Quit();
    elSound::Quit();
    elDraw::Quit();
}

} // namespace elSystem
