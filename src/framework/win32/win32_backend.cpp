// Sections: the window; the backend.
#include "framework/win32/win32_backend.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <utility>
#include <vector>

// The program's own headers come first: after them <windows.h> may define
// its macros without renaming anything the program declares.
#ifndef NOMINMAX
#define NOMINMAX
#endif
// Text goes through the system's wide calls (see WideFromUtf8).
#ifndef UNICODE
#define UNICODE
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <mmsystem.h>
#include <windowsx.h>

#include "platform/win32/gdi_objects.h"

namespace vx {

namespace {

constexpr wchar_t kWindowClass[] = L"TForm1";
constexpr wchar_t kOverlayClass[] = L"TDXDraw";

// The program's text is UTF-8; the system's "A" calls would read it in the
// user's code page and garble every Polish letter, so text goes through the
// wide calls. Malformed bytes become U+FFFD: a message is never lost.
std::wstring WideFromUtf8(const std::string& utf8) {
    if (utf8.empty()) return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (length <= 0) return std::wstring(utf8.begin(), utf8.end());
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string LastErrorText(const char* what) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, " (error %lu)", static_cast<unsigned long>(GetLastError()));
    return std::string(what) + buffer;
}

LPCWSTR SystemCursorFor(TCursor cursor) {
    switch (cursor) {
        case crHandPoint:
            return IDC_HAND;
        case crIBeam:
            return IDC_IBEAM;
        case crHourGlass:
            return IDC_WAIT;
        case crCross:
            return IDC_CROSS;
        case crNo:
            return IDC_NO;
        case crSizeAll:
            return IDC_SIZEALL;
        default:
            return IDC_ARROW;
    }
}

TShiftState ShiftStateOf(WPARAM keys) {
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    return shift;
}

using gdi::GdiObject;
using gdi::TopDownInfo;

struct IconDeleter {
    void operator()(HICON icon) const {
        if (icon != nullptr) DestroyIcon(icon);
    }
};
using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// The program's icon as the system's: the picture opaque, its mask empty.
Icon IconFrom(const Bitmap& picture) {
    if (picture.Empty()) return nullptr;
    BITMAPINFO info = TopDownInfo(picture.Width(), picture.Height());
    void* bits = nullptr;
    GdiObject colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!colour || bits == nullptr) return nullptr;
    auto* out = static_cast<std::uint32_t*>(bits);
    for (std::uint32_t pixel : picture.Pixels()) *out++ = pixel | 0xFF000000u;
    std::vector<std::uint8_t> noMask(static_cast<std::size_t>((picture.Width() + 15) / 16 * 2) * picture.Height(), 0);
    GdiObject mask(CreateBitmap(picture.Width(), picture.Height(), 1, 1, noMask.data()));
    if (!mask) return nullptr;
    ICONINFO iconInfo{};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmColor = static_cast<HBITMAP>(colour.get());
    iconInfo.hbmMask = static_cast<HBITMAP>(mask.get());
    return Icon(CreateIconIndirect(&iconInfo));
}

// An overlay draws nothing itself and lets the mouse through to the window
// beneath, whose framework decides what a click there means.
LRESULT CALLBACK OverlayProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            // The service that draws here shows its next picture soon.
            ValidateRect(window, nullptr);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterClassOnce(const WNDCLASSEXW& windowClass) {
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

// ---------------------------------------------------------------- the window

// The main window, its icon and the retained image the window shows. The
// image is a DIB section selected into a memory context: Present copies the
// changed parts into it and onto the screen, and WM_PAINT repaints from it
// without asking the framework, so the window stays drawn while the system
// runs a modal loop of its own (moving the window, an error box).
struct Win32Backend::Window {
    explicit Window(std::deque<WindowEvent>& events) : events(events) {}
    ~Window() {
        *alive = false;
        if (handle != nullptr) DestroyWindow(handle);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void Push(WindowEvent::Kind kind) {
        WindowEvent event;
        event.kind = kind;
        events.push_back(event);
    }
    void PushMouse(WindowEvent::Kind kind, TMouseButton button, WPARAM wParam, LPARAM lParam, bool twice = false);
    // The retained image at the frame's size; false when none can be made.
    bool EnsureImage(int width, int height) { return image.Resize(width, height); }
    void Blit(HDC target, const RECT& area) const {
        BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, image.Dc(), area.left, area.top,
               SRCCOPY);
    }

    std::deque<WindowEvent>& events;
    HWND handle = nullptr;
    Icon icon;
    gdi::DibSection image;
    HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW);
    // The overlay windows and their places in the client area.
    struct Overlay {
        TRect bounds;
        bool visible = false;
    };
    std::map<HWND, Overlay> overlays;
    // What runs while the system's error box is up, and its timer.
    static constexpr UINT_PTR kBoxTickTimer = 1;
    static constexpr UINT kBoxTickMs = 10;
    std::function<void()> whileBoxShown;
    bool inBoxTick = false;
    // False once the window is gone: a tick may close it.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    void PlaceOverlay(HWND overlay, const Overlay& place) const;
    bool minimised = false;
    bool trackingLeave = false;
};

void Win32Backend::Window::PushMouse(WindowEvent::Kind kind, TMouseButton button, WPARAM wParam, LPARAM lParam, bool twice) {
    WindowEvent event;
    event.kind = kind;
    event.x = GET_X_LPARAM(lParam);
    event.y = GET_Y_LPARAM(lParam);
    event.button = button;
    event.shift = ShiftStateOf(wParam);
    if (twice) event.shift |= ssDouble;
    events.push_back(event);
}

LRESULT CALLBACK Win32Backend::Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Window*>(create->lpCreateParams);
        self->handle = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->handle = nullptr;
        // The system has taken the owned overlays with the window.
        self->overlays.clear();
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT Win32Backend::Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (!trackingLeave) {
                TRACKMOUSEEVENT track{};
                track.cbSize = sizeof(track);
                track.dwFlags = TME_LEAVE;
                track.hwndTrack = handle;
                trackingLeave = TrackMouseEvent(&track) != FALSE;
            }
            PushMouse(WindowEvent::MouseMove, mbLeft, wParam, lParam);
            return 0;
        case WM_MOUSELEAVE:
            trackingLeave = false;
            Push(WindowEvent::PointerLeft);
            return 0;
        // A pressed button keeps the pointer's messages coming to the window
        // until every button is up, as a control's drag needs.
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCapture(handle);
            PushMouse(WindowEvent::MouseDown, mbLeft, wParam, lParam, message == WM_LBUTTONDBLCLK);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            SetCapture(handle);
            PushMouse(WindowEvent::MouseDown, mbRight, wParam, lParam, message == WM_RBUTTONDBLCLK);
            return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            SetCapture(handle);
            PushMouse(WindowEvent::MouseDown, mbMiddle, wParam, lParam, message == WM_MBUTTONDBLCLK);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            TMouseButton button = message == WM_LBUTTONUP ? mbLeft : message == WM_RBUTTONUP ? mbRight : mbMiddle;
            if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) ReleaseCapture();
            PushMouse(WindowEvent::MouseUp, button, wParam, lParam);
            return 0;
        }
        case WM_MOUSEWHEEL: {
            // The wheel's message names a point on the screen.
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(handle, &at);
            WindowEvent event;
            event.kind = WindowEvent::MouseWheel;
            event.x = at.x;
            event.y = at.y;
            event.shift = ShiftStateOf(GET_KEYSTATE_WPARAM(wParam));
            event.wheelDelta = GET_WHEEL_DELTA_WPARAM(wParam);
            events.push_back(event);
            return 0;
        }
        // The framework's keys are the system's virtual-key codes. Keys
        // with Alt still reach the system afterwards, so Alt+F4 closes.
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            WindowEvent event;
            event.kind = message == WM_KEYDOWN || message == WM_SYSKEYDOWN ? WindowEvent::KeyDown : WindowEvent::KeyUp;
            event.key = static_cast<int>(wParam);
            if (GetKeyState(VK_SHIFT) < 0) event.shift |= ssShift;
            if (GetKeyState(VK_CONTROL) < 0) event.shift |= ssCtrl;
            if (GetKeyState(VK_MENU) < 0) event.shift |= ssAlt;
            events.push_back(event);
            if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP) break;
            return 0;
        }
        case WM_SETFOCUS:
            Push(WindowEvent::FocusGained);
            return 0;
        case WM_KILLFOCUS:
            Push(WindowEvent::FocusLost);
            return 0;
        case WM_CLOSE:
            // The framework decides: the form closes, and the program ends
            // by destroying the window itself.
            Push(WindowEvent::CloseRequested);
            return 0;
        case WM_SHOWWINDOW:
            Push(wParam ? WindowEvent::Exposed : WindowEvent::Hidden);
            break;
        case WM_SIZE:
            // The overlays go and come back with the window (not every
            // system hides a minimised owner's pop-ups itself).
            if (wParam == SIZE_MINIMIZED) {
                minimised = true;
                for (const auto& [overlay, place] : overlays) ShowWindow(overlay, SW_HIDE);
                Push(WindowEvent::Hidden);
            } else if (minimised) {
                minimised = false;
                for (const auto& [overlay, place] : overlays) PlaceOverlay(overlay, place);
                Push(WindowEvent::Exposed);
            }
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                ::SetCursor(cursor);
                return TRUE;
            }
            break;
        case WM_ERASEBKGND:
            // The retained image covers the whole client area.
            return 1;
        case WM_MOVE:
            // A minimised owner keeps its overlays hidden (WM_SIZE).
            if (!IsIconic(handle)) {
                for (const auto& [overlay, place] : overlays) PlaceOverlay(overlay, place);
            }
            break;
        case WM_TIMER:
            if (wParam == kBoxTickTimer) {
                if (whileBoxShown && !inBoxTick) {
                    inBoxTick = true;
                    // Copied: the call may open a box of its own. Nothing
                    // may leave the window procedure through the system.
                    std::function<void()> tick = whileBoxShown;
                    const std::shared_ptr<bool> stillHere = alive;
                    try {
                        tick();
                    } catch (const std::exception& e) {
                        std::fprintf(stderr, "vidorex: %s\n", e.what());
                    } catch (...) {
                    }
                    if (*stillHere) inBoxTick = false;
                }
                return 0;
            }
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC target = BeginPaint(handle, &paint);
            if (target != nullptr && image.Bits() != nullptr) {
                GdiFlush();
                Blit(target, paint.rcPaint);
            }
            EndPaint(handle, &paint);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(handle, message, wParam, lParam);
}

// ---------------------------------------------------------------- the backend

// By default the system wakes sleepers and timed waits only every 15.6 ms, so
// a 60 Hz frame loop that sleeps to the next refresh would run at half rate
// and the video test would score the display, not the computer. One
// millisecond is what the frame clock's pacing needs.
struct Win32Backend::TimerPeriod {
    TimerPeriod() : set(timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~TimerPeriod() {
        if (set) timeEndPeriod(1);
    }
    TimerPeriod(const TimerPeriod&) = delete;
    TimerPeriod& operator=(const TimerPeriod&) = delete;

    bool set;
};

Win32Backend::Win32Backend() : m_timerPeriod(std::make_unique<TimerPeriod>()) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &Window::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    WNDCLASSEXW overlayClass{};
    overlayClass.cbSize = sizeof(overlayClass);
    overlayClass.lpfnWndProc = &OverlayProcedure;
    overlayClass.hInstance = GetModuleHandleW(nullptr);
    overlayClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    overlayClass.lpszClassName = kOverlayClass;
    if (!RegisterClassOnce(windowClass) || !RegisterClassOnce(overlayClass)) {
        throw Win32WindowError(LastErrorText("cannot register the window class"));
    }
}

Win32Backend::~Win32Backend() {
    m_window.reset();
    UnregisterClassW(kWindowClass, GetModuleHandleW(nullptr));
    UnregisterClassW(kOverlayClass, GetModuleHandleW(nullptr));
}

void Win32Backend::CreateMainWindow(const WindowSettings& settings) {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    if (settings.resizable) style |= WS_THICKFRAME;
    if (settings.maximizeBox) style |= WS_MAXIMIZEBOX;
    const DWORD extendedStyle = WS_EX_APPWINDOW;
    // The settings give the client area; the window is larger by its frame.
    RECT frame{0, 0, settings.clientWidth, settings.clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    if (settings.centred) {
        RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        x = work.left + std::max(0L, ((work.right - work.left) - width) / 2);
        y = work.top + std::max(0L, ((work.bottom - work.top) - height) / 2);
    }

    m_window.reset();
    m_events.clear();
    auto window = std::make_unique<Window>(m_events);
    if (!window->EnsureImage(std::max(settings.clientWidth, 1), std::max(settings.clientHeight, 1))) {
        throw Win32WindowError(LastErrorText("cannot make the window's image"));
    }
    const std::wstring caption = WideFromUtf8(settings.caption);
    if (CreateWindowExW(extendedStyle, kWindowClass, caption.c_str(), style, x, y, width, height, nullptr, nullptr,
                        GetModuleHandleW(nullptr), window.get()) == nullptr ||
        window->handle == nullptr) {
        throw Win32WindowError(LastErrorText("cannot make the window"));
    }
    if (settings.icon != nullptr) {
        window->icon = IconFrom(*settings.icon);
        if (window->icon) {
            SendMessageW(window->handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(window->icon.get()));
            SendMessageW(window->handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(window->icon.get()));
        }
    }
    window->cursor = LoadCursorW(nullptr, SystemCursorFor(m_cursor));
    m_window = std::move(window);
    ShowWindow(m_window->handle, SW_SHOWNORMAL);
    SetForegroundWindow(m_window->handle);
}

void Win32Backend::SetCaption(const std::string& caption) {
    if (m_window && m_window->handle != nullptr) SetWindowTextW(m_window->handle, WideFromUtf8(caption).c_str());
}

void Win32Backend::DestroyMainWindow() {
    m_window.reset();
    // What the window said on its way out concerns nobody now.
    m_events.clear();
}

std::optional<WindowEvent> Win32Backend::TakeEvent() {
    if (m_events.empty()) return std::nullopt;
    WindowEvent event = m_events.front();
    m_events.pop_front();
    return event;
}

bool Win32Backend::PumpUntilEvent() {
    MSG message;
    while (m_events.empty() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Someone asked the whole program to end (the session, a tool):
            // the window closes as if its close box had been clicked.
            WindowEvent close;
            close.kind = WindowEvent::CloseRequested;
            m_events.push_back(close);
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return !m_events.empty();
}

std::optional<WindowEvent> Win32Backend::PollEvent() {
    if (m_events.empty()) PumpUntilEvent();
    return TakeEvent();
}

std::optional<WindowEvent> Win32Backend::WaitEvent(int timeoutMs) {
    if (auto event = PollEvent()) return event;
    if (timeoutMs == 0) return std::nullopt;
    const DWORD start = GetTickCount();
    for (;;) {
        if (timeoutMs < 0) {
            // Nothing to wait for but the user: the system's own wait.
            MSG message;
            BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got == -1) return std::nullopt;
            if (got == 0) {
                WindowEvent close;
                close.kind = WindowEvent::CloseRequested;
                return close;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            // Until the next due timer of the framework's, or sooner input.
            const DWORD waited = GetTickCount() - start;
            if (waited >= static_cast<DWORD>(timeoutMs)) return PollEvent();
            DWORD result =
                MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(timeoutMs) - waited, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            if (result == WAIT_FAILED) return std::nullopt;
            // The tick count moves in steps of the system's tick (15.6 ms),
            // so the time left is not read again after a full wait.
            if (result == WAIT_TIMEOUT) return PollEvent();
        }
        if (auto event = PollEvent()) return event;
    }
}

void Win32Backend::Present(WindowId windowId, const Bitmap& frame, const Region& parts) {
    if (windowId != kMainWindow || !m_window || m_window->handle == nullptr || frame.Empty() || parts.IsEmpty()) return;
    Window& window = *m_window;
    if (!window.EnsureImage(frame.Width(), frame.Height())) return;
    // GDI may still be reading the image from an earlier call.
    GdiFlush();
    const TRect whole = TRect::FromSize(0, 0, frame.Width(), frame.Height());
    std::vector<RECT> shown;
    for (const TRect& part : parts.Rects()) {
        TRect r = part.Intersect(whole);
        if (r.IsEmpty()) continue;
        for (int y = r.Top; y < r.Bottom; ++y) {
            const std::uint32_t* from = frame.Row(y) + r.Left;
            std::copy(from, from + r.Width(), window.image.Bits() + static_cast<std::size_t>(y) * window.image.Width() + r.Left);
        }
        shown.push_back(RECT{r.Left, r.Top, r.Right, r.Bottom});
    }
    if (shown.empty() || window.minimised) return;
    HDC target = GetDC(window.handle);
    if (target == nullptr) {
        // Drawn later from the image, when the system asks.
        for (const RECT& r : shown) InvalidateRect(window.handle, &r, FALSE);
        return;
    }
    for (const RECT& r : shown) window.Blit(target, r);
    ReleaseDC(window.handle, target);
}

std::uintptr_t Win32Backend::CreateOverlayWindow(WindowId owner) {
    if (owner != kMainWindow || !m_window || m_window->handle == nullptr) return 0;
    HWND overlay = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kOverlayClass, L"", WS_POPUP, 0, 0, 1, 1,
                                   m_window->handle, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (overlay == nullptr) return 0;
    m_window->overlays[overlay] = Window::Overlay{};
    return reinterpret_cast<std::uintptr_t>(overlay);
}

void Win32Backend::Window::PlaceOverlay(HWND overlay, const Overlay& place) const {
    POINT origin{0, 0};
    ClientToScreen(handle, &origin);
    SetWindowPos(overlay, nullptr, origin.x + place.bounds.Left, origin.y + place.bounds.Top, std::max(place.bounds.Width(), 1),
                 std::max(place.bounds.Height(), 1),
                 SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOOWNERZORDER | (place.visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void Win32Backend::PlaceOverlayWindow(std::uintptr_t overlay, const TRect& bounds, bool visible) {
    if (!m_window) return;
    auto found = m_window->overlays.find(reinterpret_cast<HWND>(overlay));
    if (found == m_window->overlays.end()) return;
    found->second = Window::Overlay{bounds, visible};
    if (!m_window->minimised) m_window->PlaceOverlay(found->first, found->second);
}

void Win32Backend::DestroyOverlayWindow(std::uintptr_t overlay) {
    if (!m_window) return;
    auto found = m_window->overlays.find(reinterpret_cast<HWND>(overlay));
    if (found == m_window->overlays.end()) return;
    DestroyWindow(found->first);
    m_window->overlays.erase(found);
}

TPoint Win32Backend::ClientOriginOnScreen(WindowId windowId) const {
    POINT origin{0, 0};
    if (windowId == kMainWindow && m_window && m_window->handle != nullptr) ClientToScreen(m_window->handle, &origin);
    return TPoint{origin.x, origin.y};
}

std::uintptr_t Win32Backend::SystemWindowHandle(WindowId windowId) const {
    if (windowId != kMainWindow || !m_window) return 0;
    return reinterpret_cast<std::uintptr_t>(m_window->handle);
}

void Win32Backend::SetCursor(TCursor cursor) {
    m_cursor = cursor;
    if (!m_window || m_window->handle == nullptr) return;
    HCURSOR shape = LoadCursorW(nullptr, SystemCursorFor(cursor));
    if (shape == nullptr) return;
    m_window->cursor = shape;
    // At once when the pointer is over the client area; otherwise at its
    // next WM_SETCURSOR.
    POINT pointer;
    if (GetCursorPos(&pointer) && WindowFromPoint(pointer) == m_window->handle) {
        RECT client;
        ScreenToClient(m_window->handle, &pointer);
        GetClientRect(m_window->handle, &client);
        if (PtInRect(&client, pointer)) ::SetCursor(shape);
    }
}

namespace {

void ShowErrorBoxOwnedBy(HWND owner, const std::string& title, const std::string& message) {
    if (MessageBoxW(owner, WideFromUtf8(message).c_str(), WideFromUtf8(title).c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL) ==
        0) {
        // No box can be shown: the message must not be lost.
        std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
        OutputDebugStringW(WideFromUtf8(title + ": " + message).c_str());
    }
}

}  // namespace

void ShowSystemErrorBox(const std::string& title, const std::string& message) { ShowErrorBoxOwnedBy(nullptr, title, message); }

void Win32Backend::ShowErrorBox(const std::string& title, const std::string& message, const std::function<void()>& whileShown) {
    if (!m_window || m_window->handle == nullptr) {
        ShowErrorBoxOwnedBy(nullptr, title, message);
        return;
    }
    // The box's loop hands the main window its WM_TIMER; a box opened from
    // within a tick (an error in a timer) gets its own and gives the outer
    // one back when it closes.
    Window* window = m_window.get();
    std::function<void()> outer = std::exchange(window->whileBoxShown, whileShown);
    const bool ticking = SetTimer(window->handle, Window::kBoxTickTimer, Window::kBoxTickMs, nullptr) != 0;
    ShowErrorBoxOwnedBy(window->handle, title, message);
    // The window may have gone while the box was up.
    if (m_window.get() != window || window->handle == nullptr) return;
    if (ticking && !outer) KillTimer(window->handle, Window::kBoxTickTimer);
    window->whileBoxShown = std::move(outer);
}

void Win32Backend::SetClipboardText(const std::string& utf8) {
    if (!m_window || m_window->handle == nullptr) return;
    // The system's text has its lines ended by CR LF.
    std::string crlf;
    crlf.reserve(utf8.size() + utf8.size() / 16);
    for (char c : utf8) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    const std::wstring wide = WideFromUtf8(crlf);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    if (memory == nullptr) return;
    if (auto* text = static_cast<wchar_t*>(GlobalLock(memory))) {
        std::copy(wide.begin(), wide.end(), text);
        text[wide.size()] = L'\0';
        GlobalUnlock(memory);
    }
    if (OpenClipboard(m_window->handle)) {
        EmptyClipboard();
        // The clipboard owns the memory once it has taken it.
        if (SetClipboardData(CF_UNICODETEXT, memory) != nullptr) memory = nullptr;
        CloseClipboard();
    }
    if (memory != nullptr) GlobalFree(memory);
}

int Win32Backend::WheelScrollLines() const {
    UINT lines = 3;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) return 3;
    return lines == WHEEL_PAGESCROLL ? kWheelScrollPage : static_cast<int>(lines);
}

DisplayFacts Win32Backend::Display() const {
    DisplayFacts facts;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return facts;
    facts.bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    // 0 and 1 mean the adapter's default rate, which the system does not name.
    const int refresh = GetDeviceCaps(screen, VREFRESH);
    facts.refreshRate = refresh > 1 ? refresh : 0;
    facts.width = GetDeviceCaps(screen, HORZRES);
    facts.height = GetDeviceCaps(screen, VERTRES);
    const int perInch = GetDeviceCaps(screen, LOGPIXELSX);
    if (perInch > 0) facts.pixelsPerInch = perInch;
    ReleaseDC(nullptr, screen);
    return facts;
}

}  // namespace vx
