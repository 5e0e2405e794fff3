#include "widgets/pro_image.h"

namespace vx {

namespace {
// Shown where there is no picture, so a missing one is plain to see but quiet.
constexpr TColor kNoPictureColor = RGB(32, 32, 32);
}  // namespace

TProImage::TProImage(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

void TProImage::SetPicture(Bitmap picture) {
    m_picture = std::move(picture);
    Invalidate();
}

void TProImage::SetStretch(bool stretch) {
    if (stretch == m_stretch) return;
    m_stretch = stretch;
    Invalidate();
}

void TProImage::SetCenter(bool center) {
    if (center == m_center) return;
    m_center = center;
    Invalidate();
}

void TProImage::SetTiled(bool tiled) {
    if (tiled == m_tiled) return;
    m_tiled = tiled;
    Invalidate();
}

void TProImage::Paint(Canvas& canvas) {
    if (m_picture.Empty()) {
        canvas.FillRect(ClientRect(), kNoPictureColor);
        return;
    }
    // Tiling wins over the other placements.
    if (m_tiled) {
        for (int y = 0; y < Height(); y += m_picture.Height()) {
            for (int x = 0; x < Width(); x += m_picture.Width()) canvas.Draw(x, y, m_picture);
        }
    } else if (m_stretch) {
        canvas.StretchDraw(ClientRect(), m_picture);
    } else if (m_center) {
        canvas.Draw((Width() - m_picture.Width()) / 2, (Height() - m_picture.Height()) / 2, m_picture);
    } else {
        canvas.Draw(0, 0, m_picture);
    }
}

}  // namespace vx
