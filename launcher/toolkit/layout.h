#pragma once

// Builders of the rows of a window's layout table, one per control kind, so that a table
// reads as a list of controls with their places rather than as field assignments.

#include <optional>
#include <string_view>

#include "toolkit/controls.h"

namespace toolkit::layout {

// Where a control lies in its parent's client area, in 96-dpi pixels.
struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// `control` put into `box`.
constexpr ControlSpec placed(ControlSpec control, Box box) {
    control.left = box.left;
    control.top = box.top;
    control.width = box.width;
    control.height = box.height;
    return control;
}

// A push button; with a modal result, pressing it ends the window's modal showing.
constexpr ControlSpec button(std::string_view name, std::string_view caption, Box box,
                             int tab_order, ModalResult result = ModalResult::none) {
    return placed({.kind = ControlKind::button,
                   .name = name,
                   .caption = caption,
                   .tab_order = tab_order,
                   .modal_result = result},
                  box);
}

// The window's default button, pressed by Enter.
constexpr ControlSpec default_button(ControlSpec button) {
    button.default_button = true;
    return button;
}

// A frame with a caption; it is no tab stop, but Tab visits the controls inside it.
constexpr ControlSpec group_box(std::string_view name, std::string_view caption, Box box,
                                int tab_order) {
    return placed(
        {.kind = ControlKind::group_box, .name = name, .caption = caption, .tab_order = tab_order},
        box);
}

// A radio button or check box with its caption; `checked` is its state at creation.
constexpr ControlSpec toggle(ControlKind kind, std::string_view name, std::string_view caption,
                             std::string_view parent, Box box, int tab_order, bool checked) {
    return placed({.kind = kind,
                   .name = name,
                   .caption = caption,
                   .parent = parent,
                   .tab_order = tab_order,
                   .checked = checked},
                  box);
}

// A control that starts disabled.
constexpr ControlSpec disabled(ControlSpec control) {
    control.enabled = false;
    return control;
}

// Text in the skin's label colour; a right-aligned label keeps its right edge.
constexpr ControlSpec label(std::string_view name, std::string_view caption,
                            std::string_view parent, Box box,
                            Alignment alignment = Alignment::left) {
    return placed({.kind = ControlKind::label,
                   .name = name,
                   .caption = caption,
                   .parent = parent,
                   .alignment = alignment},
                  box);
}

// How a drop-down list draws its field and items, where it differs from the skin.
struct ListLook {
    std::optional<skin::Color> face = {};
    std::optional<skin::Color> text = {};
    int item_height = 13;
};

// A drop-down list to choose from, without typing.
constexpr ControlSpec combo_box(std::string_view name, std::string_view parent, Box box,
                                int tab_order, const ListLook& look = {}) {
    return placed({.kind = ControlKind::combo_box,
                   .name = name,
                   .parent = parent,
                   .tab_order = tab_order,
                   .face = look.face,
                   .text_color = look.text,
                   .item_height = look.item_height},
                  box);
}

// A picture at its natural size, from an RCDATA resource or set by the program. A parent
// paints its pictures and labels in the order of the table: a picture listed before a label
// lies under it. Windowed controls always cover them.
constexpr ControlSpec image(std::string_view name, std::string_view parent, Box box,
                            std::wstring_view picture = {}) {
    return placed({.kind = ControlKind::image, .name = name, .parent = parent, .picture = picture},
                  box);
}

}  // namespace toolkit::layout
