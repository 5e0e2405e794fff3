// The description objects the widgets share (two-colour ramps, gradients,
// bevels) and the stateless painters that draw them: DrawBevel,
// FillGradient and DrawStyledText. Painters work in canvas coordinates and
// leave the canvas's pen, brush and font as they found them.
#pragma once

#include <cstdint>
#include <string>

#include "framework/stdctrls.h"
#include "graphics/canvas.h"
#include "graphics/graphics.h"
#include "widgets/property_group.h"

namespace vx {

enum TglGradientDir {
    fgdHorizontal,  // colour changes from top to bottom
    fgdVertical,    // colour changes from left to right
    fgdLeftBias,
    fgdRightBias,
    fgdRectangle,
    fgdHorzConvergent,
    fgdVertConvergent,
};

enum TglTextStyle { fstNone, fstRaised, fstRecessed, fstPushed, fstShadow, fstVolumetric };
enum TglLabelDir { fldLeftRight, fldRightLeft, fldUpDown, fldDownUp };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TglBevelSide : unsigned { fsdLeft = 1, fsdTop = 2, fsdRight = 4, fsdBottom = 8 };
using TglBevelSides = unsigned;
constexpr TglBevelSides kAllBevelSides = fsdLeft | fsdTop | fsdRight | fsdBottom;

// Colour shifts used for derived button colours; a system colour is
// resolved first and each channel saturates.
TColor LightenColor(TColor color, int step);
TColor DarkenColor(TColor color, int step);

// A pair of colours. The RGB value of each is resolved when it is set, so a
// system colour keeps the value it had at that moment.
class TTwainColors : public PropertyGroup {
public:
    TTwainColors() = default;
    virtual ~TTwainColors() = default;

    TColor FromColor() const { return m_fromColor; }
    void SetFromColor(TColor color);
    TColor ToColor() const { return m_toColor; }
    void SetToColor(TColor color);
    TColor RGBFromColor() const { return m_rgbFrom; }
    TColor RGBToColor() const { return m_rgbTo; }

private:
    TColor m_fromColor = clGray;
    TColor m_toColor = clBlack;
    TColor m_rgbFrom = ColorToRGB(clGray);
    TColor m_rgbTo = ColorToRGB(clBlack);
};

class TGradient : public TTwainColors {
public:
    bool Active() const { return m_active; }
    void SetActive(bool active);
    TglGradientDir Orientation() const { return m_orientation; }
    // Notifies only while active: an idle gradient's direction shows nowhere.
    void SetOrientation(TglGradientDir orientation);
    int Steps() const { return m_steps; }
    // Stores 255 for 256 and more and 1 for 0 and less.
    void SetSteps(int steps);
    std::uint8_t PercentFilling() const { return m_percentFilling; }
    void SetPercentFilling(std::uint8_t percent);
    bool BufferedDraw() const { return m_bufferedDraw; }
    void SetBufferedDraw(bool buffered);
    TBrushStyle BrushStyle() const { return m_brushStyle; }
    // Notifies even when unchanged.
    void SetBrushStyle(TBrushStyle style);

private:
    bool m_active = false;
    TglGradientDir m_orientation = fgdHorizontal;
    int m_steps = 255;
    std::uint8_t m_percentFilling = 100;
    bool m_bufferedDraw = false;
    TBrushStyle m_brushStyle = bsSolid;
};

class TglBevel : public PropertyGroup {
public:
    TglBevel() = default;
    virtual ~TglBevel() = default;

    TBevelCut Outer() const { return m_outer; }
    void SetOuter(TBevelCut cut);
    TBevelCut Inner() const { return m_inner; }
    void SetInner(TBevelCut cut);
    TglBevelSides Sides() const { return m_sides; }
    void SetSides(TglBevelSides sides);
    bool Bold() const { return m_bold; }
    void SetBold(bool bold);

private:
    TBevelCut m_outer = bvNone;
    TBevelCut m_inner = bvNone;
    TglBevelSides m_sides = kAllBevelSides;
    bool m_bold = false;
};

class TglExtBevel : public TglBevel {
public:
    bool Active() const { return m_active; }
    void SetActive(bool active) { Update(m_active, active); }
    TPenStyle BevelPenStyle() const { return m_penStyle; }
    void SetBevelPenStyle(TPenStyle style) { Update(m_penStyle, style); }
    std::uint16_t BevelPenWidth() const { return m_penWidth; }
    void SetBevelPenWidth(std::uint16_t width) { Update(m_penWidth, width); }
    std::uint16_t InteriorOffset() const { return m_interiorOffset; }
    void SetInteriorOffset(std::uint16_t offset) { Update(m_interiorOffset, offset); }

private:
    bool m_active = true;
    TPenStyle m_penStyle = psSolid;
    std::uint16_t m_penWidth = 1;
    std::uint16_t m_interiorOffset = 0;
};

// Colours of one bevel call; the defaults are the system's 3D colours.
struct BevelColors {
    TColor shadow = clBtnShadow;
    TColor highlight = clBtnHighlight;
    TColor darkShadow = cl3DDkShadow;
};

// Draws the outer cut on rect, then the inner cut inside it, on the given
// sides, and returns what is left inside. Unlike fills, rect's Right and
// Bottom are the last column and row of the frame, and so are the returned
// rectangle's. With fill set the interior (its last column and row
// included) is filled with fillColor. A bold raised or lowered cut is two
// pixels wide, with the dark shadow colour in one of its rings.
TRect DrawBevel(Canvas& canvas, TRect rect, TglBevelSides sides, TBevelCut outer, TBevelCut inner, bool bold, bool fill,
                TColor fillColor, const BevelColors& colors = {});

// Fills rect (exclusive right and bottom) with the gradient's bands. Draws
// nothing when the gradient is inactive, has one step, or the surface has
// fewer than 16 bits per pixel. PercentFilling stops the fill at the band
// that passes it.
void FillGradient(Canvas& canvas, const TRect& rect, const TGradient& gradient);

// Writes one line of text in a 3D style, clipped to clip; the main copy's
// top-left is at (x, y) for fstNone and fstShadow.
void DrawStyledText(Canvas& canvas, int x, int y, const TFont& font, const std::string& text, TglTextStyle style, bool delineated,
                    TColor fontColor, TColor shadowColor, TColor highlightColor, TColor delineateColor, const TRect& clip,
                    int shadowDepth = 2, bool skip3DCopies = false);

}  // namespace vx
