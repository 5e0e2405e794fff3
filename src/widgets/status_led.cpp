#include "widgets/status_led.h"

#include <array>

#include "framework/application.h"

namespace vx {

TStatusLed::TStatusLed(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, kSize, kSize); }

TStatusLed::~TStatusLed() { StopTimer(); }

void TStatusLed::SetBounds(int left, int top, int, int) { TGraphicControl::SetBounds(left, top, kSize, kSize); }

// Setters do not compare: writing the same state again simply repaints.
void TStatusLed::SetLedisOn(bool on) {
    m_ledIsOn = on;
    Invalidate();
}

void TStatusLed::SetLedOnColor(TColor color) {
    m_ledOnColor = color;
    DrawNow();
}

void TStatusLed::SetLedOffColor(TColor color) {
    m_ledOffColor = color;
    Invalidate();
}

void TStatusLed::SetLedShadow(TColor color) {
    m_ledShadow = color;
    Invalidate();
}

void TStatusLed::SetInterval(unsigned intervalMs) {
    m_interval = intervalMs;
    if (m_blinking) RestartTimer();
}

void TStatusLed::SetBlinking(bool blinking) {
    m_blinking = blinking;
    if (blinking) {
        RestartTimer();
    } else {
        StopTimer();
    }
    Invalidate();
}

void TStatusLed::Loaded() {
    TGraphicControl::Loaded();
    // A layout that set Blinking could not reach the application before its
    // owner knew it; start the timer now.
    if (m_blinking && !m_timerId) RestartTimer();
}

void TStatusLed::RestartTimer() {
    StopTimer();
    if (m_interval == 0) return;
    Application* app = App();
    if (app == nullptr) return;
    m_timers = &app->Timers();
    m_timerId = m_timers->Start(m_interval, [this] {
        m_ledIsOn = !m_ledIsOn;
        Invalidate();
    });
}

void TStatusLed::StopTimer() {
    if (m_timerId && m_timers != nullptr) m_timers->Stop(*m_timerId);
    m_timerId.reset();
}

void TStatusLed::Paint(Canvas& canvas) {
    canvas.Pen.Color = clGray;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    canvas.Brush.Color = m_ledIsOn ? m_ledOnColor : m_ledOffColor;
    canvas.Brush.Style = bsSolid;
    canvas.Ellipse(TRect{2, 2, 14, 14});
    // A glint at the upper left makes the lamp look round.
    static constexpr std::array<TPoint, 9> kGlint = {{{6, 5}, {7, 5}, {8, 5}, {5, 6}, {5, 7}, {5, 8}, {6, 6}, {6, 7}, {7, 6}}};
    for (const TPoint& p : kGlint) canvas.SetPixel(p.X, p.Y, m_ledShadow);
}

}  // namespace vx
