// The yardstick for the devices: the video test's scene drawn by the
// system's OpenGL called directly, with nothing of the program between.
//
// EGL on the surfaceless platform, a framebuffer object of RGBA8 without
// depth, and the scene's state in OpenGL's fixed-function pipeline: lighting
// with a white global ambient and a white material, the texture modulated,
// nearest, repeating, additive blending ONE/ONE, no culling, no depth test.
// A frame is the clear, the cube's six strips from client arrays, glFinish
// and the whole frame read back into memory.
//
// How many threads Mesa's llvmpipe draws with is its LP_NUM_THREADS at the
// moment the display is set up; set it before making a loop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vx::bench {

class BareGlLoop {
public:
    // Throws std::runtime_error with the step that failed.
    BareGlLoop(int width, int height);
    ~BareGlLoop();
    BareGlLoop(const BareGlLoop&) = delete;
    BareGlLoop& operator=(const BareGlLoop&) = delete;

    // The cube at t seconds, read back into Pixels().
    void DrawFrame(double t);
    const std::vector<std::uint32_t>& Pixels() const { return m_pixels; }
    const std::string& Renderer() const { return m_renderer; }

private:
    struct Egl;
    std::unique_ptr<Egl> m_egl;
    int m_width;
    int m_height;
    std::vector<std::uint32_t> m_pixels;
    std::string m_renderer;
};

}  // namespace vx::bench
