#include "video/cube_scene.h"

#include <cmath>

namespace vx {

using namespace win;

D3DVECTOR MakeVector(float x, float y, float z) { return D3DVECTOR{x, y, z}; }

CubeVertex MakeVertex(const D3DVECTOR& position, const D3DVECTOR& normal, float tu, float tv) {
    return CubeVertex{position.x, position.y, position.z, normal.x, normal.y, normal.z, tu, tv};
}

void BuildCube(CubeVertexArray& v) {
    const D3DVECTOR front = MakeVector(0, 0, -1);
    const D3DVECTOR back = MakeVector(0, 0, 1);
    const D3DVECTOR top = MakeVector(0, 1, 0);
    const D3DVECTOR bottom = MakeVector(0, -1, 0);
    const D3DVECTOR right = MakeVector(1, 0, 0);
    const D3DVECTOR left = MakeVector(-1, 0, 0);

    v[0] = MakeVertex(MakeVector(-1, 1, -1), front, 0, 0);
    v[1] = MakeVertex(MakeVector(1, 1, -1), front, 1, 0);
    v[2] = MakeVertex(MakeVector(-1, -1, -1), front, 0, 1);
    v[3] = MakeVertex(MakeVector(1, -1, -1), front, 1, 1);

    v[4] = MakeVertex(MakeVector(-1, 1, 1), back, 1, 0);
    v[5] = MakeVertex(MakeVector(-1, -1, 1), back, 1, 1);
    v[6] = MakeVertex(MakeVector(1, 1, 1), back, 0, 0);
    v[7] = MakeVertex(MakeVector(1, -1, 1), back, 0, 1);

    v[8] = MakeVertex(MakeVector(-1, 1, 1), top, 0, 0);
    v[9] = MakeVertex(MakeVector(1, 1, 1), top, 1, 0);
    v[10] = MakeVertex(MakeVector(-1, 1, -1), top, 0, 1);
    v[11] = MakeVertex(MakeVector(1, 1, -1), top, 1, 1);

    v[12] = MakeVertex(MakeVector(-1, -1, 1), bottom, 0, 0);
    v[13] = MakeVertex(MakeVector(-1, -1, -1), bottom, 0, 1);
    v[14] = MakeVertex(MakeVector(1, -1, 1), bottom, 1, 0);
    v[15] = MakeVertex(MakeVector(1, -1, -1), bottom, 1, 1);

    v[16] = MakeVertex(MakeVector(1, 1, -1), right, 0, 0);
    v[17] = MakeVertex(MakeVector(1, 1, 1), right, 1, 0);
    v[18] = MakeVertex(MakeVector(1, -1, -1), right, 0, 1);
    v[19] = MakeVertex(MakeVector(1, -1, 1), right, 1, 1);

    v[20] = MakeVertex(MakeVector(-1, 1, -1), left, 1, 0);
    v[21] = MakeVertex(MakeVector(-1, -1, -1), left, 1, 1);
    v[22] = MakeVertex(MakeVector(-1, 1, 1), left, 0, 0);
    v[23] = MakeVertex(MakeVector(-1, -1, 1), left, 0, 1);
}

D3DMATRIX CubeProjection() {
    D3DMATRIX p{};
    p._11 = 2;
    p._22 = 2;
    p._33 = 1;
    p._34 = 1;
    p._43 = -1;
    return p;
}

D3DMATRIX CubeView() {
    D3DMATRIX v{};
    v._11 = 1;
    v._22 = static_cast<float>(std::cos(-0.5));
    v._23 = static_cast<float>(std::sin(-0.5));
    v._32 = static_cast<float>(-std::sin(-0.5));
    v._33 = static_cast<float>(std::cos(-0.5));
    v._43 = 5.0f;
    v._44 = 1;
    return v;
}

D3DMATRIX CubeWorld(double t) {
    D3DMATRIX w{};
    w._11 = static_cast<float>(std::cos(-t));
    w._13 = static_cast<float>(std::sin(t));
    w._22 = 1;
    w._31 = static_cast<float>(-std::sin(t));
    w._33 = static_cast<float>(std::cos(t));
    w._44 = 1;
    return w;
}

}  // namespace vx
