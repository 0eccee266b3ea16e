// Process entry, start-up and the main loop: one window message or one frame
// per pass.
#include "draw/draw.h"
#include "platform/backend.h"
#include "platform/files/files.h"
#include "platform/win/held_file.h"
#include "platform/win/messages.h"
#include "system/input_state.h"
#include "system/system.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

int FullScreen;
int SceneNo;
int PrevSceneNo;
int NextSceneNo;
int SceneChanged;
float FrameSeconds;
std::uint32_t LastFrameTime;
int Blink;
std::uint32_t BlinkTime;
int AppActive;
HANDLE InstanceMutex;
HWND MainWindowHandle;
HINSTANCE InstanceHandle;
int PrevMouseX, PrevMouseY;
int MouseMoveX, MouseMoveY;
char CommandLine[260];
ProgramFunction ProgramStartup;
ProgramFunction ProgramEnding;
ProgramFunction SceneTable[SCENE_COUNT];

const char* ProgramName = "Tessera";

namespace {

const char ClassName[] = "DEFAULT";

// 1 once start-up has gone as far as the main loop, or has found another copy
// running and raised it: the two ends that are no failure of the program.
int StartedOrRaised;

// The other copy's window, found by its class and the program's name, is
// brought to the front, and the user is told so: the second copy opens no
// window of its own and ends at once.
void RaiseOtherCopy() {
    StartedOrRaised = 1;
    const HWND other = platform::FindWindow(ClassName, ProgramName);
    const int process = platform::ProcessOfWindow(ClassName, ProgramName);
    if (other && platform::SetForegroundWindow(other))
        std::fprintf(stderr, "%s: %s is running already; raised its window (process %d)\n",
                     platform::CommandName(), ProgramName, process);
    else
        std::fprintf(stderr, "%s: %s is running already, but its window could not be raised\n",
                     platform::CommandName(), ProgramName);
}

} // namespace

namespace elSystem {

void FrameworkReset() {
    FullScreen = 1;
    MainWindowHandle = nullptr;
    MouseX = MouseY = PrevMouseX = PrevMouseY = MouseMoveX = MouseMoveY = 0;
    LeftHeld = RightHeld = LeftClick = RightClick = 0;
    LeftDoubleClick = RightDoubleClick = LeftPressedOnce = RightPressedOnce = 0;
    WheelDelta = 0;
    ButtonDown = LastButton = KeyDown = LastKey = ShiftToggle = 0;
    FrameSeconds = 0.0f;
    Blink = 1;
    InstanceMutex = nullptr;
    AppActive = 0;
    SceneNo = NextSceneNo = PrevSceneNo = SceneChanged = 0;
    LastFrameTime = platform::timeGetTime();
    BlinkTime = platform::timeGetTime();
    CloseStage = 0;
    ShutDownDone = 0;
    BoxShown = 0;
    WatchedKey = WatchedKeyCount = 0;
}

void RunFrame() {
    MeasureFrame();
    MouseMoveX = MouseX - PrevMouseX;
    MouseMoveY = MouseY - PrevMouseY;
    if (PrevSceneNo == 0 && SceneNo != 0) {
        SceneChanged = 1;
        PrevSceneNo = SceneNo;
    }
    if (elDraw::FadeDirection == 1) {
        // A fade-out presents by itself and then leads to the next scene.
        elDraw::Refresh();
        if (elDraw::FadeDirection == 0) SceneNo = NextSceneNo;
    } else if (SceneNo > 0 && SceneNo < SCENE_COUNT && SceneTable[SceneNo]) {
        SceneTable[SceneNo]();
    }
    if (SceneNo != PrevSceneNo) {
        SceneChanged = 1;
        elDraw::WipeCancel();
    } else {
        SceneChanged = 0;
    }
    PrevSceneNo = SceneNo;
    // On for a second, off for 200 ms.
    if (Elapsed(BlinkTime) >= (Blink ? 1000u : 200u)) {
        Blink ^= 1;
        BlinkTime = platform::timeGetTime();
    }
    PrevMouseX = MouseX;
    PrevMouseY = MouseY;
    LeftClick = RightClick = LeftDoubleClick = RightDoubleClick = 0;
    WheelDelta = 0;
}

int LoopPass() {
    MSG msg;
    if (platform::PeekMessage(&msg)) {
        if (msg.message == WM_QUIT) return 0;
        platform::TranslateMessage(&msg);
        platform::DispatchMessage(&msg);
    } else if (!AppActive) {
        platform::WaitMessage();
    } else {
        RunFrame();
    }
    return 1;
}

const char* CommandLine() { return ::CommandLine; }

} // namespace elSystem

int WinMain(HINSTANCE instance, HINSTANCE, const char* commandLine, int showCommand) {
    elSystem::FrameworkReset();

    char mutexName[64];
    std::snprintf(mutexName, sizeof mutexName, "%s:ElMutex", ProgramName);
    bool alreadyExists = false;
    InstanceMutex = platform::CreateMutex(mutexName, &alreadyExists);
    if (alreadyExists) {
        RaiseOtherCopy();
        return 0;
    }

    std::strncpy(CommandLine, commandLine ? commandLine : "", sizeof CommandLine - 1);
    CommandLine[sizeof CommandLine - 1] = '\0';

    WNDCLASS windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = elSystem::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszIconName = "MAIN";
    windowClass.hbrBackground = BLACK_BRUSH;
    windowClass.lpszMenuName = ClassName;
    windowClass.lpszClassName = ClassName;
    platform::RegisterClass(windowClass);

    MainWindowHandle = platform::CreateWindowEx(0, ClassName, ProgramName, WS_POPUP | WS_SYSMENU, 0,
                                                0, platform::GetSystemMetrics(SM_CXSCREEN),
                                                platform::GetSystemMetrics(SM_CYSCREEN));
    if (!MainWindowHandle) return 0;
    platform::ShowWindow(MainWindowHandle, showCommand);
    platform::UpdateWindow(MainWindowHandle);
    InstanceHandle = instance;

    std::srand(static_cast<unsigned>(std::time(nullptr)));
    // The editor reads keys, never composed text: the input method stays off.
    platform::WINNLSEnableIME(MainWindowHandle, 0);

    if (ProgramStartup) ProgramStartup();
    elSystem::ResetTimer();
    StartedOrRaised = 1;
    while (elSystem::LoopPass()) {}
    if (ProgramEnding) ProgramEnding();
    return 0;
}

namespace elSystem {

int RunProgram(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    StartedOrRaised = 0;
    WinMain(nullptr, nullptr, commandLine.c_str(), SW_SHOWNORMAL);
    // The entry point returns 0 whatever happened; the process says whether
    // the program could run at all.
    return StartedOrRaised ? 0 : 1;
}

} // namespace elSystem
