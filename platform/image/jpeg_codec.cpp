// JPEG through libjpeg, from and to memory. JPEG images are always opaque. libjpeg reports errors
// by longjmp, so no local object that changes after the setjmp (a vector that grows, a string)
// lives across it: the jump would lose its state. Pictures are decoded straight into their pixels
// in the order asked, with libjpeg-turbo's four-byte output and its 255 filler.
#include "platform/image/encoder_input.h"
#include "platform/image/image.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace image {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void exitOnError(j_common_ptr info) {
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void ignoreMessage(j_common_ptr) {}

constexpr char kDamaged[] = "truncated or damaged JPEG data";

// libjpeg pads a truncated or damaged scan with grey and only warns, then goes on through the
// whole image; such a file is broken, so decoding stops at the first warning instead.
void stopOnWarning(j_common_ptr info, int level) {
    if (level >= 0)
        return; // trace messages
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    std::snprintf(manager->message, sizeof manager->message, "%s", kDamaged);
    std::longjmp(manager->jump, 1);
}

// Pictures up to this many pixels are decoded whatever their file size; larger ones need at least
// one byte of data per kPixelsPerByte pixels (entropy-coded data spends at least a bit on every
// 8 x 8 block), so that a file of a few bytes cannot claim a gigabyte of pixels.
constexpr std::uint64_t kPixelsAlwaysAllowed = 1u << 20;
constexpr std::uint64_t kPixelsPerByte = 4096;

} // namespace

bool DecodeJpeg(std::span<const std::uint8_t> data, Rgba8Image &out, std::string &error,
                std::uint32_t maxSide, ChannelOrder order) {
    out = Rgba8Image{};
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        error = "not a JPEG file";
        return false;
    }
    jpeg_decompress_struct info{};
    ErrorManager manager{};
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = exitOnError;
    manager.base.output_message = ignoreMessage;
    manager.base.emit_message = stopOnWarning;
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&info);
        error = manager.message;
        out = Rgba8Image{};
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxDimension ||
        info.image_height > kMaxDimension) {
        jpeg_destroy_decompress(&info);
        error = "JPEG size out of range";
        return false;
    }
    if (info.image_width > maxSide || info.image_height > maxSide) {
        jpeg_destroy_decompress(&info);
        error = SizeLimitError(info.image_width, info.image_height, maxSide);
        return false;
    }
    const std::uint64_t pixels = std::uint64_t{info.image_width} * info.image_height;
    if (pixels > kPixelsAlwaysAllowed && pixels > kPixelsPerByte * data.size()) {
        jpeg_destroy_decompress(&info);
        error = "JPEG size too large for its data";
        return false;
    }
    info.out_color_space = order == ChannelOrder::Bgra ? JCS_EXT_BGRX : JCS_EXT_RGBX;
    jpeg_start_decompress(&info);
    out.width = info.output_width;
    out.height = info.output_height;
    out.hasAlpha = false;
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rowPointer = out.pixels.data() + std::size_t{info.output_scanline} * out.width * 4;
        if (jpeg_read_scanlines(&info, &rowPointer, 1) != 1)
            break;
    }
    const bool damaged = manager.base.num_warnings > 0 || info.output_scanline < info.output_height;
    jpeg_abort_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (damaged) {
        error = kDamaged;
        out = Rgba8Image{};
        return false;
    }
    return true;
}

bool EncodeJpeg(const Rgba8Image &image, int quality, std::vector<std::uint8_t> &out,
                std::string &error) {
    out.clear();
    if (!detail::EncodableImage(image, error))
        return false;
    jpeg_compress_struct info{};
    ErrorManager manager{};
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = exitOnError;
    manager.base.output_message = ignoreMessage;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width) * 3);
    if (setjmp(manager.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        error = manager.message;
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = image.width;
    info.image_height = image.height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution chroma (4:4:4): sprites and glows have sharp coloured edges that subsampled
    // chroma would smear.
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const std::uint8_t *src =
            image.pixels.data() + static_cast<std::size_t>(info.next_scanline) * image.width * 4;
        for (std::uint32_t x = 0; x < image.width; ++x) {
            row[x * 3 + 0] = src[x * 4 + 0];
            row[x * 3 + 1] = src[x * 4 + 1];
            row[x * 3 + 2] = src[x * 4 + 2];
        }
        JSAMPROW rowPointer = row.data();
        jpeg_write_scanlines(&info, &rowPointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    out.assign(buffer, buffer + size);
    std::free(buffer);
    return true;
}

} // namespace image
