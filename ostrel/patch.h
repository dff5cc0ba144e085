#pragma once

// The patch run on the game executable held in memory.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "key_file.h"
#include "key_records.h"

namespace ostrel {

enum class GameCheck { valid, too_small, wrong_version };

GameCheck check_game(std::span<const std::uint8_t> game);

// Signs that `game` is not the unpatched v1.04 executable although it passed check_game:
// one line of text per finding.
std::vector<std::string> inspect_game(std::span<const std::uint8_t> game);

struct Binding {
    const KeyRecord* record = nullptr;
    std::int32_t old_code = 0;  // the game's own code, or the built-in default
    // The game's field when it held no key code from 0 to 0xFF (old_code is then the
    // built-in default): not the unpatched v1.04, most likely an already patched copy.
    std::optional<std::uint32_t> unusable_field;
    std::uint32_t new_code = 0;                 // as read back from the patched field
    std::optional<std::string> rejected_value;  // a value in the file that was not a key code
};

// Patches a game that passed check_game: takes the game's own codes as defaults, copies the
// jump and chord blocks, then writes each bound code. One binding per key record, in order.
// Every field written lies inside the game's key-state table (0x71C plus 0 to 0xFF), whatever
// the input holds.
std::vector<Binding> patch_game(std::span<std::uint8_t> game, const KeyFile& bindings);

// `value` by a printf format of one unsigned conversion of at most 15 characters' output,
// such as "%x" or "0x%X".
std::string hex_text(std::uint32_t value, const char* format = "0x%X");

// "%20s: %8x -> %8x\n" with the entry name, the old and the new code.
std::string report_line(const Binding& binding);

}  // namespace ostrel
