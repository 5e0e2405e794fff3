#include "widgets/painters.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace vx {
namespace {

TEST(GradientTest, StepsAreClampedToOneTo255) {
    const struct {
        int set;
        int stored;
    } cases[] = {{300, 255}, {256, 255}, {255, 255}, {254, 254}, {2, 2}, {1, 1}, {0, 1}, {-5, 1}};
    for (const auto& c : cases) {
        TGradient g;
        g.SetSteps(c.set);
        EXPECT_EQ(g.Steps(), c.stored) << "set " << c.set;
    }
}

struct NotifyCase {
    const char* what;
    std::function<void(TGradient&)> prepare;  // before counting starts
    std::function<void(TGradient&)> act;
    int notices;
};

TEST(GradientTest, NotifiesOnlyOnRealChanges) {
    auto none = [](TGradient&) {};
    auto activate = [](TGradient& g) { g.SetActive(true); };
    const NotifyCase cases[] = {
        {"Active unchanged", none, [](TGradient& g) { g.SetActive(false); }, 0},
        {"Active changed", none, [](TGradient& g) { g.SetActive(true); }, 1},
        {"Orientation while inactive", none, [](TGradient& g) { g.SetOrientation(fgdVertical); }, 0},
        {"Orientation while active", activate, [](TGradient& g) { g.SetOrientation(fgdVertical); }, 1},
        {"Orientation unchanged while active", activate, [](TGradient& g) { g.SetOrientation(fgdHorizontal); }, 0},
        {"Steps clamped to the value it has", none, [](TGradient& g) { g.SetSteps(300); }, 0},
        {"Steps changed", none, [](TGradient& g) { g.SetSteps(0); }, 1},
        {"PercentFilling unchanged", none, [](TGradient& g) { g.SetPercentFilling(100); }, 0},
        {"PercentFilling changed", none, [](TGradient& g) { g.SetPercentFilling(50); }, 1},
        {"FromColor unchanged", none, [](TGradient& g) { g.SetFromColor(clGray); }, 0},
        {"ToColor changed", none, [](TGradient& g) { g.SetToColor(clLime); }, 1},
        {"BufferedDraw unchanged", none, [](TGradient& g) { g.SetBufferedDraw(false); }, 0},
        {"BrushStyle always notifies", none, [](TGradient& g) { g.SetBrushStyle(bsSolid); }, 1},
    };
    for (const NotifyCase& c : cases) {
        TGradient g;
        c.prepare(g);
        int notices = 0;
        g.SetOnChange([&] { ++notices; });
        c.act(g);
        EXPECT_EQ(notices, c.notices) << c.what;
    }
}

TEST(GradientTest, SystemColoursAreResolvedWhenSet) {
    TGradient g;
    g.SetFromColor(clBtnFace);
    EXPECT_EQ(g.FromColor(), clBtnFace);
    EXPECT_EQ(g.RGBFromColor(), ColorToRGB(clBtnFace));
    EXPECT_GE(g.RGBFromColor(), 0) << "a resolved colour never keeps the system-colour bit";
}

TEST(ExtBevelTest, NotifiesOnChangeOnly) {
    TglExtBevel bevel;
    int notices = 0;
    bevel.SetOnChange([&] { ++notices; });
    bevel.SetOuter(bvNone);
    bevel.SetSides(kAllBevelSides);
    bevel.SetActive(true);
    EXPECT_EQ(notices, 0);
    bevel.SetOuter(bvLowered);
    bevel.SetSides(fsdLeft);
    bevel.SetInteriorOffset(1);
    EXPECT_EQ(notices, 3);
}

TEST(ColorShiftTest, ChannelsSaturate) {
    EXPECT_EQ(LightenColor(RGB(250, 10, 100), 30), RGB(255, 40, 130));
    EXPECT_EQ(DarkenColor(RGB(250, 10, 100), 30), RGB(220, 0, 70));
    EXPECT_EQ(LightenColor(clWhite, 60), clWhite);
}

// Gradient banding on an off-screen surface: distinct colours per column.
class FillGradientTest : public ::testing::Test {
protected:
    std::set<TColor> ColumnColours(int width, int bitsPerPixel, int steps, std::uint8_t percent, int* lastFilled) {
        Bitmap bitmap(width, 3, kSentinel);
        bitmap.SetBitsPerPixel(bitsPerPixel);
        Canvas canvas(bitmap, m_fonts);
        TGradient g;
        g.SetActive(true);
        g.SetOrientation(fgdVertical);
        g.SetFromColor(clRed);
        g.SetToColor(clGreen);
        g.SetSteps(steps);
        g.SetPercentFilling(percent);
        FillGradient(canvas, TRect{0, 0, width, 3}, g);
        std::set<TColor> colours;
        *lastFilled = -1;
        for (int x = 0; x < width; ++x) {
            if (bitmap.GetPixel(x, 1) == kSentinel) continue;
            colours.insert(bitmap.GetPixel(x, 1));
            *lastFilled = x;
        }
        return colours;
    }

    static constexpr TColor kSentinel = RGB(1, 2, 3);
    FontCache m_fonts;
};

TEST_F(FillGradientTest, BandsFollowWidthStepsAndFilling) {
    const struct {
        const char* what;
        int width, bits, steps;
        std::uint8_t percent;
        std::size_t bands;
        int lastFilled;
    } cases[] = {
        {"one band per pixel when narrower than the steps", 222, 32, 255, 100, 222, 221},
        {"255 bands over a wider ramp", 610, 32, 255, 100, 255, 609},
        {"band 111 lies exactly at 50 percent and does not stop the fill", 222, 32, 255, 50, 113, 112},
        {"0 percent still fills two bands", 222, 32, 255, 0, 2, 1},
        {"one step draws nothing", 222, 32, 1, 100, 0, -1},
        {"a 256-colour surface gets no gradient", 222, 8, 255, 100, 0, -1},
    };
    for (const auto& c : cases) {
        int lastFilled = 0;
        const std::set<TColor> colours = ColumnColours(c.width, c.bits, c.steps, c.percent, &lastFilled);
        EXPECT_EQ(colours.size(), c.bands) << c.what;
        EXPECT_EQ(lastFilled, c.lastFilled) << c.what;
    }
}

}  // namespace
}  // namespace vx
