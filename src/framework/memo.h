// The framework's multi-line text box, in the classic desktop look.
#pragma once

#include <string>
#include <vector>

#include "framework/control.h"
#include "framework/stdctrls.h"

namespace vx {

// A multi-line text box. Each line is wrapped to the box's width; the view
// follows the caret, which adding a line moves to the end of the text. It
// takes the focus on a click and then behaves as the platform's multi-line
// edit box does when read-only: the wheel scrolls, the arrows, Home, End,
// Page Up and Down (with Ctrl: the text's ends, a word) move the caret and
// the view, the mouse and Shift select, Ctrl+C copies. No scroll bar.
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

    // Offsets count characters, the lines joined by a two-character break.
    // Setting the start puts the caret there with nothing selected and
    // brings its row into view; setting the length selects from the start,
    // the caret at the selection's end.
    int SelStart() const { return std::min(m_anchor, m_caret); }
    void SetSelStart(int start);
    int SelLength() const { return m_caret > m_anchor ? m_caret - m_anchor : m_anchor - m_caret; }
    void SetSelLength(int length);
    int CaretPos() const { return m_caret; }
    // The selected text, the lines joined by "\r\n".
    std::string SelText() const;
    // Puts the selection on the desktop's clipboard (lines joined by "\n").
    void CopyToClipboard();

    // The rows on screen after wrapping, and the first one shown.
    std::vector<std::string> VisualRows();
    int TopRow() const { return m_topRow; }
    int VisibleRowCount();
    int RowHeight();
    // Scrolls by rows (positive: towards the end), the last row kept at the
    // bottom at most; the caret stays where it is.
    void ScrollBy(int rows);

    void Paint(Canvas& canvas) override;
    bool CanTakeFocus() const override { return Enabled(); }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool MouseWheel(int delta, TShiftState shift, int x, int y) override;
    void KeyDown(int key, TShiftState shift) override;

protected:
    void BoundsChanged() override { TextLayoutChanged(); }
    void FontChanged() override { TextLayoutChanged(); }

private:
    friend class TLines;
    // One row on screen: where it starts in the text, its characters, and
    // the offsets it answers for (up to the next row's start, or past the
    // line's end for a line's last row).
    struct Row {
        int start = 0;
        int length = 0;
        int span = 1;
        std::string text;
    };
    void TextChanged(bool caretToEnd);
    void TextLayoutChanged();
    const std::vector<Row>& Rows();
    int RowOf(int offset);
    int XInRow(const Row& row, int offset);
    int OffsetInRow(const Row& row, int x);
    int OffsetAt(int x, int y);
    void MoveCaret(int offset, bool extend, bool keepColumn = false);
    int NextOffset(int offset, int direction) const;
    int WordOffset(int offset, int direction) const;
    void ScrollToCaret();
    int MaxTopRow();
    TRect TextRect() const;
    int TextLength() const;
    std::u32string Text32() const;
    FontFace* Face();

    TLines m_lines{*this};
    bool m_wordWrap = true;
    bool m_readOnly = false;
    TBorderStyle m_borderStyle = bsSingleBorder;
    int m_anchor = 0;
    int m_caret = 0;
    int m_column = 0;  // the pixel column Up and Down keep
    int m_topRow = 0;
    int m_wheelRest = 0;  // part of a notch not yet scrolled
    bool m_selecting = false;
    std::vector<Row> m_rows;
    bool m_rowsValid = false;
};

}  // namespace vx
