// The video test's frame on any Direct3D device: the states the scene sets
// once, the texture made from the program's own "tex1" picture in the
// format the scene would choose, and per frame the clear, the six strips of the cube at a given
// time and the white frame-rate line; for comparing devices and timing them.
#pragma once

#include <memory>
#include <string>

#include "graphics/font.h"
#include "platform/dx/d3d.h"
#include "platform/dx/ddraw.h"
#include "video/cube_scene.h"
#include "video/dx_draw.h"

namespace vx::testing {

class CubeFrame {
public:
    // target is the device's render target, width x height pixels. Throws
    // std::runtime_error when the texture cannot be made.
    CubeFrame(win::IDirectDraw7& directDraw, std::shared_ptr<win::IDirectDrawSurface7> target, win::IDirect3DDevice7& device,
              int width, int height);

    // The cube at t seconds, without the text.
    void DrawScene(double t);
    // The frame-rate line over what is drawn, as the program writes it.
    void DrawOverlay(const std::string& text);

private:
    win::IDirect3DDevice7& m_device;
    int m_width;
    int m_height;
    CubeVertexArray m_vertices{};
    std::shared_ptr<win::IDirectDrawSurface7> m_texture;
    std::shared_ptr<win::IDirectDrawPalette> m_palette;
    TDirectDrawSurface m_target;
    FontCache m_fonts;
};

}  // namespace vx::testing
