// A background picture: tiled over the control, stretched onto it,
// centred, or at its top-left corner, in that order of precedence.
//
// Every setter invalidates: a picture that does not cover the control
// leaves what lies beneath to be painted first. Picture does so always,
// Stretch, Center and Tiled on a change only.
#pragma once

#include "framework/control.h"

namespace vx {

class TProImage : public TGraphicControl {
public:
    explicit TProImage(TComponent* owner);

    const Bitmap& Picture() const { return m_picture; }
    void SetPicture(Bitmap picture);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch);
    bool Center() const { return m_center; }
    void SetCenter(bool center);
    bool Tiled() const { return m_tiled; }
    void SetTiled(bool tiled);

    void Paint(Canvas& canvas) override;

private:
    Bitmap m_picture;
    bool m_stretch = false;
    bool m_center = false;
    bool m_tiled = false;
};

}  // namespace vx
