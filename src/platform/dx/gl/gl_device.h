// The OpenGL device: the fixed-function subset of the software device (same
// state, same arguments taken and refused) drawn by OpenGL into an
// off-screen target the size of the render surface.
//
// The vertex stage runs on the processor with the software device's own
// transform and lighting code; OpenGL clips, rasterises, samples and blends.
// To give the software device's picture:
//  - the platform's clip space (y up, depth 0..w) becomes OpenGL's (depth
//    -w..w), with the target's rows in memory order, so row 0 is the top;
//  - everything moves half a pixel right and down, so that OpenGL's sample
//    at a pixel's centre sees what the platform samples at the pixel's
//    corner point (i, j);
//  - textures are sampled at the nearest texel with wrapping, perspective-
//    correct; the stage-0 colour is texture times diffuse, alpha the
//    texture's; blending and culling map one to one.
//
// The surface's memory and the OpenGL target hold the same picture in turn:
// the device registers as the surface's deferred content, reads the target
// back into memory before anyone else touches the memory (Lock, GetDC, a
// Blt to the screen), and takes the memory up again before it next draws
// after someone changed it, unless a Clear covers the whole target anyway.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/dx/device_factory.h"
#include "platform/dx/device_state.h"
#include "platform/dx/gl/gl_context.h"

namespace vx::dx::gl {

class Device final : public FixedFunctionDevice, private DeferredContent {
public:
    // A device on target, registered as its deferred content; fails when the
    // target is not 32-bit XRGB or the OpenGL objects cannot be made.
    static win::HRESULT Create(std::shared_ptr<Context> context, DeviceSurface& target,
                               std::shared_ptr<win::IDirect3DDevice7>* device);

    Device(std::shared_ptr<Context> context, std::weak_ptr<DeviceSurface> target, const RenderMemory& memory);
    ~Device() override;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    win::HRESULT Clear(win::DWORD count, const win::D3DRECT* rects, win::DWORD flags, win::D3DCOLOR color, float z,
                       win::DWORD stencil) override;
    win::HRESULT DrawPrimitive(win::DWORD primitiveType, win::DWORD vertexFormat, const void* vertices, win::DWORD count,
                               win::DWORD flags) override;

private:
    struct Vertex {
        float position[4];
        float colour[4];
        float texCoord[2];
    };
    struct CachedTexture {
        std::weak_ptr<DeviceSurface> surface;
        const DeviceSurface* key = nullptr;
        GLuint name = 0;
        std::uint64_t version = 0;
        int width = 0;
        int height = 0;
    };

    void WriteBack() override;
    void MemoryChanged() override;

    // Before drawing: the target's memory is current and not lost, the
    // context is current, the objects exist and the target holds the picture.
    win::HRESULT Prepare(bool wholeTargetCleared);
    bool MakeObjects();
    void DropObjects();
    void UploadMemory();
    bool BindTexture(DeviceSurface& texture);
    void ConvertVertices(const unsigned char* vertices, win::DWORD count, const dx::VertexLayout& layout);
    void SetPipelineState();
    // After drawing: a lost context loses the surface (until it is restored).
    win::HRESULT Finish();

    std::shared_ptr<Context> m_context;
    std::weak_ptr<DeviceSurface> m_target;
    RenderMemory m_memory;
    bool m_registered = false;

    bool m_haveObjects = false;
    std::uint64_t m_objectsGeneration = 0;
    GLuint m_program = 0;
    GLint m_texturedLocation = -1;
    GLint m_flatLocation = -1;
    GLuint m_vertexArray = 0;
    GLuint m_vertexBuffer = 0;
    GLuint m_framebuffer = 0;
    GLuint m_colourTexture = 0;
    std::vector<CachedTexture> m_textures;

    bool m_gpuNewer = false;    // the OpenGL target holds a picture the memory lacks
    bool m_memoryNewer = true;  // the memory holds a picture the OpenGL target lacks

    std::vector<Vertex> m_vertices;
};

}  // namespace vx::dx::gl
