// The editor's images, loaded once at start-up.
#pragma once

#include "draw/draw.h"

extern ObjectNo PanelImage;     // pointer, buttons, digits, scroll-bar pieces
extern ObjectNo ChipSheets[2];  // the two animation frames of the chip set
extern ObjectNo CharSprites[8]; // enemy types 1 to 8
