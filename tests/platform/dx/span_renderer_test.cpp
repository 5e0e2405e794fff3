// The span loops of every width give the same pixels: the eight- and
// sixteen-pixel loops that run where the processor has AVX2 or AVX-512
// against the four-pixel ones, and none touches a pixel beside its span.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/dx/soft/span_renderer.h"

namespace vx::dx::soft {
namespace {

TEST(SpanRendererTest, EveryWidthGivesTheSamePixels) {
    constexpr int kWidth = 101;
    constexpr int kRows = 4;
    constexpr std::uint32_t kUntouched = 0x00304050u;
    // Spans that end inside a group of lanes, within the row and at its end.
    constexpr int kEnds[kRows] = {kWidth, 61, 58, 37};
    // An 8 x 8 texture of distinct texels with some alpha, and one of 3 x 5.
    std::vector<std::uint32_t> texels(64);
    for (std::size_t i = 0; i < texels.size(); ++i)
        texels[i] = 0x40000000u * (i % 4) + 0x00102030u * static_cast<std::uint32_t>(i);
    const TexelImage powerOfTwo{texels.data(), 8, 8, 1};
    const TexelImage otherSize{texels.data(), 3, 5, 1};

    struct Case {
        const char* name;
        const TexelImage* texture;
        bool modulate;
        BlendState blend;
    };
    const Case cases[] = {
        {"colour, replace", nullptr, true, {}},
        {"power of two, add", &powerOfTwo, false, {true, win::D3DBLEND_ONE, win::D3DBLEND_ONE}},
        {"power of two, modulated, replace", &powerOfTwo, true, {}},
        {"other size, modulated, add", &otherSize, true, {true, win::D3DBLEND_ONE, win::D3DBLEND_ONE}},
        {"other size, alpha blend", &otherSize, false, {true, win::D3DBLEND_SRCALPHA, win::D3DBLEND_INVSRCALPHA}},
    };
    const auto draw = [&](const Case& c, SpanRenderer::Width width) {
        std::vector<std::uint32_t> pixels(kWidth * kRows, kUntouched);
        PixelState state;
        state.target = RenderMemory{pixels.data(), kWidth, kWidth, kRows};
        if (c.texture != nullptr) state.texture = MakeTextureView(*c.texture);
        state.modulate = c.modulate;
        state.blend = c.blend;
        SpanRenderer renderer;
        renderer.Configure(state, width);
        // A perspective span: 1/w falls along it, u/w and v/w run past the texture's edge.
        for (int y = 0; y < kRows; ++y) {
            Span span{y,
                      2 + y,
                      kEnds[y],
                      {1.0f, -0.3f, 0.2f, 1.0f, 0.6f, 0.2f, 0.9f},
                      {-0.006f, 0.0311f, 0.0173f, -0.01f, 0.004f, 0.012f, -0.007f}};
            renderer.DrawSpan(span);
        }
        return pixels;
    };
    using Width = SpanRenderer::Width;
    for (const Case& c : cases) {
        const std::vector<std::uint32_t> four = draw(c, Width::Four);
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (x >= 2 + y && x < kEnds[y]) continue;
                EXPECT_EQ(four[static_cast<std::size_t>(y * kWidth + x)], kUntouched) << c.name << " (" << x << ", " << y << ")";
            }
        }
        EXPECT_NE(four[static_cast<std::size_t>(kWidth + 10)], kUntouched) << c.name;
        for (const Width width : {Width::Eight, Width::Sixteen, Width::Widest}) {
            if (!SpanRenderer::Runs(width)) continue;
            EXPECT_EQ(draw(c, width), four) << c.name << ", width " << static_cast<int>(width);
        }
    }
    if (!SpanRenderer::Runs(Width::Sixteen)) std::printf("note: this processor runs no sixteen-pixel loops\n");
}

}  // namespace
}  // namespace vx::dx::soft
