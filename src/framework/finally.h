// Runs a step when the scope ends, however it ends: the cleanup half of a
// try/finally, for steps that have no object of their own.
#pragma once

#include <utility>

namespace vx {

template <class F>
class Finally {
public:
    explicit Finally(F f) : m_f(std::move(f)) {}
    ~Finally() { m_f(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    F m_f;
};

}  // namespace vx
