#pragma once

// The file logic of the gamepad settings dialog: the pad settings file (Input1.ini or
// Input2.ini), which holds a device name line and a mapping line of nine button numbers, and
// what the pad's button word selects. The window only moves selections between these
// functions and its nine drop-down lists.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/actions.h"
#include "core/line_list.h"

namespace launcher::gamepad {

// The nine mapping positions, numbered from 0 here: position p is list p + 1 of
// core/actions.h (sComboBox1 to sComboBox9).
inline constexpr int position_count = actions::action_count;
// Pad buttons 1 to 12 can be assigned; 0 is "not set".
inline constexpr int button_count = 12;

inline constexpr std::string_view default_device_line = "Generic   USB   Joystick";
inline constexpr std::string_view default_mapping_line = "4 1 2 7 9 10 6 5 8 ";

// The items of every list: item n is button number n.
inline constexpr std::array<std::string_view, button_count + 1> button_items{
    "Не задано", "Кнопка 1", "Кнопка 2", "Кнопка 3",  "Кнопка 4",  "Кнопка 5",  "Кнопка 6",
    "Кнопка 7",  "Кнопка 8", "Кнопка 9", "Кнопка 10", "Кнопка 11", "Кнопка 12",
};

// What a list shows for a number read from the file: the item of that index for 0 to 12,
// otherwise nothing (-1).
constexpr int selection_of(int number) {
    return number >= 0 && number <= button_count ? number : -1;
}

// Per position, the list's item index; -1 for a list without selection.
using Mapping = std::array<int, position_count>;

// Receives, position by position in order, the selection its list takes (see selection_of).
using SelectionSink = std::function<void(int position, int selection)>;

// Cuts line 1 into nine numbers, each the text before the next space, and passes each on as
// it is read. Raises "List index out of bounds (1)" without line 1, and the number conversion
// error for a token that is not an integer (the empty one included: a missing space, a doubled
// or leading one), after the positions before it have been passed on. Whatever follows the
// ninth number's space is ignored.
void read_mapping(const LineList& lines, const SelectionSink& select);

// The nine indexes in decimal, each followed by one space.
std::string mapping_line(const Mapping& mapping);

// The lines OK writes: for an empty list the default device name line and the mapping line;
// otherwise the lines as read with line 1 replaced by the mapping line, so that the device
// name line and any lines after line 1 stay as they are. A list of one line has no line 1 to
// replace: that raises "List index out of bounds (1)".
LineList lines_to_write(const LineList& read, const Mapping& mapping);

// The button that the live capture selects for the pad's button word: the highest of buttons
// 1 to 12 that is held (bit n-1 for button n), or none. Bits above those of button 12 select
// nothing, though they still count as a press (a non-zero word).
std::optional<int> captured_button(std::uint32_t buttons);

// The dialog's copy of a pad settings file from one opening to its OK.
class PadFile {
  public:
    // Opening: empties the lines, reads the file at `path` when it exists as a file (else
    // takes the two default lines, writing nothing) and passes the selections to `select`.
    // File, index and conversion errors propagate; the selections passed on before stand.
    void open(const std::string& path, const CodePage& ansi, const SelectionSink& select);

    // OK: writes lines_to_write whole to `path`, replacing the file at once. Nothing is
    // written when an error is raised.
    void confirm(const std::string& path, const CodePage& ansi, const Mapping& mapping) const;

    const LineList& lines() const { return lines_; }

  private:
    LineList lines_;
};

}  // namespace launcher::gamepad
