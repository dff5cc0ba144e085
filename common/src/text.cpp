#include "kit/text.h"

#include <algorithm>
#include <charconv>

#include "kit/unicode.h"

namespace kit::text {

// wchar_t holds UTF-16 units on Windows and whole code points elsewhere.
std::wstring widen(std::string_view utf8) {
    std::wstring wide;
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        const std::u16string units = unicode::utf8_to_utf16(utf8);
        wide.assign(units.begin(), units.end());
    } else {
        while (!utf8.empty()) {
            const auto decoded = unicode::decode_utf8(utf8);
            wide += static_cast<wchar_t>(decoded.code_point);
            utf8.remove_prefix(decoded.length);
        }
    }
    return wide;
}

std::string narrow(std::wstring_view wide) {
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
        return unicode::utf16_to_utf8(std::u16string(wide.begin(), wide.end()));
    } else {
        std::string utf8;
        for (const wchar_t c : wide) {
            const auto code_point = static_cast<char32_t>(c);
            const bool scalar =
                code_point < 0xD800 || (code_point > 0xDFFF && code_point <= 0x10FFFF);
            unicode::append_utf8(utf8, scalar ? code_point : unicode::replacement_character);
        }
        return utf8;
    }
}

std::string to_lower_ascii(std::string_view text) {
    std::string result(text);
    std::ranges::transform(result, result.begin(), [](char c) { return to_lower_ascii(c); });
    return result;
}

std::string to_upper_ascii(std::string_view text) {
    std::string result(text);
    std::ranges::transform(result, result.begin(), [](char c) { return to_upper_ascii(c); });
    return result;
}

bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
    return std::ranges::equal(
        a, b, [](char x, char y) { return to_lower_ascii(x) == to_lower_ascii(y); });
}

std::string_view trim(std::string_view text) {
    constexpr std::string_view blanks = " \t";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

namespace {

constexpr std::string_view utf16_le_mark = "\xFF\xFE";
constexpr std::string_view utf16_be_mark = "\xFE\xFF";

}  // namespace

std::optional<std::string> decode_marked_text(std::string_view bytes, MarkedUtf8 utf8) {
    if (bytes.starts_with(utf16_le_mark))
        return unicode::utf16_bytes_to_utf8(bytes.substr(utf16_le_mark.size()), false);
    if (bytes.starts_with(utf16_be_mark))
        return unicode::utf16_bytes_to_utf8(bytes.substr(utf16_be_mark.size()), true);
    if (!bytes.starts_with(utf8_mark)) return std::nullopt;
    bytes.remove_prefix(utf8_mark.size());
    return utf8 == MarkedUtf8::sanitize ? unicode::sanitize_utf8(bytes) : std::string(bytes);
}

std::string_view without_utf8_mark(std::string_view text) {
    if (text.starts_with(utf8_mark)) text.remove_prefix(utf8_mark.size());
    return text;
}

LineReader::LineReader(std::string_view text, LineEnds ends)
    : rest_(ends == LineEnds::any ? text.substr(0, text.find('\0')) : text), ends_(ends) {}

std::optional<std::string_view> LineReader::next() {
    if (rest_.empty()) return std::nullopt;
    // A plain scan: find_first_of tests each byte against its set one call at a time.
    const bool cr_ends = ends_ == LineEnds::any;
    const auto end = static_cast<std::size_t>(
        std::ranges::find_if(rest_,
                             [cr_ends](char c) { return c == '\n' || (cr_ends && c == '\r'); }) -
        rest_.begin());
    std::string_view line = rest_.substr(0, end);
    std::size_t next = end;
    if (next < rest_.size()) next += rest_.compare(next, 2, "\r\n") == 0 ? 2 : 1;
    if (ends_ == LineEnds::lf && line.ends_with('\r')) line.remove_suffix(1);
    rest_.remove_prefix(next);
    return line;
}

std::vector<std::string_view> split_lines(std::string_view text, LineEnds ends) {
    std::vector<std::string_view> lines;
    LineReader reader(text, ends);
    while (const auto line = reader.next()) lines.push_back(*line);
    return lines;
}

std::optional<std::uint32_t> parse_digits(std::string_view digits, int base) {
    if (digits.empty()) return std::nullopt;
    std::uint32_t value = 0;
    const char* const end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace kit::text
