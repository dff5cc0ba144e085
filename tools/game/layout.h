#pragma once

// The stand-in GameMain.exe's file below its sections: the key-test routine the patcher
// rewrites, the free bytes its chord block goes to and the release mark. Portable: the
// Windows program carries these bytes in its own file and runs them; the tests build them
// here and run them natively.
//
// File layout (offsets in the file; all of [0, 0xB0000) is this region, the PE headers at its
// start and the sections' raw data after its end; bytes not listed are int3, CC):
//
//   0x5000            start of what the program maps executable, [0x5000, 0x62000): the
//                     routine and the chord area keep their distance in memory
//   0x5650  (23)      entry, Win64 calling convention, key-state table (256 bytes) in RCX:
//                     push rbp; mov rbp, rcx; sub rbp, 0x71C; sub rsp, 0x20;
//                     mov dword [rsp+0x14], 0
//   0x5667            sixteen key tests, each
//                       80 BD disp32 00       cmp byte [rbp+disp32], 0; disp32 = 0x71C + code
//                       74 08                 je over the OR
//                       81 4C 24 14 imm32     or dword [rsp+0x14], bit
//                     17 bytes a test, at 0x5667 + 17 n, except KeyAppeal at 0x56EF:
//                       80 BD disp32 00, 74 05, 83 4C 24 14 imm8     14 bytes
//                     so the displacement fields lie at 0x5669, 0x567A, ... 0x56F1, 0x56FF,
//                     0x5710, ... 0x5754, 0x5765:
//                       test    field    input        code  bit
//                       0x5667  0x5669   KeyUp        C8    0x00001
//                       0x5678  0x567A   KeyDown      D0    0x00002
//                       0x5689  0x568B   KeyLeft      CB    0x00004
//                       0x569A  0x569C   KeyRight     CD    0x00008
//                       0x56AB  0x56AD   KeyA         2C    0x00100
//                       0x56BC  0x56BE   KeyB         2D    0x00200
//                       0x56CD  0x56CF   KeyC         2E    0x00400
//                       0x56DE  0x56E0   KeyTouch     1F    0x00800
//                       0x56EF  0x56F1   KeyAppeal    2A    0x00010  (the 14-byte test)
//                       0x56FD  0x56FF   KeyUnknown1  1E    0x01000
//                       0x570E  0x5710   KeyUnknown2  20    0x02000
//                       0x571F  0x5721   KeyUnknown3  10    0x04000
//                       0x5730  0x5732   KeyUnknown4  12    0x08000
//                       0x5741  0x5743   KeyStart     11    0x10000
//                       0x5752  0x5754   KeyUnknown5  1C    0x20000
//                       0x5763  0x5765   KeyUnknown6  36    0x40000
//                     KeyUnknown6's compare is the 7 bytes at 0x5763; its je at 0x576A is
//                     what the patcher's chord block returns to, with the flags of its own
//                     copy of that compare.
//   0x5774  (10)      mov eax, [rsp+0x14]; add rsp, 0x20; pop rbp; ret
//   0x60E60 (63)      free for the patcher's chord block, which sets 0x20 (KeyAB), 0x40 (KeyBC)
//                     and 0x80 (KeyABC): those three bits are not the game's own
//   0x62000           end of the mapped part
//   0x64796 (6)       " v1.04"
//   0xB0000           end of the region: the sections' raw data follows
//
// The instructions mean the same in 32- and 64-bit mode (mod 10 rm 101 is [rbp+disp32], not
// RIP-relative), so the patcher's bytes run unchanged in this 64-bit program.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace game {

inline constexpr std::size_t region_size = 0xB0000;
inline constexpr std::uint32_t mapped_begin = 0x5000;
inline constexpr std::uint32_t mapped_end = 0x62000;
inline constexpr std::uint32_t routine_entry = 0x5650;
inline constexpr std::uint32_t first_test = 0x5667;
inline constexpr std::uint32_t routine_end = 0x577E;  // after the ret
inline constexpr std::uint32_t chord_area = 0x60E60;
inline constexpr std::uint32_t chord_area_size = 63;
inline constexpr std::uint32_t version_mark_offset = 0x64796;
inline constexpr const char version_mark[] = " v1.04";
inline constexpr std::uint32_t key_state_displacement = 0x71C;

// One of the nineteen inputs: the bit it sets in the input word.
struct Input {
    const char* entry;  // its entry in ostrel.ini
    std::uint32_t bit;
};

// One of the game's own sixteen key tests.
struct KeyTest {
    Input input;
    std::uint32_t offset;  // of its compare; the displacement field is 2 bytes in
    std::uint8_t code;     // the DirectInput key code it tests
};

inline constexpr std::array<KeyTest, 16> key_tests{{
    {{"KeyUp", 0x00001}, 0x5667, 0xC8},
    {{"KeyDown", 0x00002}, 0x5678, 0xD0},
    {{"KeyLeft", 0x00004}, 0x5689, 0xCB},
    {{"KeyRight", 0x00008}, 0x569A, 0xCD},
    {{"KeyA", 0x00100}, 0x56AB, 0x2C},
    {{"KeyB", 0x00200}, 0x56BC, 0x2D},
    {{"KeyC", 0x00400}, 0x56CD, 0x2E},
    {{"KeyTouch", 0x00800}, 0x56DE, 0x1F},
    {{"KeyAppeal", 0x00010}, 0x56EF, 0x2A},
    {{"KeyUnknown1", 0x01000}, 0x56FD, 0x1E},
    {{"KeyUnknown2", 0x02000}, 0x570E, 0x20},
    {{"KeyUnknown3", 0x04000}, 0x571F, 0x10},
    {{"KeyUnknown4", 0x08000}, 0x5730, 0x12},
    {{"KeyStart", 0x10000}, 0x5741, 0x11},
    {{"KeyUnknown5", 0x20000}, 0x5752, 0x1C},
    {{"KeyUnknown6", 0x40000}, 0x5763, 0x36},
}};

// All nineteen, in the patcher's order: the sixteen tests, then the chord inputs.
inline constexpr std::array<Input, 19> inputs{{
    key_tests[0].input,  key_tests[1].input,  key_tests[2].input,  key_tests[3].input,
    key_tests[4].input,  key_tests[5].input,  key_tests[6].input,  key_tests[7].input,
    key_tests[8].input,  key_tests[9].input,  key_tests[10].input, key_tests[11].input,
    key_tests[12].input, key_tests[13].input, key_tests[14].input, key_tests[15].input,
    {"KeyAB", 0x20},     {"KeyBC", 0x40},     {"KeyABC", 0x80},
}};

// The region [0, region_size) as the game's file holds it.
std::vector<std::uint8_t> build_region();

// Why the mapped part of `file` must not be run, if so: too short, or a key test whose
// displacement lies outside the key-state table (0x71C plus 0 to 0xFF). Where the patcher's
// jump replaced KeyUnknown6's compare, the compares of the block it leads to are checked.
std::optional<std::string> routine_problem(std::span<const std::uint8_t> file);

}  // namespace game
