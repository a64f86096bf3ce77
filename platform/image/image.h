// Decoded images in memory and the PNG and JPEG codecs every part of the tree shares: the texture
// loaders read with them, the frame capture and the media generator write with them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace image {

// The order of a pixel's four bytes: R, G, B, A, or B, G, R, A (the byte order of a 32-bit
// A8R8G8B8 texel, which texture loaders decode into directly).
enum class ChannelOrder { Rgba, Bgra };

// 8-bit RGBA pixels (in the channel order asked of the decoder), rows top to bottom, no padding.
// Pictures without alpha have 255 in every alpha byte.
struct Rgba8Image {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 4 bytes
    bool hasAlpha = false;            // the file carried an alpha channel or transparency
};

// Images larger than this on either side are refused as hostile input.
constexpr std::uint32_t kMaxDimension = 16384;

// Each returns false with a short reason in `error` on any malformed, truncated or oversized input.
// A picture wider or taller than `maxSide` is refused after its header, before any pixel is
// decoded or allocated.
bool DecodePng(std::span<const std::uint8_t> data, Rgba8Image &out, std::string &error,
               std::uint32_t maxSide = kMaxDimension, ChannelOrder order = ChannelOrder::Rgba);
bool DecodeJpeg(std::span<const std::uint8_t> data, Rgba8Image &out, std::string &error,
                std::uint32_t maxSide = kMaxDimension, ChannelOrder order = ChannelOrder::Rgba);

// The refusal text of a picture larger than a limit, the same for every format.
std::string SizeLimitError(std::uint32_t width, std::uint32_t height, std::uint32_t maxSide);

// Encoders: PNG keeps the alpha channel when `withAlpha`; JPEG drops it.
bool EncodePng(const Rgba8Image &image, bool withAlpha, std::vector<std::uint8_t> &out,
               std::string &error);
bool EncodeJpeg(const Rgba8Image &image, int quality, std::vector<std::uint8_t> &out,
                std::string &error);

// Whole-file helpers.
bool ReadFileBytes(const std::string &path, std::vector<std::uint8_t> &out, std::string &error);
bool WriteFileBytes(const std::string &path, std::span<const std::uint8_t> data,
                    std::string &error);

} // namespace image
