// The PNG decoder and its inflate.
//
// Invariants: decoding either raises PngError, the only exception it may raise, or gives a
// picture whose pixel buffer holds exactly width x height pixels of four bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "check.h"
#include "toolkit/formats/png.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    toolkit::png::DecodedPicture picture;
    try {
        picture = toolkit::png::decode(bytes);
    } catch (const toolkit::png::PngError& error) {
        FUZZ_CHECK(!std::string_view(error.what()).empty());
        return 0;
    }
    FUZZ_CHECK(picture.width > 0 && picture.height > 0);
    FUZZ_CHECK(picture.bgra.size() == static_cast<std::size_t>(picture.width) *
                                          static_cast<std::size_t>(picture.height) * 4);
    return 0;
}
