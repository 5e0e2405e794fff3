// Vertex stage, part two: the colour of a vertex. The device has no light
// sources, so lit vertices get what the platform computes with none enabled:
// the material's ambient colour times the ambient light plus its emissive
// colour, and the diffuse colour's alpha. Each of the three may come from
// the vertex's own colours instead, as the *MATERIALSOURCE states say.
#pragma once

#include "platform/dx/d3d.h"

namespace vx::dx {

struct Colour {
    float r;
    float g;
    float b;
    float a;
};

struct LightingState {
    bool lighting = true;
    bool colorVertex = true;
    win::DWORD diffuseSource = win::D3DMCS_COLOR1;
    win::DWORD ambientSource = win::D3DMCS_MATERIAL;
    win::DWORD emissiveSource = win::D3DMCS_MATERIAL;
    win::D3DCOLOR ambientLight = 0;
    win::D3DMATERIAL7 material{};
};

// Each channel clamped to [0, 1]; NaN becomes 0. diffuse and specular are
// the vertex's own colours, null when it has none.
Colour VertexColour(const LightingState& state, const win::D3DCOLOR* diffuse, const win::D3DCOLOR* specular);

}  // namespace vx::dx
