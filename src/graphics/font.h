// Fonts: a font description (TFont) and the cache that turns descriptions into
// rendered glyphs. Families are found in the system's font catalogue (see
// font_files.h; an unknown family falls back to the nearest sans font) and
// rendered by FreeType without anti-aliasing, so text keeps the crisp classic
// look. A bitmap face ("MS Sans Serif") is drawn from the strike that matches
// the height, as the classic font mapper does.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "graphics/graphics.h"

namespace vx {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// A font description. Height follows the platform's convention: negative is
// the character (em) height in pixels, positive the cell height (ascent plus
// descent). Size is in points at 96 pixels per inch; setting one sets the other.
class TFont {
public:
    TFont() = default;
    TFont(const TFont& other) { Assign(other); }
    TFont& operator=(const TFont& other) {
        Assign(other);
        return *this;
    }

    const std::string& Name() const { return m_name; }
    int Height() const { return m_height; }
    int Size() const;
    TFontStyles Style() const { return m_style; }
    TColor Color() const { return m_color; }

    void SetName(const std::string& name);
    void SetHeight(int height);
    void SetSize(int points);
    void SetStyle(TFontStyles style);
    void SetColor(TColor color);

    // Copies the description; the change callback stays with this font.
    void Assign(const TFont& other);
    // Called after every change of the description.
    void SetOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

    bool SameFace(const TFont& o) const { return m_name == o.m_name && m_height == o.m_height && m_style == o.m_style; }

private:
    void Changed();

    std::string m_name = "MS Sans Serif";
    int m_height = -11;
    TFontStyles m_style = 0;
    TColor m_color = clWindowText;
    std::function<void()> m_onChange;
};

// One rendered glyph: a one-bit-per-pixel image stored as bytes (0 or 1).
struct Glyph {
    int width = 0;
    int height = 0;
    int left = 0;     // from the pen position to the image's left column
    int top = 0;      // from the baseline up to the image's top row
    int advance = 0;  // pen advance in pixels
    std::vector<std::uint8_t> bits;
};

struct FontMetrics {
    int ascent = 0;   // pixels above the baseline
    int descent = 0;  // pixels below the baseline
    int height() const { return ascent + descent; }
};

class FontFace;

// Loads and keeps font faces and glyphs. One cache serves a whole window;
// tests make their own.
class FontCache {
public:
    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The face for a description; never null (falls back to a sans font).
    FontFace& Face(const TFont& font);
    // The file the catalogue chose for a description (for tests and diagnostics).
    std::string ResolvedFile(const TFont& font);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

class FontFace {
public:
    virtual ~FontFace() = default;
    virtual const FontMetrics& Metrics() const = 0;
    virtual const Glyph& GlyphFor(char32_t codepoint) = 0;
    // Width and height of one line of UTF-8 text.
    TSize Extent(const std::string& utf8);
};

// A face whose glyphs are rendered once each, on first use, and kept.
class RenderedFontFace : public FontFace {
public:
    const Glyph& GlyphFor(char32_t codepoint) final;

protected:
    virtual Glyph Render(char32_t codepoint) = 0;

private:
    std::unordered_map<char32_t, Glyph> m_glyphs;  // node-based: references stay valid
};

// Decodes UTF-8 to code points; invalid bytes become U+FFFD.
std::u32string DecodeUtf8(const std::string& utf8);
// The code point at pos (pos < utf8.size()) into out; answers where the next begins.
std::size_t DecodeUtf8At(const std::string& utf8, std::size_t pos, char32_t& out);

// Breaks text into lines no wider than maxWidth, at spaces where it can and
// inside a word only when the word alone is too wide. Explicit line breaks
// ("\n", "\r\n") start a new line.
std::vector<std::string> WrapText(FontFace& face, const std::string& utf8, int maxWidth);

}  // namespace vx
