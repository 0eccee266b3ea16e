// The chips of a map laid out as a level is: open sky (the empty chip 0 with a
// star here and there), ledges in the air, a ground band with things standing
// on it, deep ground below. Every game screen looks alike but not the same.
// Shared by the picture tests and the benchmark of the map tools.
#pragma once

inline int LevelChip(int row, int column) {
    constexpr int SHEET = 80; // chips in a sheet row
    const int y = row % 72, screen = row / 72 * 64 + column / 96;
    const int x = column + screen * 7; // screens differ in where things stand
    if (y == 60) return 33;            // covered ground
    if (y > 60) return (6 + (y - 61) % 4) * SHEET + 32 + x % 8;     // deep ground, 8 x 4 chips
    if (y == 59 && x % 37 == 5) return 2 * SHEET + 72 + x / 37 % 4; // an item on the ground
    if ((y == 40 || y == 24) && (x + y) % 29 < 9) return 28 + ((x + y) % 29 == 0); // a ledge
    if ((x * 7 + y * 13) % 41 == 0) return 1 + x % 7;                              // a star
    return 0;
}
