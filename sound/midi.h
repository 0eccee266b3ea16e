// elMidi: one MIDI tune at a time as background music, opened under the device
// name "midi" and replayed from the main window's end-of-pass notification.
#pragma once

namespace elMidi {

// 1 while a tune is open under "midi".
extern int MidiOpen;
// Nonzero: the tune is replayed each time a pass ends.
extern int MidiLoop;
// Set each time a pass has ended (OnNotify); cleared by Init and Play.
extern int MidiEnded;

// Resets the flags: nothing open, replay on.
int Init();
// Opens `name` (relative to the program's folder) and plays it from the start,
// replaying it at the end of each pass while `loop` is nonzero. A tune already
// open is stopped and closed first.
void Play(const char* name, int loop);
// Stops and closes the open tune; nothing when none is open.
void Stop();
// Stops and closes the device, whatever the flags say.
void Close();
// One pass has ended and the device has stopped: replay, or stop and close.
void OnNotify();
// The tune ends with its current pass.
void EndLoop();

} // namespace elMidi
