#include "tests/desktop/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace desktop_test {

namespace {

// Our environment with the extra variables put in place of any of the same name.
std::vector<std::string> Environment(const std::vector<std::string>& extra) {
    std::vector<std::string> result;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        bool replaced = false;
        for (const std::string& x : extra)
            replaced |= entry.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0;
        if (!replaced) result.push_back(entry);
    }
    result.insert(result.end(), extra.begin(), extra.end());
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (std::string& s : strings) result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::string& folder,
                         const std::vector<std::string>& extraEnvironment,
                         const std::string& outputFile, int keepFd) {
    Stop();
    // Everything the child needs is made before the fork.
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = Environment(extraEnvironment);
    std::vector<char*> argvPointers = Pointers(arguments);
    std::vector<char*> environmentPointers = Pointers(environment);
    int output = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (output < 0) return false;
    // Nothing to read, whether the test's own input is a terminal or closed.
    int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (input < 0) {
        close(output);
        return false;
    }
    pid_t parent = getpid();
    pid = fork();
    if (pid == 0) {
        // The child dies with the test, so that a crashed test leaves nothing running.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        // Every signal at its default and none blocked, whatever the test
        // program inherited (a job started in the background by a shell
        // ignores SIGINT): the program is stopped by the signals it would be.
        struct sigaction plain {};
        plain.sa_handler = SIG_DFL;
        for (int signal = 1; signal < NSIG; ++signal) sigaction(signal, &plain, nullptr);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        if (chdir(folder.c_str()) != 0) _exit(127);
        dup2(output, STDOUT_FILENO); // before stdin: with ours closed, the output is fd 0
        dup2(output, STDERR_FILENO);
        dup2(input, STDIN_FILENO);
        if (keepFd >= 0) fcntl(keepFd, F_SETFD, 0);
        execve(argvPointers[0], argvPointers.data(), environmentPointers.data());
        _exit(127);
    }
    close(output);
    close(input);
    status = -1;
    return pid > 0;
}

int ChildProcess::Wait(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (pid > 0) {
        int raw = 0;
        pid_t got = waitpid(pid, &raw, WNOHANG);
        if (got == pid) {
            pid = -1;
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            break;
        }
        if (got < 0 || std::chrono::steady_clock::now() >= end) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pid > 0 ? -1 : status;
}

bool ChildProcess::Running() { return Wait(std::chrono::milliseconds(0)) == -1 && pid > 0; }

void ChildProcess::Stop() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    if (Wait(std::chrono::seconds(5)) == -1 && pid > 0) {
        kill(pid, SIGKILL);
        Wait(std::chrono::seconds(5));
    }
}

} // namespace desktop_test
