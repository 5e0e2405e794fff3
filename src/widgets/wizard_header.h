// The header band across the top of a window: a title line, a comment
// line and a picture (or a symbol box) at the right end.
//
// What each setter repaints. None compares.
//
//   setter                          repaint
//   Captions, Comments, Symbol      invalidates
//   CaptionFont, CommentFont,       invalidates (on a change of the font)
//     SymbolFont
//   PageNo                          paints now (1)
//   Glyph, Gradient, BufferedDraw   nothing: set while the layout loads
//
// (1) The band fills its whole rectangle, so it can paint over the current
//     image; why the page alone does so is not known. Kept as it is.
#pragma once

#include <string>
#include <vector>

#include "framework/control.h"
#include "widgets/painters.h"

namespace vx {

class TglWizardHeader : public TGraphicControl {
public:
    explicit TglWizardHeader(TComponent* owner);

    const std::vector<std::string>& Captions() const { return m_captions; }
    void SetCaptions(std::vector<std::string> captions);
    const std::vector<std::string>& Comments() const { return m_comments; }
    void SetComments(std::vector<std::string> comments);
    TFont& CaptionFont() { return m_captionFont; }
    TFont& CommentFont() { return m_commentFont; }
    TFont& SymbolFont() { return m_symbolFont; }
    const std::string& Symbol() const { return m_symbol; }
    void SetSymbol(const std::string& symbol);
    int PageNo() const { return m_pageNo; }
    void SetPageNo(int pageNo);
    const Bitmap& Glyph() const { return m_glyph; }
    // Takes the picture without repainting: it is set while the layout loads.
    void SetGlyph(Bitmap glyph) { m_glyph = std::move(glyph); }
    TGradient& Gradient() { return m_gradient; }
    bool BufferedDraw() const { return m_bufferedDraw; }
    void SetBufferedDraw(bool buffered) { m_bufferedDraw = buffered; }

    // The title and comment shown for the current page.
    std::string CurrentCaption() const;
    std::string CurrentComment() const;

    void Paint(Canvas& canvas) override;

private:
    void Draw(Canvas& canvas);

    std::vector<std::string> m_captions;
    std::vector<std::string> m_comments;
    TFont m_captionFont;
    TFont m_commentFont;
    TFont m_symbolFont;
    std::string m_symbol;
    int m_pageNo = 0;
    Bitmap m_glyph;
    TGradient m_gradient;
    bool m_bufferedDraw = false;
};

}  // namespace vx
