#include "widgets/register_widgets.h"

#include <cstdint>
#include <limits>

#include "graphics/picture.h"
#include "widgets/digits.h"
#include "widgets/hint.h"
#include "widgets/label.h"
#include "widgets/pro_image.h"
#include "widgets/progress.h"
#include "widgets/shadow.h"
#include "widgets/speed_button.h"
#include "widgets/status_led.h"
#include "widgets/wizard_header.h"

namespace vx {

namespace {

// ---------------------------------------------------------------- value names

const std::map<std::string, TBevelCut> kBevelCuts = {
    {"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}, {"bvSpace", bvSpace}};
const std::map<std::string, unsigned> kBevelSides = {
    {"fsdLeft", fsdLeft}, {"fsdTop", fsdTop}, {"fsdRight", fsdRight}, {"fsdBottom", fsdBottom}};
const std::map<std::string, TAlignment> kAlignments = {
    {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}};
const std::map<std::string, TglGradientDir> kGradientDirs = {
    {"fgdHorizontal", fgdHorizontal},        {"fgdVertical", fgdVertical},   {"fgdLeftBias", fgdLeftBias},
    {"fgdRightBias", fgdRightBias},          {"fgdRectangle", fgdRectangle}, {"fgdHorzConvergent", fgdHorzConvergent},
    {"fgdVertConvergent", fgdVertConvergent}};
const std::map<std::string, TglTextStyle> kTextStyles = {{"fstNone", fstNone},         {"fstRaised", fstRaised},
                                                         {"fstRecessed", fstRecessed}, {"fstPushed", fstPushed},
                                                         {"fstShadow", fstShadow},     {"fstVolumetric", fstVolumetric}};
const std::map<std::string, TglLabelDir> kLabelDirs = {
    {"fldLeftRight", fldLeftRight}, {"fldRightLeft", fldRightLeft}, {"fldUpDown", fldUpDown}, {"fldDownUp", fldDownUp}};
const std::map<std::string, TPenStyle> kPenStyles = {{"psSolid", psSolid},
                                                     {"psDash", psDash},
                                                     {"psDot", psDot},
                                                     {"psDashDot", psDashDot},
                                                     {"psDashDotDot", psDashDotDot},
                                                     {"psClear", psClear},
                                                     {"psInsideFrame", psInsideFrame}};
const std::map<std::string, TBrushStyle> kBrushStyles = {{"bsSolid", bsSolid}, {"bsClear", bsClear}};

// ---------------------------------------------------------------- checked numbers

template <class T>
T Checked(long long value) {
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
        throw LayoutError("the number " + std::to_string(value) + " is out of range (" +
                          std::to_string(std::numeric_limits<T>::min()) + " to " + std::to_string(std::numeric_limits<T>::max()) +
                          ")");
    }
    return static_cast<T>(value);
}

// A property holding a number of type T, range-checked.
template <class C, class T>
void Number(ClassInfo& info, const std::string& name, std::function<void(C&, T)> set) {
    info.Property<C>(name, [set](C& c, const LayoutValue& v, LayoutContext&) { set(c, Checked<T>(LayoutContext::Integer(v))); });
}

// A picture named by the layout. A damaged picture becomes a layout error,
// so the message at start names the line and the property as well.
Bitmap LayoutPicture(const LayoutValue& value) {
    try {
        return LayoutContext::Picture(value);
    } catch (const PictureError& e) {
        throw LayoutError(e.what());
    }
}

// ---------------------------------------------------------------- shared groups

template <class C>
void GradientProperties(ClassInfo& info, const std::string& prefix, std::function<TGradient&(C&)> gradient) {
    info.Bool<C>(prefix + ".Active", [gradient](C& c, bool v) { gradient(c).SetActive(v); })
        .template Enum<C, TglGradientDir>(prefix + ".Orientation", kGradientDirs,
                                          [gradient](C& c, TglGradientDir v) { gradient(c).SetOrientation(v); })
        .template Colour<C>(prefix + ".FromColor", [gradient](C& c, TColor v) { gradient(c).SetFromColor(v); })
        .template Colour<C>(prefix + ".ToColor", [gradient](C& c, TColor v) { gradient(c).SetToColor(v); })
        .template Int<C>(prefix + ".Steps", [gradient](C& c, int v) { gradient(c).SetSteps(v); })
        .template Bool<C>(prefix + ".BufferedDraw", [gradient](C& c, bool v) { gradient(c).SetBufferedDraw(v); })
        .template Enum<C, TBrushStyle>(prefix + ".BrushStyle", kBrushStyles,
                                       [gradient](C& c, TBrushStyle v) { gradient(c).SetBrushStyle(v); });
    Number<C, std::uint8_t>(info, prefix + ".PercentFilling",
                            [gradient](C& c, std::uint8_t v) { gradient(c).SetPercentFilling(v); });
}

template <class C>
void BevelProperties(ClassInfo& info, const std::string& prefix, std::function<TglBevel&(C&)> bevel) {
    info.Enum<C, TBevelCut>(prefix + ".Outer", kBevelCuts, [bevel](C& c, TBevelCut v) { bevel(c).SetOuter(v); })
        .template Enum<C, TBevelCut>(prefix + ".Inner", kBevelCuts, [bevel](C& c, TBevelCut v) { bevel(c).SetInner(v); })
        .template Bool<C>(prefix + ".Bold", [bevel](C& c, bool v) { bevel(c).SetBold(v); })
        .template Flags<C>(prefix + ".Sides", kBevelSides, [bevel](C& c, unsigned v) { bevel(c).SetSides(v); });
}

template <class C>
void ButtonStyleProperties(ClassInfo& info, const std::string& prefix, std::function<TglSpeedButtonStyle&(C&)> style) {
    info.Colour<C>(prefix + ".Color", [style](C& c, TColor v) { style(c).SetColor(v); })
        .template Colour<C>(prefix + ".DelineateColor", [style](C& c, TColor v) { style(c).SetDelineateColor(v); })
        .template Enum<C, TglTextStyle>(prefix + ".TextStyle", kTextStyles,
                                        [style](C& c, TglTextStyle v) { style(c).SetTextStyle(v); })
        .template FontProperties<C>(prefix + ".Font", [style](C& c) -> TFont& { return style(c).Font(); });
    BevelProperties<C>(info, prefix + ".Bevel", [style](C& c) -> TglBevel& { return style(c).Bevel(); });
    GradientProperties<C>(info, prefix + ".Gradient", [style](C& c) -> TGradient& { return style(c).Gradient(); });
    GradientProperties<C>(info, prefix + ".TextGradient", [style](C& c) -> TGradient& { return style(c).TextGradient(); });
}

template <class C>
void ShadowStyleProperties(ClassInfo& info, const std::string& prefix, std::function<TglShadowStyle&(C&)> style) {
    info.Enum<C, TBevelCut>(prefix + ".Inner", kBevelCuts, [style](C& c, TBevelCut v) { style(c).SetInner(v); })
        .template Enum<C, TBevelCut>(prefix + ".Outer", kBevelCuts, [style](C& c, TBevelCut v) { style(c).SetOuter(v); })
        .template Bool<C>(prefix + ".Bold", [style](C& c, bool v) { style(c).SetBold(v); })
        .template Flags<C>(prefix + ".Sides", kBevelSides, [style](C& c, unsigned v) { style(c).SetSides(v); })
        .template Colour<C>(prefix + ".HighlightColor", [style](C& c, TColor v) { style(c).SetHighlightColor(v); })
        .template Colour<C>(prefix + ".ShadowColor", [style](C& c, TColor v) { style(c).SetShadowColor(v); })
        .template Colour<C>(prefix + ".BackgroundColor", [style](C& c, TColor v) { style(c).SetBackgroundColor(v); })
        .template Colour<C>(prefix + ".TextColor", [style](C& c, TColor v) { style(c).SetTextColor(v); });
}

// ---------------------------------------------------------------- classes

void RegisterDigits(ClassRegistry& classes) {
    using D = TglDigits;
    ClassInfo& info = classes.Register<D>("TglDigits", "TGraphicControl");
    info.Int<D>("DigitSize.X", [](D& d, int v) { d.DigitSize().SetX(v); })
        .Int<D>("DigitSize.Y", [](D& d, int v) { d.DigitSize().SetY(v); })
        .Colour<D>("ActiveColor", [](D& d, TColor v) { d.SetActiveColor(v); })
        .Colour<D>("PassiveColor", [](D& d, TColor v) { d.SetPassiveColor(v); })
        .Colour<D>("BackgrColor", [](D& d, TColor v) { d.SetBackgrColor(v); })
        .Bool<D>("Transparent", [](D& d, bool v) { d.SetTransparent(v); })
        .Enum<D, TAlignment>("Alignment", kAlignments, [](D& d, TAlignment v) { d.SetAlignment(v); })
        .Int<D>("InsertSpSymbolAt", [](D& d, int v) { d.SetInsertSpSymbolAt(v); })
        .Enum<D, TPenStyle>("PenStyle", kPenStyles, [](D& d, TPenStyle v) { d.SetPenStyle(v); })
        .Enum<D, TSpSymbol>("SpecialSymbol",
                            {{"ssNone", ssNone}, {"ssColon", ssColon}, {"ssSlash", ssSlash}, {"ssBackslash", ssBackslash}},
                            [](D& d, TSpSymbol v) { d.SetSpecialSymbol(v); })
        .Int<D>("DigitCount", [](D& d, int v) { d.SetDigitCount(v); })
        .Bool<D>("Bevel.Active", [](D& d, bool v) { d.Bevel().SetActive(v); })
        .Enum<D, TPenStyle>("Bevel.BevelPenStyle", kPenStyles, [](D& d, TPenStyle v) { d.Bevel().SetBevelPenStyle(v); });
    Number<D, std::uint16_t>(info, "Positions", [](D& d, std::uint16_t v) { d.SetPositions(v); });
    Number<D, std::uint16_t>(info, "PenWidth", [](D& d, std::uint16_t v) { d.SetPenWidth(v); });
    Number<D, std::uint16_t>(info, "Gap", [](D& d, std::uint16_t v) { d.SetGap(v); });
    Number<D, std::uint16_t>(info, "Interspace", [](D& d, std::uint16_t v) { d.SetInterspace(v); });
    Number<D, std::uint16_t>(info, "InteriorOffset", [](D& d, std::uint16_t v) { d.SetInteriorOffset(v); });
    Number<D, std::uint16_t>(info, "Bevel.BevelPenWidth", [](D& d, std::uint16_t v) { d.Bevel().SetBevelPenWidth(v); });
    Number<D, std::uint16_t>(info, "Bevel.InteriorOffset", [](D& d, std::uint16_t v) { d.Bevel().SetInteriorOffset(v); });
    BevelProperties<D>(info, "Bevel", [](D& d) -> TglBevel& { return d.Bevel(); });
    GradientProperties<D>(info, "Gradient", [](D& d) -> TGradient& { return d.Gradient(); });
}

void RegisterProgress(ClassRegistry& classes) {
    using P = TglProgress;
    ClassInfo& info = classes.Register<P>("TglProgress", "TGraphicControl");
    info.Enum<P, TBevelCut>("BevelOuter", kBevelCuts, [](P& p, TBevelCut v) { p.SetBevelOuter(v); })
        .Enum<P, TBevelCut>("BevelInner", kBevelCuts, [](P& p, TBevelCut v) { p.SetBevelInner(v); })
        .Bool<P>("BevelBold", [](P& p, bool v) { p.SetBevelBold(v); })
        .Colour<P>("Colors.Delineate", [](P& p, TColor v) { p.Colors().SetDelineate(v); })
        .Colour<P>("Colors.Shadow", [](P& p, TColor v) { p.Colors().SetShadow(v); })
        .Colour<P>("Colors.Background", [](P& p, TColor v) { p.Colors().SetBackground(v); })
        .Colour<P>("Colors.Highlight", [](P& p, TColor v) { p.Colors().SetHighlight(v); })
        .Enum<P, TAlignment>("CaptionAlignment", kAlignments, [](P& p, TAlignment v) { p.SetCaptionAlignment(v); })
        .Enum<P, TglLabelDir>("CaptionDirection", kLabelDirs, [](P& p, TglLabelDir v) { p.SetCaptionDirection(v); })
        .Enum<P, TglTextStyle>("CaptionStyle", kTextStyles, [](P& p, TglTextStyle v) { p.SetCaptionStyle(v); })
        .Int<P>("Step", [](P& p, int v) { p.SetStep(v); })
        .Int<P>("Interspace", [](P& p, int v) { p.SetInterspace(v); })
        .Flags<P>("Options", {{"fpoDelineatedText", fpoDelineatedText}, {"fpoTransparent", fpoTransparent}},
                  [](P& p, unsigned v) { p.SetOptions(v); });
    Number<P, std::uint8_t>(info, "Percent", [](P& p, std::uint8_t v) { p.SetPercent(v); });
    GradientProperties<P>(info, "Gradient", [](P& p) -> TGradient& { return p.Gradient(); });
    GradientProperties<P>(info, "GradientBack", [](P& p) -> TGradient& { return p.GradientBack(); });
}

void RegisterStatusLed(ClassRegistry& classes) {
    using L = TStatusLed;
    ClassInfo& info = classes.Register<L>("TStatusLed", "TGraphicControl");
    info.Bool<L>("LedisOn", [](L& l, bool v) { l.SetLedisOn(v); })
        .Colour<L>("LedOnColor", [](L& l, TColor v) { l.SetLedOnColor(v); })
        .Colour<L>("LedOffColor", [](L& l, TColor v) { l.SetLedOffColor(v); })
        .Colour<L>("LedShadow", [](L& l, TColor v) { l.SetLedShadow(v); })
        .Bool<L>("Blinking", [](L& l, bool v) { l.SetBlinking(v); });
    Number<L, unsigned>(info, "Interval", [](L& l, unsigned v) { l.SetInterval(v); });
}

void RegisterLabel(ClassRegistry& classes) {
    using B = TglLabel;
    ClassInfo& info = classes.Register<B>("TglLabel", "TGraphicControl");
    info.Bool<B>("Transparent", [](B& b, bool v) { b.SetTransparent(v); })
        .Bool<B>("AutoSize", [](B& b, bool v) { b.SetAutoSize(v); })
        .Enum<B, TAlignment>("Alignment", kAlignments, [](B& b, TAlignment v) { b.SetAlignment(v); })
        .Enum<B, TglLabelDir>("Direction", kLabelDirs, [](B& b, TglLabelDir v) { b.SetDirection(v); })
        .Flags<B>("Options",
                  {{"floActiveWhileControlFocused", floActiveWhileControlFocused}, {"floDelineatedText", floDelineatedText}},
                  [](B& b, unsigned v) { b.SetOptions(v); })
        .Colour<B>("Colors.Text", [](B& b, TColor v) { b.Colors().SetText(v); })
        .Colour<B>("Colors.TextActive", [](B& b, TColor v) { b.Colors().SetTextActive(v); })
        .Colour<B>("Colors.TextDisabled", [](B& b, TColor v) { b.Colors().SetTextDisabled(v); })
        .Colour<B>("Colors.Delineate", [](B& b, TColor v) { b.Colors().SetDelineate(v); })
        .Colour<B>("Colors.DelineateActive", [](B& b, TColor v) { b.Colors().SetDelineateActive(v); })
        .Colour<B>("Colors.Highlight", [](B& b, TColor v) { b.Colors().SetHighlight(v); })
        .Colour<B>("Colors.Shadow", [](B& b, TColor v) { b.Colors().SetShadow(v); })
        .Colour<B>("Colors.Background", [](B& b, TColor v) { b.Colors().SetBackground(v); })
        .Colour<B>("Colors.BackgroundActive", [](B& b, TColor v) { b.Colors().SetBackgroundActive(v); })
        .Enum<B, TglTextStyle>("TextStyles.Passive", kTextStyles, [](B& b, TglTextStyle v) { b.TextStyles().SetPassive(v); })
        .Enum<B, TglTextStyle>("TextStyles.Active", kTextStyles, [](B& b, TglTextStyle v) { b.TextStyles().SetActive(v); })
        .Enum<B, TglTextStyle>("TextStyles.Disabled", kTextStyles, [](B& b, TglTextStyle v) { b.TextStyles().SetDisabled(v); })
        .Int<B>("Illumination.ShadowDepth", [](B& b, int v) { b.Illumination().SetShadowDepth(v); });
}

void RegisterSpeedButton(ClassRegistry& classes) {
    using S = TglExtSpeedButton;
    ClassInfo& info = classes.Register<S>("TglExtSpeedButton", "TGraphicControl");
    info.Bool<S>("Frame", [](S& s, bool v) { s.SetFrame(v); })
        .Colour<S>("FrameColor", [](S& s, TColor v) { s.SetFrameColor(v); })
        .Bool<S>("DefaultStyle", [](S& s, bool v) { s.SetDefaultStyle(v); })
        .Int<S>("ModalResult", [](S& s, int v) { s.SetModalResult(v); });
    ButtonStyleProperties<S>(info, "Style", [](S& s) -> TglSpeedButtonStyle& { return s.Style(); });
    ButtonStyleProperties<S>(info, "StyleActive", [](S& s) -> TglSpeedButtonStyle& { return s.StyleActive(); });
    ButtonStyleProperties<S>(info, "StylePushed", [](S& s) -> TglSpeedButtonStyle& { return s.StylePushed(); });
}

void RegisterWizardHeader(ClassRegistry& classes) {
    using W = TglWizardHeader;
    ClassInfo& info = classes.Register<W>("TglWizardHeader", "TGraphicControl");
    info.Property<W>("Captions", [](W& w, const LayoutValue& v, LayoutContext&) { w.SetCaptions(LayoutContext::TextList(v)); })
        .Property<W>("Comments", [](W& w, const LayoutValue& v, LayoutContext&) { w.SetComments(LayoutContext::TextList(v)); })
        .Property<W>("Glyph", [](W& w, const LayoutValue& v, LayoutContext&) { w.SetGlyph(LayoutPicture(v)); })
        .FontProperties<W>("CaptionFont", [](W& w) -> TFont& { return w.CaptionFont(); })
        .FontProperties<W>("CommentFont", [](W& w) -> TFont& { return w.CommentFont(); })
        .FontProperties<W>("SymbolFont", [](W& w) -> TFont& { return w.SymbolFont(); })
        .Text<W>("Symbol", [](W& w, const std::string& v) { w.SetSymbol(v); })
        .Int<W>("PageNo", [](W& w, int v) { w.SetPageNo(v); })
        .Bool<W>("BufferedDraw", [](W& w, bool v) { w.SetBufferedDraw(v); });
    GradientProperties<W>(info, "Gradient", [](W& w) -> TGradient& { return w.Gradient(); });
}

void RegisterProImage(ClassRegistry& classes) {
    using I = TProImage;
    classes.Register<I>("TProImage", "TGraphicControl")
        .Property<I>("Picture", [](I& i, const LayoutValue& v, LayoutContext&) { i.SetPicture(LayoutPicture(v)); })
        .Bool<I>("Stretch", [](I& i, bool v) { i.SetStretch(v); })
        .Bool<I>("Center", [](I& i, bool v) { i.SetCenter(v); })
        .Bool<I>("Tiled", [](I& i, bool v) { i.SetTiled(v); });
}

void RegisterShadow(ClassRegistry& classes) {
    using H = TglShadow;
    ClassInfo& info = classes.Register<H>("TglShadow", "TGraphicControl");
    info.Bool<H>("Shadowed", [](H& h, bool v) { h.SetShadowed(v); })
        .Bool<H>("TransparentShadow", [](H& h, bool v) { h.SetTransparentShadow(v); })
        .Colour<H>("TransparentColor", [](H& h, TColor v) { h.SetTransparentColor(v); })
        .Bool<H>("MaskedShadow", [](H& h, bool v) { h.SetMaskedShadow(v); });
    Number<H, std::uint16_t>(info, "ShadowDepth", [](H& h, std::uint16_t v) { h.SetShadowDepth(v); });
    ShadowStyleProperties<H>(info, "Style", [](H& h) -> TglShadowStyle& { return h.Style(); });
    ShadowStyleProperties<H>(info, "StyleActive", [](H& h) -> TglShadowStyle& { return h.StyleActive(); });
}

}  // namespace

void RegisterWidgetClasses(ClassRegistry& classes) {
    RegisterDigits(classes);
    RegisterProgress(classes);
    RegisterStatusLed(classes);
    RegisterLabel(classes);
    RegisterSpeedButton(classes);
    RegisterWizardHeader(classes);
    RegisterProImage(classes);
    RegisterShadow(classes);
    classes.Register<TglHint>("TglHint", "TComponent").Bool<TglHint>("Active", [](TglHint& h, bool v) { h.SetActive(v); });
}

}  // namespace vx
