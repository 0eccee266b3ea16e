// The darkened still picture of the map that attribute and enemy editing show
// as the view's background. It lives in internal object 0.
#pragma once

// Dims the 800 x 600 view of the back buffer as it is now and copies it into
// object 0. The dimming image is loaded on the first call and kept.
void TakeSnapshot();
// Retakes the picture when the scroll bars moved the view in attribute or
// enemy editing, then clears the scroll flag.
void RetakeSnapshotAfterScroll();
