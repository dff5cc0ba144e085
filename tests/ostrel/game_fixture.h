#pragma once

// A stand-in for GameMain.exe v1.04: the region below the stand-in game's sections
// (tools/game/layout.h), which holds the version mark and the game's key routine with its
// sixteen key tests (80 BD disp32 00, the displacement being 0x71C plus the key code). The
// offsets and codes are written out here once more, and written over the region's, so that
// a slip in the patcher's table shows up as a failure.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "layout.h"

namespace ostrel_test {

struct GameKeyTest {
    const char* entry;
    std::uint32_t field;
    std::uint32_t code;
};

inline constexpr GameKeyTest game_key_tests[] = {
    {"KeyUp", 0x5669, 0xC8},       {"KeyDown", 0x567A, 0xD0},     {"KeyLeft", 0x568B, 0xCB},
    {"KeyRight", 0x569C, 0xCD},    {"KeyA", 0x56AD, 0x2C},        {"KeyB", 0x56BE, 0x2D},
    {"KeyC", 0x56CF, 0x2E},        {"KeyTouch", 0x56E0, 0x1F},    {"KeyAppeal", 0x56F1, 0x2A},
    {"KeyUnknown1", 0x56FF, 0x1E}, {"KeyUnknown2", 0x5710, 0x20}, {"KeyUnknown3", 0x5721, 0x10},
    {"KeyUnknown4", 0x5732, 0x12}, {"KeyStart", 0x5743, 0x11},    {"KeyUnknown5", 0x5754, 0x1C},
    {"KeyUnknown6", 0x5765, 0x36},
};

inline constexpr std::size_t game_size = 0xB0000;
inline constexpr std::uint32_t displacement = 0x71C;

// Its own little-endian words, not the kit's: the fixture checks the patcher's reading.
inline void put_u32(std::span<std::uint8_t> bytes, std::uint32_t offset, std::uint32_t value) {
    for (std::uint32_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t get_u32(std::span<const std::uint8_t> bytes, std::uint32_t offset) {
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < 4; ++i) value |= std::uint32_t{bytes[offset + i]} << (8 * i);
    return value;
}

// Sets the code a key test of the stand-in checks.
inline void set_game_code(std::vector<std::uint8_t>& game, std::uint32_t field,
                          std::uint32_t code) {
    put_u32(game, field, code + displacement);
}

inline std::vector<std::uint8_t> make_game(std::size_t size = game_size,
                                           std::string_view mark = " v1.04") {
    std::vector<std::uint8_t> game = game::build_region();
    std::uint32_t state = 12345;  // beyond the region: filler that differs from byte to byte
    game.reserve(size);
    while (game.size() < size) {
        state = state * 1103515245u + 12345u;
        game.push_back(static_cast<std::uint8_t>(state >> 16));
    }
    game.resize(size);
    constexpr std::uint32_t mark_offset = 0x64796;
    // The mark asked for, in place of the region's own.
    for (std::size_t i = mark_offset; i < mark_offset + 6 && i < size; ++i) game[i] = 0xCC;
    if (size >= mark_offset + mark.size())
        for (std::size_t i = 0; i < mark.size(); ++i)
            game[mark_offset + i] = static_cast<std::uint8_t>(mark[i]);
    for (const auto& test : game_key_tests) {
        if (test.field + 5 > size) continue;
        game[test.field - 2] = 0x80;
        game[test.field - 1] = 0xBD;
        set_game_code(game, test.field, test.code);
        game[test.field + 4] = 0x00;
    }
    return game;
}

}  // namespace ostrel_test
