#include "framework/font.h"

// Where glyphs come from is the one platform-specific part of this file:
// FreeType here (VX_FONTS_FREETYPE) on the files the font catalogue names
// (framework/fontconfig), GDI on Windows (font_gdi.cpp).
#if VX_FONTS_FREETYPE
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H

#include "framework/font_files.h"
#endif

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

namespace vx {

// ---------------------------------------------------------------------------
// TFont

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

// ---------------------------------------------------------------------------
// UTF-8

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

// ---------------------------------------------------------------------------
// FontCache

#if VX_FONTS_FREETYPE
namespace {

constexpr int kDefaultEmPixels = 11;
// Keeps a runaway font height from allocating gigantic glyph images.
constexpr int kMaxEmPixels = 1024;

struct FtLibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FtFaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FtLibraryPtr = std::unique_ptr<FT_LibraryRec_, FtLibraryDeleter>;
using FtFacePtr = std::unique_ptr<FT_FaceRec_, FtFaceDeleter>;

int CeilPixels(FT_Pos value26_6) {
    return static_cast<int>(value26_6 >= 0 ? (value26_6 + 63) / 64 : -(-value26_6 / 64));
}

// The em size in pixels for a font height (see TFont).
int EmPixels(int height, FT_Face face) {
    if (height == 0) height = -kDefaultEmPixels;
    int em = -height;
    if (height > 0) {
        em = height;
        const int cell = face ? face->ascender - face->descender : 0;
        if (face && face->units_per_EM > 0 && cell > 0) em = MulDiv(height, face->units_per_EM, cell);
    }
    return std::clamp(em, 1, kMaxEmPixels);
}

// The strike of a bitmap-only face that the classic font mapper takes for a
// height: the largest whose character height (for a negative height) or cell
// (for a positive one) does not exceed it, else the smallest. A strike's
// character height is its cell less the internal leading, which in the
// classic raster faces is its ascent (13-pixel cell, ascent 11: the 8-point
// size at 96 DPI). Answers -1 for a scalable face.
int ChooseStrike(FT_Face face, int height) {
    if (face == nullptr || FT_IS_SCALABLE(face) || face->num_fixed_sizes <= 0) return -1;
    if (height == 0) height = -kDefaultEmPixels;
    const int wanted = std::abs(height);
    int best = -1;
    int bestMeasure = 0;
    int smallest = 0;
    int smallestMeasure = 0;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        if (FT_Select_Size(face, i) != 0) continue;
        const int ascent = CeilPixels(face->size->metrics.ascender);
        const int measure = height < 0 ? ascent : ascent + CeilPixels(-face->size->metrics.descender);
        if (measure <= wanted && (best < 0 || measure > bestMeasure)) {
            best = i;
            bestMeasure = measure;
        }
        if (i == 0 || measure < smallestMeasure) {
            smallest = i;
            smallestMeasure = measure;
        }
    }
    return best >= 0 ? best : smallest;
}

// Copies a rendered FreeType bitmap into one byte per pixel.
void Unpack(const FT_Bitmap& bitmap, Glyph& glyph) {
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.bits.assign(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.height), 0);
    if (bitmap.buffer == nullptr) return;
    const int pitch = bitmap.pitch;
    for (int y = 0; y < glyph.height; ++y) {
        // A negative pitch means the rows are stored bottom-up.
        const int storedRow = pitch >= 0 ? y : glyph.height - 1 - y;
        const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(storedRow) * std::abs(pitch);
        std::uint8_t* dst = glyph.bits.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(glyph.width);
        for (int x = 0; x < glyph.width; ++x) {
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                dst[x] = static_cast<std::uint8_t>((src[x >> 3] >> (7 - (x & 7))) & 1);
            } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
                const int levels = std::max(bitmap.num_grays, static_cast<unsigned short>(2));
                dst[x] = src[x] * 2 >= levels - 1 ? 1 : 0;
            }
        }
    }
}

class LoadedFace final : public RenderedFontFace {
public:
    // A strike of -1 scales the face to emPixels.
    LoadedFace(FT_Library library, FtFacePtr face, int emPixels, int strike, bool syntheticBold)
        : m_library(library), m_face(std::move(face)), m_emPixels(emPixels), m_strike(strike),
          m_syntheticBold(syntheticBold) {
        if (m_face && SetPixelSize()) {
            m_metrics.ascent = CeilPixels(m_face->size->metrics.ascender);
            m_metrics.descent = CeilPixels(-m_face->size->metrics.descender);
        } else {
            // Without a usable font file text still takes up sensible room.
            m_face.reset();
            m_metrics.ascent = MulDiv(emPixels, 4, 5);
            m_metrics.descent = emPixels - m_metrics.ascent;
        }
    }

    const FontMetrics& Metrics() const override { return m_metrics; }

private:
    bool SetPixelSize() {
        if (m_strike >= 0) return FT_Select_Size(m_face.get(), m_strike) == 0;
        if (FT_Set_Pixel_Sizes(m_face.get(), 0, static_cast<FT_UInt>(m_emPixels)) == 0) return true;
        // Bitmap-only fonts offer fixed sizes; take the first rather than nothing.
        return m_face->num_fixed_sizes > 0 && FT_Select_Size(m_face.get(), 0) == 0;
    }

    Glyph Render(char32_t codepoint) override {
        Glyph glyph;
        // Control characters take no room instead of showing a box.
        if (codepoint < 0x20 || codepoint == 0x7F) return glyph;
        if (!m_face) {
            glyph.advance = codepoint == U' ' ? m_emPixels / 4 : m_emPixels / 2;
            return glyph;
        }
        // Index 0 is the face's own missing-glyph shape.
        const FT_UInt index = FT_Get_Char_Index(m_face.get(), codepoint);
        const FT_Int32 flags = FT_LOAD_TARGET_MONO | (m_syntheticBold ? 0 : FT_LOAD_RENDER);
        if (FT_Load_Glyph(m_face.get(), index, flags) != 0) return glyph;
        FT_GlyphSlot slot = m_face->glyph;
        if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return glyph;
        glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (m_syntheticBold) {
            // One extra pixel column, as the classic synthetic bold does.
            glyph.advance += 1;
            if (slot->bitmap.width > 0 && slot->bitmap.rows > 0 && FT_GlyphSlot_Own_Bitmap(slot) == 0) {
                FT_Bitmap_Embolden(m_library, &slot->bitmap, 64, 0);
            }
        }
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        Unpack(slot->bitmap, glyph);
        return glyph;
    }

    FT_Library m_library;
    FtFacePtr m_face;
    int m_emPixels;
    int m_strike;
    bool m_syntheticBold;
    FontMetrics m_metrics;
};

}  // namespace

struct FontCache::Impl {
    // Declaration order matters: faces must go before the library.
    std::unique_ptr<FontLocator> locator;
    FtLibraryPtr library;
    std::map<std::tuple<std::string, int, int, bool>, std::unique_ptr<LoadedFace>> faces;
    std::map<std::tuple<std::string, int, TFontStyles>, LoadedFace*> byDescription;

    Impl() {
        locator = MakeSystemFontLocator();
        FT_Library raw = nullptr;
        if (FT_Init_FreeType(&raw) == 0) library.reset(raw);
    }

    // Opens the first loadable file among the catalogue's candidates.
    // `chosen` stays empty when none loads.
    FtFacePtr Open(const TFont& font, FontFile& chosen) {
        const bool bold = (font.Style() & fsBold) != 0;
        const bool italic = (font.Style() & fsItalic) != 0;
        chosen = FontFile{};
        if (!library) return nullptr;
        for (const FontFile& candidate : locator->Candidates(font.Name(), bold, italic)) {
            FT_Face raw = nullptr;
            if (FT_New_Face(library.get(), candidate.path.c_str(), candidate.index, &raw) == 0) {
                chosen = candidate;
                return FtFacePtr(raw);
            }
        }
        return nullptr;
    }

    LoadedFace& Face(const TFont& font) {
        const TFontStyles faceStyle = font.Style() & (fsBold | fsItalic);
        const auto description = std::make_tuple(font.Name(), font.Height(), faceStyle);
        if (auto it = byDescription.find(description); it != byDescription.end()) return *it->second;

        FontFile file;
        FtFacePtr face = Open(font, file);
        const int strike = ChooseStrike(face.get(), font.Height());
        const int em = EmPixels(font.Height(), face.get());
        const bool syntheticBold = (faceStyle & fsBold) != 0 && face && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
        // Strikes are keyed apart from scaled sizes.
        auto key = std::make_tuple(file.path, file.index, strike >= 0 ? -1 - strike : em, syntheticBold);
        auto it = faces.find(key);
        if (it == faces.end()) {
            auto loaded = std::make_unique<LoadedFace>(library.get(), std::move(face), em, strike, syntheticBold);
            it = faces.emplace(std::move(key), std::move(loaded)).first;
        }
        byDescription.emplace(description, it->second.get());
        return *it->second;
    }
};

FontCache::FontCache() : m_impl(std::make_unique<Impl>()) {}
FontCache::~FontCache() = default;

FontFace& FontCache::Face(const TFont& font) { return m_impl->Face(font); }

std::string FontCache::ResolvedFile(const TFont& font) {
    FontFile file;
    m_impl->Open(font, file);
    return file.path;
}

#endif  // VX_FONTS_FREETYPE

}  // namespace vx
