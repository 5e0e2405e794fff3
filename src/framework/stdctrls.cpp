#include "framework/stdctrls.h"

#include <algorithm>

#include "framework/application.h"
#include "framework/backend.h"
#include "framework/form.h"
#include "framework/keys.h"

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

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    for (char32_t cp : text) AppendUtf8(out, cp);
    return out;
}

// Characters in utf8[0, bytes).
int CountChars(const std::string& utf8, std::size_t bytes) {
    int count = 0;
    char32_t cp = 0;
    for (std::size_t pos = 0; pos < bytes && pos < utf8.size(); ++count) pos = DecodeUtf8At(utf8, pos, cp);
    return count;
}

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n'; }

}  // namespace

TMemo::TMemo(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 89);
    SetColor(clWindow);
    SetCursor(crIBeam);
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
    TextLayoutChanged();
}

void TMemo::SetBorderStyle(TBorderStyle style) {
    if (style == m_borderStyle) return;
    m_borderStyle = style;
    TextLayoutChanged();
}

int TMemo::TextLength() const {
    // Lines are joined by a two-character line break, as in a text box.
    int length = 0;
    for (const std::string& line : m_lines.Items()) length += static_cast<int>(DecodeUtf8(line).size()) + 2;
    return std::max(length - 2, 0);
}

std::u32string TMemo::Text32() const {
    std::u32string text;
    for (std::size_t i = 0; i < m_lines.Count(); ++i) {
        if (i > 0) text += U"\r\n";
        text += DecodeUtf8(m_lines[i]);
    }
    return text;
}

void TMemo::TextChanged(bool caretToEnd) {
    m_rowsValid = false;
    m_caret = m_anchor = caretToEnd ? TextLength() : 0;
    if (!caretToEnd) m_topRow = 0;
    ScrollToCaret();
    Invalidate();
}

void TMemo::TextLayoutChanged() {
    m_rowsValid = false;
    ScrollToCaret();
    Invalidate();
}

void TMemo::SetSelStart(int start) {
    MoveCaret(start, false);
}

void TMemo::SetSelLength(int length) {
    const int start = SelStart();
    m_anchor = start;
    m_caret = start + std::clamp(length, 0, TextLength() - start);
    Invalidate();
}

std::string TMemo::SelText() const {
    const std::u32string text = Text32();
    const std::size_t start = static_cast<std::size_t>(std::min<int>(SelStart(), static_cast<int>(text.size())));
    return EncodeUtf8(std::u32string_view(text).substr(start, static_cast<std::size_t>(SelLength())));
}

void TMemo::CopyToClipboard() {
    if (SelLength() == 0) return;
    Application* app = App();
    if (app == nullptr) return;
    std::string text;
    for (char c : SelText()) {
        if (c != '\r') text += c;
    }
    app->Backend().SetClipboardText(text);
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

const std::vector<TMemo::Row>& TMemo::Rows() {
    if (m_rowsValid) return m_rows;
    m_rows.clear();
    FontFace* face = Face();
    int lineStart = 0;
    for (const std::string& line : m_lines.Items()) {
        const int lineLength = static_cast<int>(DecodeUtf8(line).size());
        std::vector<std::string> pieces;
        if (m_wordWrap && face != nullptr) pieces = WrapText(*face, line, std::max(TextRect().Width(), 1));
        if (pieces.empty()) pieces.push_back(line);
        // The pieces are the line's text in order; the spaces where it was
        // broken lie between them.
        std::size_t bytePos = 0;
        const std::size_t firstRow = m_rows.size();
        for (const std::string& piece : pieces) {
            std::size_t at = piece.empty() ? bytePos : line.find(piece, bytePos);
            if (at == std::string::npos) at = bytePos;
            Row row;
            row.start = lineStart + CountChars(line, at);
            row.length = static_cast<int>(DecodeUtf8(piece).size());
            row.text = piece;
            m_rows.push_back(std::move(row));
            bytePos = at + piece.size();
        }
        for (std::size_t i = firstRow; i < m_rows.size(); ++i) {
            const bool last = i + 1 == m_rows.size();
            m_rows[i].span = last ? lineStart + lineLength - m_rows[i].start + 1 : m_rows[i + 1].start - m_rows[i].start;
            m_rows[i].span = std::max(m_rows[i].span, 1);
        }
        lineStart += lineLength + 2;
    }
    m_rowsValid = face != nullptr || App() == nullptr;
    return m_rows;
}

std::vector<std::string> TMemo::VisualRows() {
    std::vector<std::string> rows;
    for (const Row& row : Rows()) rows.push_back(row.text);
    return rows;
}

int TMemo::RowHeight() {
    FontFace* face = Face();
    return face != nullptr ? std::max(face->Metrics().height(), 1) : 13;
}

int TMemo::VisibleRowCount() { return std::max(TextRect().Height() / RowHeight(), 1); }

int TMemo::MaxTopRow() { return std::max(static_cast<int>(Rows().size()) - VisibleRowCount(), 0); }

int TMemo::RowOf(int offset) {
    const auto& rows = Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (offset >= rows[i].start && offset < rows[i].start + rows[i].span) return static_cast<int>(i);
    }
    return rows.empty() ? 0 : static_cast<int>(rows.size()) - 1;
}

int TMemo::XInRow(const Row& row, int offset) {
    FontFace* face = Face();
    if (face == nullptr) return 0;
    const int count = std::clamp(offset - row.start, 0, row.length);
    int x = 0;
    int index = 0;
    char32_t cp = 0;
    for (std::size_t pos = 0; pos < row.text.size() && index < count; ++index) {
        pos = DecodeUtf8At(row.text, pos, cp);
        x += face->GlyphFor(cp).advance;
    }
    return x;
}

int TMemo::OffsetInRow(const Row& row, int x) {
    FontFace* face = Face();
    if (face == nullptr) return row.start;
    // The nearest gap between characters.
    int left = 0;
    int index = 0;
    char32_t cp = 0;
    for (std::size_t pos = 0; pos < row.text.size(); ++index) {
        pos = DecodeUtf8At(row.text, pos, cp);
        const int advance = face->GlyphFor(cp).advance;
        if (x < left + (advance + 1) / 2) break;
        left += advance;
    }
    return row.start + index;
}

int TMemo::OffsetAt(int x, int y) {
    const auto& rows = Rows();
    if (rows.empty()) return 0;
    const TRect text = TextRect();
    // Above or below the text: the row just outside, which scrolls it in.
    const int dy = y - text.Top;
    const int rowIndex = m_topRow + (dy < 0 ? -1 : dy / RowHeight());
    const Row& row = rows[static_cast<std::size_t>(std::clamp(rowIndex, 0, static_cast<int>(rows.size()) - 1))];
    return OffsetInRow(row, x - text.Left);
}

void TMemo::ScrollToCaret() {
    const int caretRow = RowOf(m_caret);
    const int visible = VisibleRowCount();
    if (caretRow < m_topRow) m_topRow = caretRow;
    if (caretRow >= m_topRow + visible) m_topRow = caretRow - visible + 1;
    m_topRow = std::clamp(m_topRow, 0, MaxTopRow());
}

void TMemo::ScrollBy(int rows) {
    const int top = std::clamp(m_topRow + rows, 0, MaxTopRow());
    if (top == m_topRow) return;
    m_topRow = top;
    Invalidate();
}

void TMemo::MoveCaret(int offset, bool extend, bool keepColumn) {
    m_caret = std::clamp(offset, 0, TextLength());
    if (!extend) m_anchor = m_caret;
    if (!keepColumn && !Rows().empty()) m_column = XInRow(Rows()[static_cast<std::size_t>(RowOf(m_caret))], m_caret);
    ScrollToCaret();
    Invalidate();
}

int TMemo::NextOffset(int offset, int direction) const {
    // The line break is one step, though it counts two characters.
    const std::u32string text = Text32();
    const int length = static_cast<int>(text.size());
    if (direction > 0) {
        if (offset >= length) return length;
        return text[static_cast<std::size_t>(offset)] == U'\r' ? std::min(offset + 2, length) : offset + 1;
    }
    if (offset <= 0) return 0;
    return offset >= 2 && text[static_cast<std::size_t>(offset - 1)] == U'\n' ? offset - 2 : offset - 1;
}

int TMemo::WordOffset(int offset, int direction) const {
    // To the next word's start, or back to this or the last word's start.
    const std::u32string text = Text32();
    const int length = static_cast<int>(text.size());
    int at = std::clamp(offset, 0, length);
    auto blank = [&](int i) { return IsBlank(text[static_cast<std::size_t>(i)]); };
    if (direction > 0) {
        while (at < length && !blank(at)) ++at;
        while (at < length && blank(at)) ++at;
    } else {
        while (at > 0 && blank(at - 1)) --at;
        while (at > 0 && !blank(at - 1)) --at;
    }
    return at;
}

void TMemo::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    MoveCaret(OffsetAt(x, y), (shift & ssShift) != 0);
    m_selecting = true;
}

void TMemo::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    if (m_selecting) MoveCaret(OffsetAt(x, y), true);
}

void TMemo::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) m_selecting = false;
    TCustomControl::MouseUp(button, shift, x, y);
}

bool TMemo::MouseWheel(int delta, TShiftState, int, int) {
    m_wheelRest += delta;
    const int notches = m_wheelRest / kWheelDelta;
    m_wheelRest -= notches * kWheelDelta;
    if (notches == 0) return true;
    Application* app = App();
    int perNotch = app != nullptr ? app->Backend().WheelScrollLines() : 3;
    if (perNotch == kWheelScrollPage) perNotch = VisibleRowCount();
    // Away from the user scrolls towards the text's start.
    ScrollBy(-notches * perNotch);
    return true;
}

void TMemo::KeyDown(int key, TShiftState shift) {
    const bool extend = (shift & ssShift) != 0;
    const bool ctrl = (shift & ssCtrl) != 0;
    const auto& rows = Rows();
    const int rowCount = static_cast<int>(rows.size());
    auto toRow = [&](int rowIndex) {
        const Row& row = rows[static_cast<std::size_t>(std::clamp(rowIndex, 0, rowCount - 1))];
        MoveCaret(OffsetInRow(row, m_column), extend, true);
    };
    // Up on the first row and Down on the last leave the caret where it is.
    auto rowExists = [&](int rowIndex) { return rowIndex >= 0 && rowIndex < rowCount; };
    switch (key) {
        case vkLeft:
            MoveCaret(ctrl ? WordOffset(m_caret, -1) : NextOffset(m_caret, -1), extend);
            break;
        case vkRight:
            MoveCaret(ctrl ? WordOffset(m_caret, 1) : NextOffset(m_caret, 1), extend);
            break;
        case vkUp:
            if (rowExists(RowOf(m_caret) - 1)) toRow(RowOf(m_caret) - 1);
            break;
        case vkDown:
            if (rowExists(RowOf(m_caret) + 1)) toRow(RowOf(m_caret) + 1);
            break;
        case vkHome:
            if (ctrl || rowCount == 0) {
                MoveCaret(0, extend);
            } else {
                MoveCaret(rows[static_cast<std::size_t>(RowOf(m_caret))].start, extend);
            }
            break;
        case vkEnd:
            if (ctrl || rowCount == 0) {
                MoveCaret(TextLength(), extend);
            } else {
                const Row& row = rows[static_cast<std::size_t>(RowOf(m_caret))];
                MoveCaret(row.start + row.length, extend);
            }
            break;
        case vkPrior:
        case vkNext:
            if (rowCount > 0) {
                // A page: the view and the caret move by the rows shown.
                const int page = (key == vkNext ? 1 : -1) * VisibleRowCount();
                const int caretRow = RowOf(m_caret);
                ScrollBy(page);
                toRow(caretRow + page);
            }
            break;
        case 'C':
        case vkInsert:
            if (ctrl) CopyToClipboard();
            break;
        default:
            break;
    }
}

void TMemo::Paint(Canvas& canvas) {
    canvas.FillRect(ClientRect(), Color());
    if (m_borderStyle == bsSingleBorder) {
        TRect r = DrawFrame3D(canvas, ClientRect(), clBtnShadow, clBtnHighlight);
        DrawFrame3D(canvas, r, cl3DDkShadow, cl3DLight);
    }
    const TRect text = TextRect();
    canvas.Font = Font();
    canvas.Brush.Style = bsClear;
    const int rowHeight = RowHeight();
    const auto& rows = Rows();
    // The selection shows while the box has the focus, as the platform's does.
    const bool focused = Focused();
    const int selFrom = SelStart();
    const int selTo = SelStart() + SelLength();
    int y = text.Top;
    for (std::size_t i = static_cast<std::size_t>(m_topRow); i < rows.size() && y < text.Bottom; ++i, y += rowHeight) {
        const Row& row = rows[i];
        canvas.TextRect(text, text.Left, y, row.text);
        const int from = std::max(selFrom, row.start);
        const int to = std::min(selTo, row.start + row.length);
        if (focused && from < to) {
            const int x0 = text.Left + XInRow(row, from);
            const int x1 = text.Left + XInRow(row, to);
            const TRect band = TRect{x0, y, x1, y + rowHeight}.Intersect(text);
            canvas.FillRect(band, clHighlight);
            const std::u32string chars = DecodeUtf8(row.text);
            const std::string selected = EncodeUtf8(std::u32string_view(chars).substr(
                static_cast<std::size_t>(from - row.start), static_cast<std::size_t>(to - from)));
            canvas.Font.SetColor(clHighlightText);
            canvas.TextRect(band, x0, y, selected);
            canvas.Font.SetColor(Font().Color());
        }
    }
    if (focused && !rows.empty()) {
        const int caretRow = RowOf(m_caret);
        if (caretRow >= m_topRow && caretRow < m_topRow + VisibleRowCount()) {
            const int x = text.Left + XInRow(rows[static_cast<std::size_t>(caretRow)], m_caret);
            const int top = text.Top + (caretRow - m_topRow) * rowHeight;
            canvas.FillRect(TRect{x, top, x + 1, top + rowHeight}.Intersect(text), Font().Color());
        }
    }
}

// ---------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::SetDefault(bool isDefault) {
    if (isDefault == m_default) return;
    m_default = isDefault;
    Invalidate();
}

namespace {
// The dotted focus rectangle: every other pixel of its outline.
void DrawFocusRect(Canvas& canvas, const TRect& r) {
    for (int x = r.Left; x < r.Right; x += 2) {
        canvas.SetPixel(x, r.Top, clBlack);
        canvas.SetPixel(x, r.Bottom - 1, clBlack);
    }
    for (int y = r.Top; y < r.Bottom; y += 2) {
        canvas.SetPixel(r.Left, y, clBlack);
        canvas.SetPixel(r.Right - 1, y, clBlack);
    }
}
}  // namespace

void TButton::Paint(Canvas& canvas) {
    TRect r = ClientRect();
    canvas.FillRect(r, clBtnFace);
    const bool framed = m_default || Focused();
    if (framed) r = DrawFrame3D(canvas, r, cl3DDkShadow, cl3DDkShadow);
    if (Pressed() && framed) {
        // The framed button pressed: flat, with a shadow line.
        DrawFrame3D(canvas, r, clBtnShadow, clBtnShadow);
    } else if (Pressed()) {
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
    if (Focused()) DrawFocusRect(canvas, TRect{4, 4, Width() - 4, Height() - 4});
}

void TButton::KeyDown(int key, TShiftState shift) {
    if (key == vkSpace && (shift & (ssCtrl | ssAlt)) == 0) {
        m_spaceDown = true;
        m_pressed = m_inside = true;
        Invalidate();
    } else if (key == vkReturn) {
        Click();
    }
}

void TButton::KeyUp(int key, TShiftState) {
    if (key != vkSpace || !m_spaceDown) return;
    m_spaceDown = false;
    m_pressed = m_inside = false;
    Invalidate();
    Click();
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
