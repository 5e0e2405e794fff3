#include "graphics/font.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <ft2build.h>
#include FT_FREETYPE_H
#endif

#include <algorithm>
#include <filesystem>
#include <memory>

namespace vx {
namespace {

TEST(Utf8Test, DecodesAndReplacesInvalidBytes) {
    struct Row {
        const char* comment;
        std::string input;
        std::u32string expected;
    };
    const Row rows[] = {
        {"ASCII", "Ab", U"Ab"},
        {"Polish two-byte letters", "\xC5\xBA\xC3\xB3", U"\u017A\u00F3"},
        {"three bytes", "\xE2\x82\xAC", U"\u20AC"},
        {"four bytes", "\xF0\x9F\x8E\xAC", U"\U0001F3AC"},
        {"lone continuation byte", "a\x80z", U"a\uFFFDz"},
        {"truncated sequence keeps the next character",
         "\xC5"
         "a",
         U"\uFFFDa"},
        {"truncated at the end", "a\xE2\x82", U"a\uFFFD"},
        {"overlong encoding of '/'", "\xC0\xAF", U"\uFFFD\uFFFD"},
        {"surrogate half", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"invalid lead byte", "\xFF", U"\uFFFD"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DecodeUtf8(row.input), row.expected) << row.comment;
    }
}

// Every character one pixel wide, so widths are character counts.
class FixedFace : public FontFace {
public:
    FixedFace() {
        m_glyph.advance = 1;
        m_metrics.ascent = 1;
    }
    const FontMetrics& Metrics() const override { return m_metrics; }
    const Glyph& GlyphFor(char32_t) override { return m_glyph; }

private:
    FontMetrics m_metrics;
    Glyph m_glyph;
};

TEST(WrapTextTest, BreaksAtSpacesAndInsideOverlongWords) {
    struct Row {
        const char* comment;
        std::string text;
        int maxWidth;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"empty text is one empty line", "", 10, {""}},
        {"fits on one line", "ab cd", 5, {"ab cd"}},
        {"breaks at the last space that fits", "ab cd ef", 5, {"ab cd", "ef"}},
        {"a word never splits when it fits a line", "abc defg", 5, {"abc", "defg"}},
        {"overlong word is cut, its tail continues the line", "abcdefg hi", 3, {"abc", "def", "g", "hi"}},
        {"tail of a cut word shares a line", "abcdefg h", 3, {"abc", "def", "g h"}},
        {"newline starts a new line", "ab\ncd", 10, {"ab", "cd"}},
        {"CRLF is one line break", "ab\r\ncd", 10, {"ab", "cd"}},
        {"empty line between breaks is kept", "ab\n\ncd", 10, {"ab", "", "cd"}},
        {"trailing newline gives an empty last line", "ab\n", 10, {"ab", ""}},
        {"space at a break is dropped", "ab  cd", 2, {"ab", "cd"}},
        {"multi-byte characters are not cut apart", "\xC5\xBA\xC3\xB3\xC4\x99", 2, {"\xC5\xBA\xC3\xB3", "\xC4\x99"}},
        {"zero width still gives every character", "ab", 0, {"a", "b"}},
    };
    FixedFace face;
    for (const Row& row : rows) {
        EXPECT_EQ(WrapText(face, row.text, row.maxWidth), row.expected) << row.comment;
    }
}

TEST(FontTest, HeightAndPointSize) {
    struct Row {
        const char* comment;
        int height;
        int points;
    };
    // Height is what SetSize(points) produces and Size() reports back.
    const Row rows[] = {
        {"8 pt, the default dialog font", -11, 8},
        {"9 pt", -12, 9},
        {"10 pt rounds 13.33 px to 13", -13, 10},
        {"12 pt", -16, 12},
        {"72 pt is one inch", -96, 72},
    };
    for (const Row& row : rows) {
        TFont font;
        font.SetSize(row.points);
        EXPECT_EQ(font.Height(), row.height) << row.comment;
        font.SetHeight(row.height);
        EXPECT_EQ(font.Size(), row.points) << row.comment;
    }
    TFont cell;
    cell.SetHeight(16);
    EXPECT_EQ(cell.Size(), -12) << "a positive (cell) height gives a negative size";
}

TEST(FontTest, ChangeCallbackFiresOnRealChangesOnly) {
    TFont font;
    int changes = 0;
    font.SetOnChange([&] { ++changes; });
    font.SetHeight(font.Height());
    font.SetName(font.Name());
    EXPECT_EQ(changes, 0);
    font.SetStyle(fsBold);
    font.SetColor(clRed);
    EXPECT_EQ(changes, 2);
    TFont other;
    font.Assign(other);
    EXPECT_EQ(changes, 3);
    font.SetSize(20);
    EXPECT_EQ(changes, 4) << "Assign keeps this font's callback";
}

class FontCacheTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_cache = std::make_unique<FontCache>(); }
    static void TearDownTestSuite() { s_cache.reset(); }

    static TFont Font(const std::string& name, TFontStyles style = 0, int height = -11) {
        TFont font;
        font.SetName(name);
        font.SetStyle(style);
        font.SetHeight(height);
        return font;
    }
    static std::string FileName(const TFont& font) {
        return std::filesystem::path(s_cache->ResolvedFile(font)).filename().string();
    }

    // Wine's fonts for the classic desktop (Debian's fonts-wine), where installed.
    static bool ClassicFaces() { return std::filesystem::exists("/usr/share/wine/fonts/ms_sans_serif.ttf"); }
    static std::string Classic(const std::string& file) { return ClassicFaces() ? file : "DejaVuSans.ttf"; }

    static std::unique_ptr<FontCache> s_cache;
};

std::unique_ptr<FontCache> FontCacheTest::s_cache;

// Which files fontconfig picks and what FreeType finds in them; GDI's
// choices are tested in tests/platform/win32_gdi_glyphs_test.cpp.
#if !defined(_WIN32)
TEST_F(FontCacheTest, FamiliesResolveToInstalledFiles) {
    struct Row {
        const char* comment;
        TFont font;
        std::string file;
    };
    const Row rows[] = {
        {"the dialog font", Font("MS Sans Serif"), Classic("ms_sans_serif.ttf")},
        {"the dialog font has no bold face of its own", Font("MS Sans Serif", fsBold),
         ClassicFaces() ? "ms_sans_serif.ttf" : "DejaVuSans-Bold.ttf"},
        {"symbol font", Font("Wingdings"), Classic("wingding.ttf")},
        {"Tahoma", Font("Tahoma"), Classic("tahoma.ttf")},
        {"Tahoma bold", Font("Tahoma", fsBold), ClassicFaces() ? "tahomabd.ttf" : "DejaVuSans-Bold.ttf"},
        {"Arial", Font("Arial"), "LiberationSans-Regular.ttf"},
        {"Arial bold is a real bold face", Font("Arial", fsBold), "LiberationSans-Bold.ttf"},
        {"unknown family falls back to sans", Font("No Such Family 7"), "DejaVuSans.ttf"},
        {"empty family falls back to sans", Font(""), "DejaVuSans.ttf"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FileName(row.font), row.file) << row.comment;
    }
}

// Glyph indices straight from the resolved file, so a missing-glyph box can
// not pass for a letter.
std::vector<FT_UInt> CharIndices(const std::string& file, const std::u32string& text) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return {};
    std::vector<FT_UInt> indices;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), 0, &face) == 0) {
        for (char32_t cp : text) indices.push_back(FT_Get_Char_Index(face, cp));
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return indices;
}

TEST_F(FontCacheTest, PolishTextHasEveryGlyph) {
    const std::string text = "Sprawdź, czy Twój komputer nadaje się do odtwarzania filmów AVI!";
    const std::u32string codepoints = DecodeUtf8(text);
    for (const TFont& font :
         {Font("MS Sans Serif"), Font("MS Sans Serif", fsBold), Font("Arial"), Font("Arial", fsBold | fsItalic)}) {
        const std::string file = s_cache->ResolvedFile(font);
        const std::vector<FT_UInt> indices = CharIndices(file, codepoints);
        ASSERT_EQ(indices.size(), codepoints.size()) << file;
        FontFace& face = s_cache->Face(font);
        for (std::size_t i = 0; i < codepoints.size(); ++i) {
            const Glyph& glyph = face.GlyphFor(codepoints[i]);
            EXPECT_NE(indices[i], 0u) << file << " lacks U+" << std::hex << static_cast<unsigned>(codepoints[i]);
            EXPECT_GT(glyph.advance, 0) << file;
            if (codepoints[i] == U' ') continue;
            EXPECT_TRUE(std::find(glyph.bits.begin(), glyph.bits.end(), 1) != glyph.bits.end())
                << file << " renders U+" << std::hex << static_cast<unsigned>(codepoints[i]) << " empty";
            // Monochrome: nothing but 0 and 1.
            EXPECT_TRUE(std::all_of(glyph.bits.begin(), glyph.bits.end(), [](std::uint8_t b) { return b <= 1; }));
        }
    }
}

TEST_F(FontCacheTest, FacesAreSharedBetweenEqualDescriptions) {
    FontFace& sans = s_cache->Face(Font("DejaVu Sans"));
    TFont coloured = Font("DejaVu Sans");
    coloured.SetColor(clRed);
    coloured.SetStyle(fsUnderline);
    EXPECT_EQ(&s_cache->Face(coloured), &sans) << "colour and underline do not change the face";
    EXPECT_EQ(&s_cache->Face(Font("DejaVu Sans", 0, 0)), &sans) << "height 0 is the default 11 px";
    EXPECT_EQ(&s_cache->Face(Font("No Such Family 7")), &sans) << "same file and size";
    // DejaVu Sans's cell is 2384 units for a 2048 em: a 13 px cell is an 11 px em.
    EXPECT_EQ(&s_cache->Face(Font("DejaVu Sans", 0, 13)), &sans);
    EXPECT_NE(&s_cache->Face(Font("DejaVu Sans", 0, -12)), &sans);
}

TEST_F(FontCacheTest, TheBitmapDialogFaceDrawsItsOwnGlyphs) {
    if (!ClassicFaces()) GTEST_SKIP() << "fonts-wine is not installed";
    struct Row {
        char32_t codepoint;
        int left, top, advance;
        std::vector<std::string> rows;  // '#' ink
    };
    const Row rows[] = {
        {U'O', 1, 9, 8, {".####.", "#....#", "#....#", "#....#", "#....#", "#....#", "#....#", "#....#", ".####."}},
        {U'g', 1, 6, 6, {".###.", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
        {U'\u015B', 1, 9, 5, {"...#", "..#.", "....", ".##.", "#..#", ".#..", "..#.", "#..#", ".##."}},  // ś
    };
    FontFace& face = s_cache->Face(Font("MS Sans Serif"));
    for (const Row& row : rows) {
        const Glyph& g = face.GlyphFor(row.codepoint);
        SCOPED_TRACE(static_cast<unsigned>(row.codepoint));
        EXPECT_EQ(g.left, row.left);
        EXPECT_EQ(g.top, row.top);
        EXPECT_EQ(g.advance, row.advance);
        ASSERT_EQ(g.height, static_cast<int>(row.rows.size()));
        ASSERT_EQ(g.width, static_cast<int>(row.rows[0].size()));
        for (int y = 0; y < g.height; ++y) {
            std::string drawn;
            for (int x = 0; x < g.width; ++x) drawn += g.bits[static_cast<std::size_t>(y * g.width + x)] ? '#' : '.';
            EXPECT_EQ(drawn, row.rows[static_cast<std::size_t>(y)]) << "row " << y;
        }
    }
}

TEST_F(FontCacheTest, TheBitmapDialogFaceTakesTheStrikeForTheHeight) {
    if (!ClassicFaces()) GTEST_SKIP() << "fonts-wine is not installed";
    // The face's strikes: 13, 16 and 20-pixel cells with 11, 13 and 16-pixel
    // characters (8, 10 and 12 points at 96 DPI).
    struct Row {
        const char* comment;
        int height;
        int ascent, descent;
    };
    const Row rows[] = {
        {"8 points", -11, 11, 2},
        {"the default height", 0, 11, 2},
        {"between two strikes: the smaller", -12, 11, 2},
        {"10 points", -13, 13, 3},
        {"12 points", -16, 16, 4},
        {"larger than any: the largest", -40, 16, 4},
        {"smaller than any: the smallest", -6, 11, 2},
        {"a 13-pixel cell", 13, 11, 2},
        {"a 16-pixel cell", 16, 13, 3},
        {"a 19-pixel cell", 19, 13, 3},
    };
    for (const Row& row : rows) {
        const FontMetrics& m = s_cache->Face(Font("MS Sans Serif", 0, row.height)).Metrics();
        EXPECT_EQ(m.ascent, row.ascent) << row.comment;
        EXPECT_EQ(m.descent, row.descent) << row.comment;
    }
    EXPECT_EQ(&s_cache->Face(Font("MS Sans Serif", 0, -12)), &s_cache->Face(Font("MS Sans Serif"))) << "one face for one strike";
}

TEST_F(FontCacheTest, MissingFaceIsEmboldenedSynthetically) {
    // A family installed without a bold face.
    const TFont regular = Font("Droid Sans Fallback");
    const TFont bold = Font("Droid Sans Fallback", fsBold);
    if (FileName(regular) != "DroidSansFallbackFull.ttf" || FileName(bold) != FileName(regular)) {
        GTEST_SKIP() << "no font without a bold face installed";
    }
    const Glyph& thin = s_cache->Face(regular).GlyphFor(U'\u4E2D');
    const Glyph& thick = s_cache->Face(bold).GlyphFor(U'\u4E2D');
    EXPECT_EQ(thick.advance, thin.advance + 1);
    EXPECT_EQ(thick.width, thin.width + 1);
    EXPECT_GT(std::count(thick.bits.begin(), thick.bits.end(), 1), std::count(thin.bits.begin(), thin.bits.end(), 1));
}

#endif  // !_WIN32

TEST_F(FontCacheTest, UnusualCharactersDoNotBreakRendering) {
    FontFace& face = s_cache->Face(Font("MS Sans Serif"));
    EXPECT_EQ(face.GlyphFor(U'\t').advance, 0) << "control characters take no room";
    EXPECT_EQ(face.GlyphFor(U'\r').bits.size(), 0u);
    const Glyph& unmapped = face.GlyphFor(U'\uE000');
    EXPECT_EQ(unmapped.bits.size(), static_cast<std::size_t>(unmapped.width * unmapped.height));
    EXPECT_EQ(face.Extent("a\xFF"
                          "b")
                  .cx,
              face.Extent("a\xEF\xBF\xBD"
                          "b")
                  .cx)
        << "bad bytes measure as U+FFFD";
}

}  // namespace
}  // namespace vx
