// Stacking, painting order, clipping and pointer routing of controls.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "framework/application.h"
#include "framework/form.h"
#include "framework/memo.h"
#include "framework/stdctrls.h"
#include "support/headless.h"

namespace vx {
namespace {

// A windowless control that fills itself with one colour and records input.
class Swatch : public TGraphicControl {
public:
    explicit Swatch(TComponent* owner) : TGraphicControl(owner) {}
    TColor fill = clRed;
    std::vector<std::string> log;
    void Paint(Canvas& canvas) override { canvas.FillRect(ClientRect(), fill); }
    void MouseEnter() override { log.push_back("enter"); }
    void MouseLeave() override { log.push_back("leave"); }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        TGraphicControl::MouseDown(b, s, x, y);
        log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    }
    void Click() override {
        TGraphicControl::Click();
        log.push_back("click");
    }
};

struct Window {
    test::HeadlessBackend backend;
    test::ManualClock clock;
    Application app{backend, clock};
    TForm form{app};

    Window() { form.SetBounds(0, 0, 100, 100); }

    template <class T>
    T& Add(TWinControl& parent, TRect bounds) {
        T& c = form.Make<T>();
        c.SetParent(&parent);
        c.SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        return c;
    }
    TColor At(int x, int y) { return form.Image().GetPixel(x, y); }
};

TEST(StackingTest, ChildWindowsLieAboveWindowlessControlsMadeLater) {
    Window w;
    TPanel& panel = w.Add<TPanel>(w.form, TRect{10, 10, 50, 50});
    panel.SetBevelOuter(bvNone);
    panel.SetColor(clBlue);
    Swatch& later = w.Add<Swatch>(w.form, TRect{0, 0, 30, 30});
    w.form.ShowWindow();
    EXPECT_EQ(w.At(5, 5), clRed);
    EXPECT_EQ(w.At(20, 20), clBlue) << "the panel covers the windowless control made after it";
    EXPECT_EQ(w.form.Controls().back(), &panel);
    (void)later;
}

TEST(StackingTest, DrawNowIsClippedByChildWindowsAbove) {
    Window w;
    Swatch& swatch = w.Add<Swatch>(w.form, TRect{0, 0, 30, 30});
    TPanel& panel = w.Add<TPanel>(w.form, TRect{10, 10, 50, 50});
    panel.SetBevelOuter(bvNone);
    panel.SetColor(clBlue);
    w.form.ShowWindow();
    swatch.fill = clLime;
    swatch.DrawNow();
    EXPECT_EQ(w.At(5, 5), clLime);
    EXPECT_EQ(w.At(20, 20), clBlue);
    Region visible = swatch.VisibleRegion();
    EXPECT_TRUE(visible.Contains(5, 25));
    EXPECT_FALSE(visible.Contains(15, 15));
}

TEST(StackingTest, StackBelowMovesAControlUnderASibling) {
    Window w;
    Swatch& bar = w.Add<Swatch>(w.form, TRect{0, 0, 20, 20});
    Swatch& shadow = w.Add<Swatch>(w.form, TRect{0, 0, 25, 25});
    bar.fill = clLime;
    shadow.fill = clGray;
    shadow.StackBelow(bar);
    w.form.ShowWindow();
    EXPECT_EQ(w.At(5, 5), clLime);
    EXPECT_EQ(w.At(22, 22), clGray);
}

TEST(ParentTest, AParentChainNeverComesBackToTheControl) {
    Window w;
    TPanel& outer = w.Add<TPanel>(w.form, TRect{0, 0, 50, 50});
    TPanel& middle = w.Add<TPanel>(outer, TRect{0, 0, 40, 40});
    TPanel& inner = w.Add<TPanel>(middle, TRect{0, 0, 30, 30});
    for (TWinControl* into : std::initializer_list<TWinControl*>{&outer, &middle, &inner}) {
        EXPECT_THROW(outer.SetParent(into), std::invalid_argument);
    }
    EXPECT_THROW(w.form.SetParent(&inner), std::invalid_argument);
    EXPECT_EQ(outer.Parent(), &w.form) << "a refused parent leaves the control where it was";
    EXPECT_TRUE(inner.Showing());
    EXPECT_EQ(inner.ParentForm(), &w.form);
}

TEST(StackingTest, InvalidateRepaintsOnlyThePendingArea) {
    Window w;
    Swatch& a = w.Add<Swatch>(w.form, TRect{0, 0, 10, 10});
    Swatch& b = w.Add<Swatch>(w.form, TRect{20, 0, 30, 10});
    w.form.ShowWindow();
    a.fill = clLime;
    b.fill = clLime;
    a.Invalidate();
    w.app.ProcessMessages();
    EXPECT_EQ(w.At(5, 5), clLime);
    EXPECT_EQ(w.At(25, 5), clRed) << "b was not invalidated";
    EXPECT_TRUE(w.backend.presented.Contains(5, 5));
}

TEST(PointerTest, ClickIsALeftPressAndReleaseOnTheControl) {
    struct Case {
        const char* name;
        std::vector<WindowEvent> events;
        bool clicked;
    };
    using E = WindowEvent;
    std::vector<Case> cases = {
        {"press and release inside", {{E::MouseDown, 5, 5, mbLeft}, {E::MouseUp, 6, 6, mbLeft}}, true},
        {"dragged off before release",
         {{E::MouseDown, 5, 5, mbLeft}, {E::MouseMove, 50, 50}, {E::MouseUp, 50, 50, mbLeft}},
         false},
        {"dragged off and back", {{E::MouseDown, 5, 5, mbLeft}, {E::MouseMove, 50, 50}, {E::MouseUp, 8, 8, mbLeft}}, true},
        {"right button", {{E::MouseDown, 5, 5, mbRight}, {E::MouseUp, 5, 5, mbRight}}, false},
        {"pressed elsewhere, released here", {{E::MouseDown, 50, 50, mbLeft}, {E::MouseUp, 5, 5, mbLeft}}, false},
    };
    for (const Case& c : cases) {
        Window w;
        Swatch& s = w.Add<Swatch>(w.form, TRect{0, 0, 20, 20});
        int clicks = 0;
        s.OnClick = [&](TObject*) { ++clicks; };
        w.form.ShowWindow();
        for (const WindowEvent& e : c.events) w.backend.queue.push_back(e);
        w.app.ProcessMessages();
        EXPECT_EQ(clicks, c.clicked ? 1 : 0) << c.name;
    }
}

TEST(PointerTest, MouseDownEventComesFirstWithLocalCoordinatesForAnyButton) {
    Window w;
    TPanel& panel = w.Add<TPanel>(w.form, TRect{10, 10, 90, 90});
    Swatch& s = w.Add<Swatch>(panel, TRect{5, 5, 25, 25});
    std::vector<std::string> order;
    s.OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int x, int y) {
        order.push_back("event " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    w.form.ShowWindow();
    w.backend.queue.push_back({WindowEvent::MouseDown, 17, 18, mbRight});
    w.backend.queue.push_back({WindowEvent::MouseUp, 17, 18, mbRight});
    w.app.ProcessMessages();
    ASSERT_EQ(order.size(), 1u);
    EXPECT_EQ(order[0], "event 1 2,3");
    EXPECT_EQ(s.log.back(), "down 2,3");
}

TEST(PointerTest, DisabledWindowlessControlLetsThePointerThroughButGetsEnterAndLeave) {
    Window w;
    Swatch& below = w.Add<Swatch>(w.form, TRect{0, 0, 40, 40});
    Swatch& above = w.Add<Swatch>(w.form, TRect{0, 0, 20, 20});
    above.SetEnabled(false);
    above.SetCursor(crHandPoint);
    w.form.ShowWindow();
    w.backend.Click(5, 5);
    w.backend.queue.push_back({WindowEvent::MouseMove, 30, 30});
    w.app.ProcessMessages();
    EXPECT_EQ(above.log, (std::vector<std::string>{"enter", "leave"}));
    EXPECT_NE(std::find(below.log.begin(), below.log.end(), "click"), below.log.end());
    EXPECT_EQ(w.backend.cursor, crDefault) << "a disabled control does not set the pointer shape";
}

TEST(PointerTest, CursorComesFromTheControlUnderThePointer) {
    Window w;
    Swatch& link = w.Add<Swatch>(w.form, TRect{0, 0, 20, 20});
    link.SetCursor(crHandPoint);
    w.form.ShowWindow();
    w.backend.queue.push_back({WindowEvent::MouseMove, 5, 5});
    w.app.ProcessMessages();
    EXPECT_EQ(w.backend.cursor, crHandPoint);
    w.backend.queue.push_back({WindowEvent::MouseMove, 50, 50});
    w.app.ProcessMessages();
    EXPECT_EQ(w.backend.cursor, crDefault);
}

TEST(MemoTest, AddingLinesFollowsTheCaretAndSelStartZeroScrollsBack) {
    Window w;
    TMemo& memo = w.Add<TMemo>(w.form, TRect{0, 0, 90, 30});
    memo.SetBorderStyle(bsNoBorder);
    w.form.ShowWindow();
    int visible = memo.VisibleRowCount();
    ASSERT_GE(visible, 1);
    for (int i = 0; i < visible + 3; ++i) memo.Lines().Add("line " + std::to_string(i));
    EXPECT_EQ(memo.TopRow(), 3) << "the view follows the caret to the last line";
    memo.SetSelStart(0);
    memo.SetSelLength(0);
    EXPECT_EQ(memo.TopRow(), 0);
    memo.Clear();
    EXPECT_EQ(memo.Lines().Count(), 0u);
    EXPECT_EQ(memo.TopRow(), 0);
}

TEST(MemoTest, LongLinesWrapToTheWidth) {
    Window w;
    TMemo& memo = w.Add<TMemo>(w.form, TRect{0, 0, 90, 60});
    w.form.ShowWindow();
    memo.Lines().Add("Polecam także od czasu do czasu wykonywać defragmentację dysku!");
    std::vector<std::string> rows = memo.VisualRows();
    EXPECT_GT(rows.size(), 2u);
    for (const std::string& row : rows) EXPECT_FALSE(row.empty());
    memo.SetWordWrap(false);
    EXPECT_EQ(memo.VisualRows().size(), 1u);
}

TEST(ButtonTest, PressedLookOnlyWhileInsideAndClickOnRelease) {
    Window w;
    TButton& button = w.Add<TButton>(w.form, TRect{0, 0, 40, 20});
    int clicks = 0;
    button.OnClick = [&](TObject*) {
        EXPECT_FALSE(button.Pressed()) << "the button is drawn released before its click runs";
        ++clicks;
    };
    w.form.ShowWindow();
    w.form.HandleMouseDown(mbLeft, 0, 5, 5);
    EXPECT_TRUE(button.Pressed());
    w.form.HandleMouseMove(ssLeft, 60, 60);
    EXPECT_FALSE(button.Pressed());
    w.form.HandleMouseMove(ssLeft, 6, 6);
    EXPECT_TRUE(button.Pressed());
    w.form.HandleMouseUp(mbLeft, 0, 6, 6);
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace vx
