#pragma once

// The labelled drop-down lists of the settings dialogs. The gamepad and the keyboard dialog
// lay out the nine game actions alike: the same group boxes, labels and lists, with the same
// captions, places and tab orders. Both take them from here; each adds its own controls.

#include <array>
#include <string_view>

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
constexpr toolkit::ControlSpec list_group_box(int group, toolkit::layout::Box box, int tab_order) {
    const auto at = static_cast<std::size_t>(group - 1);
    return toolkit::layout::group_box(list_names::group_boxes.at(at),
                                      actions::group_captions.at(at), box, tab_order);
}
constexpr toolkit::ControlSpec main_action_group(int tab_order) {
    return list_group_box(1, {8, 8, 224, 188}, tab_order);
}
constexpr toolkit::ControlSpec extra_action_group(int tab_order) {
    return list_group_box(2, {8, 202, 224, 103}, tab_order);
}

// The labels of `places`, then their lists, each in the group box of its list.
template <std::size_t count>
constexpr std::array<toolkit::ControlSpec, 2 * count> list_rows(
    const std::array<ListPlace, count>& places, int list_left) {
    constexpr int gap = 6;
    const auto group_of = [](int number) {
        const auto& list = actions::lists.at(static_cast<std::size_t>(number - 1));
        return list_names::group_boxes.at(static_cast<std::size_t>(list.group - 1));
    };
    std::array<toolkit::ControlSpec, 2 * count> rows{};
    for (std::size_t row = 0; row < count; ++row) {
        const ListPlace& place = places[row];
        const auto at = static_cast<std::size_t>(place.number - 1);
        const int left = list_left - gap - place.label_width;
        rows[row] = toolkit::layout::label(
            list_names::labels.at(at), actions::caption_of(place.number), group_of(place.number),
            {left, place.label_top, place.label_width, 13}, toolkit::Alignment::right);
        rows[count + row] = toolkit::layout::combo_box(
            list_names::lists.at(at), group_of(place.number), {list_left, place.list_top, 97, 21},
            place.tab_order, list_look);
    }
    return rows;
}

// The nine actions' labels and lists, in the group boxes main_action_group and
// extra_action_group, which the dialog's table must hold too.
constexpr auto action_rows() {
    return toolkit::layout::rows(list_rows(main_action_places, action_list_left),
                                 list_rows(extra_action_places, action_list_left));
}

// The rows of sComboBox1 to sComboBox9 in a dialog's table, found while compiling.
template <std::size_t count>
consteval std::array<toolkit::Row<toolkit::ComboBox>, actions::action_count> action_list_rows(
    const std::array<toolkit::ControlSpec, count>& table) {
    std::array<toolkit::Row<toolkit::ComboBox>, actions::action_count> found{};
    for (std::size_t list = 0; list < found.size(); ++list)
        found[list] = toolkit::layout::row_of<toolkit::ComboBox>(table, list_names::lists[list]);
    return found;
}

// The nine action lists of a dialog whose table holds action_rows(). The dialogs derive from
// it, so each has its sComboBox1 to sComboBox9.
struct ActionLists {
    ActionLists(const toolkit::Form& form,
                const std::array<toolkit::Row<toolkit::ComboBox>, actions::action_count>& rows)
        : sComboBox1(form.control_at(rows[0])),
          sComboBox2(form.control_at(rows[1])),
          sComboBox3(form.control_at(rows[2])),
          sComboBox4(form.control_at(rows[3])),
          sComboBox5(form.control_at(rows[4])),
          sComboBox6(form.control_at(rows[5])),
          sComboBox7(form.control_at(rows[6])),
          sComboBox8(form.control_at(rows[7])),
          sComboBox9(form.control_at(rows[8])) {}

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
