#include "Unit2.h"

#include <algorithm>
#include <vector>

#include "action_rows.h"

namespace launcher {
namespace {

using toolkit::ControlSpec;
using toolkit::ModalResult;

const toolkit::FormSpec form2_spec{
    .name = "Form2",
    .caption = "Настройка геймпада",
    .client_width = 240,
    .client_height = 343,
    .placement = toolkit::Placement::main_form_center,
    .icon_picture = L"GAMEPAD",
};

// The pad is polled this often while the dialog is shown.
constexpr unsigned capture_interval_ms = 100;

std::vector<ControlSpec> form2_controls() {
    using namespace toolkit::layout;
    std::vector<ControlSpec> controls{
        main_action_group(0),
        extra_action_group(1),
        // Listed before the labels of its group, so that they are painted over it and its
        // lists cover it: the gamepad is the group's backdrop.
        image("Image1", "sGroupBox1", {51, 33, 128, 128}),
    };
    add_action_rows(controls);
    // Neither button is the default (Enter) or cancel (Escape) button: their modal results
    // close the dialog.
    controls.push_back(button("sButton1", "OK", {41, 311, 75, 25}, 2, ModalResult::ok));
    controls.push_back(button("sButton2", "Отмена", {123, 311, 75, 25}, 3, ModalResult::cancel));
    return controls;
}

}  // namespace

TForm2::TForm2(Context& context)
    : SettingsDialog(context, form2_spec, form2_controls()),
      ActionLists(static_cast<const toolkit::Form&>(*this)),
      sGroupBox1(get<toolkit::GroupBox>("sGroupBox1")),
      sGroupBox2(get<toolkit::GroupBox>("sGroupBox2")),
      Image1(get<toolkit::Image>("Image1")),
      // Stopped until an opening has read the file.
      Timer1(add_timer("Timer1", capture_interval_ms)),
      lists_{&sComboBox1, &sComboBox2, &sComboBox3, &sComboBox4, &sComboBox5,
             &sComboBox6, &sComboBox7, &sComboBox8, &sComboBox9} {
    on_hide = [this] { FormHide(); };
    for (toolkit::ComboBox* list : lists_) list->on_change = [this] { sComboBox1Change(); };
    Timer1.on_timer = [this] { Timer1Timer(); };
}

toolkit::ComboBox& TForm2::list_of(int position) const {
    return *lists_.at(static_cast<std::size_t>(position));
}

toolkit::ComboBox* TForm2::active_list() const {
    const auto found = std::ranges::find(lists_, active_control());
    return found == lists_.end() ? nullptr : *found;
}

void TForm2::FormCreate() {
    Image1.set_picture(icon_picture());
    for (toolkit::ComboBox* list : lists_) {
        for (const std::string_view item : gamepad::button_items) list->add_item(item);
        list->set_item_index(0);
    }
    make_file();
}

void TForm2::FormShow() {
    file().open(
        context_.state.current_pad_file, context_.code_page(),
        [this](int position, int selection) { list_of(position).set_item_index(selection); });
    Timer1.set_enabled(true);
    set_active_control(sComboBox1);
}

void TForm2::FormHide() {
    Timer1.set_enabled(false);
}

void TForm2::sButton1Click() {
    gamepad::Mapping mapping{};
    for (int position = 0; position < gamepad::position_count; ++position)
        mapping[static_cast<std::size_t>(position)] = list_of(position).item_index();
    file().confirm(context_.state.current_pad_file, context_.code_page(), mapping);
}

void TForm2::sComboBox1Change() {
    select_next();
}

void TForm2::Timer1Timer() {
    toolkit::ComboBox* list = active_list();
    if (!list) return;
    LauncherState& state = context_.state;
    // The result is not examined: the button word is taken as the poll leaves it.
    context_.services.joystick.poll(state.current_pad_number, state.joystick);
    if (const auto button = gamepad::captured_button(state.joystick.buttons))
        list->set_item_index(*button);
    if (state.joystick.buttons != 0) sComboBox1Change();
}

}  // namespace launcher
