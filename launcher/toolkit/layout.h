#pragma once

// Builders of the rows of a window's layout table, one per control kind, so that a table
// reads as a list of controls with their places rather than as field assignments.

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <type_traits>

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

// The rows of several tables, one after the other.
template <std::size_t... counts>
constexpr std::array<ControlSpec, (counts + ...)> rows(
    const std::array<ControlSpec, counts>&... parts) {
    std::array<ControlSpec, (counts + ...)> joined{};
    std::size_t next = 0;
    ((std::ranges::copy(parts, joined.begin() + static_cast<std::ptrdiff_t>(next)), next += counts),
     ...);
    return joined;
}

// The kind of control that the toolkit's class T is.
template <class T>
consteval ControlKind kind_of() {
    if constexpr (std::is_same_v<T, Button>)
        return ControlKind::button;
    else if constexpr (std::is_same_v<T, ComboBox>)
        return ControlKind::combo_box;
    else if constexpr (std::is_same_v<T, Label>)
        return ControlKind::label;
    else if constexpr (std::is_same_v<T, GroupBox>)
        return ControlKind::group_box;
    else if constexpr (std::is_same_v<T, RadioButton>)
        return ControlKind::radio_button;
    else if constexpr (std::is_same_v<T, CheckBox>)
        return ControlKind::check_box;
    else {
        static_assert(std::is_same_v<T, Image>, "not a control of the layout tables");
        return ControlKind::image;
    }
}

// The row of the control `name` in `table`, found while compiling: a name that is not in the
// table, or a control of another kind than T, fails the build. Form::control_at takes the
// control of that row, typed.
template <class T, std::size_t count>
consteval Row<T> row_of(const std::array<ControlSpec, count>& table, std::string_view name) {
    for (std::size_t row = 0; row < count; ++row) {
        if (table[row].name != name) continue;
        if (table[row].kind != kind_of<T>()) throw std::logic_error("a control of another kind");
        return {row};
    }
    throw std::logic_error("no control of that name in the table");
}

// Every name once, and every parent a group box of the table: checked while compiling with a
// static_assert on each window's table.
template <std::size_t count>
consteval bool well_formed(const std::array<ControlSpec, count>& table) {
    for (std::size_t row = 0; row < count; ++row) {
        for (std::size_t other = 0; other < row; ++other)
            if (table[other].name == table[row].name) return false;
        if (table[row].parent.empty()) continue;
        bool parent_found = false;
        for (std::size_t other = 0; other < count; ++other)
            parent_found |= table[other].name == table[row].parent &&
                            table[other].kind == ControlKind::group_box;
        if (!parent_found) return false;
    }
    return true;
}

}  // namespace toolkit::layout
