// Sections: Keys and cursors; Start-up; Windows; Events; Presenting, the cursor and the display.
#include "framework/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "framework/display_scale.h"
#include "framework/keys.h"
#include "framework/sdl/close_signals.h"
#include "framework/sdl/x11_error_filter.h"
#include "framework/sdl/x11_screen.h"
#include "platform/dx/gl/gl_device_factory.h"

namespace vx {

// ---------------------------------------------------------------- Keys and cursors

namespace {

TShiftState ShiftState(Uint16 keyMod) {
    TShiftState shift = 0;
    if (keyMod & KMOD_SHIFT) shift |= ssShift;
    if (keyMod & KMOD_CTRL) shift |= ssCtrl;
    if (keyMod & KMOD_ALT) shift |= ssAlt;
    Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    if (buttons & SDL_BUTTON_LMASK) shift |= ssLeft;
    if (buttons & SDL_BUTTON_RMASK) shift |= ssRight;
    if (buttons & SDL_BUTTON_MMASK) shift |= ssMiddle;
    return shift;
}

// SDL's key in the platform's virtual-key codes; 0 for keys the framework
// does not use.
int VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    switch (key) {
        case SDLK_BACKSPACE:
            return vkBack;
        case SDLK_TAB:
            return vkTab;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return vkReturn;
        case SDLK_ESCAPE:
            return vkEscape;
        case SDLK_SPACE:
            return vkSpace;
        case SDLK_PAGEUP:
            return vkPrior;
        case SDLK_PAGEDOWN:
            return vkNext;
        case SDLK_END:
            return vkEnd;
        case SDLK_HOME:
            return vkHome;
        case SDLK_LEFT:
            return vkLeft;
        case SDLK_UP:
            return vkUp;
        case SDLK_RIGHT:
            return vkRight;
        case SDLK_DOWN:
            return vkDown;
        case SDLK_INSERT:
            return vkInsert;
        case SDLK_DELETE:
            return vkDelete;
        case SDLK_F4:
            return vkF4;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return vkShift;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return vkControl;
        case SDLK_LALT:
        case SDLK_RALT:
            return vkMenu;
        default:
            return 0;
    }
}

SDL_SystemCursor SystemCursorFor(TCursor cursor) {
    switch (cursor) {
        case crHandPoint:
            return SDL_SYSTEM_CURSOR_HAND;
        case crIBeam:
            return SDL_SYSTEM_CURSOR_IBEAM;
        case crHourGlass:
            return SDL_SYSTEM_CURSOR_WAIT;
        case crCross:
            return SDL_SYSTEM_CURSOR_CROSSHAIR;
        case crNo:
            return SDL_SYSTEM_CURSOR_NO;
        case crSizeAll:
            return SDL_SYSTEM_CURSOR_SIZEALL;
        default:
            return SDL_SYSTEM_CURSOR_ARROW;
    }
}

}  // namespace

void SdlBackend::CursorDeleter::operator()(SDL_Cursor* cursor) const { SDL_FreeCursor(cursor); }
void SdlBackend::WindowDeleter::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }

// ---------------------------------------------------------------- Start-up

namespace {

bool NonEmptyEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Whether a display server may be reachable at all. Without one SDL would
// fall back to an invisible window, and a program nobody can see must not
// keep running.
bool DisplayServerNamed() {
    if (NonEmptyEnv("DISPLAY") || NonEmptyEnv("WAYLAND_DISPLAY")) return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime != nullptr && *runtime != '\0' && std::filesystem::exists(std::filesystem::path(runtime) / "wayland-0");
}

bool InvisibleDriver(const char* driver) {
    return driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

}  // namespace

SdlBackend::SdlBackend() {
    // A driver asked for by name (tests use the invisible ones) is taken as asked.
    bool driverAskedFor = NonEmptyEnv("SDL_VIDEODRIVER");
    if (!driverAskedFor && !DisplayServerNamed()) {
        throw DisplayUnavailable("cannot open the display: no X11 or Wayland display is set (DISPLAY, WAYLAND_DISPLAY)");
    }
    sdl::InstallX11ErrorFilter();
    // The window's image is copied into a plain framebuffer: asking SDL for
    // an accelerated one would load OpenGL at start-up, which only the video
    // test needs.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        throw DisplayUnavailable(std::string("cannot open the display: ") + SDL_GetError());
    }
    if (!driverAskedFor && InvisibleDriver(SDL_GetCurrentVideoDriver())) {
        SDL_Quit();
        throw DisplayUnavailable("cannot open the display: no X11 or Wayland server answers");
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::strcmp(driver, "x11") == 0) m_x11 = sdl::ReadX11ScreenFacts();
    TreatHangUpAndQuitAsCloseRequests();
}

SdlBackend::~SdlBackend() {
    m_cursors.clear();
    m_owned.clear();
    m_window.reset();
    SDL_Quit();
}

int SdlBackend::ChooseScale(int clientWidth, int clientHeight) const {
    ScaleRequest request;
    const char* gdkScale = std::getenv("GDK_SCALE");
    if (gdkScale != nullptr && *gdkScale != '\0') request.gdkScale = gdkScale;
    if (m_x11.resources) request.xResources = *m_x11.resources;
    SDL_Rect usable{};
    ScreenRoom screen;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0) screen = {usable.w, usable.h};
    return DisplayScale(request, screen, clientWidth, clientHeight);
}

// ---------------------------------------------------------------- Windows

void SdlBackend::CreateMainWindow(const WindowSettings& settings) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (settings.resizable) flags |= SDL_WINDOW_RESIZABLE;
    int pos = settings.centred ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : static_cast<int>(SDL_WINDOWPOS_UNDEFINED);
    m_scale = ChooseScale(settings.clientWidth, settings.clientHeight);
    if (m_x11.eightBitVisual) {
        SDL_SetHint(SDL_HINT_VIDEO_X11_WINDOW_VISUALID, std::to_string(*m_x11.eightBitVisual).c_str());
    }
    m_window.reset(SDL_CreateWindow(settings.caption.c_str(), pos, pos, settings.clientWidth * m_scale,
                                    settings.clientHeight * m_scale, flags));
    if (!m_window) throw DisplayUnavailable(std::string("cannot make the window: ") + SDL_GetError());
    if (settings.icon != nullptr && !settings.icon->Empty()) {
        SDL_Surface* icon =
            SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(settings.icon->Pixels().data()), settings.icon->Width(),
                                               settings.icon->Height(), 32, settings.icon->Width() * 4, SDL_PIXELFORMAT_RGB888);
        if (icon != nullptr) {
            SDL_SetWindowIcon(m_window.get(), icon);
            SDL_FreeSurface(icon);
        }
    }
    LearnIndexedColours(kMainWindow, m_window.get());
    SDL_ShowWindow(m_window.get());
}

void SdlBackend::LearnIndexedColours(WindowId id, SDL_Window* window) {
    m_indexed.erase(id);
    if (auto indexed = sdl::X11IndexedWindow::For(window)) m_indexed.emplace(id, std::move(indexed));
}

void SdlBackend::SetCaption(const std::string& caption) {
    if (m_window) SDL_SetWindowTitle(m_window.get(), caption.c_str());
}

void SdlBackend::DestroyMainWindow() {
    m_indexed.erase(kMainWindow);
    m_window.reset();
}

WindowId SdlBackend::CreateOwnedWindow(const WindowSettings& settings) {
    // Centred on the owner, or on the screen without one.
    int x = static_cast<int>(SDL_WINDOWPOS_CENTERED);
    int y = x;
    if (m_window) {
        int ownerX = 0, ownerY = 0, ownerWidth = 0, ownerHeight = 0;
        SDL_GetWindowPosition(m_window.get(), &ownerX, &ownerY);
        SDL_GetWindowSize(m_window.get(), &ownerWidth, &ownerHeight);
        x = ownerX + (ownerWidth - settings.clientWidth * m_scale) / 2;
        y = ownerY + (ownerHeight - settings.clientHeight * m_scale) / 2;
    }
    std::unique_ptr<SDL_Window, WindowDeleter> window(
        SDL_CreateWindow(settings.caption.c_str(), x, y, settings.clientWidth * m_scale, settings.clientHeight * m_scale,
                         SDL_WINDOW_HIDDEN | SDL_WINDOW_SKIP_TASKBAR));
    if (!window) throw DisplayUnavailable(std::string("cannot make the window: ") + SDL_GetError());
    // Kept above the owner by the window manager (where it can: X11).
    if (m_window) SDL_SetWindowModalFor(window.get(), m_window.get());
    SDL_ShowWindow(window.get());
    SDL_RaiseWindow(window.get());
    SDL_SetWindowInputFocus(window.get());
    const WindowId id = m_nextOwned++;
    LearnIndexedColours(id, window.get());
    m_owned.emplace(id, std::move(window));
    return id;
}

void SdlBackend::DestroyOwnedWindow(WindowId window) {
    m_indexed.erase(window);
    m_owned.erase(window);
    if (m_window) {
        SDL_RaiseWindow(m_window.get());
        SDL_SetWindowInputFocus(m_window.get());
    }
}

// ---------------------------------------------------------------- Events

WindowId SdlBackend::IdOf(Uint32 sdlWindowId) const {
    if (m_window && SDL_GetWindowID(m_window.get()) == sdlWindowId) return kMainWindow;
    for (const auto& [id, window] : m_owned) {
        if (SDL_GetWindowID(window.get()) == sdlWindowId) return id;
    }
    return kNoWindow;
}

SDL_Window* SdlBackend::WindowOf(WindowId window) const {
    if (window == kMainWindow) return m_window.get();
    auto it = m_owned.find(window);
    return it != m_owned.end() ? it->second.get() : nullptr;
}

// SDL's events in the framework's terms; nothing for events the framework
// does not use, nor for those of windows it does not know (the OpenGL
// device keeps a hidden window of its own).
std::optional<WindowEvent> SdlBackend::Translate(const SDL_Event& e) const {
    WindowEvent out;
    switch (e.type) {
        case SDL_MOUSEMOTION:
            out.kind = WindowEvent::MouseMove;
            out.window = IdOf(e.motion.windowID);
            out.x = e.motion.x / m_scale;
            out.y = e.motion.y / m_scale;
            out.shift = ShiftState(SDL_GetModState());
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT &&
                e.button.button != SDL_BUTTON_MIDDLE) {
                return std::nullopt;
            }
            out.kind = e.type == SDL_MOUSEBUTTONDOWN ? WindowEvent::MouseDown : WindowEvent::MouseUp;
            out.window = IdOf(e.button.windowID);
            out.x = e.button.x / m_scale;
            out.y = e.button.y / m_scale;
            out.button = e.button.button == SDL_BUTTON_LEFT ? mbLeft : e.button.button == SDL_BUTTON_RIGHT ? mbRight : mbMiddle;
            out.shift = ShiftState(SDL_GetModState());
            if (e.button.clicks >= 2) out.shift |= ssDouble;
            break;
        case SDL_MOUSEWHEEL: {
            const int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            if (notches == 0) return std::nullopt;
            out.kind = WindowEvent::MouseWheel;
            out.window = IdOf(e.wheel.windowID);
            out.wheelDelta = notches * kWheelDelta;
            out.x = e.wheel.mouseX / m_scale;
            out.y = e.wheel.mouseY / m_scale;
            out.shift = ShiftState(SDL_GetModState());
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            out.kind = e.type == SDL_KEYDOWN ? WindowEvent::KeyDown : WindowEvent::KeyUp;
            out.window = IdOf(e.key.windowID);
            out.key = VirtualKey(e.key.keysym.sym);
            out.shift = ShiftState(e.key.keysym.mod);
            if (out.key == 0) return std::nullopt;
            break;
        case SDL_QUIT:
            // The session or a signal asks the program to end.
            out.kind = WindowEvent::CloseRequested;
            out.window = kNoWindow;
            return out;
        case SDL_WINDOWEVENT:
            out.window = IdOf(e.window.windowID);
            switch (e.window.event) {
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    out.kind = WindowEvent::FocusGained;
                    break;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    out.kind = WindowEvent::FocusLost;
                    break;
                case SDL_WINDOWEVENT_CLOSE:
                    out.kind = WindowEvent::CloseRequested;
                    break;
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_SHOWN:
                    out.kind = WindowEvent::Exposed;
                    break;
                case SDL_WINDOWEVENT_MINIMIZED:
                case SDL_WINDOWEVENT_HIDDEN:
                    out.kind = WindowEvent::Hidden;
                    break;
                case SDL_WINDOWEVENT_LEAVE:
                    out.kind = WindowEvent::PointerLeft;
                    break;
                default:
                    return std::nullopt;
            }
            break;
        default:
            return std::nullopt;
    }
    if (out.window == kNoWindow) return std::nullopt;
    return out;
}

std::optional<WindowEvent> SdlBackend::PollEvent() {
    SDL_Event e;
    while (SDL_PollEvent(&e) == 1) {
        if (auto out = Translate(e)) return out;
    }
    return std::nullopt;
}

std::optional<WindowEvent> SdlBackend::WaitEvent(int timeoutMs) {
    if (timeoutMs == 0) return PollEvent();
    Uint32 start = SDL_GetTicks();
    for (;;) {
        SDL_Event e;
        int waited;
        if (timeoutMs < 0) {
            waited = SDL_WaitEvent(&e);
        } else {
            int left = timeoutMs - static_cast<int>(SDL_GetTicks() - start);
            if (left <= 0) return PollEvent();
            waited = SDL_WaitEventTimeout(&e, left);
        }
        if (waited != 1) return std::nullopt;
        if (auto out = Translate(e)) return out;
    }
}

// ---------------------------------------------------------------- Presenting, the cursor and the display

void SdlBackend::Present(WindowId window, const Bitmap& frame, const Region& parts) {
    SDL_Window* sdlWindow = WindowOf(window);
    if (sdlWindow == nullptr || frame.Empty() || parts.IsEmpty()) return;
    if (auto indexed = m_indexed.find(window); indexed != m_indexed.end()) {
        for (const TRect& r : parts.Rects()) {
            const TRect part{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, frame.Width()),
                             std::min(r.Bottom, frame.Height())};
            indexed->second->Put(frame.Pixels().data(), frame.Width(), part.Left, part.Top, part.Width(), part.Height(), m_scale);
        }
        return;
    }
    SDL_Surface* target = SDL_GetWindowSurface(sdlWindow);
    if (target == nullptr) return;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(frame.Pixels().data()), frame.Width(),
                                                             frame.Height(), 32, frame.Width() * 4, SDL_PIXELFORMAT_RGB888);
    if (source == nullptr) return;
    std::vector<SDL_Rect> rects;
    for (const TRect& r : parts.Rects()) {
        SDL_Rect rect{r.Left, r.Top, r.Width(), r.Height()};
        SDL_Rect dest{r.Left * m_scale, r.Top * m_scale, r.Width() * m_scale, r.Height() * m_scale};
        // Scaled, SDL's software blit takes the nearest pixel: each pixel
        // becomes a block, never smoothed.
        if (m_scale == 1) {
            SDL_BlitSurface(source, &rect, target, &dest);
        } else {
            SDL_BlitScaled(source, &rect, target, &dest);
        }
        rects.push_back(dest);
    }
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurfaceRects(sdlWindow, rects.data(), static_cast<int>(rects.size()));
}

void SdlBackend::SetCursor(TCursor cursor) {
    auto it = m_cursors.find(cursor);
    if (it == m_cursors.end()) {
        it =
            m_cursors.emplace(cursor, std::unique_ptr<SDL_Cursor, CursorDeleter>(SDL_CreateSystemCursor(SystemCursorFor(cursor))))
                .first;
    }
    // Without a cursor theme (a display without one) the pointer keeps its shape.
    if (it->second) SDL_SetCursor(it->second.get());
}

void SdlBackend::SetClipboardText(const std::string& utf8) { SDL_SetClipboardText(utf8.c_str()); }

DisplayFacts SdlBackend::Display() const {
    DisplayFacts facts;
    int index = m_window ? SDL_GetWindowDisplayIndex(m_window.get()) : 0;
    if (index < 0) index = 0;
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(index, &mode) == 0) {
        // A desktop of 24-bit colour in 4-byte pixels counts as 32 bits.
        facts.bitsPerPixel = SDL_BYTESPERPIXEL(mode.format) == 4 ? 32 : static_cast<int>(SDL_BITSPERPIXEL(mode.format));
        // SDL knows no format of a colour-mapped screen.
        if (m_x11.eightBitVisual) facts.bitsPerPixel = 8;
        facts.refreshRate = mode.refresh_rate;
        facts.width = mode.w;
        facts.height = mode.h;
    }
    float hdpi = 0;
    if (SDL_GetDisplayDPI(index, nullptr, &hdpi, nullptr) == 0 && hdpi > 0) {
        facts.pixelsPerInch = static_cast<int>(hdpi + 0.5f);
    }
    return facts;
}

}  // namespace vx

namespace vx {

std::shared_ptr<dx::DeviceFactory> SdlBackend::DisplayDeviceFactory() { return std::make_shared<dx::gl::DeviceFactory>(); }

}  // namespace vx
