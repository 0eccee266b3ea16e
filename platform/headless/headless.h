// Controls of the headless backend: the caller owns the clock and the events.
#pragma once

#include "platform/win/display.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform::headless {

void SetClock(std::uint32_t milliseconds);
void AdvanceClock(std::uint32_t milliseconds);

// Called whenever the message queue is empty and a message is wanted. With
// `block` the caller waits for one; a source that posts nothing then leaves the
// wait returning with the queue still empty.
void SetEventSource(std::function<void(bool block)> source);

// Size the display reports (default 1024 x 768).
void SetDisplaySize(int width, int height);

// Offer 16-bit modes as 5:5:5 instead of 5:6:5.
void UseFormat555(bool five55);

// Counts of what the window was asked to do, for tests.
int RaiseCount();
// Every caption the window has shown in its title, in order (CP932); kept
// after the window is gone, until ForgetTitles.
const std::vector<std::string>& TitleLog();
void ForgetTitles();

// Message boxes. Each box takes the next queued answer (IDYES, IDNO or IDOK);
// when none is queued, or the answer is not one of its buttons, a yes/no box
// answers IDNO and an OK box IDOK.
void QueueBoxAnswer(int id);
// One UTF-8 line per box shown: `box "TITLE" "TEXT" -> ANSWER`, ANSWER being
// yes, no or ok. Carriage returns and line feeds in the text are written as
// \r and \n.
const std::vector<std::string>& BoxLog();
// Also prints each line on standard output.
void SetBoxEcho(bool echo);
// Beeps sounded so far.
int BeepCount();
// Forgets queued answers, the box log and the beeps.
void ResetBoxes();

// Writes what the last present showed as a 24-bit BMP; false when nothing was
// presented or the file cannot be written.
bool WriteScreenshot(const std::string& path);

// Vertical-blank waits made so far.
int VerticalBlankCount();
// The part of the screen the last present changed (the part the desktop sends
// to the window again); empty when it showed the same picture as before.
RECT LastPresentChange();
// While set, presents are refused, as a window with nothing to draw with
// refuses them: what was written waits for the first present taken.
void RefusePresents(bool refuse);

// Fixes what the system reports: the version record, the free space of every
// drive, and the local time (which then runs on with the clock).
void SetVersionRecord(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);
void SetDiskFree(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                 std::uint32_t freeClusters);
void SetLocalTime(int year, int month, int day, int hour, int minute, int second);
// Reports the running system's answers again.
void UseHostSystemInfo();

// Where code last moved the pointer (screen pixels), and how often it did.
int PointerMoveCount();
void LastPointerMove(int* x, int* y);

// Scripted game controllers (ids 0 to 15). SetJoystick plugs controller `id`
// in, or changes what it reads: X and Y positions (0 to 65535) and the button
// mask; its other axes rest at 32767. A controller newly plugged in answers from
// the next joystick configuration change; one unplugged stops answering at once.
void SetJoystick(unsigned id, unsigned x, unsigned y, unsigned buttons);
void UnplugJoystick(unsigned id);

// The sound device mixes into memory while it is open: each step of the clock
// renders its milliseconds × rate / 1000 frames, the remainder carried to the
// next step; a step of more than a minute renders a minute.
// The output rendered since the last clear, in the primary format (8-bit
// unsigned or 16-bit little-endian signed samples, channels interleaved). It
// keeps the first minute, and starts afresh when the primary format changes.
const std::vector<std::uint8_t>& SoundOutput();
// The same samples as signed values (8-bit ones less 128).
std::vector<int> SoundSamples();
// Forgets the output and the system sounds played.
void ClearSoundOutput();
// With false, DirectSoundCreate answers DSERR_NODRIVER, as without a sound card.
void SetSoundDevicePresent(bool present);
// Files given to sndPlaySoundA, in order. It renders a file into the output at
// once, as if the caller had waited for it to play.
const std::vector<std::string>& SystemSoundLog();

// Media-control command strings sent so far, in order, and forgetting them.
// Tunes play on the clock: one reaches its end when its length has passed, and
// its notification is posted as events are next pumped.
const std::vector<std::string>& MciLog();
void ClearMciLog();

} // namespace platform::headless
