// Programs started beside this one: spawned with the default signal handling,
// and reaped when asked about without waiting.
#include "platform/backend.h"

#include "platform/desktop/desktop.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <set>

extern char** environ;

namespace platform {

namespace {

// Started programs whose end has not yet been noticed.
std::set<pid_t> watched;

} // namespace

namespace desktop {

bool TakeProgramEnd() {
    for (const pid_t pid : watched) {
        siginfo_t info{};
        // Without reaping it: ProgramEnded still gives its status.
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == 0)
            continue;
        watched.erase(pid);
        return true;
    }
    return false;
}

} // namespace desktop

int StartProgram(const std::string& path, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // Signals this program ignores or blocks (a library may have) are not the
    // child's business: it starts with the defaults and none blocked.
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) return 0;
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, path.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        errno = error;
        return 0;
    }
    watched.insert(pid);
    return static_cast<int>(pid);
}

bool ProgramEnded(int id, int* status) {
    int result = 0;
    pid_t reaped;
    do {
        reaped = waitpid(static_cast<pid_t>(id), &result, WNOHANG);
    } while (reaped < 0 && errno == EINTR);
    if (reaped == 0) return false;
    watched.erase(static_cast<pid_t>(id));
    // An id that is no child of ours (reaped already) counts as a failed end.
    *status = reaped > 0 && WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return true;
}

} // namespace platform
