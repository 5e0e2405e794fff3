#include "video/register_video.h"

#include "framework/resources.h"
#include "graphics/picture.h"
#include "platform/dx/native_direct_draw.h"
#include "video/dx_timer.h"

namespace vx {

DirectDrawLoader StandardDirectDrawLoader() {
    return [](dx::PresentationTarget& target) { return dx::LoadNativeDirectDraw(target); };
}

void RegisterVideoClasses(ClassRegistry& classes, win::SystemServices& services, DirectDrawLoader loader) {
    classes
        .Register("TDXDraw", "TCustomControl",
                  [&services, loader](TComponent* owner) { return std::make_unique<TDXDraw>(owner, services, loader); })
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

    classes
        .Register("TDXTimer", "TComponent",
                  [&services](TComponent* owner) { return std::make_unique<TDXTimer>(owner, services); })
        .Bool<TDXTimer>("ActiveOnly", [](TDXTimer& t, bool v) { t.SetActiveOnly(v); })
        .Bool<TDXTimer>("Enabled", [](TDXTimer& t, bool v) { t.SetEnabled(v); })
        .Int<TDXTimer>("Interval", [](TDXTimer& t, int v) { t.SetInterval(v); })
        .Handler<TDXTimer, TDXTimerEvent>("OnTimer", [](TDXTimer& t, TDXTimerEvent e) { t.OnTimer = std::move(e); });

    classes.Register<TDXImageList>("TDXImageList", "TComponent")
        .Property<TDXImageList>("Items", [](TDXImageList& list, const LayoutValue& v, LayoutContext&) {
            for (const std::string& file : LayoutContext::TextList(v)) {
                auto bytes = FindResource(file);
                if (!bytes) throw LayoutError("picture \"" + file + "\" is not among the program's resources");
                std::string name = file.substr(0, file.find_last_of('.'));
                try {
                    list.Items().push_back(TDXImageList::Item{name, DecodeDibPicture(*bytes, file)});
                } catch (const PictureError& e) {
                    throw LayoutError(e.what());
                }
            }
        });
}

}  // namespace vx
