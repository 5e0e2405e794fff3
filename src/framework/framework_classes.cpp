#include "framework/framework_classes.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>

#include "framework/form.h"
#include "framework/memo.h"
#include "framework/stdctrls.h"
#include "framework/timer.h"
#include "graphics/picture.h"

namespace vx {

void RegisterFrameworkClasses(ClassRegistry& classes) {
    classes.Register("TComponent", "", [](TComponent* owner) { return std::make_unique<TComponent>(owner); })
        .Int<TComponent>("Tag", [](TComponent& c, int v) { c.SetTag(v); });

    ClassInfo& control = classes.Register("TControl", "TComponent", nullptr);
    control.Int<TControl>("Left", [](TControl& c, int v) { c.SetLeft(v); })
        .Int<TControl>("Top", [](TControl& c, int v) { c.SetTop(v); })
        .Int<TControl>("Width", [](TControl& c, int v) { c.SetWidth(v); })
        .Int<TControl>("Height", [](TControl& c, int v) { c.SetHeight(v); })
        .Text<TControl>("Caption", [](TControl& c, const std::string& v) { c.SetCaption(v); })
        .Bool<TControl>("Visible", [](TControl& c, bool v) { c.SetVisible(v); })
        .Bool<TControl>("Enabled", [](TControl& c, bool v) { c.SetEnabled(v); })
        .Colour<TControl>("Color", [](TControl& c, TColor v) { c.SetColor(v); })
        .Enum<TControl, TCursor>("Cursor",
                                 {{"crDefault", crDefault},
                                  {"crArrow", crArrow},
                                  {"crCross", crCross},
                                  {"crIBeam", crIBeam},
                                  {"crHourGlass", crHourGlass},
                                  {"crNo", crNo},
                                  {"crSizeAll", crSizeAll},
                                  {"crHandPoint", crHandPoint}},
                                 [](TControl& c, TCursor v) { c.SetCursor(v); })
        .FontProperties<TControl>("Font", [](TControl& c) -> TFont& { return c.Font(); })
        .Handler<TControl, TNotifyEvent>("OnClick", [](TControl& c, TNotifyEvent e) { c.OnClick = std::move(e); })
        .Handler<TControl, TMouseEvent>("OnMouseDown", [](TControl& c, TMouseEvent e) { c.OnMouseDown = std::move(e); })
        .Handler<TControl, TMouseEvent>("OnMouseUp", [](TControl& c, TMouseEvent e) { c.OnMouseUp = std::move(e); })
        .Property<TControl>("Parent",
                            [](TControl& c, const LayoutValue& v, LayoutContext& ctx) {
                                auto* parent = dynamic_cast<TWinControl*>(&ctx.Component(v));
                                if (parent == nullptr) throw LayoutError("\"" + v.text + "\" cannot hold controls");
                                try {
                                    c.SetParent(parent);
                                } catch (const std::invalid_argument& e) {
                                    throw LayoutError(e.what());
                                }
                            })
        .Property<TControl>("StackBelow", [](TControl& c, const LayoutValue& v, LayoutContext& ctx) {
            auto* sibling = dynamic_cast<TControl*>(&ctx.Component(v));
            if (sibling == nullptr || sibling->Parent() != c.Parent() || sibling->IsWindowed() != c.IsWindowed()) {
                throw LayoutError("\"" + v.text + "\" is not a sibling of the same kind");
            }
            c.StackBelow(*sibling);
        });
    classes.Register("TGraphicControl", "TControl", nullptr);
    classes.Register("TWinControl", "TControl", nullptr);
    classes.Register("TCustomControl", "TWinControl", nullptr);

    classes.Register("TForm", "TWinControl", nullptr)
        .Int<TForm>("ClientWidth", [](TForm& f, int v) { f.SetClientWidth(v); })
        .Int<TForm>("ClientHeight", [](TForm& f, int v) { f.SetClientHeight(v); })
        .Enum<TForm, TFormBorderStyle>("BorderStyle",
                                       {{"bsNone", bsNone},
                                        {"bsSingle", bsSingle},
                                        {"bsSizeable", bsSizeable},
                                        {"bsDialog", bsDialog},
                                        {"bsToolWindow", bsToolWindow},
                                        {"bsSizeToolWin", bsSizeToolWin}},
                                       [](TForm& f, TFormBorderStyle v) { f.SetBorderStyle(v); })
        .Flags<TForm>(
            "BorderIcons",
            {{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize}, {"biMaximize", biMaximize}, {"biHelp", biHelp}},
            [](TForm& f, unsigned v) { f.SetBorderIcons(v); })
        .Enum<TForm, TPosition>("Position",
                                {{"poDesigned", poDesigned},
                                 {"poDefault", poDefault},
                                 {"poScreenCenter", poScreenCenter},
                                 {"poDesktopCenter", poDesktopCenter},
                                 {"poMainFormCenter", poMainFormCenter}},
                                [](TForm& f, TPosition v) { f.SetPosition(v); })
        .Property<TForm>("Icon", [](TForm& f, const LayoutValue& v, LayoutContext&) { f.SetIcon(LayoutContext::Picture(v)); });

    const std::map<std::string, TBevelCut> cuts = {
        {"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}, {"bvSpace", bvSpace}};
    classes.Register<TPanel>("TPanel", "TCustomControl")
        .Enum<TPanel, TBevelCut>("BevelOuter", cuts, [](TPanel& p, TBevelCut v) { p.SetBevelOuter(v); })
        .Enum<TPanel, TBevelCut>("BevelInner", cuts, [](TPanel& p, TBevelCut v) { p.SetBevelInner(v); });

    classes.Register<TMemo>("TMemo", "TCustomControl")
        .Bool<TMemo>("WordWrap", [](TMemo& m, bool v) { m.SetWordWrap(v); })
        .Bool<TMemo>("ReadOnly", [](TMemo& m, bool v) { m.SetReadOnly(v); })
        .Enum<TMemo, TBorderStyle>("BorderStyle", {{"bsNone", bsNoBorder}, {"bsSingle", bsSingleBorder}},
                                   [](TMemo& m, TBorderStyle v) { m.SetBorderStyle(v); })
        .Property<TMemo>("Lines", [](TMemo& m, const LayoutValue& v, LayoutContext&) {
            m.Lines().Clear();
            for (const std::string& line : LayoutContext::TextList(v)) m.Lines().Add(line);
        });

    classes.Register<TButton>("TButton", "TCustomControl");

    classes.Register<TTimer>("TTimer", "TComponent")
        .Int<TTimer>("Interval", [](TTimer& t, int v) { t.SetInterval(static_cast<unsigned>(std::max(v, 0))); })
        .Bool<TTimer>("Enabled", [](TTimer& t, bool v) { t.SetEnabled(v); })
        .Handler<TTimer, TNotifyEvent>("OnTimer", [](TTimer& t, TNotifyEvent e) { t.SetOnTimer(std::move(e)); });
}

}  // namespace vx
