// The window back end on SDL: the one place of the framework that talks to
// SDL. Besides the windows every back end has, it makes owned windows for
// the framework's error box and offers the display's OpenGL device to the
// video test's render surface (video/render_surface_host.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "framework/backend.h"
#include "framework/sdl/x11_colours.h"
#include "framework/sdl/x11_screen.h"
#include "video/render_surface_host.h"

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace vx {

// There is no display to open a window on.
class DisplayUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// It offers no system error box: SDL's own needs X core fonts or a helper
// program that a bare desktop lacks, so the framework's error box serves, in
// owned windows.
class SdlBackend final : public WindowBackend, public OwnedWindowHost, public DisplayDeviceHost {
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
    void Present(WindowId window, const Bitmap& frame, const Region& parts) override;
    void SetCursor(TCursor cursor) override;
    void SetClipboardText(const std::string& utf8) override;
    DisplayFacts Display() const override;
    // SDL's windows have no handle that the system's services take.
    std::uintptr_t SystemWindowHandle(WindowId /*window*/) const override { return 0; }
    ErrorBoxSupport ErrorBoxes() override { return static_cast<OwnedWindowHost*>(this); }

    // OwnedWindowHost
    WindowId CreateOwnedWindow(const WindowSettings& settings) override;
    void DestroyOwnedWindow(WindowId window) override;

    // DisplayDeviceHost: OpenGL through a hidden window of its own.
    std::shared_ptr<dx::DeviceFactory> DisplayDeviceFactory() override;

private:
    // The framework's id of an SDL window, or kNoWindow for one it does not
    // know (the OpenGL device's hidden window).
    WindowId IdOf(std::uint32_t sdlWindowId) const;
    SDL_Window* WindowOf(WindowId window) const;
    std::optional<WindowEvent> Translate(const SDL_Event& e) const;
    int ChooseScale(int clientWidth, int clientHeight) const;
    // On a display of 256 colours, the window's own way to the screen.
    void LearnIndexedColours(WindowId id, SDL_Window* window);

    struct CursorDeleter {
        void operator()(SDL_Cursor* cursor) const;
    };
    struct WindowDeleter {
        void operator()(SDL_Window* window) const;
    };

    // The window shown at a whole multiple of its image on a high-density
    // screen (framework/display_scale.h): sizes and the image scaled up,
    // the mouse scaled back.
    int m_scale = 1;
    // The X screen's settings and, on one of 256 colours, its own visual.
    sdl::X11ScreenFacts m_x11;
    std::unique_ptr<SDL_Window, WindowDeleter> m_window;
    std::map<WindowId, std::unique_ptr<SDL_Window, WindowDeleter>> m_owned;
    WindowId m_nextOwned = kMainWindow + 1;
    std::map<TCursor, std::unique_ptr<SDL_Cursor, CursorDeleter>> m_cursors;
    // The windows on a display of 256 colours, which SDL cannot draw.
    std::map<WindowId, std::unique_ptr<sdl::X11IndexedWindow>> m_indexed;
};

}  // namespace vx
