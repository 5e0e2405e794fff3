// The font cache on Windows: faces matched and glyphs rendered by the
// system's GDI, so the program's text uses the system's own fonts. The rest
// of the font code (descriptions, text measuring and wrapping) is
// graphics/font.cpp's.
#include "graphics/font.h"

#include "platform/win32/gdi_glyphs.h"

namespace vx {

namespace {

constexpr int kDefaultEmPixels = 11;

class GdiFace final : public RenderedFontFace {
public:
    GdiFace(const TFont& font)
        : m_source(font.Name(), font.Height() == 0 ? -kDefaultEmPixels : font.Height(), (font.Style() & fsBold) != 0,
                   (font.Style() & fsItalic) != 0) {
        if (m_source.Valid()) {
            m_metrics.ascent = m_source.Ascent();
            m_metrics.descent = m_source.Descent();
        } else {
            // Without a usable font text still takes up sensible room.
            m_metrics.ascent = MulDiv(kDefaultEmPixels, 4, 5);
            m_metrics.descent = kDefaultEmPixels - m_metrics.ascent;
        }
    }

    const FontMetrics& Metrics() const override { return m_metrics; }

    std::string FaceName() const { return m_source.FaceName(); }

private:
    Glyph Render(char32_t codepoint) override {
        Glyph glyph;
        // Control characters take no room instead of showing a box.
        if (codepoint < 0x20 || codepoint == 0x7F) return glyph;
        if (!m_source.Valid()) {
            glyph.advance = codepoint == U' ' ? kDefaultEmPixels / 4 : kDefaultEmPixels / 2;
            return glyph;
        }
        win::RasterGlyph raster = m_source.Render(codepoint);
        glyph.width = raster.width;
        glyph.height = raster.height;
        glyph.left = raster.left;
        glyph.top = raster.top;
        glyph.advance = raster.advance;
        glyph.bits = std::move(raster.bits);
        return glyph;
    }

    win::GdiGlyphSource m_source;
    FontMetrics m_metrics;
};

}  // namespace

struct FontCache::Impl {
    std::map<std::tuple<std::string, int, TFontStyles>, std::unique_ptr<GdiFace>> faces;

    GdiFace& Face(const TFont& font) {
        const TFontStyles faceStyle = font.Style() & (fsBold | fsItalic);
        auto description = std::make_tuple(font.Name(), font.Height(), faceStyle);
        auto it = faces.find(description);
        if (it == faces.end()) it = faces.emplace(std::move(description), std::make_unique<GdiFace>(font)).first;
        return *it->second;
    }
};

FontCache::FontCache() : m_impl(std::make_unique<Impl>()) {}
FontCache::~FontCache() = default;

FontFace& FontCache::Face(const TFont& font) { return m_impl->Face(font); }

// GDI reads the font files itself; what it chose is known by the face's name.
std::string FontCache::ResolvedFile(const TFont& font) { return m_impl->Face(font).FaceName(); }

}  // namespace vx
