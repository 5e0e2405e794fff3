#include "framework/stdctrls.h"

#include <algorithm>

#include "framework/application.h"
#include "framework/form.h"

namespace vx {

TRect DrawFrame3D(Canvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight) {
    if (r.IsEmpty()) return r;
    canvas.FillRect(TRect{r.Left, r.Top, r.Right - 1, r.Top + 1}, topLeft);
    canvas.FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom - 1}, topLeft);
    canvas.FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
    canvas.FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
    return TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

namespace {
TRect DrawCut(Canvas& canvas, const TRect& r, TBevelCut cut) {
    switch (cut) {
        case bvLowered:
            return DrawFrame3D(canvas, r, clBtnShadow, clBtnHighlight);
        case bvRaised:
            return DrawFrame3D(canvas, r, clBtnHighlight, clBtnShadow);
        case bvSpace:
            return DrawFrame3D(canvas, r, clBtnFace, clBtnFace);
        case bvNone:
            break;
    }
    return r;
}
}  // namespace

// ---------------------------------------------------------------- TPanel

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelOuter(TBevelCut cut) {
    if (cut == m_bevelOuter) return;
    m_bevelOuter = cut;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut cut) {
    if (cut == m_bevelInner) return;
    m_bevelInner = cut;
    Invalidate();
}

void TPanel::Paint(Canvas& canvas) {
    canvas.FillRect(ClientRect(), Color());
    TRect r = DrawCut(canvas, ClientRect(), m_bevelOuter);
    r = DrawCut(canvas, r, m_bevelInner);
    if (!Caption().empty()) {
        canvas.Font = Font();
        canvas.Brush.Style = bsClear;
        TSize size = canvas.TextExtent(Caption());
        canvas.TextRect(r, (Width() - size.cx) / 2, (Height() - size.cy) / 2, Caption());
    }
}

// ---------------------------------------------------------------- TMemo

TMemo::TMemo(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 89);
    SetColor(clWindow);
}

void TMemo::TLines::Add(const std::string& line) {
    m_items.push_back(line);
    m_memo.TextChanged(true);
}

void TMemo::TLines::Clear() {
    m_items.clear();
    m_memo.TextChanged(false);
}

void TMemo::SetWordWrap(bool wrap) {
    if (wrap == m_wordWrap) return;
    m_wordWrap = wrap;
    Invalidate();
}

void TMemo::SetBorderStyle(TBorderStyle style) {
    if (style == m_borderStyle) return;
    m_borderStyle = style;
    Invalidate();
}

int TMemo::TextLength() const {
    // Lines are joined by a two-character line break, as in a text box.
    int length = 0;
    for (const std::string& line : m_lines.Items()) length += static_cast<int>(DecodeUtf8(line).size()) + 2;
    return std::max(length - 2, 0);
}

void TMemo::TextChanged(bool caretToEnd) {
    m_selStart = caretToEnd ? TextLength() : 0;
    m_selLength = 0;
    ScrollToCaret();
    Invalidate();
}

void TMemo::SetSelStart(int start) {
    m_selStart = std::clamp(start, 0, TextLength());
    m_selLength = 0;
    ScrollToCaret();
    Invalidate();
}

void TMemo::SetSelLength(int length) {
    m_selLength = std::clamp(length, 0, TextLength() - m_selStart);
    Invalidate();
}

FontFace* TMemo::Face() {
    Application* app = App();
    return app != nullptr ? &app->Fonts().Face(Font()) : nullptr;
}

TRect TMemo::TextRect() const {
    TRect r = ClientRect();
    if (m_borderStyle == bsSingleBorder) r = TRect{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
    // The text keeps a small margin from the box's left and right edge.
    return TRect{r.Left + 1, r.Top, r.Right - 1, r.Bottom};
}

std::vector<std::string> TMemo::VisualRows() {
    std::vector<std::string> rows;
    FontFace* face = Face();
    for (const std::string& line : m_lines.Items()) {
        if (!m_wordWrap || face == nullptr) {
            rows.push_back(line);
            continue;
        }
        for (std::string& row : WrapText(*face, line, std::max(TextRect().Width(), 1))) rows.push_back(std::move(row));
    }
    return rows;
}

int TMemo::VisibleRowCount() {
    FontFace* face = Face();
    int rowHeight = face != nullptr ? std::max(face->Metrics().height(), 1) : 13;
    return std::max(TextRect().Height() / rowHeight, 1);
}

void TMemo::ScrollToCaret() {
    // Find the row that holds the caret, counting wrapped rows.
    FontFace* face = Face();
    int caretRow = 0;
    if (face != nullptr && m_selStart > 0) {
        int offset = 0;
        int row = 0;
        for (const std::string& line : m_lines.Items()) {
            int lineLength = static_cast<int>(DecodeUtf8(line).size());
            auto wrapped = m_wordWrap ? WrapText(*face, line, std::max(TextRect().Width(), 1)) : std::vector<std::string>{line};
            if (m_selStart <= offset + lineLength) {
                int inLine = m_selStart - offset;
                int consumed = 0;
                for (std::size_t i = 0; i < wrapped.size(); ++i) {
                    consumed += static_cast<int>(DecodeUtf8(wrapped[i]).size());
                    if (inLine <= consumed || i + 1 == wrapped.size()) {
                        caretRow = row + static_cast<int>(i);
                        break;
                    }
                }
                break;
            }
            offset += lineLength + 2;
            row += static_cast<int>(wrapped.size());
        }
    }
    int visible = VisibleRowCount();
    if (caretRow < m_topRow) m_topRow = caretRow;
    if (caretRow >= m_topRow + visible) m_topRow = caretRow - visible + 1;
    m_topRow = std::max(m_topRow, 0);
}

void TMemo::Paint(Canvas& canvas) {
    canvas.FillRect(ClientRect(), Color());
    if (m_borderStyle == bsSingleBorder) {
        TRect r = DrawFrame3D(canvas, ClientRect(), clBtnShadow, clBtnHighlight);
        DrawFrame3D(canvas, r, cl3DDkShadow, cl3DLight);
    }
    TRect text = TextRect();
    canvas.Font = Font();
    canvas.Brush.Style = bsClear;
    FontFace& face = canvas.CurrentFace();
    int rowHeight = std::max(face.Metrics().height(), 1);
    std::vector<std::string> rows = VisualRows();
    int y = text.Top;
    for (std::size_t i = static_cast<std::size_t>(m_topRow); i < rows.size() && y < text.Bottom; ++i, y += rowHeight) {
        canvas.TextRect(text, text.Left, y, rows[i]);
    }
}

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::Paint(Canvas& canvas) {
    TRect r = ClientRect();
    canvas.FillRect(r, clBtnFace);
    if (Pressed()) {
        r = DrawFrame3D(canvas, r, cl3DDkShadow, clBtnHighlight);
        DrawFrame3D(canvas, r, clBtnShadow, cl3DLight);
    } else {
        r = DrawFrame3D(canvas, r, clBtnHighlight, cl3DDkShadow);
        DrawFrame3D(canvas, r, cl3DLight, clBtnShadow);
    }
    canvas.Font = Font();
    canvas.Brush.Style = bsClear;
    TSize size = canvas.TextExtent(Caption());
    int x = (Width() - size.cx) / 2;
    int y = (Height() - size.cy) / 2;
    if (Pressed()) {
        ++x;
        ++y;
    }
    TRect inside{2, 2, Width() - 2, Height() - 2};
    if (Enabled()) {
        canvas.TextRect(inside, x, y, Caption());
    } else {
        // The classic engraved look of a disabled caption.
        canvas.Font.SetColor(clBtnHighlight);
        canvas.TextRect(inside, x + 1, y + 1, Caption());
        canvas.Font.SetColor(clBtnShadow);
        canvas.TextRect(inside, x, y, Caption());
    }
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    m_pressed = true;
    m_inside = ClientRect().Contains(x, y);
    Invalidate();
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    bool inside = ClientRect().Contains(x, y);
    if (m_pressed && inside != m_inside) {
        m_inside = inside;
        Invalidate();
    }
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    bool wasPressed = m_pressed;
    if (button == mbLeft) {
        m_pressed = false;
        if (wasPressed) Invalidate();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

}  // namespace vx
