// The wait behind WaitForVerticalBlank.
#pragma once

#include "platform/dx/presentation.h"

namespace vx::dx {

// Returns at the display's next vertical blank when the target can wait for
// one, else at the start of the next refresh period by the target's clock,
// so that one frame per call cannot outrun the refresh rate.
void WaitForNextRefresh(PresentationTarget& target);

}  // namespace vx::dx
