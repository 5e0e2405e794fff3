// Sections: sequencer; checks; advice panel.
#include "app/main_form.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "app/advice.h"
#include "checks/disk.h"
#include "checks/rating.h"
#include "checks/scores.h"
#include "framework/application.h"
#include "framework/backend.h"
#include "framework/framework_classes.h"
#include "framework/resources.h"
#include "sysinfo/processor_load.h"
#include "sysinfo/sys_info.h"
#include "video/dx_draw.h"
#include "video/register_video.h"
#include "widgets/digits.h"
#include "widgets/hint.h"
#include "widgets/label.h"
#include "widgets/pro_image.h"
#include "widgets/progress.h"
#include "widgets/register_widgets.h"
#include "widgets/shadow.h"
#include "widgets/speed_button.h"
#include "widgets/status_led.h"
#include "widgets/wizard_header.h"

namespace vx {

using namespace win;

namespace {
constexpr const char* kLayoutResource = "main_form.layout";
}

std::string MainFormLayout() {
    auto bytes = FindResource(kLayoutResource);
    if (!bytes) throw LayoutError(std::string("the window's layout \"") + kLayoutResource + "\" is missing from the program");
    return std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size());
}

ClassRegistry BuildClassRegistry(SystemServices& services, DirectDrawLoader directDraw) {
    ClassRegistry classes;
    RegisterFrameworkClasses(classes);
    RegisterWidgetClasses(classes);
    RegisterVideoClasses(classes, services, std::move(directDraw));
    classes.Register("TglSysInfo", "TComponent",
                     [&services](TComponent* owner) { return std::make_unique<TglSysInfo>(owner, services); });
    classes.Register("TForm1", "TForm", nullptr);
    return classes;
}

TForm1::TForm1(Application& app, SystemServices& services) : TForm1(app, services, MainFormLayout()) {}

TForm1::TForm1(Application& app, SystemServices& services, const std::string& layoutText, DirectDrawLoader directDraw)
    : TForm(app), m_services(services), m_directDraw(std::move(directDraw)), m_workloads(RealWorkloads(services)) {
    Build(layoutText);
}

TForm1::~TForm1() {
    // The components go while the window's own data still exists: the
    // render surface's finalisation calls back into the handlers.
    DestroyComponents();
}

void TForm1::Build(const std::string& layoutText) {
    ClassRegistry classes = BuildClassRegistry(m_services, m_directDraw);
    LoadLayout(layoutText, *this, "TForm1", classes, Handlers());
    BindFields();
    MakeRows();
}

HandlerTable TForm1::Handlers() {
    HandlerTable table;
    auto notify = [this](void (TForm1::*method)(TObject*)) {
        return TNotifyEvent([this, method](TObject* sender) { (this->*method)(sender); });
    };
    table.Add("BStartStopClick", notify(&TForm1::BStartStopClick));
    table.Add("BResultClick", notify(&TForm1::BResultClick));
    table.Add("BOSClick", notify(&TForm1::BOSClick));
    table.Add("BHddFreeClick", notify(&TForm1::BHddFreeClick));
    table.Add("BHddTestClick", notify(&TForm1::BHddTestClick));
    table.Add("BCPUClick", notify(&TForm1::BCPUClick));
    table.Add("BMemFreeClick", notify(&TForm1::BMemFreeClick));
    table.Add("BMemSpeedClick", notify(&TForm1::BMemSpeedClick));
    table.Add("BDesktopClick", notify(&TForm1::BDesktopClick));
    table.Add("BVideoSpeedClick", notify(&TForm1::BVideoSpeedClick));
    table.Add("TimerDXTimer", notify(&TForm1::TimerDXTimer));
    table.Add("DXDrawInitialize", notify(&TForm1::DXDrawInitialize));
    table.Add("DXDrawInitializeSurface", notify(&TForm1::DXDrawInitializeSurface));
    table.Add("DXDrawFinalize", notify(&TForm1::DXDrawFinalize));
    table.Add("HDDFreeHelpClick", notify(&TForm1::HDDFreeHelpClick));
    table.Add("HDDTestHelpClick", notify(&TForm1::HDDTestHelpClick));
    table.Add("DesktopHelpClick", notify(&TForm1::DesktopHelpClick));
    table.Add("Button1Click", notify(&TForm1::Button1Click));
    table.Add("Button2Click", notify(&TForm1::Button2Click));
    table.Add("BOSMouseDown", TMouseEvent([this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
                  BOSMouseDown(sender, button, shift, x, y);
              }));
    table.Add("DXTimerTimer", TDXTimerEvent([this](TObject* sender, int lagCount) { DXTimerTimer(sender, lagCount); }));
    return table;
}

template <class T>
void TForm1::Bind(const char* name, T*& field) {
    field = dynamic_cast<T*>(FindComponent(name));
    if (field == nullptr) {
        throw LayoutError(std::string("the layout lacks the component \"") + name + "\" of the right class");
    }
}

std::span<const std::string_view> TForm1::FieldNames() {
#define VX_MAIN_FORM_NAME(Class, name) #name,
    static constexpr std::string_view kNames[] = {VX_MAIN_FORM_CONTROLS(VX_MAIN_FORM_NAME)};
#undef VX_MAIN_FORM_NAME
    return kNames;
}

void TForm1::BindFields() {
#define VX_MAIN_FORM_BIND(Class, name) Bind(#name, name);
    VX_MAIN_FORM_CONTROLS(VX_MAIN_FORM_BIND)
#undef VX_MAIN_FORM_BIND
}

void TForm1::MakeRows() {
    m_progress = std::make_unique<OverallProgress>(*progress1);
    auto pump = [this] { Pump(); };
    auto row = [&](TglDigits* d, TglProgress* p, TStatusLed* l1, TStatusLed* l2, TStatusLed* l3, TglLabel* link, LinkRule rule) {
        return std::make_unique<ScoreRow>(ScoreRow::Widgets{*d, *p, *l1, *l2, *l3, link}, rule, *m_progress, pump);
    };
    m_osRow = row(OSD, OSP, OSL1, OSL2, OSL3, nullptr, LinkRule::None);
    m_hddFreeRow = row(HddFreeD, HddFreeP, HddFreeL1, HddFreeL2, HddFreeL3, HDDFreeHelp, LinkRule::OnYellowAndRed);
    m_hddTestRow = row(HddTestD, HddTestP, HddTestL1, HddTestL2, HddTestL3, HDDTestHelp, LinkRule::OnRedOnly);
    m_cpuRow = row(CPUD, CPUP, CPUL1, CPUL2, CPUL3, nullptr, LinkRule::None);
    m_memFreeRow = row(MemFreeD, MemFreeP, MemFreeL1, MemFreeL2, MemFreeL3, nullptr, LinkRule::None);
    m_memSpeedRow = row(MemSpeedD, MemSpeedP, MemSpeedL1, MemSpeedL2, MemSpeedL3, nullptr, LinkRule::None);
    m_desktopRow = row(DesktopD, DesktopP, DesktopL1, DesktopL2, DesktopL3, DesktopHelp, LinkRule::OnYellowAndRed);
    m_videoRow = row(VideoSpeedD, VideoSpeedP, VideoSpeedL1, VideoSpeedL2, VideoSpeedL3, nullptr, LinkRule::None);
}

void TForm1::Pump() { App()->ProcessMessages(); }

bool TForm1::BatteryStopped() const { return BStartStop->Tag() > BatteryRunning; }

// A check that is running, in the battery or alone by its own button, sees
// the ended state at its next abort test and returns, so the program ends at
// once instead of after the check's remaining work.
void TForm1::Close() {
    BStartStop->SetTag(BatteryEnded);
    TForm::Close();
}

// ---------------------------------------------------------------- sequencer

void TForm1::BStartStopClick(TObject*) {
    m_progress->Reset();
    if (BStartStop->Tag() == BatteryRunning) {
        // A stop request, handled inside a running check's message pump:
        // the check sees the new state at its next abort test.
        BStartStop->SetCaption("Zamknij");
        BStartStop->SetTag(BatteryEnded);
        return;
    }
    if (BStartStop->Tag() == BatteryEnded) {
        Close();
        return;
    }
    BStartStop->SetTag(BatteryRunning);
    BStartStop->SetCaption("Przerwij Test");

    BOSClick(BOS);
    BHddFreeClick(BHddFree);
    if (BatteryStopped()) return;
    // The processor load sampler is primed here, right before the disk
    // throughput test that reads it; the first load means nothing.
    m_workloads.takeLoadSample();
    m_workloads.processorLoad(0);
    BHddTestClick(BHddTest);
    if (BatteryStopped()) return;
    BCPUClick(BCPU);
    BMemFreeClick(BMemFree);
    BMemSpeedClick(BMemSpeed);
    if (BatteryStopped()) return;
    BDesktopClick(BDesktop);
    // The video test starts its timers and returns; its end runs the
    // end-of-battery sequence.
    BVideoSpeedClick(BVideoSpeed);
}

void TForm1::BOSMouseDown(TObject*, TMouseButton, TShiftState, int, int) { m_progress->Reset(); }

void TForm1::BResultClick(TObject*) {
    long double sum = 0;
    for (TglDigits* d : {OSD, HddFreeD, HddTestD, CPUD, MemFreeD, MemSpeedD, DesktopD, VideoSpeedD, CodecsD}) {
        sum += static_cast<long double>(d->Value());
    }
    SumaD->SetValue(static_cast<double>(sum));
}

void TForm1::EndOfBattery(TObject* sender) {
    Button1->Hide();
    Button2->Hide();
    Memo->Lines().Clear();
    Memo->Lines().Add("UWAGA: TEST ZAKOŃCZONY!");
    Memo->Lines().Add(
        "Jeżeli mruga czerwona lampka przy którymś teście kliknij na znak \">>\" obok tej lampki, aby uzyskać "
        "podpowiedź...");
    BResultClick(sender);
    BStartStop->SetCaption("Zamknij");
    BStartStop->SetTag(BatteryEnded);
}

// ---------------------------------------------------------------- checks

void TForm1::BOSClick(TObject*) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    // The version query is taken to succeed; a failed one leaves zeros.
    m_services.GetVersionExA(&version);
    m_osRow->Report(ScoreOperatingSystem(version.dwMajorVersion, version.dwMinorVersion), 10);
}

CheckWorkloads RealWorkloads(SystemServices& services) {
    CheckWorkloads workloads;
    workloads.localTime = [&services] {
        SYSTEMTIME now{};
        services.GetLocalTime(&now);
        return now;
    };
    workloads.takeLoadSample = [] { ProcessorLoadSampler::TakeSample(); };
    workloads.processorLoad = [](int processor) { return ProcessorLoadSampler::GetLoad(processor); };
    workloads.throughputPass = [](SystemServices& fileServices, const std::string& path) {
        return RunThroughputPass(fileServices, path);
    };
    workloads.processorSlice = RunProcessorSlice;
    workloads.memorySlice = RunMemorySlice;
    return workloads;
}

void TForm1::BHddFreeClick(TObject*) {
    const DiskSpace space = QueryDiskSpace(m_services);
    DiskTotalGB = static_cast<double>(space.total) / 1073741824.0;
    DiskFreeGB = static_cast<double>(space.freeToUser) / 1073741824.0;
    m_hddFreeRow->Report(ScoreFreeSpace(space).row, 10);
}

void TForm1::BHddTestClick(TObject*) {
    // Without a temporary folder there is nowhere to put the file: the test
    // ends as when the file cannot be created.
    const std::optional<std::string> path = TestFilePath(m_services);
    if (!path) return;
    if (m_services.GetFileAttributesA(path->c_str()) != INVALID_FILE_ATTRIBUTES) {
        m_services.DeleteFileA(path->c_str());
    }
    double speedPointsSum = 0;
    double loadPointsSum = 0;
    for (int pass = 0; pass < kThroughputPasses; ++pass) {
        // The load read below covers the time since this sample's
        // predecessor: in the battery pass 1 reads the interval since the
        // priming sample, later passes the file work of the pass before.
        m_workloads.takeLoadSample();
        const SYSTEMTIME start = m_workloads.localTime();
        // A file that cannot be created ends the test silently: no score,
        // the row untouched.
        if (!m_workloads.throughputPass(m_services, *path)) return;
        m_progress->Advance(1);
        const double seconds = ThroughputPassSeconds(ElapsedSeconds(start, m_workloads.localTime()));
        speedPointsSum += 100 / seconds;
        loadPointsSum += m_workloads.processorLoad(0) * 80;
        Pump();
        if (BatteryStopped()) return;
    }
    const ThroughputScore score = ScoreThroughput(speedPointsSum, loadPointsSum);
    AverageLoadPoints = score.averageLoadPoints;
    m_hddTestRow->Report(score.row, 0);
}

void TForm1::BCPUClick(TObject*) {
    const SYSTEMTIME start = m_workloads.localTime();
    ExtendedFloat accumulator = 0;
    for (int slice = 0; slice < kSpeedTestSlices; ++slice) {
        accumulator = m_workloads.processorSlice(slice, accumulator);
        m_progress->Advance(1);
        Pump();
        if (BatteryStopped()) return;
    }
    // The timed span includes the ten progress steps and message pumps.
    const double seconds = ElapsedSeconds(start, m_workloads.localTime());
    m_cpuRow->Report(ScoreSpeed(seconds, kProcessorDigitsMultiplier), 0);
}

void TForm1::BMemFreeClick(TObject*) {
    m_memFreeRow->Report(ScoreFreeMemory(sysinfo->MemoryLoad(), sysinfo->TotalPhys()).row, 10);
}

void TForm1::BMemSpeedClick(TObject*) {
    // Zero-filled: what is copied does not matter, but it is defined.
    auto source = std::make_unique<std::uint8_t[]>(kMemoryBlockBytes);
    auto target = std::make_unique<std::uint8_t[]>(kMemoryBlockBytes);
    const SYSTEMTIME start = m_workloads.localTime();
    for (int slice = 0; slice < kSpeedTestSlices; ++slice) {
        m_workloads.memorySlice(source.get(), target.get(), kMemoryBlockBytes);
        m_progress->Advance(1);
        Pump();
        if (BatteryStopped()) return;
    }
    // Releasing the blocks is timed; allocating them was not.
    source.reset();
    target.reset();
    const double seconds = ElapsedSeconds(start, m_workloads.localTime());
    m_memSpeedRow->Report(ScoreSpeed(seconds, kMemoryDigitsMultiplier), 0);
}

void TForm1::BDesktopClick(TObject*) {
    DesktopColorDepth = sysinfo->ColorDepth();
    DesktopRefreshRate = sysinfo->VRefreshRate();
    m_desktopRow->Report(ScoreDesktop(sysinfo->ColorDepth(), sysinfo->VRefreshRate()).row, 10);
}

// The video button's handler, BVideoSpeedClick, and the video test's timers
// are defined with the video test, in a file of their own.

// ---------------------------------------------------------------- advice panel

namespace {

// The memo always shows one advice text.
void ShowAdvice(TMemo& memo, const std::vector<std::string>& lines) {
    memo.Lines().Clear();
    for (const std::string& line : lines) memo.Lines().Add(line);
}

// The form's window as the system knows it, for the system's prompts to
// come up over it; none where the window system has no handles of its own.
HWND SystemHandleOf(TForm& form) {
    Application* app = form.App();
    if (app == nullptr || !form.HasWindow()) return HWND{};
    return static_cast<HWND>(app->Backend().SystemWindowHandle(form.Window()));
}

// Whether a tool failed to start because it is not there, rather than
// being there and refusing (access denied, elevation refused, out of
// memory, a library of its own missing).
bool ToolMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_ASSOCIATION;
}

// A tool that cannot be started is reported (in the panel's language) with
// the programs that were looked for: the button would otherwise do nothing
// at all.
void StartTool(SystemServices& services, HWND owner, const ToolLaunch& tool) {
    const HINSTANCE result = services.ShellExecuteA(owner, "open", tool.file, tool.parameters, "", SW_SHOW);
    if (static_cast<std::uintptr_t>(result) > 32) return;
    const bool missing = ToolMissing(services.GetLastError());
    std::string programs;
    for (const std::string& program : services.ProgramsLookedFor(tool.file, tool.parameters)) {
        programs += (programs.empty() ? "" : ", ") + program;
    }
    throw std::runtime_error(
        (missing ? "Nie znaleziono programu do tego zadania: " : "Nie można uruchomić programu do tego zadania: ") + programs);
}

}  // namespace

void TForm1::HDDFreeHelpClick(TObject*) {
    ShowAdvice(*Memo, DiskSpaceAdvice(DiskTotalGB, DiskFreeGB));
    Button1->SetCaption(kCleanUpCaption);
    Button2->SetCaption(kDefragmentCaption);
    Button1->Show();
    Button2->Show();
}

void TForm1::HDDTestHelpClick(TObject*) {
    ShowAdvice(*Memo, ThroughputAdvice(AverageLoadPoints));
    // Back to the first line, which adding the lines scrolled away from.
    Memo->SetSelStart(0);
    Memo->SetSelLength(0);
    Button2->SetCaption(kUltraDmaCaption);
    Button2->Show();
    Button1->Hide();
}

void TForm1::DesktopHelpClick(TObject*) {
    ShowAdvice(*Memo, DesktopAdvice(DesktopColorDepth, DesktopRefreshRate));
    Button2->SetCaption(kDesktopCaption);
    Button1->Hide();
    Button2->Show();
}

void TForm1::Button1Click(TObject*) {
    if (Button1->Caption() == kCleanUpCaption) StartTool(m_services, SystemHandleOf(*this), kDiskCleanUp);
}

void TForm1::Button2Click(TObject*) {
    // Three independent tests, each reading the caption afresh.
    if (Button2->Caption() == kUltraDmaCaption) StartTool(m_services, SystemHandleOf(*this), kSystemProperties);
    if (Button2->Caption() == kDesktopCaption) StartTool(m_services, SystemHandleOf(*this), kDisplaySettings);
    if (Button2->Caption() == kDefragmentCaption) {
        // A failed query leaves major version 0: the command-line tool.
        OSVERSIONINFOA version{};
        version.dwOSVersionInfoSize = sizeof(version);
        m_services.GetVersionExA(&version);
        StartTool(m_services, SystemHandleOf(*this), Defragmenter(version.dwMajorVersion));
    }
}

}  // namespace vx
