// Vidorex: one window, one click on "Start Test", and a row of scores that
// tell whether this computer is fit to play video films.

#include <clocale>
#include <cstdio>
#include <memory>

#include "app/program.h"
#ifdef _WIN32
#include "framework/win32/win32_backend.h"
#include "platform/win32/win32_system_services.h"
#else
#include "framework/sdl/sdl_backend.h"
#include "platform/posix/posix_system_services.h"
#endif

int main() {
    // Numbers are shown with the user's decimal separator.
    std::setlocale(LC_ALL, "");

#ifdef _WIN32
    // The services answer the screen's capabilities from the system itself.
    vx::win::Win32SystemServices services;
    std::unique_ptr<vx::Win32Backend> backend;
    try {
        backend = std::make_unique<vx::Win32Backend>();
    } catch (const vx::Win32WindowError& e) {
        std::fprintf(stderr, "vidorex: %s\n", e.what());
        vx::ShowSystemErrorBox("Vidorex", e.what());
        return 1;
    }
#else
    vx::win::PosixSystemServices services;
    std::unique_ptr<vx::SdlBackend> backend;
    try {
        backend = std::make_unique<vx::SdlBackend>();
    } catch (const vx::DisplayUnavailable& e) {
        std::fprintf(stderr, "vidorex: %s\n", e.what());
        return 1;
    }
    vx::ConnectDisplay(services, *backend);
#endif
    return vx::RunVidorex(*backend, services);
}
