// PNG through libpng, from and to memory. libpng reports errors by longjmp; every libpng call is
// kept inside the functions that own the setjmp, and no local object that changes after the
// setjmp (a vector that grows, a string) lives across it: such an object's state would be lost by
// the jump, leaking or freeing the wrong memory.
#include "platform/image/encoder_input.h"
#include "platform/image/image.h"

#include <png.h>
#include <zlib.h>

#include <cstring>

namespace image {
namespace {

struct ReadCursor {
    const std::uint8_t *data;
    std::size_t size;
    std::size_t offset;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto *cursor = static_cast<ReadCursor *>(png_get_io_ptr(png));
    if (length > cursor->size - cursor->offset)
        png_error(png, "truncated PNG data");
    std::memcpy(out, cursor->data + cursor->offset, length);
    cursor->offset += length;
}

void writeToVector(png_structp png, png_bytep in, png_size_t length) {
    auto *out = static_cast<std::vector<std::uint8_t> *>(png_get_io_ptr(png));
    out->insert(out->end(), in, in + length);
}

void flushNothing(png_structp) {}

void storeError(png_structp png, png_const_charp message) {
    auto *error = static_cast<std::string *>(png_get_error_ptr(png));
    if (error)
        *error = message ? message : "PNG error";
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Every chunk, up to IEND, must lie inside the data before libpng sees it: libpng allocates and
// clears a text chunk's declared length before reading it, so a file of a few bytes could
// otherwise claim (and spend seconds zeroing) hundreds of megabytes.
bool chunksFit(std::span<const std::uint8_t> data) {
    std::size_t at = 8;
    while (data.size() - at >= 12) {
        const std::uint32_t length = (std::uint32_t{data[at]} << 24) |
                                     (std::uint32_t{data[at + 1]} << 16) |
                                     (std::uint32_t{data[at + 2]} << 8) | data[at + 3];
        if (length > data.size() - at - 12)
            return false;
        const bool end = std::memcmp(data.data() + at + 4, "IEND", 4) == 0;
        at += 12 + std::size_t{length};
        if (end)
            return true;
    }
    return false;
}

std::uint32_t readU32(std::span<const std::uint8_t> data, std::size_t at) {
    return (std::uint32_t{data[at]} << 24) | (std::uint32_t{data[at + 1]} << 16) |
           (std::uint32_t{data[at + 2]} << 8) | data[at + 3];
}

void putU32(std::uint8_t *out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// A transparency chunk longer than its colour type allows (more entries than the palette, more
// than one grey or RGB key) is dropped whole by libpng; its first entries are what the picture
// means, so a copy of the file with the chunk cut to them is made. Empty when nothing needs
// cutting. Runs on data whose chunks were checked to fit.
std::vector<std::uint8_t> withTransparencyCut(std::span<const std::uint8_t> data) {
    constexpr std::size_t kColourType = 8 + 8 + 9; // inside the IHDR chunk that comes first
    if (data.size() < kColourType + 1 || std::memcmp(data.data() + 12, "IHDR", 4) != 0)
        return {};
    const std::uint8_t colourType = data[kColourType];
    std::size_t paletteEntries = 0;
    for (std::size_t at = 8; data.size() - at >= 12;) {
        const std::uint32_t length = readU32(data, at);
        const std::uint8_t *type = data.data() + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0)
            return {};
        if (std::memcmp(type, "PLTE", 4) == 0)
            paletteEntries = length / 3;
        if (std::memcmp(type, "tRNS", 4) == 0) {
            std::size_t allowed = length;
            if (colourType == PNG_COLOR_TYPE_PALETTE)
                allowed = paletteEntries;
            else if (colourType == PNG_COLOR_TYPE_GRAY)
                allowed = 2;
            else if (colourType == PNG_COLOR_TYPE_RGB)
                allowed = 6;
            const auto whole = static_cast<std::uint32_t>(crc32(0, type, 4 + length));
            if (length <= allowed || allowed == 0 || whole != readU32(data, at + 8 + length))
                return {};
            std::vector<std::uint8_t> cut(data.begin(), data.begin() + at + 8 + allowed);
            putU32(cut.data() + at, static_cast<std::uint32_t>(allowed));
            std::uint8_t crc[4];
            putU32(crc, static_cast<std::uint32_t>(crc32(0, cut.data() + at + 4, 4 + allowed)));
            cut.insert(cut.end(), crc, crc + 4);
            cut.insert(cut.end(), data.begin() + at + 12 + length, data.end());
            return cut;
        }
        at += 12 + std::size_t{length};
    }
    return {};
}

// The libpng part of DecodePng, on data whose chunks were checked; it owns the setjmp, and the
// copy of the data that DecodePng may make lives outside it.
bool decodeChecked(std::span<const std::uint8_t> data, Rgba8Image &out, std::string &error,
                   std::uint32_t maxSide, ChannelOrder order) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &error, storeError, ignoreWarning);
    if (!png) {
        error = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "out of memory";
        return false;
    }
    ReadCursor cursor{data.data(), data.size(), 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        out = Rgba8Image{};
        return false;
    }
    png_set_read_fn(png, &cursor, readFromMemory);
    png_set_user_limits(png, kMaxDimension, kMaxDimension);
    png_set_chunk_malloc_max(png, 64u << 20);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (width > maxSide || height > maxSide) {
        png_destroy_read_struct(&png, &info, nullptr);
        error = SizeLimitError(width, height, maxSide);
        return false;
    }
    const bool alpha =
        (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);

    if (bitDepth == 16)
        png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (order == ChannelOrder::Bgra)
        png_set_bgr(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA))
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4)
        png_error(png, "unexpected PNG row layout");

    out.width = width;
    out.height = height;
    out.hasAlpha = alpha;
    out.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    // Row by row into the picture (each pass of an interlaced one over all rows), so that no row
    // table is needed.
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, out.pixels.data() + static_cast<std::size_t>(y) * width * 4, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

bool DecodePng(std::span<const std::uint8_t> data, Rgba8Image &out, std::string &error,
               std::uint32_t maxSide, ChannelOrder order) {
    out = Rgba8Image{};
    if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) {
        error = "not a PNG file";
        return false;
    }
    if (!chunksFit(data)) {
        error = "truncated PNG data";
        return false;
    }
    const std::vector<std::uint8_t> cut = withTransparencyCut(data);
    return decodeChecked(cut.empty() ? data : std::span<const std::uint8_t>(cut), out, error,
                         maxSide, order);
}

bool EncodePng(const Rgba8Image &image, bool withAlpha, std::vector<std::uint8_t> &out,
               std::string &error) {
    out.clear();
    if (!detail::EncodableImage(image, error))
        return false;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, storeError, ignoreWarning);
    if (!png) {
        error = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        error = "out of memory";
        return false;
    }
    std::vector<png_bytep> rows(image.height);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return false;
    }
    png_set_write_fn(png, &out, writeToVector, flushNothing);
    png_set_IHDR(png, info, image.width, image.height, 8,
                 withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (!withAlpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (std::uint32_t y = 0; y < image.height; ++y)
        rows[y] = const_cast<png_bytep>(image.pixels.data() +
                                        static_cast<std::size_t>(y) * image.width * 4);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace image
