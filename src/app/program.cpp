#include "app/program.h"

#include <cstdio>
#include <exception>
#include <memory>

#include "app/main_form.h"
#include "framework/application.h"
#include "platform/clock.h"

namespace vx {

int RunVidorex(WindowBackend& backend, win::SystemServices& services) {
    SteadyClock clock;
    Application app(backend, clock);
    app.SetTitle("Vidorex");
    std::unique_ptr<TForm1> form;
    try {
        form = std::make_unique<TForm1>(app, services);
        form->ShowWindow();
    } catch (const std::exception& e) {
        // Nothing of a window that could not be built is shown.
        std::fprintf(stderr, "vidorex: %s\n", e.what());
        backend.ShowErrorBox("Vidorex", e.what());
        return 1;
    }
    app.Run();
    return 0;
}

}  // namespace vx
