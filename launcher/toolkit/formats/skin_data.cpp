// The skin text format, read once at start-up:
//
//   ; comment (a line whose first non-blank character is ';' or '#')
//   name = TV-b (internal)          the first meaningful line: the skin's name
//   [BUTTON]                        opens a section
//   face = #33353A                  the bare property: the colour in the normal state
//   face:pressed = #1F2023          the colour in one state
//
// - Lines end at LF or CR LF; a UTF-8 byte-order mark at the start is skipped; blanks and
//   tabs around names and values are ignored; blank lines are skipped.
// - Sections: FORM, LABEL, BUTTON, COMBOBOX, GROUPBOX, RADIOBUTTON, CHECKBOX, CAPTION. A
//   section may be opened again; its colours join the earlier ones.
// - Property names are letters, digits and '_'. States: normal (the same as the bare
//   property), hot, pressed, focused, disabled, default, selected, checked, inactive.
// - CAPTION is a window's frame: "face" fills the title bar and the border, "border" is the
//   outer line, "text" the title, "button" and "close" the faces of the minimise and close
//   boxes, "glyph" the marks on them. "inactive" colours a window that is not the active
//   one; the boxes take "hot" under the mouse and "pressed" while held down.
// - Section, property and state names ignore ASCII case: "[button]" and "Face:HOT" are
//   "[BUTTON]" and "face:hot".
// - A colour is '#' and exactly six hexadecimal digits, red, green, blue; nothing may
//   follow it on the line (comments stand on lines of their own).
// - A colour defined twice is an error, as is any malformed line, so a typing mistake is
//   reported at start rather than drawn. Properties the toolkit does not know are kept.
// - Every colour listed in required_colors() must be defined: a missing one rejects the
//   skin, so the toolkit never lacks a colour while painting.
#include "toolkit/formats/skin_data.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <utility>

#include "kit/text.h"

namespace skin {

namespace {

// The colours the toolkit draws with. In a drop-down list, "list" is the open list's
// background and the highlighted item is drawn in "text:selected" on "selection"; the open
// list's slim scroll indicator is a "thumb" on a "track".
constexpr RequiredColor required_control_colors[] = {
    {"FORM", "face", ""},
    {"FORM", "text", ""},

    {"LABEL", "text", ""},
    {"LABEL", "text", "disabled"},

    {"BUTTON", "face", ""},
    {"BUTTON", "face", "hot"},
    {"BUTTON", "face", "pressed"},
    {"BUTTON", "face", "disabled"},
    {"BUTTON", "face", "default"},
    {"BUTTON", "text", ""},
    {"BUTTON", "text", "disabled"},
    {"BUTTON", "border", ""},
    {"BUTTON", "border", "hot"},
    {"BUTTON", "border", "focused"},
    {"BUTTON", "border", "default"},
    {"BUTTON", "border", "disabled"},
    {"BUTTON", "focus", ""},

    {"COMBOBOX", "face", ""},
    {"COMBOBOX", "face", "hot"},
    {"COMBOBOX", "face", "disabled"},
    {"COMBOBOX", "text", ""},
    {"COMBOBOX", "text", "disabled"},
    {"COMBOBOX", "text", "selected"},
    {"COMBOBOX", "border", ""},
    {"COMBOBOX", "border", "hot"},
    {"COMBOBOX", "border", "focused"},
    {"COMBOBOX", "border", "disabled"},
    {"COMBOBOX", "arrow", ""},
    {"COMBOBOX", "arrow", "hot"},
    {"COMBOBOX", "arrow", "disabled"},
    {"COMBOBOX", "list", ""},
    {"COMBOBOX", "selection", ""},
    {"COMBOBOX", "focus", ""},
    {"COMBOBOX", "track", ""},
    {"COMBOBOX", "thumb", ""},
    {"COMBOBOX", "thumb", "hot"},
    {"COMBOBOX", "thumb", "pressed"},

    {"GROUPBOX", "frame", ""},
    {"GROUPBOX", "text", ""},
    {"GROUPBOX", "text", "disabled"},
    {"GROUPBOX", "face", ""},

    {"CAPTION", "face", ""},
    {"CAPTION", "face", "inactive"},
    {"CAPTION", "text", ""},
    {"CAPTION", "text", "inactive"},
    {"CAPTION", "border", ""},
    {"CAPTION", "border", "inactive"},
    {"CAPTION", "button", ""},
    {"CAPTION", "button", "hot"},
    {"CAPTION", "button", "pressed"},
    {"CAPTION", "close", ""},
    {"CAPTION", "close", "hot"},
    {"CAPTION", "close", "pressed"},
    {"CAPTION", "glyph", ""},
    {"CAPTION", "glyph", "hot"},
    {"CAPTION", "glyph", "inactive"},
};

// Radio buttons and check boxes are drawn alike and need the same colours.
constexpr std::string_view toggle_sections[] = {"RADIOBUTTON", "CHECKBOX"};
constexpr std::pair<std::string_view, std::string_view> required_toggle_colors[] = {
    {"text", ""},          {"text", "disabled"},   {"glyph", ""},  {"glyph", "hot"},
    {"glyph", "pressed"},  {"glyph", "disabled"},  {"border", ""}, {"border", "hot"},
    {"border", "focused"}, {"border", "disabled"}, {"mark", ""},   {"mark", "disabled"},
    {"focus", ""},
};

constexpr auto required_color_table = [] {
    std::array<RequiredColor, std::size(required_control_colors) +
                                  std::size(toggle_sections) * std::size(required_toggle_colors)>
        table{};
    auto out = std::ranges::copy(required_control_colors, table.begin()).out;
    for (const auto section : toggle_sections)
        for (const auto& [property, state] : required_toggle_colors)
            *out++ = {section, property, state};
    return table;
}();

// Every required colour names a section and a state of the skin text.
static_assert(std::ranges::all_of(required_color_table, [](const RequiredColor& color) {
    return std::ranges::find(section_names, color.section) != section_names.end() &&
           (color.state.empty() ||
            std::ranges::find(state_names, color.state) != state_names.end());
}));

using kit::text::to_lower_ascii;
using kit::text::to_upper_ascii;
using kit::text::trim;

bool is_name_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::optional<Color> parse_color(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    const auto value = kit::text::parse_digits(text.substr(1), 16);
    if (!value) return std::nullopt;
    return Color{static_cast<std::uint8_t>(*value >> 16), static_cast<std::uint8_t>(*value >> 8),
                 static_cast<std::uint8_t>(*value)};
}

// "normal" names the bare property; other states are kept lower-case.
std::string normalize_state(std::string_view state) {
    std::string lower = to_lower_ascii(state);
    return lower == "normal" ? std::string() : lower;
}

std::string color_key(std::string_view section, std::string_view property, std::string_view state) {
    std::string key = to_upper_ascii(section) + "/" + to_lower_ascii(property);
    if (!state.empty()) key += ":" + std::string(state);
    return key;
}

std::string describe(std::string_view section, std::string_view property, std::string_view state) {
    std::string text = std::string(section) + " " + std::string(property);
    if (!state.empty()) text += ":" + std::string(state);
    return text;
}

[[noreturn]] void fail_at(std::size_t line_number, const std::string& why) {
    throw SkinError("skin line " + std::to_string(line_number) + ": " + why);
}

bool is_known(auto& names, std::string_view name) {
    return std::ranges::find(names, name) != names.end();
}

// Reads the skin line by line; one instance per parse() call.
class Parser {
  public:
    SkinData::Colors colors;
    std::string name;

    void read(std::string_view text) {
        for (const std::string_view line :
             kit::text::split_lines(kit::text::without_utf8_mark(text), kit::text::LineEnds::lf))
            read_line(++line_number_, trim(line));
        if (name.empty()) fail_at(line_number_ + 1, "the text ends before the name line");
    }

  private:
    std::size_t line_number_ = 0;
    std::string section_;
    std::map<std::string, std::size_t, std::less<>> defined_at_;

    void read_line(std::size_t number, std::string_view line) {
        if (line.empty() || line.starts_with(';') || line.starts_with('#')) return;
        if (name.empty()) return read_name(number, line);
        if (line.starts_with('[')) return read_section(number, line);
        read_color(number, line);
    }

    void read_name(std::size_t number, std::string_view line) {
        const auto equals = line.find('=');
        if (equals == std::string_view::npos ||
            to_lower_ascii(trim(line.substr(0, equals))) != "name")
            fail_at(number, "a skin begins with its name line \"name = ...\"");
        name = trim(line.substr(equals + 1));
        if (name.empty()) fail_at(number, "the skin's name is empty");
    }

    void read_section(std::size_t number, std::string_view line) {
        if (!line.ends_with(']')) fail_at(number, "a section header is \"[NAME]\"");
        const std::string section = to_upper_ascii(trim(line.substr(1, line.size() - 2)));
        if (!is_known(section_names, section))
            fail_at(number, "unknown section \"" + std::string(line) + "\"");
        section_ = section;
    }

    void read_color(std::size_t number, std::string_view line) {
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            fail_at(number, "expected \"property = #RRGGBB\", found \"" + std::string(line) + "\"");
        const std::string_view key = trim(line.substr(0, equals));
        const std::string_view value = trim(line.substr(equals + 1));

        const auto colon = key.find(':');
        const std::string_view property = trim(key.substr(0, colon));
        const std::string_view state =
            colon == std::string_view::npos ? std::string_view() : trim(key.substr(colon + 1));
        if (property.empty() || !std::ranges::all_of(property, is_name_char))
            fail_at(number, "bad property name \"" + std::string(key) + "\"");
        if (colon != std::string_view::npos && !is_known(state_names, to_lower_ascii(state)))
            fail_at(number, "unknown state \"" + std::string(state) + "\"");
        if (section_.empty())
            fail_at(number, "property \"" + std::string(key) + "\" stands before any section");
        const auto color = parse_color(value);
        if (!color) fail_at(number, "bad colour \"" + std::string(value) + "\", expected #RRGGBB");

        const std::string full_key = color_key(section_, property, normalize_state(state));
        const auto [earlier, inserted] = defined_at_.try_emplace(full_key, number);
        if (!inserted)
            fail_at(number, describe(section_, to_lower_ascii(property), normalize_state(state)) +
                                " is already defined at line " + std::to_string(earlier->second));
        colors.emplace(full_key, *color);
    }
};

}  // namespace

std::span<const RequiredColor> required_colors() {
    return required_color_table;
}

SkinData SkinData::parse(std::string_view text) {
    Parser parser;
    parser.read(text);

    std::string missing;
    for (const auto& required : required_color_table) {
        if (parser.colors.contains(color_key(required.section, required.property, required.state)))
            continue;
        missing += (missing.empty() ? "" : ", ") +
                   describe(required.section, required.property, required.state);
    }
    if (!missing.empty())
        throw SkinError("skin \"" + parser.name + "\" lacks required colours: " + missing);

    SkinData skin;
    skin.name_ = std::move(parser.name);
    skin.colors_ = std::move(parser.colors);
    return skin;
}

Color SkinData::color(std::string_view section, std::string_view property,
                      std::string_view state) const {
    const std::string normalized_state = normalize_state(state);
    if (!normalized_state.empty()) {
        if (auto found = colors_.find(color_key(section, property, normalized_state));
            found != colors_.end())
            return found->second;
    }
    if (auto found = colors_.find(color_key(section, property, {})); found != colors_.end())
        return found->second;
    throw SkinError("skin \"" + name_ + "\" has no colour for " +
                    describe(to_upper_ascii(section), to_lower_ascii(property), {}));
}

}  // namespace skin
