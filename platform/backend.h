// Everything a backend library (desktop or headless) defines for the shared
// platform code and its callers; a new backend defines exactly these. Exactly
// one backend library is linked into a program.
#pragma once

#include "platform/win/win_defs.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The types the functions take, each defined with the code that uses it
// (win/, formats/); callers include those headers for what they use.
struct JOYINFOEX;
struct MidiSong;
struct OSVERSIONINFOA;
struct RECT;
struct Surface;
struct SYSTEMTIME;
struct WAVEFORMATEX;

// ---- Window and events ----

// Makes windows carry messages only, with no display; called before the first
// window by programs that never show one (a sound player).
void UseWindowsWithoutDisplay();

namespace backend {

// Moves waiting events into the message queue. With `block`, waits until at
// least one message has been queued.
void PumpEvents(bool block);
// Gives the window its native counterpart. Returns false when that is
// impossible (no display); the window is then not created.
bool CreateNativeWindow(Window& window);
// Shows the window's native counterpart.
void ShowNativeWindow(Window& window);
// Destroys the window's native counterpart.
void DestroyNativeWindow(Window& window);
// Brings the window to the front and gives it the focus.
void RaiseNativeWindow(Window& window);
// Minimises the window.
void MinimizeNativeWindow(Window& window);
// Shows the window's caption (CP932) in its native counterpart's title.
void ShowNativeTitle(Window& window);
// Switches composed text input on or off; returns whether it was on.
bool EnableTextInput(bool on);

} // namespace backend

// ---- Display ----

namespace backend {

// Width of the primary display in pixels.
int DisplayWidth();
// Height of the primary display in pixels.
int DisplayHeight();
// Whether to offer the 5:5:5 16-bit layout instead of 5:6:5.
bool Prefers555();
// Takes note of a new display mode's size.
void DisplayModeChanged(int width, int height);
// Shows the primary surface. `changed` bounds every pixel written since the
// last call that returned true; when it is empty the picture is the one shown.
// False when nothing can be shown now (the change is offered again).
bool ShowPrimary(const Surface& primary, const RECT& changed);
// Waits for the next vertical blank (or the time one would take).
void WaitForVerticalBlank();

} // namespace backend

// ---- Pointer ----

namespace backend {

// Shows or hides the system pointer over the window.
void ShowNativePointer(bool visible);
// Applies the confinement (null: none) to the backend's real pointer, if it has one.
void ConfineNativePointer(const RECT* rect);
// Moves the backend's real pointer, if it has one, to a screen position.
void MoveNativePointer(int x, int y);

} // namespace backend

// ---- Joystick ----

namespace backend {

// Fills the positions, buttons and POV of `reading` for controller `id`; false
// when there is none.
bool ReadJoystick(UINT id, JOYINFOEX& reading);
// Numbers the controllers attached now.
void FindJoysticks();

} // namespace backend

// ---- Sound ----

// Plays a WAV file and returns when it has finished (flags 0: synchronous).
// False when the file cannot be read or there is no output.
bool sndPlaySoundA(const char* path, UINT flags);

namespace backend {

// Opens the mixer's output in `format`; false when there is none.
bool OpenSoundOutput(const WAVEFORMATEX& format);
// Closes the mixer's output.
void CloseSoundOutput();
// Switches the open output to `format`; false when it cannot take it.
bool ChangeSoundFormat(const WAVEFORMATEX& format);

} // namespace backend

// ---- MIDI ----

namespace backend {

// One opened tune. Called on the main thread only.
class TunePlayer {
  public:
    virtual ~TunePlayer() = default;
    // Plays from `fromMs` (at most the tune's length) to the end.
    virtual void Play(std::uint32_t fromMs) = 0;
    // Stops where it is; silent at once.
    virtual void Stop() = 0;
    // Milliseconds from the start of the tune reached so far.
    virtual std::uint32_t Position() = 0;
    // Playing, and not yet at the end.
    virtual bool Playing() = 0;
};

// A player for `song`, or null with an error number in `error` when there is no
// synthesiser to play it.
std::unique_ptr<TunePlayer> OpenTune(std::shared_ptr<const MidiSong> song, DWORD* error);
// Takes every command string sent, as it was sent (the headless backend keeps them).
void LogMciCommand(const char* command);

} // namespace backend

// ---- Boxes ----

// Shows a box owned by `owner` and waits until it is closed. `text` and `title`
// are CP932; `type` combines MB_OK or MB_YESNO with an icon and MB_SYSTEMMODAL.
// Returns the button chosen: IDOK, IDYES or IDNO; 0 when no box could be shown.
int MessageBox(HWND owner, const char* text, const char* title, UINT type);
// Sounds the alert; -1 (all bits) is the default sound.
void MessageBeep(UINT type);

// ---- Clock ----

// Unsigned 32-bit millisecond clock; wraps after about 49.7 days.
std::uint32_t timeGetTime();
// Called on each turn of a loop that waits for the clock to pass a time. The
// desktop lets other threads run; the headless clock, which nothing else moves,
// lets one millisecond pass.
void BusyWaitTurn();

// ---- Work off the frames ----

// Runs `task` on a picture of this program's memory as it stands now, away
// from its frames: whatever the program changes afterwards, the task sees the
// memory of now (see platform/files/snapshot_task.h for what the task may
// do). An id that SnapshotTaskEnd answers about, or 0 when the task cannot be
// run. The desktop returns at once; the headless backend returns once the
// task is done, so that it takes no time of the clock its script moves.
int StartSnapshotTask(const std::function<int()>& task);
// TASK_RUNNING while the task runs; then, once, TASK_DONE or TASK_FAILED.
// With `wait`, waits for the task's end.
int SnapshotTaskState(int id, bool wait);

// The folder where a program keeps what must outlast a run (the editor's
// recovery copy), without a trailing '/'; empty when there is none. The
// desktop's is the user's state folder; the headless backend's is
// $XDG_STATE_HOME when that is an absolute path and none otherwise, so that
// tests and replays meet only a folder they chose.
std::string StateFolder();

// ---- System information ----

// This system reports itself in the NT family, with the running kernel's major
// and minor version. False when the record's size field is not set.
BOOL GetVersionExA(OSVERSIONINFOA* info);
// The file system of the program folder stands for every drive root ("C:\");
// any other name is a folder of this system. False when it cannot be asked.
BOOL GetDiskFreeSpaceA(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                       DWORD* freeClusters, DWORD* totalClusters);
// Fills `time` with the local date and time.
void GetLocalTime(SYSTEMTIME* time);

namespace backend {

// Folder in which named locks and published windows are kept.
std::string LockFolder();

} // namespace backend
} // namespace platform
