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

// A push button; with a modal result, pressing it ends the window's modal showing.
constexpr ControlSpec button(std::string_view name, std::string_view caption, Box box,
                             int tab_order, ModalResult result = ModalResult::none) {
    return {.kind = ControlKind::button,
            .name = name,
            .caption = caption,
            .left = box.left,
            .top = box.top,
            .width = box.width,
            .height = box.height,
            .tab_order = tab_order,
            .modal_result = result};
}

// The window's default button, pressed by Enter.
constexpr ControlSpec default_button(ControlSpec button) {
    button.default_button = true;
    return button;
}

// A frame with a caption; it is no tab stop, but Tab visits the controls inside it.
constexpr ControlSpec group_box(std::string_view name, std::string_view caption, Box box,
                                int tab_order) {
    return {.kind = ControlKind::group_box,
            .name = name,
            .caption = caption,
            .left = box.left,
            .top = box.top,
            .width = box.width,
            .height = box.height,
            .tab_order = tab_order};
}

// Text in the skin's label colour; a right-aligned label keeps its right edge.
constexpr ControlSpec label(std::string_view name, std::string_view caption,
                            std::string_view parent, Box box,
                            Alignment alignment = Alignment::left) {
    return {.kind = ControlKind::label,
            .name = name,
            .caption = caption,
            .parent = parent,
            .left = box.left,
            .top = box.top,
            .width = box.width,
            .height = box.height,
            .alignment = alignment};
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
    return {.kind = ControlKind::combo_box,
            .name = name,
            .parent = parent,
            .left = box.left,
            .top = box.top,
            .width = box.width,
            .height = box.height,
            .tab_order = tab_order,
            .face = look.face,
            .text_color = look.text,
            .item_height = look.item_height};
}

// A picture at its natural size, from an RCDATA resource or set by the program. A parent
// paints its pictures and labels in the order of the table: a picture listed before a label
// lies under it. Windowed controls always cover them.
constexpr ControlSpec image(std::string_view name, std::string_view parent, Box box,
                            std::wstring_view picture = {}) {
    return {.kind = ControlKind::image,
            .name = name,
            .parent = parent,
            .left = box.left,
            .top = box.top,
            .width = box.width,
            .height = box.height,
            .picture = picture};
}

}  // namespace toolkit::layout
