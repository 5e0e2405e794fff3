#include "bare_gl_loop.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>
#include <stdexcept>

#include "framework/resources.h"
#include "video/cube_scene.h"
#include "video/dib_picture.h"

namespace vx::bench {

struct BareGlLoop::Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint texture = 0;
    CubeVertexArray vertices{};

    ~Egl() {
        if (context != EGL_NO_CONTEXT) {
            glDeleteTextures(1, &texture);
            glDeleteFramebuffers(1, &framebuffer);
            glDeleteRenderbuffers(1, &colour);
            eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            eglDestroyContext(display, context);
        }
        if (display != EGL_NO_DISPLAY) eglTerminate(display);
    }
};

namespace {

void Check(bool ok, const char* step) {
    if (!ok) throw std::runtime_error(std::string("bare OpenGL loop: ") + step);
}

void LoadD3DMatrix(const win::D3DMATRIX& matrix, void (*load)(const GLfloat*)) {
    // The platform's row-vector matrix, read column by column, is OpenGL's
    // column-vector matrix of the same transform.
    GLfloat values[16];
    std::memcpy(values, &matrix, sizeof values);
    load(values);
}

// "tex1" with its palette applied, as 0xAARRGGBB (GL_BGRA in memory).
std::vector<std::uint32_t> SceneTexels(int* width, int* height) {
    const auto bytes = FindResource("tex1.bmp");
    Check(bytes.has_value(), "tex1.bmp is not among the resources");
    const DibPicture picture = DecodeDibPicture(*bytes, "tex1.bmp");
    std::vector<std::uint32_t> texels(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            texels[static_cast<std::size_t>(y * picture.width + x)] = 0xFF000000u | picture.ColourAt(x, y);
        }
    }
    *width = picture.width;
    *height = picture.height;
    return texels;
}

}  // namespace

BareGlLoop::BareGlLoop(int width, int height)
    : m_egl(std::make_unique<Egl>()),
      m_width(width),
      m_height(height),
      m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    Egl& egl = *m_egl;
    egl.display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    Check(egl.display != EGL_NO_DISPLAY, "no surfaceless EGL display");
    Check(eglInitialize(egl.display, nullptr, nullptr) == EGL_TRUE, "eglInitialize");
    Check(eglBindAPI(EGL_OPENGL_API) == EGL_TRUE, "no desktop OpenGL through EGL");
    // A compatibility context (no version asked), for the fixed-function pipeline.
    egl.context = eglCreateContext(egl.display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
    Check(egl.context != EGL_NO_CONTEXT, "eglCreateContext");
    Check(eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, egl.context) == EGL_TRUE, "eglMakeCurrent");
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    m_renderer = renderer != nullptr ? renderer : "";

    glGenRenderbuffers(1, &egl.colour);
    glBindRenderbuffer(GL_RENDERBUFFER, egl.colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenFramebuffers(1, &egl.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, egl.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, egl.colour);
    Check(glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE, "framebuffer object incomplete");
    glViewport(0, 0, width, height);

    int textureWidth = 0;
    int textureHeight = 0;
    const std::vector<std::uint32_t> texels = SceneTexels(&textureWidth, &textureHeight);
    glGenTextures(1, &egl.texture);
    glBindTexture(GL_TEXTURE_2D, egl.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, textureWidth, textureHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);

    // The scene's lighting: no lights, global ambient white, a white material.
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat diffuse[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    glEnable(GL_LIGHTING);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    // The platform's depth runs 0..w, OpenGL's -w..w: z' = 2z - w after the projection.
    const GLfloat depthToOpenGL[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0, 0, 0, -1, 1};
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(depthToOpenGL);
    LoadD3DMatrix(CubeProjection(), glMultMatrixf);
    glMatrixMode(GL_MODELVIEW);

    BuildCube(egl.vertices);
    const CubeVertex* first = egl.vertices.data();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(CubeVertex), &first->x);
    glNormalPointer(GL_FLOAT, sizeof(CubeVertex), &first->nx);
    glTexCoordPointer(2, GL_FLOAT, sizeof(CubeVertex), &first->tu);
    Check(glGetError() == GL_NO_ERROR, "fixed-function state");
}

BareGlLoop::~BareGlLoop() = default;

void BareGlLoop::DrawFrame(double t) {
    // modelview = (world x view) in the platform's order.
    LoadD3DMatrix(CubeView(), glLoadMatrixf);
    LoadD3DMatrix(CubeWorld(t), glMultMatrixf);
    glClear(GL_COLOR_BUFFER_BIT);
    for (GLint k = 0; k < 6; ++k) glDrawArrays(GL_TRIANGLE_STRIP, 4 * k, 4);
    glFinish();
    glReadPixels(0, 0, m_width, m_height, GL_BGRA, GL_UNSIGNED_BYTE, m_pixels.data());
}

}  // namespace vx::bench
