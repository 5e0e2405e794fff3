#include "video/dx_timer.h"

#include <algorithm>
#include <cmath>

#include "framework/application.h"

namespace vx {

TDXTimer::TDXTimer(TComponent* owner, win::SystemServices& services) : TComponent(owner), m_services(services) {}

TDXTimer::~TDXTimer() {
    Unhook();
    if (m_activationKey != 0 && App() != nullptr) App()->RemoveActivationListener(m_activationKey);
}

int FramesPerSecond(int frames, std::uint32_t elapsedMs) {
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<int>(std::nearbyint(static_cast<double>(frames) * 1000.0 / std::max<std::uint32_t>(elapsedMs, 1)));
}

void TDXTimer::SetActiveOnly(bool activeOnly) {
    m_activeOnly = activeOnly;
    if (m_running && !Loading()) Start();
}

void TDXTimer::SetEnabled(bool enabled) {
    m_enabled = enabled;
    if (Loading()) return;
    ListenToActivation();
    if (enabled) {
        Start();
    } else {
        Unhook();
        m_running = false;
    }
}

void TDXTimer::SetInterval(int intervalMs) {
    m_interval = intervalMs;
    m_minInterval = static_cast<unsigned>(std::max(intervalMs, 0));
    m_lagInterval = static_cast<unsigned>(std::max(intervalMs, 1));
}

void TDXTimer::Loaded() {
    TComponent::Loaded();
    ListenToActivation();
    if (m_enabled) Start();
}

void TDXTimer::Start() {
    Unhook();
    Application* app = App();
    if (!m_activeOnly || (app != nullptr && app->Active())) Hook();
    // Running even when not hooked: the next activation hooks it.
    m_running = true;
}

void TDXTimer::Hook() {
    Application* app = App();
    if (app == nullptr) return;
    m_lastFrameTime = m_services.timeGetTime();
    m_lastRateTime = m_lastFrameTime;
    app->SetOnIdle([this](bool& done) { Idle(done); });
    m_hooked = true;
}

void TDXTimer::Unhook() {
    if (!m_hooked) return;
    m_hooked = false;
    if (Application* app = App()) app->SetOnIdle(nullptr);
}

void TDXTimer::ListenToActivation() {
    Application* app = App();
    if (m_activationKey != 0 || app == nullptr) return;
    m_activationKey = app->AddActivationListener([this](bool active) { ActivationChanged(active); });
}

void TDXTimer::ActivationChanged(bool active) {
    if (active) {
        DoActivate();
        if (m_running && m_activeOnly) Hook();
    } else {
        DoDeactivate();
        if (m_running && m_activeOnly) Unhook();
    }
}

void TDXTimer::Idle(bool& done) {
    // A busy loop through the idle contract: never let the loop wait.
    done = false;
    std::uint32_t t = m_services.timeGetTime();
    std::uint32_t sinceFrame = t - m_lastFrameTime;
    if (sinceFrame < m_minInterval) return;
    int lagCount = std::max(static_cast<int>(sinceFrame / m_lagInterval), 1);
    m_lastFrameTime = t;
    ++m_frameCount;
    std::uint32_t elapsed = std::max<std::uint32_t>(t - m_lastRateTime, 1);
    if (elapsed >= 1000) {
        m_frameRate = FramesPerSecond(m_frameCount, elapsed);
        m_frameCount = 0;
        m_lastRateTime = t;
    }
    DoTimer(lagCount);
}

void TDXTimer::DoActivate() {
    if (OnActivate) OnActivate(this);
}

void TDXTimer::DoDeactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TDXTimer::DoTimer(int lagCount) {
    if (OnTimer) OnTimer(this, lagCount);
}

}  // namespace vx
