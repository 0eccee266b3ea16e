#include "editor/overview.h"

#include "draw/draw.h"
#include "editor/dialogues.h"
#include "editor/editor_state.h"
#include "editor/panel.h"
#include "input/input.h"
#include "platform/win/display.h"
#include "system/input_state.h"
#include "system/system.h"

#include <algorithm>
#include <cstdint>
#include <vector>

int OverviewOpen = 0;

namespace {

constexpr COLORREF ENEMY_COLOUR = 0x0000FF;  // red
constexpr COLORREF SCREEN_COLOUR = 0xFF0000; // blue, as the view's screen edges
constexpr COLORREF VIEW_COLOUR = 0x00FFFF;   // yellow
constexpr int PENDING_AREAS_MAX = 64;        // more changed areas merge into one

struct CellArea {
    int left, top, right, bottom; // right and bottom exclusive
};

int TabState = KEY_FREE;
int EscapeState = KEY_FREE;

// The picture: an object of the view area's size, the map drawn into its
// top-left `width` x `height` pixels for a map of `columns` x `rows` cells.
ObjectNo Picture = 0;
int Columns = 0, Rows = 0;
int Width = 0, Height = 0;
bool WholeChanged = true;
std::vector<CellArea> Pending;

// The average colour of each chip on the first chip sheet, as raw pixels of
// the picture. Worked out once: the sheets never change.
std::vector<std::uint32_t> ChipColours;

// Where the picture lies in the view: centred.
int OffsetX() { return (VIEW_AREA.width - Width) / 2; }
int OffsetY() { return (VIEW_AREA.height - Height) / 2; }

// The first map column and row each picture column and row covers, and 1 on a
// game screen's first picture column or row.
std::vector<int> FirstColumn, FirstRow;
std::vector<unsigned char> ScreenColumn, ScreenRow;

int ColumnOf(int x) { return static_cast<int>(std::int64_t{x} * Columns / Width); }
int RowOf(int y) { return static_cast<int>(std::int64_t{y} * Rows / Height); }
int XOf(int column) { return static_cast<int>(std::int64_t{column} * Width / Columns); }
int YOf(int row) { return static_cast<int>(std::int64_t{row} * Height / Rows); }

// The largest scale, at most a cell's size, that fits the map into the view.
void Fit() {
    Columns = MapWidth * SCREEN_COLUMNS;
    Rows = MapHeight * SCREEN_ROWS;
    if (std::int64_t{Columns} * VIEW_AREA.height >= std::int64_t{Rows} * VIEW_AREA.width) {
        Width = std::min(VIEW_AREA.width, Columns * CELL_SIZE);
        Height = std::max(1, static_cast<int>(std::int64_t{Rows} * Width / Columns));
    } else {
        Height = std::min(VIEW_AREA.height, Rows * CELL_SIZE);
        Width = std::max(1, static_cast<int>(std::int64_t{Columns} * Height / Rows));
    }
    FirstColumn.resize(Width + 1);
    for (int x = 0; x <= Width; ++x) FirstColumn[x] = ColumnOf(x);
    FirstRow.resize(Height + 1);
    for (int y = 0; y <= Height; ++y) FirstRow[y] = RowOf(y);
    ScreenColumn.assign(Width, 0);
    for (int x = 1; x < Width; ++x)
        ScreenColumn[x] = FirstColumn[x] / SCREEN_COLUMNS != FirstColumn[x - 1] / SCREEN_COLUMNS;
    ScreenRow.assign(Height, 0);
    for (int y = 1; y < Height; ++y)
        ScreenRow[y] = FirstRow[y] / SCREEN_ROWS != FirstRow[y - 1] / SCREEN_ROWS;
}

class LockedSurface {
  public:
    explicit LockedSurface(ObjectNo no) : surface(elDraw::SurfaceOf(no)) {
        if (surface && platform::Lock(surface, &bits, &pitch) != platform::DD_OK) bits = nullptr;
    }
    ~LockedSurface() {
        if (bits) platform::Unlock(surface);
    }
    LockedSurface(const LockedSurface&) = delete;
    LockedSurface& operator=(const LockedSurface&) = delete;

    bool Ready() const { return bits && (Bytes() == 2 || Bytes() == 4); }
    const platform::PixelFormat& Format() const { return surface->format; }
    std::uint32_t Get(int x, int y) const {
        const auto* row = static_cast<const std::uint8_t*>(bits) + std::int64_t{y} * pitch;
        return Bytes() == 4 ? reinterpret_cast<const std::uint32_t*>(row)[x]
                            : reinterpret_cast<const std::uint16_t*>(row)[x];
    }
    void Put(int x, int y, std::uint32_t value) {
        auto* row = static_cast<std::uint8_t*>(bits) + std::int64_t{y} * pitch;
        if (Bytes() == 4)
            reinterpret_cast<std::uint32_t*>(row)[x] = value;
        else
            reinterpret_cast<std::uint16_t*>(row)[x] = static_cast<std::uint16_t>(value);
    }

  private:
    int Bytes() const { return surface->format.bits / 8; }
    platform::Surface* surface;
    void* bits = nullptr;
    int pitch = 0;
};

void AverageChipColours(const platform::PixelFormat& pictureFormat) {
    ChipColours.assign(CHIP_COUNT, platform::PackColor(pictureFormat, 0));
    if (ChipSheets[0] == 0) return; // the sheet did not load: every chip black
    LockedSurface sheet(ChipSheets[0]);
    if (!sheet.Ready()) return;
    const ObjectEntry& entry = elDraw::ObjectTable[ChipSheets[0]];
    for (int n = 0; n < CHIP_COUNT; ++n) {
        if (ChipLeft(n) + CELL_SIZE > entry.Width || ChipTop(n) + CELL_SIZE > entry.Height)
            continue;
        unsigned red = 0, green = 0, blue = 0;
        for (int y = 0; y < CELL_SIZE; ++y)
            for (int x = 0; x < CELL_SIZE; ++x) {
                const std::uint32_t rgb = platform::UnpackColor(
                    sheet.Format(), sheet.Get(ChipLeft(n) + x, ChipTop(n) + y));
                red += rgb & 0xFF;
                green += rgb >> 8 & 0xFF;
                blue += rgb >> 16 & 0xFF;
            }
        constexpr unsigned CELL_PIXELS = CELL_SIZE * CELL_SIZE;
        ChipColours[n] =
            platform::PackColor(pictureFormat, red / CELL_PIXELS | (green / CELL_PIXELS) << 8 |
                                                   (blue / CELL_PIXELS) << 16);
    }
}

// Whether a cell of columns c0..c1 by rows r0..r1 (exclusive) holds an enemy.
bool EnemyIn(int c0, int c1, int r0, int r1) {
    if (!EnemyLayer) return false;
    for (int r = r0; r < r1; ++r)
        for (int c = c0; c < c1; ++c)
            if (EnemyLayer[r][c] != 0) return true;
    return false;
}

// Redraws the picture's pixels x0..x1 by y0..y1 (exclusive). A pixel covers a
// block of cells (one cell at least) and shows the chip of the block's first
// cell, red when any cell of the block holds an enemy, the grid colour on a
// game screen's first pixel row or column.
void Redraw(LockedSurface& picture, int x0, int y0, int x1, int y1) {
    const std::uint32_t enemy = platform::PackColor(picture.Format(), ENEMY_COLOUR);
    const std::uint32_t screen = platform::PackColor(picture.Format(), SCREEN_COLOUR);
    for (int y = y0; y < y1; ++y) {
        const int r0 = FirstRow[y];
        const int r1 = std::max(r0 + 1, FirstRow[y + 1]);
        for (int x = x0; x < x1; ++x) {
            const int c0 = FirstColumn[x];
            const int c1 = std::max(c0 + 1, FirstColumn[x + 1]);
            std::uint32_t value;
            if (EnemyIn(c0, c1, r0, r1))
                value = enemy;
            else if (ScreenColumn[x] || ScreenRow[y])
                value = screen;
            else
                value = ChipColours[static_cast<unsigned>(GetCell(ChipLayer, r0, c0)) % CHIP_COUNT];
            picture.Put(x, y, value);
        }
    }
}

// Brings the picture up to date with the map: whole when the map's size or
// contents changed whole, otherwise only where cells changed. The object is
// made on the first showing; when that fails (its error box shown once), the
// overview shows no picture.
void Refresh() {
    static bool made = false;
    if (!made) {
        Picture = elDraw::CreateObject(VIEW_AREA.width, VIEW_AREA.height, 2);
        made = true;
        WholeChanged = true;
    }
    if (Columns != MapWidth * SCREEN_COLUMNS || Rows != MapHeight * SCREEN_ROWS) {
        WholeChanged = true;
        Fit();
    }
    if (Picture == 0 || (!WholeChanged && Pending.empty())) return;
    LockedSurface picture(Picture);
    if (!picture.Ready()) return;
    if (ChipColours.empty()) AverageChipColours(picture.Format());
    if (WholeChanged) {
        Redraw(picture, 0, 0, Width, Height);
    } else {
        for (const CellArea& area : Pending) {
            // A pixel either side more: rounding may give an edge cell to
            // the pixel beside the one its position scales to.
            const int left = std::max(0, XOf(std::max(area.left, 0)) - 1);
            const int top = std::max(0, YOf(std::max(area.top, 0)) - 1);
            const int right = std::min(Width, XOf(std::min(area.right, Columns)) + 2);
            const int bottom = std::min(Height, YOf(std::min(area.bottom, Rows)) + 2);
            if (left < right && top < bottom) Redraw(picture, left, top, right, bottom);
        }
    }
    WholeChanged = false;
    Pending.clear();
}

// Centres the view on the map cell under the point of the picture.
void CentreViewAt(int x, int y) {
    const int column = ColumnOf(x), row = RowOf(y);
    ViewX = std::clamp(column - VIEW_COLUMNS / 2, 0, ViewXMax());
    ViewY = std::clamp(row - VIEW_ROWS / 2, 0, ViewYMax());
    ViewScrolled = 1;
}

} // namespace

void OverviewTouch(int left, int top, int width, int height) {
    if (WholeChanged || width <= 0 || height <= 0) return;
    CellArea area{left, top, left + width, top + height};
    if (Pending.size() < PENDING_AREAS_MAX) {
        Pending.push_back(area);
        return;
    }
    for (const CellArea& other : Pending) {
        area.left = std::min(area.left, other.left);
        area.top = std::min(area.top, other.top);
        area.right = std::max(area.right, other.right);
        area.bottom = std::max(area.bottom, other.bottom);
    }
    Pending.assign(1, area);
}

void OverviewTouchAll() {
    WholeChanged = true;
    Pending.clear();
}

void OverviewInput() {
    elInput::GetKey(VK_TAB, &TabState);
    elInput::GetKey(VK_ESCAPE, &EscapeState);
    const bool keysFree = !PromptTakesName() && PaletteDrag == 0 && Stamping == 0;
    if (keysFree && TabState == KEY_PUSH)
        OverviewOpen ^= 1;
    else if (keysFree && EscapeState == KEY_PUSH)
        OverviewOpen = 0;
    if (!OverviewOpen || !VIEW_AREA.Holds(MouseX, MouseY)) return;
    if (LeftClick) {
        Refresh();
        const int x = MouseX - OffsetX(), y = MouseY - OffsetY();
        if (x >= 0 && x < Width && y >= 0 && y < Height) {
            CentreViewAt(x, y);
            OverviewOpen = 0;
        }
    }
    // The press stays the overview's until the button is let go: the window
    // procedure sets the held flags again only on the next press.
    LeftClick = RightClick = LeftHeld = RightHeld = 0;
}

void DrawOverview() {
    if (!OverviewOpen) return;
    Refresh();
    elDraw::ClearRect(VIEW_AREA.x, VIEW_AREA.y, VIEW_AREA.Right(), VIEW_AREA.Bottom());
    const int x = OffsetX(), y = OffsetY();
    if (Picture != 0) elDraw::DrawOpaque(x, y, Picture, 0, 0, Width, Height);
    // The view can reach past the map's edge; its rectangle stops at the view area's.
    const int left = std::min(VIEW_AREA.width - 1, x + XOf(ViewX));
    const int top = std::min(VIEW_AREA.height - 1, y + YOf(ViewY));
    const int right = std::min(VIEW_AREA.width - 1, x + XOf(ViewX + VIEW_COLUMNS));
    const int bottom = std::min(VIEW_AREA.height - 1, y + YOf(ViewY + VIEW_ROWS));
    elDraw::Line(left, top, right, top, VIEW_COLOUR, 1);
    elDraw::Line(left, bottom, right, bottom, VIEW_COLOUR, 1);
    elDraw::Line(left, top, left, bottom, VIEW_COLOUR, 1);
    elDraw::Line(right, top, right, bottom + 1, VIEW_COLOUR, 1);
}
