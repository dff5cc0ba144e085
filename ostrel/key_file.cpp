#include "key_file.h"

#include <algorithm>

#include "kit/text.h"
#include "kit/unicode.h"

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

bool utf16_marked(std::string_view bytes) {
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

// UTF-16 bytes (after their mark) as UTF-8, a block at a time, so that no copy of the whole
// file as UTF-16 units is made besides the UTF-8 text. A block never ends between the two
// halves of a surrogate pair.
std::string utf16_to_utf8_in_blocks(std::string_view bytes, bool big_endian) {
    constexpr std::size_t block_bytes = 1 << 16;
    std::string text;
    while (!bytes.empty()) {
        std::size_t take = bytes.size();
        if (take > block_bytes) {
            take = block_bytes;
            const auto high = static_cast<unsigned char>(bytes[take - (big_endian ? 2 : 1)]);
            if (high >= 0xD8 && high <= 0xDB) take -= 2;  // a pair's first half: keep it whole
        }
        text += kit::unicode::utf16_bytes_to_utf8(bytes.substr(0, take), big_endian);
        bytes.remove_prefix(take);
    }
    return text;
}

// Hands out the lines of `text` one by one, by the rules of the game's text lists: CR LF,
// CR or LF end a line and a NUL ends the text. No list of lines is made, so a file of
// millions of lines costs no more memory than its text.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : rest_(text.substr(0, text.find('\0'))) {}

    std::optional<std::string_view> next() {
        if (rest_.empty()) return std::nullopt;
        // A plain scan: find_first_of tests each byte against its set one call at a time.
        const auto end = static_cast<std::size_t>(
            std::ranges::find_if(rest_, [](char c) { return c == '\r' || c == '\n'; }) -
            rest_.begin());
        const auto line = rest_.substr(0, end);
        auto after = end;
        if (after < rest_.size()) after += rest_.compare(after, 2, "\r\n") == 0 ? 2 : 1;
        rest_.remove_prefix(after);
        return line;
    }

  private:
    std::string_view rest_;
};

}  // namespace

// The key codes are compared as ASCII and a rejected value is shown as it stood, so the
// bytes after a UTF-8 mark are kept as they are.
std::string decode_key_file(std::string_view bytes) {
    if (utf16_marked(bytes)) return utf16_to_utf8_in_blocks(bytes.substr(2), bytes[0] == '\xFE');
    return std::string(kit::text::without_utf8_mark(bytes));
}

KeyFile::KeyFile(std::string_view file_bytes) {
    // Only UTF-16 needs a decoded copy; other text is read where it lies.
    std::string decoded;
    std::string_view text = kit::text::without_utf8_mark(file_bytes);
    if (utf16_marked(file_bytes)) text = decoded = decode_key_file(file_bytes);

    // Other sections and later repeats of KEYS never count, so the first section KEYS is
    // all that is read.
    bool in_keys = false;
    std::size_t still_missing = values_.size();
    LineReader lines(text);
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
