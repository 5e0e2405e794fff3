// The span loops sixteen pixels at a time, for processors with AVX-512
// (foundation and byte instructions); this file alone is compiled for them
// (see CMakeLists.txt), and its loops run only where the processor says it
// has them. Elsewhere, a 32-bit build among them, it compiles to a "no".
#include "platform/dx/soft/span_loop.h"

namespace vx::dx::soft {

bool SixteenLaneLoopsRun() {
#if defined(__x86_64__) && defined(__AVX512F__) && defined(__AVX512BW__)
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
#else
    return false;
#endif
}

SpanRenderer::DrawFunction ChooseSixteenLaneLoop(const PixelState& state) {
#if defined(__AVX512F__) && defined(__AVX512BW__)
    return ChooseLoop<16>(state);
#else
    return ChooseLoop<4>(state);
#endif
}

}  // namespace vx::dx::soft
