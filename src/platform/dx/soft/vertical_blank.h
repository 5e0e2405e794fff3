// The wait behind WaitForVerticalBlank.
#pragma once

#include "platform/dx/presentation.h"

namespace vx::dx {

// Milliseconds from nowMs to the start of the next refresh period of a
// display refreshing refreshRate times a second (60 when it is 0 or 1),
// periods counted from clock time 0; always at least 1.
win::DWORD MsUntilNextRefresh(win::DWORD nowMs, int refreshRate);

// Returns at the display's next vertical blank when the target can wait for
// one, else at the start of the next refresh period by the target's clock,
// so that one frame per call cannot outrun the refresh rate.
void WaitForNextRefresh(PresentationTarget& target);

}  // namespace vx::dx
