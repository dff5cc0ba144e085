#pragma once

// The DirectInput key code of a Win32 key message: the scan code (bits 16 to 23 of the
// message's lParam), with 0x80 added for an extended key (bit 24), as the key list numbers
// the keys (the arrows 0xC8..0xD0, RCONTROL 0x9D, NUMPADENTER 0x9C).

#include <cstdint>

namespace game {

constexpr unsigned direct_input_code(std::uint64_t lparam) {
    const auto scan = static_cast<unsigned>((lparam >> 16) & 0xFF);
    const bool extended = ((lparam >> 24) & 1) != 0;
    return scan | (extended ? 0x80u : 0u);
}

}  // namespace game
