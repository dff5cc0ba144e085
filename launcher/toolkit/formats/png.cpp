#include "toolkit/formats/png.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace toolkit::png {
namespace {

[[noreturn]] void fail(const std::string& what) {
    throw PngError("Cannot decode picture: " + what);
}

// Reads the bits of a deflate stream, least significant first, through a 64-bit buffer.
// Past the end of the data it reads zero bits, and fails as soon as one of them is consumed.
class BitReader {
  public:
    explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}

    // The next `count` (at most 32) bits without consuming them.
    unsigned peek(int count) {
        if (held_ < count) refill();
        return static_cast<unsigned>(buffer_ & ((std::uint64_t{1} << count) - 1));
    }
    void consume(int count) {
        buffer_ >>= count;
        held_ -= count;
        if (held_ < padding_) fail("compressed data end early");
    }
    unsigned bits(int count) {
        const unsigned value = peek(count);
        consume(count);
        return value;
    }
    // Drops the bits up to the next byte boundary and hands the whole bytes still held back
    // to the data, so that the next whole byte starts at next_.
    void skip_to_byte() {
        consume(held_ % 8);
        next_ -= static_cast<std::size_t>(held_ - padding_) / 8;
        buffer_ = 0;
        held_ = 0;
        padding_ = 0;
    }
    // Whole bytes after skip_to_byte.
    std::span<const std::uint8_t> take_bytes(std::size_t count) {
        if (data_.size() - next_ < count) fail("compressed data end early");
        const auto bytes = data_.subspan(next_, count);
        next_ += count;
        return bytes;
    }

  private:
    void refill() {
        while (held_ <= 56) {
            std::uint64_t byte = 0;
            if (next_ < data_.size())
                byte = data_[next_++];
            else
                padding_ += 8;
            buffer_ |= byte << held_;
            held_ += 8;
        }
    }

    std::span<const std::uint8_t> data_;
    std::size_t next_ = 0;
    std::uint64_t buffer_ = 0;
    int held_ = 0;     // bits in buffer_
    int padding_ = 0;  // of them, the zero bits read past the end
};

constexpr int max_code_length = 15;
constexpr int fast_bits = 9;

// A canonical Huffman code. Codes of up to fast_bits bits are looked up in one step;
// longer ones are walked length by length.
class Huffman {
  public:
    Huffman(const std::uint8_t* lengths, int symbols) {
        for (int symbol = 0; symbol < symbols; ++symbol) ++counts_[lengths[symbol]];
        counts_[0] = 0;
        int left = 1;
        for (int length = 1; length <= max_code_length; ++length) {
            left = left * 2 - counts_[length];
            if (left < 0) fail("over-subscribed code");
        }
        std::array<int, max_code_length + 1> offsets{};
        std::array<unsigned, max_code_length + 1> next_code{};
        unsigned code = 0;
        for (int length = 1; length <= max_code_length; ++length) {
            code = (code + counts_[length - 1]) << 1;
            next_code[length] = code;
            if (length < max_code_length) offsets[length + 1] = offsets[length] + counts_[length];
        }
        for (int symbol = 0; symbol < symbols; ++symbol) {
            const int length = lengths[symbol];
            if (!length) continue;
            symbols_[offsets[length]++] = static_cast<std::uint16_t>(symbol);
            if (length > fast_bits) continue;
            // The stream holds the code's first bit lowest.
            const unsigned reversed = reverse(next_code[length]++, length);
            for (unsigned at = reversed; at < fast_.size(); at += 1u << length)
                fast_[at] = static_cast<std::uint16_t>(symbol << 4 | length);
        }
    }

    int decode(BitReader& in) const {
        const unsigned peeked = in.peek(max_code_length);
        if (const unsigned entry = fast_[peeked & (fast_.size() - 1)]) {
            in.consume(static_cast<int>(entry & 15));
            return static_cast<int>(entry >> 4);
        }
        int code = 0;
        int first = 0;
        int index = 0;
        for (int length = 1; length <= max_code_length; ++length) {
            code |= static_cast<int>((peeked >> (length - 1)) & 1);
            const int count = counts_[length];
            if (code - first < count) {
                in.consume(length);
                return symbols_[index + code - first];
            }
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        fail("invalid code");
    }

  private:
    static unsigned reverse(unsigned code, int length) {
        unsigned reversed = 0;
        for (int bit = 0; bit < length; ++bit)
            reversed |= ((code >> bit) & 1) << (length - 1 - bit);
        return reversed;
    }

    std::array<std::uint16_t, max_code_length + 1> counts_{};
    std::array<std::uint16_t, 288> symbols_{};
    std::array<std::uint16_t, 1u << fast_bits> fast_{};  // symbol << 4 | length; 0: walk
};

constexpr std::array<std::uint16_t, 29> length_base{3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                    15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                    67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> length_extra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> distance_base{
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> distance_extra{0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                      4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                      9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class Inflater {
  public:
    Inflater(BitReader& in, std::size_t size) : in_(in), out_(size) {}

    std::vector<std::uint8_t> run() {
        bool last = false;
        while (!last) {
            last = in_.bits(1) != 0;
            switch (in_.bits(2)) {
                case 0:
                    stored();
                    break;
                case 1:
                    fixed();
                    break;
                case 2:
                    dynamic();
                    break;
                default:
                    fail("invalid block type");
            }
        }
        if (done_ != out_.size()) fail("picture data of the wrong length");
        return std::move(out_);
    }

  private:
    std::size_t room() const { return out_.size() - done_; }

    void stored() {
        in_.skip_to_byte();
        const auto header = in_.take_bytes(4);
        const unsigned length = header[0] | (header[1] << 8);
        const unsigned complement = header[2] | (header[3] << 8);
        if (length != (~complement & 0xFFFFu)) fail("stored block length damaged");
        const auto bytes = in_.take_bytes(length);
        if (room() < bytes.size()) fail("picture data too long");
        std::memcpy(out_.data() + done_, bytes.data(), bytes.size());
        done_ += bytes.size();
    }

    void fixed() {
        std::array<std::uint8_t, 288 + 30> lengths{};
        std::memset(lengths.data(), 8, 144);
        std::memset(lengths.data() + 144, 9, 112);
        std::memset(lengths.data() + 256, 7, 24);
        std::memset(lengths.data() + 280, 8, 8);
        std::memset(lengths.data() + 288, 5, 30);
        codes(Huffman(lengths.data(), 288), Huffman(lengths.data() + 288, 30));
    }

    void dynamic() {
        const int literal_count = static_cast<int>(in_.bits(5)) + 257;
        const int distance_count = static_cast<int>(in_.bits(5)) + 1;
        const int length_count = static_cast<int>(in_.bits(4)) + 4;
        if (literal_count > 286 || distance_count > 30) fail("too many codes");
        static constexpr std::array<std::uint8_t, 19> order{16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                            11, 4,  12, 3, 13, 2, 14, 1, 15};
        std::array<std::uint8_t, 19> length_lengths{};
        for (int i = 0; i < length_count; ++i)
            length_lengths[order[static_cast<std::size_t>(i)]] =
                static_cast<std::uint8_t>(in_.bits(3));
        const Huffman length_code(length_lengths.data(), 19);

        std::array<std::uint8_t, 286 + 30> lengths{};
        int index = 0;
        while (index < literal_count + distance_count) {
            int symbol = length_code.decode(in_);
            if (symbol < 16) {
                lengths[static_cast<std::size_t>(index++)] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            std::uint8_t repeated = 0;
            int times = 0;
            if (symbol == 16) {
                if (index == 0) fail("repeat with nothing before");
                repeated = lengths[static_cast<std::size_t>(index - 1)];
                times = 3 + static_cast<int>(in_.bits(2));
            } else if (symbol == 17) {
                times = 3 + static_cast<int>(in_.bits(3));
            } else {
                times = 11 + static_cast<int>(in_.bits(7));
            }
            if (index + times > literal_count + distance_count) fail("too many code lengths");
            while (times--) lengths[static_cast<std::size_t>(index++)] = repeated;
        }
        if (lengths[256] == 0) fail("no end-of-block code");
        codes(Huffman(lengths.data(), literal_count),
              Huffman(lengths.data() + literal_count, distance_count));
    }

    void codes(const Huffman& literals, const Huffman& distances) {
        std::uint8_t* const out = out_.data();
        for (;;) {
            const int symbol = literals.decode(in_);
            if (symbol < 256) {
                if (!room()) fail("picture data too long");
                out[done_++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            if (symbol == 256) return;
            const auto length_index = static_cast<std::size_t>(symbol - 257);
            if (length_index >= length_base.size()) fail("invalid length code");
            const std::size_t length =
                length_base[length_index] + in_.bits(length_extra[length_index]);
            const auto distance_index = static_cast<std::size_t>(distances.decode(in_));
            if (distance_index >= distance_base.size()) fail("invalid distance code");
            const std::size_t distance =
                distance_base[distance_index] + in_.bits(distance_extra[distance_index]);
            if (distance > done_) fail("distance too far back");
            if (room() < length) fail("picture data too long");
            // Byte by byte: a copy may overlap the bytes it makes.
            const std::uint8_t* from = out + done_ - distance;
            std::uint8_t* to = out + done_;
            for (std::size_t i = 0; i < length; ++i) to[i] = from[i];
            done_ += length;
        }
    }

    BitReader& in_;
    std::vector<std::uint8_t> out_;
    std::size_t done_ = 0;
};

std::uint32_t adler32(std::span<const std::uint8_t> data) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    // 5552 bytes is the most that can be summed before b could overflow 32 bits.
    while (!data.empty()) {
        const auto block = data.first(std::min<std::size_t>(data.size(), 5552));
        for (std::uint8_t byte : block) {
            a += byte;
            b += a;
        }
        a %= 65521;
        b %= 65521;
        data = data.subspan(block.size());
    }
    return (b << 16) | a;
}

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

std::uint32_t big_endian(const std::uint8_t* at) {
    return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) |
           (std::uint32_t{at[2]} << 8) | at[3];
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

std::vector<std::uint8_t> inflate_zlib(std::span<const std::uint8_t> stream, std::size_t size) {
    if (stream.size() < 6) fail("compressed data too short");
    const unsigned method = stream[0];
    const unsigned flags = stream[1];
    if ((method & 0x0F) != 8 || (method >> 4) > 7 || (method * 256 + flags) % 31 != 0 ||
        (flags & 0x20))
        fail("not a zlib stream");
    BitReader in(stream.subspan(2));
    std::vector<std::uint8_t> out = Inflater(in, size).run();
    in.skip_to_byte();
    const auto checksum = in.take_bytes(4);
    if (big_endian(checksum.data()) != adler32(out)) fail("checksum mismatch");
    return out;
}

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
        const std::uint32_t length = big_endian(bytes.data() + at);
        if (length > bytes.size() - at - 12) fail("damaged chunk");
        const auto typed = bytes.subspan(at + 4, length + 4);
        if (big_endian(bytes.data() + at + 8 + length) != crc32(typed))
            fail("chunk checksum mismatch");
        const std::string type(reinterpret_cast<const char*>(typed.data()), 4);
        const auto data = typed.subspan(4);
        at += 12 + length;
        if (colour_type < 0 && type != "IHDR") fail("no header");
        if (type == "IHDR") {
            if (length != 13) fail("damaged header");
            width = big_endian(data.data());
            height = big_endian(data.data() + 4);
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
