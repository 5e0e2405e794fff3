// Sections: Text and selection; Rows: wrapping and measuring; Caret and view; Mouse and keys;
//   Painting.
#include "framework/memo.h"

#include <algorithm>

#include "framework/application.h"
#include "framework/backend.h"
#include "framework/form.h"
#include "framework/keys.h"

namespace vx {

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

// ---------------------------------------------------------------- Text and selection

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

void TMemo::SetSelStart(int start) { MoveCaret(start, false); }

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

// ---------------------------------------------------------------- Rows: wrapping and measuring

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

// ---------------------------------------------------------------- Caret and view

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

// ---------------------------------------------------------------- Mouse and keys

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

// ---------------------------------------------------------------- Painting

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
            const std::string selected = EncodeUtf8(std::u32string_view(chars).substr(static_cast<std::size_t>(from - row.start),
                                                                                      static_cast<std::size_t>(to - from)));
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

}  // namespace vx
