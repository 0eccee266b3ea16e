#include "run/run_rules.h"

#include "run/bodies.h"
#include "run/run_sounds.h"

#include <algorithm>

const tessera::MapLayers* RunMap;
int StartScreenX, StartScreenY;
Body Player;
int PlayerFacing = 1;
std::vector<Enemy> Enemies;
int CameraX, CameraY;
int Phase = RUN_PLAYING;
long long RunSteps;
int PhaseSteps, Restarts;
int ShowAttributes;
int EnemiesLeftOut;

namespace {

// Every enemy as the map places it.
std::vector<Enemy> Placed;
// Where the player starts, in pixels; found by PlayMap. 0 when the map has no
// room for the player anywhere.
int StartX, StartY;
int StartFound;

int StartScreenLeft() { return StartScreenX * GAME_WIDTH; }
int StartScreenTop() { return StartScreenY * GAME_HEIGHT; }

// Cells of one game screen a box at a cell's corner covers, across and down.
constexpr int PLAYER_COLUMNS = (PLAYER_WIDTH + CELL_SIZE - 1) / CELL_SIZE;
constexpr int PLAYER_ROWS = (PLAYER_HEIGHT + CELL_SIZE - 1) / CELL_SIZE;

// The player's place in game screen (screenX, screenY): scanning the screen's
// columns from the left, the first place, top-most in its column, where the
// player's box lies inside the screen and touches no solid cell. 0 when the
// screen has none. Each cell is read once: the run of open cells below it
// tells at once whether a box standing there fits.
int RoomInScreen(int screenX, int screenY, int& x, int& y) {
    const int left = screenX * SCREEN_COLUMNS, top = screenY * SCREEN_ROWS;
    // openBelow[column][row]: open cells from (row, column) down, within the screen.
    static int openBelow[SCREEN_COLUMNS][SCREEN_ROWS + 1];
    for (int column = 0; column < SCREEN_COLUMNS; ++column) {
        openBelow[column][SCREEN_ROWS] = 0;
        for (int row = SCREEN_ROWS - 1; row >= 0; --row)
            openBelow[column][row] =
                IsSolidCell(top + row, left + column) ? 0 : openBelow[column][row + 1] + 1;
    }
    for (int column = 0; column + PLAYER_COLUMNS <= SCREEN_COLUMNS; ++column)
        for (int row = 0; row + PLAYER_ROWS <= SCREEN_ROWS; ++row) {
            int fits = 1;
            for (int k = 0; k < PLAYER_COLUMNS && fits; ++k)
                fits = openBelow[column + k][row] >= PLAYER_ROWS;
            if (!fits) continue;
            x = (left + column) * CELL_SIZE;
            y = (top + row) * CELL_SIZE;
            return 1;
        }
    return 0;
}

// The start: the game screen asked for, held inside the map, or else the
// nearest one with room (by the distance between the screens; the upper, then
// the left one of two as near).
void FindStart(int screenX, int screenY) {
    screenX = std::clamp(screenX, 0, RunMap->width - 1);
    screenY = std::clamp(screenY, 0, RunMap->height - 1);
    struct Screen {
        int x, y, distance;
    };
    std::vector<Screen> screens;
    for (int y = 0; y < RunMap->height; ++y)
        for (int x = 0; x < RunMap->width; ++x)
            screens.push_back(
                {x, y, (x - screenX) * (x - screenX) + (y - screenY) * (y - screenY)});
    std::stable_sort(screens.begin(), screens.end(),
                     [](const Screen& a, const Screen& b) { return a.distance < b.distance; });
    StartScreenX = screenX;
    StartScreenY = screenY;
    StartX = StartScreenLeft();
    StartY = StartScreenTop();
    StartFound = 0;
    for (const Screen& screen : screens)
        if (RoomInScreen(screen.x, screen.y, StartX, StartY)) {
            StartScreenX = screen.x;
            StartScreenY = screen.y;
            StartFound = 1;
            return;
        }
}

// An enemy starting inside solid cells is lifted to the lowest place above,
// at most its own height higher, where it touches none; one buried deeper
// stays where it was put.
void LiftOutOfSolids(Body& body) {
    const int x = PixelX(body), y = PixelY(body);
    if (!BoxHitsSolid(x, y, body.width, body.height)) return;
    // Solid cells end at cell edges: the places to try put the box's bottom on one.
    for (int bottom = (y + body.height - 1) & ~(CELL_SIZE - 1); bottom >= y; bottom -= CELL_SIZE)
        if (!BoxHitsSolid(x, bottom - body.height, body.width, body.height)) {
            body.y = (bottom - body.height) * SUBPIXELS;
            return;
        }
}

int Approach(int value, int target, int rate) {
    return value < target ? std::min(value + rate, target) : std::max(value - rate, target);
}

void Miss() {
    Phase = RUN_MISSED;
    PhaseSteps = 0;
    PlayEffect(EFFECT_MISS);
}

void StepPlayer(const PadInput& input) {
    const int direction = input.right - input.left;
    if (direction != 0) PlayerFacing = direction;
    const int target = direction * (input.run ? RUN_SPEED : WALK_SPEED);
    Player.vx =
        Approach(Player.vx, target, Player.onGround ? GROUND_ACCELERATION : AIR_ACCELERATION);
    if (input.jumpPressed && Player.onGround) {
        Player.vy = -JUMP_SPEED;
        PlayEffect(EFFECT_JUMP);
    }
    Fall(Player, Player.vy < 0 && input.jumpHeld ? GRAVITY_HELD : GRAVITY);
    MoveBody(Player);
}

void StepEnemy(Enemy& enemy) {
    Body& body = enemy.body;
    // At a ledge the enemy turns before its front foot leaves the ground.
    if (body.onGround) {
        const int front = enemy.direction > 0 ? PixelX(body) + body.width : PixelX(body) - 1;
        if (!IsSolidCell((PixelY(body) + body.height) >> 3, front >> 3))
            enemy.direction = -enemy.direction;
    }
    body.vx = enemy.direction * ENEMY_SPEED;
    Fall(body, GRAVITY);
    MoveBody(body);
    if (body.hitWall) enemy.direction = -enemy.direction;
    if (PixelY(body) >= MapPixelHeight()) enemy.alive = 0;
}

// Enemies within a screen of the camera wake, and stay awake.
void WakeEnemies() {
    const int left = CameraX - GAME_WIDTH, right = CameraX + 2 * GAME_WIDTH;
    const int top = CameraY - GAME_HEIGHT, bottom = CameraY + 2 * GAME_HEIGHT;
    for (Enemy& enemy : Enemies)
        if (!enemy.awake && PixelX(enemy.body) < right &&
            PixelX(enemy.body) + enemy.body.width > left && PixelY(enemy.body) < bottom &&
            PixelY(enemy.body) + enemy.body.height > top)
            enemy.awake = 1;
}

// Landing on an enemy from above removes it; any other touch is a miss.
// Every enemy landed on in the same step is stomped: the fall is judged as
// it was before the step, not after the first stomp's bounce.
void TouchEnemies(int previousBottom) {
    const int falling = Player.vy > 0;
    int stomped = 0;
    for (Enemy& enemy : Enemies) {
        if (!enemy.alive || !enemy.awake || !BodiesTouch(Player, enemy.body)) continue;
        if (falling && previousBottom <= PixelY(enemy.body) + STOMP_MARGIN) {
            enemy.alive = 0;
            stomped = 1;
        } else {
            Miss();
            return;
        }
    }
    if (stomped) {
        Player.vy = -STOMP_BOUNCE;
        PlayEffect(EFFECT_STOMP);
    }
}

// The camera's place for the player: centred on it, held inside the map.
int CameraTargetX() {
    return std::clamp(PixelX(Player) + PLAYER_WIDTH / 2 - GAME_WIDTH / 2, 0,
                      MapPixelWidth() - GAME_WIDTH);
}

int CameraTargetY() {
    return std::clamp(PixelY(Player) + PLAYER_HEIGHT / 2 - GAME_HEIGHT / 2, 0,
                      MapPixelHeight() - GAME_HEIGHT);
}

// Closes 1/CAMERA_EASE of the distance, and the rest once it is less than that
// makes a pixel of.
int Ease(int from, int to) {
    const int distance = to - from;
    return distance / CAMERA_EASE != 0 ? from + distance / CAMERA_EASE : to;
}

void FollowPlayer() {
    CameraX = Ease(CameraX, CameraTargetX());
    CameraY = Ease(CameraY, CameraTargetY());
}

} // namespace

void PlayMap(const tessera::MapLayers& map, int screenX, int screenY) {
    RunMap = &map;
    FindStart(screenX, screenY);
    Placed.clear();
    EnemiesLeftOut = 0;
    const int rows = RunMap->height * SCREEN_ROWS, columns = RunMap->width * SCREEN_COLUMNS;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const int type = RunMap->enemies[row][column];
            if (type < 1 || type > 8) continue;
            if (Placed.size() == ENEMIES_MAX) {
                ++EnemiesLeftOut;
                continue;
            }
            // Where the editor draws its sprite.
            Enemy enemy;
            enemy.type = type;
            enemy.body.x = (column * CELL_SIZE + ENEMY_SPRITE_OFFSET) * SUBPIXELS;
            enemy.body.y = (row * CELL_SIZE + ENEMY_SPRITE_OFFSET) * SUBPIXELS;
            enemy.body.width = EnemySize[type - 1].Width;
            enemy.body.height = EnemySize[type - 1].Height;
            LiftOutOfSolids(enemy.body);
            Placed.push_back(enemy);
        }
}

void ResetRun() {
    Player = Body{};
    Player.x = StartX * SUBPIXELS;
    Player.y = StartY * SUBPIXELS;
    Player.width = PLAYER_WIDTH;
    Player.height = PLAYER_HEIGHT;
    PlayerFacing = 1;
    Enemies = Placed;
    CameraX = StartScreenLeft();
    CameraY = StartScreenTop();
    Phase = StartFound ? RUN_PLAYING : RUN_NO_ROOM;
    RunSteps = PhaseSteps = 0;
}

void RestartRun() {
    ++Restarts;
    ResetRun();
}

void StepRun(const PadInput& input) {
    if (Phase == RUN_NO_ROOM) return;
    ++PhaseSteps;
    if (Phase != RUN_PLAYING) {
        if (PhaseSteps >= (Phase == RUN_MISSED ? MISS_STEPS : CLEAR_STEPS)) RestartRun();
        return;
    }
    ++RunSteps;
    const int previousBottom = PixelY(Player) + PLAYER_HEIGHT;
    StepPlayer(input);
    WakeEnemies();
    for (Enemy& enemy : Enemies)
        if (enemy.alive && enemy.awake) StepEnemy(enemy);
    TouchEnemies(previousBottom);
    FollowPlayer();
    if (Phase != RUN_PLAYING) return;
    if (PixelY(Player) >= MapPixelHeight()) {
        Miss();
    } else if (PixelX(Player) + PLAYER_WIDTH >= MapPixelWidth()) {
        Phase = RUN_CLEARED;
        PhaseSteps = 0;
        PlayEffect(EFFECT_CLEAR);
    }
}
