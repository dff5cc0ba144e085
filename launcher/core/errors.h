#pragma once

// Errors that a window's handler does not handle itself: the toolkit's dispatch catches them
// and shows their message in the error box.

#include <stdexcept>
#include <string>
#include <string_view>

namespace launcher {

class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "List index out of bounds (%d)"
[[noreturn]] void throw_list_index_error(long index);

// "''%s'' is not a valid integer value"
std::string not_integer_message(std::string_view text);

// Text to a 32-bit signed integer, strictly: an optional "+" or "-", then either decimal
// digits or "$", "0x" or "0X" followed by hexadecimal digits (either case), and nothing
// else: no blanks, no empty digits. Values outside -2147483648..2147483647 do not convert.
// Raises the number conversion error (not_integer_message) for anything else.
int str_to_int(std::string_view text);

}  // namespace launcher
