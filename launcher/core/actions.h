#pragma once

// The game's actions as the settings dialogs name them. Both the gamepad and the keyboard
// dialog show a labelled drop-down list per action: list N (sComboBoxN, with sLabelN beside
// it) in group box G (sGroupBoxG). Lists 1 to 9 are the nine actions a pad can trigger,
// alike in both dialogs; lists 10 to 13 are the keyboard dialog's directions.

#include <array>
#include <string_view>

namespace launcher::actions {

// Captions of sGroupBox1 to sGroupBox3.
inline constexpr std::array<std::string_view, 3> group_captions{
    "Основные",
    "Дополнительные",
    "Направления",
};

struct LabelledList {
    std::string_view caption;  // of the label
    int group;                 // G of sGroupBoxG
};

// The actions shared by both dialogs: lists 1 to 9.
inline constexpr int action_count = 9;

// Lists 1 to 13, in the order of their numbers.
inline constexpr std::array<LabelledList, 13> lists{{
    {"Легкая атака", 1},
    {"Средняя атака", 1},
    {"Тяжелая атака", 1},
    {"Замена", 1},
    {"Насмешка", 1},
    {"Пауза", 1},
    {"A+ B", 2},
    {"B+C (Захват)", 2},
    {"A+ B+ C", 2},
    {"Влево", 3},
    {"Вправо", 3},
    {"Вверх", 3},
    {"Вниз", 3},
}};

// The label caption of list `number` (1 to 13).
constexpr std::string_view caption_of(int number) {
    return lists.at(static_cast<std::size_t>(number - 1)).caption;
}

// The caption of the group box that holds list `number` (1 to 13).
constexpr std::string_view group_caption_of(int number) {
    const int group = lists.at(static_cast<std::size_t>(number - 1)).group;
    return group_captions.at(static_cast<std::size_t>(group - 1));
}

}  // namespace launcher::actions
