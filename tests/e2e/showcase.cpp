// The main window in a real window with every kind of look its widgets can
// take at once: values in the displays (one with a decimal comma), bars at
// several percentages, lamps of all three colours with one red lamp
// blinking, the advice links enabled (one left disabled), text in the memo
// and its two buttons. Runs until the window is closed or the process is
// killed; showcase.sh takes its screenshot.

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "app/main_form.h"
#include "framework/application.h"
#include "framework/native_backend.h"
#include "platform/clock.h"
#include "platform/native_services.h"
#include "widgets/digits.h"
#include "widgets/label.h"
#include "widgets/progress.h"
#include "widgets/speed_button.h"
#include "widgets/status_led.h"

namespace {

struct Row {
    vx::TglDigits* display;
    vx::TglProgress* bar;
    vx::TStatusLed* lamps[3];
    double value;
    std::uint8_t percent;
    int lamp;  // 0 green, 1 yellow, 2 red
    bool blinking;
};

void Show(const Row& row) {
    row.display->SetValue(row.value);
    row.bar->SetPercent(row.percent);
    row.lamps[row.lamp]->SetLedisOn(true);
    if (row.blinking) row.lamps[row.lamp]->SetBlinking(true);
}

void FillRows(vx::TForm1& f) {
    const Row rows[] = {
        {f.OSD, f.OSP, {f.OSL1, f.OSL2, f.OSL3}, 19, 95, 0, false},
        {f.HddFreeD, f.HddFreeP, {f.HddFreeL1, f.HddFreeL2, f.HddFreeL3}, 8.5, 43, 1, false},
        {f.HddTestD, f.HddTestP, {f.HddTestL1, f.HddTestL2, f.HddTestL3}, 3, 15, 2, true},
        {f.CPUD, f.CPUP, {f.CPUL1, f.CPUL2, f.CPUL3}, 17.25, 86, 0, false},
        {f.MemFreeD, f.MemFreeP, {f.MemFreeL1, f.MemFreeL2, f.MemFreeL3}, 12, 60, 1, false},
        {f.MemSpeedD, f.MemSpeedP, {f.MemSpeedL1, f.MemSpeedL2, f.MemSpeedL3}, 20, 100, 0, false},
        {f.DesktopD, f.DesktopP, {f.DesktopL1, f.DesktopL2, f.DesktopL3}, 4, 20, 2, false},
        {f.VideoSpeedD, f.VideoSpeedP, {f.VideoSpeedL1, f.VideoSpeedL2, f.VideoSpeedL3}, 14, 1, 1, false},
    };
    for (const Row& row : rows) Show(row);
    f.BResultClick(f.BResult);
    f.progress1->SetPercent(45);
    f.HDDFreeHelp->SetEnabled(true);
    f.HDDTestHelp->SetEnabled(true);
    f.DesktopHelp->SetEnabled(true);
    f.Memo->Lines().Add("UWAGA: TEST ZAKOŃCZONY!");
    f.Memo->Lines().Add(
        "Jeżeli mruga czerwona lampka przy którymś teście kliknij na znak \">>\" obok tej lampki, aby uzyskać "
        "podpowiedź...");
    f.Button1->Show();
    f.Button2->Show();
}

}  // namespace

int main() {
    std::setlocale(LC_ALL, "");
    vx::win::NativeSystemServices services;
    std::unique_ptr<vx::NativeWindowBackend> backend;
    try {
        backend = std::make_unique<vx::NativeWindowBackend>();
    } catch (const vx::NativeWindowBackendError& e) {
        vx::ReportNativeWindowBackendError("showcase", "Vidorex", e.what());
        return 1;
    }
    vx::SteadyClock clock;
    vx::Application app(*backend, clock);
    app.SetTitle("Vidorex");
    try {
        vx::TForm1 form(app, services);
        FillRows(form);
        form.ShowWindow();
        app.Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "showcase: %s\n", e.what());
        return 1;
    }
    return 0;
}
