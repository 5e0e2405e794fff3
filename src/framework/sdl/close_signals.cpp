#include "framework/sdl/close_signals.h"

#include <signal.h>

#include <initializer_list>

namespace vx {

namespace {

// raise is safe in a signal handler; SDL's handler only marks a quit event
// as pending, which its event loop then delivers.
void SendOnAsTerminate(int) { raise(SIGTERM); }

bool HandlerInstalled(int number) {
    struct sigaction current {};
    if (sigaction(number, nullptr, &current) != 0) return false;
    if ((current.sa_flags & SA_SIGINFO) != 0) return true;
    return current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN;
}

bool Ignored(int number) {
    struct sigaction current {};
    return sigaction(number, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

void TreatHangUpAndQuitAsCloseRequests() {
    if (!HandlerInstalled(SIGTERM)) return;
    struct sigaction action {};
    action.sa_handler = SendOnAsTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGHUP, SIGQUIT}) {
        if (!Ignored(number)) sigaction(number, &action, nullptr);
    }
}

}  // namespace vx
