#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <type_traits>

#include "platform/dx/d3d.h"

namespace vx::win {
namespace {

// Vertex data and matrices are handed over as raw floats, so their sizes
// and the vertex format bits must be exactly the platform's.
static_assert(sizeof(D3DMATRIX) == 16 * sizeof(float));
static_assert(sizeof(D3DVECTOR) == 12);
static_assert(sizeof(D3DCOLORVALUE) == 16);
static_assert(sizeof(D3DMATERIAL7) == 68);
static_assert(sizeof(D3DVIEWPORT7) == 24);
static_assert((D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1) == 0x112);
static_assert((DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY) == 0x1800);
static_assert(FAILED(DDERR_SURFACELOST) && FAILED(DDERR_GENERIC) && SUCCEEDED(DD_OK));
static_assert(static_cast<DWORD>(DDERR_SURFACELOST) == 0x887601C2u);

// Implementations are destroyed through the interface's shared_ptr.
static_assert(std::has_virtual_destructor_v<IDirectDraw7> && std::is_abstract_v<IDirectDraw7>);
static_assert(std::has_virtual_destructor_v<IDirectDrawSurface7> && std::is_abstract_v<IDirectDrawSurface7>);
static_assert(std::has_virtual_destructor_v<IDirectDrawClipper> && std::is_abstract_v<IDirectDrawClipper>);
static_assert(std::has_virtual_destructor_v<IDirectDrawPalette> && std::is_abstract_v<IDirectDrawPalette>);
static_assert(std::has_virtual_destructor_v<IDirect3D7> && std::is_abstract_v<IDirect3D7>);
static_assert(std::has_virtual_destructor_v<IDirect3DDevice7> && std::is_abstract_v<IDirect3DDevice7>);
static_assert(std::has_virtual_destructor_v<DirectDrawLibrary> && std::is_abstract_v<DirectDrawLibrary>);

std::string GuidText(const GUID& guid) {
    char text[37];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", guid.Data1, guid.Data2, guid.Data3,
                  guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6],
                  guid.Data4[7]);
    return text;
}

TEST(DxInterfacesTest, DeviceGuidsMatchTheirPublishedText) {
    struct Case {
        const GUID& guid;
        const char* text;
    };
    const Case cases[] = {
        {IID_IDirect3DRefDevice, "50936643-13E9-11D1-89AA-00A0C9054129"},
        {IID_IDirect3DHALDevice, "84E63DE0-46AA-11CF-816F-0000C020156E"},
        {IID_IDirect3DTnLHalDevice, "F5049E78-4861-11D2-A407-00A0C90629A8"},
        {IID_IDirect3DRGBDevice, "A4665C60-2673-11CF-A31A-00AA00B93356"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GuidText(c.guid), c.text);
    }
    EXPECT_FALSE(IID_IDirect3DRefDevice == IID_IDirect3DHALDevice);
}

}  // namespace
}  // namespace vx::win
