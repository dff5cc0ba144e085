#include "kit/little_endian.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

// The least significant byte first, only the word's own bytes written, and a short read
// stops at its size.
TEST(LittleEndian, WordsLieLeastSignificantByteFirst) {
    std::array<std::uint8_t, 7> bytes{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    kit::write_u32_le(bytes, 1, 0x12345678);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 7>{0xEE, 0x78, 0x56, 0x34, 0x12, 0xEE, 0xEE}));
    EXPECT_EQ(kit::read_u32_le(bytes, 1), 0x12345678u);
    EXPECT_EQ(kit::read_u32_le(bytes, 3), 0xEEEE1234u);
    EXPECT_EQ(kit::read_le(bytes, 1, 2), 0x5678u);
    EXPECT_EQ(kit::read_le(bytes, 4, 1), 0x12u);
}

}  // namespace
