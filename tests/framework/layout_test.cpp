// Reading a form from its stored layout, and the errors that name what a
// layout got wrong.
#include <gtest/gtest.h>

#include "framework/application.h"
#include "framework/form.h"
#include "framework/framework_classes.h"
#include "framework/layout.h"
#include "framework/stdctrls.h"
#include "framework/timer.h"
#include "support/headless.h"

namespace vx {
namespace {

TEST(LayoutParseTest, Values) {
    auto objects = ParseLayout(R"(# comment
object TForm Main
  A = 12
  B = -11
  C = $FF
  D = 0x10
  E = 0.5
  F = "say \"hi\"\n"
  G = clLime
  H = [fsBold, fsItalic]
  I = ["a", "b"]
  J = []
  Font.Name = "Arial"
end
)");
    ASSERT_EQ(objects.size(), 1u);
    const auto& p = objects[0].properties;
    ASSERT_EQ(p.size(), 11u);
    EXPECT_EQ(objects[0].className, "TForm");
    EXPECT_EQ(objects[0].name, "Main");
    EXPECT_EQ(p[0].value.integer, 12);
    EXPECT_EQ(p[1].value.integer, -11);
    EXPECT_EQ(p[2].value.integer, 255);
    EXPECT_EQ(p[3].value.integer, 16);
    EXPECT_EQ(p[4].value.kind, LayoutValue::Number);
    EXPECT_DOUBLE_EQ(p[4].value.number, 0.5);
    EXPECT_EQ(p[5].value.text, "say \"hi\"\n");
    EXPECT_EQ(p[6].value.kind, LayoutValue::Identifier);
    EXPECT_EQ(p[7].value.items.size(), 2u);
    EXPECT_EQ(p[8].value.items[1].text, "b");
    EXPECT_TRUE(p[9].value.items.empty());
    EXPECT_EQ(p[10].name, "Font.Name");
}

TEST(LayoutParseTest, SyntaxErrorsNameTheLine) {
    struct Case {
        const char* text;
        const char* expected;
    };
    for (const Case& c : {
             Case{"object TForm F\n  A = \"open\nend\n", "layout line 2: a text is not closed"},
             Case{"object TForm F\n  A = [1, 2\nend\n", "layout line 2: a list is not closed"},
             Case{"object TForm F\n  A 12\nend\n", "layout line 2: '=' is expected"},
             Case{"  A = 1\n", "layout line 1: a property outside an object"},
             Case{"object TForm F\n  A = 1\n", "layout line 1: object \"F\" has no \"end\""},
             Case{"object TForm F\nobject TButton B\nend\n", "layout line 2: \"end\" is missing"},
             Case{"object TForm F\n  A = 99999999999\nend\n", "layout line 2: \"99999999999\" is not a number"},
         }) {
        try {
            ParseLayout(c.text);
            ADD_FAILURE() << "no error for: " << c.text;
        } catch (const LayoutError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
    }
}

TEST(LayoutParseTest, ListsNestDeepAsTheyMayAndNoDeeper) {
    auto nested = [](int depth) {
        return "object TForm F\n  A = " + std::string(static_cast<std::size_t>(depth), '[') +
               std::string(static_cast<std::size_t>(depth), ']') + "\nend\n";
    };
    EXPECT_NO_THROW(ParseLayout(nested(100)));
    // Every level is a call: tens of thousands once ran the stack out.
    for (int depth : {101, 30000}) {
        try {
            ParseLayout(nested(depth));
            ADD_FAILURE() << "no error at depth " << depth;
        } catch (const LayoutError& e) {
            EXPECT_STREQ(e.what(), "layout line 2: lists are nested more than 100 deep");
        }
    }
}

struct Loader {
    test::HeadlessBackend backend;
    test::ManualClock clock;
    Application app{backend, clock};
    ClassRegistry classes;
    HandlerTable handlers;
    int clicks = 0;

    Loader() {
        RegisterFrameworkClasses(classes);
        classes.Register("TMainForm", "TForm", nullptr);
        handlers.Add("ButtonClick", TNotifyEvent([this](TObject*) { ++clicks; }));
        handlers.Add("ButtonMouseDown", TMouseEvent([](TObject*, TMouseButton, TShiftState, int, int) {}));
    }

    void Load(TForm& form, const std::string& body) {
        LoadLayout("object TMainForm Main\n  ClientWidth = 300\n  ClientHeight = 200\nend\n" + body, form, "TMainForm", classes,
                   handlers);
    }
};

TEST(LayoutLoadTest, MakesComponentsInOrderWithPropertiesAndHandlers) {
    Loader l;
    TForm form(l.app);
    l.Load(form, R"(object TPanel Panel
  Parent = Main
  Left = 0
  Top = 20
  Width = 300
  Height = 180
  BevelOuter = bvNone
end
object TButton Go
  Parent = Panel
  Left = 10
  Top = 5
  Width = 80
  Height = 22
  Caption = "Zażółć"
  Font.Style = [fsBold]
  Font.Color = clRed
  OnClick = ButtonClick
end
object TTimer Ticker
  Interval = 7000
  Enabled = false
end
)");
    ASSERT_EQ(form.ComponentCount(), 3u);
    EXPECT_EQ(form.Component(0).Name(), "Panel");
    EXPECT_EQ(form.Component(2).Name(), "Ticker");
    auto& go = dynamic_cast<TButton&>(*form.FindComponent("Go"));
    EXPECT_EQ(go.Parent(), form.FindComponent("Panel"));
    EXPECT_EQ(go.BoundsRect(), TRect::FromSize(10, 5, 80, 22));
    EXPECT_EQ(go.WindowRect(), TRect::FromSize(10, 25, 80, 22));
    EXPECT_EQ(go.Caption(), "Zażółć");
    EXPECT_EQ(go.Font().Style(), static_cast<TFontStyles>(fsBold));
    EXPECT_EQ(go.Font().Color(), clRed);
    go.Click();
    EXPECT_EQ(l.clicks, 1);
    auto& ticker = dynamic_cast<TTimer&>(*form.FindComponent("Ticker"));
    EXPECT_EQ(ticker.Interval(), 7000u);
    EXPECT_FALSE(ticker.Enabled());
    EXPECT_FALSE(ticker.Loading()) << "loading has ended for every component";
    EXPECT_EQ(form.ClientWidth(), 300);
}

TEST(LayoutLoadTest, ErrorsNameWhatIsUnknown) {
    struct Case {
        const char* body;
        const char* expected;
    };
    for (const Case& c : {
             Case{"object TGizmo G\nend\n", "unknown class \"TGizmo\""},
             Case{"object TButton B\n  Colour = clRed\nend\n", "class TButton has no property \"Colour\""},
             Case{"object TButton B\n  OnClick = NoSuchHandler\nend\n", "unknown event handler \"NoSuchHandler\""},
             Case{"object TButton B\n  OnClick = ButtonMouseDown\nend\n", "event handler \"ButtonMouseDown\" does not fit"},
             Case{"object TButton B\n  Parent = Nowhere\nend\n", "unknown component \"Nowhere\""},
             Case{"object TButton B\n  Color = clPuce\nend\n", "unknown colour \"clPuce\""},
             Case{"object TButton B\n  Left = \"ten\"\nend\n", "B.Left: a whole number is expected"},
             Case{"object TButton B\nend\nobject TButton B\nend\n", "the name \"B\" is used twice"},
         }) {
        Loader l;
        TForm form(l.app);
        try {
            l.Load(form, c.body);
            ADD_FAILURE() << "no error for: " << c.body;
        } catch (const LayoutError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
        EXPECT_FALSE(l.backend.created) << "nothing is shown of a form that failed to load";
    }
}

// A parent chain that comes back to where it began would make every walk
// up it endless; only a control's own name can close one within a layout.
TEST(LayoutLoadTest, AControlAsItsOwnParentIsAnErrorNamingTheLine) {
    for (const auto& [text, expected] : std::initializer_list<std::pair<const char*, const char*>>{
             {"object TMainForm Main\n  Parent = Main\nend\n",
              "layout line 2: Main.Parent: \"Main\" cannot be placed inside itself"},
             {"object TMainForm Main\nend\nobject TPanel P\n  Parent = Main\n  Parent = P\nend\n",
              "layout line 5: P.Parent: \"P\" cannot be placed inside itself"},
         }) {
        Loader l;
        TForm form(l.app);
        try {
            LoadLayout(text, form, "TMainForm", l.classes, l.handlers);
            ADD_FAILURE() << "no error for: " << text;
        } catch (const LayoutError& e) {
            EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
        }
    }
}

TEST(LayoutLoadTest, TheFirstObjectMustBeTheForm) {
    Loader l;
    TForm form(l.app);
    EXPECT_THROW(LoadLayout("object TButton B\nend\n", form, "TMainForm", l.classes, l.handlers), LayoutError);
}

}  // namespace
}  // namespace vx
