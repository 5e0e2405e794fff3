// The score row: the one piece through which every check reports its result,
// and the overall progress bar that the checks advance.
#pragma once

#include <cstdint>
#include <functional>

#include "checks/rating.h"

namespace vx {

class TglDigits;
class TglProgress;
class TStatusLed;
class TglLabel;

// The overall bar: advanced by each check's fixed steps, reset to 0 by every
// click on the Start button and every mouse-down on a test button.
class OverallProgress {
public:
    explicit OverallProgress(TglProgress& bar) : m_bar(bar) {}
    void Reset();
    // Reads the bar's own percent and sets it plus the step (one byte wide).
    void Advance(int step);
    int Percent() const;

private:
    TglProgress& m_bar;
};

// When a row's advice link is enabled.
enum class LinkRule { None, OnYellowAndRed, OnRedOnly };

class ScoreRow {
public:
    struct Widgets {
        TglDigits& display;
        TglProgress& bar;
        TStatusLed& green;
        TStatusLed& yellow;
        TStatusLed& red;
        TglLabel* link = nullptr;
    };

    ScoreRow(Widgets widgets, LinkRule linkRule, OverallProgress& progress, std::function<void()> pump)
        : m_widgets(widgets), m_linkRule(linkRule), m_progress(progress), m_pump(std::move(pump)) {}

    // Reports a result: the display's value, the bar's percent, the link
    // (disabled, then enabled again for the outcomes its rule names), exactly
    // one lamp switched on (red also blinks; no lamp is switched off), the
    // overall progress step, and one message pump.
    void Report(const RowScore& score, int progressStep);

    const Widgets& Parts() const { return m_widgets; }

private:
    Widgets m_widgets;
    LinkRule m_linkRule;
    OverallProgress& m_progress;
    std::function<void()> m_pump;
};

}  // namespace vx
