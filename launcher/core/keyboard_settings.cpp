#include "core/keyboard_settings.h"

#include <string>
#include <utility>
#include <vector>

#include "core/actions.h"
#include "core/key_list.h"

namespace launcher::keyboard {

namespace {

// A binding's label and group box are those of its drop-down list.
constexpr Binding binding(long line, std::string_view entry_prefix, int combo_box,
                          std::string_view game_code) {
    return {line,
            entry_prefix,
            combo_box,
            actions::caption_of(combo_box),
            actions::group_caption_of(combo_box),
            game_code};
}

}  // namespace

// clang-format off
const std::array<Binding, binding_count> bindings = {{
    binding(3,  "KeyUp = ",     12, "0xC8"),
    binding(4,  "KeyDown = ",   13, "0xD0"),
    binding(5,  "KeyLeft = ",   10, "0xCB"),
    binding(6,  "KeyRight = ",  11, "0xCD"),
    binding(8,  "KeyStart = ",  6,  "0x11"),
    binding(9,  "KeyA = ",      1,  "0x2C"),
    binding(10, "KeyB = ",      2,  "0x2D"),
    binding(11, "KeyC = ",      3,  "0x2E"),
    binding(12, "KeyTouch = ",  4,  "0x1F"),
    binding(13, "KeyAppeal = ", 5,  "0x2A"),
    binding(14, "KeyAB = ",     7,  "0"),
    binding(15, "KeyBC = ",     8,  "0"),
    binding(16, "KeyABC = ",    9,  "0"),
}};
// clang-format on

namespace {

// The lines of the shipped file that hold no binding. They contain no "=" and no "[" after
// line 1, so that no INI reader takes them for an entry or a section.
constexpr std::array<std::pair<long, std::string_view>, 4> shipped_frame = {{
    {0, "; Keyboard bindings: DirectInput key codes, 0 for no key. Keep each entry on its line."},
    {1, "[KEYS]"},
    {2, "; Directions"},
    {7, "; Pause, attacks, switch, taunt, then the chords A+B, B+C and A+B+C"},
}};
constexpr long shipped_line_count = 17;

// Skips `count` UTF-8 characters, so that a line of Cyrillic letters loses letters, not bytes.
std::string_view drop_characters(std::string_view text, int count) {
    std::size_t at = 0;
    for (int dropped = 0; dropped < count && at < text.size(); ++dropped) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return text.substr(at);
}

std::string entry_line(const Binding& binding, std::string_view code) {
    std::string line(binding.entry_prefix);
    line += code;
    return line;
}

}  // namespace

std::string_view value_of_line(std::string_view line) {
    constexpr std::string_view separator = " = ";
    const auto at = line.find(separator);
    if (at == std::string_view::npos) return drop_characters(line, 2);
    return line.substr(at + separator.size());
}

void read_selections(const LineList& lines, const SelectionSink& select) {
    for (int row = 0; row < binding_count; ++row) {
        const auto& binding = bindings[static_cast<std::size_t>(row)];
        select(row, find_key_row(value_of_line(lines.at(binding.line))));
    }
}

LineList shipped_file() {
    std::vector<std::string> lines(shipped_line_count);
    for (const auto& [line, text] : shipped_frame) lines[static_cast<std::size_t>(line)] = text;
    for (const auto& binding : bindings)
        lines[static_cast<std::size_t>(binding.line)] = entry_line(binding, binding.game_code);
    LineList file;
    for (auto& line : lines) file.add(std::move(line));
    return file;
}

LineList lines_to_write(const LineList& read, bool file_found, const Selections& selections) {
    LineList result = file_found ? read : shipped_file();
    for (std::size_t row = 0; row < bindings.size(); ++row) {
        const auto& binding = bindings[row];
        const auto& selection = selections[row];
        if (!selection) {
            // The line stays as it stands, which still needs the line to be there: a short
            // file must stop OK here as a replacement would.
            static_cast<void>(result.at(binding.line));
            continue;
        }
        const auto& key = key_list.at(static_cast<std::size_t>(*selection));
        result.replace(binding.line, entry_line(binding, key.code));
    }
    return result;
}

bool BindingsFile::open(const std::string& directory, const CodePage& ansi,
                        const SelectionSink& select) {
    lines_.clear();
    const std::string path = directory + std::string(bindings_file_name);
    // A file that exists but cannot be read still counts as found, so that OK stops on the
    // empty lines instead of putting the shipped file in its place.
    file_found_ = file_exists(path);
    if (!file_found_) return false;
    lines_.load_from_file(path, ansi);
    read_selections(lines_, select);
    return true;
}

void BindingsFile::confirm(const std::string& directory, const CodePage& ansi,
                           const Selections& selections, platform::ProgramStarter& starter) const {
    lines_to_write(lines_, file_found_, selections)
        .save_to_file(directory + std::string(bindings_file_name), ansi);
    starter.start(directory + std::string(patcher_file_name), directory);
}

}  // namespace launcher::keyboard
