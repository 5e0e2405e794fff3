// The cube's vertices and where its matrices put them.
#include <gtest/gtest.h>

#include <cmath>

#include "video/cube_scene.h"

namespace vx {
namespace {

using namespace win;

struct Point {
    float x, y, z, w;
};

Point Transform(float x, float y, float z, const D3DMATRIX& m) {
    return Point{x * m._11 + y * m._21 + z * m._31 + m._41, x * m._12 + y * m._22 + z * m._32 + m._42,
                 x * m._13 + y * m._23 + z * m._33 + m._43, x * m._14 + y * m._24 + z * m._34 + m._44};
}

TEST(CubeSceneTest, TheTableWhole) {
    // x, y, z, nx, ny, nz, tu, tv for each vertex; strip k is rows 4k..4k+3.
    // Pinned whole, so a swapped tu/tv, a reordered strip or a wrong normal fails.
    const float table[24][8] = {
        {-1, 1, -1, 0, 0, -1, 0, 0},  {1, 1, -1, 0, 0, -1, 1, 0},
        {-1, -1, -1, 0, 0, -1, 0, 1}, {1, -1, -1, 0, 0, -1, 1, 1},  // front
        {-1, 1, 1, 0, 0, 1, 1, 0},    {-1, -1, 1, 0, 0, 1, 1, 1},
        {1, 1, 1, 0, 0, 1, 0, 0},     {1, -1, 1, 0, 0, 1, 0, 1},  // back
        {-1, 1, 1, 0, 1, 0, 0, 0},    {1, 1, 1, 0, 1, 0, 1, 0},
        {-1, 1, -1, 0, 1, 0, 0, 1},   {1, 1, -1, 0, 1, 0, 1, 1},  // top
        {-1, -1, 1, 0, -1, 0, 0, 0},  {-1, -1, -1, 0, -1, 0, 0, 1},
        {1, -1, 1, 0, -1, 0, 1, 0},   {1, -1, -1, 0, -1, 0, 1, 1},  // bottom
        {1, 1, -1, 1, 0, 0, 0, 0},    {1, 1, 1, 1, 0, 0, 1, 0},
        {1, -1, -1, 1, 0, 0, 0, 1},   {1, -1, 1, 1, 0, 0, 1, 1},  // right
        {-1, 1, -1, -1, 0, 0, 1, 0},  {-1, -1, -1, -1, 0, 0, 1, 1},
        {-1, 1, 1, -1, 0, 0, 0, 0},   {-1, -1, 1, -1, 0, 0, 0, 1},  // left
    };
    CubeVertexArray v;
    BuildCube(v);
    for (std::size_t i = 0; i < v.size(); ++i) {
        const CubeVertex& c = v[i];
        const float got[8] = {c.x, c.y, c.z, c.nx, c.ny, c.nz, c.tu, c.tv};
        for (int k = 0; k < 8; ++k) EXPECT_EQ(got[k], table[i][k]) << "vertex " << i << ", field " << k;
    }
}

TEST(CubeSceneTest, ProjectionPutsViewSpacePointsAtTwoXOverZ) {
    Point p = Transform(1.0f, -0.5f, 4.0f, CubeProjection());
    EXPECT_FLOAT_EQ(p.x / p.w, 0.5f);
    EXPECT_FLOAT_EQ(p.y / p.w, -0.25f);
    EXPECT_FLOAT_EQ(p.z / p.w, 0.75f) << "depth (z - 1) / z";
    Point nearPlane = Transform(0, 0, 1, CubeProjection());
    EXPECT_FLOAT_EQ(nearPlane.z, 0.0f);
}

TEST(CubeSceneTest, TheCubeSitsFiveUnitsAwayAndTurnsOneRadianPerSecond) {
    Point centre = Transform(0, 0, 0, CubeView());
    EXPECT_FLOAT_EQ(centre.z, 5.0f);
    // The world turn keeps a point's distance from the vertical axis and
    // turns it by t.
    for (double t : {0.0, 1.0, 3.14159, 6.0}) {
        Point p = Transform(1, 0, 0, CubeWorld(t));
        EXPECT_NEAR(std::hypot(p.x, p.z), 1.0, 1e-6);
        EXPECT_NEAR(std::atan2(-p.z, p.x), std::remainder(-t, 2 * 3.14159265358979), 1e-5) << t;
        EXPECT_FLOAT_EQ(p.w, 1.0f);
    }
}

}  // namespace
}  // namespace vx
