#include "video/register_video.h"

#include "video/dx_draw.h"

namespace vx {

void RegisterVideoClasses(ClassRegistry& classes, win::SystemServices& services) {
    classes.Register<TDXDraw>("TDXDraw", "TCustomControl")
        .Bool<TDXDraw>("AutoInitialize", [](TDXDraw& d, bool v) { d.SetAutoInitialize(v); })
        .Bool<TDXDraw>("AutoSize", [](TDXDraw& d, bool v) { d.SetAutoSize(v); })
        .Flags<TDXDraw>("Options",
                        {{"doFullScreen", doFullScreen},
                         {"doNoWindowChange", doNoWindowChange},
                         {"doAllowReboot", doAllowReboot},
                         {"doWaitVBlank", doWaitVBlank},
                         {"doAllowPalette256", doAllowPalette256},
                         {"doSystemMemory", doSystemMemory},
                         {"doStretch", doStretch},
                         {"doCenter", doCenter},
                         {"doFlip", doFlip},
                         {"do3D", do3D},
                         {"doDirectX7Mode", doDirectX7Mode},
                         {"doRetainedMode", doRetainedMode},
                         {"doHardware", doHardware},
                         {"doSelectDriver", doSelectDriver},
                         {"doZBuffer", doZBuffer}},
                        [](TDXDraw& d, unsigned v) { d.SetOptions(static_cast<TDXDrawOptions>(v)); })
        .Handler<TDXDraw, TNotifyEvent>("OnInitialize", [](TDXDraw& d, TNotifyEvent e) { d.OnInitialize = std::move(e); })
        .Handler<TDXDraw, TNotifyEvent>("OnInitializeSurface",
                                        [](TDXDraw& d, TNotifyEvent e) { d.OnInitializeSurface = std::move(e); })
        .Handler<TDXDraw, TNotifyEvent>("OnFinalize", [](TDXDraw& d, TNotifyEvent e) { d.OnFinalize = std::move(e); });

    classes.Register("TDXTimer", "TComponent", [&services](TComponent* owner) { return std::make_unique<TDXTimer>(owner, services); })
        .Bool<TDXTimer>("ActiveOnly", [](TDXTimer& t, bool v) { t.SetActiveOnly(v); })
        .Bool<TDXTimer>("Enabled", [](TDXTimer& t, bool v) { t.SetEnabled(v); })
        .Int<TDXTimer>("Interval", [](TDXTimer& t, int v) { t.SetInterval(v); })
        .Handler<TDXTimer, TDXTimerEvent>("OnTimer", [](TDXTimer& t, TDXTimerEvent e) { t.OnTimer = std::move(e); });

    classes.Register<TDXImageList>("TDXImageList", "TComponent");
}

}  // namespace vx
