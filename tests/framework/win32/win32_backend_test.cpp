// The Win32 window back end against the system's own window manager (Wine's
// in the test run): what the framework is told for the system's messages,
// the window it makes, and what reaches the screen.
#ifdef _WIN32

#include "framework/win32/win32_backend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <variant>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace vx {
namespace {

constexpr int kWidth = 632;
constexpr int kHeight = 441;

// One window for every case: the system takes its time to make and unmake one.
class Win32BackendTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_icon = std::make_unique<Bitmap>(32, 32, clRed);
        s_backend = std::make_unique<Win32Backend>();
        WindowSettings settings;
        settings.caption = "Vidorex — próba";
        settings.clientWidth = kWidth;
        settings.clientHeight = kHeight;
        settings.icon = s_icon.get();
        s_backend->CreateMainWindow(settings);
        s_window = FindWindowW(L"TForm1", L"Vidorex — próba");
    }
    static void TearDownTestSuite() {
        s_backend.reset();
        s_icon.reset();
    }
    void SetUp() override {
        ASSERT_NE(s_window, nullptr);
        // Whatever the system said since the last case.
        while (m_backend.PollEvent()) {
        }
    }

    COLORREF ScreenPixel(int x, int y) {
        HDC dc = GetDC(m_window);
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(m_window, dc);
        return colour;
    }

    static inline std::unique_ptr<Bitmap> s_icon;
    static inline std::unique_ptr<Win32Backend> s_backend;
    static inline HWND s_window = nullptr;
    Win32Backend& m_backend = *s_backend;
    HWND m_window = s_window;
};

TEST_F(Win32BackendTest, MakesTheFixedClientAreaCentredWithItsCaptionAndIcon) {
    RECT client;
    GetClientRect(m_window, &client);
    EXPECT_EQ(client.right - client.left, kWidth);
    EXPECT_EQ(client.bottom - client.top, kHeight);

    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame;
    GetWindowRect(m_window, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 1);
    // A fixed window: no sizing border, no maximise box.
    EXPECT_EQ(GetWindowLongW(m_window, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(SendMessageW(m_window, WM_GETICON, ICON_BIG, 0), 0);
    // The handle the system's prompts are owned by.
    EXPECT_EQ(m_backend.SystemWindowHandle(kMainWindow), reinterpret_cast<std::uintptr_t>(m_window));
    EXPECT_EQ(m_backend.SystemWindowHandle(kMainWindow + 1), 0u);

    m_backend.SetCaption("Zażółć");
    wchar_t caption[32] = {};
    GetWindowTextW(m_window, caption, 32);
    EXPECT_STREQ(caption, L"Zażółć");
}

TEST_F(Win32BackendTest, SystemMessagesBecomeTheFrameworksEvents) {
    struct Case {
        UINT message;
        WPARAM keys;
        int x, y;
        WindowEvent::Kind kind;
        TMouseButton button;
        TShiftState shift;
    };
    const Case cases[] = {
        {WM_MOUSEMOVE, 0, 10, 20, WindowEvent::MouseMove, mbLeft, 0},
        // Captured moves left of and above the window come with negative coordinates.
        {WM_MOUSEMOVE, MK_LBUTTON, -5, -7, WindowEvent::MouseMove, mbLeft, ssLeft},
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 30, 40, WindowEvent::MouseDown, mbLeft, ssLeft | ssShift},
        {WM_LBUTTONUP, MK_CONTROL, 30, 40, WindowEvent::MouseUp, mbLeft, ssCtrl},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, 1, 2, WindowEvent::MouseDown, mbLeft, ssLeft | ssDouble},
        {WM_RBUTTONDOWN, MK_RBUTTON, 631, 440, WindowEvent::MouseDown, mbRight, ssRight},
        {WM_RBUTTONUP, 0, 631, 440, WindowEvent::MouseUp, mbRight, 0},
        {WM_MBUTTONDOWN, MK_MBUTTON, 5, 5, WindowEvent::MouseDown, mbMiddle, ssMiddle},
        {WM_MBUTTONUP, 0, 5, 5, WindowEvent::MouseUp, mbMiddle, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ASSERT_TRUE(PostMessageW(m_window, c.message, c.keys, MAKELPARAM(c.x, c.y)));
        auto event = m_backend.PollEvent();
        ASSERT_TRUE(event.has_value());
        EXPECT_EQ(event->kind, c.kind);
        EXPECT_EQ(event->x, c.x);
        EXPECT_EQ(event->y, c.y);
        if (c.kind != WindowEvent::MouseMove) {
            EXPECT_EQ(event->button, c.button);
        }
        EXPECT_EQ(event->shift & ~ssAlt, c.shift);
        // A move starts the watch for the pointer leaving: that is the only
        // other event allowed here.
        while (auto more = m_backend.PollEvent()) EXPECT_EQ(more->kind, WindowEvent::PointerLeft);
    }

    struct WindowCase {
        UINT message;
        WPARAM wParam;
        WindowEvent::Kind kind;
    };
    const WindowCase windowCases[] = {
        {WM_SIZE, SIZE_MINIMIZED, WindowEvent::Hidden}, {WM_SIZE, SIZE_RESTORED, WindowEvent::Exposed},
        {WM_SETFOCUS, 0, WindowEvent::FocusGained},     {WM_KILLFOCUS, 0, WindowEvent::FocusLost},
        {WM_MOUSELEAVE, 0, WindowEvent::PointerLeft},   {WM_CLOSE, 0, WindowEvent::CloseRequested},
    };
    for (const WindowCase& c : windowCases) {
        SCOPED_TRACE(c.message);
        SendMessageW(m_window, c.message, c.wParam, 0);
        auto event = m_backend.PollEvent();
        ASSERT_TRUE(event.has_value());
        EXPECT_EQ(event->kind, c.kind);
    }
    // Closing is the framework's decision: the window is still there.
    EXPECT_TRUE(IsWindow(m_window));
}

TEST_F(Win32BackendTest, WaitsWithAndWithoutLimitAndEndsOnTheQuitMessage) {
    EXPECT_FALSE(m_backend.WaitEvent(0).has_value());
    EXPECT_FALSE(m_backend.WaitEvent(30).has_value());

    PostMessageW(m_window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    auto timed = m_backend.WaitEvent(10 * 1000);
    ASSERT_TRUE(timed.has_value());
    EXPECT_EQ(timed->kind, WindowEvent::MouseDown);

    PostMessageW(m_window, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    auto untimed = m_backend.WaitEvent(-1);
    ASSERT_TRUE(untimed.has_value());
    EXPECT_EQ(untimed->kind, WindowEvent::MouseUp);

    PostQuitMessage(0);
    auto quit = m_backend.WaitEvent(-1);
    ASSERT_TRUE(quit.has_value());
    EXPECT_EQ(quit->kind, WindowEvent::CloseRequested);
}

// The window another service draws into: over its place in the client
// area, along when the main window moves, hidden and shown as asked, never
// active and transparent to the mouse.
TEST_F(Win32BackendTest, KeepsAnOverlayOverItsPlaceInTheClientArea) {
    const std::uintptr_t handle = m_backend.CreateOverlayWindow(kMainWindow);
    ASSERT_NE(handle, 0u);
    HWND overlay = reinterpret_cast<HWND>(handle);
    EXPECT_EQ(GetWindow(overlay, GW_OWNER), m_window);
    EXPECT_FALSE(IsWindowVisible(overlay));
    auto screenRect = [overlay] {
        RECT r;
        GetWindowRect(overlay, &r);
        return r;
    };
    auto clientOrigin = [this] {
        POINT origin{0, 0};
        ClientToScreen(m_window, &origin);
        return origin;
    };

    m_backend.PlaceOverlayWindow(handle, TRect{1, 58, 631, 378}, true);
    EXPECT_TRUE(IsWindowVisible(overlay));
    POINT origin = clientOrigin();
    RECT r = screenRect();
    EXPECT_EQ(r.left, origin.x + 1);
    EXPECT_EQ(r.top, origin.y + 58);
    EXPECT_EQ(r.right - r.left, 630);
    EXPECT_EQ(r.bottom - r.top, 320);
    const TPoint reported = m_backend.ClientOriginOnScreen(kMainWindow);
    EXPECT_EQ(reported.X, origin.x);
    EXPECT_EQ(reported.Y, origin.y);
    EXPECT_EQ(SendMessageW(overlay, WM_NCHITTEST, 0, MAKELPARAM(r.left + 5, r.top + 5)), HTTRANSPARENT);
    EXPECT_NE(GetActiveWindow(), overlay);

    RECT frame;
    GetWindowRect(m_window, &frame);
    SetWindowPos(m_window, nullptr, frame.left + 30, frame.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    origin = clientOrigin();
    r = screenRect();
    EXPECT_EQ(r.left, origin.x + 1) << "the overlay follows its owner";
    EXPECT_EQ(r.top, origin.y + 58);
    SetWindowPos(m_window, nullptr, frame.left, frame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    ShowWindow(m_window, SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(overlay)) << "hidden with its minimised owner";
    ShowWindow(m_window, SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(overlay)) << "back with its owner";
    origin = clientOrigin();
    r = screenRect();
    EXPECT_EQ(r.left, origin.x + 1);
    EXPECT_EQ(r.top, origin.y + 58);

    m_backend.PlaceOverlayWindow(handle, TRect{1, 58, 631, 378}, false);
    EXPECT_FALSE(IsWindowVisible(overlay));
    m_backend.DestroyOverlayWindow(handle);
    EXPECT_FALSE(IsWindow(overlay));
    m_backend.PlaceOverlayWindow(handle, TRect{0, 0, 10, 10}, true);  // gone: nothing happens
    EXPECT_EQ(m_backend.CreateOverlayWindow(kMainWindow + 1), 0u) << "only the main window has overlays";
}

// The system's box runs its own loop; the framework's work goes on from it
// (here the work closes the box after a few turns, as a user would).
TEST_F(Win32BackendTest, TheErrorBoxLetsTheFrameworksTimersRun) {
    int ticks = 0;
    bool nested = false;
    bool running = false;
    ASSERT_TRUE(std::holds_alternative<SystemErrorBox*>(m_backend.ErrorBoxes())) << "the system's own box, no owned windows";
    m_backend.ShowErrorBox("Vidorex — próba", "Disk full", [&] {
        if (running) nested = true;
        running = true;
        if (++ticks >= 3) {
            HWND box = FindWindowW(L"#32770", L"Vidorex — próba");
            if (box != nullptr) PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        running = false;
    });
    EXPECT_GE(ticks, 3);
    EXPECT_FALSE(nested);
    const int afterwards = ticks;
    m_backend.WaitEvent(50);
    EXPECT_EQ(ticks, afterwards) << "nothing runs once the box is closed";
}

TEST_F(Win32BackendTest, PresentsOnlyTheGivenPartsAndRepaintsFromItsImage) {
    Bitmap blue(kWidth, kHeight, clBlue);
    m_backend.Present(kMainWindow, blue, Region(TRect::FromSize(0, 0, kWidth, kHeight)));
    Bitmap yellow(kWidth, kHeight, clYellow);
    Region parts(TRect::FromSize(100, 50, 20, 10));
    parts.Add(TRect::FromSize(600, 400, 100, 100));  // partly outside the window
    m_backend.Present(kMainWindow, yellow, parts);
    GdiFlush();

    EXPECT_EQ(ScreenPixel(100, 50), RGB(255, 255, 0));
    EXPECT_EQ(ScreenPixel(119, 59), RGB(255, 255, 0));
    EXPECT_EQ(ScreenPixel(120, 59), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(99, 50), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(631, 440), RGB(255, 255, 0));
    EXPECT_EQ(ScreenPixel(599, 399), RGB(0, 0, 255));

    // The system's own repaint comes from the image, not from the framework:
    // what another program drew over the window goes again.
    HDC dc = GetDC(m_window);
    PatBlt(dc, 0, 0, kWidth, kHeight, BLACKNESS);
    ReleaseDC(m_window, dc);
    ASSERT_EQ(ScreenPixel(300, 300), RGB(0, 0, 0));
    RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(ScreenPixel(110, 55), RGB(255, 255, 0));
    EXPECT_EQ(ScreenPixel(300, 300), RGB(0, 0, 255));
}

TEST(Win32BackendDisplay, AnswersTheScreensFacts) {
    Win32Backend backend;
    DisplayFacts facts = backend.Display();
    EXPECT_EQ(facts.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(facts.height, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GE(facts.bitsPerPixel, 8);
    EXPECT_NE(facts.refreshRate, 1);  // 1 means "the default rate", which is not a rate
    EXPECT_GT(facts.pixelsPerInch, 0);
}

}  // namespace
}  // namespace vx

#endif  // _WIN32
