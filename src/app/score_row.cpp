#include "app/score_row.h"

#include "widgets/digits.h"
#include "widgets/label.h"
#include "widgets/progress.h"
#include "widgets/status_led.h"

namespace vx {

void OverallProgress::Reset() { m_bar.SetPercent(0); }

void OverallProgress::Advance(int step) { m_bar.SetPercent(static_cast<std::uint8_t>(m_bar.Percent() + step)); }

int OverallProgress::Percent() const { return m_bar.Percent(); }

void ScoreRow::Report(const RowScore& score, int progressStep) {
    m_widgets.display.SetValue(score.value);
    m_widgets.bar.SetPercent(score.percent);
    if (m_widgets.link != nullptr && m_linkRule != LinkRule::None) {
        m_widgets.link->SetEnabled(false);
        bool enable = (score.lamp == Lamp::Red) || (score.lamp == Lamp::Yellow && m_linkRule == LinkRule::OnYellowAndRed);
        if (enable) m_widgets.link->SetEnabled(true);
    }
    switch (score.lamp) {
        case Lamp::Green:
            m_widgets.green.SetLedisOn(true);
            break;
        case Lamp::Yellow:
            m_widgets.yellow.SetLedisOn(true);
            break;
        case Lamp::Red:
            m_widgets.red.SetLedisOn(true);
            m_widgets.red.SetBlinking(true);
            break;
    }
    if (progressStep != 0) m_progress.Advance(progressStep);
    if (m_pump) m_pump();
}

}  // namespace vx
