#include "core/errors.h"

#include <cstdint>
#include <limits>
#include <optional>

#include "kit/text.h"

namespace launcher {

void throw_list_index_error(long index) {
    throw Error("List index out of bounds (" + std::to_string(index) + ")");
}

std::string not_integer_message(std::string_view text) {
    return "''" + std::string(text) + "'' is not a valid integer value";
}

namespace {

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
    const auto magnitude = kit::text::parse_digits(text, base);
    const std::int64_t limit = negative
                                   ? -static_cast<std::int64_t>(std::numeric_limits<int>::min())
                                   : static_cast<std::int64_t>(std::numeric_limits<int>::max());
    if (!magnitude || *magnitude > limit) return std::nullopt;
    return static_cast<int>(negative ? -static_cast<std::int64_t>(*magnitude) : *magnitude);
}

}  // namespace

int str_to_int(std::string_view text) {
    if (const auto value = parse_int(text)) return *value;
    throw Error(not_integer_message(text));
}

}  // namespace launcher
