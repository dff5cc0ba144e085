#include "toolkit/formats/inflate.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace toolkit::png {

void fail(const std::string& what) {
    throw PngError("Cannot decode picture: " + what);
}

namespace {

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
    if (read_u32_be(checksum.data()) != adler32(out)) fail("checksum mismatch");
    return out;
}

}  // namespace toolkit::png
