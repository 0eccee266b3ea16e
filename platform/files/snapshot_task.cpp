#include "platform/files/snapshot_task.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

constexpr int TASK_NICENESS = 10; // behind the program's own frames

int inTask = 0;

// What the program set up for its signals (an interruption that closes its
// window) is not the copy's business.
void DefaultSignals() {
    for (int signal = 1; signal < NSIG; ++signal)
        if (signal != SIGKILL && signal != SIGSTOP) ::signal(signal, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

} // namespace

int ForkSnapshotTask(const std::function<int()>& task) {
    const pid_t pid = fork();
    if (pid != 0) return pid > 0 ? static_cast<int>(pid) : 0;
    inTask = 1;
    DefaultSignals();
    // The program's files (its single-instance lock, the display's connection)
    // stay the program's alone, even when the copy outlives it.
    close_range(3, ~0u, 0);
    setpriority(PRIO_PROCESS, 0, TASK_NICENESS);
    _exit(task() == 1 ? 0 : 1);
}

int SnapshotTaskEnd(int id, bool wait) {
    int status = 0;
    pid_t ended;
    do ended = waitpid(static_cast<pid_t>(id), &status, wait ? 0 : WNOHANG);
    while (ended < 0 && errno == EINTR);
    if (ended == 0) return TASK_RUNNING;
    return ended > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? TASK_DONE : TASK_FAILED;
}

int InSnapshotTask() { return inTask; }

} // namespace platform
