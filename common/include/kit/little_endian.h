#pragma once

// Little-endian words in a byte buffer, as the game's file and the PE headers hold them. The
// caller has checked that the bytes lie inside the buffer.

#include <cstddef>
#include <cstdint>
#include <span>

namespace kit {

// The `size` bytes (1 to 4) at `at`, least significant first.
constexpr std::uint32_t read_le(std::span<const std::uint8_t> bytes, std::size_t at,
                                std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= std::uint32_t{bytes[at + i]} << (8 * i);
    return value;
}

constexpr std::uint32_t read_u32_le(std::span<const std::uint8_t> bytes, std::size_t at) {
    return read_le(bytes, at, 4);
}

constexpr void write_u32_le(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace kit
