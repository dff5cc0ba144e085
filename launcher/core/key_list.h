#pragma once

// The keys the player can bind in the keyboard settings dialog: row 0 is "not set", rows 1 to
// 123 are keyboard keys in ascending order of their DirectInput code. The row number links a
// display name, its code string and the items of every drop-down list of the dialog.

#include <array>
#include <optional>
#include <string_view>

namespace launcher {

struct KeyRow {
    // What the drop-down lists show: the DirectInput constant's name without "DIK_".
    std::string_view display_name;
    // What the key-binding file holds: "0", or "0x" and two upper-case hex digits.
    std::string_view code;
};

inline constexpr int key_row_count = 124;

extern const std::array<KeyRow, key_row_count> key_list;

// The row whose code string equals `value` with letter case ignored, or nothing. Nothing else
// is normalised: blanks, extra leading zeros and decimal numbers do not match.
std::optional<int> find_key_row(std::string_view value);

}  // namespace launcher
