#include "platform/clock.h"

#include <chrono>

namespace vx {

std::uint64_t SteadyClock::NowMs() const {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace vx
