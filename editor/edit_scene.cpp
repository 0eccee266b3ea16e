// The edit scene: start-up of the editor and its frame.
#include "draw/draw.h"
#include "editor/map_model.h"
#include "system/system.h"

namespace {

// Until the editor's own images and frame arrive, the scene shows a tiled test
// pattern drawn with keyed blits, so the drawing path can be seen on the window.
ObjectNo patternTiles;

void MakePatternTiles() {
    patternTiles = elDraw::CreateObject(64, 8, 2);
    platform::HDC dc = nullptr;
    platform::Surface* surface = elDraw::ObjectTable[patternTiles].Surface;
    if (platform::GetDC(surface, &dc) != platform::DD_OK) return;
    const COLORREF colours[8] = {0x000000, 0x2060C0, 0x30A040, 0xC08020,
                                 0x8040A0, 0x20A0C0, 0xA0A0A0, 0x4040E0};
    for (int tile = 0; tile < 8; ++tile)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                bool border = x == 0 || y == 0;
                platform::SetPixel(dc, tile * 8 + x, y, border ? 0x202020 : colours[tile]);
            }
    platform::ReleaseDC(surface, dc);
}

} // namespace

void EditorStartup() {
    AllocateLayers();
    elDraw::Screen(1024, 768, 1);
    MakePatternTiles();
    SceneNo = 1;
    PrevSceneNo = 0;
}

void EditScene() {
    platform::Blt(elDraw::BackBuffer, nullptr, nullptr, nullptr, platform::DDBLT_COLORFILL, 0);
    for (int row = 0; row < VIEW_ROWS; ++row)
        for (int column = 0; column < VIEW_COLUMNS; ++column) {
            int tile = (row / 4 + column / 4 + MouseX / 64) % 8;
            elDraw::Draw(column * 8, row * 8, patternTiles, tile * 8, 0, tile * 8 + 8, 8);
        }
    elDraw::Draw(MouseX, MouseY, patternTiles, 56, 0, 64, 8);
    platform::BltFast(elDraw::PrimarySurface, PresentRect.left, PresentRect.top, elDraw::BackBuffer,
                      &elDraw::PresentSource, platform::DDBLTFAST_WAIT);
}
