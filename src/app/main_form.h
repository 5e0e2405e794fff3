// TForm1, the program's one window: every control of the test panel, the
// Start/Stop sequencer that runs the battery of checks, the "Result:" sum
// and the end-of-battery sequence.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/score_row.h"
#include "checks/workloads.h"
#include "framework/form.h"
#include "framework/layout.h"
#include "framework/memo.h"
#include "framework/stdctrls.h"
#include "framework/timer.h"
#include "platform/system_services.h"
#include "video/cube_scene.h"
#include "video/direct3d_texture.h"
#include "video/register_video.h"

namespace vx {

class TglWizardHeader;
class TProImage;
class TglExtSpeedButton;
class TglProgress;
class TglDigits;
class TStatusLed;
class TglSysInfo;
class TglHint;
class TglLabel;
class TglShadow;
class TDXDraw;
class TDXImageList;
class TDXTimer;

// Battery states, held in the Start button's Tag.
enum BatteryState { BatteryIdle = 0, BatteryRunning = 1, BatteryEnded = 2 };

// What the measuring checks run and read. The window starts with the real
// ones; tests put in fast, scripted ones so that they depend neither on the
// machine's speed nor on its clock.
struct CheckWorkloads {
    // A reading of the local clock, for ElapsedSeconds.
    std::function<win::SYSTEMTIME()> localTime;
    // The processor load sampler's TakeSample and GetLoad.
    std::function<void()> takeLoadSample;
    std::function<double(int processor)> processorLoad;
    // One pass of the disk throughput test on the test file; false when the
    // file cannot be created.
    std::function<bool(win::SystemServices& services, const std::string& path)> throughputPass;
    // One slice of the processor test; returns the accumulator.
    std::function<ExtendedFloat(int slice, ExtendedFloat accumulator)> processorSlice;
    // One slice of the memory test on its two blocks.
    std::function<void(const std::uint8_t* source, std::uint8_t* target, std::size_t size)> memorySlice;
};

// The real workloads, the local clock of these services and the real sampler.
CheckWorkloads RealWorkloads(win::SystemServices& services);

// Every control of the window as (class, name), in the order the stored
// layout makes them. The window's fields are declared from this list and
// bound by its names, so that a control is named here and in the layout
// only.
#define VX_MAIN_FORM_CONTROLS(X)            \
    X(TglWizardHeader, glWizardHeader1)     \
    X(TPanel, Panel1)                       \
    X(TProImage, ProImage1)                 \
    X(TglExtSpeedButton, BHddTest)          \
    X(TglExtSpeedButton, BHddFree)          \
    X(TglExtSpeedButton, BOS)               \
    X(TglExtSpeedButton, BMemSpeed)         \
    X(TglExtSpeedButton, BMemFree)          \
    X(TglExtSpeedButton, BCPU)              \
    X(TglExtSpeedButton, glExtSpeedButton7) \
    X(TglExtSpeedButton, BVideoSpeed)       \
    X(TglExtSpeedButton, BDesktop)          \
    X(TglProgress, progress1)               \
    X(TglProgress, OSP)                     \
    X(TglDigits, OSD)                       \
    X(TStatusLed, OSL1)                     \
    X(TStatusLed, OSL2)                     \
    X(TStatusLed, OSL3)                     \
    X(TglDigits, HddFreeD)                  \
    X(TglProgress, HddFreeP)                \
    X(TStatusLed, HddFreeL1)                \
    X(TStatusLed, HddFreeL2)                \
    X(TStatusLed, HddFreeL3)                \
    X(TglDigits, HddTestD)                  \
    X(TglProgress, HddTestP)                \
    X(TStatusLed, HddTestL1)                \
    X(TStatusLed, HddTestL2)                \
    X(TStatusLed, HddTestL3)                \
    X(TglDigits, CPUD)                      \
    X(TglProgress, CPUP)                    \
    X(TStatusLed, CPUL1)                    \
    X(TStatusLed, CPUL2)                    \
    X(TStatusLed, CPUL3)                    \
    X(TglDigits, MemFreeD)                  \
    X(TglProgress, MemFreeP)                \
    X(TStatusLed, MemFreeL1)                \
    X(TStatusLed, MemFreeL2)                \
    X(TStatusLed, MemFreeL3)                \
    X(TglDigits, MemSpeedD)                 \
    X(TglProgress, MemSpeedP)               \
    X(TStatusLed, MemSpeedL1)               \
    X(TStatusLed, MemSpeedL2)               \
    X(TStatusLed, MemSpeedL3)               \
    X(TglDigits, DesktopD)                  \
    X(TglProgress, DesktopP)                \
    X(TStatusLed, DesktopL1)                \
    X(TStatusLed, DesktopL2)                \
    X(TStatusLed, DesktopL3)                \
    X(TglDigits, VideoSpeedD)               \
    X(TglProgress, VideoSpeedP)             \
    X(TStatusLed, VideoSpeedL1)             \
    X(TStatusLed, VideoSpeedL2)             \
    X(TStatusLed, VideoSpeedL3)             \
    X(TglDigits, CodecsD)                   \
    X(TglProgress, glProgress11)            \
    X(TStatusLed, StatusLed25)              \
    X(TStatusLed, StatusLed26)              \
    X(TStatusLed, StatusLed27)              \
    X(TglExtSpeedButton, BStartStop)        \
    X(TglSysInfo, sysinfo)                  \
    X(TglHint, glHint)                      \
    X(TglExtSpeedButton, BResult)           \
    X(TglDigits, SumaD)                     \
    X(TglProgress, SumaP)                   \
    X(TStatusLed, StatusLed4)               \
    X(TStatusLed, StatusLed5)               \
    X(TStatusLed, StatusLed6)               \
    X(TglLabel, OSHelp)                     \
    X(TglLabel, HDDFreeHelp)                \
    X(TglLabel, HDDTestHelp)                \
    X(TglShadow, glShadow1)                 \
    X(TMemo, Memo)                          \
    X(TglShadow, glShadow2)                 \
    X(TButton, Button1)                     \
    X(TButton, Button2)                     \
    X(TglLabel, DesktopHelp)                \
    X(TDXDraw, DXDraw)                      \
    X(TDXImageList, DXImageList)            \
    X(TDXTimer, DXTimer)                    \
    X(TTimer, TimerDX)

class TForm1 : public TForm {
public:
    // Builds the window from its stored layout; throws LayoutError naming
    // what the layout got wrong.
    TForm1(Application& app, win::SystemServices& services);
    // The same from a given layout text (for tests of bad layouts), and with
    // given DirectDraw services (for tests on a window back end without
    // windows of the system's, which only the stand-in can draw into).
    TForm1(Application& app, win::SystemServices& services, const std::string& layoutText,
           DirectDrawLoader directDraw = StandardDirectDrawLoader());
    ~TForm1() override;

    // The components, one field per control of VX_MAIN_FORM_CONTROLS.
#define VX_MAIN_FORM_FIELD(Class, name) Class* name = nullptr;
    VX_MAIN_FORM_CONTROLS(VX_MAIN_FORM_FIELD)
#undef VX_MAIN_FORM_FIELD

    // The controls' names, in the order of the fields.
    static std::span<const std::string_view> FieldNames();

    // Handlers, bound by name from the layout.
    void BStartStopClick(TObject* sender);
    void BOSMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void BResultClick(TObject* sender);
    void BOSClick(TObject* sender);
    void BHddFreeClick(TObject* sender);
    void BHddTestClick(TObject* sender);
    void BCPUClick(TObject* sender);
    void BMemFreeClick(TObject* sender);
    void BMemSpeedClick(TObject* sender);
    void BDesktopClick(TObject* sender);
    void BVideoSpeedClick(TObject* sender);
    void TimerDXTimer(TObject* sender);
    void DXDrawInitialize(TObject* sender);
    void DXDrawInitializeSurface(TObject* sender);
    void DXDrawFinalize(TObject* sender);
    void DXTimerTimer(TObject* sender, int lagCount);
    void HDDFreeHelpClick(TObject* sender);
    void HDDTestHelpClick(TObject* sender);
    void DesktopHelpClick(TObject* sender);
    void Button1Click(TObject* sender);
    void Button2Click(TObject* sender);

    // The end of a battery, run when the video test has scored its row:
    // advice buttons hidden, the memo's two closing lines, the result sum,
    // and the Start button's closing state.
    void EndOfBattery(TObject* sender);

    // The battery has been stopped (or has ended): the abort test of every
    // sliced check.
    bool BatteryStopped() const;

    // Closing the window also stops a running battery or a check run by its
    // own button, so that the check in progress unwinds at its next abort
    // test instead of running on unseen.
    void Close() override;

    // Replaces what the measuring checks run and read (tests).
    void SetWorkloads(CheckWorkloads workloads) { m_workloads = std::move(workloads); }
    const CheckWorkloads& Workloads() const { return m_workloads; }

    OverallProgress& Progress() { return *m_progress; }
    ScoreRow& OsRow() { return *m_osRow; }
    ScoreRow& VideoRow() { return *m_videoRow; }
    win::SystemServices& Services() { return m_services; }

    // Runs the application's message pump once (as every check does after
    // scoring and between slices).
    void Pump();

    // The cube scene's data: its one texture (while the surface is
    // initialised) and its vertices (built at every surface initialisation).
    std::array<std::unique_ptr<TDirect3DTexture2>, 1> Textures;
    CubeVertexArray CubeVertices{};

    // Sets the view and world matrices for a time in seconds.
    void UpdateCubeTransforms(double t);

private:
    void Build(const std::string& layoutText);
    HandlerTable Handlers();
    void BindFields();
    template <class T>
    void Bind(const char* name, T*& field);
    void MakeRows();

    win::SystemServices& m_services;
    DirectDrawLoader m_directDraw;
    std::unique_ptr<OverallProgress> m_progress;
    std::unique_ptr<ScoreRow> m_osRow;
    std::unique_ptr<ScoreRow> m_hddFreeRow;
    std::unique_ptr<ScoreRow> m_hddTestRow;
    std::unique_ptr<ScoreRow> m_cpuRow;
    std::unique_ptr<ScoreRow> m_memFreeRow;
    std::unique_ptr<ScoreRow> m_memSpeedRow;
    std::unique_ptr<ScoreRow> m_desktopRow;
    std::unique_ptr<ScoreRow> m_videoRow;
    CheckWorkloads m_workloads;
};

// The layout reader's classes: the framework's, the widgets', the video
// test's and the window's own.
ClassRegistry BuildClassRegistry(win::SystemServices& services, DirectDrawLoader directDraw = StandardDirectDrawLoader());

// The window's stored layout, as compiled into the program.
std::string MainFormLayout();

}  // namespace vx
