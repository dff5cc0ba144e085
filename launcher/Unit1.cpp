#include "Unit1.h"

#include <array>
#include <string_view>

#include "core/application_directory.h"
#include "toolkit/layout.h"

namespace launcher {
namespace {

namespace layout = toolkit::layout;

constexpr toolkit::FormSpec form1_spec{
    .name = "Form1",
    .caption = application_title,
    .client_width = 256,
    .client_height = 356,
    .placement = toolkit::Placement::desktop_center,
    .minimize_box = true,
    .active_control = "sButton5",
};

// In tab order; the button widths differ by a pixel or two, as laid out.
constexpr std::array form1_controls{
    layout::default_button(layout::button("sButton5", "Запустить", {84, 324, 80, 25}, 0)),
    layout::button("sButton1", "Геймпад 1", {43, 262, 81, 25}, 1),
    layout::button("sButton2", "Клавиатура", {43, 293, 80, 25}, 2),
    layout::button("sButton3", "Геймпад 2", {131, 262, 82, 25}, 3),
    layout::button("sButton4", "Экран", {131, 293, 82, 25}, 4),
    layout::image("Image1", {}, {0, 0, 256, 256}, L"PORTRAIT"),
};

static_assert(layout::well_formed(form1_controls));
static_assert(layout::row_of<toolkit::Button>(form1_controls, form1_spec.active_control).index <
              form1_controls.size());

template <class T>
consteval toolkit::Row<T> row(std::string_view name) {
    return layout::row_of<T>(form1_controls, name);
}

}  // namespace

TForm1::TForm1(Context& context)
    : Form(context.application, form1_spec, form1_controls),
      sSkinManager1(toolkit::SkinManager::from_resource(L"SKIN")),
      sButton1(control_at(row<toolkit::Button>("sButton1"))),
      sButton2(control_at(row<toolkit::Button>("sButton2"))),
      sButton3(control_at(row<toolkit::Button>("sButton3"))),
      sButton4(control_at(row<toolkit::Button>("sButton4"))),
      sButton5(control_at(row<toolkit::Button>("sButton5"))),
      Image1(control_at(row<toolkit::Image>("Image1"))),
      context_(context) {
    // Active from the moment the main window exists: it draws every window.
    context.application.set_skin(sSkinManager1);
    on_create = [this] { FormCreate(); };
    sButton1.on_click = [this] { sButton1Click(); };
    sButton2.on_click = [this] { sButton2Click(); };
    sButton3.on_click = [this] { sButton3Click(); };
    sButton4.on_click = [this] { sButton4Click(); };
    sButton5.on_click = [this] { sButton5Click(); };
}

void TForm1::set_dialogs(const Dialogs& dialogs) {
    gamepad_dialog_ = &dialogs.gamepad;
    keyboard_dialog_ = &dialogs.keyboard;
    display_dialog_ = &dialogs.display;
}

// A dialog opens only once start-up has handed it over.
void TForm1::open_dialog(toolkit::Form* dialog) {
    if (dialog) dialog->show_modal();
}

void TForm1::FormCreate() {
    context_.state.application_directory = directory_of(context_.services.executable_path());
}

void TForm1::open_gamepad(unsigned pad, std::string_view file_name,
                          std::string_view absent_message) {
    LauncherState& state = context_.state;
    if (context_.services.joystick.poll(pad, state.joystick) != 0) {
        context_.show_message(absent_message);
        return;
    }
    state.current_pad_number = pad;
    state.current_pad_file = context_.application_file(file_name);
    open_dialog(gamepad_dialog_);
}

void TForm1::sButton1Click() {
    open_gamepad(0, "Input1.ini", "Сначало подсоедините первый джойстик");
}

void TForm1::sButton3Click() {
    open_gamepad(1, "Input2.ini", "Сначало подсоедините второй джойстик");
}

void TForm1::sButton2Click() {
    open_dialog(keyboard_dialog_);
}

void TForm1::sButton4Click() {
    open_dialog(display_dialog_);
}

void TForm1::sButton5Click() {
    context_.start_program("GameMain-kb.exe");
    close();
}

}  // namespace launcher
