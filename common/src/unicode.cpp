#include "kit/unicode.h"

namespace kit::unicode {

namespace {

bool is_high_surrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool is_low_surrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

void append_utf8(std::string& out, char32_t code_point) {
    const auto byte = [&out](char32_t value) { out += static_cast<char>(value); };
    if (code_point < 0x80) {
        byte(code_point);
    } else if (code_point < 0x800) {
        byte(0xC0 | (code_point >> 6));
        byte(0x80 | (code_point & 0x3F));
    } else if (code_point < 0x10000) {
        byte(0xE0 | (code_point >> 12));
        byte(0x80 | ((code_point >> 6) & 0x3F));
        byte(0x80 | (code_point & 0x3F));
    } else {
        byte(0xF0 | (code_point >> 18));
        byte(0x80 | ((code_point >> 12) & 0x3F));
        byte(0x80 | ((code_point >> 6) & 0x3F));
        byte(0x80 | (code_point & 0x3F));
    }
}

// The well-formed sequences of the Unicode standard (table 3-7): the lead byte fixes the
// count of continuation bytes and the range of the first of them, which excludes overlong
// forms, surrogates and values above U+10FFFF.
Decoded decode_utf8(std::string_view utf8) {
    const auto lead = static_cast<unsigned char>(utf8.front());
    if (lead < 0x80) return {lead, 1, true};
    std::size_t continuation = 0;
    char32_t code_point = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuation = 1;
        code_point = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuation = 2;
        code_point = lead & 0x0Fu;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuation = 3;
        code_point = lead & 0x07u;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {replacement_character, 1, false};
    }
    for (std::size_t i = 1; i <= continuation; ++i) {
        if (i >= utf8.size()) return {replacement_character, i, false};
        const auto next = static_cast<unsigned char>(utf8[i]);
        if (next < low || next > high) return {replacement_character, i, false};
        code_point = (code_point << 6) | (next & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    return {code_point, continuation + 1, true};
}

bool is_valid_utf8(std::string_view text) {
    while (!text.empty()) {
        const auto decoded = decode_utf8(text);
        if (!decoded.valid) return false;
        text.remove_prefix(decoded.length);
    }
    return true;
}

std::string sanitize_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto decoded = decode_utf8(text);
        if (decoded.valid)
            out.append(text.substr(0, decoded.length));
        else
            append_utf8(out, replacement_character);
        text.remove_prefix(decoded.length);
    }
    return out;
}

namespace {

// UTF-8 of `count` UTF-16 units, the i-th given by unit_at(i); lone surrogates become U+FFFD.
template <class UnitAt>
std::string units_to_utf8(std::size_t count, UnitAt unit_at) {
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t unit = unit_at(i);
        const char32_t next = i + 1 < count ? unit_at(i + 1) : 0;
        if (is_high_surrogate(unit) && is_low_surrogate(next)) {
            append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00u));
            ++i;
        } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            append_utf8(out, replacement_character);
        } else {
            append_utf8(out, unit);
        }
    }
    return out;
}

}  // namespace

std::string utf16_to_utf8(std::u16string_view text) {
    return units_to_utf8(text.size(), [text](std::size_t i) { return text[i]; });
}

// Straight from the bytes: a large file costs no copy of itself as UTF-16 units.
std::string utf16_bytes_to_utf8(std::string_view bytes, bool big_endian) {
    auto out = units_to_utf8(bytes.size() / 2, [bytes, big_endian](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        return static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
    });
    if (bytes.size() % 2 != 0) append_utf8(out, replacement_character);
    return out;
}

std::u16string utf8_to_utf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto decoded = decode_utf8(utf8);
        utf8.remove_prefix(decoded.length);
        if (decoded.code_point < 0x10000) {
            out += static_cast<char16_t>(decoded.code_point);
        } else {
            const char32_t offset = decoded.code_point - 0x10000;
            out += static_cast<char16_t>(0xD800 + (offset >> 10));
            out += static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
        }
    }
    return out;
}

}  // namespace kit::unicode
