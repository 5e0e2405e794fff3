// What a DirectDraw object shares with its surfaces: the program's window
// system, the cooperative window, whether a 3D hardware device is offered,
// and the count of losses that tells surfaces they were lost.
#pragma once

#include <cstdint>

#include "platform/dx/presentation.h"

namespace vx::dx {

class DisplayLink {
public:
    DisplayLink(PresentationTarget& target, bool hardware3D) : m_target(target), m_hardware3D(hardware3D) {}

    PresentationTarget& Target() const { return m_target; }
    bool Hardware3D() const { return m_hardware3D; }
    win::HWND CooperativeWindow() const { return m_window; }
    void SetCooperativeWindow(win::HWND window) { m_window = window; }

    // Asks the target whether the window can be seen. The window going out of
    // sight counts as one loss, which every losable surface then carries
    // until it is restored, even if the window is back before it looks.
    bool PollCanShow() {
        const bool canShow = m_target.CanShow();
        if (!canShow && m_couldShow) ++m_losses;
        m_couldShow = canShow;
        return canShow;
    }
    std::uint64_t Losses() const { return m_losses; }

private:
    PresentationTarget& m_target;
    bool m_hardware3D;
    win::HWND m_window{};
    bool m_couldShow = true;
    std::uint64_t m_losses = 0;
};

}  // namespace vx::dx
