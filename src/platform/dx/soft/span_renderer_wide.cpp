// The span loops eight pixels at a time, for processors with AVX2; this
// file alone is compiled for them (see CMakeLists.txt), and its loops run
// only where the processor says it has AVX2.
#include "platform/dx/soft/span_loop.h"

namespace vx::dx::soft {

bool WideLoopsRun() {
#if defined(__x86_64__) && defined(__AVX2__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

SpanRenderer::DrawFunction ChooseWideLoop(const PixelState& state) {
#if defined(__AVX2__)
    return ChooseLoop<8>(state);
#else
    return ChooseLoop<4>(state);
#endif
}

}  // namespace vx::dx::soft
