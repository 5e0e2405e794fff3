// The status lamp: a small round lamp, on or off, that can blink by itself
// on a window timer. It always paints at 15 x 15 pixels.
//
// What each setter repaints. None compares: writing the same value again
// repaints all the same.
//
//   setter                          repaint
//   LedisOn                         invalidates
//   LedOnColor                      paints now (1)
//   LedOffColor, LedShadow          invalidates
//   Blinking                        invalidates (and starts or stops the timer)
//   Interval                        nothing (restarts a running blink)
//   a blink's tick                  invalidates
//
// (1) An accident: nothing sets the lit colour apart from the others. Kept,
//     since the pixels are the same once the window has repainted.
#pragma once

#include <optional>

#include "framework/control.h"
#include "framework/timer.h"

namespace vx {

class TStatusLed : public TGraphicControl {
public:
    static constexpr int kSize = 15;

    explicit TStatusLed(TComponent* owner);
    ~TStatusLed() override;

    bool LedisOn() const { return m_ledIsOn; }
    void SetLedisOn(bool on);
    TColor LedOnColor() const { return m_ledOnColor; }
    void SetLedOnColor(TColor color);
    TColor LedOffColor() const { return m_ledOffColor; }
    void SetLedOffColor(TColor color);
    TColor LedShadow() const { return m_ledShadow; }
    void SetLedShadow(TColor color);
    unsigned Interval() const { return m_interval; }
    // Restarts a running blink with the new period; 0 stops it.
    void SetInterval(unsigned intervalMs);
    bool Blinking() const { return m_blinking; }
    // Starting restarts the period; stopping leaves the lamp as the last
    // tick left it.
    void SetBlinking(bool blinking);

    // The lamp's size is fixed, whatever the layout asks for.
    void SetBounds(int left, int top, int width, int height) override;
    void Paint(Canvas& canvas) override;
    void Loaded() override;

private:
    void RestartTimer();
    void StopTimer();

    bool m_ledIsOn = false;
    TColor m_ledOnColor = clRed;
    TColor m_ledOffColor = clGreen;
    TColor m_ledShadow = clWhite;
    unsigned m_interval = 200;
    bool m_blinking = false;
    // The queue the running timer was started on: the application cannot be
    // found through the owner any more while the owner is being destroyed.
    TimerQueue* m_timers = nullptr;
    std::optional<TimerQueue::TimerId> m_timerId;
};

}  // namespace vx
