#pragma once

// The zlib inflate that PNG pictures need (RFC 1950/1951), and what the two share: their
// error and their words, stored most significant byte first.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace toolkit::png {

// A picture or stream that is damaged, or of a kind not supported.
struct PngError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws PngError "Cannot decode picture: " followed by `what`.
[[noreturn]] void fail(const std::string& what);

// The 32-bit word at `at`, most significant byte first.
constexpr std::uint32_t read_u32_be(const std::uint8_t* at) {
    return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) |
           (std::uint32_t{at[2]} << 8) | at[3];
}

// Inflates a zlib stream (RFC 1950/1951) whose data are exactly `size` bytes long; throws
// PngError for a damaged stream, a wrong checksum or any other length.
std::vector<std::uint8_t> inflate_zlib(std::span<const std::uint8_t> stream, std::size_t size);

}  // namespace toolkit::png
