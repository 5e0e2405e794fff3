#include "platform/dx/refresh_clock.h"

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

void WaitForNextRefreshPeriod(const std::function<DWORD()>& nowMs, const std::function<void(DWORD)>& sleepMs, int refreshRate) {
    const DWORD start = nowMs();
    const DWORD wait = MsUntilNextRefresh(start, refreshRate);
    // Bounded, so that a clock that stands still cannot hang the frame loop.
    for (int attempt = 0; attempt < 64; ++attempt) {
        const DWORD elapsed = nowMs() - start;
        if (elapsed >= wait) return;
        sleepMs(wait - elapsed);
    }
}

bool VerticalBlankSignal::Observe(DWORD elapsedMs) {
    if (elapsedMs > kAtOnceMs) {
        m_atOnceRunning = 0;
        return false;
    }
    m_atOnceRunning = std::min(m_atOnceRunning + 1, kAtOnceRunning);
    return m_atOnceRunning >= kAtOnceRunning;
}

}  // namespace vx::dx
