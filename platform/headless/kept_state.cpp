// What a headless program keeps between its runs lives only where its caller
// says ($XDG_STATE_HOME), and the tasks that write it are done before the
// script's clock moves again, so that a script sees them done in the frame
// that started them.
#include "platform/backend.h"
#include "platform/files/files.h"
#include "platform/files/snapshot_task.h"

#include <map>

namespace platform {

namespace {

std::map<int, int> endedTasks; // how each task not yet asked about ended

} // namespace

int StartSnapshotTask(const std::function<int()>& task) {
    const int id = ForkSnapshotTask(task);
    if (id != 0) endedTasks[id] = SnapshotTaskEnd(id, true);
    return id;
}

int SnapshotTaskState(int id, bool) {
    const auto ended = endedTasks.find(id);
    if (ended == endedTasks.end()) return TASK_FAILED;
    const int state = ended->second;
    endedTasks.erase(ended);
    return state;
}

std::string StateFolder() {
    const std::string state = EnvironmentValue("XDG_STATE_HOME");
    return state.starts_with('/') ? state : "";
}

} // namespace platform
