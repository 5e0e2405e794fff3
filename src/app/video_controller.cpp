// The video test: the render surface over the test panel, two timed phases
// of the spinning cube (the form's options, then with the hardware device
// asked for), the score from both frame rates and the end of the battery.

#include <cmath>

#include "app/main_form.h"
#include "checks/scores.h"
#include "framework/finally.h"
#include "video/dx_draw.h"
#include "video/video_rules.h"
#include "widgets/pro_image.h"
#include "widgets/progress.h"
#include "widgets/status_led.h"

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

namespace vx {

using namespace win;

namespace {

constexpr int kSurfaceHeight = 320;

// The floating-point unit back in its power-on state: exceptions masked,
// extended precision, rounding to nearest (and the vector unit's defaults).
void ResetFloatingPointUnit() {
#if defined(__x86_64__) || defined(__i386__)
    asm volatile("fninit");
    _mm_setcsr(0x1F80);
#endif
}

}  // namespace

void TForm1::BVideoSpeedClick(TObject*) {
    // The test's state lives in three components' Tags, which the timers'
    // handlers share: TimerDX's counts the phases ended, DXDraw's is the
    // frame rate last shown, VideoSpeedL1's the first phase's rate. The
    // lamp's Tag means nothing to the lamp.
    TimerDX->SetTag(0);
    DXDraw->SetTag(0);
    DXDraw->SetBounds(ProImage1->Left(), ProImage1->Top(), ProImage1->Width(), kSurfaceHeight);
    DXDraw->Initialize();
    DXDraw->Show();
    DXTimer->SetEnabled(true);
    TimerDX->SetEnabled(true);
}

void TForm1::TimerDXTimer(TObject* sender) {
    TimerDX->SetTag(TimerDX->Tag() + 1);
    if (TimerDX->Tag() == 1) {
        // End of the first phase: keep its rate (in VideoSpeedL1's Tag, read
        // by the score below) and start again with the hardware device asked
        // for.
        VideoSpeedL1->SetTag(DXDraw->Tag());
        DXTimer->SetEnabled(false);
        DXDraw->SetEnabled(false);
        DXDraw->Finalize();
        DXDraw->SetOptions(DXDraw->Options() | doHardware);
        DXDraw->Initialize();
        DXDraw->SetEnabled(true);
        DXTimer->SetEnabled(true);
        Progress().Advance(10);
        Pump();
        return;
    }
    // The options in force stay until the next initialisation; a later run
    // starts in software again.
    DXDraw->SetOptions(static_cast<TDXDrawOptions>(DXDraw->Options() & ~doHardware));
    if (TimerDX->Tag() == 2) {
        TimerDX->SetEnabled(false);
        DXDraw->Hide();
        DXTimer->SetEnabled(false);
    }
    // The first phase's rate, kept when it ended, and this phase's as last shown.
    VideoRow().Report(ScoreVideo(VideoSpeedL1->Tag(), DXDraw->Tag()), 10);
    EndOfBattery(sender);
}

void TForm1::DXDrawInitialize(TObject*) {
    const TDXImageList::Item* item = DXImageList->Items().empty() ? nullptr : &DXImageList->Items()[0];
    if (item == nullptr) throw std::runtime_error("Can't Load this Graphic");
    Textures[0] = std::make_unique<TDirect3DTexture2>(*DXDraw, item->picture, false);
}

void TForm1::DXDrawFinalize(TObject*) { Textures[0].reset(); }

void TForm1::DXDrawInitializeSurface(TObject*) {
    IDirect3DDevice7* device = DXDraw->Device();
    if (device == nullptr) return;
    D3DVIEWPORT7 viewport{0,    0,   static_cast<DWORD>(DXDraw->SurfaceWidth()), static_cast<DWORD>(DXDraw->SurfaceHeight()),
                          0.0f, 1.0f};
    device->SetViewport(&viewport);
    D3DMATERIAL7 material{};
    material.diffuse = D3DCOLORVALUE{1, 1, 1, 0};
    material.ambient = D3DCOLORVALUE{1, 1, 1, 0};
    device->SetMaterial(&material);
    device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
    D3DMATRIX projection = CubeProjection();
    device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    BuildCube(CubeVertices);
}

void TForm1::UpdateCubeTransforms(double t) {
    IDirect3DDevice7* device = DXDraw->Device();
    D3DMATRIX view = CubeView();
    device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    D3DMATRIX world = CubeWorld(t);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
}

void TForm1::DXTimerTimer(TObject*, int) {
    if (!DXDraw->CanRender()) return;
    IDirect3DDevice7* device = DXDraw->Device();
    if (device == nullptr) return;
    UpdateCubeTransforms(static_cast<double>(m_services.GetTickCount()) / 1000.0);

    D3DRECT whole{0, 0, DXDraw->SurfaceWidth(), DXDraw->SurfaceHeight()};
    DWORD clearFlags = DXDraw->DepthSurface() != nullptr ? (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER) : D3DCLEAR_TARGET;
    device->Clear(1, &whole, clearFlags, 0, 1.0f, 0);
    ResetFloatingPointUnit();
    device->BeginScene();
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    device->SetTexture(0, Textures[0] ? Textures[0]->Surface() : nullptr);
    for (std::size_t k = 0; k < 6; ++k) {
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kCubeVertexFormat, &CubeVertices[4 * k], 4, 0);
    }
    device->EndScene();
    ResetFloatingPointUnit();

    {
        TDirectDrawSurfaceCanvas& canvas = DXDraw->BackSurface()->Canvas(DXDraw->Fonts());
        Finally release([&canvas] { canvas.Release(); });
        canvas.Brush.Style = bsClear;
        canvas.Font.SetColor(clWhite);
        canvas.Font.SetSize(12);
        std::string text = "FPS: " + std::to_string(DXTimer->FrameRate());
        canvas.TextOut(0, 0, text);
        // The phase's rate for the score: whatever was shown last when the
        // phase timer fires.
        DXDraw->SetTag(DXTimer->FrameRate());
        text += (DXDraw->ActiveOptions() & doHardware) ? " (Device: Hardware)" : " (Device: Software)";
        canvas.TextOut(0, 0, text);
    }
    DXDraw->Flip();
}

}  // namespace vx
