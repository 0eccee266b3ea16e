// The edit scene: the editor's start-up and its frame, as the frame calls them.
#pragma once

// Loads the editor's images on a 1024 x 768 screen and enters scene 1.
void EditorStartup();
// One frame of the editor.
void EditScene();
// Gives the frame the editor's start-up, the edit scene as scene 1 and the
// play-test as scene 2.
void RegisterEditor();
