#include "key_file.h"

#include <algorithm>
#include <utility>

#include "kit/text.h"

namespace ostrel {

namespace {

using kit::text::trim;

// Section and entry names match without regard to ASCII case.
bool same_name(std::string_view a, std::string_view b) {
    return kit::text::equal_ignoring_ascii_case(a, b);
}

// The records' entry names with their lengths, measured once rather than on every line.
constexpr auto entry_names = [] {
    std::array<std::string_view, key_records.size()> names{};
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = key_records[i].entry_name;
    return names;
}();

}  // namespace

// The key codes are compared as ASCII and a rejected value is shown as it stood, so the
// bytes after a UTF-8 mark are kept as they are.
std::string decode_key_file(std::string_view bytes) {
    if (auto text = kit::text::decode_marked_text(bytes, kit::text::MarkedUtf8::keep_bytes))
        return std::move(*text);
    return std::string(bytes);
}

KeyFile::KeyFile(std::string_view file_bytes) {
    // Only UTF-16 needs a decoded copy; other text is read where it lies.
    std::string decoded;
    std::string_view text = kit::text::without_utf8_mark(file_bytes);
    if (file_bytes.starts_with("\xFF\xFE") || file_bytes.starts_with("\xFE\xFF"))
        text = decoded = decode_key_file(file_bytes);

    // Other sections and later repeats of KEYS never count, so the first section KEYS is
    // all that is read.
    bool in_keys = false;
    std::size_t still_missing = values_.size();
    kit::text::LineReader lines(text, kit::text::LineEnds::any);
    while (const auto raw_line = lines.next()) {
        const auto line = trim(*raw_line);
        if (line.empty()) continue;
        if (line.front() == '[') {
            if (in_keys) break;
            in_keys = same_name(trim(line.substr(1, line.find(']') - 1)), key_section);
            continue;
        }
        const auto equals = line.find('=');
        if (!in_keys || equals == std::string_view::npos) continue;
        const auto name = trim(line.substr(0, equals));
        for (std::size_t i = 0; i < key_records.size(); ++i) {
            // A repeated entry: the first counts.
            if (values_[i] || !same_name(name, entry_names[i])) continue;
            values_[i] = std::string(trim(line.substr(equals + 1)));
            --still_missing;
        }
        if (still_missing == 0) break;
    }
}

std::optional<std::string_view> KeyFile::find(std::string_view entry) const {
    for (std::size_t i = 0; i < key_records.size(); ++i)
        if (same_name(entry_names[i], entry) && values_[i]) return *values_[i];
    return std::nullopt;
}

std::optional<std::uint32_t> parse_key_code(std::string_view value) {
    int base = 10;
    if (value.size() >= 2 && value[0] == '0' && kit::text::to_lower_ascii(value[1]) == 'x') {
        base = 16;
        value.remove_prefix(2);
    }
    const auto code = kit::text::parse_digits(value, base);
    if (!code || *code > largest_key_code) return std::nullopt;
    return code;
}

KeyCode read_key_code(const KeyFile& file, std::string_view entry, std::uint32_t default_code) {
    const auto value = file.find(entry);
    if (!value) return {default_code, std::nullopt};
    if (const auto code = parse_key_code(*value)) return {*code, std::nullopt};
    return {default_code, std::string(*value)};
}

}  // namespace ostrel
