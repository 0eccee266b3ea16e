// Programs stood in for by a function that tests set, so that nothing is
// started for real.
#include "platform/backend.h"

#include "platform/headless/headless.h"

#include <cerrno>
#include <map>

namespace platform {

namespace {

struct Started {
    int status;
    int checksLeft;
};

headless::ProgramStandIn standIn;
int checksRunning = 0;
int lastId = 0;
std::map<int, Started> started;

} // namespace

int StartProgram(const std::string& path, const std::vector<std::string>& arguments) {
    const int status = standIn ? standIn(path, arguments) : -1;
    if (status < 0) {
        errno = ENOENT;
        return 0;
    }
    started[++lastId] = {status, checksRunning};
    return lastId;
}

bool ProgramEnded(int id, int* status) {
    const auto program = started.find(id);
    if (program == started.end()) {
        *status = -1;
        return true;
    }
    if (program->second.checksLeft-- > 0) return false;
    *status = program->second.status;
    started.erase(program);
    return true;
}

namespace headless {

void SetProgramStandIn(ProgramStandIn program, int runningChecks) {
    standIn = std::move(program);
    checksRunning = runningChecks;
}

} // namespace headless
} // namespace platform
