// The render surface of the video test: a child window that owns a complete
// DirectDraw set-up (the DirectDraw object, a primary surface clipped to the
// window, an off-screen back surface that the 3D device renders into, a
// palette) and presents the back surface by copying it into its rectangle of
// the window. Only the windowed presentation is built; the full-screen path
// is not used by the program.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "framework/component.h"
#include "framework/control.h"
#include "graphics/canvas.h"
#include "platform/dx/d3d.h"
#include "platform/dx/ddraw.h"
#include "platform/dx/device_context_pixels.h"
#include "platform/dx/presentation.h"
#include "platform/system_services.h"
#include "video/dib_picture.h"
#include "video/dx_timer.h"

namespace vx {

// The surface's options, stored as a 16-bit mask; bit n is the option's position.
enum TDXDrawOption : std::uint16_t {
    doFullScreen = 1u << 0,
    doNoWindowChange = 1u << 1,
    doAllowReboot = 1u << 2,
    doWaitVBlank = 1u << 3,
    doAllowPalette256 = 1u << 4,
    doSystemMemory = 1u << 5,
    doStretch = 1u << 6,
    doCenter = 1u << 7,
    doFlip = 1u << 8,
    do3D = 1u << 9,
    doDirectX7Mode = 1u << 10,
    doRetainedMode = 1u << 11,
    doHardware = 1u << 12,
    doSelectDriver = 1u << 13,
    doZBuffer = 1u << 14,
};
using TDXDrawOptions = std::uint16_t;

// Failures of the DirectDraw object, of the surface's set-up.
class EDirectDrawError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EDXDrawError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A palette's 256 colours.
using PaletteTable = std::array<win::PALETTEENTRY, 256>;

// Loads the DirectDraw services for a window (platform/dx/native_direct_draw.h
// in the program); null when they cannot be loaded.
using DirectDrawLoader = std::function<std::unique_ptr<win::DirectDrawLibrary>(dx::PresentationTarget& target)>;

class TDirectDrawSurface;

// Text on a surface, drawn with the program's fonts on a copy of the text's
// rectangle that then goes back into the surface, so the text is part of
// the next presentation. A surface with a device context of the system's
// (dx::DeviceContextPixels) is reached through it: the first text takes the
// context with GetDC (a refusal leaves the canvas without one, and the text
// is not drawn) and Release gives it back with ReleaseDC. Other surfaces
// are written through Lock and Unlock, text by text.
class TDirectDrawSurfaceCanvas {
public:
    TDirectDrawSurfaceCanvas(TDirectDrawSurface& surface, FontCache& fonts) : m_surface(surface), m_fonts(fonts) {}
    ~TDirectDrawSurfaceCanvas() { Release(); }
    TDirectDrawSurfaceCanvas(const TDirectDrawSurfaceCanvas&) = delete;
    TDirectDrawSurfaceCanvas& operator=(const TDirectDrawSurfaceCanvas&) = delete;

    TFont Font;
    TBrush Brush;

    void TextOut(int x, int y, const std::string& utf8);
    // Gives the device context back (a no-op when none is held).
    void Release();

private:
    // The scratch image for a w x h area and a canvas on it.
    vx::Canvas& Scratch(int w, int h);
    void DrawOnScratch(int x, int y, const win::RECT& area, const std::string& utf8);
    void TextThroughDeviceContext(dx::DeviceContextPixels& pixels, int x, int y, const win::RECT& area, const std::string& utf8);
    void TextThroughLock(int x, int y, const win::RECT& area, const std::string& utf8);

    TDirectDrawSurface& m_surface;
    FontCache& m_fonts;
    Bitmap m_scratch;
    std::unique_ptr<vx::Canvas> m_scratchCanvas;
    std::optional<win::HDC> m_dc;
};

// A DirectDraw surface with the result of its last call.
class TDirectDrawSurface {
public:
    explicit TDirectDrawSurface(std::shared_ptr<win::IDirectDrawSurface7> surface) : m_surface(std::move(surface)) {}

    win::IDirectDrawSurface7* IDDSurface7() const { return m_surface.get(); }
    const std::shared_ptr<win::IDirectDrawSurface7>& Shared() const { return m_surface; }
    win::HRESULT LastResult() const { return m_lastResult; }
    void Record(win::HRESULT result) { m_lastResult = result; }

    win::DDSURFACEDESC2 Description();
    int Width();
    int Height();
    bool InVideoMemory();
    int BitCount();
    // Fills the whole surface with a colour value.
    void Fill(win::DWORD colour);
    TDirectDrawSurfaceCanvas& Canvas(FontCache& fonts);

private:
    std::shared_ptr<win::IDirectDrawSurface7> m_surface;
    win::HRESULT m_lastResult = win::DD_OK;
    std::unique_ptr<TDirectDrawSurfaceCanvas> m_canvas;
};

// What a member of the surface's notification list is told.
enum class DXDrawNotice {
    Initializing,
    Initialize,
    InitializeSurface,
    Restore,
    FinalizeSurface,
    Finalize,
    SurfaceSize,
    Destroying
};

class TDXDraw : public TCustomControl {
public:
    // Reads the system palette through services, which are not kept.
    TDXDraw(TComponent* owner, win::SystemServices& services, DirectDrawLoader loader);
    ~TDXDraw() override;

    bool AutoInitialize() const { return m_autoInitialize; }
    void SetAutoInitialize(bool value) { m_autoInitialize = value; }
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value) { m_autoSize = value; }

    // What was asked for, and what is in force (filtered; hardware only when
    // the last initialisation got a hardware device).
    TDXDrawOptions Options() const { return m_options; }
    void SetOptions(TDXDrawOptions options);
    TDXDrawOptions ActiveOptions() const { return m_activeOptions; }

    int SurfaceWidth() const;
    int SurfaceHeight() const;
    void SetSurfaceWidth(int width) { ResizeSurface(width, m_surfaceHeight); }
    void SetSurfaceHeight(int height) { ResizeSurface(m_surfaceWidth, height); }

    bool Initialized() const { return m_initialized; }
    // Releases whatever exists, then makes every object anew and runs the
    // events; errors before the events leave the surface finalised.
    void Initialize();
    void Finalize();
    // Initialised, not in the middle of a change, and the surfaces usable
    // (a lost surface is restored once).
    bool CanRender();
    // Presents the back surface in the control's rectangle.
    void Flip();
    void Restore();

    // The colours of the palette made for an 8-bit display, and the system
    // palette as it was when the surface was made. The colour table starts
    // as the system's; what the program fills in takes effect at the next
    // Initialize or Restore.
    PaletteTable& ColorTable() { return m_colorTable; }
    const PaletteTable& SystemColorTable() const { return m_systemColorTable; }

    TDirectDrawSurface* PrimarySurface() const { return m_primary.get(); }
    TDirectDrawSurface* BackSurface() const { return m_back.get(); }
    // Never made: the surface asks for no depth buffer.
    TDirectDrawSurface* DepthSurface() const { return nullptr; }
    win::IDirectDraw7* DDraw() const { return m_directDraw.get(); }
    win::IDirect3D7* Direct3D() const { return m_direct3D.get(); }
    win::IDirect3DDevice7* Device() const { return m_device.get(); }
    const win::D3DDEVICEDESC7& DeviceDescription() const { return m_deviceDescription; }
    FontCache& Fonts();

    // The notification list: objects that follow the surface's life.
    using NotifyHandler = std::function<void(DXDrawNotice)>;
    int RegisterNotification(NotifyHandler handler);
    void UnregisterNotification(int key);

    TNotifyEvent OnFinalize;
    TNotifyEvent OnFinalizeSurface;
    TNotifyEvent OnInitialize;
    TNotifyEvent OnInitializeSurface;
    TNotifyEvent OnInitializing;
    TNotifyEvent OnRestoreSurface;

    void SetBounds(int left, int top, int width, int height) override;
    void Paint(Canvas& canvas) override;

private:
    class Presentation;

    void Notify(DXDrawNotice notice);
    void MakeSurfaces();
    void MakePalette();
    void MakeBackSurface();
    void Make3DDevice();
    void ReleaseObjects();
    void ResizeSurface(int width, int height);
    void FlipNow(bool waitForVerticalBlank);

    // The windows the DirectDraw services are given: the stand-in's names
    // for the form's and the control's, or the system's own handle of the
    // control's overlay window where the window back end hosts overlays
    // (video/render_surface_host.h; the overlay is made at the first
    // Initialize and follows the control's place and visibility).
    struct SurfaceWindows {
        win::HWND cooperative{};
        win::HWND clipped{};
    };
    SurfaceWindows Windows();
    void PlaceOverlay();
    void VisibleChanged() override { PlaceOverlay(); }
    void BoundsChanged() override { PlaceOverlay(); }
    // The form's client area's top-left corner in Blt's coordinates.
    TPoint ClientOriginOnScreen() const;

    DirectDrawLoader m_loader;
    std::uintptr_t m_overlay = 0;
    std::unique_ptr<Presentation> m_presentation;
    std::unique_ptr<win::DirectDrawLibrary> m_library;

    bool m_autoInitialize = true;
    bool m_autoSize = true;
    TDXDrawOptions m_options = doAllowReboot | doWaitVBlank | doCenter | doDirectX7Mode | doHardware | doSelectDriver;
    TDXDrawOptions m_activeOptions = 0;
    int m_surfaceWidth = 0;
    int m_surfaceHeight = 0;
    bool m_initialized = false;
    bool m_updating = false;
    bool m_setUp = false;
    bool m_initializeRan = false;
    bool m_initializeSurfaceRan = false;
    int m_restoreLock = 0;
    PaletteTable m_systemColorTable{};
    PaletteTable m_colorTable{};

    std::shared_ptr<win::IDirectDraw7> m_directDraw;
    win::DDCAPS m_driverCaps{};
    std::unique_ptr<TDirectDrawSurface> m_primary;
    std::unique_ptr<TDirectDrawSurface> m_back;
    std::shared_ptr<win::IDirectDrawClipper> m_clipper;
    std::shared_ptr<win::IDirectDrawPalette> m_palette;
    std::shared_ptr<win::IDirect3D7> m_direct3D;
    std::shared_ptr<win::IDirect3DDevice7> m_device;
    win::D3DDEVICEDESC7 m_deviceDescription{};

    std::map<int, NotifyHandler> m_notifications;
    int m_nextNotificationKey = 1;
};

// The pictures the scene uses, by name (the file name without its ending).
class TDXImageList : public TComponent {
public:
    explicit TDXImageList(TComponent* owner) : TComponent(owner) {}

    struct Item {
        std::string name;
        DibPicture picture;
    };
    std::vector<Item>& Items() { return m_items; }
    const Item* Find(const std::string& name) const;

private:
    std::vector<Item> m_items;
};

}  // namespace vx
