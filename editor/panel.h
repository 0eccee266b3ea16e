// The control panel: scroll bars of the map view and the chip palette, map-size
// and chip-frame buttons, the animation switch, Save, Load, the edit-mode
// buttons and Quit, all drawn from the panel image and hit-tested by position.
#pragma once

// Controls with a pressed picture. The latching ones come first: exactly one
// mode button is lit, the animation switch flips on each click. The momentary
// ones light while pressed and go dark when no mouse button is down.
enum PanelControl {
    MODE_CHIPS,
    MODE_ATTRIBUTES,
    MODE_ENEMIES,
    ANIM_SWITCH,
    VIEW_UP,
    FIRST_MOMENTARY = VIEW_UP,
    VIEW_DOWN,
    VIEW_LEFT,
    VIEW_RIGHT,
    PALETTE_UP,
    PALETTE_DOWN,
    PALETTE_LEFT,
    PALETTE_RIGHT,
    WIDTH_PLUS,
    WIDTH_MINUS,
    HEIGHT_PLUS,
    HEIGHT_MINUS,
    FRAME_PLUS,
    FRAME_MINUS,
    BLANK_BUTTON,
    SAVE_BUTTON,
    LOAD_BUTTON,
    QUIT_BUTTON,
    CONTROL_COUNT
};

extern unsigned char ButtonLit[CONTROL_COUNT]; // 1 shows the control's pressed picture
extern unsigned char ViewScrolled;             // set when a scroll control moves the view
extern int AnimOn;                             // 1 while the chip frames alternate
extern float AnimTimer;                        // seconds until the next frame change

// Draws the panel, digits and scroll bars into the back buffer.
void DrawPanel();
// Acts on the mouse; the frame calls it while a button is down or was pressed.
void HandlePanel();
// Darkens every momentary control; the frame calls it when no button is down.
void ReleaseMomentaryButtons();
// Advances the chip animation by the frame's time.
void AnimationTick();
// Steps ChipFrame by +1 or -1, wrapping between 0 and 1.
void StepChipFrame(int direction);
