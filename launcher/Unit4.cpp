#include "Unit4.h"

#include <array>

#include "action_rows.h"
#include "toolkit/layout.h"

namespace launcher {
namespace {

using toolkit::ControlKind;
using toolkit::ModalResult;
using namespace toolkit::layout;

const toolkit::FormSpec form4_spec{
    .name = "Form4",
    .caption = "Настройка графики",
    .client_width = 305,
    .client_height = 151,
    .placement = toolkit::Placement::default_position,
    .icon_picture = {},
};

// Neither button is the default (Enter) or cancel (Escape) button: their modal results
// close the dialog.
// clang-format off
const std::array form4_controls{
    group_box("sGroupBox1", "Экран", {8, 8, 289, 105}, 0),
    // Sizes itself to the screen size it shows.
    label("sLabel1", "xxx x xxx", "sGroupBox1", {129, 26, 48, 13}),
    // Enabled only for the full screen.
    disabled(combo_box("sComboBox1", "sGroupBox1", {129, 48, 145, 21}, 0, list_look)),
    toggle(ControlKind::radio_button, "sm1", "В окне",            "sGroupBox1", {16, 24, 59, 19},  1, true),
    toggle(ControlKind::radio_button, "sm2", "Во весь экран",     "sGroupBox1", {16, 49, 96, 19},  2, false),
    toggle(ControlKind::check_box,    "mm",  "Не масштабировать", "sGroupBox1", {16, 75, 129, 20}, 3, false),
    button("sButton1", "OK",     {137, 119, 75, 25}, 1, ModalResult::ok),
    button("sButton2", "Отмена", {218, 119, 75, 25}, 2, ModalResult::cancel),
};
// clang-format on

}  // namespace

TForm4::TForm4(Context& context)
    : SettingsDialog(context, form4_spec, form4_controls),
      sGroupBox1(get<toolkit::GroupBox>("sGroupBox1")),
      sLabel1(get<toolkit::Label>("sLabel1")),
      sComboBox1(get<toolkit::ComboBox>("sComboBox1")),
      sm1(get<toolkit::RadioButton>("sm1")),
      sm2(get<toolkit::RadioButton>("sm2")),
      mm(get<toolkit::CheckBox>("mm")) {
    sm1.on_click = [this] { sm1Click(); };
    sm2.on_click = [this] { sm2Click(); };
}

void TForm4::FormCreate() {
    // The size items belong to the list from its creation, the first one selected.
    for (const auto item : display::size_items) sComboBox1.add_item(item);
    sComboBox1.set_item_index(0);
    make_file();
}

void TForm4::FormShow() {
    sLabel1.set_caption(display::screen_text(context_.services.screen.primary_size()));
    // Values set here run no handler by themselves: the mode's handler is called as the
    // player's choice would call it.
    const display::ChoiceSink sink{
        .mode =
            [this](bool windowed) {
                if (windowed) {
                    sm1.set_checked(true);
                    sm1Click();
                } else {
                    sm2.set_checked(true);
                    sm2Click();
                }
            },
        .size = [this](int item) { sComboBox1.set_item_index(item); },
        .scaling = [this](bool no_scaling) { mm.set_checked(no_scaling); },
    };
    file().open(context_.state.application_directory, context_.code_page(), sink);
}

void TForm4::sm1Click() {
    sm2.set_checked(false);
    sComboBox1.set_enabled(false);
}

void TForm4::sm2Click() {
    sm1.set_checked(false);
    sComboBox1.set_enabled(true);
}

void TForm4::sButton1Click() {
    // The size is read whatever the mode: a disabled list keeps its selection.
    file().confirm(context_.state.application_directory, context_.code_page(),
                   {.windowed = sm1.checked(),
                    .size_item = sComboBox1.item_index(),
                    .no_scaling = mm.checked()});
}

}  // namespace launcher
