// Interruptions are the signals SIGINT, SIGTERM, SIGHUP and SIGQUIT. The
// handler chains to whatever the program had set before it (SDL's, which asks
// the window to close, or the default, which ends the process).
#include "platform/files/interruptions.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

constexpr int SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr int SIGNAL_COUNT = sizeof SIGNALS / sizeof SIGNALS[0];

// What each signal did before, read by the handler.
struct sigaction previous[SIGNAL_COUNT];

// The temporaries this process has made and not yet put in place or removed.
// Kept in fixed storage, since the handler reads it.
struct HeldName {
    enum : int { FREE, FILLING, HELD };
    std::atomic<int> state{FREE};
    char path[PATH_MAX];
};
constexpr int HELD_NAMES = 32;
HeldName heldNames[HELD_NAMES];

std::atomic<int> deferring{0}; // brackets open
std::atomic<int> pending{0};   // a signal that came meanwhile
siginfo_t pendingInfo;

int IndexOf(int signal) {
    for (int i = 0; i < SIGNAL_COUNT; ++i)
        if (SIGNALS[i] == signal) return i;
    return -1;
}

// Does what the signal did before we took it over. Only what a handler may call.
void Deliver(int signal, siginfo_t* info) {
    const int index = IndexOf(signal);
    if (index < 0) return;
    const struct sigaction& before = previous[index];
    if (before.sa_flags & SA_SIGINFO) {
        before.sa_sigaction(signal, info, nullptr);
    } else if (before.sa_handler == SIG_IGN) {
        return;
    } else if (before.sa_handler != SIG_DFL) {
        before.sa_handler(signal);
    } else {
        // The default ends the process: our temporaries go first.
        for (HeldName& held : heldNames)
            if (held.state.load() == HeldName::HELD) unlink(held.path);
        struct sigaction plain {};
        plain.sa_handler = SIG_DFL;
        sigaction(signal, &plain, nullptr);
        raise(signal);
    }
}

// Delivers a signal that waited, unless a bracket is still open; exactly one
// of the handler and the last bracket to close does it.
void DeliverPending() {
    if (deferring.load() > 0) return;
    if (const int signal = pending.exchange(0)) Deliver(signal, &pendingInfo);
}

extern "C" void OnInterruption(int signal, siginfo_t* info, void*) {
    if (deferring.load() == 0) {
        Deliver(signal, info);
        return;
    }
    if (info) std::memcpy(&pendingInfo, info, sizeof pendingInfo);
    pending.store(signal);
    DeliverPending(); // the bracket may have closed meanwhile
}

} // namespace

void WatchInterruptions() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int i = 0; i < SIGNAL_COUNT; ++i) {
            // A signal the caller's shell set to be ignored (a job started in
            // the background) stays ignored.
            if (sigaction(SIGNALS[i], nullptr, &previous[i]) != 0 ||
                (!(previous[i].sa_flags & SA_SIGINFO) && previous[i].sa_handler == SIG_IGN))
                continue;
            struct sigaction action {};
            action.sa_sigaction = OnInterruption;
            action.sa_flags = SA_SIGINFO | SA_RESTART;
            sigemptyset(&action.sa_mask);
            sigaction(SIGNALS[i], &action, nullptr);
        }
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, nullptr);
    });
}

void HoldTemporary(const std::string& path) {
    // A name that does not fit is only not removed on an interruption; a later
    // save of the same file sweeps it.
    if (path.size() >= PATH_MAX) return;
    for (HeldName& held : heldNames) {
        int free = HeldName::FREE;
        if (!held.state.compare_exchange_strong(free, HeldName::FILLING)) continue;
        std::memcpy(held.path, path.c_str(), path.size() + 1);
        held.state.store(HeldName::HELD);
        return;
    }
}

void ReleaseTemporary(const std::string& path) {
    for (HeldName& held : heldNames)
        if (held.state.load() == HeldName::HELD && path == held.path) {
            held.state.store(HeldName::FREE);
            return;
        }
}

InterruptionsDeferred::InterruptionsDeferred() { deferring.fetch_add(1); }

InterruptionsDeferred::~InterruptionsDeferred() {
    deferring.fetch_sub(1);
    DeliverPending();
}

} // namespace platform
