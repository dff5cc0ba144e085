#pragma once

// The skin's data: colours per section, property and state, parsed from a small text format
// carried as a resource. Portable: no <windows.h> here.
//
// Sections: "FORM", "LABEL", "BUTTON", "COMBOBOX", "GROUPBOX", "RADIOBUTTON", "CHECKBOX",
// "CAPTION" (the windows' title bars and borders). A property may have state variants
// written "property:state" (for example "face:hot"); states: normal (the bare property),
// hot, pressed, focused, disabled, default, selected, checked, inactive. The format is
// documented beside the parser.

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace skin {

struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Color&, const Color&) = default;

    // The colour as a Win32 COLORREF value (0x00BBGGRR); RGB 26,26,26 gives 1710618.
    constexpr std::uint32_t colorref() const {
        return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 |
               static_cast<std::uint32_t>(b) << 16;
    }
};

// The sections of a skin, in their canonical case.
inline constexpr std::array<std::string_view, 8> section_names{
    "FORM", "LABEL", "BUTTON", "COMBOBOX", "GROUPBOX", "RADIOBUTTON", "CHECKBOX", "CAPTION"};
// The states a property may have a colour for; "normal" is the bare property.
inline constexpr std::array<std::string_view, 9> state_names{"normal",   "hot",      "pressed",
                                                             "focused",  "disabled", "default",
                                                             "selected", "checked",  "inactive"};

// A colour every skin must define, because the toolkit draws with it.
struct RequiredColor {
    std::string_view section;   // "BUTTON"
    std::string_view property;  // "face"
    std::string_view state;     // "hot", or empty for the bare property
};

// Every colour the toolkit requires of a skin; parse() rejects a skin that lacks one.
std::span<const RequiredColor> required_colors();

// A skin text that cannot be used; the message says where and why.
class SkinError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class SkinData {
  public:
    // Colours by "SECTION/property[:state]", the names in their canonical case.
    using Colors = std::map<std::string, Color, std::less<>>;

    // Parses the skin text; throws SkinError for malformed text or a missing required colour.
    static SkinData parse(std::string_view text);

    const std::string& name() const { return name_; }

    // The colour of `property` of `section` in `state`, falling back to the bare property
    // when the state has no colour of its own (an empty state or "normal" is the bare
    // property). Names ignore ASCII case. Throws SkinError when neither colour exists.
    Color color(std::string_view section, std::string_view property,
                std::string_view state = {}) const;

  private:
    std::string name_;
    Colors colors_;
};

}  // namespace skin
