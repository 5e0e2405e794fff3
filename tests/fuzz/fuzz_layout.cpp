// The stored layout, read into the program's own main window with every
// class and handler it registers: any text gives a window or a LayoutError,
// nothing else.
//
// The application around the window is made once for all inputs: making it
// reads the system's font configuration, which took almost half of each
// input's time and is no part of what is fuzzed. Each input's window is
// made and destroyed whole, as the program makes its one.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/main_form.h"
#include "fake/fake_system_services.h"
#include "framework/application.h"
#include "framework/layout.h"
#include "support/headless.h"

namespace {

struct Harness {
    vx::test::HeadlessBackend backend;
    vx::test::ManualClock clock;
    vx::Application app{backend, clock};
    vx::test::FakeSystemServices services;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Harness harness;
    try {
        vx::TForm1 form(harness.app, harness.services, std::string(reinterpret_cast<const char*>(data), size));
    } catch (const vx::LayoutError&) {
    }
    return 0;
}
