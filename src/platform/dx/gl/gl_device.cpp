// Sections: Shaders and blend factors; Life and objects; The target and the memory surfaces;
//   Drawing; State, vertices and textures.
#include "platform/dx/gl/gl_device.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/dx/blend.h"
#include "platform/dx/lighting.h"

namespace vx::dx::gl {

using namespace win;

// ---------------------------------------------------------------- Shaders and blend factors

namespace {

constexpr GLuint kPositionSlot = 0;
constexpr GLuint kColourSlot = 1;
constexpr GLuint kTexCoordSlot = 2;

constexpr const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 position;
layout(location = 1) in vec4 colour;
layout(location = 2) in vec2 texCoord;
out vec4 smoothColour;
flat out vec4 flatColour;
out vec2 fragmentTexCoord;
void main() {
    gl_Position = position;
    smoothColour = colour;
    flatColour = colour;
    fragmentTexCoord = texCoord;
}
)";

constexpr const char* kFragmentShader = R"(#version 330 core
in vec4 smoothColour;
flat in vec4 flatColour;
in vec2 fragmentTexCoord;
uniform int textured;
uniform int flatShading;
uniform sampler2D stage0;
out vec4 fragment;
void main() {
    vec4 colour = flatShading != 0 ? flatColour : smoothColour;
    if (textured != 0) {
        vec4 texel = texture(stage0, fragmentTexCoord);
        fragment = vec4(texel.rgb * colour.rgb, texel.a);
    } else {
        fragment = colour;
    }
}
)";

template <typename T>
T Read(const unsigned char* at) {
    T value;
    std::memcpy(&value, at, sizeof(T));
    return value;
}

// Unknown factors count as the defaults, as in the software device.
GLenum BlendFactor(DWORD factor, bool source) {
    switch (factor) {
        case D3DBLEND_ZERO:
            return GL_ZERO;
        case D3DBLEND_ONE:
            return GL_ONE;
        case D3DBLEND_SRCCOLOR:
            return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR:
            return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA:
            return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA:
            return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA:
            return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA:
            return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR:
            return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR:
            return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT:
            return GL_SRC_ALPHA_SATURATE;
        default:
            return source ? GL_ONE : GL_ZERO;
    }
}

GLuint CompileShader(const Api& gl, GLenum kind, const char* source) {
    const GLuint shader = gl.CreateShader(kind);
    if (shader == 0) return 0;
    gl.ShaderSource(shader, 1, &source, nullptr);
    gl.CompileShader(shader);
    GLint compiled = GL_FALSE;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint LinkProgram(const Api& gl) {
    const GLuint vertex = CompileShader(gl, GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = CompileShader(gl, GL_FRAGMENT_SHADER, kFragmentShader);
    GLuint program = 0;
    if (vertex != 0 && fragment != 0) program = gl.CreateProgram();
    if (program != 0) {
        gl.AttachShader(program, vertex);
        gl.AttachShader(program, fragment);
        gl.LinkProgram(program);
        GLint linked = GL_FALSE;
        gl.GetProgramiv(program, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) {
            gl.DeleteProgram(program);
            program = 0;
        }
    }
    // The program keeps what it needs; the shaders go either way.
    if (vertex != 0) gl.DeleteShader(vertex);
    if (fragment != 0) gl.DeleteShader(fragment);
    return program;
}

}  // namespace

// ---------------------------------------------------------------- Life and objects

HRESULT Device::Create(std::shared_ptr<Context> context, DeviceSurface& target, std::shared_ptr<IDirect3DDevice7>* device) {
    if (device == nullptr || context == nullptr) return DDERR_INVALIDPARAMS;
    RenderMemory memory;
    if (const HRESULT result = target.GetRenderMemory(&memory); FAILED(result)) return result;
    auto made = std::make_shared<Device>(std::move(context), target.WeakSelf(), memory);
    if (!made->MakeObjects()) return DDERR_OUTOFVIDEOMEMORY;
    target.SetDeferredContent(made.get());
    made->m_registered = true;
    *device = std::move(made);
    return D3D_OK;
}

Device::Device(std::shared_ptr<Context> context, std::weak_ptr<DeviceSurface> target, const RenderMemory& memory)
    : FixedFunctionDevice(memory.width, memory.height),
      m_context(std::move(context)),
      m_target(std::move(target)),
      m_memory(memory) {}

Device::~Device() {
    if (const std::shared_ptr<DeviceSurface> target = m_target.lock(); target != nullptr && m_registered) {
        // The surface keeps the last picture drawn.
        WriteBack();
        target->SetDeferredContent(nullptr);
    }
    DropObjects();
}

bool Device::MakeObjects() {
    if (!m_context->MakeCurrent()) return false;
    const Api& gl = m_context->Gl();
    m_objectsGeneration = m_context->Generation();
    m_haveObjects = true;  // whatever was made is released by DropObjects
    m_program = LinkProgram(gl);
    if (m_program == 0) return false;
    gl.UseProgram(m_program);
    m_texturedLocation = gl.GetUniformLocation(m_program, "textured");
    m_flatLocation = gl.GetUniformLocation(m_program, "flatShading");
    gl.Uniform1i(gl.GetUniformLocation(m_program, "stage0"), 0);

    gl.GenVertexArrays(1, &m_vertexArray);
    gl.GenBuffers(1, &m_vertexBuffer);
    gl.BindVertexArray(m_vertexArray);
    gl.BindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    gl.VertexAttribPointer(kPositionSlot, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                           reinterpret_cast<const void*>(offsetof(Vertex, position)));
    gl.VertexAttribPointer(kColourSlot, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                           reinterpret_cast<const void*>(offsetof(Vertex, colour)));
    gl.VertexAttribPointer(kTexCoordSlot, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                           reinterpret_cast<const void*>(offsetof(Vertex, texCoord)));
    gl.EnableVertexAttribArray(kPositionSlot);
    gl.EnableVertexAttribArray(kColourSlot);
    gl.EnableVertexAttribArray(kTexCoordSlot);

    gl.GenTextures(1, &m_colourTexture);
    gl.BindTexture(GL_TEXTURE_2D, m_colourTexture);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, m_memory.width, m_memory.height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    gl.GenFramebuffers(1, &m_framebuffer);
    gl.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_colourTexture, 0);
    gl.BindTexture(GL_TEXTURE_2D, 0);
    if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE || gl.GetError() != GL_NO_ERROR) return false;

    gl.Disable(GL_DEPTH_TEST);
    gl.Disable(GL_DITHER);
    gl.ProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    gl.FrontFace(GL_CCW);
    // The new target holds nothing yet: the memory's picture goes up first.
    m_memoryNewer = true;
    m_gpuNewer = false;
    return true;
}

void Device::DropObjects() {
    if (!m_haveObjects) return;
    m_haveObjects = false;
    // Objects of a context that was renewed went with it.
    if (m_objectsGeneration != m_context->Generation() || !m_context->MakeCurrent()) {
        m_textures.clear();
        return;
    }
    const Api& gl = m_context->Gl();
    for (const CachedTexture& texture : m_textures) gl.DeleteTextures(1, &texture.name);
    m_textures.clear();
    if (m_framebuffer != 0) gl.DeleteFramebuffers(1, &m_framebuffer);
    if (m_colourTexture != 0) gl.DeleteTextures(1, &m_colourTexture);
    if (m_vertexBuffer != 0) gl.DeleteBuffers(1, &m_vertexBuffer);
    if (m_vertexArray != 0) gl.DeleteVertexArrays(1, &m_vertexArray);
    if (m_program != 0) gl.DeleteProgram(m_program);
    m_framebuffer = m_colourTexture = m_vertexBuffer = m_vertexArray = m_program = 0;
}

// ---------------------------------------------------------------- The target and the memory surfaces

void Device::WriteBack() {
    if (!m_gpuNewer || !m_haveObjects || m_objectsGeneration != m_context->Generation() || !m_context->MakeCurrent()) return;
    const Api& gl = m_context->Gl();
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
    gl.PixelStorei(GL_PACK_ROW_LENGTH, m_memory.pitchPixels);
    gl.ReadPixels(0, 0, m_memory.width, m_memory.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, m_memory.pixels);
    m_gpuNewer = false;
}

void Device::MemoryChanged() { m_memoryNewer = true; }

void Device::UploadMemory() {
    const Api& gl = m_context->Gl();
    gl.BindTexture(GL_TEXTURE_2D, m_colourTexture);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl.PixelStorei(GL_UNPACK_ROW_LENGTH, m_memory.pitchPixels);
    gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, m_memory.width, m_memory.height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                     m_memory.pixels);
    gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    gl.BindTexture(GL_TEXTURE_2D, 0);
    // The memory's top byte is no part of the picture; the target's alpha
    // reads as opaque, as an XRGB surface's does.
    gl.Disable(GL_SCISSOR_TEST);
    gl.ColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    gl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    m_memoryNewer = false;
}

HRESULT Device::Prepare(bool wholeTargetCleared) {
    const std::shared_ptr<DeviceSurface> target = m_target.lock();
    if (target == nullptr) return DDERR_SURFACELOST;
    // Also tells the surface that its picture changes.
    RenderMemory memory;
    if (const HRESULT result = target->GetRenderMemory(&memory); FAILED(result)) return result;
    if (m_haveObjects && m_objectsGeneration != m_context->Generation()) DropObjects();
    if (!m_haveObjects && !MakeObjects()) {
        DropObjects();
        return DDERR_OUTOFVIDEOMEMORY;
    }
    if (!m_context->MakeCurrent()) return DDERR_SURFACELOST;
    const Api& gl = m_context->Gl();
    gl.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    if (wholeTargetCleared) m_memoryNewer = false;
    if (m_memoryNewer) UploadMemory();
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    return D3D_OK;
}

HRESULT Device::Finish() {
    m_gpuNewer = true;
    if (!m_context->Lost()) return D3D_OK;
    // The picture on the GPU is gone; the memory keeps the last one read back.
    m_gpuNewer = false;
    m_memoryNewer = true;
    DropObjects();
    m_context->Renew();
    if (const std::shared_ptr<DeviceSurface> target = m_target.lock()) target->MarkLost();
    return DDERR_SURFACELOST;
}

// ---------------------------------------------------------------- Drawing

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float /*z*/, DWORD /*stencil*/) {
    if (const HRESULT check = CheckClear(count, rects, flags); check != D3D_OK) return SUCCEEDED(check) ? D3D_OK : check;
    const auto coversTarget = [&](const RECT& area) {
        return area.left <= 0 && area.top <= 0 && area.right >= TargetWidth() && area.bottom >= TargetHeight();
    };
    bool whole = count == 0 && coversTarget(ClearArea(nullptr));
    for (DWORD i = 0; i < count && !whole; ++i) whole = coversTarget(ClearArea(&rects[i]));
    if (const HRESULT result = Prepare(whole); FAILED(result)) return result;

    const Api& gl = m_context->Gl();
    gl.Enable(GL_SCISSOR_TEST);
    gl.ClearColor(static_cast<float>((color >> 16) & 0xFF) / 255.0f, static_cast<float>((color >> 8) & 0xFF) / 255.0f,
                  static_cast<float>(color & 0xFF) / 255.0f, 1.0f);
    // The clear writes the opaque alpha the target keeps anyway; with every
    // channel written, OpenGL clears the memory directly instead of drawing
    // a rectangle through a shader, as it does for a masked clear.
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    const auto clear = [&](const RECT& area) {
        if (area.right <= area.left || area.bottom <= area.top) return;
        // The target's rows are in memory order: OpenGL's y is the row.
        gl.Scissor(area.left, area.top, area.right - area.left, area.bottom - area.top);
        gl.Clear(GL_COLOR_BUFFER_BIT);
    };
    if (count == 0) {
        clear(ClearArea(nullptr));
    } else {
        for (DWORD i = 0; i < count; ++i) clear(ClearArea(&rects[i]));
    }
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    return Finish();
}

HRESULT Device::DrawPrimitive(DWORD primitiveType, DWORD vertexFormat, const void* vertices, DWORD count, DWORD /*flags*/) {
    const DrawCheck check = CheckDraw(primitiveType, vertexFormat, vertices, count);
    if (check.result != D3D_OK) return SUCCEEDED(check.result) ? D3D_OK : check.result;
    try {
        if (m_vertices.size() < count) m_vertices.resize(count);
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
    if (const HRESULT result = Prepare(false); FAILED(result)) return result;
    const Api& gl = m_context->Gl();

    // Held to the end of the draw, as in the software device.
    const std::shared_ptr<DeviceSurface> texture = Texture();
    const bool textured = texture != nullptr && BindTexture(*texture);
    // Never the target's own texture, not even unsampled.
    if (!textured) gl.BindTexture(GL_TEXTURE_2D, 0);
    ConvertVertices(static_cast<const unsigned char*>(vertices), count, check.layout);

    gl.BindVertexArray(m_vertexArray);
    gl.BindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
    // A new store each draw: OpenGL need not wait for the last draw's vertices.
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(static_cast<std::size_t>(count) * sizeof(Vertex)), m_vertices.data(),
                  GL_STREAM_DRAW);

    gl.UseProgram(m_program);
    gl.Uniform1i(m_texturedLocation, textured ? 1 : 0);
    gl.Uniform1i(m_flatLocation, RenderState(D3DRENDERSTATE_SHADEMODE) == D3DSHADE_FLAT ? 1 : 0);
    SetPipelineState();

    const GLenum mode = primitiveType == D3DPT_TRIANGLELIST    ? GL_TRIANGLES
                        : primitiveType == D3DPT_TRIANGLESTRIP ? GL_TRIANGLE_STRIP
                                                               : GL_TRIANGLE_FAN;
    gl.DrawArrays(mode, 0, static_cast<GLsizei>(count));
    return Finish();
}

// ---------------------------------------------------------------- State, vertices and textures

void Device::SetPipelineState() {
    const Api& gl = m_context->Gl();
    const D3DVIEWPORT7& viewport = Viewport();
    gl.Viewport(static_cast<GLint>(viewport.dwX), static_cast<GLint>(viewport.dwY), static_cast<GLsizei>(viewport.dwWidth),
                static_cast<GLsizei>(viewport.dwHeight));
    gl.Enable(GL_SCISSOR_TEST);
    gl.Scissor(static_cast<GLint>(viewport.dwX), static_cast<GLint>(viewport.dwY), static_cast<GLsizei>(viewport.dwWidth),
               static_cast<GLsizei>(viewport.dwHeight));

    if (RenderState(D3DRENDERSTATE_ALPHABLENDENABLE) != FALSE) {
        DWORD source = RenderState(D3DRENDERSTATE_SRCBLEND);
        DWORD dest = RenderState(D3DRENDERSTATE_DESTBLEND);
        dx::ResolveBothFactors(source, dest);
        gl.Enable(GL_BLEND);
        gl.BlendFunc(BlendFactor(source, true), BlendFactor(dest, false));
    } else {
        gl.Disable(GL_BLEND);
    }

    // The platform's clockwise (on a screen whose y points down) has, with
    // the rows in memory order, a positive area in OpenGL's window space:
    // it is OpenGL's counter-clockwise, its front face.
    const DWORD cull = RenderState(D3DRENDERSTATE_CULLMODE);
    if (cull == D3DCULL_CW || cull == D3DCULL_CCW) {
        gl.Enable(GL_CULL_FACE);
        gl.CullFace(cull == D3DCULL_CW ? GL_FRONT : GL_BACK);
    } else {
        gl.Disable(GL_CULL_FACE);
    }
}

void Device::ConvertVertices(const unsigned char* vertices, DWORD count, const dx::VertexLayout& layout) {
    const dx::LightingState lighting = Lighting();
    const D3DMATRIX& combined = Combined();
    const dx::Colour shared = dx::VertexColour(lighting, nullptr, nullptr);
    const bool ownColours = layout.diffuse >= 0 || layout.specular >= 0;
    const D3DVIEWPORT7& viewport = Viewport();
    // Half a pixel in clip space units (per unit of w).
    const float halfPixelX = 1.0f / static_cast<float>(viewport.dwWidth);
    const float halfPixelY = 1.0f / static_cast<float>(viewport.dwHeight);

    for (DWORD i = 0; i < count; ++i) {
        const unsigned char* at = vertices + static_cast<std::size_t>(i) * static_cast<std::size_t>(layout.stride);
        const dx::ClipPosition p = dx::TransformPoint(combined, Read<float>(at), Read<float>(at + 4), Read<float>(at + 8));
        dx::Colour colour = shared;
        if (ownColours) {
            const D3DCOLOR diffuse = layout.diffuse >= 0 ? Read<D3DCOLOR>(at + layout.diffuse) : 0;
            const D3DCOLOR specular = layout.specular >= 0 ? Read<D3DCOLOR>(at + layout.specular) : 0;
            colour =
                dx::VertexColour(lighting, layout.diffuse >= 0 ? &diffuse : nullptr, layout.specular >= 0 ? &specular : nullptr);
        }
        Vertex& out = m_vertices[i];
        out.position[0] = p.x + halfPixelX * p.w;
        out.position[1] = -p.y + halfPixelY * p.w;
        out.position[2] = 2.0f * p.z - p.w;
        out.position[3] = p.w;
        out.colour[0] = colour.r;
        out.colour[1] = colour.g;
        out.colour[2] = colour.b;
        out.colour[3] = colour.a;
        out.texCoord[0] = layout.texCoord >= 0 ? Read<float>(at + layout.texCoord) : 0.0f;
        out.texCoord[1] = layout.texCoord >= 0 ? Read<float>(at + layout.texCoord + 4) : 0.0f;
    }
}

bool Device::BindTexture(DeviceSurface& surface) {
    TexelImage image;
    if (FAILED(surface.GetTexels(&image)) || image.texels == nullptr || image.width <= 0 || image.height <= 0) return false;
    const Api& gl = m_context->Gl();

    // Textures of surfaces that went are let go.
    for (auto it = m_textures.begin(); it != m_textures.end();) {
        if (it->surface.expired()) {
            gl.DeleteTextures(1, &it->name);
            it = m_textures.erase(it);
        } else {
            ++it;
        }
    }
    auto found = std::find_if(m_textures.begin(), m_textures.end(), [&](const CachedTexture& t) { return t.key == &surface; });
    if (found == m_textures.end()) {
        CachedTexture texture;
        texture.surface = surface.WeakSelf();
        texture.key = &surface;
        gl.GenTextures(1, &texture.name);
        gl.BindTexture(GL_TEXTURE_2D, texture.name);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        try {
            m_textures.push_back(texture);
        } catch (const std::bad_alloc&) {
            gl.DeleteTextures(1, &texture.name);
            return false;
        }
        found = m_textures.end() - 1;
    }
    gl.ActiveTexture(GL_TEXTURE0);
    gl.BindTexture(GL_TEXTURE_2D, found->name);
    if (found->version != image.version || found->width != image.width || found->height != image.height) {
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
        gl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                      image.texels);
        found->version = image.version;
        found->width = image.width;
        found->height = image.height;
    }
    return true;
}

}  // namespace vx::dx::gl
