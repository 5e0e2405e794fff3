// Paint costs of the window's widgets: one row bar and the overall bar
// composed and shown, one digit display redrawn at once, and the whole main
// window painted from scratch (the goal: well under 2 ms). Run by hand:
//   build/bench/vidorex_widgets_bench

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "app/main_form.h"
#include "fake/fake_system_services.h"
#include "framework/application.h"
#include "graphics/canvas.h"
#include "support/headless.h"
#include "widgets/digits.h"
#include "widgets/progress.h"

namespace {

// The main window built from its stored layout on the off-screen backend,
// with every row showing a value as after a battery.
struct Window {
    vx::test::HeadlessBackend backend;
    vx::test::ManualClock clock;
    vx::test::FakeSystemServices services;
    vx::Application app{backend, clock};
    std::unique_ptr<vx::TForm1> form;

    Window() {
        form = std::make_unique<vx::TForm1>(app, services);
        form->ShowWindow();
        const struct {
            vx::TglDigits* display;
            vx::TglProgress* bar;
            double value;
            std::uint8_t percent;
        } rows[] = {
            {form->OSD, form->OSP, 19, 95},           {form->HddFreeD, form->HddFreeP, 8.5, 43},
            {form->HddTestD, form->HddTestP, 3, 15},  {form->CPUD, form->CPUP, 17.25, 86},
            {form->MemFreeD, form->MemFreeP, 12, 60}, {form->MemSpeedD, form->MemSpeedP, 20, 100},
            {form->DesktopD, form->DesktopP, 4, 20},  {form->VideoSpeedD, form->VideoSpeedP, 14, 70},
        };
        for (const auto& r : rows) {
            r.display->SetValue(r.value);
            r.bar->SetPercent(r.percent);
        }
        form->progress1->SetPercent(45);
        form->PaintAll();
    }
};

void BM_RowBarPaint(benchmark::State& state) {
    Window w;
    vx::TglProgress& bar = *w.form->OSP;
    std::uint8_t percent = 0;
    for (auto _ : state) {
        // A new percent paints the bar at once: composed off screen, then one copy.
        percent = static_cast<std::uint8_t>((percent + 37) % 101);
        bar.SetPercent(percent);
        benchmark::DoNotOptimize(w.form->Image().Row(10));
    }
}
BENCHMARK(BM_RowBarPaint)->Unit(benchmark::kMicrosecond);

void BM_OverallBarPaint(benchmark::State& state) {
    Window w;
    vx::TglProgress& bar = *w.form->progress1;
    std::uint8_t percent = 0;
    for (auto _ : state) {
        percent = static_cast<std::uint8_t>((percent + 37) % 101);
        bar.SetPercent(percent);
        benchmark::DoNotOptimize(w.form->Image().Row(10));
    }
}
BENCHMARK(BM_OverallBarPaint)->Unit(benchmark::kMicrosecond);

void BM_DigitsDrawnAtOnce(benchmark::State& state) {
    Window w;
    vx::TglDigits& digits = *w.form->CPUD;
    double value = 10;
    for (auto _ : state) {
        // Two-digit values keep the text's length: drawn at once every time.
        value = value >= 99 ? 10 : value + 1;
        digits.SetValue(value);
        benchmark::DoNotOptimize(w.form->Image().Row(10));
    }
}
BENCHMARK(BM_DigitsDrawnAtOnce)->Unit(benchmark::kMicrosecond);

void BM_WholeWindowPaint(benchmark::State& state) {
    Window w;
    for (auto _ : state) {
        w.form->PaintAll();
        benchmark::DoNotOptimize(w.form->Image().Row(10));
    }
}
BENCHMARK(BM_WholeWindowPaint)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
