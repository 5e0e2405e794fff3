// The per-pixel end of the pipeline: for each pixel of a span, the texture
// sample, the texture stage (the platform's default for stage 0: colour =
// texture x vertex colour, alpha = texture alpha; without a texture the
// vertex colour alone) and the blend into the render target.
//
// Each combination of texture (none, power-of-two size, other size),
// modulation (skipped for white vertices) and blend kind has its own loop,
// chosen once per draw; on processors with AVX2 the loops take eight pixels
// at a time instead of four, with the same results.
#pragma once

#include "platform/dx/device_factory.h"
#include "platform/dx/blend.h"
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

    // The widest loops this processor runs, or the four-pixel ones every
    // processor runs.
    enum class Width { Widest, Four };

    SpanRenderer();
    void Configure(const PixelState& state, Width width = Width::Widest);
    void DrawSpan(const Span& span) override { m_draw(m_state, span); }

private:
    PixelState m_state;
    DrawFunction m_draw;
};

// Whether this processor runs the eight-pixel loops, and those loops.
bool WideLoopsRun();
SpanRenderer::DrawFunction ChooseWideLoop(const PixelState& state);

}  // namespace vx::dx::soft
