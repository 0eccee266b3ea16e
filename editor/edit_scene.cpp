// The edit scene: start-up of the editor and its frame.
#include "editor/map_model.h"
#include "system/system.h"

void EditorStartup() {
    AllocateLayers();
    SceneNo = 1;
    PrevSceneNo = 0;
}

void EditScene() {}
