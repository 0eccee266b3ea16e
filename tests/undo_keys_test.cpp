// The undo and redo keys in the real edit scene: Ctrl must be held from an
// earlier frame, a held letter does not repeat, and with Z and Y together only
// undo runs. Records are pushed directly, the editor then runs a replay.
#include "editor/edit_scene.h"
#include "editor/editor_state.h"
#include "map/undo_history.h"
#include "platform/win/messages.h"
#include "system/system.h"
#include "tools/replay/replay_run.h"
#include "undo_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class UndoKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterEditor();
        ASSERT_EQ(AllocateLayers(EditorMap), 1);
        EditorHistory = tessera::UndoHistory{};
        FillArea(EditorMap, 0, 0, 20, 2, 0);
        StampArea(EditorMap, EditorHistory, 0, 0, 4, 2, 1);  // A
        StampArea(EditorMap, EditorHistory, 10, 0, 4, 2, 2); // B
    }

    // Runs the editor with the script; the map is checked afterwards. The
    // previous run's messages and shutdown are forgotten first.
    static void Run(const std::string& source) {
        std::vector<ReplayCommand> commands;
        std::string error;
        ASSERT_TRUE(ParseReplayScript(source, commands, error)) << error;
        platform::ResetMessages();
        ShutDownDone = 0;
        ASSERT_EQ(RunReplay(commands), 0);
    }
    static int A() { return GetCell(ChipLayer, 1, 3); }
    static int B() { return GetCell(ChipLayer, 1, 13); }
};

TEST_F(UndoKeys, CtrlPressedInTheSameFrameAsZDoesNotUndo) {
    Run("keydown CTRL\nkeydown Z\nframes 3\nkeyup Z\nkeyup CTRL\nframes 1\n");
    EXPECT_EQ(B(), 2);
    EXPECT_EQ(EditorHistory.current, EditorHistory.records[1].get());
}

TEST_F(UndoKeys, CtrlHeldThenZUndoesOnceHoweverLongZIsHeld) {
    Run("keydown CTRL\nframes 1\nkeydown Z\nframes 5\nkeyup Z\nframes 1\nkeyup CTRL\nframes 1\n");
    EXPECT_EQ(B(), 0);
    EXPECT_EQ(A(), 1);
    EXPECT_EQ(EditorHistory.current, EditorHistory.records[0].get());
}

TEST_F(UndoKeys, ZAndYTogetherOnlyUndo) {
    Run("keydown CTRL\nframes 1\nkeydown Z\nkeydown Y\nframes 1\nkeyup Z\nkeyup Y\nframes 1\n"
        "keyup CTRL\nframes 1\n");
    EXPECT_EQ(B(), 0);
    EXPECT_EQ(EditorHistory.current, EditorHistory.records[0].get());
}

TEST_F(UndoKeys, CtrlHeldThenYRedoesOnceHoweverLongYIsHeld) {
    Undo(EditorMap, EditorHistory);
    Undo(EditorMap, EditorHistory);
    Run("keydown CTRL\nframes 1\nkeydown Y\nframes 5\nkeyup Y\nframes 1\nkeyup CTRL\nframes 1\n");
    EXPECT_EQ(A(), 1);
    EXPECT_EQ(B(), 0);
    EXPECT_EQ(EditorHistory.current, EditorHistory.records[0].get());
}

TEST_F(UndoKeys, CtrlReleasedAsYIsPressedDoesNotRedo) {
    Undo(EditorMap, EditorHistory);
    Run("keydown CTRL\nframes 1\nkeyup CTRL\nkeydown Y\nframes 1\nkeyup Y\nframes 1\n");
    EXPECT_EQ(B(), 0);
    EXPECT_EQ(EditorHistory.current, EditorHistory.records[0].get());
}

TEST_F(UndoKeys, UndoAndRedoSequenceFromTheKeyboard) {
    // A key pressed again must have been up for two frames.
    Run("keydown CTRL\nframes 1\n"
        "keydown Z\nframes 1\nkeyup Z\nframes 2\nkeydown Z\nframes 1\nkeyup Z\nframes 2\n"
        "keyup CTRL\nframes 1\n");
    EXPECT_EQ(A(), 0);
    EXPECT_EQ(B(), 0);
    EXPECT_EQ(EditorHistory.current, nullptr);
    Run("keydown CTRL\nframes 1\n"
        "keydown Y\nframes 1\nkeyup Y\nframes 2\nkeydown Y\nframes 1\nkeyup Y\nframes 2\n"
        "keyup CTRL\nframes 1\n");
    EXPECT_EQ(A(), 1);
    EXPECT_EQ(B(), 2);
    // A third redo writes B's after image again.
    FillArea(EditorMap, 10, 0, 4, 2, 7);
    Run("keydown CTRL\nframes 1\nkeydown Y\nframes 1\nkeyup Y\nframes 1\nkeyup CTRL\nframes 1\n");
    EXPECT_EQ(B(), 2);
    EXPECT_EQ(EditorHistory.current, EditorHistory.records[1].get());
}

} // namespace
