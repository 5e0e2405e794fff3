// The display's refresh periods by a millisecond clock: what a
// vertical-blank wait falls back to where the display gives no signal.
#pragma once

#include <functional>

#include "platform/win_types.h"

namespace vx::dx {

// Milliseconds from nowMs to the start of the next refresh period of a
// display refreshing refreshRate times a second (60 when it is 0 or 1),
// periods counted from clock time 0; always at least 1.
win::DWORD MsUntilNextRefresh(win::DWORD nowMs, int refreshRate);

// Returns at the start of the next refresh period by the clock nowMs,
// sleeping with sleepMs meanwhile.
void WaitForNextRefreshPeriod(const std::function<win::DWORD()>& nowMs, const std::function<void(win::DWORD)>& sleepMs,
                              int refreshRate);

// Whether a system's vertical-blank wait really waits. Some systems answer
// the wait at once (an emulated display); a frame loop that relied on it
// would then outrun the refresh rate. A wait that returns at once three
// times running is taken as such a display until a wait blocks again; a
// single early return is a wait that began just before the blank.
class VerticalBlankSignal {
public:
    static constexpr win::DWORD kAtOnceMs = 1;
    static constexpr int kAtOnceRunning = 3;

    // A wait that took elapsedMs by the millisecond clock; true when the
    // caller must wait for the next refresh period by the clock instead.
    bool Observe(win::DWORD elapsedMs);

private:
    int m_atOnceRunning = 0;
};

}  // namespace vx::dx
