#pragma once

// The labelled drop-down lists of the settings dialogs. The gamepad and the keyboard dialog
// lay out the nine game actions alike: the same group boxes, labels and lists, with the same
// captions, places and tab orders. Both take them from here; each adds its own controls.

#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "core/actions.h"
#include "toolkit/form.h"
#include "toolkit/layout.h"

namespace launcher {

// The lists' own look: a near-black field (1710618) with grey text, items 13 pixels high.
inline constexpr toolkit::layout::ListLook list_look{
    .face = skin::Color{26, 26, 26},
    .text = skin::Color{128, 128, 128},
};

// Where list N (sComboBoxN) and its label sLabelN stand in their group box. The label is
// right-aligned, its right edge six pixels left of the list.
struct ListPlace {
    int number;
    int label_top;
    int label_width;
    int list_top;
    int tab_order;  // among the controls of the group box
};

namespace list_names {
inline constexpr std::array<std::string_view, 3> group_boxes{"sGroupBox1", "sGroupBox2",
                                                             "sGroupBox3"};
inline constexpr std::array<std::string_view, 13> labels{
    "sLabel1", "sLabel2", "sLabel3",  "sLabel4",  "sLabel5",  "sLabel6", "sLabel7",
    "sLabel8", "sLabel9", "sLabel10", "sLabel11", "sLabel12", "sLabel13"};
inline constexpr std::array<std::string_view, 13> lists{
    "sComboBox1",  "sComboBox2",  "sComboBox3", "sComboBox4", "sComboBox5",
    "sComboBox6",  "sComboBox7",  "sComboBox8", "sComboBox9", "sComboBox10",
    "sComboBox11", "sComboBox12", "sComboBox13"};
}  // namespace list_names

// The actions' lists stand at x = 111 in their group box.
inline constexpr int action_list_left = 111;

// clang-format off
// Lists 1 to 6, in sGroupBox1 ("Основные").
inline constexpr std::array<ListPlace, 6> main_action_places{{
    {1, 24,  69, 21,  0},
    {2, 52,  77, 48,  1},
    {3, 78,  77, 75,  2},
    {4, 105, 36, 102, 3},
    {5, 132, 50, 129, 4},
    {6, 158, 30, 156, 5},
}};
// Lists 7 to 9, in sGroupBox2 ("Дополнительные").
inline constexpr std::array<ListPlace, 3> extra_action_places{{
    {7, 21, 24, 17, 0},
    {8, 47, 68, 44, 1},
    {9, 74, 42, 71, 2},
}};
// clang-format on

// The group box `group` (1 to 3) with its caption; the first two lie where both dialogs have
// them.
inline toolkit::ControlSpec list_group_box(int group, toolkit::layout::Box box, int tab_order) {
    const auto at = static_cast<std::size_t>(group - 1);
    return toolkit::layout::group_box(list_names::group_boxes.at(at),
                                      actions::group_captions.at(at), box, tab_order);
}
inline toolkit::ControlSpec main_action_group(int tab_order) {
    return list_group_box(1, {8, 8, 224, 188}, tab_order);
}
inline toolkit::ControlSpec extra_action_group(int tab_order) {
    return list_group_box(2, {8, 202, 224, 103}, tab_order);
}

// Appends the labels of `places`, then their lists, each in the group box of its list.
inline void add_list_rows(std::vector<toolkit::ControlSpec>& controls,
                          std::span<const ListPlace> places, int list_left) {
    constexpr int gap = 6;
    const auto group_of = [](int number) {
        const auto& list = actions::lists.at(static_cast<std::size_t>(number - 1));
        return list_names::group_boxes.at(static_cast<std::size_t>(list.group - 1));
    };
    for (const ListPlace& place : places) {
        const auto at = static_cast<std::size_t>(place.number - 1);
        const int left = list_left - gap - place.label_width;
        controls.push_back(toolkit::layout::label(
            list_names::labels.at(at), actions::caption_of(place.number), group_of(place.number),
            {left, place.label_top, place.label_width, 13}, toolkit::Alignment::right));
    }
    for (const ListPlace& place : places) {
        const auto at = static_cast<std::size_t>(place.number - 1);
        controls.push_back(toolkit::layout::combo_box(
            list_names::lists.at(at), group_of(place.number), {list_left, place.list_top, 97, 21},
            place.tab_order, list_look));
    }
}

// The nine actions' labels and lists, in the group boxes main_action_group and
// extra_action_group, which `controls` must name too.
inline void add_action_rows(std::vector<toolkit::ControlSpec>& controls) {
    add_list_rows(controls, main_action_places, action_list_left);
    add_list_rows(controls, extra_action_places, action_list_left);
}

// The nine action lists of a dialog laid out with add_action_rows, by their names. The
// dialogs derive from it, so each has its sComboBox1 to sComboBox9.
struct ActionLists {
    explicit ActionLists(const toolkit::Form& form)
        : sComboBox1(form.get<toolkit::ComboBox>("sComboBox1")),
          sComboBox2(form.get<toolkit::ComboBox>("sComboBox2")),
          sComboBox3(form.get<toolkit::ComboBox>("sComboBox3")),
          sComboBox4(form.get<toolkit::ComboBox>("sComboBox4")),
          sComboBox5(form.get<toolkit::ComboBox>("sComboBox5")),
          sComboBox6(form.get<toolkit::ComboBox>("sComboBox6")),
          sComboBox7(form.get<toolkit::ComboBox>("sComboBox7")),
          sComboBox8(form.get<toolkit::ComboBox>("sComboBox8")),
          sComboBox9(form.get<toolkit::ComboBox>("sComboBox9")) {}

    toolkit::ComboBox& sComboBox1;
    toolkit::ComboBox& sComboBox2;
    toolkit::ComboBox& sComboBox3;
    toolkit::ComboBox& sComboBox4;
    toolkit::ComboBox& sComboBox5;
    toolkit::ComboBox& sComboBox6;
    toolkit::ComboBox& sComboBox7;
    toolkit::ComboBox& sComboBox8;
    toolkit::ComboBox& sComboBox9;
};

}  // namespace launcher
