// The window backend on SDL: the one place of the framework that talks to SDL.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "framework/backend.h"

struct SDL_Window;
struct SDL_Cursor;

namespace vx {

// There is no display to open a window on.
class DisplayUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SdlBackend final : public WindowBackend {
public:
    // Opens the video subsystem; throws DisplayUnavailable without a display.
    SdlBackend();
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    void CreateMainWindow(const WindowSettings& settings) override;
    void SetCaption(const std::string& caption) override;
    void DestroyMainWindow() override;
    std::optional<WindowEvent> PollEvent() override;
    std::optional<WindowEvent> WaitEvent(int timeoutMs) override;
    void Present(const Bitmap& frame, const Region& parts) override;
    void SetCursor(TCursor cursor) override;
    void ShowErrorBox(const std::string& title, const std::string& message) override;
    DisplayFacts Display() const override;
    // OpenGL through a hidden window of its own.
    std::shared_ptr<dx::DeviceFactory> DisplayDeviceFactory() override;

private:
    std::uint32_t MainWindowId() const;

    struct CursorDeleter {
        void operator()(SDL_Cursor* cursor) const;
    };
    struct WindowDeleter {
        void operator()(SDL_Window* window) const;
    };

    std::unique_ptr<SDL_Window, WindowDeleter> m_window;
    std::map<TCursor, std::unique_ptr<SDL_Cursor, CursorDeleter>> m_cursors;
};

}  // namespace vx
