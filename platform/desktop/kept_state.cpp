// What the desktop program keeps between its runs lives in the user's state
// folder; the tasks that write it run beside the frames.
#include "platform/backend.h"
#include "platform/files/files.h"
#include "platform/files/snapshot_task.h"

namespace platform {

int StartSnapshotTask(const std::function<int()>& task) { return ForkSnapshotTask(task); }

int SnapshotTaskState(int id, bool wait) { return SnapshotTaskEnd(id, wait); }

std::string StateFolder() { return UserStateFolder(); }

} // namespace platform
