// What every device of the stand-in keeps between draws, and the calls that
// only change it: transforms, viewport, material, render states, the stage-0
// texture and the scene bracket. A device adds Clear and DrawPrimitive; the
// software rasteriser and the OpenGL device share this part, so that both
// take and reject the same arguments.
#pragma once

#include <array>
#include <memory>
#include <optional>

#include "platform/dx/device_factory.h"
#include "platform/dx/lighting.h"
#include "platform/dx/transform.h"

namespace vx::dx {

// What a device of the stand-in says of itself: 32-bit targets, no depth
// buffer, one texture stage and coordinate set, no lights, textures from 1
// to maxTextureSize texels a side.
win::D3DDEVICEDESC7 DescribeFixedFunctionDevice(win::DWORD devCaps, win::DWORD maxTextureSize, const win::GUID& guid);

class FixedFunctionDevice : public win::IDirect3DDevice7 {
public:
    // The render target is width x height pixels; the viewport starts as all of it.
    FixedFunctionDevice(int width, int height);

    // The stand-in's texture formats (every surface format it can convert).
    win::HRESULT EnumTextureFormats(const win::LPD3DENUMPIXELFORMATSCALLBACK& callback) override;
    win::HRESULT BeginScene() override;
    win::HRESULT EndScene() override;
    win::HRESULT SetTransform(win::DWORD state, const win::D3DMATRIX* matrix) override;
    win::HRESULT SetViewport(const win::D3DVIEWPORT7* viewport) override;
    win::HRESULT SetMaterial(const win::D3DMATERIAL7* material) override;
    win::HRESULT SetRenderState(win::DWORD state, win::DWORD value) override;
    win::HRESULT SetTexture(win::DWORD stage, win::IDirectDrawSurface7* texture) override;

protected:
    // A draw the device can do: its vertex layout. S_FALSE (a success) for a
    // draw of fewer than three vertices, which draws nothing.
    struct DrawCheck {
        win::HRESULT result;
        dx::VertexLayout layout;
    };
    DrawCheck CheckDraw(win::DWORD primitiveType, win::DWORD vertexFormat, const void* vertices, win::DWORD count) const;
    // The part of the target that Clear may touch with count 0, or that one
    // rectangle covers: the viewport within the target. Empty rectangles
    // come out with right <= left or bottom <= top.
    win::RECT ClearArea(const win::D3DRECT* rect) const;
    // Whether Clear's arguments are valid, and whether it has a target to clear.
    static win::HRESULT CheckClear(win::DWORD count, const win::D3DRECT* rects, win::DWORD flags);

    // world x view x projection, made again only after a change.
    const win::D3DMATRIX& Combined();
    dx::LightingState Lighting() const;
    win::DWORD RenderState(win::DWORD state) const { return m_renderStates[state]; }
    const win::D3DVIEWPORT7& Viewport() const { return m_viewport; }
    std::shared_ptr<DeviceSurface> Texture() const { return m_texture.lock(); }
    int TargetWidth() const { return m_targetWidth; }
    int TargetHeight() const { return m_targetHeight; }

private:
    int m_targetWidth;
    int m_targetHeight;
    win::D3DMATRIX m_world = dx::kIdentity;
    win::D3DMATRIX m_view = dx::kIdentity;
    win::D3DMATRIX m_projection = dx::kIdentity;
    win::D3DMATRIX m_combined = dx::kIdentity;
    bool m_combinedStale = false;
    win::D3DVIEWPORT7 m_viewport{};
    win::D3DMATERIAL7 m_material{};
    std::array<win::DWORD, 256> m_renderStates{};
    std::weak_ptr<DeviceSurface> m_texture;
    bool m_inScene = false;
};

}  // namespace vx::dx
