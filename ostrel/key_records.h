#pragma once

// The layout of GameMain.exe v1.04 as far as the keyboard patch needs it: the game's key
// tests, the two code blocks copied into it, and the marks that identify the release.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ostrel {

// One keyboard input of the game. The game tests an input with `cmp byte [ebp+disp], 0`
// (80 BD disp32 00), where disp is 0x71C plus the DirectInput key code.
struct KeyRecord {
    const char* entry_name;        // entry in section KEYS of ostrel.ini
    std::uint32_t patch_offset;    // displacement field that receives the bound code
    std::uint32_t source_offset;   // field holding the game's own code; 0: none
    std::int32_t builtin_default;  // the code used when there is no source field
};

// In this order the entries are looked up and reported.
inline constexpr std::array<KeyRecord, 19> key_records{{
    {"KeyUp", 0x5669, 0x5669, 0xC8},
    {"KeyDown", 0x567A, 0x567A, 0xD0},
    {"KeyLeft", 0x568B, 0x568B, 0xCB},
    {"KeyRight", 0x569C, 0x569C, 0xCD},
    {"KeyA", 0x56AD, 0x56AD, 0x2C},
    {"KeyB", 0x56BE, 0x56BE, 0x2D},
    {"KeyC", 0x56CF, 0x56CF, 0x2E},
    {"KeyTouch", 0x56E0, 0x56E0, 0x1F},
    {"KeyAppeal", 0x56F1, 0x56F1, 0x2A},
    {"KeyUnknown1", 0x56FF, 0x56FF, 0x1E},
    {"KeyUnknown2", 0x5710, 0x5710, 0x20},
    {"KeyUnknown3", 0x5721, 0x5721, 0x10},
    {"KeyUnknown4", 0x5732, 0x5732, 0x12},
    {"KeyStart", 0x5743, 0x5743, 0x11},
    {"KeyUnknown5", 0x5754, 0x5754, 0x1C},
    // Its test at 0x5763 is replaced by the jump; it is bound in the copy of that test
    // at the end of the chord block.
    {"KeyUnknown6", 0x60E95, 0x5765, 0x36},
    // Chord inputs exist only in the chord block; 0 leaves them unbound.
    {"KeyAB", 0x60E62, 0, 0},
    {"KeyBC", 0x60E73, 0, 0},
    {"KeyABC", 0x60E84, 0, 0},
}};

// Offset of the key-state table (one byte per key code) in the structure EBP points to.
inline constexpr std::uint32_t key_state_displacement = 0x71C;
// The table holds one byte per DirectInput key code.
inline constexpr std::uint32_t largest_key_code = 0xFF;

inline constexpr std::size_t minimum_game_size = 0xB0000;
inline constexpr std::uint32_t version_mark_offset = 0x64796;
inline constexpr std::string_view version_mark = " v1.04";

// Replaces the game's KeyUnknown6 test with a jump to the chord block.
inline constexpr std::uint32_t jump_patch_offset = 0x5763;
inline constexpr std::array<std::uint8_t, 7> jump_patch{0xE9, 0xF8, 0xB6, 0x05, 0x00, 0x90, 0x90};

// Sets bits 0x20, 0x40, 0x80 of the input word at [esp+0x14] for KeyAB, KeyBC, KeyABC,
// repeats the displaced KeyUnknown6 test and jumps back to 0x576A.
inline constexpr std::uint32_t chord_patch_offset = 0x60E60;
inline constexpr std::array<std::uint8_t, 63> chord_patch{
    0x80, 0xBD, 0x00, 0x00, 0x00, 0x00, 0x00, 0x74, 0x08, 0x81, 0x4C, 0x24, 0x14, 0x20, 0x00, 0x00,
    0x00, 0x80, 0xBD, 0x00, 0x00, 0x00, 0x00, 0x00, 0x74, 0x08, 0x81, 0x4C, 0x24, 0x14, 0x40, 0x00,
    0x00, 0x00, 0x80, 0xBD, 0x00, 0x00, 0x00, 0x00, 0x00, 0x74, 0x08, 0x81, 0x4C, 0x24, 0x14, 0x80,
    0x00, 0x00, 0x00, 0x80, 0xBD, 0x5A, 0x07, 0x00, 0x00, 0x00, 0xE9, 0xCB, 0x48, 0xFA, 0xFF};

}  // namespace ostrel
