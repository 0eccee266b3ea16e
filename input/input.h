// elInput: four-state key polling on the platform's key-state table, and two
// game controllers.
#pragma once

// Key states, kept in variables the caller owns and advanced by elInput::GetKey.
constexpr int KEY_FREE = 0; // up, and the release was already reported
constexpr int KEY_PUSH = 1; // down, and was free at the previous poll
constexpr int KEY_PULL = 2; // up, and was down at the previous poll
constexpr int KEY_HOLD = 3; // down, and was not free at the previous poll

namespace elInput {

// Advances *state by whether the virtual key is down now. While a screen fade
// runs every key reads KEY_FREE. Call once per frame for each watched key.
void GetKey(int virtualKey, int* state);

// Game controllers 0 and 1. Buttons are numbered 1 to 4.
constexpr int JOY_CONTROLLERS = 2;
constexpr int JOY_BUTTONS = 4;

// What polling keeps per controller; every field is 0 after InitJoystick.
struct JoyRecord {
    float axisX, axisY;       // smoothed stick, -100 to 100
    float axisSpeed;          // units per second at which the smoothed stick moves
    float power[JOY_BUTTONS]; // grows while the button is held, 0 to 100
    float powerRate;          // units per second at which power grows
    int button[JOY_BUTTONS];  // edge states, KEY_FREE to KEY_HOLD
};
extern JoyRecord JoyState[JOY_CONTROLLERS];
// Stick positions read at calibration; 0 for a controller that did not answer.
extern int JoyCentreX[JOY_CONTROLLERS];
extern int JoyCentreY[JOY_CONTROLLERS];

// Looks for controllers again, calibrates them and clears JoyState.
void InitJoystick();
// Takes each controller's stick position now as its centre.
void Calibrate();
// Sets the smoothed stick and the power of both controllers to 0.
void ResetJoystick();
void SetJoySpeed(int controller, float axisSpeed, float powerRate);
void GetJoyCentre(int controller, int& x, int& y);

// A controller that does not answer (absent, unplugged, or a number other than 0
// or 1) gives 0 for every result and output, and 5 from JoyDirection8, and
// leaves what is stored for it unchanged.

// Whether a button is down now (1) or not (0).
int JoyButton(int controller, int button);
void JoyButtons(int controller, int& b1, int& b2, int& b3, int& b4);
// Advances the stored edge states as GetKey does, and returns the new ones.
int GetJoyButton(int controller, int button);
void GetJoyButtons(int controller, int& b1, int& b2, int& b3, int& b4);
// Advances power by the frame's time while the button is held (at most 100),
// and sets it to 0 while it is up; returns the new power.
float JoyButtonPower(int controller, int button);
void JoyButtonsPower(int controller, int& p1, int& p2, int& p3, int& p4);

// The stick as -1, 0 or 1 for each axis (Y grows downwards).
void JoyDirection(int controller, int& x, int& y);
// The stick as a keypad digit: 7 8 9 up, 4 5 6 level (5 at rest), 1 2 3 down.
int JoyDirection8(int controller);
// Raw stick positions, 0 to 65535.
void JoyPosition(int controller, int& x, int& y);
// Moves the smoothed stick by the frame's time towards where the stick points,
// or back towards 0 when it rests; returns it truncated.
void JoyAxes(int controller, int& x, int& y);

} // namespace elInput
