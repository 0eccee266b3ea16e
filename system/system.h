// The application frame: process entry, window procedure, main loop, timing and
// shutdown, with the global state that scenes read.
#pragma once

#include "platform/win/win_defs.h"

#include <cstdint>

// Frame and scene state.
extern int FullScreen;
extern int SceneNo;
extern int PrevSceneNo;
extern int NextSceneNo;
extern int SceneChanged;
extern float FrameSeconds;
extern std::uint32_t LastFrameTime;
extern int Blink;
// Clock reading when Blink last changed (or at the reset).
extern std::uint32_t BlinkTime;
extern int AppActive;
extern HANDLE InstanceMutex;
extern HWND MainWindowHandle;
extern HINSTANCE InstanceHandle;

extern char CommandLine[260];

// Close and shutdown state.
extern int ShutDownDone;
extern int CloseStage;
extern int BoxShown;

// Errors, wait slots and pointer confinement.
extern int ErrorFlag;
// Wait slots 1 to 11 (index 0 is slot 1): over once Length ms have passed since the
// clock read Start. A cleared slot runs 999999999 ms from clock 0.
struct WaitSlot {
    std::uint32_t Start, Length;
};
extern WaitSlot WaitSlots[11];
extern int CursorClipped;

// Rectangle of the display that the present copies the back buffer into.
struct PresentRectangle {
    int left, top, right, bottom;
};
extern PresentRectangle PresentRect;
// Size given to screen set-up; 0 until the screen exists.
extern int ScreenWidth, ScreenHeight;

// The entry point the platform calls.
int WinMain(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand);

namespace elSystem {

void FrameworkReset();
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// One pass of the main loop: one message or one frame. Returns 0 once the quit
// message has been taken.
int LoopPass();
void RunFrame();
void ResetTimer();
void MeasureFrame();
// Milliseconds since the clock read `since`; right across the clock's wrap, so
// every wait and period compares this with its length.
std::uint32_t Elapsed(std::uint32_t since);
int SetWait(int no, std::uint32_t ms);
int InitWait(int no);
int IsWaitOver(int no);
void Sleep(std::uint32_t ms);
void Init();
int Shutdown();
// The other modules started once the screen exists, and ended by the
// shutdown, each in its order (framework_modules.cpp).
void StartModules();
void QuitModules();

// Boxes and the debug log. Texts are CP932.
int Error(const char* operation, const char* message);
int Ask(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Message(const char* format, ...) __attribute__((format(printf, 1, 2)));
int Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
int HasError();
int QuitOnError();

// Pointer confinement and the display's colour depth.
void ClipCursor(int left, int top, int right, int bottom);
void ClipCursorToScreen();
void UnclipCursor();
int IsCursorClipped();
int ColorDepth();

// Small services: number files in the program folder, the system's version,
// free disk space and memory, the local date and time, the pointer, the command
// line and the count of releases of one watched key.
void PutNumber(const char* name, int value);
// Always 0.
int WriteNumber(const char* name, int value);
// 0 when the file cannot be read or holds no number.
int GetNumber(const char* name);
int ReadNumber(const char* name);
int OsVersion();
int DiskFree(char drive);
int MemoryFree();
// Copies the weekday's kanji into `text` (at least 3 bytes) and returns it.
char* Date(int* year, int* month, int* day, char* text);
void Time(int* hour, int* minute, int* second);
// (x, y) in client pixels.
void SetCursorPos(int x, int y);
const char* CommandLine();
// Shows `text` (CP932) in the main window's title bar. The window keeps the
// program's name for a second copy to find it by.
void SetTitle(const char* text);
void WatchKey(int code);
int WatchCount();

// Folder of the program, ending in '\'; with `redirect`, under the data root when set.
const char* ProgramFolder(int redirect);
int SetDataRoot(const char* name);

} // namespace elSystem

// The program's own part, given to the frame before the main loop: a start-up
// that runs once the window exists, an ending that runs once the main loop is
// over (optional), a question before a close from outside (optional), and the
// scene functions that the frame calls by SceneNo (entry 0
// stays empty: scene 0 is no scene). The frame knows no program; each fills
// these in its main function.
using ProgramFunction = void (*)();
constexpr int SCENE_COUNT = 16;
extern ProgramFunction ProgramStartup;
extern ProgramFunction ProgramEnding;
extern ProgramFunction SceneTable[SCENE_COUNT];
// Asked (optional) when the window is closed from outside, by its close button
// or an end signal, before anything is shut down: 0 keeps the window open.
extern int (*ProgramMayClose)();
// The program's name: its window's title, and with ":ElMutex" the name of its
// single-instance lock. "Tessera" (the editor) unless the program's main
// function sets another.
extern const char* ProgramName;

namespace elSystem {

// The process entry of a program on the desktop or headless backend: joins the
// arguments into the command line and runs WinMain. The program's exit status:
// 1 when no window could be opened (no display), else 0, also when another copy
// was running and had its window raised (which the second copy says on
// standard error).
int RunProgram(int argc, char** argv);

} // namespace elSystem
