// The OpenGL entry points the device uses, looked up through the window
// system once a context exists: the program never links OpenGL, so nothing
// of it is loaded before the render surface asks for a device.
#pragma once

#define GL_GLEXT_PROTOTYPES 1  // only for decltype below; nothing is linked
#include <GL/glcorearb.h>

#include <string>

namespace vx::dx::gl {

// clang-format off
#define VX_GL_FUNCTIONS(X)                                                                                               \
    X(GetString) X(GetError) X(GetIntegerv) X(Viewport) X(Scissor) X(Enable) X(Disable) X(ClearColor) X(Clear)            \
    X(ColorMask) X(BlendFunc) X(CullFace) X(FrontFace) X(ProvokingVertex) X(DrawArrays) X(ReadPixels) X(PixelStorei)     \
    X(Finish) X(GenTextures) X(DeleteTextures) X(BindTexture) X(TexImage2D) X(TexSubImage2D) X(TexParameteri)            \
    X(ActiveTexture) X(GenFramebuffers) X(DeleteFramebuffers) X(BindFramebuffer) X(FramebufferTexture2D)                  \
    X(CheckFramebufferStatus) X(CreateShader) X(ShaderSource) X(CompileShader) X(GetShaderiv) X(GetShaderInfoLog)         \
    X(DeleteShader) X(CreateProgram) X(AttachShader) X(LinkProgram) X(GetProgramiv) X(GetProgramInfoLog)                  \
    X(DeleteProgram) X(UseProgram) X(GetUniformLocation) X(Uniform1i) X(GenVertexArrays) X(DeleteVertexArrays)           \
    X(BindVertexArray) X(GenBuffers) X(DeleteBuffers) X(BindBuffer) X(BufferData) X(VertexAttribPointer)                  \
    X(EnableVertexAttribArray)
// clang-format on

struct Api {
#define VX_GL_DECLARE(name) decltype(&::gl##name) name = nullptr;
    VX_GL_FUNCTIONS(VX_GL_DECLARE)
#undef VX_GL_DECLARE
    // Only where the context can tell that it was lost (GL 4.5, robustness).
    decltype(&::glGetGraphicsResetStatus) GetGraphicsResetStatus = nullptr;
};

// Looks every entry point up with lookup (the window system's address
// query). Answers the name of the first one missing, or an empty string.
std::string LoadApi(Api& api, void* (*lookup)(const char* name));

}  // namespace vx::dx::gl
