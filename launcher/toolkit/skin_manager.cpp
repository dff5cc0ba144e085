#include "toolkit/skin_manager.h"

#include <algorithm>
#include <utility>

#include "toolkit/picture.h"

namespace toolkit {
namespace {

// The names the skin text uses. Keep them here, in one place, so that they stay aligned
// with the skin file.
constexpr std::array<std::string_view, 7> section_names{
    "FORM", "LABEL", "BUTTON", "COMBOBOX", "GROUPBOX", "RADIOBUTTON", "CHECKBOX"};
constexpr std::array<std::string_view, 10> property_names{
    "face", "text", "border", "focus", "arrow", "glyph", "mark", "frame", "list", "selection"};
constexpr std::array<std::string_view, 8> state_names{"",         "hot",     "pressed",  "focused",
                                                      "disabled", "default", "selected", "checked"};

// Every colour the toolkit draws with; each must exist as a bare property, its states
// falling back to it.
constexpr std::pair<Section, Property> used_colors[] = {
    {Section::form, Property::face},           {Section::form, Property::text},
    {Section::label, Property::text},          {Section::button, Property::face},
    {Section::button, Property::text},         {Section::button, Property::border},
    {Section::button, Property::focus},        {Section::combo_box, Property::face},
    {Section::combo_box, Property::text},      {Section::combo_box, Property::border},
    {Section::combo_box, Property::arrow},     {Section::combo_box, Property::list},
    {Section::combo_box, Property::selection}, {Section::combo_box, Property::focus},
    {Section::group_box, Property::face},      {Section::group_box, Property::frame},
    {Section::group_box, Property::text},      {Section::radio_button, Property::text},
    {Section::radio_button, Property::glyph},  {Section::radio_button, Property::border},
    {Section::radio_button, Property::mark},   {Section::radio_button, Property::focus},
    {Section::check_box, Property::text},      {Section::check_box, Property::glyph},
    {Section::check_box, Property::border},    {Section::check_box, Property::mark},
    {Section::check_box, Property::focus},
};

constexpr int glyph_size = 13;
constexpr int combo_arrow_width = 17;

COLORREF to_colorref(skin::Color color) {
    return RGB(color.r, color.g, color.b);
}

template <class Enum>
std::size_t index(Enum value) {
    return static_cast<std::size_t>(value);
}

// The first state that applies, in order of precedence.
State button_state(const ButtonLook& look) {
    if (look.disabled) return State::disabled;
    if (look.pressed) return State::pressed;
    if (look.hot) return State::hot;
    if (look.focused) return State::focused;
    if (look.default_button) return State::default_button;
    return State::normal;
}

}  // namespace

SkinManager::SkinManager(skin::SkinData data) : data_(std::move(data)) {
    for (const auto& [section, property] : used_colors) {
        StateColors& states = colors_[{section, property}];
        for (std::size_t state = 0; state < state_names.size(); ++state)
            states[state] =
                to_colorref(data_.color(section_names[index(section)],
                                        property_names[index(property)], state_names[state]));
    }
}

SkinManager SkinManager::from_text(std::string_view text) {
    return SkinManager(skin::SkinData::parse(text));
}

SkinManager SkinManager::from_resource(std::wstring_view name) {
    const auto bytes = resource_bytes(name);
    try {
        return from_text({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    } catch (const skin::SkinError& error) {
        throw skin::SkinError("The skin carried by the program cannot be used: " +
                              std::string(error.what()));
    }
}

COLORREF SkinManager::color(Section section, Property property, State state) const {
    const auto found = colors_.find({section, property});
    // Only colours of the table above are asked for; magenta shows a slip at a glance.
    if (found == colors_.end()) return RGB(255, 0, 255);
    return found->second[index(state)];
}

HBRUSH SkinManager::brush(COLORREF color) {
    auto& slot = brushes_[color];
    if (!slot) slot.reset(CreateSolidBrush(color));
    return slot.get();
}

void SkinManager::fill(HDC dc, const RECT& area, COLORREF color) {
    FillRect(dc, &area, brush(color));
}

void SkinManager::frame(HDC dc, const RECT& area, COLORREF color) {
    FrameRect(dc, &area, brush(color));
}

void SkinManager::paint_background(HDC dc, const RECT& area, Section section) {
    fill(dc, area, color(section, Property::face));
}

void SkinManager::paint_button(HDC dc, const RECT& area, std::wstring_view caption,
                               const ButtonLook& look) {
    const State state = button_state(look);
    fill(dc, area, color(Section::button, Property::face, state));
    // The focused border wins over hot, so the keyboard focus stays visible under the mouse.
    State border_state = state;
    if (!look.disabled && look.focused) border_state = State::focused;
    frame(dc, area, color(Section::button, Property::border, border_state));
    if (look.default_button && !look.disabled) {
        RECT inner = area;
        InflateRect(&inner, -1, -1);
        frame(dc, inner, color(Section::button, Property::border, State::default_button));
    }
    if (look.focused && !look.disabled) {
        RECT focus = area;
        InflateRect(&focus, -3, -3);
        frame(dc, focus, color(Section::button, Property::focus));
    }
    RECT text = area;
    if (look.pressed) OffsetRect(&text, 1, 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color(Section::button, Property::text,
                           look.disabled ? State::disabled : State::normal));
    DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void SkinManager::paint_toggle(HDC dc, const RECT& area, std::wstring_view caption, Section section,
                               const ButtonLook& look) {
    paint_background(dc, area, look.background);
    const int top = area.top + (area.bottom - area.top - glyph_size) / 2;
    const RECT glyph{area.left, top, area.left + glyph_size, top + glyph_size};
    State state = button_state(look);
    if (!look.disabled && look.focused) state = State::focused;
    const COLORREF border = color(section, Property::border, state);
    const COLORREF face = color(section, Property::glyph, button_state(look));
    const COLORREF mark =
        color(section, Property::mark, look.disabled ? State::disabled : State::checked);

    if (section == Section::radio_button) {
        Selected pen(dc, GetStockObject(DC_PEN));
        Selected fill_brush(dc, brush(face));
        SetDCPenColor(dc, border);
        Ellipse(dc, glyph.left, glyph.top, glyph.right, glyph.bottom);
        if (look.checked) {
            Selected mark_brush(dc, brush(mark));
            SetDCPenColor(dc, mark);
            Ellipse(dc, glyph.left + 4, glyph.top + 4, glyph.right - 4, glyph.bottom - 4);
        }
    } else {
        fill(dc, glyph, face);
        frame(dc, glyph, border);
        if (look.checked) {
            // A tick of two strokes, two pixels thick.
            Selected pen(dc, GetStockObject(DC_PEN));
            SetDCPenColor(dc, mark);
            for (int thick = 0; thick < 2; ++thick) {
                const POINT tick[] = {{glyph.left + 3, glyph.top + 5 + thick},
                                      {glyph.left + 5, glyph.top + 7 + thick},
                                      {glyph.left + 10, glyph.top + 2 + thick}};
                Polyline(dc, tick, 3);
            }
        }
    }

    RECT text{glyph.right + 4, area.top, area.right, area.bottom};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc,
                 color(section, Property::text, look.disabled ? State::disabled : State::normal));
    RECT measured = text;
    DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &measured,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (look.focused && !look.disabled) {
        const int height = measured.bottom - measured.top;
        const int text_top = area.top + (area.bottom - area.top - height) / 2;
        RECT focus{text.left - 2, text_top - 1, std::min<LONG>(measured.right + 2, area.right),
                   text_top + height + 1};
        frame(dc, focus, color(section, Property::focus));
    }
}

void SkinManager::paint_group_box(HDC dc, const RECT& area, std::wstring_view caption,
                                  bool disabled) {
    fill(dc, area, color(Section::group_box, Property::face));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT box = area;
    box.top += metrics.tmHeight / 2;
    frame(dc, box, color(Section::group_box, Property::frame));
    if (caption.empty()) return;
    RECT text{area.left + 8, area.top, area.right - 8, area.top + metrics.tmHeight};
    DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &text,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    RECT gap = text;
    InflateRect(&gap, 2, 0);
    fill(dc, gap, color(Section::group_box, Property::face));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(
        dc, color(Section::group_box, Property::text, disabled ? State::disabled : State::normal));
    DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &text,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
}

void SkinManager::paint_label(HDC dc, const RECT& area, std::wstring_view caption,
                              bool right_aligned, bool disabled) {
    RECT text = area;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc,
                 color(Section::label, Property::text, disabled ? State::disabled : State::normal));
    DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &text,
              (right_aligned ? DT_RIGHT : DT_LEFT) | DT_SINGLELINE | DT_NOPREFIX);
}

void SkinManager::paint_combo(HDC dc, const RECT& area, std::wstring_view text,
                              const ComboLook& look) {
    State border_state = State::normal;
    if (look.disabled)
        border_state = State::disabled;
    else if (look.focused || look.dropped)
        border_state = State::focused;
    else if (look.hot)
        border_state = State::hot;
    RECT inside = area;
    InflateRect(&inside, -1, -1);
    RECT field = inside;
    field.right -= combo_arrow_width;
    paint_combo_field(dc, field, text, look);

    RECT button{field.right, inside.top, inside.right, inside.bottom};
    const State face_state = look.disabled ? State::disabled
                             : look.hot    ? State::hot
                                           : State::normal;
    fill(dc, button, look.face.value_or(color(Section::combo_box, Property::face, face_state)));
    // A small downward triangle in the middle of the button.
    const int middle_x = (button.left + button.right) / 2;
    const int middle_y = (button.top + button.bottom) / 2;
    const POINT arrow[] = {
        {middle_x - 4, middle_y - 2}, {middle_x + 4, middle_y - 2}, {middle_x, middle_y + 2}};
    const COLORREF arrow_color = color(Section::combo_box, Property::arrow, face_state);
    Selected pen(dc, GetStockObject(DC_PEN));
    Selected arrow_brush(dc, brush(arrow_color));
    SetDCPenColor(dc, arrow_color);
    Polygon(dc, arrow, 3);
    frame(dc, area, color(Section::combo_box, Property::border, border_state));
}

void SkinManager::paint_combo_field(HDC dc, const RECT& area, std::wstring_view text,
                                    const ComboLook& look) {
    const State state = look.disabled ? State::disabled : look.hot ? State::hot : State::normal;
    fill(dc, area, look.face.value_or(color(Section::combo_box, Property::face, state)));
    RECT inner = area;
    inner.left += 3;
    SetBkMode(dc, TRANSPARENT);
    const COLORREF text_color = look.disabled
                                    ? color(Section::combo_box, Property::text, State::disabled)
                                    : look.text.value_or(color(Section::combo_box, Property::text));
    SetTextColor(dc, text_color);
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &inner,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (look.focused && !look.dropped && !look.disabled) {
        RECT focus = area;
        InflateRect(&focus, -1, -1);
        frame(dc, focus, color(Section::combo_box, Property::focus));
    }
}

void SkinManager::paint_combo_item(HDC dc, const RECT& area, std::wstring_view text, bool selected,
                                   const ComboLook& look) {
    fill(dc, area,
         selected ? color(Section::combo_box, Property::selection)
                  : look.face.value_or(color(Section::combo_box, Property::list)));
    RECT inner = area;
    inner.left += 3;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? color(Section::combo_box, Property::text, State::selected)
                              : look.text.value_or(color(Section::combo_box, Property::text)));
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &inner,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace toolkit
