#pragma once

// What the stand-in game makes of the settings files the launcher writes: game.ini (its
// window) and Input1.ini / Input2.ini (which pad button drives which action). Portable; a
// file that is missing or bad gives a line of text, never an error.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/gamepad_settings.h"
#include "core/line_list.h"

namespace game {

// The size of the game's picture when game.ini does not give one.
inline constexpr int default_width = 800;
inline constexpr int default_height = 480;

struct DisplayView {
    int width = default_width;  // of the window's client area
    int height = default_height;
    std::string line;  // what the game shows of the file
};

// game.ini in `directory` (ending with its separator). A window of the chosen size; for full
// screen, which a stand-in does not take, the default window and the size as text.
DisplayView read_display(const std::string& directory, const launcher::CodePage& ansi);

struct PadView {
    // Per action, the pad button number (1 to 12) that drives it; 0 for none.
    std::array<int, launcher::gamepad::position_count> buttons{};
    std::string line;  // the file's state: what was read, or what is wrong with it
};

// Input1.ini (pad 0) or Input2.ini (pad 1) in `directory`. Without the file the launcher's
// default mapping holds; a bad mapping line keeps the positions read before the fault.
PadView read_pad(const std::string& directory, int pad, const launcher::CodePage& ansi);

// Per action, whether a button that drives it is held in the pad's button word.
std::array<bool, launcher::gamepad::position_count> held_actions(const PadView& pad,
                                                                 std::uint32_t buttons);

}  // namespace game
