// The Direct3D 7 services the video checks use: records, render states and
// the interfaces, under the platform's names and numbers.
#pragma once

#include <functional>
#include <memory>

#include "platform/dx/ddraw.h"

namespace vx::win {

// ---------------------------------------------------------------- Records

using D3DVALUE = float;
using D3DCOLOR = DWORD;  // 0xAARRGGBB

struct D3DCOLORVALUE {
    float r;
    float g;
    float b;
    float a;
};

struct D3DVECTOR {
    float x;
    float y;
    float z;
};

struct D3DMATRIX {
    float _11, _12, _13, _14;
    float _21, _22, _23, _24;
    float _31, _32, _33, _34;
    float _41, _42, _43, _44;
};
static_assert(sizeof(D3DMATRIX) == 64);

struct D3DRECT {
    LONG x1;
    LONG y1;
    LONG x2;
    LONG y2;
};

struct D3DVIEWPORT7 {
    DWORD dwX;
    DWORD dwY;
    DWORD dwWidth;
    DWORD dwHeight;
    float dvMinZ;
    float dvMaxZ;
};

struct D3DMATERIAL7 {
    D3DCOLORVALUE diffuse;
    D3DCOLORVALUE ambient;
    D3DCOLORVALUE specular;
    D3DCOLORVALUE emissive;
    float power;
};

struct D3DPRIMCAPS {
    DWORD dwSize;
    DWORD dwMiscCaps;
    DWORD dwRasterCaps;
    DWORD dwZCmpCaps;
    DWORD dwSrcBlendCaps;
    DWORD dwDestBlendCaps;
    DWORD dwAlphaCmpCaps;
    DWORD dwShadeCaps;
    DWORD dwTextureCaps;
    DWORD dwTextureFilterCaps;
    DWORD dwTextureBlendCaps;
    DWORD dwTextureAddressCaps;
    DWORD dwStippleWidth;
    DWORD dwStippleHeight;
};

struct D3DDEVICEDESC7 {
    DWORD dwDevCaps;
    D3DPRIMCAPS dpcLineCaps;
    D3DPRIMCAPS dpcTriCaps;
    DWORD dwDeviceRenderBitDepth;  // DDBD_ set
    DWORD dwDeviceZBufferBitDepth;
    DWORD dwMinTextureWidth;
    DWORD dwMinTextureHeight;
    DWORD dwMaxTextureWidth;
    DWORD dwMaxTextureHeight;
    DWORD dwMaxTextureRepeat;
    DWORD dwMaxTextureAspectRatio;
    DWORD dwMaxAnisotropy;
    float dvGuardBandLeft;
    float dvGuardBandTop;
    float dvGuardBandRight;
    float dvGuardBandBottom;
    float dvExtentsAdjust;
    DWORD dwStencilCaps;
    DWORD dwFVFCaps;
    DWORD dwTextureOpCaps;
    WORD wMaxTextureBlendStages;
    WORD wMaxSimultaneousTextures;
    DWORD dwMaxActiveLights;
    float dvMaxVertexW;
    GUID deviceGUID;
    WORD wMaxUserClipPlanes;
    WORD wMaxVertexBlendMatrices;
    DWORD dwVertexProcessingCaps;
    DWORD dwReserved1;
    DWORD dwReserved2;
    DWORD dwReserved3;
    DWORD dwReserved4;
};

// ---------------------------------------------------------------- Devices

constexpr GUID IID_IDirect3DRGBDevice = {0xA4665C60, 0x2673, 0x11CF, {0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
constexpr GUID IID_IDirect3DHALDevice = {0x84E63DE0, 0x46AA, 0x11CF, {0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20, 0x15, 0x6E}};
constexpr GUID IID_IDirect3DMMXDevice = {0x881949A1, 0xD6F3, 0x11D0, {0x89, 0xAB, 0x00, 0xA0, 0xC9, 0x05, 0x41, 0x29}};
constexpr GUID IID_IDirect3DRefDevice = {0x50936643, 0x13E9, 0x11D1, {0x89, 0xAA, 0x00, 0xA0, 0xC9, 0x05, 0x41, 0x29}};
constexpr GUID IID_IDirect3DTnLHalDevice = {0xF5049E78, 0x4861, 0x11D2, {0xA4, 0x07, 0x00, 0xA0, 0xC9, 0x06, 0x29, 0xA8}};

constexpr DWORD D3DDEVCAPS_TEXTURESYSTEMMEMORY = 0x00000100;
constexpr DWORD D3DDEVCAPS_TEXTUREVIDEOMEMORY = 0x00000200;
constexpr DWORD D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x00010000;
constexpr DWORD D3DDEVCAPS_HWRASTERIZATION = 0x00080000;

// ---------------------------------------------------------------- States and drawing

constexpr DWORD D3DTRANSFORMSTATE_WORLD = 1;
constexpr DWORD D3DTRANSFORMSTATE_VIEW = 2;
constexpr DWORD D3DTRANSFORMSTATE_PROJECTION = 3;

constexpr DWORD D3DRENDERSTATE_TEXTUREPERSPECTIVE = 4;
constexpr DWORD D3DRENDERSTATE_ZENABLE = 7;
constexpr DWORD D3DRENDERSTATE_FILLMODE = 8;
constexpr DWORD D3DRENDERSTATE_SHADEMODE = 9;
constexpr DWORD D3DRENDERSTATE_ZWRITEENABLE = 14;
constexpr DWORD D3DRENDERSTATE_ALPHATESTENABLE = 15;
constexpr DWORD D3DRENDERSTATE_SRCBLEND = 19;
constexpr DWORD D3DRENDERSTATE_DESTBLEND = 20;
constexpr DWORD D3DRENDERSTATE_CULLMODE = 22;
constexpr DWORD D3DRENDERSTATE_ZFUNC = 23;
constexpr DWORD D3DRENDERSTATE_DITHERENABLE = 26;
constexpr DWORD D3DRENDERSTATE_ALPHABLENDENABLE = 27;
constexpr DWORD D3DRENDERSTATE_FOGENABLE = 28;
constexpr DWORD D3DRENDERSTATE_SPECULARENABLE = 29;
constexpr DWORD D3DRENDERSTATE_LIGHTING = 137;
constexpr DWORD D3DRENDERSTATE_AMBIENT = 139;
constexpr DWORD D3DRENDERSTATE_COLORVERTEX = 141;
constexpr DWORD D3DRENDERSTATE_DIFFUSEMATERIALSOURCE = 145;
constexpr DWORD D3DRENDERSTATE_SPECULARMATERIALSOURCE = 146;
constexpr DWORD D3DRENDERSTATE_AMBIENTMATERIALSOURCE = 147;
constexpr DWORD D3DRENDERSTATE_EMISSIVEMATERIALSOURCE = 148;

// Where lighting takes a material colour from (the *MATERIALSOURCE states).
constexpr DWORD D3DMCS_MATERIAL = 0;
constexpr DWORD D3DMCS_COLOR1 = 1;
constexpr DWORD D3DMCS_COLOR2 = 2;

constexpr DWORD D3DSHADE_FLAT = 1;
constexpr DWORD D3DSHADE_GOURAUD = 2;

constexpr DWORD D3DBLEND_ZERO = 1;
constexpr DWORD D3DBLEND_ONE = 2;
constexpr DWORD D3DBLEND_SRCCOLOR = 3;
constexpr DWORD D3DBLEND_INVSRCCOLOR = 4;
constexpr DWORD D3DBLEND_SRCALPHA = 5;
constexpr DWORD D3DBLEND_INVSRCALPHA = 6;
constexpr DWORD D3DBLEND_DESTALPHA = 7;
constexpr DWORD D3DBLEND_INVDESTALPHA = 8;
constexpr DWORD D3DBLEND_DESTCOLOR = 9;
constexpr DWORD D3DBLEND_INVDESTCOLOR = 10;
constexpr DWORD D3DBLEND_SRCALPHASAT = 11;
constexpr DWORD D3DBLEND_BOTHSRCALPHA = 12;
constexpr DWORD D3DBLEND_BOTHINVSRCALPHA = 13;

constexpr DWORD D3DCULL_NONE = 1;
constexpr DWORD D3DCULL_CW = 2;
constexpr DWORD D3DCULL_CCW = 3;

constexpr DWORD D3DPT_POINTLIST = 1;
constexpr DWORD D3DPT_LINELIST = 2;
constexpr DWORD D3DPT_LINESTRIP = 3;
constexpr DWORD D3DPT_TRIANGLELIST = 4;
constexpr DWORD D3DPT_TRIANGLESTRIP = 5;
constexpr DWORD D3DPT_TRIANGLEFAN = 6;

constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEX1 = 0x100;
constexpr DWORD D3DFVF_POSITION_MASK = 0x00E;
constexpr DWORD D3DFVF_TEXCOUNT_MASK = 0xF00;
constexpr DWORD D3DFVF_TEXCOUNT_SHIFT = 8;

// The most vertices one DrawPrimitive call may pass.
constexpr DWORD D3DMAXNUMVERTICES = 0xFFFF;

constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

constexpr DWORD D3DDP_WAIT = 0x1;

constexpr HRESULT D3D_OK = DD_OK;
constexpr HRESULT D3DERR_INVALID_DEVICE = static_cast<HRESULT>(0x887602C1u);
constexpr HRESULT D3DERR_SCENE_IN_SCENE = static_cast<HRESULT>(0x887602F8u);
constexpr HRESULT D3DERR_SCENE_NOT_IN_SCENE = static_cast<HRESULT>(0x887602F9u);

constexpr HRESULT D3DENUMRET_CANCEL = DDENUMRET_CANCEL;
constexpr HRESULT D3DENUMRET_OK = DDENUMRET_OK;

// ---------------------------------------------------------------- Interfaces

// Each enumeration callback returns D3DENUMRET_OK to go on, D3DENUMRET_CANCEL to stop.
using LPD3DENUMDEVICESCALLBACK7 = std::function<HRESULT(const char* description, const char* name, const D3DDEVICEDESC7& device)>;
using LPD3DENUMPIXELFORMATSCALLBACK = std::function<HRESULT(const DDPIXELFORMAT& format)>;

class IDirect3DDevice7 {
public:
    virtual ~IDirect3DDevice7() = default;
    virtual HRESULT EnumTextureFormats(const LPD3DENUMPIXELFORMATSCALLBACK& callback) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    // count 0 with rects null clears the whole viewport.
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;
    virtual HRESULT SetTransform(DWORD state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT7* viewport) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL7* material) = 0;
    virtual HRESULT SetRenderState(DWORD state, DWORD value) = 0;
    // vertices holds count vertices laid out as vertexFormat (D3DFVF_ bits) says.
    virtual HRESULT DrawPrimitive(DWORD primitiveType, DWORD vertexFormat, const void* vertices, DWORD count, DWORD flags) = 0;
    // The device does not keep the texture alive: the caller holds it while
    // it is set, or sets nullptr before letting it go.
    virtual HRESULT SetTexture(DWORD stage, IDirectDrawSurface7* texture) = 0;
};

class IDirect3D7 {
public:
    virtual ~IDirect3D7() = default;
    virtual HRESULT EnumDevices(const LPD3DENUMDEVICESCALLBACK7& callback) = 0;
    // The render target must outlive the device; the device does not own it.
    virtual HRESULT CreateDevice(const GUID& deviceGuid, IDirectDrawSurface7* renderTarget,
                                 std::shared_ptr<IDirect3DDevice7>* device) = 0;
};

}  // namespace vx::win
