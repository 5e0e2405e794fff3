#include "platform/dx/soft/surface.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vx::dx {

using namespace win;
using dx::SurfaceFormat;

namespace {

RECT Whole(int width, int height) { return RECT{0, 0, width, height}; }

bool Inside(const RECT& rect, int width, int height) {
    return rect.left >= 0 && rect.top >= 0 && rect.left <= rect.right && rect.top <= rect.bottom && rect.right <= width &&
           rect.bottom <= height;
}

// The source pixel that a stretched copy takes for destination pixel d of
// destSize: the one under the destination pixel's centre.
std::int64_t StretchSource(std::int64_t d, std::int64_t sourceSize, std::int64_t destSize) {
    return ((2 * d + 1) * sourceSize) / (2 * destSize);
}

bool Is32BitRgb(SurfaceFormat format) { return format == SurfaceFormat::Xrgb8888 || format == SurfaceFormat::Argb8888; }

}  // namespace

SoftSurface::SoftSurface(std::shared_ptr<DisplayLink> link, const SurfaceShape& shape)
    : m_link(std::move(link)), m_shape(shape), m_bytesPerPixel(dx::InfoOf(shape.format).bytesPerPixel) {
    if (m_shape.kind != SurfaceKind::Primary) {
        const std::size_t rowBytes = static_cast<std::size_t>(m_shape.width) * static_cast<std::size_t>(m_bytesPerPixel);
        const std::size_t rowWords = (rowBytes + 3) / 4;
        m_pitch = static_cast<std::ptrdiff_t>(rowWords * 4);
        m_storage.assign(rowWords * static_cast<std::size_t>(m_shape.height), 0u);
    }
    m_restoredAtLoss = m_link->Losses();
}

bool SoftSurface::Losable() const {
    return m_shape.kind == SurfaceKind::Primary || (m_shape.caps.dwCaps & DDSCAPS_VIDEOMEMORY) != 0;
}

bool SoftSurface::LostNow() {
    if (m_markedLost) return true;
    if (!Losable()) return false;
    if (!m_link->PollCanShow()) return true;
    return m_restoredAtLoss != m_link->Losses();
}

void SoftSurface::BeforeCpuAccess() {
    if (m_deferred != nullptr) m_deferred->WriteBack();
}

void SoftSurface::AfterCpuWrite() {
    ++m_contentVersion;
    if (m_deferred != nullptr) m_deferred->MemoryChanged();
}

std::byte* SoftSurface::PixelAt(int x, int y) {
    return reinterpret_cast<std::byte*>(m_storage.data()) + static_cast<std::ptrdiff_t>(y) * m_pitch +
           static_cast<std::ptrdiff_t>(x) * m_bytesPerPixel;
}

HRESULT SoftSurface::IsLost() { return LostNow() ? DDERR_SURFACELOST : DD_OK; }

HRESULT SoftSurface::Restore() {
    if (!Losable() && !m_markedLost) return DD_OK;
    if (!m_link->PollCanShow()) return DDERR_SURFACELOST;
    m_restoredAtLoss = m_link->Losses();
    m_markedLost = false;
    return DD_OK;
}

HRESULT SoftSurface::Blt(RECT* destRect, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags, DDBLTFX* fx) {
    if (fx != nullptr && fx->dwSize != sizeof(DDBLTFX)) return DDERR_INVALIDPARAMS;
    if ((flags & ~(DDBLT_ASYNC | DDBLT_WAIT | DDBLT_COLORFILL)) != 0) return DDERR_UNSUPPORTED;
    if (m_shape.kind == SurfaceKind::Primary) {
        if ((flags & DDBLT_COLORFILL) != 0) return DDERR_UNSUPPORTED;
        return PresentFrom(destRect, source, sourceRect);
    }
    if (LostNow()) return DDERR_SURFACELOST;
    const RECT dest = destRect != nullptr ? *destRect : Whole(m_shape.width, m_shape.height);
    if (!Inside(dest, m_shape.width, m_shape.height)) return DDERR_INVALIDRECT;
    const int destWidth = dest.right - dest.left;
    const int destHeight = dest.bottom - dest.top;

    if ((flags & DDBLT_COLORFILL) != 0) {
        if (fx == nullptr) return DDERR_INVALIDPARAMS;
        BeforeCpuAccess();
        for (int y = dest.top; y < dest.bottom; ++y) {
            std::byte* pixel = PixelAt(dest.left, y);
            for (int x = 0; x < destWidth; ++x, pixel += m_bytesPerPixel) {
                std::memcpy(pixel, &fx->dwFillColor, static_cast<std::size_t>(m_bytesPerPixel));
            }
        }
        AfterCpuWrite();
        return DD_OK;
    }

    auto* from = dynamic_cast<SoftSurface*>(source);
    if (from == nullptr) return DDERR_INVALIDPARAMS;
    if (from->Kind() == SurfaceKind::Primary) return DDERR_UNSUPPORTED;
    if (from->Format() != Format()) return DDERR_INVALIDPIXELFORMAT;
    if (from != this && from->LostNow()) return DDERR_SURFACELOST;
    const RECT sourceArea = sourceRect != nullptr ? *sourceRect : Whole(from->m_shape.width, from->m_shape.height);
    if (!Inside(sourceArea, from->m_shape.width, from->m_shape.height)) return DDERR_INVALIDRECT;
    const int sourceWidth = sourceArea.right - sourceArea.left;
    const int sourceHeight = sourceArea.bottom - sourceArea.top;
    if (destWidth == 0 || destHeight == 0 || sourceWidth == 0 || sourceHeight == 0) return DD_OK;

    from->BeforeCpuAccess();
    if (from != this) BeforeCpuAccess();
    const std::size_t rowBytes = static_cast<std::size_t>(sourceWidth) * static_cast<std::size_t>(m_bytesPerPixel);
    ConstView view{from->PixelAt(sourceArea.left, sourceArea.top), from->m_pitch};
    if (from == this) {
        // A copy within one surface may overlap itself: read from a snapshot.
        const std::size_t rowWords = (rowBytes + 3) / 4;
        try {
            m_scratch.resize(rowWords * static_cast<std::size_t>(sourceHeight));
        } catch (const std::bad_alloc&) {
            return DDERR_OUTOFMEMORY;
        }
        auto* snapshot = reinterpret_cast<std::byte*>(m_scratch.data());
        for (int y = 0; y < sourceHeight; ++y) {
            std::memcpy(snapshot + static_cast<std::ptrdiff_t>(y * rowWords * 4), view.origin + y * view.pitch, rowBytes);
        }
        view = ConstView{snapshot, static_cast<std::ptrdiff_t>(rowWords * 4)};
    }
    for (int y = 0; y < destHeight; ++y) {
        const std::int64_t sourceY = destHeight == sourceHeight ? y : StretchSource(y, sourceHeight, destHeight);
        const std::byte* sourceRow = view.origin + sourceY * view.pitch;
        std::byte* destRow = PixelAt(dest.left, dest.top + y);
        if (destWidth == sourceWidth) {
            std::memcpy(destRow, sourceRow, rowBytes);
            continue;
        }
        for (int x = 0; x < destWidth; ++x) {
            const std::int64_t sourceX = StretchSource(x, sourceWidth, destWidth);
            std::memcpy(destRow + static_cast<std::ptrdiff_t>(x) * m_bytesPerPixel, sourceRow + sourceX * m_bytesPerPixel,
                        static_cast<std::size_t>(m_bytesPerPixel));
        }
    }
    AfterCpuWrite();
    return DD_OK;
}

HRESULT SoftSurface::PresentFrom(RECT* destRect, IDirectDrawSurface7* source, RECT* sourceRect) {
    auto* from = dynamic_cast<SoftSurface*>(source);
    if (from == nullptr || from->Kind() == SurfaceKind::Primary) return DDERR_INVALIDPARAMS;
    if (!Is32BitRgb(from->Format())) return DDERR_INVALIDPIXELFORMAT;
    const RECT sourceArea = sourceRect != nullptr ? *sourceRect : Whole(from->m_shape.width, from->m_shape.height);
    if (!Inside(sourceArea, from->m_shape.width, from->m_shape.height)) return DDERR_INVALIDRECT;
    if (LostNow() || from->LostNow()) return DDERR_SURFACELOST;
    const HWND window = m_clipper != nullptr ? m_clipper->Window() : m_link->CooperativeWindow();
    if (window == HWND{}) return DDERR_NOHWND;

    PresentationTarget& target = m_link->Target();
    const RECT client = target.ClientRectOf(window);
    const RECT dest = destRect != nullptr ? *destRect : client;
    if (dest.left > dest.right || dest.top > dest.bottom) return DDERR_INVALIDRECT;
    const std::int64_t left = std::max(dest.left, client.left);
    const std::int64_t top = std::max(dest.top, client.top);
    const std::int64_t right = std::min(dest.right, client.right);
    const std::int64_t bottom = std::min(dest.bottom, client.bottom);
    const std::int64_t sourceWidth = sourceArea.right - sourceArea.left;
    const std::int64_t sourceHeight = sourceArea.bottom - sourceArea.top;
    if (left >= right || top >= bottom || sourceWidth == 0 || sourceHeight == 0) return DD_OK;

    from->BeforeCpuAccess();
    const int width = static_cast<int>(right - left);
    const int height = static_cast<int>(bottom - top);
    const RECT inClient{static_cast<LONG>(left - client.left), static_cast<LONG>(top - client.top),
                        static_cast<LONG>(right - client.left), static_cast<LONG>(bottom - client.top)};
    const std::int64_t destWidth = std::int64_t{dest.right} - dest.left;
    const std::int64_t destHeight = std::int64_t{dest.bottom} - dest.top;
    const int sourcePitch = static_cast<int>(from->m_pitch / 4);
    const std::uint32_t* sourcePixels = from->m_storage.data();

    if (destWidth == sourceWidth && destHeight == sourceHeight) {
        const std::uint32_t* first =
            sourcePixels + (sourceArea.top + (top - dest.top)) * sourcePitch + sourceArea.left + (left - dest.left);
        target.Present(window, first, sourcePitch, width, height, inClient);
        return DD_OK;
    }
    try {
        m_scratch.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
    for (int y = 0; y < height; ++y) {
        const std::int64_t sourceY = sourceArea.top + StretchSource(top - dest.top + y, sourceHeight, destHeight);
        const std::uint32_t* sourceRow = sourcePixels + sourceY * sourcePitch + sourceArea.left;
        std::uint32_t* out = m_scratch.data() + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            out[x] = sourceRow[StretchSource(left - dest.left + x, sourceWidth, destWidth)];
        }
    }
    target.Present(window, m_scratch.data(), width, width, height, inClient);
    return DD_OK;
}

HRESULT SoftSurface::Lock(RECT* rect, DDSURFACEDESC2* description, DWORD /*flags*/, HANDLE /*event*/) {
    if (description == nullptr || description->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    if (m_shape.kind == SurfaceKind::Primary) return DDERR_UNSUPPORTED;
    if (LostNow()) return DDERR_SURFACELOST;
    const RECT area = rect != nullptr ? *rect : Whole(m_shape.width, m_shape.height);
    if (!Inside(area, m_shape.width, m_shape.height)) return DDERR_INVALIDRECT;
    if (m_locks == 0 && !m_dcOut) BeforeCpuAccess();
    FillDescription(*description);
    description->dwFlags |= DDSD_LPSURFACE;
    description->lpSurface = PixelAt(area.left, area.top);
    ++m_locks;
    return DD_OK;
}

HRESULT SoftSurface::Unlock(RECT* /*rect*/) {
    if (m_locks == 0) return DDERR_NOTLOCKED;
    --m_locks;
    AfterCpuWrite();
    return DD_OK;
}

HRESULT SoftSurface::GetDC(HDC* dc) {
    if (dc == nullptr) return DDERR_INVALIDPARAMS;
    if (m_shape.kind == SurfaceKind::Primary) return DDERR_UNSUPPORTED;
    if (m_dcOut) return DDERR_DCALREADYCREATED;
    if (LostNow()) return DDERR_SURFACELOST;
    if (m_locks == 0) BeforeCpuAccess();
    m_dcOut = true;
    *dc = static_cast<HDC>(reinterpret_cast<std::uintptr_t>(this));
    return DD_OK;
}

HRESULT SoftSurface::ReleaseDC(HDC dc) {
    if (!m_dcOut || dc != static_cast<HDC>(reinterpret_cast<std::uintptr_t>(this))) return DDERR_INVALIDPARAMS;
    m_dcOut = false;
    AfterCpuWrite();
    return DD_OK;
}

HRESULT SoftSurface::SetClipper(std::shared_ptr<IDirectDrawClipper> clipper) {
    if (clipper == nullptr) {
        m_clipper.reset();
        return DD_OK;
    }
    auto own = std::dynamic_pointer_cast<SoftClipper>(clipper);
    if (own == nullptr) return DDERR_INVALIDPARAMS;
    m_clipper = std::move(own);
    return DD_OK;
}

HRESULT SoftSurface::SetPalette(std::shared_ptr<IDirectDrawPalette> palette) {
    if (palette == nullptr) {
        m_palette.reset();
        ++m_contentVersion;
        return DD_OK;
    }
    auto own = std::dynamic_pointer_cast<SoftPalette>(palette);
    if (own == nullptr) return DDERR_INVALIDPARAMS;
    if (m_shape.format != SurfaceFormat::Palette8) return DDERR_INVALIDPIXELFORMAT;
    m_palette = std::move(own);
    ++m_contentVersion;
    return DD_OK;
}

HRESULT SoftSurface::GetSurfaceDesc(DDSURFACEDESC2* description) {
    if (description == nullptr || description->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    FillDescription(*description);
    return DD_OK;
}

void SoftSurface::FillDescription(DDSURFACEDESC2& description) const {
    description = DDSURFACEDESC2{};
    description.dwSize = sizeof(DDSURFACEDESC2);
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    if (m_shape.kind != SurfaceKind::Primary) description.dwFlags |= DDSD_PITCH;
    description.dwWidth = static_cast<DWORD>(m_shape.width);
    description.dwHeight = static_cast<DWORD>(m_shape.height);
    description.lPitch = static_cast<LONG>(m_pitch);
    description.ddpfPixelFormat = dx::InfoOf(m_shape.format).pixelFormat;
    description.ddsCaps = m_shape.caps;
}

HRESULT SoftSurface::AddAttachedSurface(std::shared_ptr<IDirectDrawSurface7> surface) {
    // No device here has a depth buffer, and presentation never flips, so
    // there is nothing a surface could be attached for.
    return surface == nullptr ? DDERR_INVALIDPARAMS : DDERR_UNSUPPORTED;
}

HRESULT SoftSurface::GetRenderMemory(RenderMemory* memory) {
    if (memory == nullptr) return DDERR_INVALIDPARAMS;
    if (m_shape.kind == SurfaceKind::Primary) return DDERR_UNSUPPORTED;
    if (LostNow()) return DDERR_SURFACELOST;
    if (!Is32BitRgb(m_shape.format)) return DDERR_INVALIDPIXELFORMAT;
    // The caller draws into it.
    ++m_contentVersion;
    *memory = RenderMemory{m_storage.data(), static_cast<int>(m_pitch / 4), m_shape.width, m_shape.height};
    return DD_OK;
}

HRESULT SoftSurface::GetTexels(TexelImage* image) {
    if (image == nullptr) return DDERR_INVALIDPARAMS;
    if (m_shape.kind == SurfaceKind::Primary) return DDERR_UNSUPPORTED;
    if (LostNow()) return DDERR_SURFACELOST;
    const std::uint64_t paletteVersion = m_palette != nullptr ? m_palette->Version() : 0;
    if (!m_texelsValid || m_texelsContentVersion != m_contentVersion || m_texelsPaletteVersion != paletteVersion) {
        BeforeCpuAccess();
        try {
            m_texels.resize(static_cast<std::size_t>(m_shape.width) * static_cast<std::size_t>(m_shape.height));
        } catch (const std::bad_alloc&) {
            return DDERR_OUTOFMEMORY;
        }
        const PALETTEENTRY* entries = m_palette != nullptr ? m_palette->Entries() : nullptr;
        const int paletteSize = m_palette != nullptr ? m_palette->Size() : 0;
        for (int y = 0; y < m_shape.height; ++y) {
            dx::ConvertRowToArgb(m_shape.format, PixelAt(0, y), m_shape.width, entries, paletteSize,
                                 m_texels.data() + static_cast<std::ptrdiff_t>(y) * m_shape.width);
        }
        m_texelsValid = true;
        m_texelsContentVersion = m_contentVersion;
        m_texelsPaletteVersion = paletteVersion;
        ++m_texelsVersion;
    }
    *image = TexelImage{m_texels.data(), m_shape.width, m_shape.height, m_texelsVersion};
    return DD_OK;
}

}  // namespace vx::dx
