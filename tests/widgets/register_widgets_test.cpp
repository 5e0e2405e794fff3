// The widgets as the layout reader makes them: dotted property names,
// range-checked numbers, pictures from the resources, and clear errors.
#include "widgets/register_widgets.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/framework_classes.h"
#include "framework/layout.h"
#include "widgets/digits.h"
#include "widgets/label.h"
#include "widgets/pro_image.h"
#include "widgets/progress.h"
#include "widgets/widget_fixture.h"
#include "widgets/wizard_header.h"

namespace vx {
namespace {

using widget_test::Window;

class WidgetLayoutTest : public ::testing::Test {
protected:
    WidgetLayoutTest() {
        RegisterFrameworkClasses(m_classes);
        RegisterWidgetClasses(m_classes);
    }
    void Load(const std::string& objects, TForm& form) {
        LoadLayout("object TForm Form1\nend\n" + objects, form, "TForm", m_classes, m_handlers);
    }
    std::string ErrorOf(const std::string& objects) {
        TForm form(m_window.app);
        try {
            Load(objects, form);
        } catch (const LayoutError& e) {
            return e.what();
        }
        return "";
    }

    ClassRegistry m_classes;
    HandlerTable m_handlers;
    Window m_window;
};

TEST_F(WidgetLayoutTest, SetsDottedAndRangeCheckedProperties) {
    TForm form(m_window.app);
    Load(R"(
object TglDigits OSD
  Parent = Form1
  DigitSize.X = 8
  Gradient.Steps = 300
  Bevel.Sides = [fsdLeft, fsdTop]
end
object TglProgress OSP
  Parent = Form1
  Caption = "[%d%%]"
  Options = [fpoTransparent]
  Gradient.FromColor = clRed
end
object TglWizardHeader Header
  Parent = Form1
  Glyph = "logo.bmp"
end
object TProImage Picture
  Parent = Form1
  Picture = "background.jpg"
end
)",
         form);
    auto* digits = dynamic_cast<TglDigits*>(form.FindComponent("OSD"));
    ASSERT_NE(digits, nullptr);
    EXPECT_EQ(digits->DigitSize().X(), 8);
    EXPECT_EQ(digits->Gradient().Steps(), 255);
    EXPECT_EQ(digits->Bevel().Sides(), fsdLeft | fsdTop);
    auto* bar = dynamic_cast<TglProgress*>(form.FindComponent("OSP"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Options(), fpoTransparent);
    EXPECT_EQ(bar->Gradient().RGBFromColor(), clRed);
    auto* header = dynamic_cast<TglWizardHeader*>(form.FindComponent("Header"));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->Glyph().Width(), 213);
    auto* picture = dynamic_cast<TProImage*>(form.FindComponent("Picture"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Picture().Height(), 382);
}

TEST_F(WidgetLayoutTest, BadValuesNameTheirLineAndProperty) {
    const struct {
        const char* what;
        const char* objects;
        const char* messagePart;
    } cases[] = {
        {"a negative gap", "object TglDigits D\n  Gap = -1\nend\n", "layout line 4: D.Gap: the number -1 is out of range"},
        {"a percent above a byte", "object TglProgress P\n  Percent = 256\nend\n", "layout line 4: P.Percent"},
        {"an unknown cut", "object TglProgress P\n  BevelOuter = bvDeep\nend\n", "unknown value \"bvDeep\""},
        {"a picture that is not there", "object TProImage I\n  Picture = \"none.jpg\"\nend\n",
         "layout line 4: I.Picture: picture \"none.jpg\" is not among the program's resources"},
        // A file the picture decoder cannot read reports like a damaged picture would.
        {"a picture it cannot read", "object TglWizardHeader H\n  Glyph = \"main_form.layout\"\nend\n",
         "layout line 4: H.Glyph: picture \"main_form.layout\" is of a kind the program cannot read"},
    };
    for (const auto& c : cases) {
        const std::string message = ErrorOf(c.objects);
        EXPECT_NE(message.find(c.messagePart), std::string::npos) << c.what << ": \"" << message << "\"";
    }
}

TEST_F(WidgetLayoutTest, LinkSizesItselfOnceTheLayoutIsRead) {
    TForm form(m_window.app);
    form.SetBounds(0, 0, 100, 50);
    Load(
        "object TglLabel L\n  Parent = Form1\n  Width = 14\n  Height = 16\n  Caption = \">>\"\n  Font.Name = \"Arial\"\n"
        "  Font.Style = [fsBold]\nend\n",
        form);
    auto* link = dynamic_cast<TglLabel*>(form.FindComponent("L"));
    ASSERT_NE(link, nullptr);
    const TSize text = m_window.app.Fonts().Face(link->Font()).Extent(">>");
    EXPECT_EQ(link->Width(), text.cx + text.cx / 100 + 2);
    EXPECT_EQ(link->Height(), text.cy + 2);
}

}  // namespace
}  // namespace vx
