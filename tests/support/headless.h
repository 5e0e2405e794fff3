// An off-screen window back end and a hand-moved clock, so that the framework
// and the main window run in tests without a display. The back end plays
// either kind of system: one with an error box of its own (the default) or
// one whose errors show in the framework's box, in owned windows; and it
// offers the render surface a display device (video/render_surface_host.h),
// none unless a test gives one.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/backend.h"
#include "platform/clock.h"
#include "video/render_surface_host.h"

namespace vx::test {

class ManualClock final : public MonotonicClock {
public:
    std::uint64_t NowMs() const override { return m_now; }
    void Advance(std::uint64_t ms) { m_now += ms; }

private:
    std::uint64_t m_now = 1000;
};

class HeadlessBackend final : public WindowBackend, public SystemErrorBox, public OwnedWindowHost, public DisplayDeviceHost {
public:
    void CreateMainWindow(const WindowSettings& settings) override {
        created = true;
        lastSettings = settings;
    }
    void SetCaption(const std::string& caption) override { lastSettings.caption = caption; }
    void DestroyMainWindow() override { created = false; }
    WindowId CreateOwnedWindow(const WindowSettings& settings) override {
        const WindowId id = nextOwned++;
        ownedWindows[id] = settings;
        return id;
    }
    void DestroyOwnedWindow(WindowId window) override { ownedWindows.erase(window); }

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

    void Present(WindowId window, const Bitmap& frame, const Region& parts) override {
        if (window != kMainWindow) {
            ownedFrames[window] = frame;
            return;
        }
        ++presentCount;
        lastFrame = frame;
        for (const TRect& r : parts.Rects()) presented.Add(r);
    }
    void SetCursor(TCursor cursor) override { this->cursor = cursor; }
    // A system box by default, so that a test sees the messages; with
    // systemErrorBox false the framework's own box runs in owned windows,
    // driven by onWait.
    ErrorBoxSupport ErrorBoxes() override {
        if (systemErrorBox) return static_cast<SystemErrorBox*>(this);
        return static_cast<OwnedWindowHost*>(this);
    }
    void ShowErrorBox(const std::string& title, const std::string& message, const std::function<void()>&) override {
        errorBoxes.push_back(title + ": " + message);
    }
    void SetClipboardText(const std::string& utf8) override { clipboard = utf8; }
    int WheelScrollLines() const override { return wheelScrollLines; }
    DisplayFacts Display() const override { return display; }
    std::shared_ptr<dx::DeviceFactory> DisplayDeviceFactory() override { return displayDevice; }
    std::uintptr_t SystemWindowHandle(WindowId window) const override {
        return window == kMainWindow && created ? systemHandle : 0;
    }

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
    bool systemErrorBox = true;
    std::string clipboard;
    int wheelScrollLines = 3;
    std::map<WindowId, WindowSettings> ownedWindows;
    std::map<WindowId, Bitmap> ownedFrames;
    WindowId nextOwned = kMainWindow + 1;
    DisplayFacts display{32, 60, 1024, 768, 96};
    std::shared_ptr<dx::DeviceFactory> displayDevice;  // none unless a test gives one
    std::uintptr_t systemHandle = 0;                   // the main window's, as a system would number it
};

}  // namespace vx::test
