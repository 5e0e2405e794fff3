#include "graphics/graphics.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

namespace vx {
namespace {

TEST(MulDivTest, RoundsHalvesAwayFromZero) {
    struct Row {
        const char* comment;
        int a, b, d, expected;
    };
    const Row rows[] = {
        {"exact quotient", 6, 4, 3, 8},
        {"one half rounds up", 1, 1, 2, 1},
        {"minus one half rounds down", -1, 1, 2, -1},
        {"three halves round to two", 3, 1, 2, 2},
        {"minus three halves round to minus two", 3, -1, 2, -2},
        {"negative divisor, positive result", -3, 1, -2, 2},
        {"just below one half rounds to zero", 4, 1, 9, 0},
        {"just above one half rounds to one", 5, 1, 9, 1},
        {"8 pt at 96 dpi is 10.67 px", 8, 96, 72, 11},
        {"11 px at 96 dpi is 8.25 pt", 11, 72, 96, 8},
        {"product beyond 32 bits", 100000, 100000, 1000000, 10000},
        {"division by zero answers -1", 5, 7, 0, -1},
        {"result beyond int answers -1", 2000000000, 4, 1, -1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MulDiv(row.a, row.b, row.d), row.expected) << row.comment;
    }
}

TEST(ColorTest, SystemColoursFollowTheClassicScheme) {
    struct Row {
        const char* comment;
        TColor color;
        TColor expected;
    };
    const Row rows[] = {
        {"button face", clBtnFace, RGB(212, 208, 200)},
        {"button shadow", clBtnShadow, RGB(128, 128, 128)},
        {"button highlight", clBtnHighlight, RGB(255, 255, 255)},
        {"3D dark shadow", cl3DDkShadow, RGB(64, 64, 64)},
        {"3D light", cl3DLight, RGB(212, 208, 200)},
        {"highlight", clHighlight, RGB(10, 36, 106)},
        {"active caption", clActiveCaption, RGB(10, 36, 106)},
        {"tooltip background", clInfoBk, RGB(255, 255, 225)},
        {"desktop", clBackground, RGB(58, 110, 165)},
        {"index past the table is black", SystemColor(25), clBlack},
        {"plain colour is kept", RGB(1, 2, 3), RGB(1, 2, 3)},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ColorToRGB(row.color), row.expected) << row.comment;
    }
    EXPECT_EQ(GetSysColor(-1), clBlack);
}

int Area(const Region& region) {
    int area = 0;
    for (const TRect& r : region.Rects()) area += r.Width() * r.Height();
    return area;
}

TEST(RegionTest, Operations) {
    struct Row {
        const char* comment;
        Region region;
        int area;
        TRect bounds;
        TPoint inside;
        TPoint outside;
    };
    auto make = [](auto&& build) {
        Region r;
        build(r);
        return r;
    };
    const Row rows[] = {
        {"empty rectangle is not stored", Region(TRect{3, 3, 3, 8}), 0, TRect{}, {-100, -100}, {3, 3}},
        {"right and bottom are exclusive", Region(TRect{0, 0, 4, 3}), 12, TRect{0, 0, 4, 3}, {3, 2}, {4, 2}},
        {"overlapping union counts shared pixels once",
         make([](Region& r) {
             r.Add({0, 0, 4, 4});
             r.Add({2, 2, 6, 6});
         }),
         28,
         TRect{0, 0, 6, 6},
         {5, 5},
         {5, 0}},
        {"hole in the middle",
         make([](Region& r) {
             r.Add({0, 0, 10, 10});
             r.Subtract({3, 3, 6, 6});
         }),
         91,
         TRect{0, 0, 10, 10},
         {6, 6},
         {5, 5}},
        {"subtracting everything leaves it empty",
         make([](Region& r) {
             r.Add({0, 0, 5, 5});
             r.Subtract({-1, -1, 9, 9});
         }),
         0,
         TRect{},
         {-100, -100},
         {0, 0}},
        {"intersection keeps the overlap",
         make([](Region& r) {
             r.Add({0, 0, 5, 5});
             r.Intersect({3, 3, 8, 8});
         }),
         4,
         TRect{3, 3, 5, 5},
         {4, 4},
         {2, 2}},
        {"offset moves every rectangle",
         make([](Region& r) {
             r.Add({0, 0, 2, 2});
             r.Offset(5, -1);
         }),
         4,
         TRect{5, -1, 7, 1},
         {6, 0},
         {0, 0}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Area(row.region), row.area) << row.comment;
        EXPECT_EQ(row.region.Bounds(), row.bounds) << row.comment;
        if (row.area > 0) {
            EXPECT_TRUE(row.region.Contains(row.inside.X, row.inside.Y)) << row.comment;
        }
        EXPECT_FALSE(row.region.Contains(row.outside.X, row.outside.Y)) << row.comment;
        for (const TRect& r : row.region.Rects()) EXPECT_FALSE(r.IsEmpty()) << row.comment;
    }
}

// Random sequences of operations against a plain pixel mask: the region must
// cover exactly the same pixels, with disjoint non-empty rectangles.
TEST(RegionTest, MatchesPixelModel) {
    constexpr int kSize = 16;
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> coord(-2, kSize + 2);
    std::uniform_int_distribution<int> op(0, 3);
    for (int trial = 0; trial < 200; ++trial) {
        Region region;
        std::array<std::array<bool, kSize + 8>, kSize + 8> model{};
        for (int step = 0; step < 8; ++step) {
            const TRect r{coord(random), coord(random), coord(random), coord(random)};
            const int kind = op(random);
            for (int y = -4; y < kSize + 4; ++y) {
                for (int x = -4; x < kSize + 4; ++x) {
                    bool& m = model[static_cast<std::size_t>(y + 4)][static_cast<std::size_t>(x + 4)];
                    if (kind <= 1) m = m || r.Contains(x, y);
                    if (kind == 2) m = m && !r.Contains(x, y);
                    if (kind == 3) m = m && r.Contains(x, y);
                }
            }
            if (kind <= 1) region.Add(r);
            if (kind == 2) region.Subtract(r);
            if (kind == 3) region.Intersect(r);
        }
        int count = 0;
        for (int y = -4; y < kSize + 4; ++y) {
            for (int x = -4; x < kSize + 4; ++x) {
                const bool expected = model[static_cast<std::size_t>(y + 4)][static_cast<std::size_t>(x + 4)];
                ASSERT_EQ(region.Contains(x, y), expected) << "trial " << trial << " at " << x << "," << y;
                count += expected ? 1 : 0;
            }
        }
        ASSERT_EQ(Area(region), count) << "rectangles overlap in trial " << trial;
    }
}

}  // namespace
}  // namespace vx
