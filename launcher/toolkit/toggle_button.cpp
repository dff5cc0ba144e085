#include "toolkit/toggle_button.h"

#include "kit/text.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/skin_manager.h"

namespace toolkit {

ToggleButton::ToggleButton(Form& form, const ControlSpec& spec, int id)
    : ButtonControl(form, spec, id), checked_(spec.checked) {}

void ToggleButton::created() {
    ButtonControl::created();
    apply_checked(checked_);
}

void ToggleButton::set_checked(bool checked) {
    apply_checked(checked);
}

void ToggleButton::apply_checked(bool checked) {
    checked_ = checked;
    if (kind() == ControlKind::radio_button) {
        if (checked) {
            for (const auto& control : form().controls()) {
                auto* other = dynamic_cast<ToggleButton*>(control.get());
                if (other && other != this && other->kind() == ControlKind::radio_button &&
                    other->parent() == parent())
                    other->apply_checked(false);
            }
        }
        // As in any dialog: Tab reaches a group of radio buttons at its checked one.
        if (handle()) {
            LONG style = GetWindowLongW(handle(), GWL_STYLE);
            style = checked ? style | WS_TABSTOP : style & ~WS_TABSTOP;
            SetWindowLongW(handle(), GWL_STYLE, style);
        }
    }
    invalidate();
}

void ToggleButton::click() {
    if (kind() == ControlKind::radio_button) {
        if (checked_) return;  // no change, no handler
        apply_checked(true);
    } else {
        apply_checked(!checked_);
    }
    form().application().dispatch(on_click);
}

void ToggleButton::draw(const DRAWITEMSTRUCT& item) {
    ButtonLook look = button_look(item);
    look.checked = checked_;
    look.background = parent() ? Section::group_box : Section::form;
    const Section section =
        kind() == ControlKind::radio_button ? Section::radio_button : Section::check_box;
    form().application().skin().paint_toggle(item.hDC, item.rcItem, kit::text::widen(caption()),
                                             section, look);
}

std::optional<LRESULT> ToggleButton::message(UINT msg, WPARAM wparam, LPARAM) {
    track_hot(msg);
    const bool radio = kind() == ControlKind::radio_button;
    switch (msg) {
        case WM_GETDLGCODE:
            return radio ? DLGC_BUTTON | DLGC_RADIOBUTTON : DLGC_BUTTON;
        case BM_GETCHECK:
            return checked_ ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            set_checked(wparam == BST_CHECKED);
            return 0;
        case BM_SETSTYLE:
            return 0;  // stays owner-drawn
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS: {
            // An arrow key that moves to another radio button of the group chooses it, as
            // the player's choice; a mouse click chooses it through its own click.
            const Control* previous = form().find_control(reinterpret_cast<HWND>(wparam));
            const bool from_sibling = previous && previous != this &&
                                      previous->kind() == ControlKind::radio_button &&
                                      previous->parent() == parent();
            if (radio && !checked_ && from_sibling && !(GetKeyState(VK_LBUTTON) & 0x8000)) click();
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace toolkit
