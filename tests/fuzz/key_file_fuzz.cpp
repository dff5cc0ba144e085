// The key-binding file ostrel.ini: its decoding, its reader and the key codes read from it.
//
// Invariants: a code read lies in 0..0xFF; a value looked up holds no CR, LF or NUL and no
// blank at either end; a value is taken as a code only when it is digits or "0x" and
// hexadecimal digits; decoding changes unmarked bytes in no way and makes UTF-16 well-formed
// UTF-8.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "check.h"
#include "key_file.h"
#include "key_records.h"
#include "kit/text.h"
#include "kit/unicode.h"

namespace {

constexpr std::uint32_t largest_code = 0xFF;

bool is_decimal(char c) {
    return c >= '0' && c <= '9';
}
bool is_hexadecimal(char c) {
    const char lower = kit::text::to_lower_ascii(c);
    return is_decimal(c) || (lower >= 'a' && lower <= 'f');
}

void check_key_code(std::string_view value) {
    const auto code = ostrel::parse_key_code(value);
    if (!code) return;
    FUZZ_CHECK(*code <= largest_code);
    const bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
    const auto digits = hex ? value.substr(2) : value;
    FUZZ_CHECK(!digits.empty());
    FUZZ_CHECK(std::ranges::all_of(digits, hex ? is_hexadecimal : is_decimal));
}

void check_decoding(std::string_view bytes) {
    const std::string text = ostrel::decode_key_file(bytes);
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        FUZZ_CHECK(kit::unicode::is_valid_utf8(text));
    else if (bytes.starts_with(kit::text::utf8_mark))
        FUZZ_CHECK(text == bytes.substr(kit::text::utf8_mark.size()));
    else
        FUZZ_CHECK(text == bytes);
}

void check_value(std::string_view value) {
    FUZZ_CHECK(!fuzz::holds_line_break_or_nul(value));
    FUZZ_CHECK(value.empty() || (!fuzz::is_blank(value.front()) && !fuzz::is_blank(value.back())));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check_decoding(bytes);
    for (const auto line : kit::text::split_lines(bytes, kit::text::LineEnds::any))
        check_key_code(kit::text::trim(line.substr(line.find('=') + 1)));

    const ostrel::KeyFile file(bytes);
    for (const auto& record : ostrel::key_records) {
        const auto default_code = static_cast<std::uint32_t>(record.builtin_default);
        const auto read = ostrel::read_key_code(file, record.entry_name, default_code);
        FUZZ_CHECK(read.code <= largest_code);
        if (!read.rejected_value) continue;
        // A value that is no key code is shown to the player as it stood in the file.
        check_value(*read.rejected_value);
        FUZZ_CHECK(!ostrel::parse_key_code(*read.rejected_value));
        FUZZ_CHECK(read.code == default_code);
    }
    return 0;
}
