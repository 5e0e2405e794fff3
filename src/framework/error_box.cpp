#include "framework/error_box.h"

#include <algorithm>

#include "framework/keys.h"

namespace vx {

namespace {

// The classic box's measures at 96 pixels per inch.
constexpr int kMargin = 11;
constexpr int kIconSize = 32;
constexpr int kIconTextGap = 10;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kMaxTextWidth = 420;
constexpr int kMinClientWidth = 120;

// The error sign: a red disc with a dark rim and a white cross.
void DrawErrorSign(Canvas& canvas, int left, int top) {
    Canvas::StateSaver saver(canvas);
    canvas.Pen.Color = clMaroon;
    canvas.Brush.Color = clRed;
    canvas.Brush.Style = bsSolid;
    canvas.Ellipse(TRect::FromSize(left, top, kIconSize, kIconSize));
    canvas.Pen.Color = clWhite;
    for (int offset = -1; offset <= 1; ++offset) {
        canvas.MoveTo(left + 10 + offset, top + 10);
        canvas.LineTo(left + 22 + offset, top + 22);
        canvas.MoveTo(left + 21 + offset, top + 10);
        canvas.LineTo(left + 9 + offset, top + 22);
    }
}

}  // namespace

TErrorBox::TErrorBox(Application& app, const std::string& title, const std::string& message) : TForm(app), m_message(message) {
    SetCaption(title);
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(poMainFormCenter);
    // The box speaks in the main window's font.
    if (TForm* main = app.MainForm()) Font().Assign(main->Font());
    m_ok = &Make<TButton>();
    m_ok->SetParent(this);
    m_ok->SetCaption("OK");
    m_ok->SetDefault(true);
    m_ok->Font().Assign(Font());
    m_ok->OnClick = [this](TObject*) { Close(); };
    Arrange();
    m_ok->SetFocus();
}

void TErrorBox::Arrange() {
    FontFace& face = App()->Fonts().Face(Font());
    m_rows = WrapText(face, m_message, kMaxTextWidth);
    if (m_rows.empty()) m_rows.emplace_back();
    const int rowHeight = std::max(face.Metrics().height(), 1);
    int textWidth = 0;
    for (const std::string& row : m_rows) textWidth = std::max(textWidth, face.Extent(row).cx);
    const int textHeight = rowHeight * static_cast<int>(m_rows.size());
    const int textLeft = kMargin + kIconSize + kIconTextGap;
    // One row stands beside the sign's middle; more start at its top.
    const int textTop = textHeight < kIconSize ? kMargin + (kIconSize - textHeight) / 2 : kMargin;
    m_textRect = TRect::FromSize(textLeft, textTop, textWidth, textHeight);
    const int contentBottom = std::max(kMargin + kIconSize, textTop + textHeight);
    const int width = std::max({textLeft + textWidth + kMargin, kButtonWidth + 2 * kMargin, kMinClientWidth});
    const int buttonTop = contentBottom + kMargin + 2;
    SetBounds(0, 0, width, buttonTop + kButtonHeight + kMargin);
    m_ok->SetBounds((width - kButtonWidth) / 2, buttonTop, kButtonWidth, kButtonHeight);
}

void TErrorBox::Paint(Canvas& canvas) {
    canvas.FillRect(ClientRect(), Color());
    DrawErrorSign(canvas, kMargin, kMargin);
    canvas.Font = Font();
    canvas.Brush.Style = bsClear;
    const int rowHeight = std::max(canvas.CurrentFace().Metrics().height(), 1);
    int y = m_textRect.Top;
    for (const std::string& row : m_rows) {
        canvas.TextOut(m_textRect.Left, y, row);
        y += rowHeight;
    }
}

bool TErrorBox::DialogKey(int key, TShiftState shift) {
    if (key == vkReturn || key == vkEscape || (key == vkF4 && (shift & ssAlt) != 0)) {
        Close();
        return true;
    }
    return false;
}

void TErrorBox::ShowModal() {
    ShowOwnedWindow();
    App()->RunModal(*this, [this] { return m_done; });
}

void ShowFrameworkErrorBox(Application& app, const std::string& title, const std::string& message) {
    TErrorBox box(app, title, message);
    box.ShowModal();
}

}  // namespace vx
