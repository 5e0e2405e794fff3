// The main window without a display, with scripted workloads: a clock that
// advances a fixed step per reading, slices that only count, a load that the
// test sets, and hooks that let a test stop the battery at a chosen moment.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "fake/fake_system_services.h"
#include "framework/application.h"
#include "support/headless.h"
#include "widgets/speed_button.h"
#include "widgets/status_led.h"

namespace vx::test {

// A local clock reading ms after 2001-01-01 00:00.
inline win::SYSTEMTIME ClockReading(std::int64_t ms) {
    using namespace std::chrono;
    const sys_time<milliseconds> time = sys_days{year{2001} / 1 / 1} + milliseconds{ms};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss<milliseconds> clock{time - day};
    return {static_cast<win::WORD>(static_cast<int>(date.year())),
            static_cast<win::WORD>(static_cast<unsigned>(date.month())),
            0,
            static_cast<win::WORD>(static_cast<unsigned>(date.day())),
            static_cast<win::WORD>(clock.hours().count()),
            static_cast<win::WORD>(clock.minutes().count()),
            static_cast<win::WORD>(clock.seconds().count()),
            static_cast<win::WORD>(clock.subseconds().count())};
}

// The fake machine, with a hook on the free-space query.
struct HookedServices : FakeSystemServices {
    std::function<void()> onDiskQuery;
    win::BOOL GetDiskFreeSpaceExA(const char* directory, win::ULONGLONG* available, win::ULONGLONG* total,
                                  win::ULONGLONG* free) override {
        if (onDiskQuery) onDiskQuery();
        return FakeSystemServices::GetDiskFreeSpaceExA(directory, available, total, free);
    }
};

template <class Services = HookedServices>
struct CheckWindow {
    HeadlessBackend backend;
    ManualClock clock;
    Services services;
    Application app{backend, clock};
    std::vector<std::string> errors;
    std::unique_ptr<TForm1> form;

    // The scripted workloads' state.
    std::int64_t nowMs = 0;
    std::int64_t msPerReading = 5000;
    int readings = 0, samples = 0, loadReads = 0, passes = 0, cpuSlices = 0, memSlices = 0;
    double load = 0.5;
    std::function<void(int reading)> onReading;
    std::function<void(int slice)> onPass, onCpuSlice, onMemSlice;
    // The file work of a pass; by default none at all.
    std::function<bool(win::SystemServices&, const std::string&)> passWork = [](win::SystemServices&, const std::string&) {
        return true;
    };
    std::vector<ExtendedFloat> accumulatorsSeen;
    std::vector<const std::uint8_t*> blocksSeen;

    // setUp prepares the machine before the window takes its snapshot.
    explicit CheckWindow(const std::function<void(Services&)>& setUp = {}) {
        app.SetErrorReport([this](const std::string& message) { errors.push_back(message); });
        if (setUp) setUp(services);
        form = std::make_unique<TForm1>(app, services);
        form->ShowWindow();
        CheckWorkloads workloads;
        workloads.localTime = [this] {
            const int reading = readings++;
            if (onReading) onReading(reading);
            const win::SYSTEMTIME now = ClockReading(nowMs);
            nowMs += msPerReading;
            return now;
        };
        workloads.takeLoadSample = [this] { ++samples; };
        workloads.processorLoad = [this](int) { return ++loadReads, load; };
        workloads.throughputPass = [this](win::SystemServices& fileServices, const std::string& path) {
            const bool created = passWork(fileServices, path);
            if (created && onPass) onPass(passes);
            passes += created ? 1 : 0;
            return created;
        };
        workloads.processorSlice = [this](int slice, ExtendedFloat accumulator) {
            accumulatorsSeen.push_back(accumulator);
            if (onCpuSlice) onCpuSlice(slice);
            ++cpuSlices;
            return accumulator + 1;
        };
        workloads.memorySlice = [this](const std::uint8_t* source, std::uint8_t* target, std::size_t) {
            blocksSeen.push_back(source);
            blocksSeen.push_back(target);
            if (onMemSlice) onMemSlice(memSlices);
            ++memSlices;
        };
        form->SetWorkloads(std::move(workloads));
    }

    // A click through the window's input, handled at once.
    void ClickOn(const TControl& control) {
        QueueClick(control);
        app.ProcessMessages();
    }
    void QueueClick(const TControl& control) {
        const TRect r = control.WindowRect();
        backend.Click((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    // A stop request that the next message pump handles.
    void QueueStop() { QueueClick(*form->BStartStop); }
    // A stop request that the pump after the next one handles: a timer due
    // at once queues it from inside the next pump, after that pump has
    // dispatched its input.
    void QueueStopAfterNextPump() {
        m_stopTimer = app.Timers().Start(0, [this] {
            app.Timers().Stop(m_stopTimer);
            QueueStop();
        });
    }

    static bool AnyLit(const TStatusLed* green, const TStatusLed* yellow, const TStatusLed* red) {
        return green->LedisOn() || yellow->LedisOn() || red->LedisOn();
    }
    // Whether each row of the battery, operating system to desktop, was scored.
    std::vector<bool> ScoredRows() const {
        const TForm1& f = *form;
        return {AnyLit(f.OSL1, f.OSL2, f.OSL3),
                AnyLit(f.HddFreeL1, f.HddFreeL2, f.HddFreeL3),
                AnyLit(f.HddTestL1, f.HddTestL2, f.HddTestL3),
                AnyLit(f.CPUL1, f.CPUL2, f.CPUL3),
                AnyLit(f.MemFreeL1, f.MemFreeL2, f.MemFreeL3),
                AnyLit(f.MemSpeedL1, f.MemSpeedL2, f.MemSpeedL3),
                AnyLit(f.DesktopL1, f.DesktopL2, f.DesktopL3)};
    }

private:
    TimerQueue::TimerId m_stopTimer = 0;
};

// The lamps of a row as green, yellow, red (and whether red blinks).
struct LampState {
    bool green, yellow, red, blinking;
    bool operator==(const LampState&) const = default;
};
inline LampState Lamps(const TStatusLed* green, const TStatusLed* yellow, const TStatusLed* red) {
    return {green->LedisOn(), yellow->LedisOn(), red->LedisOn(), red->Blinking()};
}
inline LampState LampFor(Lamp lamp) { return {lamp == Lamp::Green, lamp == Lamp::Yellow, lamp == Lamp::Red, lamp == Lamp::Red}; }

}  // namespace vx::test
