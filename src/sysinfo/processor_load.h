// ProcessorLoadSampler: the share of processor time in use, read from the
// statistics the operating system keeps itself.
//
// On the NT family the registry's performance data is walked down to the
// "Processor" object (title index 238) and its idle-time counter (title
// index 6); a load describes the interval between the last two samples. On
// the 9x family the kernel's own "KERNEL\CPUUsage" statistic is started,
// read as a percentage, and stopped again at exit. The family is decided
// once, by Startup.
//
// The sampler is one module-level state, used from the user-interface
// thread only; the operations are not re-entrant.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/system_services.h"

namespace vx::ProcessorLoadSampler {

// Every failure of the sampler; what() is the English message for the user.
class EProcessorLoadError : public std::runtime_error {
public:
    explicit EProcessorLoadError(const std::string& message) : std::runtime_error(message) {}
};

// Remembers the services and learns the platform family. Counted: only the
// first call acts, and only the Shutdown that balances it undoes it. A
// Startup that raises counts for nothing.
void Startup(win::SystemServices& services);
// Stops the 9x statistic and frees the buffers.
void Shutdown();
// Reads the processor statistics once.
void TakeSample();
// The load of one processor as a fraction, 1.0 fully busy; not clamped.
double GetLoad(int index);
// 9x: stops the kernel statistic; otherwise does nothing.
void StopStatistics();

// Startup and Shutdown as a scope, for code that must stop the sampler
// however it leaves.
class Session {
public:
    explicit Session(win::SystemServices& services) { Startup(services); }
    ~Session() { Shutdown(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
};

}  // namespace vx::ProcessorLoadSampler
