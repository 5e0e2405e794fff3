// Decoding the pictures: the program's own, and damaged, truncated or
// empty data, which must come back as a PictureError and never end the
// program.
#include "graphics/picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "framework/resources.h"

namespace vx {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Resource(const std::string& name) {
    const auto bytes = FindResource(name);
    if (!bytes) return {};
    return Bytes(bytes->begin(), bytes->end());
}

void PutLe(Bytes& b, std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
}

// A bitmap file: header, optional palette, rows as given (already padded).
Bytes Bmp(int width, int height, int bits, const Bytes& palette, const Bytes& rows, std::uint32_t compression = 0) {
    Bytes b(54 + palette.size());
    b[0] = 'B';
    b[1] = 'M';
    PutLe(b, 2, static_cast<std::uint32_t>(b.size() + rows.size()), 4);
    PutLe(b, 10, static_cast<std::uint32_t>(b.size()), 4);
    PutLe(b, 14, 40, 4);
    PutLe(b, 18, static_cast<std::uint32_t>(width), 4);
    PutLe(b, 22, static_cast<std::uint32_t>(height), 4);
    PutLe(b, 26, 1, 2);
    PutLe(b, 28, static_cast<std::uint32_t>(bits), 2);
    PutLe(b, 30, compression, 4);
    PutLe(b, 46, static_cast<std::uint32_t>(palette.size() / 4), 4);
    std::copy(palette.begin(), palette.end(), b.begin() + 54);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

TEST(PictureTest, TheProgramsPicturesDecode) {
    const struct {
        const char* name;
        int width, height;
    } cases[] = {{"icon.bmp", 32, 32}, {"logo.bmp", 213, 48}, {"background.jpg", 630, 382}};
    for (const auto& c : cases) {
        const Bytes bytes = Resource(c.name);
        ASSERT_FALSE(bytes.empty()) << c.name << " is not among the resources";
        const Bitmap b = DecodePicture(bytes, c.name);
        EXPECT_EQ(b.Width(), c.width) << c.name;
        EXPECT_EQ(b.Height(), c.height) << c.name;
    }
    // The header leaves out the colour of the logo's bottom-left pixel; the
    // logo must not use it for anything it shows.
    const Bitmap logo = DecodePicture(Resource("logo.bmp"), "logo.bmp");
    EXPECT_EQ(logo.GetPixel(0, 47), clFuchsia);
    EXPECT_EQ(logo.GetPixel(212, 0), clFuchsia);
    // The background is dark: white and lime stand out on it.
    const Bitmap background = DecodePicture(Resource("background.jpg"), "background.jpg");
    long long sum = 0;
    for (std::uint32_t p : background.Pixels()) sum += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
    EXPECT_LT(sum / (3LL * static_cast<long long>(background.Pixels().size())), 70);
}

TEST(PictureTest, DamagedJpegsAreErrors) {
    const Bytes good = Resource("background.jpg");
    ASSERT_GT(good.size(), 1000u);
    Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    Bytes garbage(2000, 0x5A);
    Bytes noStart = good;
    noStart[0] = 0x00;  // the start-of-image marker destroyed
    Bytes headerOnly(good.begin(), good.begin() + 2);
    // A frame header that claims 60000 x 60000 pixels.
    Bytes huge = good;
    for (std::size_t i = 2; i + 8 < huge.size(); ++i) {
        if (huge[i] == 0xFF && (huge[i + 1] == 0xC0 || huge[i + 1] == 0xC2)) {
            huge[i + 5] = 0xEA;
            huge[i + 6] = 0x60;
            huge[i + 7] = 0xEA;
            huge[i + 8] = 0x60;
            break;
        }
    }
    const struct {
        const char* what;
        Bytes bytes;
        const char* messagePart;
    } cases[] = {
        {"empty", {}, "is empty"},
        {"truncated", truncated, "is damaged"},
        {"garbage", garbage, "is damaged"},
        {"no start marker", noStart, "is damaged"},
        {"the start marker alone", headerOnly, "is damaged"},
        {"an absurd size", huge, "claims"},
    };
    for (const auto& c : cases) {
        try {
            DecodePicture(c.bytes, "background.jpg");
            ADD_FAILURE() << c.what << ": decoded";
        } catch (const PictureError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("\"background.jpg\""), std::string::npos) << c.what << ": " << message;
            EXPECT_NE(message.find(c.messagePart), std::string::npos) << c.what << ": " << message;
        }
    }
}

TEST(PictureTest, BitmapVariants) {
    // 2 x 2, 24 bits, bottom-up: the first row in the file is the bottom one.
    const Bytes rows24 = {0,   0, 255, 0,   255, 0,   0, 0,   // red, lime, padding
                          255, 0, 0,   255, 255, 255, 0, 0};  // blue, white, padding
    const Bitmap b = DecodeBmp(Bmp(2, 2, 24, {}, rows24), "x.bmp");
    EXPECT_EQ(b.GetPixel(0, 1), clRed);
    EXPECT_EQ(b.GetPixel(1, 1), clLime);
    EXPECT_EQ(b.GetPixel(0, 0), clBlue);
    EXPECT_EQ(b.GetPixel(1, 0), clWhite);

    const Bitmap topDown = DecodeBmp(Bmp(2, -2, 24, {}, rows24), "x.bmp");
    EXPECT_EQ(topDown.GetPixel(0, 0), clRed) << "a negative height stores rows top down";

    // 8 bits with a two-colour palette; index 7 lies beyond it.
    const Bytes palette = {0, 0, 255, 0, 0, 255, 0, 0};  // red, lime
    const Bitmap indexed = DecodeBmp(Bmp(3, 1, 8, palette, {1, 0, 7, 0}), "x.bmp");
    EXPECT_EQ(indexed.GetPixel(0, 0), clLime);
    EXPECT_EQ(indexed.GetPixel(1, 0), clRed);
    EXPECT_EQ(indexed.GetPixel(2, 0), clBlack);

    const Bitmap wide = DecodeBmp(Bmp(1, 1, 32, {}, {10, 20, 30, 0}), "x.bmp");
    EXPECT_EQ(wide.GetPixel(0, 0), RGB(30, 20, 10));
}

TEST(PictureTest, DamagedBitmapsAreErrors) {
    const Bytes rows = {0, 0, 255, 0};
    Bytes badMagic = Bmp(1, 1, 24, {}, rows);
    badMagic[0] = 'X';
    Bytes badHeader = Bmp(1, 1, 24, {}, rows);
    PutLe(badHeader, 14, 12, 4);
    Bytes offsetBeyond = Bmp(1, 1, 24, {}, rows);
    PutLe(offsetBeyond, 10, 100000, 4);
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"too short", Bytes(20, 'B')},
        {"not a bitmap", badMagic},
        {"unknown header", badHeader},
        {"rows missing", Bmp(4, 4, 24, {}, rows)},
        {"pixel data beyond the end", offsetBeyond},
        {"zero width", Bmp(0, 1, 24, {}, rows)},
        {"absurd size", Bmp(100000, 100000, 24, {}, rows)},
        {"height of -2^31, which cannot be turned upright", Bmp(1, std::numeric_limits<std::int32_t>::min(), 24, {}, rows)},
        {"four bits", Bmp(1, 1, 4, {}, rows)},
        {"compressed", Bmp(1, 1, 8, {}, rows, 1)},
        {"palette too long", Bmp(1, 1, 8, Bytes(257 * 4, 0), rows)},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(DecodeBmp(c.bytes, "x.bmp"), PictureError) << c.what;
    }
}

TEST(PictureTest, KindFollowsTheFileNamesEnding) {
    const Bytes jpeg = Resource("background.jpg");
    EXPECT_EQ(DecodePicture(jpeg, "BACKGROUND.JPG").Width(), 630);
    EXPECT_EQ(DecodePicture(jpeg, "x.jpeg").Width(), 630);
    EXPECT_THROW(DecodePicture(jpeg, "x.bmp"), PictureError);
    EXPECT_THROW(DecodePicture(jpeg, "x.png"), PictureError);
    EXPECT_THROW(DecodePicture(jpeg, "jpg"), PictureError);
}

}  // namespace
}  // namespace vx
