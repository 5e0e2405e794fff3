// Sections: presentation; surfaces; the surface.
#include "video/dx_draw.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "framework/application.h"
#include "framework/finally.h"
#include "framework/form.h"
#include "video/render_surface_host.h"
#include "video/video_rules.h"

namespace vx {

using namespace win;

namespace {

// The window handles the stand-in sees: the owning form's (for the
// cooperative level) and the surface control's own, to which the primary
// surface's clipper is bound. Blt's coordinates are the form's client area.
// Where the window system has windows of its own (the system's DirectDraw
// draws into a window itself), the control has its own: an overlay window
// over its place (OverlayWindowHost::CreateOverlayWindow), which both the
// cooperative level and the clipper take. The form's window must not be
// given to the system: Wine turns the cooperative window into an OpenGL
// drawable as a whole, which covers the form's own drawing with black.
const HWND kFormWindow = static_cast<HWND>(1);
const HWND kSurfaceWindow = static_cast<HWND>(2);

std::string Made(const char* what) { return std::string(what) + " cannot be made"; }

// What the window back end of the control's application offers the surface;
// nothing without an application.
RenderSurfaceHost HostOf(Application* app) { return app != nullptr ? RenderSurfaceHostOf(app->Backend()) : RenderSurfaceHost{}; }

}  // namespace

// ---------------------------------------------------------------- presentation

// The stand-in's view of the program's window: frames go into the form's
// image at the control's place and are shown at once.
class TDXDraw::Presentation final : public dx::PresentationTarget {
public:
    explicit Presentation(TDXDraw& owner) : m_owner(owner) {}

    void Present(HWND window, const std::uint32_t* pixels, int pitchPixels, int width, int height, const RECT& dest) override {
        TForm* form = m_owner.ParentForm();
        if (form == nullptr) return;
        const RECT client = ClientRectOf(window);
        form->DrawPixels(pixels, pitchPixels, TRect::FromSize(client.left + dest.left, client.top + dest.top, width, height));
    }
    bool CanShow() const override {
        TForm* form = m_owner.ParentForm();
        return form != nullptr && form->WindowShowing();
    }
    RECT ClientRectOf(HWND window) const override {
        TForm* form = m_owner.ParentForm();
        if (form == nullptr) return RECT{0, 0, 0, 0};
        const RECT formClient{0, 0, form->ClientWidth(), form->ClientHeight()};
        if (window == kFormWindow) return formClient;
        if (window != kSurfaceWindow) return RECT{0, 0, 0, 0};
        // The control's window, as much of it as lies in the form.
        const TPoint origin = m_owner.WindowOrigin();
        const RECT control{origin.X, origin.Y, origin.X + m_owner.Width(), origin.Y + m_owner.Height()};
        const RECT visible{std::max(control.left, formClient.left), std::max(control.top, formClient.top),
                           std::min(control.right, formClient.right), std::min(control.bottom, formClient.bottom)};
        if (visible.left >= visible.right || visible.top >= visible.bottom) return RECT{0, 0, 0, 0};
        return visible;
    }
    dx::DisplayMode CurrentDisplayMode() const override {
        dx::DisplayMode mode;
        if (Application* app = m_owner.App()) {
            DisplayFacts facts = app->Backend().Display();
            mode.width = facts.width;
            mode.height = facts.height;
            mode.bitsPerPixel = facts.bitsPerPixel;
            mode.refreshRate = facts.refreshRate;
        }
        return mode;
    }
    // The window system gives no vertical-blank signal here: the stand-in
    // then waits for the next refresh period of the display's rate.
    bool WaitForVerticalBlank() override { return false; }
    DWORD NowMs() const override {
        using namespace std::chrono;
        return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void SleepMs(DWORD ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    std::shared_ptr<dx::DeviceFactory> DisplayDeviceFactory() override {
        DisplayDeviceHost* host = HostOf(m_owner.App()).displayDevice;
        return host != nullptr ? host->DisplayDeviceFactory() : nullptr;
    }

private:
    TDXDraw& m_owner;
};

// ---------------------------------------------------------------- surfaces

DDSURFACEDESC2 TDirectDrawSurface::Description() {
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    if (m_surface) Record(m_surface->GetSurfaceDesc(&d));
    return d;
}

int TDirectDrawSurface::Width() { return static_cast<int>(Description().dwWidth); }
int TDirectDrawSurface::Height() { return static_cast<int>(Description().dwHeight); }
bool TDirectDrawSurface::InVideoMemory() { return (Description().ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY) != 0; }
int TDirectDrawSurface::BitCount() { return static_cast<int>(Description().ddpfPixelFormat.dwRGBBitCount); }

void TDirectDrawSurface::Fill(DWORD colour) {
    if (!m_surface) return;
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = colour;
    Record(m_surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
}

TDirectDrawSurfaceCanvas& TDirectDrawSurface::Canvas(FontCache& fonts) {
    if (!m_canvas) m_canvas = std::make_unique<TDirectDrawSurfaceCanvas>(*this, fonts);
    return *m_canvas;
}

void TDirectDrawSurfaceCanvas::TextOut(int x, int y, const std::string& utf8) {
    IDirectDrawSurface7* surface = m_surface.IDDSurface7();
    if (surface == nullptr || utf8.empty()) return;
    // Only the text's own rectangle is taken from the surface, drawn on and
    // given back: the rest of the frame is not copied.
    TSize size = m_fonts.Face(Font).Extent(utf8);
    int width = m_surface.Width();
    int height = m_surface.Height();
    RECT area{std::max(x, 0), std::max(y, 0), std::min(x + size.cx, width), std::min(y + size.cy, height)};
    if (area.right <= area.left || area.bottom <= area.top) return;
    if (auto* pixels = dynamic_cast<dx::DeviceContextPixels*>(surface)) {
        TextThroughDeviceContext(*pixels, x, y, area, utf8);
    } else {
        TextThroughLock(x, y, area, utf8);
    }
}

void TDirectDrawSurfaceCanvas::Release() {
    if (!m_dc) return;
    if (IDirectDrawSurface7* surface = m_surface.IDDSurface7()) m_surface.Record(surface->ReleaseDC(*m_dc));
    m_dc.reset();
}

vx::Canvas& TDirectDrawSurfaceCanvas::Scratch(int w, int h) {
    if (m_scratch.Width() < w || m_scratch.Height() < h) {
        m_scratchCanvas.reset();
        m_scratch.SetSize(std::max(w, m_scratch.Width()), std::max(h, m_scratch.Height()));
    }
    // One canvas for every frame's text: nothing is allocated per frame.
    // Only w x h pixels go back, so the text needs no clip of its own.
    if (!m_scratchCanvas) m_scratchCanvas = std::make_unique<vx::Canvas>(m_scratch, m_fonts);
    return *m_scratchCanvas;
}

void TDirectDrawSurfaceCanvas::DrawOnScratch(int x, int y, const RECT& area, const std::string& utf8) {
    vx::Canvas& canvas = *m_scratchCanvas;
    canvas.Font = Font;
    canvas.Brush = Brush;
    canvas.TextOut(x - area.left, y - area.top, utf8);
}

void TDirectDrawSurfaceCanvas::TextThroughDeviceContext(dx::DeviceContextPixels& pixels, int x, int y, const RECT& area,
                                                        const std::string& utf8) {
    IDirectDrawSurface7* surface = m_surface.IDDSurface7();
    if (!m_dc) {
        HDC dc{};
        HRESULT result = surface->GetDC(&dc);
        m_surface.Record(result);
        if (FAILED(result)) return;
        m_dc = dc;
    }
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    Scratch(w, h);
    if (!pixels.ReadDeviceContext(*m_dc, area, m_scratch.Row(0), m_scratch.Width())) return;
    DrawOnScratch(x, y, area, utf8);
    pixels.WriteDeviceContext(*m_dc, area, m_scratch.Row(0), m_scratch.Width());
}

void TDirectDrawSurfaceCanvas::TextThroughLock(int x, int y, const RECT& area, const std::string& utf8) {
    IDirectDrawSurface7* surface = m_surface.IDDSurface7();
    RECT locking = area;
    DDSURFACEDESC2 locked{};
    locked.dwSize = sizeof(locked);
    HRESULT result = surface->Lock(&locking, &locked, DDLOCK_WAIT, HANDLE{});
    m_surface.Record(result);
    if (FAILED(result) || locked.lpSurface == nullptr || locked.ddpfPixelFormat.dwRGBBitCount != 32) {
        if (SUCCEEDED(result)) surface->Unlock(&locking);
        return;
    }
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    Scratch(w, h);
    auto* base = static_cast<std::uint8_t*>(locked.lpSurface);
    auto row = [&](int r) { return reinterpret_cast<std::uint32_t*>(base + static_cast<std::ptrdiff_t>(r) * locked.lPitch); };
    for (int r = 0; r < h; ++r) std::copy(row(r), row(r) + w, m_scratch.Row(r));
    DrawOnScratch(x, y, area, utf8);
    for (int r = 0; r < h; ++r) std::copy(m_scratch.Row(r), m_scratch.Row(r) + w, row(r));
    m_surface.Record(surface->Unlock(&locking));
}

// ---------------------------------------------------------------- the surface

TDXDraw::TDXDraw(TComponent* owner, SystemServices& services, DirectDrawLoader loader)
    : TCustomControl(owner), m_loader(std::move(loader)), m_presentation(std::make_unique<Presentation>(*this)) {
    SetColor(clBlack);
    m_activeOptions = FilterOptions(m_options);
    // A screen without a palette may leave the table as it is (black): its
    // primary surface takes no palette either.
    if (const HDC screen = services.GetDC(HWND{}); screen != HDC{}) {
        services.GetSystemPaletteEntries(screen, 0, static_cast<UINT>(m_systemColorTable.size()), m_systemColorTable.data());
        services.ReleaseDC(HWND{}, screen);
    }
    m_colorTable = m_systemColorTable;
}

TDXDraw::~TDXDraw() {
    Notify(DXDrawNotice::Destroying);
    Finalize();
    if (OverlayWindowHost* overlays = HostOf(App()).overlays; overlays != nullptr && m_overlay != 0) {
        overlays->DestroyOverlayWindow(m_overlay);
    }
}

FontCache& TDXDraw::Fonts() { return App()->Fonts(); }

void TDXDraw::SetOptions(TDXDrawOptions options) {
    m_options = options;
    m_activeOptions = m_initialized ? FilterOptionsWhileInitialized(m_activeOptions, options) : FilterOptions(options);
}

int TDXDraw::SurfaceWidth() const { return m_back ? m_back->Width() : m_surfaceWidth; }
int TDXDraw::SurfaceHeight() const { return m_back ? m_back->Height() : m_surfaceHeight; }

int TDXDraw::RegisterNotification(NotifyHandler handler) {
    int key = m_nextNotificationKey++;
    NotifyHandler& h = m_notifications.emplace(key, std::move(handler)).first->second;
    // A late member catches up with the surface's state.
    h(DXDrawNotice::SurfaceSize);
    if (m_initialized) h(DXDrawNotice::Initialize);
    if (m_initializeSurfaceRan) h(DXDrawNotice::InitializeSurface);
    if (m_initialized && m_restoreLock == 0) h(DXDrawNotice::Restore);
    return key;
}

void TDXDraw::UnregisterNotification(int key) {
    auto it = m_notifications.find(key);
    if (it == m_notifications.end()) return;
    NotifyHandler handler = std::move(it->second);
    m_notifications.erase(it);
    if (m_initializeSurfaceRan) handler(DXDrawNotice::FinalizeSurface);
    if (m_initialized) handler(DXDrawNotice::Finalize);
}

void TDXDraw::Notify(DXDrawNotice notice) {
    // From the last registered to the first; a member may leave meanwhile.
    std::vector<int> keys;
    for (const auto& [key, handler] : m_notifications) keys.push_back(key);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        auto found = m_notifications.find(*it);
        if (found != m_notifications.end()) {
            NotifyHandler handler = found->second;
            handler(notice);
        }
    }
}

void TDXDraw::Initialize() {
    Finalize();
    if (ParentForm() == nullptr) throw EDXDrawError("Form not found");
    try {
        if (OnInitializing) OnInitializing(this);
        m_updating = true;
        m_setUp = true;
        Notify(DXDrawNotice::Initializing);
        {
            Finally done([this] { m_updating = false; });
            if (!m_library) {
                if (m_loader) m_library = m_loader(*m_presentation);
                if (!m_library) throw std::runtime_error("DDraw.dll not loaded");
            }
            std::shared_ptr<IDirectDraw7> directDraw;
            if (FAILED(m_library->DirectDrawCreateEx(nullptr, &directDraw)) || !directDraw) {
                throw EDirectDrawError("DirectDraw cannot be initialized");
            }
            m_directDraw = std::move(directDraw);
            m_driverCaps = DDCAPS{};
            m_driverCaps.dwSize = sizeof(DDCAPS);
            DDCAPS emulation{};
            emulation.dwSize = sizeof(DDCAPS);
            m_directDraw->GetCaps(&m_driverCaps, &emulation);
            // The result is recorded by the platform and not examined.
            m_directDraw->SetCooperativeLevel(Windows().cooperative, DDSCL_NORMAL);
            if (m_autoSize) {
                m_surfaceWidth = Width();
                m_surfaceHeight = Height();
            }
            MakeSurfaces();
        }
        m_initialized = true;
        ++m_restoreLock;
    } catch (...) {
        Finalize();
        throw;
    }
    {
        Finally unlock([this] { --m_restoreLock; });
        Notify(DXDrawNotice::SurfaceSize);
        Notify(DXDrawNotice::Initialize);
        m_initializeRan = true;
        if (OnInitialize) OnInitialize(this);
        Notify(DXDrawNotice::InitializeSurface);
        m_initializeSurfaceRan = true;
        if (OnInitializeSurface) OnInitializeSurface(this);
    }
    Restore();
}

void TDXDraw::MakeSurfaces() {
    DDSURFACEDESC2 primary{};
    primary.dwSize = sizeof(primary);
    primary.dwFlags = DDSD_CAPS;
    primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    std::shared_ptr<IDirectDrawSurface7> surface;
    if (FAILED(m_directDraw->CreateSurface(&primary, &surface)) || !surface) throw EDXDrawError(Made("Primary Surface"));
    m_primary = std::make_unique<TDirectDrawSurface>(std::move(surface));

    if (SUCCEEDED(m_directDraw->CreateClipper(0, &m_clipper)) && m_clipper) {
        m_clipper->SetHWnd(0, Windows().clipped);
        m_primary->Record(m_primary->IDDSurface7()->SetClipper(m_clipper));
    }
    MakePalette();
    MakeBackSurface();
}

void TDXDraw::MakePalette() {
    // Only a primary surface of an 8-bit display takes the palette; others
    // refuse it, which is recorded and nothing more.
    DWORD flags = DDPCAPS_8BIT | DDPCAPS_INITIALIZE;
    if (m_activeOptions & doAllowPalette256) flags |= DDPCAPS_ALLOW256;
    const PaletteTable entries = SurfacePalette(m_colorTable, m_systemColorTable, m_activeOptions);
    if (SUCCEEDED(m_directDraw->CreatePalette(flags, entries.data(), &m_palette)) && m_palette) {
        m_primary->Record(m_primary->IDDSurface7()->SetPalette(m_palette));
    }
}

void TDXDraw::MakeBackSurface() {
    m_device.reset();
    m_direct3D.reset();
    m_back.reset();
    m_activeOptions &= static_cast<TDXDrawOptions>(~doSystemMemory);
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof(d);
    d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    d.dwWidth = static_cast<DWORD>(std::max(m_surfaceWidth, 1));
    d.dwHeight = static_cast<DWORD>(std::max(m_surfaceHeight, 1));
    d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    if (m_options & doSystemMemory) d.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
    if (m_activeOptions & do3D) d.ddsCaps.dwCaps |= DDSCAPS_3DDEVICE;
    std::shared_ptr<IDirectDrawSurface7> surface;
    if (FAILED(m_directDraw->CreateSurface(&d, &surface)) || !surface) {
        d.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
        if (FAILED(m_directDraw->CreateSurface(&d, &surface)) || !surface) throw EDXDrawError(Made("Surface"));
    }
    m_back = std::make_unique<TDirectDrawSurface>(std::move(surface));
    if (!m_back->InVideoMemory()) m_activeOptions |= doSystemMemory;
    if (m_palette) m_back->Record(m_back->IDDSurface7()->SetPalette(m_palette));
    m_back->Fill(0);
    if (m_activeOptions & do3D) Make3DDevice();
}

void TDXDraw::Make3DDevice() {
    bool hardwareRequested = (m_options & doHardware) != 0;
    m_direct3D.reset();
    m_device.reset();
    try {
        if (FAILED(m_directDraw->QueryDirect3D7(&m_direct3D)) || !m_direct3D) throw EDirectDrawError("IDirect3D7 not made");
        bool hardwareWanted = m_back->InVideoMemory() && hardwareRequested && (m_driverCaps.dwCaps & DDCAPS_3D) != 0 &&
                              (m_driverCaps.ddsCaps.dwCaps & DDSCAPS_TEXTURE) != 0;
        std::vector<DeviceCandidate> devices;
        m_direct3D->EnumDevices([&devices](const char*, const char*, const D3DDEVICEDESC7& description) {
            devices.push_back(DeviceCandidate{description.deviceGUID, description});
            return D3DENUMRET_OK;
        });
        int depth = m_back->BitCount();
        auto choose = [&](bool hardware) {
            std::optional<std::size_t> chosen = ChooseDevice(devices, hardware, depth);
            if (!chosen) throw EDXDrawError("3D device not found");
            return devices[*chosen];
        };
        DeviceCandidate chosen = choose(hardwareWanted);
        // Without hardware wanted the device taken is the software device,
        // whatever the system marks it (see ChooseDevice).
        bool gotHardware = hardwareWanted && (chosen.description.dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) != 0;
        if (FAILED(m_direct3D->CreateDevice(chosen.guid, m_back->IDDSurface7(), &m_device)) || !m_device) {
            // Fall back to a software device; the mark follows the device
            // actually made, so the overlay reports what draws.
            hardwareWanted = false;
            chosen = choose(false);
            gotHardware = false;
            if (FAILED(m_direct3D->CreateDevice(chosen.guid, m_back->IDDSurface7(), &m_device)) || !m_device) {
                throw EDXDrawError(Made("IDirect3DDevice7"));
            }
        }
        if (hardwareWanted) gotHardware = true;
        m_deviceDescription = chosen.description;
        m_activeOptions &= static_cast<TDXDrawOptions>(~(doRetainedMode | doHardware | doSelectDriver | doZBuffer));
        if (gotHardware) m_activeOptions |= doHardware;
    } catch (...) {
        m_device.reset();
        m_direct3D.reset();
        throw;
    }
}

void TDXDraw::ReleaseObjects() {
    m_device.reset();
    m_direct3D.reset();
    m_back.reset();
    m_palette.reset();
    m_clipper.reset();
    m_primary.reset();
    m_directDraw.reset();
}

void TDXDraw::Finalize() {
    if (!m_setUp) return;
    if (m_back) {
        m_surfaceWidth = m_back->Width();
        m_surfaceHeight = m_back->Height();
    }
    m_updating = true;
    Finally done([this] {
        m_initialized = false;
        m_initializeRan = false;
        m_initializeSurfaceRan = false;
        m_setUp = false;
        m_activeOptions = FilterOptions(m_options);
        ReleaseObjects();
        m_updating = false;
    });
    if (m_initializeSurfaceRan) {
        Finally notify([this] { Notify(DXDrawNotice::FinalizeSurface); });
        if (OnFinalizeSurface) OnFinalizeSurface(this);
    }
    if (m_initializeRan) {
        Finally notify([this] { Notify(DXDrawNotice::Finalize); });
        if (OnFinalize) OnFinalize(this);
    }
}

void TDXDraw::Restore() {
    if (!m_initialized || m_updating) return;
    m_updating = true;
    Finally done([this] { m_updating = false; });
    HRESULT primary = m_primary->IDDSurface7()->Restore();
    HRESULT back = m_back->IDDSurface7()->Restore();
    m_primary->Record(primary);
    m_back->Record(back);
    if (FAILED(primary) || FAILED(back)) return;
    m_back->Fill(0);
    if (m_palette) {
        m_primary->IDDSurface7()->SetPalette(m_palette);
        m_back->IDDSurface7()->SetPalette(m_palette);
        const PaletteTable entries = SurfacePalette(m_colorTable, m_systemColorTable, m_activeOptions);
        m_palette->SetEntries(0, 0, static_cast<DWORD>(entries.size()), entries.data());
    }
    Notify(DXDrawNotice::Restore);
    if (OnRestoreSurface) OnRestoreSurface(this);
}

bool TDXDraw::CanRender() {
    if (!m_initialized || m_updating || !m_back || !m_primary) return false;
    auto usable = [this] {
        return m_primary->IDDSurface7()->IsLost() != DDERR_SURFACELOST && m_back->IDDSurface7()->IsLost() != DDERR_SURFACELOST;
    };
    if (usable()) return true;
    Restore();
    return m_primary->IDDSurface7()->IsLost() == DD_OK && m_back->IDDSurface7()->IsLost() == DD_OK;
}

void TDXDraw::Flip() { FlipNow((m_activeOptions & doWaitVBlank) != 0); }

void TDXDraw::FlipNow(bool waitForVerticalBlank) {
    if (!m_initialized || m_updating || !CanRender()) return;
    TPoint origin = WindowOrigin();
    const TPoint client = ClientOriginOnScreen();
    origin.X += client.X;
    origin.Y += client.Y;
    int backWidth = m_back->Width();
    int backHeight = m_back->Height();
    RECT dest{};
    if (m_activeOptions & doStretch) {
        dest = RECT{origin.X, origin.Y, origin.X + Width(), origin.Y + Height()};
    } else {
        if (m_activeOptions & doCenter) {
            origin.X += (Width() - backWidth) / 2;
            origin.Y += (Height() - backHeight) / 2;
        }
        dest = RECT{origin.X, origin.Y, origin.X + backWidth, origin.Y + backHeight};
    }
    if (waitForVerticalBlank) m_directDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, HANDLE{});
    RECT source{0, 0, backWidth, backHeight};
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    m_primary->Record(m_primary->IDDSurface7()->Blt(&dest, m_back->IDDSurface7(), &source, DDBLT_WAIT, &fx));
}

void TDXDraw::SetBounds(int left, int top, int width, int height) {
    TCustomControl::SetBounds(left, top, width, height);
    if (m_autoSize && !Loading()) ResizeSurface(Width(), Height());
}

void TDXDraw::ResizeSurface(int width, int height) {
    if (m_updating || Loading()) return;
    if (width == SurfaceWidth() && height == SurfaceHeight()) return;
    if (!m_initialized) {
        m_surfaceWidth = width;
        m_surfaceHeight = height;
        Notify(DXDrawNotice::SurfaceSize);
        return;
    }
    m_surfaceWidth = std::max(width, 1);
    m_surfaceHeight = std::max(height, 1);
    ++m_restoreLock;
    Finally unlock([this] { --m_restoreLock; });
    try {
        Notify(DXDrawNotice::FinalizeSurface);
        if (m_initializeSurfaceRan && OnFinalizeSurface) OnFinalizeSurface(this);
        MakeBackSurface();
        Notify(DXDrawNotice::InitializeSurface);
        if (OnInitializeSurface) OnInitializeSurface(this);
    } catch (...) {
        Finalize();
        throw;
    }
    Notify(DXDrawNotice::SurfaceSize);
}

TDXDraw::SurfaceWindows TDXDraw::Windows() {
    TForm* form = ParentForm();
    OverlayWindowHost* overlays = HostOf(App()).overlays;
    if (form == nullptr || overlays == nullptr || !form->HasWindow()) return SurfaceWindows{kFormWindow, kSurfaceWindow};
    if (m_overlay == 0) {
        m_overlay = overlays->CreateOverlayWindow(form->Window());
        PlaceOverlay();
    }
    if (m_overlay == 0) return SurfaceWindows{kFormWindow, kSurfaceWindow};
    return SurfaceWindows{static_cast<HWND>(m_overlay), static_cast<HWND>(m_overlay)};
}

void TDXDraw::PlaceOverlay() {
    OverlayWindowHost* overlays = HostOf(App()).overlays;
    if (m_overlay == 0 || overlays == nullptr) return;
    overlays->PlaceOverlayWindow(m_overlay, WindowRect(), Showing());
}

TPoint TDXDraw::ClientOriginOnScreen() const {
    TForm* form = ParentForm();
    OverlayWindowHost* overlays = HostOf(App()).overlays;
    if (m_overlay == 0 || form == nullptr || overlays == nullptr) return TPoint{0, 0};
    return overlays->ClientOriginOnScreen(form->Window());
}

void TDXDraw::Paint(Canvas& canvas) {
    if (m_initialized && !m_updating) {
        // The control's own painting shows the last frame without waiting.
        FlipNow(false);
    } else {
        canvas.FillRect(ClientRect(), Color());
    }
}

const TDXImageList::Item* TDXImageList::Find(const std::string& name) const {
    for (const Item& item : m_items) {
        if (item.name == name) return &item;
    }
    return nullptr;
}

}  // namespace vx
