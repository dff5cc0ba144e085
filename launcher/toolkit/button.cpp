#include "toolkit/button.h"

#include "kit/text.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/skin_manager.h"

namespace toolkit {

void ButtonControl::created() {
    create_window(L"BUTTON", BS_OWNERDRAW);
}

void ButtonControl::command(WORD code) {
    // An owner-drawn button reports a second quick click as a double click.
    if (code == BN_CLICKED || code == BN_DOUBLECLICKED) click();
}

ButtonLook ButtonControl::button_look(const DRAWITEMSTRUCT& item) const {
    ButtonLook look;
    look.dpi = form().dpi();
    look.hot = hot_;
    look.pressed = item.itemState & ODS_SELECTED;
    look.focused = item.itemState & ODS_FOCUS;
    look.disabled = item.itemState & ODS_DISABLED;
    return look;
}

Button::Button(Form& form, const ControlSpec& spec, int id)
    : ButtonControl(form, spec, id),
      modal_result_(spec.modal_result),
      default_button_(spec.default_button) {}

void Button::click() {
    // Set before the handler runs, so that the dialog closes even when the handler fails.
    if (modal_result_ != ModalResult::none) form().set_modal_result(modal_result_);
    form().application().dispatch(on_click);
}

void Button::draw(const DRAWITEMSTRUCT& item) {
    ButtonLook look = button_look(item);
    look.default_button = default_look_ || look.focused;
    form().application().skin().paint_button(item.hDC, item.rcItem, kit::text::widen(caption()),
                                             look);
}

std::optional<LRESULT> Button::message(UINT msg, WPARAM wparam, LPARAM) {
    track_hot(msg);
    switch (msg) {
        case WM_GETDLGCODE:
            // As a push button, so that the dialog manager moves the default to the focused
            // button; a focused button is the default however it got the focus (a click, a
            // focus restore), so that Enter presses it.
            return DLGC_BUTTON | (default_look_ || GetFocus() == handle() ? DLGC_DEFPUSHBUTTON
                                                                          : DLGC_UNDEFPUSHBUTTON);
        case BM_SETSTYLE:
            // The dialog manager marks the default push button; the style stays owner-drawn.
            default_look_ = (wparam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            invalidate();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return std::nullopt;
    }
}

}  // namespace toolkit
