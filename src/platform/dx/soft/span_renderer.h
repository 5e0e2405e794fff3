// The per-pixel end of the pipeline: for each pixel of a span, the texture
// sample, the texture stage (the platform's default for stage 0: colour =
// texture x vertex colour, alpha = texture alpha; without a texture the
// vertex colour alone) and the blend into the render target.
//
// Each combination of texture (none, power-of-two size, other size),
// modulation (skipped for white vertices) and blend kind has its own loop,
// chosen once per draw.
#pragma once

#include "platform/dx/device_factory.h"
#include "platform/dx/soft/blend.h"
#include "platform/dx/soft/rasterizer.h"
#include "platform/dx/soft/sampler.h"

namespace vx::dx::soft {

struct PixelState {
    RenderMemory target;
    TextureView texture;
    bool modulate = true;  // false only when every vertex colour is white
    BlendState blend;
};

class SpanRenderer final : public SpanSink {
public:
    using DrawFunction = void (*)(const PixelState&, const Span&);

    SpanRenderer();
    void Configure(const PixelState& state);
    void DrawSpan(const Span& span) override { m_draw(m_state, span); }

private:
    PixelState m_state;
    DrawFunction m_draw;
};

}  // namespace vx::dx::soft
