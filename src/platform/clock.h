// The monotonic millisecond clock that window timers and the message loop
// run on. Tests replace it with a clock they move by hand.
#pragma once

#include <cstdint>

namespace vx {

class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    // Milliseconds since an arbitrary fixed point; never goes backwards.
    virtual std::uint64_t NowMs() const = 0;
};

// The system's steady clock.
class SteadyClock final : public MonotonicClock {
public:
    std::uint64_t NowMs() const override;
};

}  // namespace vx
