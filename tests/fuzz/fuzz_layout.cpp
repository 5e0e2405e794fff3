// The stored layout, read into the program's own main window with every
// class and handler it registers: any text gives a window or a LayoutError,
// nothing else.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/main_form.h"
#include "fake/fake_system_services.h"
#include "framework/application.h"
#include "framework/layout.h"
#include "support/headless.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vx::test::HeadlessBackend backend;
    vx::test::ManualClock clock;
    vx::Application app(backend, clock);
    vx::test::FakeSystemServices services;
    try {
        vx::TForm1 form(app, services, std::string(reinterpret_cast<const char*>(data), size));
    } catch (const vx::LayoutError&) {
    }
    return 0;
}
