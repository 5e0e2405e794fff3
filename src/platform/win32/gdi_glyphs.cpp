#include "platform/win32/gdi_glyphs.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <utility>

namespace vx::win {

namespace {

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(length - 1));
    return utf8;
}

// The code point as UTF-16.
std::wstring Utf16(char32_t codepoint) {
    if (codepoint < 0x10000) return std::wstring(1, static_cast<wchar_t>(codepoint));
    const char32_t v = codepoint - 0x10000;
    return {static_cast<wchar_t>(0xD800 + (v >> 10)), static_cast<wchar_t>(0xDC00 + (v & 0x3FF))};
}

// Keeps a runaway font height from allocating gigantic glyph images.
constexpr int kMaxHeight = 1024;

}  // namespace

struct GdiGlyphSource::Impl {
    HDC dc = nullptr;
    HFONT font = nullptr;
    HGDIOBJ previousFont = nullptr;
    TEXTMETRICW metrics{};
    LOGFONTW description{};
    bool symbolFace = false;

    // The window's text is Polish, and the default character set gives most
    // systems a face's Western version, whose dialog face has no "ź" or "ę".
    // Letters it lacks come from the same family's Central European version,
    // made when first needed.
    HFONT centralEuropean = nullptr;
    TEXTMETRICW centralEuropeanMetrics{};
    bool centralEuropeanTried = false;
    std::vector<std::uint8_t> lackingLetterBits;
    bool lackingLetterKnown = false;

    // The 1-bit image glyphs are drawn into, grown as needed.
    HBITMAP image = nullptr;
    HGDIOBJ previousImage = nullptr;
    const std::uint8_t* imageBits = nullptr;
    int imageWidth = 0;
    int imageHeight = 0;

    ~Impl() {
        if (dc) {
            if (previousImage) SelectObject(dc, previousImage);
            if (previousFont) SelectObject(dc, previousFont);
            DeleteDC(dc);
        }
        if (image) DeleteObject(image);
        if (font) DeleteObject(font);
        if (centralEuropean) DeleteObject(centralEuropean);
    }

    HFONT CentralEuropean() {
        if (!centralEuropeanTried) {
            centralEuropeanTried = true;
            LOGFONTW other = description;
            other.lfCharSet = EASTEUROPE_CHARSET;
            centralEuropean = CreateFontIndirectW(&other);
            if (centralEuropean) {
                SelectObject(dc, centralEuropean);
                if (!GetTextMetricsW(dc, &centralEuropeanMetrics) || centralEuropeanMetrics.tmHeight <= 0) {
                    DeleteObject(std::exchange(centralEuropean, nullptr));
                }
                SelectObject(dc, font);
            }
        }
        return centralEuropean;
    }

    bool EnsureImage(int width, int height) {
        if (image && width <= imageWidth && height <= imageHeight) return true;
        width = std::max(width, imageWidth);
        height = std::max(height, imageHeight);
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[2];
        } info{};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = width;
        info.header.biHeight = -height;  // top down
        info.header.biPlanes = 1;
        info.header.biBitCount = 1;
        info.header.biCompression = BI_RGB;
        info.colours[1] = RGBQUAD{255, 255, 255, 0};
        void* bits = nullptr;
        HBITMAP made = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!made || !bits) {
            if (made) DeleteObject(made);
            return false;
        }
        HGDIOBJ old = SelectObject(dc, made);
        if (!previousImage) previousImage = old;
        if (image) DeleteObject(image);
        image = made;
        imageBits = static_cast<const std::uint8_t*>(bits);
        imageWidth = width;
        imageHeight = height;
        return true;
    }

    // The glyph in the font selected into the context, whose metrics are given.
    RasterGlyph RenderIn(const TEXTMETRICW& faceMetrics, char32_t codepoint);
    // Whether the face draws the letter rather than its box for a lacking one.
    bool Draws(const RasterGlyph& glyph);
    // Gives a letter drawn from another face this face's spacing.
    void SpaceAsThisFace(RasterGlyph& letter, char32_t codepoint);

    bool Pixel(int x, int y) const {
        const int stride = ((imageWidth + 31) / 32) * 4;
        return ((imageBits[static_cast<std::size_t>(y) * stride + (x >> 3)] >> (7 - (x & 7))) & 1) != 0;
    }
};

namespace {

bool IsSymbolFace(const std::string& family) {
    std::string name = family;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* symbols : {"wingdings", "webdings", "symbol", "marlett"}) {
        if (name == symbols) return true;
    }
    return false;
}

// A code point no face has: what a face draws for a letter it lacks.
constexpr char32_t kNoSuchLetter = 0xE000;

// The plain letter a letter with a mark is made from ("N" for "Ń", "l" for
// "ł"), or 0 when it is made from none.
char32_t BaseLetter(char32_t codepoint) {
    // A stroke is no mark of its own in the system's tables.
    switch (codepoint) {
        case U'\u0141':
            return U'L';
        case U'\u0142':
            return U'l';
        case U'\u0110':
            return U'D';
        case U'\u0111':
            return U'd';
        default:
            break;
    }
    const std::wstring letter = Utf16(codepoint);
    wchar_t parts[8] = {};
    const int length = FoldStringW(MAP_COMPOSITE, letter.c_str(), static_cast<int>(letter.size()), parts, 8);
    if (length < 2 || parts[0] == letter[0] || parts[0] >= 0xD800) return 0;
    return static_cast<char32_t>(parts[0]);
}

}  // namespace

GdiGlyphSource::GdiGlyphSource(const std::string& family, int height, bool bold, bool italic) : m_impl(std::make_unique<Impl>()) {
    LOGFONTW description{};
    description.lfHeight = std::clamp(height, -kMaxHeight, kMaxHeight);
    description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = italic ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    // One bit per pixel: the classic crisp look, as the framework draws it.
    description.lfQuality = NONANTIALIASED_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    const std::wstring face = Widen(family.empty() ? std::string("MS Sans Serif") : family);
    const std::size_t copied = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
    std::copy_n(face.data(), copied, description.lfFaceName);

    m_impl->description = description;
    m_impl->symbolFace = IsSymbolFace(family);
    m_impl->dc = CreateCompatibleDC(nullptr);
    if (!m_impl->dc) return;
    m_impl->font = CreateFontIndirectW(&description);
    if (!m_impl->font) return;
    m_impl->previousFont = SelectObject(m_impl->dc, m_impl->font);
    if (!GetTextMetricsW(m_impl->dc, &m_impl->metrics)) {
        m_impl->metrics = TEXTMETRICW{};
        return;
    }
    SetTextColor(m_impl->dc, RGB(255, 255, 255));
    SetBkColor(m_impl->dc, RGB(0, 0, 0));
    SetBkMode(m_impl->dc, OPAQUE);
    SetTextAlign(m_impl->dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

GdiGlyphSource::~GdiGlyphSource() = default;

bool GdiGlyphSource::Valid() const { return m_impl->metrics.tmHeight > 0; }
int GdiGlyphSource::Ascent() const { return m_impl->metrics.tmAscent; }
int GdiGlyphSource::Descent() const { return m_impl->metrics.tmDescent; }

std::string GdiGlyphSource::FaceName() const {
    if (!Valid()) return {};
    wchar_t name[LF_FACESIZE] = {};
    if (GetTextFaceW(m_impl->dc, LF_FACESIZE, name) == 0) return {};
    return Narrow(name);
}

RasterGlyph GdiGlyphSource::Impl::RenderIn(const TEXTMETRICW& faceMetrics, char32_t codepoint) {
    RasterGlyph glyph;
    const std::wstring text = Utf16(codepoint);
    const int length = static_cast<int>(text.size());
    SIZE extent{};
    if (!GetTextExtentPoint32W(dc, text.c_str(), length, &extent)) return glyph;
    glyph.advance = static_cast<int>(extent.cx);

    // Room on each side for overhangs (italics, negative side bearings).
    const int cell = static_cast<int>(faceMetrics.tmHeight);
    const int pad = cell;
    const int width = glyph.advance + 2 * pad;
    if (!EnsureImage(width, cell)) return glyph;
    const RECT whole{0, 0, imageWidth, imageHeight};
    if (!ExtTextOutW(dc, pad, 0, ETO_OPAQUE, &whole, text.c_str(), static_cast<UINT>(length), nullptr)) {
        return glyph;
    }
    GdiFlush();

    int left = imageWidth, right = -1, top = cell, bottom = -1;
    for (int y = 0; y < cell; ++y) {
        for (int x = 0; x < imageWidth; ++x) {
            if (!Pixel(x, y)) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return glyph;  // a space: advance only
    glyph.width = right - left + 1;
    glyph.height = bottom - top + 1;
    glyph.left = left - pad;
    glyph.top = static_cast<int>(faceMetrics.tmAscent) - top;
    glyph.bits.resize(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.height));
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            glyph.bits[static_cast<std::size_t>(y) * glyph.width + x] = Pixel(left + x, top + y) ? 1 : 0;
        }
    }
    return glyph;
}

bool GdiGlyphSource::Impl::Draws(const RasterGlyph& glyph) {
    if (!lackingLetterKnown) {
        lackingLetterBits = RenderIn(metrics, kNoSuchLetter).bits;
        lackingLetterKnown = true;
    }
    return glyph.bits != lackingLetterBits;
}

// The other face has its own side bearings, often a column or two wider
// than a raster dialog face's: kept, they open a gap after the letter that
// reads as a space ("ZAKOŃ CZONY"). The letter takes its plain letter's
// bearings in this face instead, so it advances by its own ink's width and
// stands in the word as the plain letter would; a letter made from none
// keeps one blank column after its ink, as most letters of such a face do.
void GdiGlyphSource::Impl::SpaceAsThisFace(RasterGlyph& letter, char32_t codepoint) {
    if (const char32_t base = BaseLetter(codepoint); base != 0) {
        const RasterGlyph plain = RenderIn(metrics, base);
        if (!plain.bits.empty() && Draws(plain)) {
            const int trailing = plain.advance - plain.left - plain.width;
            letter.left = plain.left;
            letter.advance = plain.left + letter.width + trailing;
            return;
        }
    }
    letter.left = std::max(letter.left, 0);
    letter.advance = letter.left + letter.width + 1;
}

RasterGlyph GdiGlyphSource::Render(char32_t codepoint) {
    if (!Valid()) return {};
    RasterGlyph glyph = m_impl->RenderIn(m_impl->metrics, codepoint);
    if (codepoint < 0x80 || m_impl->symbolFace || m_impl->Draws(glyph)) return glyph;
    HFONT other = m_impl->CentralEuropean();
    if (other == nullptr) return glyph;
    SelectObject(m_impl->dc, other);
    RasterGlyph fromOther = m_impl->RenderIn(m_impl->centralEuropeanMetrics, codepoint);
    SelectObject(m_impl->dc, m_impl->font);
    if (fromOther.bits.empty()) return glyph;
    m_impl->SpaceAsThisFace(fromOther, codepoint);
    return fromOther;
}

}  // namespace vx::win
