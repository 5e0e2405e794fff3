// The stand-in's DirectDraw surfaces.
//
// Every surface but the primary keeps its pixels in memory, rows 4-byte
// aligned. The primary surface has none: a Blt onto it presents the source
// through the PresentationTarget, clipped to the clipper's window (or the
// cooperative window when no clipper is set). Lock and GetDC on the primary
// surface are not supported.
//
// Lost surfaces: the primary surface and every surface that reports
// DDSCAPS_VIDEOMEMORY are losable. Such a surface is lost while the window
// cannot be seen and after every time it could not, until Restore succeeds
// (which needs the window to be visible). Pixels survive a loss. System
// memory surfaces are never lost.
//
// A device context is only a token here (GetDC locks, ReleaseDC unlocks):
// the program draws on a surface's pixels through Lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/dx/device_factory.h"
#include "platform/dx/pixel_format.h"
#include "platform/dx/soft/display_link.h"
#include "platform/dx/soft/palette.h"

namespace vx::dx {

enum class SurfaceKind { Primary, Plain, Texture };

struct SurfaceShape {
    SurfaceKind kind = SurfaceKind::Plain;
    dx::SurfaceFormat format = dx::SurfaceFormat::Xrgb8888;
    int width = 0;
    int height = 0;
    win::DDSCAPS2 caps{};  // as reported, memory bits included
};

class SoftSurface final : public win::IDirectDrawSurface7,
                          public DeviceSurface,
                          public std::enable_shared_from_this<SoftSurface> {
public:
    // Throws std::bad_alloc when the pixels do not fit in memory.
    SoftSurface(std::shared_ptr<DisplayLink> link, const SurfaceShape& shape);

    win::HRESULT Blt(win::RECT* destRect, win::IDirectDrawSurface7* source, win::RECT* sourceRect, win::DWORD flags,
                     win::DDBLTFX* fx) override;
    win::HRESULT IsLost() override;
    win::HRESULT Restore() override;
    win::HRESULT Lock(win::RECT* rect, win::DDSURFACEDESC2* description, win::DWORD flags, win::HANDLE event) override;
    win::HRESULT Unlock(win::RECT* rect) override;
    win::HRESULT GetDC(win::HDC* dc) override;
    win::HRESULT ReleaseDC(win::HDC dc) override;
    win::HRESULT SetClipper(std::shared_ptr<win::IDirectDrawClipper> clipper) override;
    win::HRESULT SetPalette(std::shared_ptr<win::IDirectDrawPalette> palette) override;
    win::HRESULT GetSurfaceDesc(win::DDSURFACEDESC2* description) override;
    win::HRESULT AddAttachedSurface(std::shared_ptr<win::IDirectDrawSurface7> surface) override;

    std::weak_ptr<DeviceSurface> WeakSelf() override { return weak_from_this(); }
    win::HRESULT GetRenderMemory(RenderMemory* memory) override;
    win::HRESULT GetTexels(TexelImage* image) override;
    void SetDeferredContent(DeferredContent* holder) override { m_deferred = holder; }
    void MarkLost() override { m_markedLost = true; }

    SurfaceKind Kind() const { return m_shape.kind; }
    dx::SurfaceFormat Format() const { return m_shape.format; }

private:
    struct ConstView {
        const std::byte* origin;  // first pixel of the region
        std::ptrdiff_t pitch;
    };

    bool Losable() const;
    bool LostNow();
    void BeforeCpuAccess();
    void AfterCpuWrite();
    std::byte* PixelAt(int x, int y);
    win::HRESULT PresentFrom(win::RECT* destRect, win::IDirectDrawSurface7* source, win::RECT* sourceRect);
    void FillDescription(win::DDSURFACEDESC2& description) const;

    std::shared_ptr<DisplayLink> m_link;
    SurfaceShape m_shape;
    int m_bytesPerPixel;
    std::ptrdiff_t m_pitch = 0;
    std::vector<std::uint32_t> m_storage;  // words, so that 32-bit pixels are aligned
    std::shared_ptr<SoftPalette> m_palette;
    std::shared_ptr<SoftClipper> m_clipper;
    DeferredContent* m_deferred = nullptr;

    int m_locks = 0;
    bool m_dcOut = false;
    std::uint64_t m_restoredAtLoss = 0;
    bool m_markedLost = false;

    std::uint64_t m_contentVersion = 0;
    std::vector<std::uint32_t> m_texels;
    bool m_texelsValid = false;
    std::uint64_t m_texelsContentVersion = 0;
    std::uint64_t m_texelsPaletteVersion = 0;
    std::uint64_t m_texelsVersion = 0;

    std::vector<std::uint32_t> m_scratch;  // a stretched presentation, or a copy within one surface
};

}  // namespace vx::dx
