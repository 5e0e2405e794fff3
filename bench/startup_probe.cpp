// The program as it starts, stopped at its first presented frame: prints the
// wall-clock time of that frame (nanoseconds since the epoch) so that a
// runner can measure the time from the process's start to its first frame.

#include <sys/resource.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <memory>

#include "app/program.h"
#include "framework/sdl/sdl_backend.h"
#include "platform/posix/posix_system_services.h"

namespace {

class FirstFrameProbe final : public vx::WindowBackend {
public:
    explicit FirstFrameProbe(vx::WindowBackend& inner) : m_inner(inner) {}

    void CreateMainWindow(const vx::WindowSettings& settings) override { m_inner.CreateMainWindow(settings); }
    void SetCaption(const std::string& caption) override { m_inner.SetCaption(caption); }
    void DestroyMainWindow() override { m_inner.DestroyMainWindow(); }
    std::optional<vx::WindowEvent> PollEvent() override {
        if (m_presented) return vx::WindowEvent{vx::WindowEvent::CloseRequested};
        return m_inner.PollEvent();
    }
    std::optional<vx::WindowEvent> WaitEvent(int timeoutMs) override {
        if (m_presented) return vx::WindowEvent{vx::WindowEvent::CloseRequested};
        return m_inner.WaitEvent(timeoutMs);
    }
    void Present(vx::WindowId window, const vx::Bitmap& frame, const vx::Region& parts) override {
        m_inner.Present(window, frame, parts);
        if (m_presented) return;
        m_presented = true;
        auto now = std::chrono::system_clock::now().time_since_epoch();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("first-frame-ns %lld max-rss-kb %ld\n",
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()), usage.ru_maxrss);
        std::fflush(stdout);
    }
    void SetCursor(vx::TCursor cursor) override { m_inner.SetCursor(cursor); }
    void SetClipboardText(const std::string& utf8) override { m_inner.SetClipboardText(utf8); }
    int WheelScrollLines() const override { return m_inner.WheelScrollLines(); }
    vx::DisplayFacts Display() const override { return m_inner.Display(); }
    std::uintptr_t SystemWindowHandle(vx::WindowId window) const override { return m_inner.SystemWindowHandle(window); }
    // The inner back end's own ways, its owned windows included.
    vx::ErrorBoxSupport ErrorBoxes() override { return m_inner.ErrorBoxes(); }

private:
    vx::WindowBackend& m_inner;
    bool m_presented = false;
};

}  // namespace

int main() {
    std::setlocale(LC_ALL, "");
    vx::win::PosixSystemServices services;
    vx::SdlBackend backend;
    FirstFrameProbe probe(backend);
    vx::ConnectDisplay(services, probe);
    return vx::RunVidorex(probe, services);
}
