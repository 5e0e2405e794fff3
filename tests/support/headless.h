// An off-screen window backend and a hand-moved clock, so that the framework
// and the main window run in tests without a display.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/backend.h"
#include "platform/clock.h"

namespace vx::test {

class ManualClock final : public MonotonicClock {
public:
    std::uint64_t NowMs() const override { return m_now; }
    void Advance(std::uint64_t ms) { m_now += ms; }

private:
    std::uint64_t m_now = 1000;
};

class HeadlessBackend final : public WindowBackend {
public:
    void CreateMainWindow(const WindowSettings& settings) override {
        created = true;
        lastSettings = settings;
    }
    void SetCaption(const std::string& caption) override { lastSettings.caption = caption; }
    void DestroyMainWindow() override { created = false; }

    std::optional<WindowEvent> PollEvent() override {
        if (queue.empty()) return std::nullopt;
        WindowEvent e = queue.front();
        queue.pop_front();
        return e;
    }
    // Never blocks: an empty queue answers at once. onWait sees how long the
    // loop would have waited and may queue events.
    std::optional<WindowEvent> WaitEvent(int timeoutMs) override {
        if (onWait) onWait(timeoutMs);
        return PollEvent();
    }
    std::function<void(int timeoutMs)> onWait;

    void Present(const Bitmap& frame, const Region& parts) override {
        ++presentCount;
        lastFrame = frame;
        for (const TRect& r : parts.Rects()) presented.Add(r);
    }
    void SetCursor(TCursor cursor) override { this->cursor = cursor; }
    void ShowErrorBox(const std::string& title, const std::string& message) override {
        errorBoxes.push_back(title + ": " + message);
    }
    DisplayFacts Display() const override { return display; }
    std::shared_ptr<dx::DeviceFactory> DisplayDeviceFactory() override { return displayDevice; }

    // Queues a left click (press and release) at a window point.
    void Click(int x, int y, TMouseButton button = mbLeft) {
        queue.push_back(WindowEvent{WindowEvent::MouseMove, x, y, mbLeft, 0});
        queue.push_back(WindowEvent{WindowEvent::MouseDown, x, y, button, 0});
        queue.push_back(WindowEvent{WindowEvent::MouseUp, x, y, button, 0});
    }

    std::deque<WindowEvent> queue;
    bool created = false;
    WindowSettings lastSettings;
    int presentCount = 0;
    Bitmap lastFrame;
    Region presented;
    TCursor cursor = crDefault;
    std::vector<std::string> errorBoxes;
    DisplayFacts display{32, 60, 1024, 768, 96};
    std::shared_ptr<dx::DeviceFactory> displayDevice;  // none unless a test gives one
};

}  // namespace vx::test
