// The window backend on SDL: the one place of the framework that talks to SDL.
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
// program that a bare desktop lacks, so the framework's error box serves.
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
    WindowId CreateOwnedWindow(const WindowSettings& settings) override;
    void DestroyOwnedWindow(WindowId window) override;
    std::optional<WindowEvent> PollEvent() override;
    std::optional<WindowEvent> WaitEvent(int timeoutMs) override;
    void Present(WindowId window, const Bitmap& frame, const Region& parts) override;
    void SetCursor(TCursor cursor) override;
    void SetClipboardText(const std::string& utf8) override;
    DisplayFacts Display() const override;
    // OpenGL through a hidden window of its own.
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
