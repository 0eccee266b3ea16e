// A program the desktop tests start: its own environment, working folder and
// output file. The destructor ends it (SIGTERM, then SIGKILL), so no run of a
// test leaves one behind, whatever it asserted.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace desktop_test {

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Stop(); }

    // Starts `argv` in `folder` with `extraEnvironment` ("NAME=value") added to
    // ours; standard output and error go to `outputFile` (appended). `keepFd`
    // stays open in the child under its own number. False if it could not start.
    bool Start(const std::vector<std::string>& argv, const std::string& folder,
               const std::vector<std::string>& extraEnvironment, const std::string& outputFile,
               int keepFd = -1);

    // Waits for the exit up to `timeout`; returns the exit status, 128 + the
    // signal for a killed process, or -1 while it still runs.
    int Wait(std::chrono::milliseconds timeout);
    bool Running();
    // Ends the process if it still runs and reaps it.
    void Stop();

  private:
    pid_t pid = -1;
    int status = -1;
};

} // namespace desktop_test
