// Text glyphs rendered by the system's GDI, one bit per pixel, for the
// window framework's fonts on Windows. GDI matches the family itself, so the
// system's own MS Sans Serif, Arial or Wingdings draw as in any other
// program, raster faces included.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vx::win {

struct RasterGlyph {
    int width = 0;
    int height = 0;
    int left = 0;                    // from the pen position to the image's left column
    int top = 0;                     // from the baseline up to the image's top row
    int advance = 0;                 // pen advance in pixels
    std::vector<std::uint8_t> bits;  // width * height bytes, 0 or 1, rows top down
};

class GdiGlyphSource {
public:
    // height as a LOGFONT's: negative is the em height in pixels, positive
    // the cell height, 0 the system's default. When GDI cannot make the
    // font, Valid() is false and the glyphs are empty.
    GdiGlyphSource(const std::string& family, int height, bool bold, bool italic);
    ~GdiGlyphSource();
    GdiGlyphSource(const GdiGlyphSource&) = delete;
    GdiGlyphSource& operator=(const GdiGlyphSource&) = delete;

    bool Valid() const;
    int Ascent() const;
    int Descent() const;
    // The face GDI chose for the family, in UTF-8.
    std::string FaceName() const;
    RasterGlyph Render(char32_t codepoint);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace vx::win
