// The digit display: a number drawn as seven-segment digits with straight
// lines, over a solid or gradient background inside an optional bevel.
//
// What each setter repaints; every one of them does nothing when the value
// is unchanged. "Erased" means the background is filled before the digits
// (when the display is neither transparent nor on a gradient).
//
//   setter                          repaint                 why
//   Value, same text length         paints now, not erased  the digits stand
//                                                           where the old ones did
//   Value, new text length          invalidates, erased     the digits move
//   ActiveColor, PassiveColor,      paints now, not erased  only colours and
//     PenStyle                                              dashes change
//   BackgrColor, Positions,         invalidates, erased     the digits move or
//     PenWidth, Gap, Interspace,                            the background shows
//     Transparent, Alignment,
//     InteriorOffset, DigitCount,
//     SpecialSymbol
//   InsertSpSymbolAt                paints now, erased      (1)
//   DigitSize, Bevel, Gradient      paints now, erased      (1)
//   bounds                          the next paint erases
//
// (1) An accident: these move the digits as much as the setters that
//     invalidate do, yet paint at once, so a transparent display can keep
//     parts of its old drawing until the window repaints it. Kept as it is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/control.h"
#include "widgets/painters.h"
#include "widgets/property_group.h"

namespace vx {

enum TSpSymbol { ssNone, ssColon, ssSlash, ssBackslash };

// A width and height that tell their owner when they change. Values are
// kept within -32768..32767.
class TPointClass : public PropertyGroup {
public:
    TPointClass(int x, int y) : m_x(x), m_y(y) {}

    int X() const { return m_x; }
    void SetX(int x);
    int Y() const { return m_y; }
    void SetY(int y);

private:
    int m_x;
    int m_y;
};

// The text a display shows for a value: general format with the given
// separator, then trailing zeros up to digitCount characters (-1: none),
// then leading blanks up to positions characters. Padding stops at
// kMaxDigitsPadding characters.
constexpr int kMaxDigitsPadding = 256;
std::string DigitsText(double value, char separator, int digitCount, int positions);

class TglDigits : public TGraphicControl {
public:
    explicit TglDigits(TComponent* owner);

    double Value() const { return m_value; }
    // Redraws at once over the old digits when the text keeps its length;
    // a new length needs the background erased, so it requests a repaint.
    void SetValue(double value);
    // The text of the current value, as drawn.
    std::string Text() const;

    TPointClass& DigitSize() { return m_digitSize; }
    const TPointClass& DigitSize() const { return m_digitSize; }
    TglExtBevel& Bevel() { return m_bevel; }
    const TglExtBevel& Bevel() const { return m_bevel; }
    TGradient& Gradient() { return m_gradient; }
    const TGradient& Gradient() const { return m_gradient; }

    TColor ActiveColor() const { return m_activeColor; }
    void SetActiveColor(TColor color);
    TColor PassiveColor() const { return m_passiveColor; }
    void SetPassiveColor(TColor color);
    TColor BackgrColor() const { return m_backgrColor; }
    void SetBackgrColor(TColor color);
    std::uint16_t Positions() const { return m_positions; }
    void SetPositions(std::uint16_t positions);
    std::uint16_t PenWidth() const { return m_penWidth; }
    void SetPenWidth(std::uint16_t width);
    std::uint16_t Gap() const { return m_gap; }
    void SetGap(std::uint16_t gap);
    std::uint16_t Interspace() const { return m_interspace; }
    void SetInterspace(std::uint16_t interspace);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);
    std::uint16_t InteriorOffset() const { return m_interiorOffset; }
    void SetInteriorOffset(std::uint16_t offset);
    int InsertSpSymbolAt() const { return m_insertSpSymbolAt; }
    void SetInsertSpSymbolAt(int position);
    TPenStyle PenStyle() const { return m_penStyle; }
    void SetPenStyle(TPenStyle style);
    TSpSymbol SpecialSymbol() const { return m_specialSymbol; }
    void SetSpecialSymbol(TSpSymbol symbol);
    int DigitCount() const { return m_digitCount; }
    void SetDigitCount(int count);

    void Paint(Canvas& canvas) override;

protected:
    void BoundsChanged() override { m_erase = true; }

private:
    // Stores a value that needs the background erased and requests a repaint.
    template <class T>
    void SetErasing(T& field, T value) {
        if (field == value) return;
        field = value;
        m_erase = true;
        Invalidate();
    }
    // Draws one character cell at (x, y); returns the next x, or nothing when
    // the character has no digit shape and drawing must stop.
    std::optional<int> DrawCharacter(Canvas& canvas, int x, int y, int position, char c);

    double m_value = 0;
    TPointClass m_digitSize{10, 21};
    TColor m_activeColor = clWhite;
    TColor m_passiveColor = 0x202020;
    TColor m_backgrColor = clBlack;
    std::uint16_t m_positions = 0;
    std::uint16_t m_penWidth = 1;
    std::uint16_t m_gap = 1;
    std::uint16_t m_interspace = 3;
    bool m_transparent = false;
    TAlignment m_alignment = taCenter;
    std::uint16_t m_interiorOffset = 0;
    int m_insertSpSymbolAt = -1;
    TPenStyle m_penStyle = psSolid;
    TSpSymbol m_specialSymbol = ssNone;
    int m_digitCount = -1;
    TglExtBevel m_bevel;
    TGradient m_gradient;

    std::size_t m_lastLength = 0;  // characters in the text last set
    int m_lastPointPosition = 0;   // 1-based position of the last decimal point drawn
    bool m_erase = true;           // fill the background before the digits
};

}  // namespace vx
