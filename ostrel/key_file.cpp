#include "key_file.h"

#include <algorithm>

#include "kit/text.h"

namespace ostrel {

namespace {

using kit::text::trim;

// Section and entry names match without regard to ASCII case.
bool same_name(std::string_view a, std::string_view b) {
    return kit::text::equal_ignoring_ascii_case(a, b);
}

}  // namespace

// The key codes are compared as ASCII and a rejected value is shown as it stood, so the
// bytes after a UTF-8 mark are kept as they are.
std::string decode_key_file(std::string_view bytes) {
    return kit::text::decode_marked_text(bytes, kit::text::MarkedUtf8::keep_bytes)
        .value_or(std::string(bytes));
}

KeyFile::KeyFile(std::string_view file_bytes) {
    const std::string text = decode_key_file(file_bytes);
    std::vector<std::string> sections_seen;
    std::optional<std::string> section;  // nothing: before any header, or a repeated section
    for (const std::string_view raw_line : kit::text::split_lines(text, kit::text::LineEnds::any)) {
        const auto line = trim(raw_line);
        if (line.empty()) continue;
        if (line.front() == '[') {
            const auto name = trim(line.substr(1, line.find(']') - 1));
            const bool repeated = std::ranges::any_of(
                sections_seen, [&](const std::string& seen) { return same_name(seen, name); });
            section.reset();
            if (!repeated) section = sections_seen.emplace_back(name);
            continue;
        }
        const auto equals = line.find('=');
        if (!section || equals == std::string_view::npos) continue;
        const auto name = trim(line.substr(0, equals));
        if (find(*section, name)) continue;  // a repeated entry: the first counts
        entries_.push_back(
            {*section, std::string(name), std::string(trim(line.substr(equals + 1)))});
    }
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
    int base = 10;
    if (value.size() >= 2 && value[0] == '0' && kit::text::to_lower_ascii(value[1]) == 'x') {
        base = 16;
        value.remove_prefix(2);
    }
    constexpr std::uint32_t largest_code = 0xFF;
    const auto code = kit::text::parse_digits(value, base);
    if (!code || *code > largest_code) return std::nullopt;
    return code;
}

KeyCode read_key_code(const KeyFile& file, std::string_view entry, std::uint32_t default_code) {
    const auto value = file.find(key_section, entry);
    if (!value) return {default_code, std::nullopt};
    if (const auto code = parse_key_code(*value)) return {*code, std::nullopt};
    return {default_code, std::string(*value)};
}

}  // namespace ostrel
