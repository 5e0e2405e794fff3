// The widgets' groups of settings: each tells its owner of a real change
// once, and of a value it already holds (after its own clamping) not at all.
#include "widgets/property_group.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "widgets/digits.h"
#include "widgets/label.h"
#include "widgets/progress.h"
#include "widgets/shadow.h"
#include "widgets/speed_button.h"

namespace vx {
namespace {

// The notices of a setter's call, and of the same call again.
template <class Group>
std::pair<int, int> NoticesOf(Group& group, const std::function<void(Group&)>& set) {
    int notices = 0;
    group.SetOnChange([&] { ++notices; });
    set(group);
    const int first = notices;
    set(group);
    return {first, notices - first};
}

template <class Group>
std::function<std::pair<int, int>()> Setting(std::function<void(Group&)> set) {
    return [set] {
        Group group;
        return NoticesOf(group, set);
    };
}

TEST(PropertyGroupTest, NotifiesOnceForAChangeAndNotForTheValueHeld) {
    const struct {
        const char* what;
        std::function<std::pair<int, int>()> notices;
        int first;
    } cases[] = {
        {"label colour", Setting<TglLabelColors>([](auto& g) { g.SetBackgroundActive(clRed); }), 1},
        {"label colour already held", Setting<TglLabelColors>([](auto& g) { g.SetText(clBlack); }), 0},
        {"label text style", Setting<TglLabelTextStyles>([](auto& g) { g.SetDisabled(fstNone); }), 1},
        {"negative shadow depth is 0", Setting<TIllumination>([](auto& g) { g.SetShadowDepth(-3); }), 1},
        {"bar colour", Setting<TglSimpleLabelColors>([](auto& g) { g.SetHighlight(clRed); }), 1},
        {"shadow style colour", Setting<TglShadowStyle>([](auto& g) { g.SetTextColor(clRed); }), 1},
        {"shadow style sides beyond the four", Setting<TglShadowStyle>([](auto& g) { g.SetSides(0xFF); }), 0},
        {"bevel sides beyond the four", Setting<TglBevel>([](auto& g) { g.SetSides(0xFF); }), 0},
        {"button look text style", Setting<TglSpeedButtonStyle>([](auto& g) { g.SetTextStyle(fstShadow); }), 1},
        {"button look's font", Setting<TglSpeedButtonStyle>([](auto& g) { g.Font().SetColor(clRed); }), 1},
        {"button look's bevel", Setting<TglSpeedButtonStyle>([](auto& g) { g.Bevel().SetBold(true); }), 1},
        {"button look's text gradient", Setting<TglSpeedButtonStyle>([](auto& g) { g.TextGradient().SetSteps(9); }), 1},
        {"digit size clamped",
         [] {
             TPointClass size(10, 21);
             return NoticesOf<TPointClass>(size, [](TPointClass& p) { p.SetY(40000); });
         },
         1},
    };
    for (const auto& c : cases) {
        const auto [first, again] = c.notices();
        EXPECT_EQ(first, c.first) << c.what;
        EXPECT_EQ(again, 0) << c.what << ", set again";
    }
}

}  // namespace
}  // namespace vx
