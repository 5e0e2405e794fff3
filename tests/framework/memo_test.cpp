// The memo as a read-only edit box: caret keys, selection, copying, the
// wheel and the mouse. Row heights come from the font, so the tests hold
// with any face that resolves for "MS Sans Serif".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/form.h"
#include "framework/keys.h"
#include "framework/memo.h"
#include "support/headless.h"

namespace vx {
namespace {

struct MemoWindow {
    test::HeadlessBackend backend;
    test::ManualClock clock;
    Application app{backend, clock};
    TForm form{app};
    TMemo& memo = form.Make<TMemo>();

    // visibleRows rows fit; WordWrap off keeps the rows equal to the lines.
    explicit MemoWindow(const std::vector<std::string>& lines, int visibleRows = 3) {
        form.SetBounds(0, 0, 300, 200);
        memo.SetParent(&form);
        memo.SetBorderStyle(bsNoBorder);
        memo.SetWordWrap(false);
        memo.SetReadOnly(true);
        memo.SetBounds(10, 10, 250, visibleRows * memo.RowHeight() + memo.RowHeight() / 2);
        for (const std::string& line : lines) memo.Lines().Add(line);
        form.ShowWindow();
        memo.SetFocus();
        memo.SetSelStart(0);
    }
    void Key(int key, TShiftState shift = 0) {
        WindowEvent e{WindowEvent::KeyDown};
        e.key = key;
        e.shift = shift;
        backend.queue.push_back(e);
        e.kind = WindowEvent::KeyUp;
        backend.queue.push_back(e);
        app.ProcessMessages();
    }
    void Wheel(int delta) {
        WindowEvent e{WindowEvent::MouseWheel, 20, 15};
        e.wheelDelta = delta;
        backend.queue.push_back(e);
        app.ProcessMessages();
    }
    // A point in a row on screen (0: the top one shown), in window coordinates.
    TPoint RowPoint(int shownRow, int x = 2) const {
        return TPoint{10 + 1 + x, 10 + shownRow * const_cast<TMemo&>(memo).RowHeight() + 2};
    }
};

std::vector<std::string> TenLines() {
    std::vector<std::string> lines;
    for (int i = 0; i < 10; ++i) lines.push_back("line " + std::to_string(i));
    return lines;
}

TEST(MemoKeysTest, CaretKeysMoveAndShiftSelects) {
    // "alpha beta" 0..10, break, "" at 12, break, "gamma" 14..19.
    const std::vector<std::string> lines{"alpha beta", "", "gamma"};
    struct Case {
        const char* name;
        int from;
        int key;
        TShiftState shift;
        int selStart;
        int selLength;
    };
    const Case cases[] = {
        {"right over a line break", 10, vkRight, 0, 12, 0},
        {"left over a line break", 12, vkLeft, 0, 10, 0},
        {"left at the start", 0, vkLeft, 0, 0, 0},
        {"right at the end", 19, vkRight, 0, 19, 0},
        {"down to an empty line", 0, vkDown, 0, 12, 0},
        {"up on the first row", 3, vkUp, 0, 3, 0},
        {"down on the last row", 16, vkDown, 0, 16, 0},
        {"end of the row", 2, vkEnd, 0, 10, 0},
        {"home of the row", 16, vkHome, 0, 14, 0},
        {"ctrl+end", 2, vkEnd, ssCtrl, 19, 0},
        {"ctrl+home", 16, vkHome, ssCtrl, 0, 0},
        {"ctrl+right to the next word", 0, vkRight, ssCtrl, 6, 0},
        {"ctrl+right over the line breaks", 6, vkRight, ssCtrl, 14, 0},
        {"ctrl+left to the word's start", 8, vkLeft, ssCtrl, 6, 0},
        {"shift+end selects to the row's end", 0, vkEnd, ssShift, 0, 10},
        {"shift+left selects backwards", 3, vkLeft, ssShift, 2, 1},
        {"shift+ctrl+home", 16, vkHome, ssShift | ssCtrl, 0, 16},
        {"a letter changes nothing", 4, 'X', 0, 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoWindow w(lines);
        w.memo.SetSelStart(c.from);
        w.Key(c.key, c.shift);
        EXPECT_EQ(w.memo.SelStart(), c.selStart);
        EXPECT_EQ(w.memo.SelLength(), c.selLength);
        EXPECT_EQ(w.memo.Lines().Items(), lines);
    }
}

TEST(MemoKeysTest, SelectionIsCopiedWithTheDesktopsLineBreaks) {
    MemoWindow w({"alpha beta", "", "gamma"});
    w.memo.SetSelStart(6);
    w.Key(vkEnd, ssShift | ssCtrl);
    EXPECT_EQ(w.memo.SelText(), "beta\r\n\r\ngamma");
    w.Key('C', ssCtrl);
    EXPECT_EQ(w.backend.clipboard, "beta\n\ngamma");
    w.backend.clipboard.clear();
    w.Key(vkInsert, ssCtrl);
    EXPECT_EQ(w.backend.clipboard, "beta\n\ngamma") << "Ctrl+Insert copies too";
    w.backend.clipboard = "untouched";
    w.Key(vkHome, ssCtrl);
    w.Key('C', ssCtrl);
    EXPECT_EQ(w.backend.clipboard, "untouched") << "nothing selected, nothing copied";
    MemoWindow polish({"zażółć gęślą"});
    polish.memo.SetSelStart(2);
    polish.Key(vkRight, ssShift | ssCtrl);
    EXPECT_EQ(polish.memo.SelText(), "żółć ") << "offsets count characters, not bytes";
}

TEST(MemoScrollTest, WheelPagesAndCaretKeysScrollTheView) {
    struct Case {
        const char* name;
        int wheelLines;
        std::vector<int> wheel;  // deltas
        std::vector<int> keys;   // after the wheel, from the caret at 0
        int topRow;
        int selStart;
    };
    // Ten rows, three shown: the view's top goes from 0 to 7.
    const Case cases[] = {
        {"a notch down scrolls three rows", 3, {-120}, {}, 3, 0},
        {"the wheel stops with the last row at the bottom", 3, {-120, -120, -120, -120}, {}, 7, 0},
        {"a notch up", 3, {-120, -120, 120}, {}, 3, 0},
        {"half notches add up", 3, {-60, -60}, {}, 3, 0},
        {"the desktop's setting", 1, {-120}, {}, 1, 0},
        {"a page a notch", kWheelScrollPage, {-120}, {}, 3, 0},
        {"page down moves view and caret", 3, {}, {vkNext}, 3, 24},
        {"page down twice, then up", 3, {}, {vkNext, vkNext, vkPrior}, 3, 24},
        {"down past the bottom scrolls a row", 3, {}, {vkDown, vkDown, vkDown}, 1, 24},
        {"ctrl+end shows the last row", 3, {}, {vkEnd | 0x1000}, 7, 78},
        {"ctrl+home after the wheel shows the first", 3, {-120, -120}, {vkHome | 0x1000}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoWindow w(TenLines());
        ASSERT_EQ(w.memo.VisibleRowCount(), 3);
        w.backend.wheelScrollLines = c.wheelLines;
        for (int delta : c.wheel) w.Wheel(delta);
        for (int key : c.keys) w.Key(key & 0xFFF, (key & 0x1000) != 0 ? TShiftState{ssCtrl} : TShiftState{0});
        EXPECT_EQ(w.memo.TopRow(), c.topRow);
        EXPECT_EQ(w.memo.SelStart(), c.selStart);
    }
}

TEST(MemoMouseTest, AClickFocusesAndPlacesTheCaretADragOrShiftClickSelects) {
    MemoWindow w(TenLines());
    w.memo.SetFocus();
    w.form.SetActiveControl(nullptr);
    ASSERT_FALSE(w.memo.Focused());
    // The wheel over an unfocused memo scrolls it too.
    w.Wheel(-120);
    EXPECT_EQ(w.memo.TopRow(), 3);

    const TPoint row1 = w.RowPoint(1, 0);  // "line 4" at its start
    w.backend.Click(row1.X, row1.Y);
    w.app.ProcessMessages();
    EXPECT_TRUE(w.memo.Focused());
    EXPECT_EQ(w.memo.SelStart(), 4 * 8);
    EXPECT_EQ(w.memo.SelLength(), 0);

    // Dragging to the next row's start selects the row and its line break.
    const TPoint row2 = w.RowPoint(2, 0);
    w.backend.queue.push_back(WindowEvent{WindowEvent::MouseDown, row1.X, row1.Y, mbLeft, 0});
    w.backend.queue.push_back(WindowEvent{WindowEvent::MouseMove, row2.X, row2.Y, mbLeft, ssLeft});
    w.backend.queue.push_back(WindowEvent{WindowEvent::MouseUp, row2.X, row2.Y, mbLeft, 0});
    w.app.ProcessMessages();
    EXPECT_EQ(w.memo.SelText(), "line 4\r\n");

    // Shift and a click on the top row extend from the anchor backwards.
    const TPoint row0 = w.RowPoint(0, 0);
    w.backend.queue.push_back(WindowEvent{WindowEvent::MouseDown, row0.X, row0.Y, mbLeft, ssShift});
    w.backend.queue.push_back(WindowEvent{WindowEvent::MouseUp, row0.X, row0.Y, mbLeft, ssShift});
    w.app.ProcessMessages();
    EXPECT_EQ(w.memo.SelText(), "line 3\r\n");

    // Dragging above the text scrolls it back a row at a time.
    w.backend.queue.push_back(WindowEvent{WindowEvent::MouseDown, row0.X, row0.Y, mbLeft, 0});
    w.backend.queue.push_back(WindowEvent{WindowEvent::MouseMove, row0.X, 5, mbLeft, ssLeft});
    w.backend.queue.push_back(WindowEvent{WindowEvent::MouseUp, row0.X, 5, mbLeft, 0});
    w.app.ProcessMessages();
    EXPECT_EQ(w.memo.TopRow(), 2);
}

TEST(MemoWrapTest, WrappedRowsKeepTheirOffsetsAcrossTheBreakingSpace) {
    MemoWindow w({});
    w.memo.SetWordWrap(true);
    // Two words that cannot share a row: the space between them belongs to
    // neither row's text.
    const std::string first(8, 'm');
    const std::string second(8, 'w');
    w.memo.SetWidth(w.app.Fonts().Face(w.memo.Font()).Extent(first + " ").cx + 4);
    w.memo.Lines().Add(first + " " + second);
    ASSERT_EQ(w.memo.VisualRows(), (std::vector<std::string>{first, second}));
    w.memo.SetSelStart(0);
    w.Key(vkEnd);
    EXPECT_EQ(w.memo.SelStart(), 8) << "the first row's end";
    w.Key(vkDown);
    w.Key(vkHome);
    EXPECT_EQ(w.memo.SelStart(), 9) << "the second row starts after the space";
    w.Key(vkEnd, ssShift);
    EXPECT_EQ(w.memo.SelText(), second);
}

TEST(MemoPaintTest, TheCaretAndTheSelectionShowOnlyWithTheFocus) {
    MemoWindow w({"line 0"});
    w.memo.SetColor(clNavy);
    w.memo.Font().SetColor(clYellow);
    w.memo.SetSelStart(6);
    const int caretX = 10 + 1 + w.app.Fonts().Face(w.memo.Font()).Extent("line 0").cx;
    const int rowBottom = 10 + w.memo.RowHeight() - 1;
    w.form.PaintAll();
    EXPECT_EQ(w.form.Image().GetPixel(caretX, rowBottom), clYellow) << "the caret at the row's end";
    w.memo.SetSelStart(0);
    w.memo.SetSelLength(6);
    w.form.PaintAll();
    EXPECT_EQ(w.form.Image().GetPixel(12, rowBottom), ColorToRGB(clHighlight)) << "the selection's band";
    w.form.SetActiveControl(nullptr);
    w.form.PaintAll();
    EXPECT_EQ(w.form.Image().GetPixel(12, rowBottom), clNavy) << "no selection without the focus";
    EXPECT_EQ(w.form.Image().GetPixel(caretX, rowBottom), clNavy) << "no caret without the focus";
}

}  // namespace
}  // namespace vx
