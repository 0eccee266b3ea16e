// elMidi: background music through the media-control command strings; no
// command's result is checked (a missing file simply leaves no music).
#include "sound/midi.h"

#include "platform/win/mci.h"
#include "system/system.h"

#include <cstdio>

namespace elMidi {

int MidiOpen;
int MidiLoop;
int MidiEnded;

namespace {

void Send(const char* command) { platform::mciSendStringA(command, nullptr, 0, nullptr); }

// Seeks to the start and plays, with the end of the pass reported to the main window.
void PlayFromStart() {
    Send("seek midi to start");
    platform::mciSendStringA("play midi notify", nullptr, 0, MainWindowHandle);
}

} // namespace

int Init() {
    MidiOpen = 0;
    MidiEnded = 0;
    MidiLoop = 1;
    return 1;
}

void Play(const char* name, int loop) {
    char command[260];
    int length = std::snprintf(command, sizeof command, "open \"%s%s\" type sequencer alias midi",
                               elSystem::ProgramFolder(0), name);
    // A path too long for the command buffer is refused whole: a cut one would
    // name another file. The tune already playing goes on.
    if (length < 0 || length >= static_cast<int>(sizeof command)) return;
    if (MidiOpen == 1) Stop();
    Send(command);
    PlayFromStart();
    MidiOpen = 1;
    MidiEnded = 0;
    MidiLoop = loop;
}

void Stop() {
    if (MidiOpen != 1) return;
    Send("stop midi");
    Send("close midi");
    MidiOpen = 0;
}

void Close() {
    Send("stop midi");
    Send("close midi");
}

void OnNotify() {
    if (MidiLoop)
        PlayFromStart();
    else
        Stop();
    MidiEnded = 1;
}

void EndLoop() { MidiLoop = 0; }

} // namespace elMidi
