// The stored layout of a form: a text that lists every component with its
// class, name, properties and event handlers by name.
//
//   # a comment
//   object TForm1 Form1
//     Caption = "Example"
//     ClientWidth = 632
//   end
//   object TButton Button1
//     Parent = Form1
//     Font.Style = [fsBold]
//     OnClick = Button1Click
//   end
//
// The first object is the form itself; the others are made in the order they
// stand, owned by the form. A value is an integer (12, -11, $FF, 0xFF), a
// number (0.5), a string in double quotes (UTF-8; \" \\ \n escapes), an
// identifier (true, clLime, bvLowered, a handler or component name) or a
// list in brackets ([fsBold], ["line one", "line two"]).
// Unknown classes, properties, handlers and components are errors that name
// what was not found; nothing of a form that failed to load is shown.
#pragma once

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/control.h"
#include "graphics/canvas.h"

namespace vx {

class TForm;

class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LayoutValue {
    enum Kind { Integer, Number, String, Identifier, List };
    Kind kind = Integer;
    long long integer = 0;
    double number = 0;
    std::string text;  // String and Identifier
    std::vector<LayoutValue> items;
    int line = 0;

    std::string Describe() const;
};

struct LayoutProperty {
    std::string name;
    LayoutValue value;
    int line = 0;
};

struct LayoutObject {
    std::string className;
    std::string name;
    std::vector<LayoutProperty> properties;
    int line = 0;
};

// Parses the text; throws LayoutError naming the line of a syntax error.
std::vector<LayoutObject> ParseLayout(const std::string& text);

// Event handlers by name. Each has a kind (its signature); a property that
// expects another kind does not accept it.
class HandlerTable {
public:
    template <class Event>
    void Add(const std::string& name, Event handler) {
        m_handlers[name] = std::move(handler);
    }
    bool Contains(const std::string& name) const { return m_handlers.contains(name); }
    // The handler of that name and kind; throws LayoutError when there is
    // none or it is of another kind.
    template <class Event>
    Event Find(const std::string& name) const {
        auto it = m_handlers.find(name);
        if (it == m_handlers.end()) throw LayoutError("unknown event handler \"" + name + "\"");
        if (const Event* e = std::any_cast<Event>(&it->second)) return *e;
        throw LayoutError("event handler \"" + name + "\" does not fit this event");
    }

private:
    std::map<std::string, std::any> m_handlers;
};

class LayoutContext;

// What the layout reader knows of a class: how to make one and how to set
// each of its properties by name.
class ClassInfo {
public:
    using Factory = std::function<std::unique_ptr<TComponent>(TComponent* owner)>;
    using Setter = std::function<void(TComponent& target, const LayoutValue& value, LayoutContext& context)>;

    ClassInfo(std::string name, const ClassInfo* base, Factory factory)
        : m_name(std::move(name)), m_base(base), m_factory(std::move(factory)) {}

    const std::string& Name() const { return m_name; }
    const ClassInfo* Base() const { return m_base; }
    const Factory& Make() const { return m_factory; }
    // The setter of a property of this class or a base class, or null.
    const Setter* FindProperty(const std::string& name) const;
    bool InheritsFrom(const std::string& className) const;

    // Registers a property whose setter gets the object as its own class.
    template <class C>
    ClassInfo& Property(const std::string& name, std::function<void(C&, const LayoutValue&, LayoutContext&)> setter) {
        m_properties[name] = [setter = std::move(setter), name](TComponent& target, const LayoutValue& v, LayoutContext& ctx) {
            auto* object = dynamic_cast<C*>(&target);
            if (object == nullptr) throw LayoutError("property \"" + name + "\" does not apply to this component");
            setter(*object, v, ctx);
        };
        return *this;
    }
    template <class C>
    ClassInfo& Int(const std::string& name, std::function<void(C&, int)> set);
    template <class C>
    ClassInfo& Bool(const std::string& name, std::function<void(C&, bool)> set);
    template <class C>
    ClassInfo& Text(const std::string& name, std::function<void(C&, const std::string&)> set);
    template <class C>
    ClassInfo& Colour(const std::string& name, std::function<void(C&, TColor)> set);
    template <class C, class E>
    ClassInfo& Enum(const std::string& name, std::map<std::string, E> values, std::function<void(C&, E)> set);
    // A set of flags written as a list of identifiers.
    template <class C>
    ClassInfo& Flags(const std::string& name, std::map<std::string, unsigned> values, std::function<void(C&, unsigned)> set);
    template <class C, class Event>
    ClassInfo& Handler(const std::string& name, std::function<void(C&, Event)> set);
    // The font properties Name.Name, Name.Height, Name.Size, Name.Style, Name.Color.
    template <class C>
    ClassInfo& FontProperties(const std::string& prefix, std::function<TFont&(C&)> font);

private:
    std::string m_name;
    const ClassInfo* m_base;
    Factory m_factory;
    std::map<std::string, Setter> m_properties;
};

class ClassRegistry {
public:
    // Registers a class; the base class must be registered already.
    ClassInfo& Register(const std::string& name, const std::string& baseName, ClassInfo::Factory factory);
    template <class C>
    ClassInfo& Register(const std::string& name, const std::string& baseName) {
        return Register(name, baseName, [](TComponent* owner) { return std::make_unique<C>(owner); });
    }
    const ClassInfo* Find(const std::string& name) const;

private:
    std::map<std::string, std::unique_ptr<ClassInfo>> m_classes;
};

// Reading values while the layout is applied.
class LayoutContext {
public:
    LayoutContext(TForm& form, const HandlerTable& handlers) : m_form(form), m_handlers(handlers) {}

    TForm& Form() { return m_form; }
    const HandlerTable& Handlers() const { return m_handlers; }
    // A component made earlier by this layout, or the form itself.
    TComponent& Component(const LayoutValue& value);

    static long long Integer(const LayoutValue& value);
    static double Number(const LayoutValue& value);
    static bool Boolean(const LayoutValue& value);
    static const std::string& Text(const LayoutValue& value);
    static const std::string& Identifier(const LayoutValue& value);
    static std::vector<std::string> TextList(const LayoutValue& value);
    // An integer colour value or a colour name (clLime, clBtnFace, ...).
    static TColor Colour(const LayoutValue& value);
    // A picture from the resources, named by its file name.
    static Bitmap Picture(const LayoutValue& value);

private:
    TForm& m_form;
    const HandlerTable& m_handlers;
};

// Applies a layout to a form: the first object describes the form (its
// class must be registered and name the form's class), the rest are made,
// owned by the form, in order. Every component's Loaded runs at the end.
void LoadLayout(const std::string& text, TForm& form, const std::string& formClassName, const ClassRegistry& classes,
                const HandlerTable& handlers);

// ---------------------------------------------------------------- templates

template <class C>
ClassInfo& ClassInfo::Int(const std::string& name, std::function<void(C&, int)> set) {
    return Property<C>(
        name, [set](C& c, const LayoutValue& v, LayoutContext&) { set(c, static_cast<int>(LayoutContext::Integer(v))); });
}

template <class C>
ClassInfo& ClassInfo::Bool(const std::string& name, std::function<void(C&, bool)> set) {
    return Property<C>(name, [set](C& c, const LayoutValue& v, LayoutContext&) { set(c, LayoutContext::Boolean(v)); });
}

template <class C>
ClassInfo& ClassInfo::Text(const std::string& name, std::function<void(C&, const std::string&)> set) {
    return Property<C>(name, [set](C& c, const LayoutValue& v, LayoutContext&) { set(c, LayoutContext::Text(v)); });
}

template <class C>
ClassInfo& ClassInfo::Colour(const std::string& name, std::function<void(C&, TColor)> set) {
    return Property<C>(name, [set](C& c, const LayoutValue& v, LayoutContext&) { set(c, LayoutContext::Colour(v)); });
}

template <class C, class E>
ClassInfo& ClassInfo::Enum(const std::string& name, std::map<std::string, E> values, std::function<void(C&, E)> set) {
    return Property<C>(name, [set, values = std::move(values)](C& c, const LayoutValue& v, LayoutContext&) {
        const std::string& id = LayoutContext::Identifier(v);
        auto it = values.find(id);
        if (it == values.end()) throw LayoutError("unknown value \"" + id + "\"");
        set(c, it->second);
    });
}

template <class C>
ClassInfo& ClassInfo::Flags(const std::string& name, std::map<std::string, unsigned> values,
                            std::function<void(C&, unsigned)> set) {
    return Property<C>(name, [set, values = std::move(values)](C& c, const LayoutValue& v, LayoutContext&) {
        if (v.kind != LayoutValue::List) throw LayoutError("a list in brackets is expected, not " + v.Describe());
        unsigned flags = 0;
        for (const LayoutValue& item : v.items) {
            const std::string& id = LayoutContext::Identifier(item);
            auto it = values.find(id);
            if (it == values.end()) throw LayoutError("unknown value \"" + id + "\"");
            flags |= it->second;
        }
        set(c, flags);
    });
}

template <class C, class Event>
ClassInfo& ClassInfo::Handler(const std::string& name, std::function<void(C&, Event)> set) {
    return Property<C>(name, [set](C& c, const LayoutValue& v, LayoutContext& ctx) {
        set(c, ctx.Handlers().Find<Event>(LayoutContext::Identifier(v)));
    });
}

template <class C>
ClassInfo& ClassInfo::FontProperties(const std::string& prefix, std::function<TFont&(C&)> font) {
    Text<C>(prefix + ".Name", [font](C& c, const std::string& v) { font(c).SetName(v); });
    Int<C>(prefix + ".Height", [font](C& c, int v) { font(c).SetHeight(v); });
    Int<C>(prefix + ".Size", [font](C& c, int v) { font(c).SetSize(v); });
    Colour<C>(prefix + ".Color", [font](C& c, TColor v) { font(c).SetColor(v); });
    Flags<C>(prefix + ".Style",
             {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}},
             [font](C& c, unsigned v) { font(c).SetStyle(v); });
    return *this;
}

}  // namespace vx
