#include "graphics/picture.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace vx {

namespace {

bool EndsWith(const std::string& s, const std::string& suffix) {
    if (s.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char a = s[s.size() - suffix.size() + i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != suffix[i]) return false;
    }
    return true;
}

// libjpeg reports fatal errors by calling error_exit, which must not
// return; it jumps back to the decoder with the library's message. The
// decoder's state lives behind a pointer taken before the jump point, so
// nothing the jump skips needs destroying.
// The most pixels a picture may have (a 4096 x 4096 square).
constexpr long long kMaxPicturePixels = 4096LL * 4096LL;

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int warnings;
};

void JpegErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void JpegEmitMessage(j_common_ptr info, int level) {
    // Level -1 is a warning: corrupt or truncated data that the library
    // would otherwise paper over with grey.
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    if (level < 0) {
        if (manager->warnings == 0) (*info->err->format_message)(info, manager->message);
        ++manager->warnings;
    }
}

struct JpegJob {
    jpeg_decompress_struct info;
    JpegErrorManager errors;
    std::vector<std::uint32_t> pixels;
    std::vector<unsigned char> row;
    int width = 0;
    int height = 0;
    bool created = false;
};

// Returns false with errors.message set when the data is damaged. Only
// plain values live in this frame: everything that owns memory is in the job.
bool RunJpeg(JpegJob* job, const unsigned char* data, unsigned long size) {
    job->info.err = jpeg_std_error(&job->errors.base);
    job->errors.base.error_exit = JpegErrorExit;
    job->errors.base.emit_message = JpegEmitMessage;
    job->errors.warnings = 0;
    if (setjmp(job->errors.jump) != 0) return false;
    jpeg_create_decompress(&job->info);
    job->created = true;
    jpeg_mem_src(&job->info, data, size);
    jpeg_read_header(&job->info, TRUE);
    job->info.out_color_space = JCS_RGB;
    // A header that claims a huge picture is damaged: the program's pictures
    // are small, and believing it would ask for gigabytes.
    if (static_cast<long long>(job->info.image_width) * job->info.image_height > kMaxPicturePixels) {
        std::snprintf(job->errors.message, sizeof job->errors.message, "the picture claims to be %ux%u pixels",
                      job->info.image_width, job->info.image_height);
        return false;
    }
    jpeg_start_decompress(&job->info);
    job->width = static_cast<int>(job->info.output_width);
    job->height = static_cast<int>(job->info.output_height);
    job->pixels.resize(static_cast<std::size_t>(job->width) * static_cast<std::size_t>(job->height));
    job->row.resize(static_cast<std::size_t>(job->width) * 3);
    while (job->info.output_scanline < job->info.output_height) {
        unsigned char* rowPtr = job->row.data();
        std::size_t y = job->info.output_scanline;
        jpeg_read_scanlines(&job->info, &rowPtr, 1);
        for (int x = 0; x < job->width; ++x) {
            const unsigned char* p = &job->row[static_cast<std::size_t>(x) * 3];
            job->pixels[y * static_cast<std::size_t>(job->width) + static_cast<std::size_t>(x)] =
                (static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
        }
    }
    jpeg_finish_decompress(&job->info);
    return job->errors.warnings == 0;
}

std::uint32_t ReadLe(std::span<const unsigned char> b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

}  // namespace

Bitmap DecodeJpeg(std::span<const unsigned char> bytes, const std::string& fileName) {
    if (bytes.empty()) throw PictureError("picture \"" + fileName + "\" is empty");
    auto job = std::make_unique<JpegJob>();
    std::memset(&job->info, 0, sizeof(job->info));
    // The library's state goes however the decoding ends, an exception included.
    struct Destroyer {
        JpegJob& job;
        ~Destroyer() {
            if (job.created) jpeg_destroy_decompress(&job.info);
        }
    } destroyer{*job};
    const bool ok = RunJpeg(job.get(), bytes.data(), static_cast<unsigned long>(bytes.size()));
    const std::string message = job->errors.message;
    if (!ok) throw PictureError("picture \"" + fileName + "\" is damaged: " + message);
    Bitmap bitmap(job->width, job->height);
    std::copy(job->pixels.begin(), job->pixels.end(), bitmap.Pixels().begin());
    return bitmap;
}

BmpLayout ReadBmpLayout(std::span<const unsigned char> b, const std::string& fileName, const BmpRules& rules) {
    auto fail = [&](const std::string& why) -> PictureError {
        return PictureError("picture \"" + fileName + "\" is damaged: " + why);
    };
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') throw fail("not a bitmap file");
    const std::uint32_t dataOffset = ReadLe(b, 10, 4);
    const std::uint32_t headerSize = ReadLe(b, 14, 4);
    if (headerSize < 40 || 14 + static_cast<std::size_t>(headerSize) > b.size()) throw fail("unknown header");
    auto width = static_cast<std::int32_t>(ReadLe(b, 18, 4));
    auto height = static_cast<std::int32_t>(ReadLe(b, 22, 4));
    const std::uint32_t bits = ReadLe(b, 28, 2);
    const std::uint32_t compression = ReadLe(b, 30, 4);
    const std::uint32_t coloursUsed = ReadLe(b, 46, 4);
    // The one height whose top-down sign cannot be taken off.
    if (height == std::numeric_limits<std::int32_t>::min()) throw fail("bad size");
    const bool bottomUp = height > 0;
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > rules.maxSide || height > rules.maxSide ||
        static_cast<long long>(width) * height > rules.maxPixels) {
        throw fail("bad size");
    }
    if (compression != 0 && !(rules.bitFields32 && compression == 3 && bits == 32))
        throw fail("compressed bitmaps are not supported");
    if (bits != 8 && bits != 24 && bits != 32) throw fail("only 8, 24 and 32 bits per pixel are supported");

    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitsPerPixel = static_cast<int>(bits);
    layout.bottomUp = bottomUp;
    if (bits == 8) {
        const std::uint32_t count = coloursUsed == 0 ? 256 : coloursUsed;
        const std::size_t at = 14 + static_cast<std::size_t>(headerSize);
        if (count > 256 || at + static_cast<std::size_t>(count) * 4 > b.size()) throw fail("bad colour table");
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t e = at + static_cast<std::size_t>(i) * 4;
            layout.palette.push_back((static_cast<std::uint32_t>(b[e + 2]) << 16) | (static_cast<std::uint32_t>(b[e + 1]) << 8) |
                                     b[e]);
        }
    }
    layout.stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    layout.dataOffset = dataOffset;
    if (dataOffset > b.size() || layout.stride * static_cast<std::size_t>(height) > b.size() - dataOffset)
        throw fail("pixels missing");
    return layout;
}

Bitmap DecodeBmp(std::span<const unsigned char> b, const std::string& fileName) {
    const BmpLayout layout = ReadBmpLayout(b, fileName, BmpRules{kMaxPicturePixels, std::numeric_limits<int>::max(), true});
    Bitmap bitmap(layout.width, layout.height);
    for (int y = 0; y < layout.height; ++y) {
        const std::size_t row = layout.RowAt(y);
        std::uint32_t* out = bitmap.Row(y);
        for (int x = 0; x < layout.width; ++x) {
            if (layout.bitsPerPixel == 8) {
                const std::uint8_t index = b[row + static_cast<std::size_t>(x)];
                out[x] = index < layout.palette.size() ? layout.palette[index] : 0;
            } else {
                out[x] = layout.ColourAt(b, row, x);
            }
        }
    }
    return bitmap;
}

Bitmap DecodePicture(std::span<const unsigned char> bytes, const std::string& fileName) {
    if (EndsWith(fileName, ".jpg") || EndsWith(fileName, ".jpeg")) return DecodeJpeg(bytes, fileName);
    if (EndsWith(fileName, ".bmp")) return DecodeBmp(bytes, fileName);
    throw PictureError("picture \"" + fileName + "\" is of a kind the program cannot read");
}

}  // namespace vx
