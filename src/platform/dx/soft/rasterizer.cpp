#include "platform/dx/soft/rasterizer.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace vx::dx::soft {

namespace {

std::int64_t FloorDiv(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) --quotient;
    return quotient;
}

// Attributes come from the program's vertices and may be huge; a double
// beyond the float range must not be narrowed as it is.
float Narrow(double value) {
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(value > kLargest ? kLargest : (value < -kLargest ? -kLargest : value));
}

std::int64_t CeilToPixel(std::int64_t fixed) { return -FloorDiv(-fixed, kSubPixelScale); }

// Walks one edge down the rows, giving for each row the first pixel column
// at or to the right of the edge, ceil(x), in exact integer arithmetic: x at
// row j is numerator / denominator, advanced by a quotient and a remainder.
class EdgeWalker {
public:
    EdgeWalker() = default;
    EdgeWalker(const ScreenVertex& from, const ScreenVertex& to, int row) {
        const std::int64_t dx = std::int64_t{to.x} - from.x;
        const std::int64_t dy = std::int64_t{to.y} - from.y;
        if (dy <= 0) return;
        m_denominator = kSubPixelScale * dy;
        const std::int64_t numerator = std::int64_t{from.x} * dy + (std::int64_t{row} * kSubPixelScale - from.y) * dx;
        m_quotient = FloorDiv(numerator, m_denominator);
        m_remainder = numerator - m_quotient * m_denominator;
        const std::int64_t stepNumerator = kSubPixelScale * dx;
        m_stepQuotient = FloorDiv(stepNumerator, m_denominator);
        m_stepRemainder = stepNumerator - m_stepQuotient * m_denominator;
    }

    std::int64_t FirstColumnAtOrRight() const { return m_quotient + (m_remainder != 0 ? 1 : 0); }

    void NextRow() {
        m_quotient += m_stepQuotient;
        m_remainder += m_stepRemainder;
        if (m_remainder >= m_denominator) {
            m_remainder -= m_denominator;
            ++m_quotient;
        }
    }

private:
    std::int64_t m_denominator = 1;
    std::int64_t m_quotient = 0;
    std::int64_t m_remainder = 0;
    std::int64_t m_stepQuotient = 0;
    std::int64_t m_stepRemainder = 0;
};

}  // namespace

void RasterizeTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, const PixelRect& scissor,
                       SpanSink& sink) {
    // 1. Order the corners from top to bottom.
    const ScreenVertex* v0 = &a;
    const ScreenVertex* v1 = &b;
    const ScreenVertex* v2 = &c;
    if (v1->y < v0->y) std::swap(v0, v1);
    if (v2->y < v1->y) std::swap(v1, v2);
    if (v1->y < v0->y) std::swap(v0, v1);

    // 2. Twice the signed area; a triangle without area covers no sample point.
    const std::int64_t dx1 = std::int64_t{v1->x} - v0->x;
    const std::int64_t dy1 = std::int64_t{v1->y} - v0->y;
    const std::int64_t dx2 = std::int64_t{v2->x} - v0->x;
    const std::int64_t dy2 = std::int64_t{v2->y} - v0->y;
    const std::int64_t area = dx1 * dy2 - dx2 * dy1;
    if (area == 0) return;

    // 3. The rows whose sample points lie in [top corner, bottom corner), within
    //    the scissor; the middle corner's row is the first on the lower short edge.
    const int rowBegin = static_cast<int>(std::max<std::int64_t>(CeilToPixel(v0->y), scissor.top));
    const int rowEnd = static_cast<int>(std::min<std::int64_t>(CeilToPixel(v2->y), scissor.bottom));
    const int rowMiddle = static_cast<int>(CeilToPixel(v1->y));
    if (rowBegin >= rowEnd) return;

    // 4. Attribute gradients per pixel, from the plane through the three corners.
    Span span{};
    std::array<double, kAttributeCount> gradientX{};
    std::array<double, kAttributeCount> gradientY{};
    const double perPixel = static_cast<double>(kSubPixelScale) / static_cast<double>(area);
    for (int k = 0; k < kAttributeCount; ++k) {
        const double d1 = static_cast<double>(v1->attributes[k]) - v0->attributes[k];
        const double d2 = static_cast<double>(v2->attributes[k]) - v0->attributes[k];
        gradientX[k] = (d1 * static_cast<double>(dy2) - d2 * static_cast<double>(dy1)) * perPixel;
        span.step[k] = Narrow(gradientX[k]);
        gradientY[k] = (d2 * static_cast<double>(dx1) - d1 * static_cast<double>(dx2)) * perPixel;
    }
    // Only the attributes the sink reads are set up for each span.
    std::array<int, kAttributeCount> used{};
    int usedCount = 0;
    const AttributeSet wanted = sink.Attributes();
    for (int k = 0; k < kAttributeCount; ++k) {
        if ((wanted & (1u << k)) != 0) used[static_cast<std::size_t>(usedCount++)] = k;
    }
    const double originX = static_cast<double>(v0->x) / kSubPixelScale;
    const double originY = static_cast<double>(v0->y) / kSubPixelScale;

    // 5. With the middle corner right of the long edge (positive area in this
    //    order, y pointing down) the long edge bounds the rows on the left.
    const bool longEdgeOnLeft = area > 0;
    EdgeWalker longEdge(*v0, *v2, rowBegin);
    bool onUpperEdge = rowBegin < rowMiddle;
    EdgeWalker shortEdge = onUpperEdge ? EdgeWalker(*v0, *v1, rowBegin) : EdgeWalker(*v1, *v2, rowBegin);

    for (int y = rowBegin; y < rowEnd; ++y) {
        if (onUpperEdge && y == rowMiddle) {
            shortEdge = EdgeWalker(*v1, *v2, y);
            onUpperEdge = false;
        }
        // 6. Pixel i is covered when left <= i < right: a point on the left edge
        //    is in, a point on the right edge is out (the top-left rule; the
        //    row range above applies it to horizontal edges).
        const std::int64_t left = (longEdgeOnLeft ? longEdge : shortEdge).FirstColumnAtOrRight();
        const std::int64_t right = (longEdgeOnLeft ? shortEdge : longEdge).FirstColumnAtOrRight();
        const std::int64_t xBegin = std::max<std::int64_t>(left, scissor.left);
        const std::int64_t xEnd = std::min<std::int64_t>(right, scissor.right);
        longEdge.NextRow();
        shortEdge.NextRow();
        if (xBegin >= xEnd) continue;

        // 7. Attributes at the span's first pixel, from the plane directly so
        //    that no error piles up from row to row.
        span.y = y;
        span.xBegin = static_cast<int>(xBegin);
        span.xEnd = static_cast<int>(xEnd);
        const double offsetX = static_cast<double>(xBegin) - originX;
        const double offsetY = static_cast<double>(y) - originY;
        for (int i = 0; i < usedCount; ++i) {
            const int k = used[static_cast<std::size_t>(i)];
            span.start[k] = Narrow(v0->attributes[k] + gradientX[k] * offsetX + gradientY[k] * offsetY);
        }
        sink.DrawSpan(span);
    }
}

}  // namespace vx::dx::soft
