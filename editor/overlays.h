// What attribute and enemy editing draw over the view: the darkened snapshot
// and, for the first game screen's worth of cells, the layer's values.
#pragma once

// Enemy editing only: enemy types 1 to 8 as sprites, every non-zero value as a
// hexadecimal number.
void DrawEnemyOverlay();
// Attribute editing only: every non-zero attribute as a hexadecimal number.
void DrawAttributeOverlay();
