// Work on a picture of this process's memory taken at one moment: a copy of
// the process runs the task on the memory as it stood when the copy was made,
// whatever the process changes afterwards, and the process goes on at once.
// The system copies a page only when one side writes it, so the picture costs
// little however much memory the process holds.
#pragma once

#include <functional>

namespace platform {

// What SnapshotTaskEnd tells of a task.
constexpr int TASK_RUNNING = -1;
constexpr int TASK_FAILED = 0;
constexpr int TASK_DONE = 1;

// Runs `task` in a copy of this process made now and returns the copy's id at
// once, or 0 with the cause in errno. The copy holds only the calling thread
// and none of this process's open files but standard input, output and error,
// so the task must start no threads and use nothing another thread may have
// held (devices, the window system); it may allocate memory and work on files.
// It runs at a lower priority, takes signals in their default way, and ends
// when the task returns, running no exit handlers of this process's: TASK_DONE
// when the task returned 1.
int ForkSnapshotTask(const std::function<int()>& task);

// How the task `id` ended, or TASK_RUNNING while it runs; with `wait`, waits
// for its end. A task is told of once: after its end, asking again about it
// gives TASK_FAILED.
int SnapshotTaskEnd(int id, bool wait);

// 1 in the copy that runs a task, which must start no threads.
int InSnapshotTask();

} // namespace platform
