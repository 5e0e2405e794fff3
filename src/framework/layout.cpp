// Sections: parsing; classes; values; loading.
#include "framework/layout.h"

#include <cctype>
#include <charconv>
#include <set>
#include <sstream>
#include <stdexcept>

#include "framework/form.h"
#include "framework/resources.h"
#include "graphics/picture.h"

namespace vx {

// ---------------------------------------------------------------- parsing

std::string LayoutValue::Describe() const {
    switch (kind) {
        case Integer:
            return "the number " + std::to_string(integer);
        case Number:
            return "a number";
        case String:
            return "the text \"" + text + "\"";
        case Identifier:
            return "\"" + text + "\"";
        case List:
            return "a list";
    }
    return "a value";
}

namespace {

// Lists within lists go no deeper than this: every level is a call, and a
// line of brackets must not use up the stack.
constexpr int kMaxListDepth = 100;

class Parser {
public:
    Parser(const std::string& text, int line) : m_text(text), m_line(line) {}

    LayoutValue Value(int depth = 0) {
        SkipSpace();
        LayoutValue v;
        v.line = m_line;
        if (AtEnd()) Fail("a value is missing");
        char c = Peek();
        if (c == '"') {
            v.kind = LayoutValue::String;
            v.text = QuotedString();
        } else if (c == '[') {
            if (depth == kMaxListDepth) Fail("lists are nested more than " + std::to_string(kMaxListDepth) + " deep");
            ++m_pos;
            v.kind = LayoutValue::List;
            SkipSpace();
            if (!AtEnd() && Peek() == ']') {
                ++m_pos;
                return v;
            }
            for (;;) {
                v.items.push_back(Value(depth + 1));
                SkipSpace();
                if (AtEnd()) Fail("a list is not closed with ]");
                if (Peek() == ']') {
                    ++m_pos;
                    break;
                }
                if (Peek() != ',') Fail("a comma or ] is expected in a list");
                ++m_pos;
            }
        } else if (c == '-' || c == '+' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
            NumberValue(v);
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            v.kind = LayoutValue::Identifier;
            v.text = Name();
        } else {
            Fail(std::string("unexpected character '") + c + "'");
        }
        return v;
    }

    std::string Name() {
        SkipSpace();
        std::size_t start = m_pos;
        while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_' || Peek() == '.')) ++m_pos;
        if (start == m_pos) Fail("a name is expected");
        return m_text.substr(start, m_pos - start);
    }

    void Expect(char c) {
        SkipSpace();
        if (AtEnd() || Peek() != c) Fail(std::string("'") + c + "' is expected");
        ++m_pos;
    }

    void ExpectEnd() {
        SkipSpace();
        if (!AtEnd()) Fail("unexpected text after the value");
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw LayoutError("layout line " + std::to_string(m_line) + ": " + what);
    }

private:
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return m_text[m_pos]; }
    void SkipSpace() {
        while (!AtEnd() && std::isspace(static_cast<unsigned char>(Peek()))) ++m_pos;
    }

    std::string QuotedString() {
        ++m_pos;  // opening quote
        std::string out;
        for (;;) {
            if (AtEnd()) Fail("a text is not closed with \"");
            char c = m_text[m_pos++];
            if (c == '"') break;
            if (c == '\\') {
                if (AtEnd()) Fail("a text ends inside an escape");
                char e = m_text[m_pos++];
                switch (e) {
                    case 'n':
                        out += '\n';
                        break;
                    case 't':
                        out += '\t';
                        break;
                    case '"':
                    case '\\':
                        out += e;
                        break;
                    default:
                        Fail(std::string("unknown escape \\") + e);
                }
            } else {
                out += c;
            }
        }
        return out;
    }

    void NumberValue(LayoutValue& v) {
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') {
            negative = Peek() == '-';
            ++m_pos;
        }
        int base = 10;
        if (!AtEnd() && Peek() == '$') {
            base = 16;
            ++m_pos;
        } else if (m_pos + 1 < m_text.size() && Peek() == '0' && (m_text[m_pos + 1] == 'x' || m_text[m_pos + 1] == 'X')) {
            base = 16;
            m_pos += 2;
        }
        std::size_t start = m_pos;
        while (!AtEnd() && (std::isxdigit(static_cast<unsigned char>(Peek())) || Peek() == '.')) ++m_pos;
        std::string digits = m_text.substr(start, m_pos - start);
        if (digits.empty()) Fail("a number is expected");
        if (base == 10 && digits.find('.') != std::string::npos) {
            v.kind = LayoutValue::Number;
            double d = 0;
            auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), d);
            if (ec != std::errc() || ptr != digits.data() + digits.size()) Fail("\"" + digits + "\" is not a number");
            v.number = negative ? -d : d;
            return;
        }
        v.kind = LayoutValue::Integer;
        unsigned long long n = 0;
        auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n, base);
        if (ec != std::errc() || ptr != digits.data() + digits.size() || n > 0xFFFFFFFFull) {
            Fail("\"" + digits + "\" is not a number the layout can hold");
        }
        v.integer = negative ? -static_cast<long long>(n) : static_cast<long long>(n);
        v.number = static_cast<double>(v.integer);
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
    int m_line;
};

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

}  // namespace

std::vector<LayoutObject> ParseLayout(const std::string& text) {
    std::vector<LayoutObject> objects;
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    LayoutObject* open = nullptr;
    while (std::getline(in, raw)) {
        ++lineNo;
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        Parser p(line, lineNo);
        if (line.rfind("object ", 0) == 0) {
            if (open != nullptr) p.Fail("\"end\" is missing before a new object");
            const std::string rest = line.substr(7);
            Parser header(rest, lineNo);
            LayoutObject object;
            object.line = lineNo;
            object.className = header.Name();
            object.name = header.Name();
            header.ExpectEnd();
            objects.push_back(std::move(object));
            open = &objects.back();
        } else if (line == "end") {
            if (open == nullptr) p.Fail("\"end\" without an object");
            open = nullptr;
        } else {
            if (open == nullptr) p.Fail("a property outside an object");
            LayoutProperty property;
            property.line = lineNo;
            property.name = p.Name();
            p.Expect('=');
            property.value = p.Value();
            p.ExpectEnd();
            open->properties.push_back(std::move(property));
        }
    }
    if (open != nullptr)
        throw LayoutError("layout line " + std::to_string(open->line) + ": object \"" + open->name + "\" has no \"end\"");
    return objects;
}

// ---------------------------------------------------------------- classes

const ClassInfo::Setter* ClassInfo::FindProperty(const std::string& name) const {
    for (const ClassInfo* c = this; c != nullptr; c = c->m_base) {
        auto it = c->m_properties.find(name);
        if (it != c->m_properties.end()) return &it->second;
    }
    return nullptr;
}

bool ClassInfo::InheritsFrom(const std::string& className) const {
    for (const ClassInfo* c = this; c != nullptr; c = c->m_base) {
        if (c->m_name == className) return true;
    }
    return false;
}

ClassInfo& ClassRegistry::Register(const std::string& name, const std::string& baseName, ClassInfo::Factory factory) {
    const ClassInfo* base = nullptr;
    if (!baseName.empty()) {
        base = Find(baseName);
        if (base == nullptr) throw LayoutError("base class \"" + baseName + "\" of \"" + name + "\" is not registered");
    }
    auto info = std::make_unique<ClassInfo>(name, base, std::move(factory));
    ClassInfo& ref = *info;
    m_classes[name] = std::move(info);
    return ref;
}

const ClassInfo* ClassRegistry::Find(const std::string& name) const {
    auto it = m_classes.find(name);
    return it == m_classes.end() ? nullptr : it->second.get();
}

// ---------------------------------------------------------------- values

TComponent& LayoutContext::Component(const LayoutValue& value) {
    const std::string& name = Identifier(value);
    if (name == m_form.Name()) return m_form;
    TComponent* c = m_form.FindComponent(name);
    if (c == nullptr) throw LayoutError("unknown component \"" + name + "\"");
    return *c;
}

long long LayoutContext::Integer(const LayoutValue& value) {
    if (value.kind != LayoutValue::Integer) throw LayoutError("a whole number is expected, not " + value.Describe());
    return value.integer;
}

double LayoutContext::Number(const LayoutValue& value) {
    if (value.kind != LayoutValue::Integer && value.kind != LayoutValue::Number) {
        throw LayoutError("a number is expected, not " + value.Describe());
    }
    return value.number;
}

bool LayoutContext::Boolean(const LayoutValue& value) {
    const std::string& id = Identifier(value);
    if (id == "true" || id == "True") return true;
    if (id == "false" || id == "False") return false;
    throw LayoutError("true or false is expected, not " + value.Describe());
}

const std::string& LayoutContext::Text(const LayoutValue& value) {
    if (value.kind != LayoutValue::String) throw LayoutError("a text in double quotes is expected, not " + value.Describe());
    return value.text;
}

const std::string& LayoutContext::Identifier(const LayoutValue& value) {
    if (value.kind != LayoutValue::Identifier) throw LayoutError("a name is expected, not " + value.Describe());
    return value.text;
}

std::vector<std::string> LayoutContext::TextList(const LayoutValue& value) {
    if (value.kind != LayoutValue::List) throw LayoutError("a list of texts is expected, not " + value.Describe());
    std::vector<std::string> out;
    for (const LayoutValue& item : value.items) out.push_back(Text(item));
    return out;
}

TColor LayoutContext::Colour(const LayoutValue& value) {
    if (value.kind == LayoutValue::Integer) return static_cast<TColor>(static_cast<std::uint32_t>(value.integer));
    static const std::map<std::string, TColor> names = {
        {"clBlack", clBlack},
        {"clMaroon", clMaroon},
        {"clGreen", clGreen},
        {"clOlive", clOlive},
        {"clNavy", clNavy},
        {"clPurple", clPurple},
        {"clTeal", clTeal},
        {"clGray", clGray},
        {"clSilver", clSilver},
        {"clRed", clRed},
        {"clLime", clLime},
        {"clYellow", clYellow},
        {"clBlue", clBlue},
        {"clFuchsia", clFuchsia},
        {"clAqua", clAqua},
        {"clWhite", clWhite},
        {"clNone", clNone},
        {"clScrollBar", clScrollBar},
        {"clBackground", clBackground},
        {"clActiveCaption", clActiveCaption},
        {"clInactiveCaption", clInactiveCaption},
        {"clMenu", clMenu},
        {"clWindow", clWindow},
        {"clWindowFrame", clWindowFrame},
        {"clMenuText", clMenuText},
        {"clWindowText", clWindowText},
        {"clCaptionText", clCaptionText},
        {"clActiveBorder", clActiveBorder},
        {"clInactiveBorder", clInactiveBorder},
        {"clAppWorkSpace", clAppWorkSpace},
        {"clHighlight", clHighlight},
        {"clHighlightText", clHighlightText},
        {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow},
        {"clGrayText", clGrayText},
        {"clBtnText", clBtnText},
        {"clInactiveCaptionText", clInactiveCaptionText},
        {"clBtnHighlight", clBtnHighlight},
        {"cl3DDkShadow", cl3DDkShadow},
        {"cl3DLight", cl3DLight},
        {"clInfoText", clInfoText},
        {"clInfoBk", clInfoBk},
    };
    const std::string& id = Identifier(value);
    auto it = names.find(id);
    if (it == names.end()) throw LayoutError("unknown colour \"" + id + "\"");
    return it->second;
}

Bitmap LayoutContext::Picture(const LayoutValue& value) {
    const std::string& file = Text(value);
    auto bytes = FindResource(file);
    if (!bytes) throw LayoutError("picture \"" + file + "\" is not among the program's resources");
    try {
        return DecodePicture(*bytes, file);
    } catch (const PictureError& e) {
        // As a layout error it names the line and property that asked for it.
        throw LayoutError(e.what());
    }
}

// ---------------------------------------------------------------- loading

void LoadLayout(const std::string& text, TForm& form, const std::string& formClassName, const ClassRegistry& classes,
                const HandlerTable& handlers) {
    std::vector<LayoutObject> objects = ParseLayout(text);
    if (objects.empty()) throw LayoutError("the layout describes no form");
    const LayoutObject& formObject = objects.front();
    if (formObject.className != formClassName) {
        throw LayoutError("layout line " + std::to_string(formObject.line) + ": the first object must be a " + formClassName +
                          ", not \"" + formObject.className + "\"");
    }

    LayoutContext context(form, handlers);
    std::set<std::string> names;
    std::vector<TComponent*> made;
    auto apply = [&](TComponent& target, const ClassInfo& info, const LayoutObject& object) {
        for (const LayoutProperty& p : object.properties) {
            const ClassInfo::Setter* setter = info.FindProperty(p.name);
            if (setter == nullptr) {
                throw LayoutError("layout line " + std::to_string(p.line) + ": class " + info.Name() + " has no property \"" +
                                  p.name + "\"");
            }
            try {
                (*setter)(target, p.value, context);
            } catch (const LayoutError& e) {
                std::string what = e.what();
                if (what.rfind("layout line", 0) == 0) throw;
                throw LayoutError("layout line " + std::to_string(p.line) + ": " + object.name + "." + p.name + ": " + what);
            }
        }
    };

    for (std::size_t i = 0; i < objects.size(); ++i) {
        const LayoutObject& object = objects[i];
        const ClassInfo* info = classes.Find(object.className);
        if (info == nullptr) {
            throw LayoutError("layout line " + std::to_string(object.line) + ": unknown class \"" + object.className + "\"");
        }
        if (!names.insert(object.name).second) {
            throw LayoutError("layout line " + std::to_string(object.line) + ": the name \"" + object.name + "\" is used twice");
        }
        if (i == 0) {
            form.SetName(object.name);
            form.SetLoading(true);
            made.push_back(&form);
            apply(form, *info, object);
            continue;
        }
        std::unique_ptr<TComponent> component = info->Make()(&form);
        component->SetName(object.name);
        component->SetLoading(true);
        TComponent& ref = form.Adopt(std::move(component));
        made.push_back(&ref);
        apply(ref, *info, object);
    }
    for (TComponent* c : made) c->Loaded();
}

}  // namespace vx
