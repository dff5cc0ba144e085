#pragma once

// Unicode helpers behind the text files of both programs. Ill-formed input never
// fails here: what cannot be decoded becomes U+FFFD, as a text editor would show it.

#include <string>
#include <string_view>

namespace kit::unicode {

inline constexpr char32_t replacement_character = U'\uFFFD';

void append_utf8(std::string& out, char32_t code_point);

// One character from the front of non-empty UTF-8. An ill-formed sequence gives U+FFFD,
// `valid` false and the length of its longest well-formed start (at least one byte).
struct Decoded {
    char32_t code_point;
    std::size_t length;
    bool valid;
};
Decoded decode_utf8(std::string_view utf8);

bool is_valid_utf8(std::string_view text);
std::string sanitize_utf8(std::string_view text);

// Lone surrogates become U+FFFD.
std::string utf16_to_utf8(std::u16string_view text);
// UTF-16 as bytes of either order; an odd last byte becomes U+FFFD.
std::string utf16_bytes_to_utf8(std::string_view bytes, bool big_endian);
// Ill-formed UTF-8 becomes U+FFFD.
std::u16string utf8_to_utf16(std::string_view utf8);

}  // namespace kit::unicode
