#include "app/program.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "app/main_form.h"
#include "framework/application.h"
#include "platform/clock.h"
#include "sysinfo/processor_load.h"

namespace vx {

namespace {

int ReportStartFailure(Application& app, const std::exception& e) {
    // Nothing of a window that could not be built is shown: the box stands
    // alone, centred on the screen.
    std::fprintf(stderr, "vidorex: %s\n", e.what());
    app.ShowErrorBox(e.what());
    return 1;
}

}  // namespace

int RunVidorex(WindowBackend& backend, win::SystemServices& services) {
    // The application object only holds the loop and the error box: it is
    // there first so that a failed start can be shown.
    SteadyClock clock;
    Application app(backend, clock);
    app.SetTitle("Vidorex");
    // The sampler comes first: without the platform's version the program
    // cannot tell how to read the processor load.
    std::optional<ProcessorLoadSampler::Session> sampler;
    try {
        sampler.emplace(services);
    } catch (const std::exception& e) {
        return ReportStartFailure(app, e);
    }
    std::unique_ptr<TForm1> form;
    try {
        form = std::make_unique<TForm1>(app, services);
        form->ShowWindow();
    } catch (const std::exception& e) {
        form.reset();
        return ReportStartFailure(app, e);
    }
    app.Run();
    return 0;
}

void ConnectDisplay(win::NativeSystemServices& services, const WindowBackend& backend) {
    services.SetDisplayFacts([&backend] {
        const DisplayFacts display = backend.Display();
        return win::ScreenFacts{display.bitsPerPixel, display.refreshRate, display.width, display.height, display.pixelsPerInch};
    });
}

}  // namespace vx
