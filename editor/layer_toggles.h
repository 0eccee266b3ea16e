// What chip editing can show over the chips: E toggles the enemies' sprites,
// A a tint of the cells the game will find solid (red) or otherwise marked
// (cyan), as the play-test's A does. Both start off and keep their setting
// through the other modes, which draw neither.
#pragma once

extern int ShowEnemies;   // 1 while E has the sprites shown
extern int ShowSolidTint; // 1 while A has the tint shown

// Once per frame, after the view's chips: the keys (not while a prompt takes a
// name), then in chip editing the tint and the sprites over the view.
void LayerToggleStep();
