#include "framework/timer.h"

#include <vector>

#include "framework/application.h"

namespace vx {

TimerQueue::TimerId TimerQueue::Start(unsigned intervalMs, std::function<void()> onTick) {
    TimerId id = m_nextId++;
    m_timers.emplace(id, Timer{intervalMs, m_clock.NowMs() + intervalMs, std::move(onTick)});
    return id;
}

void TimerQueue::Stop(TimerId id) { m_timers.erase(id); }

std::optional<std::uint64_t> TimerQueue::MsUntilNextDue() const {
    if (m_timers.empty()) return std::nullopt;
    std::uint64_t now = m_clock.NowMs();
    std::uint64_t earliest = UINT64_MAX;
    for (const auto& [id, t] : m_timers) earliest = std::min(earliest, t.dueMs);
    return earliest <= now ? 0 : earliest - now;
}

int TimerQueue::DeliverDue(const std::function<void(const std::function<void()>&)>& dispatch) {
    std::uint64_t now = m_clock.NowMs();
    std::vector<std::pair<std::uint64_t, TimerId>> due;
    for (const auto& [id, t] : m_timers) {
        if (t.dueMs <= now) due.emplace_back(t.dueMs, id);
    }
    std::sort(due.begin(), due.end());
    int delivered = 0;
    for (const auto& [dueMs, id] : due) {
        // An earlier tick's handler may have stopped or restarted this timer.
        auto it = m_timers.find(id);
        if (it == m_timers.end() || it->second.dueMs > now) continue;
        // The next tick is one period after this one is delivered: missed
        // periods are not made up.
        it->second.dueMs = now + std::max(it->second.intervalMs, 1u);
        std::function<void()> onTick = it->second.onTick;
        ++delivered;
        dispatch(onTick);
    }
    return delivered;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
    if (m_id) m_queue->Stop(*m_id);
}

void TTimer::SetInterval(unsigned intervalMs) {
    if (intervalMs == m_interval) return;
    m_interval = intervalMs;
    UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent onTimer) {
    m_onTimer = std::move(onTimer);
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (m_id) {
        m_queue->Stop(*m_id);
        m_id.reset();
    }
    Application* app = App();
    if (app == nullptr || Loading() || m_interval == 0 || !m_enabled || !m_onTimer) return;
    m_queue = &app->Timers();
    m_id = m_queue->Start(m_interval, [this] {
        if (m_onTimer) m_onTimer(this);
    });
}

}  // namespace vx
