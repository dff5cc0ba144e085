#include "core/gamepad_settings.h"

#include <bit>

#include "core/errors.h"

namespace launcher::gamepad {

void read_mapping(const LineList& lines, const SelectionSink& select) {
    std::string_view text = lines.at(1);
    for (int position = 0; position < position_count; ++position) {
        // Only a space ends a number; without one the number is empty and does not convert.
        const auto space = text.find(' ');
        const std::string_view token =
            space == std::string_view::npos ? std::string_view{} : text.substr(0, space);
        select(position, selection_of(str_to_int(token)));
        text.remove_prefix(token.size() + 1);
    }
}

std::string mapping_line(const Mapping& mapping) {
    std::string line;
    for (const int index : mapping) {
        line += std::to_string(index);
        line += ' ';
    }
    return line;
}

LineList lines_to_write(const LineList& read, const Mapping& mapping) {
    LineList result = read;
    if (result.count() == 0) {
        result.add(std::string(default_device_line));
        result.add(mapping_line(mapping));
        return result;
    }
    result.replace(1, mapping_line(mapping));
    return result;
}

std::optional<int> captured_button(std::uint32_t buttons) {
    constexpr std::uint32_t assignable = (1u << button_count) - 1;
    const std::uint32_t held = buttons & assignable;
    if (held == 0) return std::nullopt;
    return std::bit_width(held);
}

void PadFile::open(const std::string& path, const CodePage& ansi, const SelectionSink& select) {
    lines_.clear();
    if (file_exists(path)) {
        lines_.load_from_file(path, ansi);
    } else {
        lines_.add(std::string(default_device_line));
        lines_.add(std::string(default_mapping_line));
    }
    read_mapping(lines_, select);
}

void PadFile::confirm(const std::string& path, const CodePage& ansi, const Mapping& mapping) const {
    lines_to_write(lines_, mapping).save_to_file(path, ansi);
}

}  // namespace launcher::gamepad
