#include "Unit1.h"

#include <array>

#include "platform/platform.h"

namespace launcher {
namespace {

using toolkit::ControlKind;
using toolkit::ControlSpec;

const toolkit::FormSpec form1_spec{
    .name = "Form1",
    .caption = application_title,
    .client_width = 256,
    .client_height = 356,
    .placement = toolkit::Placement::desktop_center,
    .minimize_box = true,
    .active_control = "sButton5",
};

// In tab order; the button widths differ by a pixel or two, as laid out.
const std::array form1_controls{
    ControlSpec{.kind = ControlKind::button,
                .name = "sButton5",
                .caption = "Запустить",
                .left = 84,
                .top = 324,
                .width = 80,
                .height = 25,
                .tab_order = 0,
                .default_button = true},
    ControlSpec{.kind = ControlKind::button,
                .name = "sButton1",
                .caption = "Геймпад 1",
                .left = 43,
                .top = 262,
                .width = 81,
                .height = 25,
                .tab_order = 1},
    ControlSpec{.kind = ControlKind::button,
                .name = "sButton2",
                .caption = "Клавиатура",
                .left = 43,
                .top = 293,
                .width = 80,
                .height = 25,
                .tab_order = 2},
    ControlSpec{.kind = ControlKind::button,
                .name = "sButton3",
                .caption = "Геймпад 2",
                .left = 131,
                .top = 262,
                .width = 82,
                .height = 25,
                .tab_order = 3},
    ControlSpec{.kind = ControlKind::button,
                .name = "sButton4",
                .caption = "Экран",
                .left = 131,
                .top = 293,
                .width = 82,
                .height = 25,
                .tab_order = 4},
    ControlSpec{.kind = ControlKind::image,
                .name = "Image1",
                .left = 0,
                .top = 0,
                .width = 256,
                .height = 256,
                .picture = L"PORTRAIT"},
};

}  // namespace

TForm1::TForm1(Context& context)
    : Form(context.application, form1_spec, form1_controls),
      sSkinManager1(toolkit::SkinManager::from_resource(L"SKIN")),
      sButton1(get<toolkit::Button>("sButton1")),
      sButton2(get<toolkit::Button>("sButton2")),
      sButton3(get<toolkit::Button>("sButton3")),
      sButton4(get<toolkit::Button>("sButton4")),
      sButton5(get<toolkit::Button>("sButton5")),
      Image1(get<toolkit::Image>("Image1")),
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
    context_.state.application_directory =
        platform::directory_of(context_.services.executable_path());
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
