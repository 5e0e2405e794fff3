// The hint styler: a non-visual component that would style the window's
// hint boxes. No control of this program carries a hint, so it shows
// nothing; it keeps its setting so that the window's layout can name it.
#pragma once

#include "framework/component.h"

namespace vx {

class TglHint : public TComponent {
public:
    explicit TglHint(TComponent* owner);

    bool Active() const { return m_active; }
    void SetActive(bool active);

private:
    bool m_active = true;
};

}  // namespace vx
