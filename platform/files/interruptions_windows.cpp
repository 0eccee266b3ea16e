// Interruptions are the console's Ctrl+C, Ctrl+Break and close, and the end of
// the session. The system calls the handler on a thread of its own; it waits
// there while a set is put in place, removes our temporaries, and passes the
// interruption on to the handler before it (the system's own ends the process).
#include "platform/files/interruptions.h"

#include "platform/files/windows_files.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <set>

namespace platform {

namespace {

std::mutex heldMutex;
std::set<std::string> held; // temporaries made and not yet put in place or removed
std::atomic<int> deferring{0};

BOOL WINAPI OnInterruption(::DWORD) {
    while (deferring.load() > 0) Sleep(1);
    const std::lock_guard guard(heldMutex);
    for (const std::string& path : held) DeleteFileW(windows::WideFromUtf8(path).c_str());
    held.clear();
    return FALSE;
}

} // namespace

void WatchInterruptions() {
    static std::once_flag once;
    std::call_once(once, [] { SetConsoleCtrlHandler(OnInterruption, TRUE); });
}

void HoldTemporary(const std::string& path) {
    const std::lock_guard guard(heldMutex);
    held.insert(path);
}

void ReleaseTemporary(const std::string& path) {
    const std::lock_guard guard(heldMutex);
    held.erase(path);
}

InterruptionsDeferred::InterruptionsDeferred() { deferring.fetch_add(1); }

InterruptionsDeferred::~InterruptionsDeferred() { deferring.fetch_sub(1); }

} // namespace platform
