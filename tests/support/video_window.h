// The main window without a display, ready for the video test: the frame
// clock is active and frames are not paced to a display, so that a test
// drives the frames (from idle time, on the services' tick count) and the
// phases (the phase timer, on a hand-moved clock) itself.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "fake/fake_system_services.h"
#include "framework/application.h"
#include "platform/dx/soft/soft_direct_draw.h"
#include "support/headless.h"
#include "video/dx_draw.h"

namespace vx::test {

// The DirectDraw stand-in over the window, as on Linux: the only one that
// draws into a window back end without windows of the system's (this one).
inline DirectDrawLoader StandInDirectDraw() {
    return [](dx::PresentationTarget& target) { return std::make_unique<dx::SoftDirectDrawLibrary>(target); };
}

struct VideoWindow {
    // displayDevice: the 3D device the window system offers, if any;
    // directDraw: the DirectDraw the surface loads.
    explicit VideoWindow(std::shared_ptr<dx::DeviceFactory> displayDevice = nullptr,
                         DirectDrawLoader directDraw = StandInDirectDraw()) {
        backend.displayDevice = std::move(displayDevice);
        app.SetErrorReport([this](const std::string& m) { errors.push_back(m); });
        form = std::make_unique<TForm1>(app, services, MainFormLayout(), std::move(directDraw));
        form->ShowWindow();
        // Frames wait for nobody's display (see WaitForVerticalBlank).
        form->DXDraw->SetOptions(static_cast<TDXDrawOptions>(form->DXDraw->Options() & ~doWaitVBlank));
        backend.queue.push_back(WindowEvent{WindowEvent::FocusGained});
        app.ProcessMessages();
    }
    // Frames from idle time over a span of the frame clock's milliseconds.
    void Frames(int count, win::DWORD msEach) {
        for (int i = 0; i < count; ++i) {
            services.tickCount += msEach;
            app.Idle();
        }
    }
    // The phase timer's next tick.
    void Tick() {
        clock.Advance(7000);
        app.ProcessMessages();
    }
    // Frames paced to the display, as the program paces them: each waits
    // for the next refresh period on the real clock.
    void WaitForVerticalBlank() { form->DXDraw->SetOptions(static_cast<TDXDrawOptions>(form->DXDraw->Options() | doWaitVBlank)); }
    // The pixel of the window at a point as 0x00BBGGRR.
    TColor At(int x, int y) { return form->Image().GetPixel(x, y); }

    HeadlessBackend backend;
    ManualClock clock;
    FakeSystemServices services;
    Application app{backend, clock};
    std::vector<std::string> errors;
    std::unique_ptr<TForm1> form;
};

}  // namespace vx::test
