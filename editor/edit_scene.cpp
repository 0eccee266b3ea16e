// The edit scene: start-up of the editor and its frame.
#include "editor/edit_scene.h"
#include "draw/draw.h"
#include "editor/dialogues.h"
#include "editor/editor_images.h"
#include "editor/editor_state.h"
#include "editor/guide_grid.h"
#include "editor/map_model.h"
#include "editor/modes.h"
#include "editor/overlays.h"
#include "editor/palette.h"
#include "editor/panel.h"
#include "editor/selection.h"
#include "editor/snapshot.h"
#include "editor/undo_keys.h"
#include "input/input.h"
#include "system/input_state.h"
#include "system/system.h"

#include <cstdlib>

ObjectNo PanelImage;
ObjectNo ChipSheets[2];
ObjectNo CharSprites[8];

namespace {

int CtrlState = KEY_FREE;
int ZState = KEY_FREE;
int YState = KEY_FREE;

// Every view cell, chip 0 included, from the sheet of the current frame.
void DrawMapChips() {
    for (int r = 0; r < VIEW_ROWS; ++r)
        for (int c = 0; c < VIEW_COLUMNS; ++c) {
            int n = GetCell(ChipLayer, ViewY + r, ViewX + c);
            elDraw::Draw(c * CELL_SIZE, r * CELL_SIZE, ChipSheets[ChipFrame], ChipLeft(n),
                         ChipTop(n), ChipLeft(n) + CELL_SIZE, ChipTop(n) + CELL_SIZE);
        }
}

void DrawLabels() {
    if (Stamping == 1) elDraw::DebugPrint(200, 200, "貼り付け中");
    if (PaletteDrag == 1) elDraw::DebugPrint(270, 200, "コピー中");
    elDraw::DebugPrint(200, 250, "マウスポインタX = %d", ViewX);
    elDraw::DebugPrint(200, 270, "マウスポインタY = %d", ViewY);
}

void DrawViewAndPanel() {
    DrawMapChips();
    DrawPalette();
    DrawPanel();
    RetakeSnapshotAfterScroll();
    DrawLabels();
    if (LeftHeld || RightHeld || LeftClick || RightClick)
        HandlePanel();
    else
        ReleaseMomentaryButtons();
    elDraw::DebugPrint(300, 300, "アニメーション数=%d", ChipFrame);
}

} // namespace

void EditorStartup() {
    // Every frame reads the layers: without them the editor cannot run at all.
    if (!AllocateLayers()) {
        elSystem::Error("EditorStartup", "メモリを確保できません");
        elSystem::Shutdown();
        std::exit(EXIT_FAILURE);
    }
    elDraw::Screen(1024, 768, 1);
    PanelImage = elDraw::LoadObject("bmp\\edita.bmp", 2);
    for (int i = 0; i < 2; ++i) {
        char name[] = "bmp\\m_cp00.BMP";
        name[8] = static_cast<char>('0' + i / 10);
        name[9] = static_cast<char>('0' + i % 10);
        ChipSheets[i] = elDraw::LoadObject(name, 2);
    }
    // The sheets are keyed on black; every later image on its own top-left pixel.
    elDraw::KeyTopLeft();
    for (int i = 0; i < 8; ++i) {
        char name[] = "char\\char00.BMP";
        name[9] = static_cast<char>('0' + i / 10);
        name[10] = static_cast<char>('0' + i % 10);
        CharSprites[i] = elDraw::LoadObject(name, 2);
    }
    SceneNo = 1;
    PrevSceneNo = 0;
}

void EditScene() {
    elInput::GetKey(VK_CONTROL, &CtrlState);
    elInput::GetKey('Z', &ZState);
    elInput::GetKey('Y', &YState);
    elDraw::Clear();
    DrawViewAndPanel();
    AnimationTick();
    SaveDialogueStep();
    LoadDialogueStep();
    DrawEnemyOverlay();
    DrawAttributeOverlay();
    ModeStep();
    SelectionStep();
    DrawGuideGrid();
    UndoRedoKeys(CtrlState, ZState, YState);
    elDraw::Draw(MouseX, MouseY, PanelImage, 0, 40, 20, 60);
    elDraw::Refresh();
}

void RegisterEditor() {
    ProgramStartup = EditorStartup;
    SceneTable[1] = EditScene;
}
