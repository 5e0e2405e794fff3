// Writes the program's pictures into the resources folder:
//   icon.bmp        the window icon, 32 x 32, 24-bit;
//   icons/vidorex-N.png  the same icon drawn at N x N pixels (N = 16, 24,
//                   32, 48, 64, 128, 256) for the desktop's icon theme;
//   icons/vidorex.ico    the Windows program's icon, 16, 32 and 48 pixels;
//   logo.bmp        the maker's logo "Tervalo" for the header, 213 x 48,
//                   24-bit; its bottom-left pixel holds the colour that the
//                   header draws transparent;
//   background.jpg  the test panel's background, 630 x 382.
// Every pixel comes from the shapes below: no fonts and no outside
// randomness, so a second run writes the same files.
//
//   vidorex_make_pictures RESOURCES_DIR
//
// Sections: shapes; pictures; files.

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t) { return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

std::uint8_t Channel(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

class Image {
public:
    Image(int width, int height, Rgb fill)
        : m_width(width),
          m_height(height),
          m_pixels(static_cast<std::size_t>(width * height), fill),
          m_touched(static_cast<std::size_t>(width * height), 0.0) {}

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rgb& At(int x, int y) { return m_pixels[Index(x, y)]; }
    const Rgb& At(int x, int y) const { return m_pixels[Index(x, y)]; }
    // How much any shape covered the pixel.
    double Touched(int x, int y) const { return m_touched[Index(x, y)]; }

    // Paints a shape given by an inside test on sub-pixel positions; edges
    // are smoothed with 4 x 4 samples per pixel.
    void Paint(const std::function<bool(double, double)>& inside, const std::function<Rgb(double, double)>& colour) {
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy) {
                    for (int sx = 0; sx < 4; ++sx) {
                        if (inside(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0)) ++hits;
                    }
                }
                if (hits == 0) continue;
                const double coverage = hits / 16.0;
                Rgb& p = At(x, y);
                p = Mix(p, colour(x + 0.5, y + 0.5), coverage);
                double& t = m_touched[Index(x, y)];
                t = std::max(t, coverage);
            }
        }
    }

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y * m_width + x); }

    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
    std::vector<double> m_touched;
};

// ---------------------------------------------------------------- shapes

struct Point {
    double x = 0;
    double y = 0;
};

double DistanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x;
    const double ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

// A drawing made of round-capped strokes of one width.
struct Strokes {
    std::vector<std::pair<Point, Point>> segments;

    void Line(Point a, Point b) { segments.emplace_back(a, b); }
    // An arc of a circle, angles in degrees counter-clockwise from the right
    // (screen y grows downwards).
    void Arc(Point centre, double radius, double fromDegrees, double toDegrees) {
        const int pieces = std::max(8, static_cast<int>(std::abs(toDegrees - fromDegrees) / 6));
        Point last{};
        for (int i = 0; i <= pieces; ++i) {
            const double a = (fromDegrees + (toDegrees - fromDegrees) * i / pieces) * std::numbers::pi / 180.0;
            const Point p{centre.x + radius * std::cos(a), centre.y - radius * std::sin(a)};
            if (i > 0) Line(last, p);
            last = p;
        }
    }
    bool Covers(Point p, double halfWidth) const {
        for (const auto& [a, b] : segments) {
            if (DistanceToSegment(p, a, b) <= halfWidth) return true;
        }
        return false;
    }
};

bool InsideTriangle(Point p, Point a, Point b, Point c) {
    const auto side = [](Point p, Point a, Point b) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); };
    const double d1 = side(p, a, b);
    const double d2 = side(p, b, c);
    const double d3 = side(p, c, a);
    const bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    const bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

// The word "Tervalo" as strokes: baseline at y, left edge at x, letters
// drawn on a grid whose x-height is 16 units, scaled by `scale`.
Strokes Wordmark(double x, double y, double scale) {
    Strokes s;
    double pen = x;
    const auto at = [&](double u, double v) { return Point{pen + u * scale, y + v * scale}; };
    const auto arc = [&](double u, double v, double r, double from, double to) { s.Arc(at(u, v), r * scale, from, to); };
    // T
    s.Line(at(0.5, -23), at(15.5, -23));
    s.Line(at(8, -23), at(8, -2));
    pen += 17 * scale;
    // e: a bar through the bowl, which stays open at the lower right
    s.Line(at(1.5, -8), at(13, -8));
    arc(7, -8, 6, 0, 315);
    pen += 16 * scale;
    // r
    s.Line(at(2, -14), at(2, -2));
    arc(8, -9, 6, 170, 75);
    pen += 12 * scale;
    // v
    s.Line(at(1, -14), at(7, -2));
    s.Line(at(7, -2), at(13, -14));
    pen += 15 * scale;
    // a: a round bowl with a stem
    arc(7, -8, 6, 0, 360);
    s.Line(at(13, -14), at(13, -2));
    pen += 17 * scale;
    // l
    s.Line(at(2, -24), at(2, -2));
    pen += 6 * scale;
    // o
    arc(7, -8, 6, 0, 360);
    return s;
}

// The maker's emblem: a round blue badge with a white "play" triangle.
void PaintEmblem(Image& image, Point centre, double radius) {
    const Rgb top{40, 120, 210};
    const Rgb bottom{12, 44, 112};
    image.Paint([&](double x, double y) { return std::hypot(x - centre.x, y - centre.y) <= radius; },
                [&](double, double y) { return Mix(top, bottom, std::clamp((y - centre.y + radius) / (2 * radius), 0.0, 1.0)); });
    // A lighter rim lifts the badge off the page.
    image.Paint(
        [&](double x, double y) {
            const double d = std::hypot(x - centre.x, y - centre.y);
            return d <= radius && d >= radius - 1.6;
        },
        [](double, double) {
            return Rgb{110, 180, 240};
        });
    const double r = radius;
    const Point a{centre.x - 0.35 * r, centre.y - 0.5 * r};
    const Point b{centre.x - 0.35 * r, centre.y + 0.5 * r};
    const Point c{centre.x + 0.55 * r, centre.y};
    image.Paint(
        [&](double x, double y) {
            return InsideTriangle({x, y}, a, b, c);
        },
        [](double, double) {
            return Rgb{255, 255, 255};
        });
}

// ---------------------------------------------------------------- pictures

Image MakeLogo() {
    // Drawn on white, the header's colour, so that smoothed edges blend into
    // it; what no shape touched becomes the transparent colour afterwards.
    // The left part stays clear: the header's comment line may run up to it.
    Image image(213, 48, Rgb{255, 255, 255});
    PaintEmblem(image, Point{40, 24}, 20);
    const Strokes word = Wordmark(72, 38, 1.3);
    image.Paint([&](double x, double y) { return word.Covers({x, y}, 2.6); }, [](double, double) { return Rgb{16, 44, 100}; });
    // A thin lime underline, the colour of the digits in the window.
    image.Paint([](double x, double y) { return x >= 73 && x <= 201 && y >= 43 && y <= 44.5; },
                [](double x, double) {
                    return Mix(Rgb{0, 200, 0}, Rgb{40, 120, 210}, (x - 73) / 128);
                });
    const Rgb key{255, 0, 255};
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            if (image.Touched(x, y) == 0) image.At(x, y) = key;
        }
    }
    return image;
}

// The icon is drawn on a 32-unit grid; other sizes draw the same shapes
// scaled, so that every size is sharp rather than a resampled 32-pixel one.
// At 32 pixels the scale is exactly 1 and icon.bmp keeps its pixels.
Image MakeIcon(int size) {
    const double unit = size / 32.0;
    const auto paint = [&](Image& image, auto inside, auto colour) {
        image.Paint([&](double x, double y) { return inside(x / unit, y / unit); },
                    [&](double x, double y) { return colour(x / unit, y / unit); });
    };
    Image image(size, size, Rgb{14, 26, 52});
    // A strip of film along the top and bottom edges...
    paint(
        image, [](double, double y) { return y < 6 || y >= 26; },
        [](double, double) {
            return Rgb{30, 30, 34};
        });
    paint(
        image,
        [](double x, double y) {
            const double cx = std::fmod(x, 6.0);
            return cx >= 1.5 && cx <= 4.0 && ((y >= 1.5 && y <= 4.0) || (y >= 27.5 && y <= 30.0));
        },
        [](double, double) {
            return Rgb{225, 225, 215};
        });
    // ...and the emblem's "play" sign in the window's lime.
    paint(
        image,
        [](double x, double y) {
            return InsideTriangle({x, y}, {10, 8.5}, {10, 23.5}, {24, 16});
        },
        [](double, double y) {
            return Mix(Rgb{120, 255, 120}, Rgb{0, 190, 0}, (y - 8.5) / 15);
        });
    return image;
}

// A small deterministic generator for the background's grain.
class Lcg {
public:
    double Next() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(m_state >> 11) / static_cast<double>(1ULL << 53);
    }

private:
    std::uint64_t m_state = 0x5EED5EEDULL;
};

Image MakeBackground() {
    const int width = 630;
    const int height = 382;
    Image image(width, height, Rgb{});
    Lcg random;
    // A dark blue-grey ramp with a soft glow at the upper right and faint
    // diagonal light beams, dark enough for white captions and lime digits.
    const Rgb top{22, 34, 58};
    const Rgb bottom{8, 12, 24};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb p = Mix(top, bottom, static_cast<double>(y) / (height - 1));
            const double glow = std::exp(-std::pow(std::hypot(x - 500.0, y - 60.0) / 300.0, 2));
            p.r += 10 * glow;
            p.g += 26 * glow;
            p.b += 44 * glow;
            const double along = x * std::cos(0.35) + y * std::sin(0.35);
            const double beams = std::pow(std::max(0.0, std::sin(along / 55.0)), 8) * (1.0 - static_cast<double>(y) / height);
            p.r += 6 * beams;
            p.g += 10 * beams;
            p.b += 14 * beams;
            const double grain = (random.Next() - 0.5) * 3.0;
            image.At(x, y) = Rgb{p.r + grain, p.g + grain, p.b + grain};
        }
    }
    // A faint strip of film along the bottom edge, below the controls.
    image.Paint([](double, double y) { return y >= 357 && y < 379; }, [](double, double) { return Rgb{14, 18, 28}; });
    image.Paint(
        [](double x, double y) {
            const double cx = std::fmod(x, 16.0);
            return cx >= 5 && cx <= 11 && ((y >= 359.5 && y <= 363) || (y >= 373 && y <= 376.5));
        },
        [](double, double) {
            return Rgb{34, 42, 58};
        });
    return image;
}

// ---------------------------------------------------------------- files

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void PutLe(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// An uncompressed 24-bit bitmap file, rows bottom up.
std::vector<unsigned char> EncodeBmp(const Image& image) {
    const auto width = static_cast<std::uint32_t>(image.Width());
    const auto height = static_cast<std::uint32_t>(image.Height());
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t dataSize = stride * height;
    std::vector<unsigned char> out;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, 54 + dataSize, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);
    PutLe(out, width, 4);
    PutLe(out, height, 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);
    PutLe(out, dataSize, 4);
    PutLe(out, 2835, 4);  // 72 pixels per inch
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgb& p = image.At(x, y);
            out.push_back(Channel(p.b));
            out.push_back(Channel(p.g));
            out.push_back(Channel(p.r));
        }
        for (std::uint32_t pad = width * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

void PutBe(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// An opaque 8-bit RGB PNG, compressed by zlib at its best level.
std::vector<unsigned char> EncodePng(const Image& image) {
    std::vector<unsigned char> raw;
    for (int y = 0; y < image.Height(); ++y) {
        raw.push_back(0);  // no row filter
        for (int x = 0; x < image.Width(); ++x) {
            const Rgb& p = image.At(x, y);
            raw.push_back(Channel(p.r));
            raw.push_back(Channel(p.g));
            raw.push_back(Channel(p.b));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("zlib cannot compress the picture");
    }
    packed.resize(packedSize);

    std::vector<unsigned char> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const auto chunk = [&out](const char* type, const std::vector<unsigned char>& data) {
        PutBe(out, static_cast<std::uint32_t>(data.size()));
        const std::size_t typeAt = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        // The checksum covers the type and the data, not the length.
        const uLong crc = crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt));
        PutBe(out, static_cast<std::uint32_t>(crc));
    };
    std::vector<unsigned char> header;
    PutBe(header, static_cast<std::uint32_t>(image.Width()));
    PutBe(header, static_cast<std::uint32_t>(image.Height()));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits per channel, RGB, deflate, the standard filters, not interlaced
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return out;
}

// A Windows icon file whose pictures are 32-bit device-independent bitmaps,
// which every Windows since XP reads (PNG pictures only from Vista on). The
// pictures are opaque: alpha 255 and an empty AND mask.
std::vector<unsigned char> EncodeIco(const std::vector<Image>& images) {
    std::vector<std::vector<unsigned char>> pictures;
    for (const Image& image : images) {
        const auto width = static_cast<std::uint32_t>(image.Width());
        const auto height = static_cast<std::uint32_t>(image.Height());
        const std::uint32_t maskStride = (width + 31) / 32 * 4;
        std::vector<unsigned char> dib;
        PutLe(dib, 40, 4);
        PutLe(dib, width, 4);
        PutLe(dib, height * 2, 4);  // the colour picture and the mask below it
        PutLe(dib, 1, 2);
        PutLe(dib, 32, 2);
        PutLe(dib, 0, 4);
        PutLe(dib, width * height * 4 + maskStride * height, 4);
        PutLe(dib, 0, 4);
        PutLe(dib, 0, 4);
        PutLe(dib, 0, 4);
        PutLe(dib, 0, 4);
        for (int y = image.Height() - 1; y >= 0; --y) {
            for (int x = 0; x < image.Width(); ++x) {
                const Rgb& p = image.At(x, y);
                dib.insert(dib.end(), {Channel(p.b), Channel(p.g), Channel(p.r), 255});
            }
        }
        dib.insert(dib.end(), static_cast<std::size_t>(maskStride * height), 0);
        pictures.push_back(std::move(dib));
    }
    std::vector<unsigned char> out;
    PutLe(out, 0, 2);
    PutLe(out, 1, 2);  // an icon, not a cursor
    PutLe(out, static_cast<std::uint32_t>(images.size()), 2);
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        // A size of 256 would be written as 0; the icon file holds none that large.
        out.push_back(static_cast<unsigned char>(images[i].Width()));
        out.push_back(static_cast<unsigned char>(images[i].Height()));
        out.push_back(0);  // no palette
        out.push_back(0);
        PutLe(out, 1, 2);  // planes
        PutLe(out, 32, 2);
        PutLe(out, static_cast<std::uint32_t>(pictures[i].size()), 4);
        PutLe(out, offset, 4);
        offset += static_cast<std::uint32_t>(pictures[i].size());
    }
    for (const auto& picture : pictures) out.insert(out.end(), picture.begin(), picture.end());
    return out;
}

std::vector<unsigned char> EncodeJpeg(const Image& image, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);  // a failure here ends the tool, which is what a tool should do
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.Width());
    info.image_height = static_cast<JDIMENSION>(image.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.dct_method = JDCT_ISLOW;  // integer arithmetic: the same bytes everywhere
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(image.Width()) * 3);
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < image.Width(); ++x) {
            const Rgb& p = image.At(x, y);
            row[static_cast<std::size_t>(x) * 3] = Channel(p.r);
            row[static_cast<std::size_t>(x) * 3 + 1] = Channel(p.g);
            row[static_cast<std::size_t>(x) * 3 + 2] = Channel(p.b);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<unsigned char> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RESOURCES_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    try {
        WriteFile(dir + "/icon.bmp", EncodeBmp(MakeIcon(32)));
        std::filesystem::create_directories(dir + "/icons");
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            WriteFile(dir + "/icons/vidorex-" + std::to_string(size) + ".png", EncodePng(MakeIcon(size)));
        }
        WriteFile(dir + "/icons/vidorex.ico", EncodeIco({MakeIcon(16), MakeIcon(32), MakeIcon(48)}));
        WriteFile(dir + "/logo.bmp", EncodeBmp(MakeLogo()));
        WriteFile(dir + "/background.jpg", EncodeJpeg(MakeBackground(), 90));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
