#include "run/run_draw.h"

#include "run/run_rules.h"
#include "run/run_state.h"
#include "text/text.h"

#include <algorithm>
#include <cstdio>

ObjectNo RunChipSheets[2];
ObjectNo RunEnemySprites[8];
ObjectNo PlayerImage;

namespace {

// Colours as 0xBBGGRR.
constexpr COLORREF STATUS_COLOUR = 0xFFFFFF;
constexpr COLORREF SHADOW_COLOUR = 0x000000;
constexpr COLORREF BANNER_COLOUR = 0x50E6FF;
constexpr int BANNER_LEFT = 48;

constexpr int NOTICE_LEFT = 24;
// How long a notice about the map's enemies shows after the start.
constexpr long long NOTICE_MS = 5000;

// A cell's raw pixel value mixed into the screen by ShadeRect, clipped to it.
void Tint(int x, int y, std::uint32_t colour) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + CELL_SIZE, GAME_WIDTH);
    const int bottom = std::min(y + CELL_SIZE, GAME_HEIGHT);
    if (left < right && top < bottom) elDraw::ShadeRect(left, top, right, bottom, colour);
}

// A line of text with its shadow, in the status line's face.
void PrintShadowed(int x, int y, int height, COLORREF colour, const char* text) {
    elText::Begin(1, height, 0, 1, 0, 0);
    elText::Color(SHADOW_COLOUR, 0, 1);
    elText::Print(x + 1, y + 1, text);
    elText::Color(colour, 0, 1);
    elText::Print(x, y, text);
    elText::End();
}

} // namespace

void FormatTime(char* text, std::size_t size, long long steps) {
    const long long hundredths = steps * 100 / STEPS_PER_SECOND;
    std::snprintf(text, size, "%lld.%02lld", hundredths / 100, hundredths % 100);
}

void DrawWorld(int frame) {
    const int firstColumn = CameraX / CELL_SIZE, firstRow = CameraY / CELL_SIZE;
    const int offsetX = CameraX % CELL_SIZE, offsetY = CameraY % CELL_SIZE;
    const ObjectNo sheet = RunChipSheets[frame];
    for (int r = 0; r <= SCREEN_ROWS; ++r) {
        const int row = firstRow + r;
        if (row >= RunMap->height * SCREEN_ROWS) break;
        for (int c = 0; c <= SCREEN_COLUMNS; ++c) {
            const int column = firstColumn + c;
            if (column >= RunMap->width * SCREEN_COLUMNS) break;
            const int n = RunMap->chips[row][column];
            // Numbers beyond the sheet, from hand-edited files, show chip 0.
            const int chip = n >= 0 && n < CHIP_COUNT ? n : 0;
            elDraw::Draw(c * CELL_SIZE - offsetX, r * CELL_SIZE - offsetY, sheet, ChipLeft(chip),
                         ChipTop(chip), ChipLeft(chip) + CELL_SIZE, ChipTop(chip) + CELL_SIZE);
        }
    }
}

void DrawAttributeTints() {
    const std::uint32_t solid = elDraw::PixelFormat.Red.Mask;
    const std::uint32_t other = elDraw::PixelFormat.Green.Mask | elDraw::PixelFormat.Blue.Mask;
    const int firstColumn = CameraX / CELL_SIZE, firstRow = CameraY / CELL_SIZE;
    const int lastColumn =
        std::min(firstColumn + SCREEN_COLUMNS, RunMap->width * SCREEN_COLUMNS - 1);
    const int lastRow = std::min(firstRow + SCREEN_ROWS, RunMap->height * SCREEN_ROWS - 1);
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            if (const int value = RunMap->attributes[row][column])
                Tint(column * CELL_SIZE - CameraX, row * CELL_SIZE - CameraY,
                     value == SOLID_ATTRIBUTE ? solid : other);
}

void DrawEnemies() {
    for (const Enemy& enemy : Enemies) {
        if (!enemy.alive) continue;
        const int x = PixelX(enemy.body) - CameraX, y = PixelY(enemy.body) - CameraY;
        if (x >= GAME_WIDTH || y >= GAME_HEIGHT || x + enemy.body.width <= 0 ||
            y + enemy.body.height <= 0)
            continue;
        elDraw::Draw(x, y, RunEnemySprites[enemy.type - 1], 0, 0, enemy.body.width,
                     enemy.body.height);
    }
}

void DrawPlayer() {
    int frame = 0;
    if (!Player.onGround)
        frame = 3;
    else if (Player.vx != 0)
        frame = static_cast<int>(1 + RunSteps / 8 % 2);
    const int left = frame * PLAYER_FRAME_WIDTH;
    elDraw::FlipDraw(PixelX(Player) - PLAYER_OFFSET_X - CameraX,
                     PixelY(Player) - PLAYER_OFFSET_Y - CameraY, PlayerFacing < 0 ? 1 : 0,
                     PlayerImage, left, 0, left + PLAYER_FRAME_WIDTH, PLAYER_FRAME_HEIGHT);
}

void DrawStatusLine(int fps) {
    char time[32], line[96];
    FormatTime(time, sizeof time, RunSteps);
    const int centreX = CameraX + GAME_WIDTH / 2, centreY = CameraY + GAME_HEIGHT / 2;
    std::snprintf(line, sizeof line, "TIME %s   SCREEN %d,%d   %d FPS", time, centreX / GAME_WIDTH,
                  centreY / GAME_HEIGHT, fps);
    PrintShadowed(8, 4, 14, STATUS_COLOUR, line);
}

void DrawNotices(long long clockMs) {
    if (Phase == RUN_NO_ROOM)
        PrintShadowed(NOTICE_LEFT, GAME_HEIGHT / 2 - 10, 20, BANNER_COLOUR,
                      "このマップにはプレイヤーの入る場所がありません");
    if (EnemiesLeftOut > 0 && clockMs < NOTICE_MS) {
        char text[160];
        std::snprintf(text, sizeof text, "敵が多すぎます：%d 体を超えた %d 体は出てきません",
                      ENEMIES_MAX, EnemiesLeftOut);
        PrintShadowed(NOTICE_LEFT, GAME_HEIGHT - 40, 16, BANNER_COLOUR, text);
    }
}

void DrawClearBanner() {
    char time[32], text[96];
    FormatTime(time, sizeof time, RunSteps);
    std::snprintf(text, sizeof text, "クリア！  タイム %s 秒", time);
    elText::Begin(1, 40, 0, 1, 0, 0);
    elText::Color(BANNER_COLOUR, 0, 1);
    elText::PrintEffect(BANNER_LEFT, GAME_HEIGHT / 2 - 30, GAME_WIDTH, GAME_HEIGHT / 2 + 30, text,
                        TEXT_SHADOW | TEXT_THICK_X);
    elText::End();
}
