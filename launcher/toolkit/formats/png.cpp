#include "toolkit/formats/png.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace toolkit::png {
namespace {

std::uint32_t crc32(std::span<const std::uint8_t> data) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t byte : data) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

int paeth(int left, int up, int up_left) {
    const int estimate = left + up - up_left;
    const int to_left = estimate > left ? estimate - left : left - estimate;
    const int to_up = estimate > up ? estimate - up : up - estimate;
    const int to_up_left = estimate > up_left ? estimate - up_left : up_left - estimate;
    if (to_left <= to_up && to_left <= to_up_left) return left;
    return to_up <= to_up_left ? up : up_left;
}

// Undoes the row filters in place; `rows` holds each row's filter byte before its bytes.
void unfilter(std::vector<std::uint8_t>& rows, std::size_t stride, std::size_t height,
              std::size_t pixel_bytes) {
    // The row above the first one reads as zeros.
    const std::vector<std::uint8_t> zeros(stride);
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* const line = rows.data() + y * (stride + 1) + 1;
        const std::uint8_t* const above = y ? line - (stride + 1) : zeros.data();
        const std::size_t first = std::min(pixel_bytes, stride);
        switch (line[-1]) {
            case 0:
                break;
            case 1:
                for (std::size_t x = pixel_bytes; x < stride; ++x)
                    line[x] = static_cast<std::uint8_t>(line[x] + line[x - pixel_bytes]);
                break;
            case 2:
                for (std::size_t x = 0; x < stride; ++x)
                    line[x] = static_cast<std::uint8_t>(line[x] + above[x]);
                break;
            case 3:
                for (std::size_t x = 0; x < first; ++x)
                    line[x] = static_cast<std::uint8_t>(line[x] + above[x] / 2);
                for (std::size_t x = pixel_bytes; x < stride; ++x)
                    line[x] =
                        static_cast<std::uint8_t>(line[x] + (line[x - pixel_bytes] + above[x]) / 2);
                break;
            case 4:
                for (std::size_t x = 0; x < first; ++x)
                    line[x] = static_cast<std::uint8_t>(line[x] + above[x]);
                for (std::size_t x = pixel_bytes; x < stride; ++x)
                    line[x] = static_cast<std::uint8_t>(
                        line[x] + paeth(line[x - pixel_bytes], above[x], above[x - pixel_bytes]));
                break;
            default:
                fail("invalid row filter");
        }
    }
}

}  // namespace

DecodedPicture decode(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0) fail("not a PNG");
    std::size_t at = 8;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int colour_type = -1;
    std::vector<std::uint8_t> compressed;
    std::vector<std::uint8_t> palette;       // RGB triples
    std::vector<std::uint8_t> transparency;  // tRNS as it stands
    bool ended = false;
    while (!ended) {
        if (bytes.size() - at < 12) fail("damaged chunk");
        const std::uint32_t length = read_u32_be(bytes.data() + at);
        if (length > bytes.size() - at - 12) fail("damaged chunk");
        const auto typed = bytes.subspan(at + 4, length + 4);
        if (read_u32_be(bytes.data() + at + 8 + length) != crc32(typed))
            fail("chunk checksum mismatch");
        const std::string type(reinterpret_cast<const char*>(typed.data()), 4);
        const auto data = typed.subspan(4);
        at += 12 + length;
        if (colour_type < 0 && type != "IHDR") fail("no header");
        if (type == "IHDR") {
            if (length != 13) fail("damaged header");
            width = read_u32_be(data.data());
            height = read_u32_be(data.data() + 4);
            if (width == 0 || height == 0 || width > 16384 || height > 16384)
                fail("unsupported size");
            if (data[8] != 8) fail("unsupported bit depth");
            colour_type = data[9];
            if (colour_type != 0 && colour_type != 2 && colour_type != 3 && colour_type != 4 &&
                colour_type != 6)
                fail("unknown colour type");
            if (data[10] != 0 || data[11] != 0) fail("unknown compression or filter method");
            if (data[12] != 0) fail("interlaced pictures are not supported");
        } else if (type == "PLTE") {
            palette.assign(data.begin(), data.end());
        } else if (type == "tRNS") {
            transparency.assign(data.begin(), data.end());
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), data.begin(), data.end());
        } else if (type == "IEND") {
            ended = true;
        } else if (!(type[0] & 0x20)) {
            fail("unknown critical chunk " + type);
        }
    }
    static constexpr std::size_t channels_of[] = {1, 0, 3, 1, 2, 0, 4};
    const std::size_t channels = channels_of[colour_type];
    const std::size_t stride = std::size_t{width} * channels;
    std::vector<std::uint8_t> rows = inflate_zlib(compressed, (stride + 1) * height);
    unfilter(rows, stride, height, channels);

    DecodedPicture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    // RGBA rows become BGRA in place: each pixel moves only towards the start, past bytes
    // already read, so the largest pictures need no second buffer.
    const bool in_place = channels == 4;
    if (!in_place) picture.bgra.resize(std::size_t{width} * height * 4);
    std::uint8_t* const pixels = in_place ? rows.data() : picture.bgra.data();
    if (colour_type == 3 && (palette.empty() || palette.size() % 3)) fail("no palette");
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* in = rows.data() + y * (stride + 1) + 1;
        std::uint8_t* out = pixels + y * width * 4;
        if (colour_type == 6) {
            for (std::size_t x = 0; x < width; ++x, in += 4, out += 4) {
                const std::uint8_t r = in[0], g = in[1], b = in[2], a = in[3];
                out[0] = b, out[1] = g, out[2] = r, out[3] = a;
            }
            continue;
        }
        for (std::size_t x = 0; x < width; ++x, in += channels, out += 4) {
            std::uint8_t r = 0, g = 0, b = 0, a = 255;
            switch (colour_type) {
                case 0:
                    r = g = b = in[0];
                    if (transparency.size() >= 2 && transparency[1] == in[0] &&
                        transparency[0] == 0)
                        a = 0;
                    break;
                case 2:
                    r = in[0], g = in[1], b = in[2];
                    if (transparency.size() >= 6 && transparency[1] == r && transparency[3] == g &&
                        transparency[5] == b && !transparency[0] && !transparency[2] &&
                        !transparency[4])
                        a = 0;
                    break;
                case 3: {
                    const std::size_t entry = in[0];
                    if (entry * 3 + 2 >= palette.size()) fail("colour outside the palette");
                    r = palette[entry * 3], g = palette[entry * 3 + 1], b = palette[entry * 3 + 2];
                    if (entry < transparency.size()) a = transparency[entry];
                    break;
                }
                case 4:
                    r = g = b = in[0], a = in[1];
                    break;
                default:
                    r = in[0], g = in[1], b = in[2], a = in[3];
                    break;
            }
            out[0] = b, out[1] = g, out[2] = r, out[3] = a;
        }
    }
    if (in_place) {
        rows.resize(std::size_t{width} * height * 4);
        picture.bgra = std::move(rows);
    }
    return picture;
}

}  // namespace toolkit::png
