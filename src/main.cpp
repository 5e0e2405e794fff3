// Vidorex: one window, one click on "Start Test", and a row of scores that
// tell whether this computer is fit to play video films.

#include <clocale>
#include <memory>

#include "app/program.h"
#include "framework/native_backend.h"
#include "platform/native_services.h"

int main() {
    // Numbers are shown with the user's decimal separator.
    std::setlocale(LC_ALL, "");

    vx::win::NativeSystemServices services;
    std::unique_ptr<vx::NativeWindowBackend> backend;
    try {
        backend = std::make_unique<vx::NativeWindowBackend>();
    } catch (const vx::NativeWindowBackendError& e) {
        vx::ReportNativeWindowBackendError("vidorex", "Vidorex", e.what());
        return 1;
    }
    vx::ConnectDisplay(services, *backend);
    return vx::RunVidorex(*backend, services);
}
