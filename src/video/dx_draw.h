// The render surface of the video test: a child window that carries the 3D
// device and presents its frames.
#pragma once

#include <cstdint>

#include "framework/component.h"
#include "framework/control.h"
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

class TDXDraw : public TCustomControl {
public:
    explicit TDXDraw(TComponent* owner);

    bool AutoInitialize() const { return m_autoInitialize; }
    void SetAutoInitialize(bool value) { m_autoInitialize = value; }
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value) { m_autoSize = value; }
    TDXDrawOptions Options() const { return m_options; }
    void SetOptions(TDXDrawOptions options) { m_options = options; }

    TNotifyEvent OnInitialize;
    TNotifyEvent OnInitializeSurface;
    TNotifyEvent OnFinalize;

    void Paint(Canvas& canvas) override;

private:
    bool m_autoInitialize = true;
    bool m_autoSize = true;
    TDXDrawOptions m_options = doAllowReboot | doWaitVBlank | doCenter | doDirectX7Mode | doHardware | doSelectDriver;
};

// The pictures the scene uses, by name.
class TDXImageList : public TComponent {
public:
    explicit TDXImageList(TComponent* owner) : TComponent(owner) {}
};

}  // namespace vx
