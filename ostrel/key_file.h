#pragma once

// Reader of the key-binding file ostrel.ini. The same reader serves every platform, so the
// Windows and the Wine builds read a file exactly alike.
//
// Rules: section and entry names match without regard to case; blanks around names and
// values are ignored; lines end at CR LF, LF or CR; a NUL ends the text, as it does for the
// launcher. A UTF-8 byte-order mark is skipped and a UTF-16 file (little- or big-endian,
// with its mark) is understood, since players edit the file by hand. When a section or an
// entry is repeated, the first one counts and later repeats are ignored.
//
// The file comes from anyone who can write to the game folder, so reading it takes one pass
// and keeps nothing but the values of the entries that the key records name.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "key_records.h"

namespace ostrel {

inline constexpr std::string_view key_section = "KEYS";

// The file's bytes as text: UTF-16 with a byte-order mark becomes UTF-8, a UTF-8 mark is
// dropped, anything else is taken byte for byte.
std::string decode_key_file(std::string_view bytes);

class KeyFile {
  public:
    KeyFile() = default;  // a missing file: every lookup finds nothing
    explicit KeyFile(std::string_view file_bytes);

    // The value of `entry` in section KEYS, blanks trimmed; nothing when the section or the
    // entry is missing, or when no key record has that entry name.
    std::optional<std::string_view> find(std::string_view entry) const;

  private:
    // By key record: the first value given in the first section KEYS.
    std::array<std::optional<std::string>, key_records.size()> values_;
};

// A key code is decimal digits, or "0x" and hexadecimal digits, and at most 0xFF: the
// game's key-state table holds one byte per code, so nothing larger may reach it.
std::optional<std::uint32_t> parse_key_code(std::string_view value);

struct KeyCode {
    std::uint32_t code = 0;
    // The value as it stood when it was present but not a key code (the default is used).
    std::optional<std::string> rejected_value;
};

// The code bound to `entry` in section KEYS, or `default_code` when the entry is missing
// or its value is not a key code.
KeyCode read_key_code(const KeyFile& file, std::string_view entry, std::uint32_t default_code);

}  // namespace ostrel
