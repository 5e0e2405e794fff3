#include "graphics/graphics.h"

#include <array>
#include <cstdint>
#include <limits>

namespace vx {

namespace {

// The classic desktop scheme, indexed by COLOR_xxx.
constexpr std::array<TColor, 25> kSysColors = {
    RGB(212, 208, 200),  //  0 scroll bar
    RGB(58, 110, 165),   //  1 desktop background
    RGB(10, 36, 106),    //  2 active caption
    RGB(128, 128, 128),  //  3 inactive caption
    RGB(212, 208, 200),  //  4 menu
    RGB(255, 255, 255),  //  5 window
    RGB(0, 0, 0),        //  6 window frame
    RGB(0, 0, 0),        //  7 menu text
    RGB(0, 0, 0),        //  8 window text
    RGB(255, 255, 255),  //  9 caption text
    RGB(212, 208, 200),  // 10 active border
    RGB(212, 208, 200),  // 11 inactive border
    RGB(128, 128, 128),  // 12 application workspace
    RGB(10, 36, 106),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(212, 208, 200),  // 15 button face
    RGB(128, 128, 128),  // 16 button shadow
    RGB(128, 128, 128),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(212, 208, 200),  // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(64, 64, 64),     // 21 3D dark shadow
    RGB(212, 208, 200),  // 22 3D light
    RGB(0, 0, 0),        // 23 tooltip text
    RGB(255, 255, 225),  // 24 tooltip background
};

}  // namespace

TColor GetSysColor(int index) {
    if (index < 0 || index >= static_cast<int>(kSysColors.size())) return clBlack;
    return kSysColors[static_cast<std::size_t>(index)];
}

TColor ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return color;
}

int MulDiv(int a, int b, int d) {
    if (d == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t quotient = product / d;
    const std::int64_t remainder = product % d;
    // |remainder| * 2 >= |d| means the exact result is at least half-way to the
    // next integer away from zero.
    const std::int64_t absRem = remainder < 0 ? -remainder : remainder;
    const std::int64_t absD = d < 0 ? -static_cast<std::int64_t>(d) : d;
    if (absRem * 2 >= absD) quotient += ((product < 0) != (d < 0)) ? -1 : 1;
    // An overflowing result has no meaningful value; the platform answers -1.
    if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(quotient);
}

// ---------------------------------------------------------------- Region

namespace {

// Appends the parts of `r` outside `cut` (at most four) to `out`.
void AppendDifference(const TRect& r, const TRect& cut, std::vector<TRect>& out) {
    const TRect overlap = r.Intersect(cut);
    if (overlap.IsEmpty()) {
        out.push_back(r);
        return;
    }
    // Full-width bands above and below, then the left and right parts of the
    // middle band, so the pieces never overlap.
    if (overlap.Top > r.Top) out.push_back(TRect{r.Left, r.Top, r.Right, overlap.Top});
    if (overlap.Bottom < r.Bottom) out.push_back(TRect{r.Left, overlap.Bottom, r.Right, r.Bottom});
    if (overlap.Left > r.Left) out.push_back(TRect{r.Left, overlap.Top, overlap.Left, overlap.Bottom});
    if (overlap.Right < r.Right) out.push_back(TRect{overlap.Right, overlap.Top, r.Right, overlap.Bottom});
}

}  // namespace

Region::Region(const TRect& r) {
    if (!r.IsEmpty()) m_rects.push_back(r);
}

bool Region::Contains(int x, int y) const {
    for (const TRect& r : m_rects) {
        if (r.Contains(x, y)) return true;
    }
    return false;
}

TRect Region::Bounds() const {
    TRect bounds;
    for (const TRect& r : m_rects) bounds = bounds.Union(r);
    return bounds;
}

void Region::Add(const TRect& r) {
    if (r.IsEmpty()) return;
    // Only the parts of r not yet covered are stored, which keeps the
    // rectangles disjoint.
    std::vector<TRect> pieces{r};
    std::vector<TRect> next;
    for (const TRect& existing : m_rects) {
        if (pieces.empty()) return;
        if (!existing.Intersects(r)) continue;
        next.clear();
        for (const TRect& piece : pieces) AppendDifference(piece, existing, next);
        pieces.swap(next);
    }
    m_rects.insert(m_rects.end(), pieces.begin(), pieces.end());
}

void Region::Subtract(const TRect& r) {
    if (r.IsEmpty() || m_rects.empty()) return;
    std::vector<TRect> result;
    result.reserve(m_rects.size() + 4);
    for (const TRect& existing : m_rects) AppendDifference(existing, r, result);
    m_rects.swap(result);
}

void Region::Intersect(const TRect& r) {
    std::vector<TRect> result;
    result.reserve(m_rects.size());
    for (const TRect& existing : m_rects) {
        const TRect overlap = existing.Intersect(r);
        if (!overlap.IsEmpty()) result.push_back(overlap);
    }
    m_rects.swap(result);
}

void Region::Offset(int dx, int dy) {
    for (TRect& r : m_rects) r = r.Offset(dx, dy);
}

}  // namespace vx
