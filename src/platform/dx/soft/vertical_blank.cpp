#include "platform/dx/soft/vertical_blank.h"

#include "platform/dx/refresh_clock.h"

namespace vx::dx {

using win::DWORD;

void WaitForNextRefresh(PresentationTarget& target) {
    if (target.WaitForVerticalBlank()) return;
    WaitForNextRefreshPeriod([&target] { return target.NowMs(); }, [&target](DWORD ms) { target.SleepMs(ms); },
                             target.CurrentDisplayMode().refreshRate);
}

}  // namespace vx::dx
