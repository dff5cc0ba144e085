#include "Unit3.h"

#include <string>

#include "core/key_list.h"

namespace launcher {
namespace {

using toolkit::ControlKind;
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

// Neither button is the default (Enter) or cancel (Escape) button: their modal results
// close the dialog.
ControlSpec button(std::string_view name, std::string_view caption, int left, int tab_order,
                   ModalResult result) {
    return {.kind = ControlKind::button,
            .name = name,
            .caption = caption,
            .left = left,
            .top = 273,
            .width = 75,
            .height = 25,
            .tab_order = tab_order,
            .modal_result = result};
}

ControlSpec group_box(std::string_view name, std::string_view caption, int left, int top, int width,
                      int height, int tab_order) {
    return {.kind = ControlKind::group_box,
            .name = name,
            .caption = caption,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .tab_order = tab_order};
}

// Grey (the skin's label colour), right-aligned beside its list.
ControlSpec label(std::string_view name, std::string_view caption, std::string_view parent,
                  int left, int top, int width) {
    return {.kind = ControlKind::label,
            .name = name,
            .caption = caption,
            .parent = parent,
            .left = left,
            .top = top,
            .width = width,
            .height = 13,
            .alignment = toolkit::Alignment::right};
}

// A drop-down list on a near-black field (1710618) with grey text.
ControlSpec combo_box(std::string_view name, std::string_view parent, int left, int top,
                      int tab_order) {
    return {.kind = ControlKind::combo_box,
            .name = name,
            .parent = parent,
            .left = left,
            .top = top,
            .width = 97,
            .height = 21,
            .tab_order = tab_order,
            .face = skin::Color{26, 26, 26},
            .text_color = skin::Color{128, 128, 128},
            .item_height = 13};
}

// clang-format off
const std::array form3_controls{
    ControlSpec{.kind = ControlKind::image, .name = "Image1",
                .left = 265, .top = 8, .width = 128, .height = 128},
    button("sButton1", "OK", 249, 0, ModalResult::ok),
    button("sButton2", "Отмена", 330, 1, ModalResult::cancel),
    group_box("sGroupBox1", "Основные", 8, 8, 224, 188, 2),
    group_box("sGroupBox2", "Дополнительные", 8, 202, 224, 103, 3),
    group_box("sGroupBox3", "Направления", 238, 129, 178, 138, 4),

    label("sLabel1", "Легкая атака",  "sGroupBox1", 36, 24, 69),
    label("sLabel2", "Средняя атака", "sGroupBox1", 28, 52, 77),
    label("sLabel3", "Тяжелая атака", "sGroupBox1", 28, 78, 77),
    label("sLabel4", "Замена",        "sGroupBox1", 69, 105, 36),
    label("sLabel5", "Насмешка",      "sGroupBox1", 55, 132, 50),
    label("sLabel6", "Пауза",         "sGroupBox1", 75, 158, 30),
    combo_box("sComboBox1", "sGroupBox1", 111, 21, 0),
    combo_box("sComboBox2", "sGroupBox1", 111, 48, 1),
    combo_box("sComboBox3", "sGroupBox1", 111, 75, 2),
    combo_box("sComboBox4", "sGroupBox1", 111, 102, 3),
    combo_box("sComboBox5", "sGroupBox1", 111, 129, 4),
    combo_box("sComboBox6", "sGroupBox1", 111, 156, 5),

    label("sLabel7", "A+ B",         "sGroupBox2", 81, 21, 24),
    label("sLabel8", "B+C (Захват)", "sGroupBox2", 37, 47, 68),
    label("sLabel9", "A+ B+ C",      "sGroupBox2", 63, 74, 42),
    combo_box("sComboBox7", "sGroupBox2", 111, 17, 0),
    combo_box("sComboBox8", "sGroupBox2", 111, 44, 1),
    combo_box("sComboBox9", "sGroupBox2", 111, 71, 2),

    label("sLabel10", "Влево",  "sGroupBox3", 27, 24, 30),
    label("sLabel11", "Вправо", "sGroupBox3", 21, 52, 36),
    label("sLabel12", "Вверх",  "sGroupBox3", 27, 78, 30),
    label("sLabel13", "Вниз",   "sGroupBox3", 34, 105, 23),
    combo_box("sComboBox10", "sGroupBox3", 63, 21, 0),
    combo_box("sComboBox11", "sGroupBox3", 63, 48, 1),
    combo_box("sComboBox12", "sGroupBox3", 63, 75, 2),
    combo_box("sComboBox13", "sGroupBox3", 63, 102, 3),
};
// clang-format on

}  // namespace

TForm3::TForm3(Context& context)
    : Form(context.application, form3_spec, form3_controls),
      Image1(get<toolkit::Image>("Image1")),
      sButton1(get<toolkit::Button>("sButton1")),
      sButton2(get<toolkit::Button>("sButton2")),
      sComboBox1(get<toolkit::ComboBox>("sComboBox1")),
      sComboBox2(get<toolkit::ComboBox>("sComboBox2")),
      sComboBox3(get<toolkit::ComboBox>("sComboBox3")),
      sComboBox4(get<toolkit::ComboBox>("sComboBox4")),
      sComboBox5(get<toolkit::ComboBox>("sComboBox5")),
      sComboBox6(get<toolkit::ComboBox>("sComboBox6")),
      sComboBox7(get<toolkit::ComboBox>("sComboBox7")),
      sComboBox8(get<toolkit::ComboBox>("sComboBox8")),
      sComboBox9(get<toolkit::ComboBox>("sComboBox9")),
      sComboBox10(get<toolkit::ComboBox>("sComboBox10")),
      sComboBox11(get<toolkit::ComboBox>("sComboBox11")),
      sComboBox12(get<toolkit::ComboBox>("sComboBox12")),
      sComboBox13(get<toolkit::ComboBox>("sComboBox13")),
      combo_boxes_{&sComboBox1,  &sComboBox2,  &sComboBox3, &sComboBox4, &sComboBox5,
                   &sComboBox6,  &sComboBox7,  &sComboBox8, &sComboBox9, &sComboBox10,
                   &sComboBox11, &sComboBox12, &sComboBox13},
      context_(context) {
    on_create = [this] { FormCreate(); };
    on_show = [this] { FormShow(); };
    on_destroy = [this] { FormDestroy(); };
    sButton1.on_click = [this] { sButton1Click(); };
    sButton2.on_click = [this] { sButton2Click(); };
}

toolkit::ComboBox& TForm3::combo_box_of(int binding) const {
    const int number = keyboard::bindings.at(static_cast<std::size_t>(binding)).combo_box;
    return *combo_boxes_.at(static_cast<std::size_t>(number - 1));
}

void TForm3::FormCreate() {
    Image1.set_picture(icon_picture());
    file_.emplace();
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
    const bool found = file_->open(context_.state.application_directory, context_.code_page(),
                                   [this](int binding, keyboard::Selection selection) {
                                       combo_box_of(binding).set_item_index(selection.value_or(-1));
                                   });
    if (!found) context_.show_message(keyboard::missing_file_message);
}

void TForm3::FormDestroy() {
    file_.reset();
}

void TForm3::sButton1Click() {
    keyboard::Selections selections;
    for (int binding = 0; binding < keyboard::binding_count; ++binding) {
        const int index = combo_box_of(binding).item_index();
        selections[static_cast<std::size_t>(binding)] =
            index < 0 ? keyboard::Selection{} : keyboard::Selection{index};
    }
    file_->confirm(context_.state.application_directory, context_.code_page(), selections,
                   context_.services.starter);
}

void TForm3::sButton2Click() {
    // Nothing is written or started; the button's result closes the dialog.
    close();
}

}  // namespace launcher
