#include "widgets/hint.h"

namespace vx {

TglHint::TglHint(TComponent* owner) : TComponent(owner) {}

void TglHint::SetActive(bool active) { m_active = active; }

}  // namespace vx
