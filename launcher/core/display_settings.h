#pragma once

// The file logic of the display settings dialog: how the four lines of game.ini set the mode,
// the size and the scaling box, and what OK writes back. The window itself only moves these
// states between the functions here and its controls.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/line_list.h"
#include "interfaces/system.h"

namespace launcher::display {

inline constexpr std::string_view settings_file_name = "game.ini";

// The size list's items, in their order: width, " x ", height, " x 32bit".
inline constexpr std::array<std::string_view, 5> size_items = {
    "800 x 480 x 32bit",  "800 x 600 x 32bit",  "1024 x 768 x 32bit",
    "1280 x 720 x 32bit", "1600 x 900 x 32bit",
};

// "W x H x 32bit": the form of the size items and of the screen-size label.
std::string size_text(std::string_view width, std::string_view height);
std::string screen_text(platform::ScreenSize size);

// The first size item equal to `text`, letter case ignored; -1 for none.
int find_size_item(std::string_view text);

// The state of the controls that the file feeds.
struct Choice {
    bool windowed = true;  // sm1 "В окне", else sm2 "Во весь экран"
    int size_item = 0;     // -1: no size selected
    bool no_scaling = false;
};

// Lines 1 and 2 as the opening read them.
struct SizeLines {
    std::string width;
    std::string height;
};

// Receives the opening's settings in the order of the lines.
struct ChoiceSink {
    std::function<void(bool windowed)> mode;       // line 0
    std::function<void(int size_item)> size;       // lines 1 and 2; -1: no item matches
    std::function<void(bool no_scaling)> scaling;  // line 3
};

// Passes lines 0 to 3 on to `sink`, each as soon as it is read. A line the list does not
// hold raises "List index out of bounds (%d)" for it, after the steps before it were passed
// on: the size needs lines 1 and 2 together.
void read_choice(const LineList& lines, const ChoiceSink& sink);

// Width and height of a size item: the text before the first " x ", and the text after it
// up to the first " x 3".
SizeLines split_size_item(std::string_view item);

// The four lines OK writes. Without a selected size, lines 1 and 2 are those the opening
// read (`read_size`), so that a size the list does not offer is kept; with neither, nothing
// can be written and an error is raised.
LineList lines_to_write(const Choice& choice, const std::optional<SizeLines>& read_size);

// The dialog's line list and what its openings read, from one opening to the next OK.
class SettingsFile {
  public:
    // Opening: loads `directory` + "game.ini" and passes its settings to `sink`. Returns
    // false, having read and changed nothing, when there is no such file. File and index
    // errors propagate; the settings passed on before an index error stand.
    bool open(const std::string& directory, const CodePage& ansi, const ChoiceSink& sink);

    // OK: writes lines_to_write whole to the file, replacing it at once; on an error the old
    // file stays as it was.
    void confirm(const std::string& directory, const CodePage& ansi, const Choice& choice);

    const LineList& lines() const { return lines_; }

  private:
    LineList lines_;
    // Lines 1 and 2 of the last opening that reached them. The size list loses its
    // selection only at such an opening, so they describe what it then shows.
    std::optional<SizeLines> read_size_;
};

}  // namespace launcher::display
