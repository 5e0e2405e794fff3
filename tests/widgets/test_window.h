// An application with no window system behind it, for widget tests that
// need a form (repaint requests, timers) but never show one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/application.h"
#include "framework/backend.h"

namespace vx::widget_test {

class ManualClock final : public MonotonicClock {
public:
    std::uint64_t NowMs() const override { return m_now; }
    void Advance(std::uint64_t ms) { m_now += ms; }

private:
    std::uint64_t m_now = 1000;
};

class NoWindowBackend final : public WindowBackend {
public:
    void CreateMainWindow(const WindowSpec&) override {}
    void SetCaption(const std::string&) override {}
    void DestroyMainWindow() override {}
    std::optional<WindowEvent> PollEvent() override { return std::nullopt; }
    std::optional<WindowEvent> WaitEvent(int) override { return std::nullopt; }
    void Present(const Bitmap&, const Region&) override {}
    void SetCursor(TCursor) override {}
    void ShowErrorBox(const std::string&, const std::string&) override {}
    DisplayFacts Display() const override { return {}; }
};

}  // namespace vx::widget_test
