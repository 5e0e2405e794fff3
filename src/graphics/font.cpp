#include "graphics/font.h"

// Font descriptions, text measuring and wrapping. Where glyphs come from is
// the font cache's, one sibling per system: FreeType on the files the font
// catalogue names (graphics/freetype, graphics/fontconfig), GDI on Windows
// (graphics/gdi).

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

namespace vx {

// ---------------------------------------------------------------- TFont

int TFont::Size() const { return -MulDiv(m_height, 72, 96); }

void TFont::SetName(const std::string& name) {
    if (name == m_name) return;
    m_name = name;
    Changed();
}

void TFont::SetHeight(int height) {
    if (height == m_height) return;
    m_height = height;
    Changed();
}

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, 96, 72)); }

void TFont::SetStyle(TFontStyles style) {
    if (style == m_style) return;
    m_style = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == m_color) return;
    m_color = color;
    Changed();
}

void TFont::Assign(const TFont& other) {
    if (this == &other) return;
    const bool same = SameFace(other) && m_color == other.m_color;
    m_name = other.m_name;
    m_height = other.m_height;
    m_style = other.m_style;
    m_color = other.m_color;
    if (!same) Changed();
}

void TFont::Changed() {
    if (m_onChange) m_onChange();
}

// ---------------------------------------------------------------- UTF-8

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes the sequence at utf8[pos]; returns the position after it. An
// ill-formed sequence yields U+FFFD and skips only its longest valid-looking
// prefix, so the byte that broke it starts the next character.
std::size_t DecodeOne(const std::string& utf8, std::size_t pos, char32_t& out) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        out = lead;
        return pos + 1;
    }
    int length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        if (lead == 0xE0) secondLow = 0xA0;   // overlong
        if (lead == 0xED) secondHigh = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        if (lead == 0xF0) secondLow = 0x90;   // overlong
        if (lead == 0xF4) secondHigh = 0x8F;  // beyond U+10FFFF
    } else {
        out = kReplacement;
        return pos + 1;
    }
    for (int i = 1; i < length; ++i) {
        const std::size_t at = pos + static_cast<std::size_t>(i);
        const unsigned char low = i == 1 ? secondLow : 0x80;
        const unsigned char high = i == 1 ? secondHigh : 0xBF;
        if (at >= utf8.size() || byte(at) < low || byte(at) > high) {
            out = kReplacement;
            return at;
        }
        value = (value << 6) | (byte(at) & 0x3F);
    }
    out = value;
    return pos + static_cast<std::size_t>(length);
}

int TextWidth(FontFace& face, const std::string& utf8) {
    int width = 0;
    char32_t cp = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        pos = DecodeOne(utf8, pos, cp);
        width += face.GlyphFor(cp).advance;
    }
    return width;
}

// Greedy line filling for one paragraph (no line breaks inside).
class ParagraphWrapper {
public:
    ParagraphWrapper(FontFace& face, int maxWidth, std::vector<std::string>& lines)
        : m_face(face), m_maxWidth(maxWidth), m_lines(lines), m_spaceWidth(face.GlyphFor(U' ').advance) {}

    void Run(const std::string& paragraph) {
        std::size_t start = 0;
        while (true) {
            const std::size_t space = paragraph.find(' ', start);
            const std::size_t end = space == std::string::npos ? paragraph.size() : space;
            Word(paragraph.substr(start, end - start));
            if (space == std::string::npos) break;
            start = space + 1;
        }
        if (m_open) m_lines.push_back(m_line);
    }

private:
    void Word(const std::string& word) {
        const int width = TextWidth(m_face, word);
        if (m_open) {
            if (m_lineWidth + m_spaceWidth + width <= m_maxWidth) {
                m_line += ' ';
                m_line += word;
                m_lineWidth += m_spaceWidth + width;
                return;
            }
            Flush();
        }
        // Leading spaces of a paragraph are kept; the space where a line was
        // broken is not carried to the next line.
        if (word.empty() && !m_firstLine) return;
        if (width <= m_maxWidth) {
            m_line = word;
            m_lineWidth = width;
            m_open = true;
            return;
        }
        BreakWord(word);
    }

    // A word wider than a whole line is cut between characters; its tail stays
    // open so the next word may follow it.
    void BreakWord(const std::string& word) {
        std::size_t chunkStart = 0;
        int chunkWidth = 0;
        char32_t cp = 0;
        for (std::size_t pos = 0; pos < word.size();) {
            const std::size_t next = DecodeOne(word, pos, cp);
            const int advance = m_face.GlyphFor(cp).advance;
            if (pos > chunkStart && chunkWidth + advance > m_maxWidth) {
                m_lines.push_back(word.substr(chunkStart, pos - chunkStart));
                m_firstLine = false;
                chunkStart = pos;
                chunkWidth = 0;
            }
            chunkWidth += advance;
            pos = next;
        }
        m_line = word.substr(chunkStart);
        m_lineWidth = chunkWidth;
        m_open = true;
    }

    void Flush() {
        m_lines.push_back(m_line);
        m_line.clear();
        m_lineWidth = 0;
        m_open = false;
        m_firstLine = false;
    }

    FontFace& m_face;
    int m_maxWidth;
    std::vector<std::string>& m_lines;
    int m_spaceWidth;
    std::string m_line;
    int m_lineWidth = 0;
    bool m_open = false;
    bool m_firstLine = true;
};

}  // namespace

std::size_t DecodeUtf8At(const std::string& utf8, std::size_t pos, char32_t& out) { return DecodeOne(utf8, pos, out); }

std::u32string DecodeUtf8(const std::string& utf8) {
    std::u32string result;
    result.reserve(utf8.size());
    char32_t cp = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        pos = DecodeOne(utf8, pos, cp);
        result.push_back(cp);
    }
    return result;
}

TSize FontFace::Extent(const std::string& utf8) { return TSize{TextWidth(*this, utf8), Metrics().height()}; }

const Glyph& RenderedFontFace::GlyphFor(char32_t codepoint) {
    auto it = m_glyphs.find(codepoint);
    if (it == m_glyphs.end()) it = m_glyphs.emplace(codepoint, Render(codepoint)).first;
    return it->second;
}

std::vector<std::string> WrapText(FontFace& face, const std::string& utf8, int maxWidth) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t newline = utf8.find('\n', start);
        std::size_t end = newline == std::string::npos ? utf8.size() : newline;
        if (newline != std::string::npos && end > start && utf8[end - 1] == '\r') --end;
        ParagraphWrapper(face, maxWidth, lines).Run(utf8.substr(start, end - start));
        if (newline == std::string::npos) break;
        start = newline + 1;
    }
    return lines;
}

}  // namespace vx
