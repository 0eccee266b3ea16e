// Getting around the map without the scroll bars: the mouse wheel scrolls the
// view, or the palette when the pointer is over it; PageUp and PageDown move
// the view a game screen up or down (with Shift, left or right) and Ctrl+Home
// to the map's top-left. The view stays within the limits the scroll bars
// keep.
#pragma once

// Once per frame, before the view is drawn. Keys do nothing while a prompt
// takes a name.
void NavigationStep();
