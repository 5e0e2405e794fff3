#include "widgets/wizard_header.h"

#include <algorithm>

namespace vx {

namespace {

// The first character of a UTF-8 text, with its continuation bytes.
std::string FirstCharacter(const std::string& text) {
    if (text.empty()) return {};
    std::size_t end = 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return text.substr(0, end);
}

const std::string& PageLine(const std::vector<std::string>& lines, int pageNo, const std::string& fallback) {
    if (lines.empty()) return fallback;
    const int last = static_cast<int>(lines.size()) - 1;
    return lines[static_cast<std::size_t>(std::clamp(pageNo, 0, last))];
}

}  // namespace

TglWizardHeader::TglWizardHeader(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 300, 60);
    m_captionFont = Font();
    m_captionFont.SetStyle(Font().Style() | fsBold);
    m_symbolFont.SetName("Wingdings");
    m_symbolFont.SetSize(26);
    m_symbolFont.SetStyle(fsBold);
    m_symbolFont.SetColor(clHighlightText);
    m_gradient.SetActive(true);
    m_gradient.SetOrientation(fgdVertical);
    m_gradient.SetFromColor(clHighlight);
    m_gradient.SetToColor(clWindow);
    auto repaint = [this] { Invalidate(); };
    m_captionFont.SetOnChange(repaint);
    m_commentFont.SetOnChange(repaint);
    m_symbolFont.SetOnChange(repaint);
}

void TglWizardHeader::SetCaptions(std::vector<std::string> captions) {
    m_captions = std::move(captions);
    Invalidate();
}

void TglWizardHeader::SetComments(std::vector<std::string> comments) {
    m_comments = std::move(comments);
    Invalidate();
}

void TglWizardHeader::SetSymbol(const std::string& symbol) {
    m_symbol = symbol;
    Invalidate();
}

void TglWizardHeader::SetPageNo(int pageNo) {
    m_pageNo = pageNo;
    DrawNow();
}

std::string TglWizardHeader::CurrentCaption() const {
    static const std::string fallback = "Caption";
    return PageLine(m_captions, m_pageNo, fallback);
}

std::string TglWizardHeader::CurrentComment() const {
    static const std::string fallback = "Some comment text";
    return PageLine(m_comments, m_pageNo, fallback);
}

void TglWizardHeader::Paint(Canvas& canvas) {
    if (!m_bufferedDraw) {
        Draw(canvas);
        return;
    }
    if (Width() <= 0 || Height() <= 0) return;
    Bitmap buffer(Width(), Height());
    buffer.SetBitsPerPixel(canvas.BitsPerPixel());
    Canvas offscreen(buffer, canvas.Fonts());
    Draw(offscreen);
    canvas.Draw(0, 0, buffer);
}

void TglWizardHeader::Draw(Canvas& canvas) {
    const int width = Width();
    const int height = Height();
    canvas.FillRect(ClientRect(), clWindow);
    canvas.Brush.Style = bsClear;

    TRect text{20, 8, width - 60, height - 5};
    canvas.Font = m_captionFont;
    canvas.TextRect(text, text.Left, text.Top, CurrentCaption());
    text.Top += canvas.TextHeight("Hy");
    text.Left += 20;

    canvas.Font = m_commentFont;
    FontFace& face = canvas.CurrentFace();
    const std::vector<std::string> lines = WrapText(face, CurrentComment(), std::max(text.Width(), 1));
    const int lineHeight = face.Metrics().height();
    int y = text.Top + (text.Height() - lineHeight * static_cast<int>(lines.size())) / 2;
    for (const std::string& line : lines) {
        canvas.TextRect(text, text.Left, y, line);
        y += lineHeight;
    }

    if (!m_glyph.Empty()) {
        const int margin = (height - m_glyph.Height()) / 2;
        canvas.DrawTransparent(width - m_glyph.Width() - margin, margin, m_glyph, m_glyph.GetPixel(0, m_glyph.Height() - 1));
    } else {
        // Without a picture a square box at the right end shows the symbol.
        const int side = std::max(height - 16, 0);
        const TRect box = TRect::FromSize(width - side - 8, 8, side, side);
        canvas.FillRect(box, clHighlight);
        FillGradient(canvas, box, m_gradient);
        const std::string symbol = FirstCharacter(m_symbol);
        if (!symbol.empty()) {
            canvas.Font = m_symbolFont;
            const TSize size = canvas.TextExtent(symbol);
            canvas.TextRect(box, box.Left + (side - size.cx) / 2, box.Top + (side - size.cy) / 2, symbol);
        }
    }

    // The etched bottom edge.
    canvas.FillRect(TRect{0, height - 2, width, height - 1}, clBtnShadow);
    canvas.FillRect(TRect{0, height - 1, width, height}, clBtnHighlight);
}

}  // namespace vx
