// The frame clock: calls OnTimer from the application's idle processing, as
// often as the idle time allows but at most once per Interval milliseconds,
// and counts the frames it drives into a frames-per-second figure.
#pragma once

#include <cstdint>
#include <functional>

#include "framework/component.h"
#include "platform/system_services.h"

namespace vx {

using TDXTimerEvent = std::function<void(TObject* sender, int lagCount)>;

class TDXTimer : public TComponent {
public:
    TDXTimer(TComponent* owner, win::SystemServices& services);
    ~TDXTimer() override;

    // Run only while the application is the active one.
    bool ActiveOnly() const { return m_activeOnly; }
    void SetActiveOnly(bool activeOnly);
    bool Enabled() const { return m_enabled; }
    // Hooks or unhooks the clock (outside layout loading).
    void SetEnabled(bool enabled);
    int Interval() const { return m_interval; }
    void SetInterval(int intervalMs);
    // Frames per second over the last period of at least one second.
    int FrameRate() const { return m_frameRate; }
    bool Hooked() const { return m_hooked; }

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TDXTimerEvent OnTimer;

    void Loaded() override;

    // One turn of the application's idle processing (public for tests).
    void Idle(bool& done);

protected:
    virtual void DoActivate();
    virtual void DoDeactivate();
    virtual void DoTimer(int lagCount);

private:
    void Start();
    void Hook();
    void Unhook();
    void ActivationChanged(bool active);
    void ListenToActivation();

    win::SystemServices& m_services;
    bool m_activeOnly = true;
    bool m_enabled = true;
    int m_interval = 1000;
    unsigned m_minInterval = 1000;
    unsigned m_lagInterval = 1000;
    int m_frameRate = 0;
    int m_frameCount = 0;
    std::uint32_t m_lastFrameTime = 0;
    std::uint32_t m_lastRateTime = 0;
    bool m_running = false;
    bool m_hooked = false;
    int m_activationKey = 0;
};

// Frames over an elapsed span, per second, to the nearest whole number with
// halves to even.
int FramesPerSecond(int frames, std::uint32_t elapsedMs);

}  // namespace vx
