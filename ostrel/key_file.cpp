#include "key_file.h"

#include <algorithm>

#include "kit/unicode.h"

namespace ostrel {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_name(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b,
                              [](char x, char y) { return lower_ascii(x) == lower_ascii(y); });
}

// Calls `take` with each line of `text`, without its line end.
template <typename Take>
void for_each_line(std::string_view text, Take take) {
    text = text.substr(0, text.find('\0'));
    while (!text.empty()) {
        const auto end = std::min(text.find_first_of("\r\n"), text.size());
        take(text.substr(0, end));
        std::size_t next = end;
        if (next < text.size()) next += text.compare(next, 2, "\r\n") == 0 ? 2 : 1;
        text.remove_prefix(next);
    }
}

std::optional<std::uint32_t> digit_value(char c, std::uint32_t base) {
    std::uint32_t value = base;
    if (c >= '0' && c <= '9') value = static_cast<std::uint32_t>(c - '0');
    const char lower = lower_ascii(c);
    if (lower >= 'a' && lower <= 'f') value = static_cast<std::uint32_t>(lower - 'a' + 10);
    if (value >= base) return std::nullopt;
    return value;
}

}  // namespace

std::string decode_key_file(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE"))
        return kit::unicode::utf16_bytes_to_utf8(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return kit::unicode::utf16_bytes_to_utf8(bytes.substr(2), true);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return std::string(bytes);
}

KeyFile::KeyFile(std::string_view file_bytes) {
    const std::string text = decode_key_file(file_bytes);
    std::vector<std::string> sections_seen;
    std::optional<std::string> section;  // nothing: before any header, or a repeated section
    for_each_line(text, [&](std::string_view raw_line) {
        const auto line = trim(raw_line);
        if (line.empty()) return;
        if (line.front() == '[') {
            const auto name = trim(line.substr(1, line.find(']') - 1));
            const bool repeated = std::ranges::any_of(
                sections_seen, [&](const std::string& seen) { return same_name(seen, name); });
            section.reset();
            if (!repeated) section = sections_seen.emplace_back(name);
            return;
        }
        const auto equals = line.find('=');
        if (!section || equals == std::string_view::npos) return;
        const auto name = trim(line.substr(0, equals));
        if (find(*section, name)) return;  // a repeated entry: the first counts
        entries_.push_back(
            {*section, std::string(name), std::string(trim(line.substr(equals + 1)))});
    });
}

std::optional<std::string_view> KeyFile::find(std::string_view section,
                                              std::string_view entry) const {
    const auto found = std::ranges::find_if(entries_, [&](const Entry& candidate) {
        return same_name(candidate.section, section) && same_name(candidate.name, entry);
    });
    if (found == entries_.end()) return std::nullopt;
    return found->value;
}

std::optional<std::uint32_t> parse_key_code(std::string_view value) {
    std::uint32_t base = 10;
    if (value.size() >= 2 && value[0] == '0' && lower_ascii(value[1]) == 'x') {
        base = 16;
        value.remove_prefix(2);
    }
    if (value.empty()) return std::nullopt;
    constexpr std::uint32_t largest_code = 0xFF;
    std::uint32_t code = 0;
    for (const char c : value) {
        const auto digit = digit_value(c, base);
        if (!digit) return std::nullopt;
        code = code * base + *digit;
        if (code > largest_code) return std::nullopt;
    }
    return code;
}

KeyCode read_key_code(const KeyFile& file, std::string_view entry, std::uint32_t default_code) {
    const auto value = file.find(key_section, entry);
    if (!value) return {default_code, std::nullopt};
    if (const auto code = parse_key_code(*value)) return {*code, std::nullopt};
    return {default_code, std::string(*value)};
}

}  // namespace ostrel
