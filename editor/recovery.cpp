#include "editor/recovery.h"

#include "editor/edited_map.h"
#include "editor/editor_state.h"
#include "editor/overview.h"
#include "map/recovery_copy.h"
#include "platform/backend.h"
#include "platform/files/private_folder.h"
#include "platform/files/snapshot_task.h"
#include "system/system.h"

#include <string>

namespace {

constexpr int NO_COPY = -1;

std::string folder;             // the copy's folder; empty while recovery is off
int copyTask = 0;               // the task writing a copy, 0 while none runs
int taskEditCount = 0;          // the edits the running task's copy holds
int copiedEditCount = NO_COPY;  // the edits the copy in the folder holds, when it is ours
bool pending = false;           // an edit the copy lacks is waiting
std::uint32_t pendingSince = 0; // the clock when it was first seen
bool failureShown = false;

// A copy that cannot be written is said once a run; the next one is tried
// after the delay.
void CopyFailed() {
    pending = true;
    pendingSince = platform::timeGetTime();
    if (failureShown) return;
    failureShown = true;
    elSystem::Message("作業の復旧用のコピーを %s に書けません", folder.c_str());
}

void TakeTaskEnd(bool wait = false) {
    if (copyTask == 0) return;
    const int end = platform::SnapshotTaskState(copyTask, wait);
    if (end == platform::TASK_RUNNING) return;
    copyTask = 0;
    if (end == platform::TASK_DONE)
        copiedEditCount = taskEditCount;
    else
        CopyFailed();
}

void StartCopy() {
    pending = false;
    taskEditCount = EditCount;
    const std::string name = EditedMapName, into = folder;
    // The task sees the map as it is now: later edits do not reach it.
    copyTask = platform::StartSnapshotTask(
        [name, into] { return tessera::WriteRecoveryCopy(EditorMap, name, into); });
    if (copyTask == 0) CopyFailed();
}

void RemoveCopy() {
    if (copiedEditCount == NO_COPY) return;
    tessera::RemoveRecoveryCopy(folder);
    copiedEditCount = NO_COPY;
}

// The copy's folder, made for this user alone; empty, and said once, when it
// cannot be had.
std::string CopyFolder() {
    const std::string state = platform::StateFolder();
    if (state.empty()) return "";
    const std::string own = state + "/tessera";
    if (platform::MakeOwnFolder(own)) return own;
    elSystem::Message(
        "%s はこのユーザー専用のフォルダではないため、作業の復旧用のコピーを作りません",
        own.c_str());
    return "";
}

} // namespace

int OfferRecovery() {
    folder = CopyFolder();
    tessera::RecoveryRecord record;
    if (folder.empty() || !tessera::ReadRecoveryRecord(folder, record) || !record.offered ||
        !IsMapName(record.name.c_str()))
        return 0;
    if (!elSystem::Ask(
            "保存されていない作業が残っています（マップ %s、%d x %d 画面）。復元しますか？",
            record.name.c_str(), record.width, record.height)) {
        tessera::SetRecoveryCopyAside(folder);
        return 0;
    }
    if (!tessera::ReadRecoveryCopy(folder, record, EditorMap)) {
        elSystem::Message("作業の復旧用のコピーを読めません");
        tessera::SetRecoveryCopyAside(folder);
        return 0;
    }
    OverviewTouchAll();
    NoteMapRestored(record.name.c_str());
    copiedEditCount = EditCount;
    return 1;
}

void RecoveryStep() {
    if (folder.empty()) return;
    TakeTaskEnd();
    if (!HasUnsavedChanges()) {
        pending = false;
        if (copyTask == 0) RemoveCopy();
        return;
    }
    const int covered = copyTask != 0 ? taskEditCount : copiedEditCount;
    if (EditCount == covered) {
        pending = false;
        return;
    }
    if (!pending) {
        pending = true;
        pendingSince = platform::timeGetTime();
    }
    if (copyTask == 0 && elSystem::Elapsed(pendingSince) >= RECOVERY_DELAY_MS) StartCopy();
}

void EndRecovery() {
    if (folder.empty()) return;
    TakeTaskEnd(true);
    if (!HasUnsavedChanges()) {
        RemoveCopy();
    } else if (EditCount != copiedEditCount) {
        StartCopy();
        TakeTaskEnd(true);
    }
}
