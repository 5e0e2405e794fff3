#include "widgets/digits.h"

#include <algorithm>
#include <array>

#include "widgets/format.h"

namespace vx {

namespace {

// Segments lit per character class. Bits: 0 top, 1 middle, 2 bottom,
// 3 upper left, 4 upper right, 5 lower left, 6 lower right, 7 point.
constexpr std::array<std::uint8_t, 12> kDigitSegments = {
    0x7D, 0x50, 0x37, 0x57, 0x5A, 0x4F, 0x6F, 0x51, 0x7F, 0x5F,
    0x00,  // blank
    0x80,  // decimal point
};
constexpr int kBlankClass = 10;
constexpr int kPointClass = 11;

std::optional<int> CharacterClass(char c) {
    if (c == ' ') return kBlankClass;
    if (c == ',' || c == '.') return kPointClass;
    if (c >= '0' && c <= '9') return c - '0';
    return std::nullopt;
}

}  // namespace

namespace {
// Keeps every coordinate the digits are drawn at well inside int range.
int ClampSize(int v) { return std::clamp(v, -32768, 32767); }
}  // namespace

void TPointClass::SetX(int x) { Update(m_x, ClampSize(x)); }
void TPointClass::SetY(int y) { Update(m_y, ClampSize(y)); }

std::string DigitsText(double value, char separator, int digitCount, int positions) {
    std::string text = FormatGeneral(value, separator);
    // No display is wide enough to show more; the cap keeps a stray count
    // from building a huge text.
    digitCount = std::min(digitCount, kMaxDigitsPadding);
    positions = std::min(positions, kMaxDigitsPadding);
    if (digitCount != -1 && digitCount > static_cast<int>(text.size())) {
        text.append(static_cast<std::size_t>(digitCount) - text.size(), '0');
    }
    if (positions > static_cast<int>(text.size())) text.insert(0, static_cast<std::size_t>(positions) - text.size(), ' ');
    return text;
}

TglDigits::TglDigits(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 160, 28);
    auto redraw = [this] { DrawNow(); };
    m_digitSize.SetOnChange(redraw);
    m_bevel.SetOnChange(redraw);
    m_gradient.SetOnChange(redraw);
}

std::string TglDigits::Text() const { return DigitsText(m_value, DecimalSeparator(), m_digitCount, m_positions); }

void TglDigits::SetValue(double value) {
    if (value == m_value) return;
    m_value = value;
    const std::size_t length = Text().size();
    if (length == m_lastLength) {
        m_erase = false;
        DrawNow();
    } else {
        m_lastLength = length;
        m_erase = true;
        Invalidate();
    }
}

void TglDigits::SetActiveColor(TColor color) {
    if (color == m_activeColor) return;
    m_activeColor = color;
    m_erase = false;
    DrawNow();
}

void TglDigits::SetPassiveColor(TColor color) {
    if (color == m_passiveColor) return;
    m_passiveColor = color;
    m_erase = false;
    DrawNow();
}

void TglDigits::SetPenStyle(TPenStyle style) {
    if (style == m_penStyle) return;
    m_penStyle = style;
    m_erase = false;
    DrawNow();
}

void TglDigits::SetInsertSpSymbolAt(int position) {
    if (position == m_insertSpSymbolAt) return;
    m_insertSpSymbolAt = position;
    m_erase = true;
    DrawNow();
}

void TglDigits::SetBackgrColor(TColor color) { SetErasing(m_backgrColor, color); }
void TglDigits::SetPositions(std::uint16_t positions) { SetErasing(m_positions, positions); }
void TglDigits::SetPenWidth(std::uint16_t width) { SetErasing(m_penWidth, width); }
void TglDigits::SetGap(std::uint16_t gap) { SetErasing(m_gap, gap); }
void TglDigits::SetInterspace(std::uint16_t interspace) { SetErasing(m_interspace, interspace); }
void TglDigits::SetTransparent(bool transparent) { SetErasing(m_transparent, transparent); }
void TglDigits::SetAlignment(TAlignment alignment) { SetErasing(m_alignment, alignment); }
void TglDigits::SetInteriorOffset(std::uint16_t offset) { SetErasing(m_interiorOffset, offset); }
void TglDigits::SetDigitCount(int count) { SetErasing(m_digitCount, count); }

void TglDigits::SetSpecialSymbol(TSpSymbol symbol) {
    if (symbol == m_specialSymbol) return;
    // Without a symbol a remembered position would only widen the text.
    if (symbol == ssNone) m_insertSpSymbolAt = -1;
    SetErasing(m_specialSymbol, symbol);
}

void TglDigits::Paint(Canvas& canvas) {
    const int width = Width();
    const int height = Height();
    TRect area = ClientRect();
    if (m_gradient.Active()) {
        const int inset = m_interiorOffset;
        FillGradient(canvas, TRect{inset, inset, width - inset, height - inset}, m_gradient);
    }
    if (m_bevel.Active()) {
        const TRect inner = DrawBevel(canvas, TRect{0, 0, width - 1, height - 1}, m_bevel.Sides(), m_bevel.Outer(),
                                      m_bevel.Inner(), m_bevel.Bold(), false, clNone);
        area = TRect{inner.Left, inner.Top, inner.Right + 1, inner.Bottom + 1};
    }

    const std::string text = Text();
    const int cellWidth = m_digitSize.X();
    const int interspace = m_interspace;
    int total = interspace;
    for (char c : text) total += c == ',' ? interspace : cellWidth + interspace;
    if (m_insertSpSymbolAt > 0 && m_insertSpSymbolAt <= static_cast<int>(text.size())) {
        total += m_specialSymbol == ssColon ? 3 * interspace : cellWidth + interspace;
    }

    // The start is measured from the widget's edge, not from the bevel's
    // interior; only the interior's width centres the text.
    int x = interspace;
    if (m_alignment == taCenter) x = (area.Width() - total) / 2 + interspace;
    if (m_alignment == taRightJustify) x = area.Width() - total + interspace;
    const int y = (height - m_digitSize.Y()) / 2;

    // A decimal point that moved leaves its old pixel behind unless erased.
    if (const std::size_t comma = text.find(','); comma != std::string::npos) {
        if (static_cast<int>(comma) + 1 != m_lastPointPosition) m_erase = true;
    }
    if (m_erase && !m_transparent && !m_gradient.Active()) canvas.FillRect(area, m_backgrColor);

    canvas.Pen.Color = m_activeColor;
    canvas.Pen.Style = m_penStyle;
    canvas.Pen.Width = m_penWidth;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::optional<int> next = DrawCharacter(canvas, x, y, static_cast<int>(i) + 1, text[i]);
        if (!next) break;
        x = *next;
    }
    m_erase = true;
}

std::optional<int> TglDigits::DrawCharacter(Canvas& canvas, int x, int y, int position, char c) {
    const int fx = m_digitSize.X();
    const int fy = m_digitSize.Y();
    const int interspace = m_interspace;
    if (m_insertSpSymbolAt == position) {
        switch (m_specialSymbol) {
            case ssColon:
                x += interspace;
                canvas.SetPixel(x, y + fy / 3, m_activeColor);
                canvas.SetPixel(x, y + fy - fy / 3, m_activeColor);
                x += 2 * interspace;
                break;
            case ssSlash:
                canvas.MoveTo(x + fx, y + 1);
                canvas.LineTo(x, y + fy);
                x += fx + interspace;
                break;
            case ssBackslash:
                canvas.MoveTo(x, y + 1);
                canvas.LineTo(x + fx, y + fy);
                x += fx + interspace;
                break;
            case ssNone:
                break;
        }
    }

    const int penWidth = m_penWidth;
    const int p = penWidth == 1 ? 1 : 0;
    const int left = x;
    const int top = y;
    const int right = x + fx;
    const int bottom = y + fy;
    const int mid = top + (fy - penWidth) / 2;

    const std::optional<int> cls = CharacterClass(c);
    if (!cls) return std::nullopt;
    if (Width() < x) return x;
    if (*cls == kPointClass) {
        m_lastPointPosition = position;
        canvas.SetPixel(x, bottom, m_activeColor);
        return x + interspace;
    }

    const int gap = m_gap;
    struct Segment {
        int x1, y1, x2, y2;
    };
    const std::array<Segment, 7> segments = {{
        {left + gap, top, right - gap + p, top},                 // top
        {left + gap, mid, right - gap + p, mid},                 // middle
        {left + gap, bottom, right - gap + p, bottom},           // bottom
        {left, top + gap, left, mid - gap + p},                  // upper left
        {right, top + gap, right, mid - gap + p},                // upper right
        {left, bottom - gap, left, mid + penWidth + gap - p},    // lower left
        {right, bottom - gap, right, mid + penWidth + gap - p},  // lower right
    }};
    // Unlit segments only show on a plain background; over a gradient the
    // ramp itself is the "off" look.
    const bool drawUnlit = !m_gradient.Active();
    const std::uint8_t mask = kDigitSegments[static_cast<std::size_t>(*cls)];
    for (std::size_t s = 0; s < segments.size(); ++s) {
        const bool lit = (mask & (1u << s)) != 0;
        if (!lit && !drawUnlit) continue;
        canvas.Pen.Color = lit ? m_activeColor : m_passiveColor;
        canvas.MoveTo(segments[s].x1, segments[s].y1);
        canvas.LineTo(segments[s].x2, segments[s].y2);
    }
    return x + fx + interspace;
}

}  // namespace vx
