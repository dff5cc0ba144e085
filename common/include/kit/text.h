#pragma once

// Small text utilities shared by both programs. Text is UTF-8 inside; wide strings exist
// only for the system calls that want them. Case folding and blanks are ASCII only, so
// every rule here is the same in every locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit::text {

// UTF-8 to the system's wide strings (UTF-16 on Windows) and back; ill-formed input becomes
// U+FFFD.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

constexpr char to_lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char to_upper_ascii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string to_lower_ascii(std::string_view text);
std::string to_upper_ascii(std::string_view text);
bool equal_ignoring_ascii_case(std::string_view a, std::string_view b);

// Without the blanks and tabs at both ends.
std::string_view trim(std::string_view text);

// A text file's bytes as UTF-8 when a byte-order mark says what they are: FF FE (UTF-16
// little-endian), FE FF (UTF-16 big-endian) or EF BB BF (UTF-8), tested in that order; the
// mark is dropped. Nothing without a mark: the caller knows what unmarked bytes are.
inline constexpr std::string_view utf8_mark = "\xEF\xBB\xBF";
enum class MarkedUtf8 {
    keep_bytes,  // after a UTF-8 mark the bytes are taken as they stand
    sanitize,    // ill-formed UTF-8 after the mark becomes U+FFFD
};
std::optional<std::string> decode_marked_text(std::string_view bytes, MarkedUtf8 utf8);
// The text without a UTF-8 byte-order mark at its start.
std::string_view without_utf8_mark(std::string_view text);

enum class LineEnds {
    // CR LF, a lone CR or a lone LF end a line, and a NUL ends the text: the rules of the
    // game's settings files as the system's own text lists read them.
    any,
    // Only LF or CR LF end a line and a NUL is text: a format of our own, where a stray CR
    // is a mistake to report rather than a line end.
    lf,
};
// Hands out the lines of `text` one by one, without their line ends; a line end at the
// very end adds no empty line. No list of lines is made, so a text of millions of lines
// costs nothing more.
class LineReader {
  public:
    LineReader(std::string_view text, LineEnds ends);
    std::optional<std::string_view> next();

  private:
    std::string_view rest_;
    LineEnds ends_;
};
// All lines of `text` at once, as LineReader gives them.
std::vector<std::string_view> split_lines(std::string_view text, LineEnds ends);

// A non-empty run of digits in `base` (10 or 16, hexadecimal digits in either case) and
// nothing else, as a value; nothing when a character is no digit or the value exceeds
// 32 bits. Signs and prefixes are the caller's.
std::optional<std::uint32_t> parse_digits(std::string_view digits, int base);

}  // namespace kit::text
