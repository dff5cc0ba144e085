#include "Unit4.h"

namespace launcher {
namespace {

const toolkit::FormSpec form4_spec{
    .name = "Form4",
    .caption = "Настройка графики",
    .client_width = 305,
    .client_height = 151,
    .placement = toolkit::Placement::default_position,
    .icon_picture = {},
};

}  // namespace

TForm4::TForm4(Context& context) : Form(context.application, form4_spec, {}), context_(context) {}

}  // namespace launcher
