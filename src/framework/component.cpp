#include "framework/component.h"

namespace vx {

TComponent::TComponent(TComponent* owner) : m_owner(owner) {}

TComponent::~TComponent() { DestroyComponents(); }

void TComponent::DestroyComponents() {
    // Later components may refer to earlier ones (a control to its parent),
    // so they go first.
    while (!m_components.empty()) m_components.pop_back();
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (const auto& c : m_components) {
        if (c->Name() == name) return c.get();
    }
    return nullptr;
}

Application* TComponent::App() const { return m_owner != nullptr ? m_owner->App() : nullptr; }

}  // namespace vx
