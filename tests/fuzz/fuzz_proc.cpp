// The readers of the kernel's /proc texts and release string, each on the
// same text; and whenever the text reads as /proc/stat, the performance data
// block built from it must be one that the load sampler accepts: any
// refusal there ends the run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "fake/fake_system_services.h"
#include "platform/posix/posix_perf_data.h"
#include "platform/posix/posix_system_services.h"
#include "sysinfo/processor_load.h"

namespace {

namespace Sampler = vx::ProcessorLoadSampler;
using namespace vx::win;

void ExpectSamplerAccepts(const std::vector<ProcessorTimes>& processors, std::uint64_t ticksPerSecond) {
    std::vector<ProcessorCounters> counters;
    CountersFromProcStat(processors, ticksPerSecond, counters);
    const ProcessorPerfSample sample{counters, SYSTEMTIME{2001, 1, 1, 1, 12, 0, 0, 0}, "FUZZ"};
    std::vector<BYTE> block(BuildProcessorPerfData(sample, {}));
    if (BuildProcessorPerfData(sample, block) != block.size()) {
        std::fprintf(stderr, "the block's size changed between two builds\n");
        std::abort();
    }
    vx::test::FakeSystemServices services;
    services.SetRegistryBinary(vx::test::FakeSystemServices::kPerformanceDataKey, "238", std::move(block));
    Sampler::Session session(services);
    try {
        Sampler::TakeSample();
        Sampler::TakeSample();
        // Every processor and the total.
        for (std::size_t index = 0; index <= processors.size(); ++index) (void)Sampler::GetLoad(static_cast<int>(index));
    } catch (const Sampler::EProcessorLoadError& e) {
        std::fprintf(stderr, "the sampler refused a block built from /proc/stat: %s\n", e.what());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)ParseKernelRelease(text);
    (void)ProcFieldBytes(text, "MemTotal");
    (void)ProcFieldBytes(text, "VmSize");
    (void)MemoryCountsFromMeminfo(text, 1ull << 47, size);
    (void)ProcessorFromCpuinfo(text);
    std::vector<ProcessorTimes> processors;
    if (ParseProcStat(text, processors)) ExpectSamplerAccepts(processors, 1 + size % 1000);
    return 0;
}
