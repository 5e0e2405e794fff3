// What every Direct3D device the video test may draw with must do as the
// software device does: blend by the scene's states, and draw the cube and
// its frame-rate line within kCubeAllowance of the software device's frame.
// Each test program instantiates DeviceContract with the devices its build
// has: the software device, the OpenGL device, the system's own devices.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/dx/d3d.h"
#include "platform/dx/ddraw.h"

namespace vx::dx::testing {

// A device on a render target of its own; owner keeps what they come from
// (library, window) until both are gone.
struct ContractDevice {
    std::string name;
    std::shared_ptr<void> owner;
    std::shared_ptr<win::IDirectDraw7> directDraw;
    std::shared_ptr<win::IDirectDrawSurface7> target;
    std::shared_ptr<win::IDirect3DDevice7> device;
};

// Every device of one kind, each on a new width x height target; none where
// this machine has none, and the contract is skipped.
struct DeviceKind {
    std::string name;
    std::function<std::vector<ContractDevice>(int width, int height)> devices;
};

class DeviceContract : public ::testing::TestWithParam<DeviceKind> {};

// The software rasteriser, the device the others are held to.
std::vector<ContractDevice> SoftwareDevices(int width, int height);

inline std::string DeviceKindName(const ::testing::TestParamInfo<DeviceKind>& info) { return info.param.name; }
inline void PrintTo(const DeviceKind& kind, std::ostream* out) { *out << kind.name; }

}  // namespace vx::dx::testing
