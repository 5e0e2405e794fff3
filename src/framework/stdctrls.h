// The framework's stock controls: panel, memo and push button, in the
// classic desktop look.
#pragma once

#include <string>
#include <vector>

#include "framework/control.h"

namespace vx {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle { bsNoBorder, bsSingleBorder };

// Draws the classic one-pixel 3D frame inside r (exclusive right and
// bottom) and returns the rectangle inside it.
TRect DrawFrame3D(Canvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight);

// A child window that groups controls, with an optional raised or lowered frame.
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);

    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut cut);
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut cut);

    void Paint(Canvas& canvas) override;

private:
    TBevelCut m_bevelOuter = bvRaised;
    TBevelCut m_bevelInner = bvNone;
};

// A multi-line text box. Each line is wrapped to the box's width; the view
// follows the caret, which adding a line moves to the end of the text.
class TMemo : public TCustomControl {
public:
    explicit TMemo(TComponent* owner);

    // The lines as given (each may wrap to several rows on screen).
    class TLines {
    public:
        explicit TLines(TMemo& memo) : m_memo(memo) {}
        std::size_t Count() const { return m_items.size(); }
        const std::string& operator[](std::size_t index) const { return m_items.at(index); }
        void Add(const std::string& line);
        void Clear();
        const std::vector<std::string>& Items() const { return m_items; }

    private:
        TMemo& m_memo;
        std::vector<std::string> m_items;
    };
    TLines& Lines() { return m_lines; }
    const TLines& Lines() const { return m_lines; }
    void Clear() { m_lines.Clear(); }

    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool wrap);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);

    // The caret as a character offset and a selection length; setting the
    // start brings the caret's row into view.
    int SelStart() const { return m_selStart; }
    void SetSelStart(int start);
    int SelLength() const { return m_selLength; }
    void SetSelLength(int length);

    // The rows on screen after wrapping, and the first one shown.
    std::vector<std::string> VisualRows();
    int TopRow() const { return m_topRow; }
    int VisibleRowCount();

    void Paint(Canvas& canvas) override;

protected:
    void BoundsChanged() override { Invalidate(); }
    void FontChanged() override { Invalidate(); }

private:
    friend class TLines;
    void TextChanged(bool caretToEnd);
    void ScrollToCaret();
    TRect TextRect() const;
    int TextLength() const;
    FontFace* Face();

    TLines m_lines{*this};
    bool m_wordWrap = true;
    bool m_readOnly = false;
    TBorderStyle m_borderStyle = bsSingleBorder;
    int m_selStart = 0;
    int m_selLength = 0;
    int m_topRow = 0;
};

// A push button: a click is a left press and release on the button.
class TButton : public TCustomControl {
public:
    explicit TButton(TComponent* owner);

    bool Pressed() const { return m_pressed && m_inside; }

    void Paint(Canvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;

private:
    bool m_pressed = false;
    bool m_inside = false;
};

}  // namespace vx
