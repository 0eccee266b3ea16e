// The control panel: scroll bars of the map view and the chip palette, map-size
// and chip-frame buttons, the animation switch, Save, Load, the edit-mode
// buttons and Quit, all drawn from the panel image and hit-tested by position.
#pragma once

#include "editor/panel_layout.h"

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
