#include "support/cube_frame.h"

#include <optional>
#include <stdexcept>
#include <vector>

#include "framework/finally.h"
#include "framework/resources.h"
#include "video/dib_picture.h"
#include "video/direct3d_texture.h"

namespace vx::testing {

using namespace win;

namespace {

// "tex1" in the format the scene's texture chooses among the device's
// (an 8-bit palettised one where offered, else the nearest RGB one), filled
// as the scene's texture fills it.
std::shared_ptr<IDirectDrawSurface7> MakeTexture(IDirectDraw7& directDraw, IDirect3DDevice7& device,
                                                 std::shared_ptr<IDirectDrawPalette>* palette) {
    const auto bytes = FindResource("tex1.bmp");
    if (!bytes) throw std::runtime_error("tex1.bmp is not among the resources");
    const DibPicture picture = DecodeDibPicture(*bytes, "tex1.bmp");
    if (!picture.Indexed()) throw std::runtime_error("tex1.bmp is not an 8-bit picture");
    std::vector<DDPIXELFORMAT> formats;
    device.EnumTextureFormats([&formats](const DDPIXELFORMAT& format) {
        formats.push_back(format);
        return D3DENUMRET_OK;
    });
    const std::optional<DDPIXELFORMAT> format = ClosestTextureFormat(formats, true);
    if (!format) throw std::runtime_error("no texture format offered");
    const bool indexed = (format->dwFlags & DDPF_PALETTEINDEXED8) != 0;
    if (!indexed && format->dwRGBBitCount != 32) throw std::runtime_error("the texture format is neither indexed nor 32-bit");

    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    description.dwWidth = static_cast<DWORD>(picture.width);
    description.dwHeight = static_cast<DWORD>(picture.height);
    description.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    description.ddpfPixelFormat = *format;
    std::shared_ptr<IDirectDrawSurface7> texture;
    if (FAILED(directDraw.CreateSurface(&description, &texture))) throw std::runtime_error("texture not made");
    if (indexed) {
        PALETTEENTRY entries[256];
        for (int i = 0; i < 256; ++i) {
            const std::uint32_t c = picture.palette[static_cast<std::size_t>(i)];
            entries[i] = PALETTEENTRY{static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c), 0};
        }
        if (FAILED(directDraw.CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, palette)) ||
            FAILED(texture->SetPalette(*palette))) {
            throw std::runtime_error("texture palette not set");
        }
    }
    if (FAILED(texture->Lock(nullptr, &description, DDLOCK_WAIT, HANDLE{}))) throw std::runtime_error("texture not filled");
    for (int y = 0; y < picture.height; ++y) {
        auto* row = static_cast<BYTE*>(description.lpSurface) + static_cast<std::ptrdiff_t>(y) * description.lPitch;
        for (int x = 0; x < picture.width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y * picture.width + x);
            if (indexed) {
                row[x] = picture.indices[at];
            } else {
                const std::uint32_t alpha = format->dwRGBAlphaBitMask;
                reinterpret_cast<std::uint32_t*>(row)[x] = (picture.ColourAt(x, y) & 0x00FFFFFFu) | alpha;
            }
        }
    }
    texture->Unlock(nullptr);
    return texture;
}

}  // namespace

CubeFrame::CubeFrame(IDirectDraw7& directDraw, std::shared_ptr<IDirectDrawSurface7> target, IDirect3DDevice7& device, int width,
                     int height)
    : m_device(device), m_width(width), m_height(height), m_target(std::move(target)) {
    m_texture = MakeTexture(directDraw, device, &m_palette);
    const D3DVIEWPORT7 viewport{0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0.0f, 1.0f};
    m_device.SetViewport(&viewport);
    D3DMATERIAL7 material{};
    material.diffuse = D3DCOLORVALUE{1, 1, 1, 0};
    material.ambient = D3DCOLORVALUE{1, 1, 1, 0};
    m_device.SetMaterial(&material);
    m_device.SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
    const D3DMATRIX projection = CubeProjection();
    m_device.SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    BuildCube(m_vertices);
}

void CubeFrame::DrawScene(double t) {
    const D3DMATRIX view = CubeView();
    m_device.SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    const D3DMATRIX world = CubeWorld(t);
    m_device.SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    const D3DRECT whole{0, 0, m_width, m_height};
    m_device.Clear(1, &whole, D3DCLEAR_TARGET, 0, 1.0f, 0);
    m_device.BeginScene();
    m_device.SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    m_device.SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    m_device.SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    m_device.SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    m_device.SetTexture(0, m_texture.get());
    for (std::size_t k = 0; k < 6; ++k) {
        m_device.DrawPrimitive(D3DPT_TRIANGLESTRIP, kCubeVertexFormat, &m_vertices[4 * k], 4, 0);
    }
    m_device.EndScene();
}

void CubeFrame::DrawOverlay(const std::string& text) {
    TDirectDrawSurfaceCanvas& canvas = m_target.Canvas(m_fonts);
    Finally release([&canvas] { canvas.Release(); });
    canvas.Brush.Style = bsClear;
    canvas.Font.SetColor(clWhite);
    canvas.Font.SetSize(12);
    canvas.TextOut(0, 0, text);
}

}  // namespace vx::testing
