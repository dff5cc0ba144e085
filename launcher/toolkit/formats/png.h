#pragma once

// PNG decoding without the system's imaging components, which under COM cost the launcher
// a megabyte and a good part of its start-up: 8-bit non-interlaced pictures of every colour
// type, with the zlib inflate they need. Portable, so that it is tested natively too.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace toolkit::png {

struct PngError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct DecodedPicture {
    int width = 0;
    int height = 0;
    // Rows top-down, 4 bytes a pixel in the order blue, green, red, alpha (not premultiplied).
    std::vector<std::uint8_t> bgra;
};

// Throws PngError for bytes that are no PNG, a damaged one, or one of an unsupported kind
// (bit depth other than 8, interlaced).
DecodedPicture decode(std::span<const std::uint8_t> bytes);

// Inflates a zlib stream (RFC 1950/1951) whose data are exactly `size` bytes long; throws
// PngError for a damaged stream, a wrong checksum or any other length.
std::vector<std::uint8_t> inflate_zlib(std::span<const std::uint8_t> stream, std::size_t size);

}  // namespace toolkit::png
