// The per-pixel end of the pipeline: for each pixel of a span, the texture
// sample, the texture stage (the platform's default for stage 0: colour =
// texture x vertex colour, alpha = texture alpha; without a texture the
// vertex colour alone) and the blend into the render target.
//
// Each combination of texture (none, power-of-two size, other size),
// modulation (skipped for white vertices) and blend kind has its own loop,
// chosen once per draw. The loops take four pixels at a time, eight on
// processors with AVX2 and sixteen on those with AVX-512, with the same
// results.
#pragma once

#include "platform/dx/blend.h"
#include "platform/dx/device_factory.h"
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

    // Pixels at a time; Widest: the most this processor runs.
    enum class Width { Widest, Sixteen, Eight, Four };
    // Whether this processor runs the loops of that width.
    static bool Runs(Width width);

    SpanRenderer();
    // A width this processor does not run falls back to the widest it does.
    void Configure(const PixelState& state, Width width = Width::Widest);
    AttributeSet Attributes() const override { return m_attributes; }
    void DrawSpan(const Span& span) override { m_draw(m_state, span); }

private:
    PixelState m_state;
    DrawFunction m_draw;
    AttributeSet m_attributes = kAllAttributes;
};

// Whether this processor runs the eight-pixel loops, and those loops.
bool WideLoopsRun();
SpanRenderer::DrawFunction ChooseWideLoop(const PixelState& state);
// The same for the sixteen-pixel loops.
bool SixteenLaneLoopsRun();
SpanRenderer::DrawFunction ChooseSixteenLaneLoop(const PixelState& state);

}  // namespace vx::dx::soft
