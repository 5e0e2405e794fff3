// The processor load sampler's walk over one or two performance data blocks
// as the registry would return them: the input's first four bytes (little
// endian) give the first block's length, the bytes after it form a second
// block, sampled after the first. Damage is an EProcessorLoadError, nothing
// else.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fake/fake_system_services.h"
#include "sysinfo/processor_load.h"

namespace {

namespace Sampler = vx::ProcessorLoadSampler;

void SampleAndRead(vx::test::FakeSystemServices& services, std::vector<vx::win::BYTE> block) {
    services.SetRegistryBinary(vx::test::FakeSystemServices::kPerformanceDataKey, "238", std::move(block));
    try {
        Sampler::TakeSample();
    } catch (const Sampler::EProcessorLoadError&) {
    }
    // The sampler counts no more than a few thousand processors here.
    for (int index = -1; index < 4096; ++index) {
        try {
            (void)Sampler::GetLoad(index);
        } catch (const Sampler::EProcessorLoadError&) {
            if (index >= 0) break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::size_t rest = size - 4;
    const std::size_t first =
        std::min<std::size_t>(rest, data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::size_t>(data[3]) << 24));
    const std::uint8_t* blocks = data + 4;
    vx::test::FakeSystemServices services;
    Sampler::Session session(services);
    SampleAndRead(services, std::vector<vx::win::BYTE>(blocks, blocks + first));
    if (first < rest) SampleAndRead(services, std::vector<vx::win::BYTE>(blocks + first, blocks + rest));
    return 0;
}
