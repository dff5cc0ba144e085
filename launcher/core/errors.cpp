#include "core/errors.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace launcher {

void throw_list_index_error(long index) {
    throw Error("List index out of bounds (" + std::to_string(index) + ")");
}

std::string not_integer_message(std::string_view text) {
    return "''" + std::string(text) + "'' is not a valid integer value";
}

// Text is UTF-8, so a message ending in a non-ASCII character ends in a byte of 0x80 or
// more: that character's code is above "." and the message gets its full stop.
std::string shown_error_text(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

namespace {

std::optional<int> digit_value(char c, int base) {
    int value = base;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    if (value >= base) return std::nullopt;
    return value;
}

// Optional sign, then decimal digits or "$"/"0x"/"0X" and hexadecimal digits; the value
// must fit a 32-bit signed integer.
std::optional<int> parse_int(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with('$')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    const std::int64_t limit = negative
                                   ? -static_cast<std::int64_t>(std::numeric_limits<int>::min())
                                   : static_cast<std::int64_t>(std::numeric_limits<int>::max());
    std::int64_t magnitude = 0;
    for (const char c : text) {
        const auto digit = digit_value(c, base);
        if (!digit) return std::nullopt;
        magnitude = magnitude * base + *digit;
        if (magnitude > limit) return std::nullopt;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace

int str_to_int(std::string_view text) {
    if (const auto value = parse_int(text)) return *value;
    throw Error(not_integer_message(text));
}

}  // namespace launcher
