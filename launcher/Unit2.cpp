#include "Unit2.h"

namespace launcher {
namespace {

const toolkit::FormSpec form2_spec{
    .name = "Form2",
    .caption = "Настройка геймпада",
    .client_width = 240,
    .client_height = 343,
    .placement = toolkit::Placement::main_form_center,
    .icon_picture = L"GAMEPAD",
};

}  // namespace

TForm2::TForm2(Context& context) : Form(context.application, form2_spec, {}), context_(context) {}

}  // namespace launcher
