// The desktop backend on SDL's off-screen video driver: the framework's entry
// point runs with the real window, event translation and present, no display;
// and the pacing that tells whether its presents wait for the display.
#include "draw/draw.h"
#include "platform/desktop/desktop.h"
#include "platform/desktop/present_pacing.h"
#include "platform/win/held_file.h"
#include "system/input_state.h"
#include "system/system.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>

namespace {

bool textInputAtStartUp = true;
int frameNo = 0;
// Runs in each frame with the frame's number; the run ends when it returns false.
std::function<bool(int)> sceneStep;

// The program of these tests: a 1024 x 768 screen and a scene that runs the
// test's step each frame.
void StepStartup() {
    textInputAtStartUp = SDL_IsTextInputActive();
    elDraw::Screen(1024, 768, 1);
    SceneNo = 1;
    PrevSceneNo = 0;
}

void StepScene() {
    if (!sceneStep(frameNo++)) platform::PostMessage(platform::MainWindow(), WM_CLOSE, 0, 0);
}

class Desktop : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        // No GL: its drivers keep memory to the end, which the leak checker reports.
        setenv("SDL_RENDER_DRIVER", "software", 1);
        setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);
        // Locks of our own, apart from any editor running on this machine.
        std::string folder = platform::NewPrivateFolder("/tmp/tessera-desktop-test-");
        ASSERT_FALSE(folder.empty());
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    }

    // Runs the entry point until `step` has had enough frames.
    static void Run(std::function<bool(int)> step) {
        platform::ResetMessages();
        ShutDownDone = 0;
        frameNo = 0;
        sceneStep = std::move(step);
        ProgramStartup = StepStartup;
        SceneTable[1] = StepScene;
        ASSERT_EQ(WinMain(nullptr, nullptr, "", SW_SHOWNORMAL), 0);
        ASSERT_GT(frameNo, 0) << "no frame ran";
    }

    // A pixel of what the present showed.
    static std::uint32_t Shown(int x, int y) {
        const platform::Surface* shown = elDraw::PrimarySurface;
        const std::uint8_t* row = shown->memory.data() + y * shown->pitch;
        if (shown->format.bits == 16) return reinterpret_cast<const std::uint16_t*>(row)[x];
        return reinterpret_cast<const std::uint32_t*>(row)[x];
    }

    // A pixel of what the renderer shows in the window, as 0x00RRGGBB.
    static std::uint32_t OnWindow(int x, int y) {
        const SDL_Rect one{x, y, 1, 1};
        std::uint32_t pixel = 0;
        SDL_RenderReadPixels(platform::desktop::CurrentRenderer(), &one, SDL_PIXELFORMAT_RGB888,
                             &pixel, sizeof pixel);
        return pixel & 0xFFFFFF;
    }

    static void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }

    static void PushKey(Uint32 type, SDL_Keycode key, SDL_Scancode scancode) {
        SDL_Event event{};
        event.key.type = type;
        event.key.windowID = SDL_GetWindowID(platform::desktop::CurrentSdlWindow());
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = scancode;
        Push(event);
    }
};

TEST_F(Desktop, StartUpSwitchesTheInputMethodOff) {
    Run([](int) { return false; });
    EXPECT_FALSE(textInputAtStartUp);
}

// An accelerated renderer presents in step with the vertical blank. The
// software renderer has none (SDL would time a wait of its own, out of step
// with the frames not presented): its frames all take the timed wait.
TEST_F(Desktop, PresentsWaitForTheDisplaysVerticalBlank) {
    // On the renderer the program chooses itself, in a child that ends without
    // the leak check.
    pid_t child = fork();
    if (child == 0) {
        unsetenv("SDL_RENDER_DRIVER");
        unsetenv("SDL_FRAMEBUFFER_ACCELERATION");
        Uint32 flags = 0;
        Run([&](int) {
            SDL_RendererInfo info;
            if (SDL_GetRendererInfo(platform::desktop::CurrentRenderer(), &info) == 0)
                flags = info.flags;
            return false;
        });
        const bool software = flags & SDL_RENDERER_SOFTWARE;
        const bool synced = flags & SDL_RENDERER_PRESENTVSYNC;
        _exit(software != synced ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// A frame whose picture is the one shown is not presented, but on a renderer
// in step with the display it still takes a refresh's time: an idle program
// does not spin. In a child that ends without the leak check, as above.
TEST_F(Desktop, UnchangedFramesStillTakeARefreshEach) {
    pid_t child = fork();
    if (child == 0) {
        setenv("SDL_RENDER_DRIVER", "opengl", 1);
        unsetenv("SDL_FRAMEBUFFER_ACCELERATION");
        bool inStep = true;
        Uint64 start = 0, end = 0;
        Run([&](int frame) {
            if (frame == 0) {
                platform::Blt(elDraw::BackBuffer, nullptr, nullptr, nullptr,
                              platform::DDBLT_COLORFILL, 0x3A5F);
                elDraw::Refresh();
                start = SDL_GetTicks64();
                return true;
            }
            inStep = inStep && platform::desktop::PresentInStep();
            elDraw::Refresh();
            end = SDL_GetTicks64();
            return frame < 30;
        });
        // 30 refreshes of a 60 Hz display take half a second; a sleep is never short.
        _exit(!inStep ? 2 : end - start >= 400 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "no renderer in step with the display here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "30 unchanged frames ran in less than 400 ms";
}

TEST_F(Desktop, MovedWindowStillShowsTheWholeFrameFromItsTop) {
    const std::uint32_t colour = 0x3A5F;
    bool checked = false;
    Run([&](int frame) {
        if (frame == 0) {
            // The desktop puts the window below a panel 40 pixels high.
            SDL_Event moved{};
            moved.window.type = SDL_WINDOWEVENT;
            moved.window.event = SDL_WINDOWEVENT_MOVED;
            moved.window.windowID = SDL_GetWindowID(platform::desktop::CurrentSdlWindow());
            moved.window.data1 = 0;
            moved.window.data2 = 40;
            Push(moved);
            return true;
        }
        platform::Blt(elDraw::BackBuffer, nullptr, nullptr, nullptr, platform::DDBLT_COLORFILL,
                      colour);
        elDraw::Refresh();
        for (int y : {0, 39, 767})
            for (int x : {0, 1023}) EXPECT_EQ(Shown(x, y), colour) << x << ", " << y;
        checked = true;
        return false;
    });
    EXPECT_TRUE(checked);
}

// A frame whose picture is the one shown is not presented again: what the
// window shows stays, even when the window lost it, until the window system
// says it was exposed. The smallest change is shown at once.
TEST_F(Desktop, AnUnchangedFrameIsNotPresentedAgainUntilTheWindowIsExposed) {
    const std::uint32_t blue = 0x0000FF, red = 0xFF0000;
    Run([&](int frame) {
        SDL_Renderer* renderer = platform::desktop::CurrentRenderer();
        int width = 0, height = 0;
        SDL_GetRendererOutputSize(renderer, &width, &height);
        EXPECT_EQ(width, 1024); // the window shows the frame pixel for pixel
        EXPECT_EQ(height, 768);
        const platform::PixelFormat& format = elDraw::BackBuffer->format;
        switch (frame) {
        case 0:
            platform::Blt(elDraw::BackBuffer, nullptr, nullptr, nullptr, platform::DDBLT_COLORFILL,
                          platform::PackColor(format, 0xFF0000));
            elDraw::Refresh();
            EXPECT_EQ(OnWindow(1023, 767), blue);
            return true;
        case 1: {
            const platform::RECT corner{1023, 767, 1024, 768};
            platform::Blt(elDraw::BackBuffer, &corner, nullptr, nullptr, platform::DDBLT_COLORFILL,
                          platform::PackColor(format, 0x0000FF));
            elDraw::Refresh();
            EXPECT_EQ(OnWindow(1023, 767), red);
            EXPECT_EQ(OnWindow(0, 0), blue);
            return true;
        }
        case 2: {
            // The window's pixels are lost behind the renderer's back.
            SDL_FillRect(SDL_GetWindowSurface(platform::desktop::CurrentSdlWindow()), nullptr, 0);
            elDraw::Refresh();
            EXPECT_EQ(OnWindow(0, 0), 0u); // not presented
            SDL_Event exposed{};
            exposed.window.type = SDL_WINDOWEVENT;
            exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
            exposed.window.windowID = SDL_GetWindowID(platform::desktop::CurrentSdlWindow());
            Push(exposed);
            return true;
        }
        default:
            elDraw::Refresh();
            EXPECT_EQ(OnWindow(0, 0), blue);
            EXPECT_EQ(OnWindow(1023, 767), red);
            return false;
        }
    });
    EXPECT_EQ(frameNo, 4);
}

TEST_F(Desktop, ReleasingOneShiftLeavesShiftHeldByTheOther) {
    bool leftDown = false, rightDown = true, shiftDown = false;
    Run([&](int frame) {
        if (frame == 0) {
            PushKey(SDL_KEYDOWN, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT);
            PushKey(SDL_KEYDOWN, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT);
            PushKey(SDL_KEYUP, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT);
            return true;
        }
        leftDown = platform::GetKeyState(VK_LSHIFT) < 0;
        rightDown = platform::GetKeyState(VK_RSHIFT) < 0;
        shiftDown = platform::GetKeyState(VK_SHIFT) < 0;
        return false;
    });
    EXPECT_TRUE(leftDown);
    EXPECT_FALSE(rightDown);
    EXPECT_TRUE(shiftDown);
}

// Wheel notches reach the frame as WHEEL_DELTA each, positive away from the
// user; a flipped wheel's turns are turned back, and a fine wheel's part of a
// notch is kept.
TEST_F(Desktop, WheelTurnsReachTheFrameInNotchesAwayFromTheUser) {
    std::vector<int> seen;
    Run([&](int frame) {
        seen.push_back(WheelDelta);
        SDL_Event event{};
        event.wheel.type = SDL_MOUSEWHEEL;
        event.wheel.windowID = SDL_GetWindowID(platform::desktop::CurrentSdlWindow());
        if (frame == 0) {
            event.wheel.y = -2;
            event.wheel.preciseY = -2;
            Push(event);
            event.wheel.y = 1;
            event.wheel.preciseY = 1;
            event.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
            Push(event);
        } else if (frame == 2) {
            event.wheel.preciseY = 0.25f;
            Push(event);
        }
        return frame < 4;
    });
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen[1], -3 * WHEEL_DELTA);
    EXPECT_EQ(seen[2], 0);
    EXPECT_EQ(seen[3], WHEEL_DELTA / 4);
}

TEST_F(Desktop, MovingThePointerReportsItWhereItWasPut) {
    int seenX = -1, seenY = -1;
    Run([&](int frame) {
        if (frame == 0) {
            elSystem::SetCursorPos(300, 200);
            return true;
        }
        seenX = MouseX;
        seenY = MouseY;
        return frame < 5 && (seenX != 300 || seenY != 200);
    });
    EXPECT_EQ(seenX, 300);
    EXPECT_EQ(seenY, 200);
}

constexpr std::int64_t REFRESH_NS = 16'666'667;
constexpr std::int64_t MS = 1'000'000;

TEST(PresentPacing, PresentsHeldToTheRefreshKeepInStep) {
    platform::PresentPacing pacing;
    std::int64_t now = 0;
    // A second of presents a refresh apart, give or take half a millisecond.
    for (int i = 0; i < 60; ++i)
        pacing.Presented(now += REFRESH_NS + (i % 3 - 1) * MS / 2, REFRESH_NS);
    // A driver that takes a few frames at once, then blocks until they are shown.
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < 3; ++i) pacing.Presented(now += MS, REFRESH_NS);
        pacing.Presented(now += 3 * REFRESH_NS, REFRESH_NS);
    }
    // Slow frames are in step too.
    for (int i = 0; i < 10; ++i) pacing.Presented(now += 5 * REFRESH_NS, REFRESH_NS);
    EXPECT_FALSE(pacing.RunsFree());
}

TEST(PresentPacing, PresentsReturningAtOnceRunFreeForGood) {
    platform::PresentPacing pacing;
    std::int64_t now = 0;
    for (int i = 0; i < 30; ++i) pacing.Presented(now += MS, REFRESH_NS);
    EXPECT_TRUE(pacing.RunsFree());
    // The timed wait then spaces them; that does not make the present synced.
    for (int i = 0; i < 30; ++i) pacing.Presented(now += REFRESH_NS, REFRESH_NS);
    EXPECT_TRUE(pacing.RunsFree());
}

// Frames whose picture is the one shown are not presented; each sleeps to the
// next refresh instead. A driver that returns at once is still found out by
// the presents between them, and one in step is never taken for free.
TEST(PresentPacing, FramesWithoutAPresentNeitherHideNorFakeARunningFreeDriver) {
    for (const int skipped : {1, 2, 9}) {
        platform::PresentPacing free, synced;
        std::int64_t freeNow = 0, syncedNow = 0;
        for (int round = 0; round < 8; ++round) {
            // Two frames that change the picture, then frames that do not.
            for (int i = 0; i < 2; ++i) {
                free.Presented(freeNow += MS, REFRESH_NS);
                synced.Presented(syncedNow += i == 0 ? 2 * MS : REFRESH_NS, REFRESH_NS);
            }
            for (int i = 0; i < skipped; ++i) {
                free.Skipped();
                synced.Skipped();
                freeNow += REFRESH_NS;
                syncedNow += REFRESH_NS;
            }
        }
        EXPECT_TRUE(free.RunsFree()) << skipped;
        EXPECT_FALSE(synced.RunsFree()) << skipped;
    }
}

} // namespace
