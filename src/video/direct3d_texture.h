// The scene's texture: a picture that follows the render surface's life
// through its notification list — a texture surface made in the closest
// format the device offers when the surface is initialised, loaded with the
// picture when restored (or when first asked for), released with the
// surface.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/dx/ddraw.h"
#include "video/dib_picture.h"

namespace vx {

class TDXDraw;

class EDirect3DTextureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TDirect3DTexture2 {
public:
    // The picture is copied when owned, else it must outlive the texture.
    TDirect3DTexture2(TDXDraw& surface, const DibPicture& picture, bool owned);
    ~TDirect3DTexture2();
    TDirect3DTexture2(const TDirect3DTexture2&) = delete;
    TDirect3DTexture2& operator=(const TDirect3DTexture2&) = delete;

    // The texture surface, loaded first when a load is pending; null while
    // the render surface is not initialised.
    win::IDirectDrawSurface7* Surface();
    const win::DDPIXELFORMAT& Format() const { return m_format; }

private:
    void Handle(int notice);
    void MakeSurface();
    void Load();

    TDXDraw& m_owner;
    std::unique_ptr<DibPicture> m_ownedPicture;
    const DibPicture& m_picture;
    std::shared_ptr<win::IDirectDrawSurface7> m_surface;
    std::shared_ptr<win::IDirectDrawPalette> m_palette;
    win::DDPIXELFORMAT m_format{};
    bool m_loadPending = false;
    int m_key = 0;
};

// The texture format closest to a picture: an indexed format of 8 bits for
// an indexed picture, else the RGB format whose channel bit counts are
// nearest; nothing when none is offered.
std::optional<win::DDPIXELFORMAT> ClosestTextureFormat(const std::vector<win::DDPIXELFORMAT>& offered, bool indexedPicture);

}  // namespace vx
