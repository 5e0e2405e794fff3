// The font cache on Linux: faces loaded by FreeType from the files the font
// catalogue names (graphics/fontconfig), glyphs rendered without
// anti-aliasing. The rest of the font code (descriptions, text measuring and
// wrapping) is graphics/font.cpp's.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

#include "graphics/font.h"
#include "graphics/font_files.h"

namespace vx {

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

int CeilPixels(FT_Pos value26_6) { return static_cast<int>(value26_6 >= 0 ? (value26_6 + 63) / 64 : -(-value26_6 / 64)); }

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
        : m_library(library), m_face(std::move(face)), m_emPixels(emPixels), m_strike(strike), m_syntheticBold(syntheticBold) {
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

}  // namespace vx
