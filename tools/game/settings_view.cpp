#include "settings_view.h"

#include <exception>

#include "core/display_settings.h"

namespace game {
namespace {

std::string size_words(int item) {
    const auto size = launcher::display::split_size_item(
        launcher::display::size_items[static_cast<std::size_t>(item)]);
    return size.width + " x " + size.height;
}

}  // namespace

DisplayView read_display(const std::string& directory, const launcher::CodePage& ansi) {
    DisplayView view;
    std::optional<bool> windowed;
    std::optional<int> size_item;
    std::optional<bool> no_scaling;
    const launcher::display::ChoiceSink sink{
        [&](bool value) { windowed = value; },
        [&](int value) { size_item = value; },
        [&](bool value) { no_scaling = value; },
    };
    std::string fault;
    launcher::display::SettingsFile file;
    try {
        if (!file.open(directory, ansi, sink)) fault = "game.ini не найден";
    } catch (const std::exception& error) {
        fault = std::string("game.ini: ") + error.what();
    }

    std::string line;
    if (windowed) line = *windowed ? "В окне" : "Во весь экран";
    if (size_item) {
        if (*size_item < 0) {
            if (fault.empty()) fault = "game.ini: такого размера нет в списке";
        } else {
            line += ", " + size_words(*size_item);
            if (*windowed) {
                const auto size = launcher::display::split_size_item(
                    launcher::display::size_items[static_cast<std::size_t>(*size_item)]);
                view.width = std::stoi(size.width);
                view.height = std::stoi(size.height);
            } else {
                line += " (здесь в окне " + std::to_string(default_width) + " x " +
                        std::to_string(default_height) + ")";
            }
        }
    }
    if (no_scaling) line += *no_scaling ? ", не масштабировать" : ", масштабировать";
    if (!fault.empty()) {
        if (!line.empty()) line += "; ";
        line +=
            fault + ": окно " + std::to_string(view.width) + " x " + std::to_string(view.height);
    }
    view.line = "Экран: " + line;
    return view;
}

PadView read_pad(const std::string& directory, int pad, const launcher::CodePage& ansi) {
    const std::string name = pad == 0 ? "Input1.ini" : "Input2.ini";
    const std::string path = directory + name;
    PadView view;
    const bool found = launcher::file_exists(path);
    // The launcher's defaults stand until the file says otherwise.
    const launcher::gamepad::SelectionSink select = [&](int position, int selection) {
        view.buttons[static_cast<std::size_t>(position)] = selection < 0 ? 0 : selection;
    };
    launcher::LineList defaults;
    defaults.add(std::string(launcher::gamepad::default_device_line));
    defaults.add(std::string(launcher::gamepad::default_mapping_line));
    launcher::gamepad::read_mapping(defaults, select);
    launcher::gamepad::PadFile file;
    try {
        file.open(path, ansi, select);
        view.line = found ? name : name + " не найден, кнопки по умолчанию";
    } catch (const std::exception& error) {
        view.line = name + ": " + error.what();
    }
    return view;
}

std::array<bool, launcher::gamepad::position_count> held_actions(const PadView& pad,
                                                                 std::uint32_t buttons) {
    std::array<bool, launcher::gamepad::position_count> held{};
    for (std::size_t i = 0; i < held.size(); ++i) {
        const int button = pad.buttons[i];
        held[i] = button > 0 && ((buttons >> (button - 1)) & 1u) != 0;
    }
    return held;
}

}  // namespace game
