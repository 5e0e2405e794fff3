#include "platform/dx/soft/vertical_blank.h"

#include <algorithm>
#include <cstdint>

namespace vx::dx {

using win::DWORD;

DWORD MsUntilNextRefresh(DWORD nowMs, int refreshRate) {
    const std::uint64_t rate = refreshRate <= 1 ? 60u : static_cast<std::uint64_t>(std::min(refreshRate, 1000));
    const std::uint64_t now = nowMs;
    const std::uint64_t nextPeriod = now * rate / 1000 + 1;
    const std::uint64_t boundary = (nextPeriod * 1000 + rate - 1) / rate;
    return static_cast<DWORD>(std::max<std::uint64_t>(boundary - now, 1));
}

void WaitForNextRefresh(PresentationTarget& target) {
    if (target.WaitForVerticalBlank()) return;
    const DWORD start = target.NowMs();
    const DWORD wait = MsUntilNextRefresh(start, target.CurrentDisplayMode().refreshRate);
    // Bounded, so that a clock that stands still cannot hang the frame loop.
    for (int attempt = 0; attempt < 64; ++attempt) {
        const DWORD elapsed = target.NowMs() - start;
        if (elapsed >= wait) return;
        target.SleepMs(wait - elapsed);
    }
}

}  // namespace vx::dx
