#include "platform/dx/soft/span_renderer.h"

#include "platform/dx/soft/span_loop.h"

namespace vx::dx::soft {

namespace {

// The attributes a loop reads: the texture's three, the vertex colour's
// where it modulates, and without a texture the colour with its alpha.
AttributeSet AttributesOf(const PixelState& state) {
    constexpr AttributeSet kColour = (1u << kRed) | (1u << kGreen) | (1u << kBlue);
    if (state.texture.texels == nullptr) return kColour | (1u << kAlpha);
    const AttributeSet texture = (1u << kInvW) | (1u << kUOverW) | (1u << kVOverW);
    return state.modulate ? texture | kColour : texture;
}

}  // namespace

bool SpanRenderer::Runs(Width width) {
    static const bool sixteen = SixteenLaneLoopsRun();
    static const bool eight = WideLoopsRun();
    switch (width) {
        case Width::Sixteen:
            return sixteen;
        case Width::Eight:
            return eight;
        default:
            return true;
    }
}

SpanRenderer::SpanRenderer() : m_draw(&DrawSpanWith<4, TextureKind::None, true, BlendKind::Replace>) {}

void SpanRenderer::Configure(const PixelState& state, Width width) {
    m_state = state;
    m_attributes = AttributesOf(state);
    if ((width == Width::Widest || width == Width::Sixteen) && Runs(Width::Sixteen)) {
        m_draw = ChooseSixteenLaneLoop(state);
    } else if (width != Width::Four && Runs(Width::Eight)) {
        m_draw = ChooseWideLoop(state);
    } else {
        m_draw = ChooseLoop<4>(state);
    }
}

}  // namespace vx::dx::soft
