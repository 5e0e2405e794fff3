// The base of the widgets' small groups of settings (colours, bevels,
// gradients, text styles...): a group tells its owner when one of its
// settings changes, and the owner decides whether that paints at once or
// asks for a repaint.
#pragma once

#include <functional>
#include <type_traits>
#include <utility>

namespace vx {

class PropertyGroup {
public:
    // A group is part of one widget and its hook calls back into that
    // widget, so a copy would report to the wrong owner: none is made.
    PropertyGroup(const PropertyGroup&) = delete;
    PropertyGroup& operator=(const PropertyGroup&) = delete;

    // The owner's hook, called after a change.
    void SetOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

protected:
    PropertyGroup() = default;
    ~PropertyGroup() = default;

    // Stores the value and tells the owner, only when it differs.
    template <class T>
    void Update(T& field, const std::type_identity_t<T>& value) {
        if (field == value) return;
        field = value;
        Changed();
    }

    // Tells the owner unconditionally, for the setters whose rule is not
    // Update's.
    void Changed() const {
        if (m_onChange) m_onChange();
    }

private:
    std::function<void()> m_onChange;
};

}  // namespace vx
