// Vidorex: one window, one click on "Start Test", and a row of scores that
// tell whether this computer is fit to play video films.

#include <clocale>
#include <cstdio>
#include <memory>

#include "app/program.h"
#include "platform/native_services.h"
#ifdef _WIN32
#include "framework/win32/win32_backend.h"
#else
#include "framework/sdl/sdl_backend.h"
#endif

int main() {
    // Numbers are shown with the user's decimal separator.
    std::setlocale(LC_ALL, "");

    vx::win::NativeSystemServices services;
#ifdef _WIN32
    std::unique_ptr<vx::Win32Backend> backend;
    try {
        backend = std::make_unique<vx::Win32Backend>();
    } catch (const vx::Win32WindowError& e) {
        // A program without a console: the message goes into a box.
        std::fprintf(stderr, "vidorex: %s\n", e.what());
        vx::ShowSystemErrorBox("Vidorex", e.what());
        return 1;
    }
#else
    std::unique_ptr<vx::SdlBackend> backend;
    try {
        backend = std::make_unique<vx::SdlBackend>();
    } catch (const vx::DisplayUnavailable& e) {
        std::fprintf(stderr, "vidorex: %s\n", e.what());
        return 1;
    }
#endif
    vx::ConnectDisplay(services, *backend);
    return vx::RunVidorex(*backend, services);
}
