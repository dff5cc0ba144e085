#include "Unit3.h"

namespace launcher {
namespace {

const toolkit::FormSpec form3_spec{
    .name = "Form3",
    .caption = "Настройка клавиатуры",
    .client_width = 425,
    .client_height = 313,
    .placement = toolkit::Placement::main_form_center,
    .icon_picture = L"KEYBOARD",
};

}  // namespace

TForm3::TForm3(Context& context) : Form(context.application, form3_spec, {}), context_(context) {}

}  // namespace launcher
