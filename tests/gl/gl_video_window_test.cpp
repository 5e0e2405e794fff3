// The video test's window with the system's OpenGL offered beside the
// software device: which device each phase gets, and the OpenGL device's
// frames reaching the window through the render surface.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "app/main_form.h"
#include "fake/fake_system_services.h"
#include "framework/application.h"
#include "gl/device_rig.h"
#include "platform/dx/gl/gl_device.h"
#include "platform/dx/gl/gl_device_factory.h"
#include "platform/dx/soft/device.h"
#include "support/cube_frame.h"
#include "support/headless.h"
#include "support/picture_difference.h"
#include "support/video_window.h"
#include "video/dx_draw.h"

namespace vx {
namespace {

// The OpenGL device as a GPU driver would offer it, whatever the renderer:
// a software OpenGL here plays the part of a hardware one.
class OfferedAsHardware final : public dx::DeviceFactory {
public:
    std::optional<dx::DeviceOffer> Offer() override {
        std::optional<dx::DeviceOffer> offer = m_factory.Offer();
        if (offer) {
            offer->device.dwDevCaps |= win::D3DDEVCAPS_HWRASTERIZATION;
            offer->device.deviceGUID = win::IID_IDirect3DHALDevice;
        }
        return offer;
    }
    win::HRESULT Create(dx::DeviceSurface& target, std::shared_ptr<win::IDirect3DDevice7>* device) override {
        return m_factory.Create(target, device);
    }

private:
    dx::gl::DeviceFactory m_factory;
};

using test::VideoWindow;

bool DeviceIsOpenGL(VideoWindow& w) { return dynamic_cast<dx::gl::Device*>(w.form->DXDraw->Device()) != nullptr; }
bool DeviceIsSoftware(VideoWindow& w) { return dynamic_cast<dx::SoftDevice*>(w.form->DXDraw->Device()) != nullptr; }

// The surface's picture in the window below the frame-rate line (0x00BBGGRR).
std::vector<std::uint32_t> SceneInWindow(VideoWindow& w) {
    const TPoint origin = w.form->DXDraw->WindowOrigin();
    std::vector<std::uint32_t> pixels;
    for (int y = 20; y < 320; ++y) {
        for (int x = 0; x < 630; ++x) pixels.push_back(static_cast<std::uint32_t>(w.At(origin.X + x, origin.Y + y)));
    }
    return pixels;
}

bool OpenGLAvailable() {
    dx::gl::DeviceFactory factory;
    return factory.Offer().has_value();
}

// A software OpenGL comes before the software rasteriser in the list, so
// the rasteriser, the last software device, is taken in both phases.
TEST(VideoTestWithOpenGL, TheSoftwareRasteriserWinsOverASoftwareOpenGL) {
    if (!OpenGLAvailable()) GTEST_SKIP() << "no OpenGL context on this machine";
    VideoWindow w(std::make_shared<dx::gl::DeviceFactory>());
    w.form->BVideoSpeedClick(nullptr);
    EXPECT_TRUE(DeviceIsSoftware(w));
    w.Frames(3, 20);
    w.Tick();
    EXPECT_TRUE(w.form->DXDraw->Options() & doHardware);
    EXPECT_FALSE(w.form->DXDraw->ActiveOptions() & doHardware);
    EXPECT_TRUE(DeviceIsSoftware(w));
    EXPECT_TRUE(w.errors.empty()) << w.errors.front();
}

// The software device's picture of the cube at t seconds, below the
// frame-rate line, as the window shows it (0x00BBGGRR).
std::vector<std::uint32_t> SoftwareScene(double t) {
    dx::testing::DeviceRig rig(dx::testing::Kind::Software, 630, 320);
    vx::testing::CubeFrame frame(*rig.directDraw, rig.target, *rig.device, 630, 320);
    frame.DrawScene(t);
    const std::vector<std::uint32_t> pixels = dx::testing::ReadPixels(*rig.target);
    std::vector<std::uint32_t> scene;
    for (std::size_t i = 20 * 630; i < pixels.size(); ++i) {
        const std::uint32_t p = pixels[i];
        scene.push_back(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
    }
    return scene;
}

// With a hardware OpenGL the second phase draws with it, says so, and its
// frames reach the window: the cube as the software device draws it.
TEST(VideoTestWithOpenGL, TheSecondPhaseDrawsWithAHardwareOpenGL) {
    if (!OpenGLAvailable()) GTEST_SKIP() << "no OpenGL context on this machine";
    VideoWindow w(std::make_shared<OfferedAsHardware>());
    w.form->BVideoSpeedClick(nullptr);
    EXPECT_TRUE(DeviceIsSoftware(w));
    EXPECT_FALSE(w.form->DXDraw->ActiveOptions() & doHardware);

    w.Tick();
    EXPECT_TRUE(DeviceIsOpenGL(w));
    EXPECT_TRUE(w.form->DXDraw->ActiveOptions() & doHardware);
    w.Frames(2, 20);
    const std::vector<std::uint32_t> shown = SceneInWindow(w);
    EXPECT_GT(vx::testing::Lit(shown), 630 * 300 / 20);
    EXPECT_TRUE(vx::testing::WithinCubeAllowance(SoftwareScene(static_cast<double>(w.services.tickCount) / 1000.0), shown));
    EXPECT_TRUE(w.errors.empty()) << w.errors.front();
}

}  // namespace
}  // namespace vx
