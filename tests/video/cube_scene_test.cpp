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

TEST(CubeSceneTest, EveryFaceIsAStripOfFourCornersWithItsNormalAndCorners) {
    CubeVertexArray v;
    BuildCube(v);
    for (int face = 0; face < 6; ++face) {
        const CubeVertex* s = &v[static_cast<std::size_t>(4 * face)];
        float texSum = 0;
        for (int i = 0; i < 4; ++i) {
            // Each corner lies on the face its normal points out of.
            EXPECT_FLOAT_EQ(s[i].x * s[i].nx + s[i].y * s[i].ny + s[i].z * s[i].nz, 1.0f) << face << ":" << i;
            EXPECT_EQ(std::fabs(s[i].x), 1.0f);
            EXPECT_EQ(std::fabs(s[i].y), 1.0f);
            EXPECT_EQ(std::fabs(s[i].z), 1.0f);
            texSum += s[i].tu + s[i].tv;
        }
        EXPECT_FLOAT_EQ(texSum, 4.0f) << "the texture's four corners once each";
    }
    // Spot checks against the table.
    EXPECT_EQ(v[4].tu, 1.0f);
    EXPECT_EQ(v[13].tv, 1.0f);
    EXPECT_EQ(v[22].x, -1.0f);
    EXPECT_EQ(v[22].z, 1.0f);
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
