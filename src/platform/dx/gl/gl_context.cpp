#include "platform/dx/gl/gl_context.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace vx::dx::gl {

namespace {

void* LookUp(const char* name) { return SDL_GL_GetProcAddress(name); }

// The attributes are the window system's global settings: they are set for
// one context and put back at once, so that nothing else is affected.
void AskForCoreContext() {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 0);
}

}  // namespace

std::shared_ptr<Context> Context::Create() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return nullptr;
    auto context = std::make_shared<Context>(Token{});
    AskForCoreContext();
    context->m_window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    const bool made = context->m_window != nullptr && context->MakeContext();
    SDL_GL_ResetAttributes();
    if (!made) return nullptr;
    const auto* renderer = reinterpret_cast<const char*>(context->m_api.GetString(GL_RENDERER));
    context->m_renderer = renderer != nullptr ? renderer : "";
    return context;
}

Context::~Context() {
    DropContext();
    if (m_window != nullptr) SDL_DestroyWindow(m_window);
}

bool Context::MakeContext() {
    SDL_GLContext context = SDL_GL_CreateContext(m_window);
    if (context == nullptr) return false;
    m_context = context;
    if (SDL_GL_MakeCurrent(m_window, context) != 0 || !LoadApi(m_api, &LookUp).empty()) {
        DropContext();
        return false;
    }
    return true;
}

void Context::DropContext() {
    if (m_context == nullptr) return;
    if (SDL_GL_GetCurrentContext() == m_context) SDL_GL_MakeCurrent(m_window, nullptr);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_context));
    m_context = nullptr;
}

bool Context::MakeCurrent() {
    return m_context != nullptr && SDL_GL_MakeCurrent(m_window, static_cast<SDL_GLContext>(m_context)) == 0;
}

bool Context::Lost() {
    if (m_context == nullptr) return true;
    return m_api.GetGraphicsResetStatus != nullptr && MakeCurrent() && m_api.GetGraphicsResetStatus() != GL_NO_ERROR;
}

bool Context::Renew() {
    DropContext();
    ++m_generation;
    AskForCoreContext();
    const bool made = MakeContext();
    SDL_GL_ResetAttributes();
    return made;
}

bool IsSoftwareRenderer(const std::string& renderer) {
    std::string lower = renderer;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    constexpr std::array<const char*, 6> kSoftware = {"llvmpipe", "softpipe", "swrast", "software", "lavapipe", "swiftshader"};
    return std::any_of(kSoftware.begin(), kSoftware.end(),
                       [&](const char* name) { return lower.find(name) != std::string::npos; });
}

}  // namespace vx::dx::gl
