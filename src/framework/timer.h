// Window timers: a queue of periodic timers on the application's monotonic
// clock. A due timer delivers one tick (ticks do not pile up) on the one
// thread, from the message loop or a message pump.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "framework/component.h"
#include "platform/clock.h"

namespace vx {

class TimerQueue {
public:
    explicit TimerQueue(const MonotonicClock& clock) : m_clock(clock) {}

    using TimerId = std::uint64_t;
    // Starts a timer whose first tick is due intervalMs from now.
    TimerId Start(unsigned intervalMs, std::function<void()> onTick);
    void Stop(TimerId id);
    bool Running(TimerId id) const { return m_timers.contains(id); }

    // Milliseconds until the next tick is due (0 when one is due now), or
    // nothing when no timer runs.
    std::optional<std::uint64_t> MsUntilNextDue() const;
    // Delivers one tick to every timer that is due now, in the order they
    // fall due. A tick's handler may start, stop or re-enter timers.
    // Returns the number of ticks delivered.
    int DeliverDue(const std::function<void(const std::function<void()>&)>& dispatch);

private:
    struct Timer {
        unsigned intervalMs;
        std::uint64_t dueMs;
        std::function<void()> onTick;
    };
    const MonotonicClock& m_clock;
    std::map<TimerId, Timer> m_timers;
    TimerId m_nextId = 1;
};

// The timer component: OnTimer every Interval milliseconds while Enabled.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    unsigned Interval() const { return m_interval; }
    void SetInterval(unsigned intervalMs);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    const TNotifyEvent& OnTimer() const { return m_onTimer; }
    void SetOnTimer(TNotifyEvent onTimer);

    void Loaded() override;

private:
    // Stops the running timer and starts a new one when it should run.
    void UpdateTimer();

    unsigned m_interval = 1000;
    bool m_enabled = true;
    TNotifyEvent m_onTimer;
    std::optional<TimerQueue::TimerId> m_id;
    TimerQueue* m_queue = nullptr;  // where the running timer was started
};

}  // namespace vx
