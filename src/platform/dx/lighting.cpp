#include "platform/dx/lighting.h"

namespace vx::dx {

using namespace win;

namespace {

float Clamp01(float value) { return value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f; }

Colour Unpack(D3DCOLOR colour) {
    return Colour{static_cast<float>((colour >> 16) & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                  static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>(colour >> 24) / 255.0f};
}

Colour FromMaterial(const D3DCOLORVALUE& value) { return Colour{value.r, value.g, value.b, value.a}; }

}  // namespace

Colour VertexColour(const LightingState& state, const D3DCOLOR* diffuse, const D3DCOLOR* specular) {
    if (!state.lighting) {
        return diffuse != nullptr ? Unpack(*diffuse) : Colour{1.0f, 1.0f, 1.0f, 1.0f};
    }
    const auto source = [&](DWORD which, const D3DCOLORVALUE& material) {
        if (state.colorVertex && which == D3DMCS_COLOR1 && diffuse != nullptr) return Unpack(*diffuse);
        if (state.colorVertex && which == D3DMCS_COLOR2 && specular != nullptr) return Unpack(*specular);
        return FromMaterial(material);
    };
    const Colour ambient = source(state.ambientSource, state.material.ambient);
    const Colour emissive = source(state.emissiveSource, state.material.emissive);
    const Colour diffuseColour = source(state.diffuseSource, state.material.diffuse);
    const Colour light = Unpack(state.ambientLight);
    return Colour{Clamp01(ambient.r * light.r + emissive.r), Clamp01(ambient.g * light.g + emissive.g),
                  Clamp01(ambient.b * light.b + emissive.b), Clamp01(diffuseColour.a)};
}

}  // namespace vx::dx
