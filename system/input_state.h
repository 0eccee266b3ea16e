// The pointer, its buttons and the keys as the window procedure captured them
// for the current frame; scenes read them, the frame resets them.
#pragma once

extern int MouseX, MouseY;
extern int PrevMouseX, PrevMouseY;
extern int MouseMoveX, MouseMoveY;
extern int LeftHeld, RightHeld;
extern int LeftClick, RightClick;
extern int LeftDoubleClick, RightDoubleClick;
// How far the wheel turned since the last frame: WHEEL_DELTA a notch,
// positive away from the user.
extern int WheelDelta;
extern int LeftPressedOnce, RightPressedOnce;
extern int ButtonDown;
extern int LastButton;
extern int KeyDown;
extern int LastKey;
extern int ShiftToggle;
extern int AltKeyMode;
extern int ClientX, ClientY;
extern int WatchedKey;
extern int WatchedKeyCount;
