#pragma once

// The file logic of the keyboard settings dialog: which lines of the key-binding file feed
// which drop-down list, how a line's value selects a key, and what OK writes back. The window
// itself only moves selections between these functions and its drop-down lists.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/line_list.h"
#include "interfaces/system.h"

namespace launcher::keyboard {

inline constexpr std::string_view bindings_file_name = "ostrel.ini";
inline constexpr std::string_view patcher_file_name = "ostrel.exe";
inline constexpr std::string_view missing_file_message =
    "Не найдет файл настройки управления (ostrel.ini).";

// One line of the key-binding file tied to one drop-down list of the dialog.
struct Binding {
    long line;
    // Entry name, " = ".
    std::string_view entry_prefix;
    // N of the drop-down list sComboBoxN.
    int combo_box;
    // The caption of the list's label and of its group box (core/actions.h).
    std::string_view label;
    std::string_view group_box;
    // The key the unpatched game uses for this input, as a code string ("0": no key). The
    // patcher's builtin defaults and the shipped ostrel.ini hold the same codes; tests hold
    // them to this.
    std::string_view game_code;
};

inline constexpr int binding_count = 13;

// In the order in which the dialog reads and writes the lines.
extern const std::array<Binding, binding_count> bindings;

// A row of the key list, or none.
using Selection = std::optional<int>;
// Per row of `bindings`.
using Selections = std::array<Selection, binding_count>;

// The text after the first " = " of `line`; a line without one gives itself less its first
// two characters.
std::string_view value_of_line(std::string_view line);

// Receives, per row of `bindings` in order, the index of the row and what its list selects.
using SelectionSink = std::function<void(int binding, Selection selection)>;

// Selects a key for each row of `bindings` from the file lines. A line the file does not hold
// raises "List index out of bounds (%d)" after the rows before it have been passed on.
void read_selections(const LineList& lines, const SelectionSink& select);

// The key-binding file as shipped with the kit: the KEYS header among lines 0 to 2, a comment
// at line 7, and the game's own keys in the entries.
LineList shipped_file();

// The lines OK writes. When the opening found a file: the read lines with each binding's line
// replaced by its entry prefix and the selected row's code string; a row without selection
// keeps its line as read. When there was no file: the shipped file with the selections, and
// the game's own keys for the rows without one. A line the read file does not hold raises
// "List index out of bounds (%d)".
LineList lines_to_write(const LineList& read, bool file_found, const Selections& selections);

// The dialog's copy of the key-binding file from one opening to its OK.
class BindingsFile {
  public:
    // Opening: empties the lines, then loads `directory` + "ostrel.ini" and passes the
    // selections to `select`. Returns false, having read nothing, when there is no such file
    // (the caller then shows missing_file_message). File and index errors propagate; the rows
    // passed on before an index error stand.
    bool open(const std::string& directory, const CodePage& ansi, const SelectionSink& select);

    // OK: writes the lines from lines_to_write whole to the file, then starts "ostrel.exe" from
    // `directory`. Nothing is written or started when an error is raised.
    void confirm(const std::string& directory, const CodePage& ansi, const Selections& selections,
                 platform::ProgramStarter& starter) const;

  private:
    LineList lines_;
    bool file_found_ = false;
};

}  // namespace launcher::keyboard
