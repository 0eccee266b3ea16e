// The edit scene: start-up of the editor and its frame. A frame runs these
// steps, in this order:
//  0. Count a double-click as one more press of its button; move the view (or
//     the palette) by the wheel, PageUp, PageDown and Ctrl+Home; open or close
//     the overview, which takes the view area's clicks while it is open.
//  1. Read Ctrl, Z and Y for the undo keys (acted on in step 13).
//  2. Clear the back buffer.
//  3. Draw the view's chips, then in chip editing what E and A show over them
//     (the enemies' sprites, the solid cells' tint); the chip palette and the
//     control panel.
//  4. Retake the dimmed snapshot if the scroll bars moved the view in
//     attribute or enemy editing.
//  5. Print the drag labels, the view position and the game screen under the
//     pointer.
//  6. Act on the panel while a mouse button is down or was pressed, otherwise
//     darken its momentary controls; print the chip frame.
//  7. Advance the chip animation.
//  8. Run the save dialogue, then the load dialogue; an open one draws its
//     prompt or message and presents the frame so far.
//  9. Enemy editing: the snapshot, sprites and values over the view;
//     attribute editing: the snapshot and values.
// 10. Choose the mode from its buttons, then edit in the current mode.
// 11. Follow the selection; draw the palette grid, its outline and corner labels;
//     in chip editing, stamp.
// 12. Draw the guide grid and the game screens' edges over the view.
// 13. Undo or redo from the keys read in step 1.
// 14. Start the play-test on F5 unless a prompt is open: the play scene
//     follows from the next frame on.
// 15. Draw the overview over the view while it is open.
// 16. Keep the recovery copy of unsaved work; show the map's name and whether
//     it is saved in the window's title.
// 17. Draw the pointer and present the frame.
#include "editor/edit_scene.h"

#include "draw/draw.h"
#include "editor/dialogues.h"
#include "editor/edited_map.h"
#include "editor/editor_state.h"
#include "editor/history_keys.h"
#include "editor/layer_toggles.h"
#include "editor/map_view.h"
#include "editor/modes.h"
#include "editor/navigation.h"
#include "editor/overview.h"
#include "editor/panel.h"
#include "editor/play_scene.h"
#include "editor/recovery.h"
#include "editor/selection.h"
#include "input/input.h"
#include "run/run_scene.h"
#include "system/input_state.h"
#include "system/system.h"

#include <cstdlib>

namespace {

int CtrlState = KEY_FREE;
int ZState = KEY_FREE;
int YState = KEY_FREE;

// A second press within the double-click time arrives as a double-click,
// which sets neither the click nor the held flag, so the frame would see no
// press for it. The editor counts it as one more press: clicked and held for
// one frame, released in the next unless the button went down again
// meanwhile. (Its own up message, whenever it comes, finds it released.)
bool LeftFromDoubleClick = false;
bool RightFromDoubleClick = false;

void CountDoubleClick(int doubleClick, int& click, int& held, bool& fromDoubleClick) {
    if (fromDoubleClick && !click) held = 0;
    fromDoubleClick = false;
    if (doubleClick && !held) {
        click = held = 1;
        fromDoubleClick = true;
    }
}

void DrawLabels() {
    if (Stamping == 1) elDraw::DebugPrint(200, 200, "貼り付け中");
    if (PaletteDrag == 1) elDraw::DebugPrint(270, 200, "コピー中");
    elDraw::DebugPrint(200, 250, "マウスポインタX = %d", ViewX);
    elDraw::DebugPrint(200, 270, "マウスポインタY = %d", ViewY);
    // The game screen under the pointer, numbered from 0 as the play-test's
    // start screen is; none past the map's edge.
    if (!VIEW_AREA.Holds(MouseX, MouseY)) return;
    const int column = MouseX / CELL_SIZE + ViewX;
    const int row = MouseY / CELL_SIZE + ViewY;
    if (column < MapWidth * SCREEN_COLUMNS && row < MapHeight * SCREEN_ROWS)
        elDraw::DebugPrint(200, 230, "画面 X = %d, Y = %d", column / SCREEN_COLUMNS,
                           row / SCREEN_ROWS);
}

} // namespace

void EditorStartup() {
    // Every frame reads the layers: without them the editor cannot run at all.
    // On huge pages, the copy of the process that writes the recovery copy
    // copies a few hundred page-table entries for a full map rather than
    // some eighty thousand.
    if (!AllocateLayersOnHugePages(EditorMap)) {
        elSystem::Error("EditorStartup", "メモリを確保できません");
        elSystem::Shutdown();
        std::exit(EXIT_FAILURE);
    }
    elDraw::Screen(1024, 768, 1);
    PanelImage = elDraw::LoadObject("bmp\\edita.bmp", 2);
    for (int i = 0; i < 2; ++i) ChipSheets[i] = elDraw::LoadObject(CHIP_SHEET_FILES[i], 2);
    // The sheets are keyed on black; every later image on its own top-left pixel.
    elDraw::KeyTopLeft();
    for (int i = 0; i < 8; ++i) CharSprites[i] = elDraw::LoadObject(ENEMY_SPRITE_FILES[i], 2);
    // Work a crash left comes first; otherwise the map named on the command line.
    if (!OfferRecovery() && IsMapName(elSystem::CommandLine()))
        OpenMapAtStart(elSystem::CommandLine());
    WatchPlayKey();
    SceneNo = EDIT_SCENE;
    PrevSceneNo = 0;
}

void EditScene() {
    CountDoubleClick(LeftDoubleClick, LeftClick, LeftHeld, LeftFromDoubleClick);
    CountDoubleClick(RightDoubleClick, RightClick, RightHeld, RightFromDoubleClick);
    NavigationStep();
    OverviewInput();
    elInput::GetKey(VK_CONTROL, &CtrlState);
    elInput::GetKey('Z', &ZState);
    elInput::GetKey('Y', &YState);
    elDraw::Clear();
    DrawMapChips();
    LayerToggleStep();
    DrawPalette();
    DrawPanel();
    RetakeSnapshotAfterScroll();
    DrawLabels();
    if (LeftHeld || RightHeld || LeftClick || RightClick)
        HandlePanel();
    else
        ReleaseMomentaryButtons();
    elDraw::DebugPrint(300, 300, "アニメーション数=%d", ChipFrame);
    AnimationTick();
    SaveDialogueStep();
    LoadDialogueStep();
    DrawEnemyOverlay();
    DrawAttributeOverlay();
    ModeStep();
    SelectionStep();
    DrawGuideGrid();
    UndoRedoKeys(CtrlState, ZState, YState);
    PlayKeyStep();
    DrawOverview();
    RecoveryStep();
    ShowMapInTitle();
    elDraw::Draw(MouseX, MouseY, PanelImage, 0, 40, 20, 60);
    elDraw::Refresh();
}

void RegisterEditor() {
    ProgramStartup = EditorStartup;
    ProgramEnding = EndRecovery;
    ProgramMayClose = MayCloseWindow;
    SceneTable[EDIT_SCENE] = EditScene;
    SceneTable[PLAY_SCENE] = RunScene;
}
