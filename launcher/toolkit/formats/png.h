#pragma once

// PNG decoding without the system's imaging components, which under COM cost the launcher
// a megabyte and a good part of its start-up: 8-bit non-interlaced pictures of every colour
// type. Portable, so that it is tested natively too.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "toolkit/formats/inflate.h"

namespace toolkit::png {

struct DecodedPicture {
    int width = 0;
    int height = 0;
    // Rows top-down, 4 bytes a pixel in the order blue, green, red, alpha (not premultiplied).
    std::vector<std::uint8_t> bgra;
};

// Throws PngError for bytes that are no PNG, a damaged one, or one of an unsupported kind
// (bit depth other than 8, interlaced).
DecodedPicture decode(std::span<const std::uint8_t> bytes);

}  // namespace toolkit::png
