#include "platform/dx/soft/span_renderer.h"

#include "platform/dx/soft/span_loop.h"

namespace vx::dx::soft {

SpanRenderer::SpanRenderer() : m_draw(&DrawSpanWith<4, TextureKind::None, true, BlendKind::Replace>) {}

void SpanRenderer::Configure(const PixelState& state, Width width) {
    m_state = state;
    static const bool wide = WideLoopsRun();
    m_draw = wide && width == Width::Widest ? ChooseWideLoop(state) : ChooseLoop<4>(state);
}

}  // namespace vx::dx::soft
