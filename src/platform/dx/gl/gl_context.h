// An OpenGL context of the program's own, on a hidden window of the window
// system the program already runs on. Devices draw into off-screen targets,
// so the window is never shown.
//
// A context is made only when the window system's video is up (the program's
// window backend opened it); otherwise, and when the system offers no
// OpenGL 3.3 core context, Create answers null and the caller goes without.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/dx/gl/gl_api.h"

struct SDL_Window;

namespace vx::dx::gl {

class Context {
    struct Token {};

public:
    static std::shared_ptr<Context> Create();
    explicit Context(Token) {}
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // Makes the context current on this thread; false when it cannot be.
    bool MakeCurrent();
    const Api& Gl() const { return m_api; }
    const std::string& Renderer() const { return m_renderer; }

    // Whether the context reports that it was lost (a reset of the GPU).
    bool Lost();
    // Gives up a lost context for a new one on the same window; every object
    // made in the old one is gone. Generation counts the renewals.
    bool Renew();
    std::uint64_t Generation() const { return m_generation; }

private:
    bool MakeContext();
    void DropContext();

    SDL_Window* m_window = nullptr;
    void* m_context = nullptr;  // SDL_GLContext
    Api m_api;
    std::string m_renderer;
    std::uint64_t m_generation = 0;
};

// Whether an OpenGL renderer's name is that of a software rasteriser.
bool IsSoftwareRenderer(const std::string& renderer);

}  // namespace vx::dx::gl
