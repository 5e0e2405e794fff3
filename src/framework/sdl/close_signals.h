// The signals that ask the program to end. SDL turns SIGINT and SIGTERM into
// a close request; a closed terminal (SIGHUP) and the quit key (SIGQUIT)
// must end the program the same way, so that a running check unwinds and
// removes what it made instead of the process dying in the middle of it.
#pragma once

namespace vx {

// Call after SDL_Init. SIGHUP and SIGQUIT are sent on as SIGTERM, to the
// handler SDL installed there; a signal that was ignored when the program
// started (nohup) stays ignored, and nothing changes when SDL did not take
// SIGTERM.
void TreatHangUpAndQuitAsCloseRequests();

}  // namespace vx
