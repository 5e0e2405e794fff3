#include "video/direct3d_texture.h"

#include <bit>
#include <climits>
#include <optional>
#include <vector>

#include "video/dx_draw.h"

namespace vx {

using namespace win;

namespace {
const char* const kTextureError = "Texture cannot be initialized";

int Bits(DWORD mask) { return std::popcount(mask); }

// Places a colour channel of 8 bits into a mask of the format.
DWORD PutChannel(std::uint32_t value8, DWORD mask) {
    if (mask == 0) return 0;
    int shift = std::countr_zero(mask);
    int bits = Bits(mask);
    DWORD v = bits >= 8 ? (value8 << (bits - 8)) : (value8 >> (8 - bits));
    return (v << shift) & mask;
}
}  // namespace

std::optional<DDPIXELFORMAT> ClosestTextureFormat(const std::vector<DDPIXELFORMAT>& offered, bool indexedPicture) {
    std::optional<DDPIXELFORMAT> best;
    int bestDistance = INT_MAX;
    for (const DDPIXELFORMAT& f : offered) {
        if (indexedPicture && (f.dwFlags & DDPF_PALETTEINDEXED8)) return f;
        if (!(f.dwFlags & DDPF_RGB) || (f.dwFlags & DDPF_PALETTEINDEXED8)) continue;
        // Distance of the channel sizes from the picture's 8 bits each; an
        // alpha channel the picture lacks counts a little against it.
        int distance = std::abs(Bits(f.dwRBitMask) - 8) + std::abs(Bits(f.dwGBitMask) - 8) + std::abs(Bits(f.dwBBitMask) - 8) +
                       ((f.dwFlags & DDPF_ALPHAPIXELS) ? 1 : 0);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = f;
        }
    }
    return best;
}

TDirect3DTexture2::TDirect3DTexture2(TDXDraw& surface, const DibPicture& picture, bool owned)
    : m_owner(surface),
      m_ownedPicture(owned ? std::make_unique<DibPicture>(picture) : nullptr),
      m_picture(owned ? *m_ownedPicture : picture) {
    if (m_picture.width <= 0 || m_picture.height <= 0) throw std::runtime_error("Can't Load this Graphic");
    m_key = m_owner.RegisterNotification([this](DXDrawNotice notice) { Handle(static_cast<int>(notice)); });
}

TDirect3DTexture2::~TDirect3DTexture2() {
    m_surface.reset();
    m_owner.UnregisterNotification(m_key);
}

void TDirect3DTexture2::Handle(int notice) {
    switch (static_cast<DXDrawNotice>(notice)) {
        case DXDrawNotice::InitializeSurface:
            MakeSurface();
            break;
        case DXDrawNotice::Restore:
            Load();
            break;
        case DXDrawNotice::FinalizeSurface:
        case DXDrawNotice::Finalize:
        case DXDrawNotice::Destroying:
            m_surface.reset();
            m_palette.reset();
            break;
        default:
            break;
    }
}

void TDirect3DTexture2::MakeSurface() {
    m_surface.reset();
    m_palette.reset();
    IDirect3DDevice7* device = m_owner.Device();
    IDirectDraw7* directDraw = m_owner.DDraw();
    if (device == nullptr || directDraw == nullptr) throw EDirect3DTextureError(kTextureError);
    std::vector<DDPIXELFORMAT> formats;
    device->EnumTextureFormats([&formats](const DDPIXELFORMAT& f) {
        formats.push_back(f);
        return D3DENUMRET_OK;
    });
    std::optional<DDPIXELFORMAT> format = ClosestTextureFormat(formats, m_picture.Indexed());
    if (!format) throw EDirect3DTextureError(kTextureError);
    m_format = *format;

    const D3DDEVICEDESC7& limits = m_owner.DeviceDescription();
    auto clampSide = [](DWORD side, DWORD low, DWORD high) {
        if (high != 0) side = std::min(side, high);
        return std::max(side, std::max<DWORD>(low, 1));
    };
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    d.dwWidth = clampSide(static_cast<DWORD>(m_picture.width), limits.dwMinTextureWidth, limits.dwMaxTextureWidth);
    d.dwHeight = clampSide(static_cast<DWORD>(m_picture.height), limits.dwMinTextureHeight, limits.dwMaxTextureHeight);
    d.ddpfPixelFormat = m_format;
    d.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    if (m_owner.ActiveOptions() & doHardware)
        d.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    else
        d.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
    if (FAILED(directDraw->CreateSurface(&d, &m_surface)) || !m_surface) {
        m_surface.reset();
        throw EDirect3DTextureError(kTextureError);
    }
    if (m_format.dwFlags & DDPF_PALETTEINDEXED8) {
        std::array<PALETTEENTRY, 256> entries{};
        for (std::size_t i = 0; i < 256; ++i) {
            std::uint32_t c = m_picture.palette[i];
            entries[i] = PALETTEENTRY{static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c), 0};
        }
        if (SUCCEEDED(directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries.data(), &m_palette)) && m_palette) {
            m_surface->SetPalette(m_palette);
        }
    }
    m_loadPending = true;
}

void TDirect3DTexture2::Load() {
    if (!m_surface) return;
    DDSURFACEDESC2 locked{};
    locked.dwSize = sizeof(locked);
    if (FAILED(m_surface->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY, HANDLE{})) || locked.lpSurface == nullptr)
        return;
    int width = static_cast<int>(locked.dwWidth);
    int height = static_cast<int>(locked.dwHeight);
    int bytes = static_cast<int>(locked.ddpfPixelFormat.dwRGBBitCount / 8);
    bool indexed = (locked.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8) != 0;
    if (indexed) bytes = 1;
    auto* base = static_cast<std::uint8_t*>(locked.lpSurface);
    for (int y = 0; y < height; ++y) {
        // A texture smaller than the picture takes its pixels by nearest sample.
        int sy = y * m_picture.height / height;
        std::uint8_t* row = base + static_cast<std::ptrdiff_t>(y) * locked.lPitch;
        for (int x = 0; x < width; ++x) {
            int sx = x * m_picture.width / width;
            if (indexed) {
                std::size_t at =
                    static_cast<std::size_t>(sy) * static_cast<std::size_t>(m_picture.width) + static_cast<std::size_t>(sx);
                row[x] = m_picture.Indexed() ? m_picture.indices[at] : 0;
                continue;
            }
            std::uint32_t c = m_picture.ColourAt(sx, sy);
            const DDPIXELFORMAT& f = locked.ddpfPixelFormat;
            DWORD value = PutChannel((c >> 16) & 0xFF, f.dwRBitMask) | PutChannel((c >> 8) & 0xFF, f.dwGBitMask) |
                          PutChannel(c & 0xFF, f.dwBBitMask) | PutChannel(0xFF, f.dwRGBAlphaBitMask);
            for (int b = 0; b < bytes; ++b) row[x * bytes + b] = static_cast<std::uint8_t>(value >> (8 * b));
        }
    }
    m_surface->Unlock(nullptr);
    m_loadPending = false;
}

IDirectDrawSurface7* TDirect3DTexture2::Surface() {
    if (m_loadPending) Load();
    return m_surface.get();
}

}  // namespace vx
