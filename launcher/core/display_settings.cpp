#include "core/display_settings.h"

#include <algorithm>
#include <string>

#include "core/errors.h"
#include "kit/text.h"

namespace launcher::display {
namespace {

constexpr long mode_line = 0;
constexpr long width_line = 1;
constexpr long height_line = 2;
constexpr long scaling_line = 3;

// "0" for the dialog's initial choice, "1" for the other.
std::string flag(bool other) {
    return other ? "1" : "0";
}

}  // namespace

std::string size_text(std::string_view width, std::string_view height) {
    std::string text(width);
    text += " x ";
    text += height;
    text += " x 32bit";
    return text;
}

std::string screen_text(platform::ScreenSize size) {
    return size_text(std::to_string(size.width), std::to_string(size.height));
}

int find_size_item(std::string_view text) {
    for (std::size_t item = 0; item < size_items.size(); ++item)
        // The items hold only ASCII letters, so ASCII case folding finds every match.
        if (kit::text::equal_ignoring_ascii_case(size_items[item], text))
            return static_cast<int>(item);
    return -1;
}

void read_choice(const LineList& lines, const ChoiceSink& sink) {
    // Only exactly "0" stands for the initial choice; any other text, blanks or an empty
    // line included, for the other.
    sink.mode(lines.at(mode_line) == "0");
    const std::string& width = lines.at(width_line);
    const std::string& height = lines.at(height_line);
    sink.size(find_size_item(size_text(width, height)));
    sink.scaling(lines.at(scaling_line) != "0");
}

SizeLines split_size_item(std::string_view item) {
    constexpr std::string_view by = " x ";
    const auto first = item.find(by);
    if (first == std::string_view::npos) return {std::string(item), {}};
    const std::string_view rest = item.substr(first + by.size());
    return {std::string(item.substr(0, first)), std::string(rest.substr(0, rest.find(" x 3")))};
}

LineList lines_to_write(const Choice& choice, const std::optional<SizeLines>& read_size) {
    SizeLines size;
    if (choice.size_item >= 0 && choice.size_item < static_cast<int>(size_items.size())) {
        size = split_size_item(size_items[static_cast<std::size_t>(choice.size_item)]);
    } else if (read_size) {
        size = *read_size;
    } else {
        throw Error("Не выбран размер экрана");
    }
    LineList lines;
    lines.add(flag(!choice.windowed));
    lines.add(std::move(size.width));
    lines.add(std::move(size.height));
    lines.add(flag(choice.no_scaling));
    return lines;
}

bool SettingsFile::open(const std::string& directory, const CodePage& ansi,
                        const ChoiceSink& sink) {
    const std::string path = directory + std::string(settings_file_name);
    if (!file_exists(path)) return false;
    lines_.load_from_file(path, ansi);
    // Lines 1 and 2 are kept only once both were read: a shorter file stops before the size
    // list changes.
    ChoiceSink keeping = sink;
    keeping.size = [&](int item) {
        read_size_ = SizeLines{lines_.at(width_line), lines_.at(height_line)};
        sink.size(item);
    };
    read_choice(lines_, keeping);
    return true;
}

void SettingsFile::confirm(const std::string& directory, const CodePage& ansi,
                           const Choice& choice) {
    lines_ = lines_to_write(choice, read_size_);
    lines_.save_to_file(directory + std::string(settings_file_name), ansi);
}

}  // namespace launcher::display
