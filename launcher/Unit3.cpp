#include "Unit3.h"

#include <string>
#include <vector>

#include "action_rows.h"
#include "core/key_list.h"

namespace launcher {
namespace {

using toolkit::ControlSpec;
using toolkit::ModalResult;

const toolkit::FormSpec form3_spec{
    .name = "Form3",
    .caption = "Настройка клавиатуры",
    .client_width = 425,
    .client_height = 313,
    .placement = toolkit::Placement::main_form_center,
    .icon_picture = L"KEYBOARD",
    .active_control = "sButton1",
};

// clang-format off
// Lists 10 to 13, the directions, in sGroupBox3.
constexpr std::array<ListPlace, 4> direction_places{{
    {10, 24,  30, 21,  0},
    {11, 52,  36, 48,  1},
    {12, 78,  30, 75,  2},
    {13, 105, 23, 102, 3},
}};
// clang-format on
constexpr int direction_list_left = 63;

std::vector<ControlSpec> form3_controls() {
    using namespace toolkit::layout;
    // Neither button is the default (Enter) or cancel (Escape) button: their modal results
    // close the dialog.
    std::vector<ControlSpec> controls{
        image("Image1", {}, {265, 8, 128, 128}),
        button("sButton1", "OK", {249, 273, 75, 25}, 0, ModalResult::ok),
        button("sButton2", "Отмена", {330, 273, 75, 25}, 1, ModalResult::cancel),
        main_action_group(2),
        extra_action_group(3),
        list_group_box(3, {238, 129, 178, 138}, 4),
    };
    add_action_rows(controls);
    add_list_rows(controls, direction_places, direction_list_left);
    return controls;
}

}  // namespace

TForm3::TForm3(Context& context)
    : SettingsDialog(context, form3_spec, form3_controls()),
      ActionLists(static_cast<const toolkit::Form&>(*this)),
      Image1(get<toolkit::Image>("Image1")),
      sComboBox10(get<toolkit::ComboBox>("sComboBox10")),
      sComboBox11(get<toolkit::ComboBox>("sComboBox11")),
      sComboBox12(get<toolkit::ComboBox>("sComboBox12")),
      sComboBox13(get<toolkit::ComboBox>("sComboBox13")),
      combo_boxes_{&sComboBox1,  &sComboBox2,  &sComboBox3, &sComboBox4, &sComboBox5,
                   &sComboBox6,  &sComboBox7,  &sComboBox8, &sComboBox9, &sComboBox10,
                   &sComboBox11, &sComboBox12, &sComboBox13} {}

toolkit::ComboBox& TForm3::combo_box_of(int binding) const {
    const int number = keyboard::bindings.at(static_cast<std::size_t>(binding)).combo_box;
    return *combo_boxes_.at(static_cast<std::size_t>(number - 1));
}

void TForm3::FormCreate() {
    Image1.set_picture(icon_picture());
    make_file();
}

void TForm3::FormShow() {
    // The items are added once per run; the lists keep them, and their selections, between
    // openings.
    if (sComboBox1.count() == 0) {
        for (const KeyRow& key : key_list) sComboBox1.add_item(key.display_name);
        for (std::size_t list = 1; list < combo_boxes_.size(); ++list)
            for (int item = 0; item < sComboBox1.count(); ++item)
                combo_boxes_[list]->add_item(sComboBox1.item(item));
    }
    const bool found = file().open(context_.state.application_directory, context_.code_page(),
                                   [this](int binding, keyboard::Selection selection) {
                                       combo_box_of(binding).set_item_index(selection.value_or(-1));
                                   });
    if (!found) context_.show_message(keyboard::missing_file_message);
}

void TForm3::sButton1Click() {
    keyboard::Selections selections;
    for (int binding = 0; binding < keyboard::binding_count; ++binding) {
        const int index = combo_box_of(binding).item_index();
        selections[static_cast<std::size_t>(binding)] =
            index < 0 ? keyboard::Selection{} : keyboard::Selection{index};
    }
    file().confirm(context_.state.application_directory, context_.code_page(), selections,
                   context_.services.starter);
}

}  // namespace launcher
