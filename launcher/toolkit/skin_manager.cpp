#include "toolkit/skin_manager.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "toolkit/dpi.h"
#include "toolkit/picture.h"

namespace toolkit {
namespace {

// The property names the skin text uses, in the order of Property.
constexpr std::array<std::string_view, 14> property_names{
    "face",  "text", "border",    "focus",  "arrow", "glyph", "mark",
    "frame", "list", "selection", "button", "close", "track", "thumb"};

template <class Enum>
constexpr std::size_t index(Enum value) {
    return static_cast<std::size_t>(value);
}

// Property, Section and State follow their tables of names.
static_assert(property_names.size() == index(Property::thumb) + 1 &&
              property_names[index(Property::face)] == "face" &&
              property_names[index(Property::text)] == "text" &&
              property_names[index(Property::border)] == "border" &&
              property_names[index(Property::focus)] == "focus" &&
              property_names[index(Property::arrow)] == "arrow" &&
              property_names[index(Property::glyph)] == "glyph" &&
              property_names[index(Property::mark)] == "mark" &&
              property_names[index(Property::frame)] == "frame" &&
              property_names[index(Property::list)] == "list" &&
              property_names[index(Property::selection)] == "selection" &&
              property_names[index(Property::button)] == "button" &&
              property_names[index(Property::close)] == "close" &&
              property_names[index(Property::track)] == "track" &&
              property_names[index(Property::thumb)] == "thumb");

static_assert(skin::section_names[index(Section::form)] == "FORM" &&
              skin::section_names[index(Section::label)] == "LABEL" &&
              skin::section_names[index(Section::button)] == "BUTTON" &&
              skin::section_names[index(Section::combo_box)] == "COMBOBOX" &&
              skin::section_names[index(Section::group_box)] == "GROUPBOX" &&
              skin::section_names[index(Section::radio_button)] == "RADIOBUTTON" &&
              skin::section_names[index(Section::check_box)] == "CHECKBOX" &&
              skin::section_names[index(Section::caption)] == "CAPTION");
static_assert(skin::state_names[index(State::normal)] == "normal" &&
              skin::state_names[index(State::hot)] == "hot" &&
              skin::state_names[index(State::pressed)] == "pressed" &&
              skin::state_names[index(State::focused)] == "focused" &&
              skin::state_names[index(State::disabled)] == "disabled" &&
              skin::state_names[index(State::default_button)] == "default" &&
              skin::state_names[index(State::selected)] == "selected" &&
              skin::state_names[index(State::checked)] == "checked" &&
              skin::state_names[index(State::inactive)] == "inactive");

template <class Enum, std::size_t count>
Enum from_name(const std::array<std::string_view, count>& names, std::string_view name) {
    const auto found = std::ranges::find(names, name);
    if (found == names.end())
        throw std::logic_error("the toolkit has no name " + std::string(name) + " of the skin");
    return static_cast<Enum>(found - names.begin());
}

// In layout pixels, as every length below.
constexpr int glyph_size = 13;
constexpr int combo_arrow_width = 17;

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

// Every colour the toolkit draws with is a required one: each bare property of that table
// is resolved here in every state, a state without a colour falling back to the property.
SkinManager::SkinManager(skin::SkinData data) : data_(std::move(data)) {
    for (const skin::RequiredColor& required : skin::required_colors()) {
        if (!required.state.empty()) continue;
        const auto section = from_name<Section>(skin::section_names, required.section);
        const auto property = from_name<Property>(property_names, required.property);
        StateColors& states = colors_[{section, property}];
        for (std::size_t state = 0; state < skin::state_names.size(); ++state)
            states[state] =
                data_.color(required.section, required.property, skin::state_names[state])
                    .colorref();
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

void SkinManager::frame(HDC dc, const RECT& area, COLORREF color, int thickness) {
    RECT ring = area;
    for (int line = 0; line < thickness; ++line) {
        FrameRect(dc, &ring, brush(color));
        InflateRect(&ring, -1, -1);
    }
}

void SkinManager::paint_background(HDC dc, const RECT& area, Section section) {
    fill(dc, area, color(section, Property::face));
}

void SkinManager::paint_button(HDC dc, const RECT& area, std::wstring_view caption,
                               const ButtonLook& look) {
    const auto px = [&look](int length) { return scaled(length, look.dpi); };
    const State state = button_state(look);
    fill(dc, area, color(Section::button, Property::face, state));
    // The focused border wins over hot, so the keyboard focus stays visible under the mouse.
    State border_state = state;
    if (!look.disabled && look.focused) border_state = State::focused;
    frame(dc, area, color(Section::button, Property::border, border_state), px(1));
    if (look.default_button && !look.disabled) {
        RECT inner = area;
        InflateRect(&inner, -px(1), -px(1));
        frame(dc, inner, color(Section::button, Property::border, State::default_button), px(1));
    }
    if (look.focused && !look.disabled) {
        RECT focus = area;
        InflateRect(&focus, -px(3), -px(3));
        frame(dc, focus, color(Section::button, Property::focus), px(1));
    }
    RECT text = area;
    if (look.pressed) OffsetRect(&text, px(1), px(1));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color(Section::button, Property::text,
                           look.disabled ? State::disabled : State::normal));
    DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void SkinManager::paint_toggle(HDC dc, const RECT& area, std::wstring_view caption, Section section,
                               const ButtonLook& look) {
    const auto px = [&look](int length) { return scaled(length, look.dpi); };
    paint_background(dc, area, look.background);
    const int size = px(glyph_size);
    const int top = area.top + (area.bottom - area.top - size) / 2;
    const RECT glyph{area.left, top, area.left + size, top + size};
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
            Ellipse(dc, glyph.left + px(4), glyph.top + px(4), glyph.right - px(4),
                    glyph.bottom - px(4));
        }
    } else {
        fill(dc, glyph, face);
        frame(dc, glyph, border, px(1));
        if (look.checked) {
            // A tick of two strokes, two layout pixels thick.
            Selected pen(dc, GetStockObject(DC_PEN));
            SetDCPenColor(dc, mark);
            for (int thick = 0; thick < px(2); ++thick) {
                const POINT tick[] = {{glyph.left + px(3), glyph.top + px(5) + thick},
                                      {glyph.left + px(5), glyph.top + px(7) + thick},
                                      {glyph.left + px(10), glyph.top + px(2) + thick}};
                Polyline(dc, tick, 3);
            }
        }
    }

    RECT text{glyph.right + px(4), area.top, area.right, area.bottom};
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
        RECT focus{text.left - px(2), text_top - px(1),
                   std::min<LONG>(measured.right + px(2), area.right), text_top + height + px(1)};
        frame(dc, focus, color(section, Property::focus), px(1));
    }
}

void SkinManager::paint_group_box(HDC dc, const RECT& area, std::wstring_view caption,
                                  bool disabled, int dpi) {
    const auto px = [dpi](int length) { return scaled(length, dpi); };
    fill(dc, area, color(Section::group_box, Property::face));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT box = area;
    box.top += metrics.tmHeight / 2;
    frame(dc, box, color(Section::group_box, Property::frame), px(1));
    if (caption.empty()) return;
    RECT text{area.left + px(8), area.top, area.right - px(8), area.top + metrics.tmHeight};
    DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &text,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    RECT gap = text;
    InflateRect(&gap, px(2), 0);
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
    const auto px = [&look](int length) { return scaled(length, look.dpi); };
    RECT inside = area;
    InflateRect(&inside, -px(1), -px(1));
    RECT field = inside;
    field.right -= px(combo_arrow_width);
    paint_combo_field(dc, field, text, look);

    RECT button{field.right, inside.top, inside.right, inside.bottom};
    const State face_state = look.disabled ? State::disabled
                             : look.hot    ? State::hot
                                           : State::normal;
    fill(dc, button, look.face.value_or(color(Section::combo_box, Property::face, face_state)));
    // A small downward triangle in the middle of the button.
    const int middle_x = (button.left + button.right) / 2;
    const int middle_y = (button.top + button.bottom) / 2;
    const POINT arrow[] = {{middle_x - px(4), middle_y - px(2)},
                           {middle_x + px(4), middle_y - px(2)},
                           {middle_x, middle_y + px(2)}};
    const COLORREF arrow_color = color(Section::combo_box, Property::arrow, face_state);
    Selected pen(dc, GetStockObject(DC_PEN));
    Selected arrow_brush(dc, brush(arrow_color));
    SetDCPenColor(dc, arrow_color);
    Polygon(dc, arrow, 3);
    frame(dc, area, color(Section::combo_box, Property::border, border_state), px(1));
}

void SkinManager::paint_combo_field(HDC dc, const RECT& area, std::wstring_view text,
                                    const ComboLook& look) {
    const auto px = [&look](int length) { return scaled(length, look.dpi); };
    const State state = look.disabled ? State::disabled : look.hot ? State::hot : State::normal;
    fill(dc, area, look.face.value_or(color(Section::combo_box, Property::face, state)));
    RECT inner = area;
    inner.left += px(3);
    SetBkMode(dc, TRANSPARENT);
    const COLORREF text_color = look.disabled
                                    ? color(Section::combo_box, Property::text, State::disabled)
                                    : look.text.value_or(color(Section::combo_box, Property::text));
    SetTextColor(dc, text_color);
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &inner,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (look.focused && !look.dropped && !look.disabled) {
        RECT focus = area;
        InflateRect(&focus, -px(1), -px(1));
        frame(dc, focus, color(Section::combo_box, Property::focus), px(1));
    }
}

void SkinManager::paint_combo_item(HDC dc, const RECT& area, std::wstring_view text, bool selected,
                                   const ComboLook& look) {
    fill(dc, area,
         selected ? color(Section::combo_box, Property::selection)
                  : look.face.value_or(color(Section::combo_box, Property::list)));
    RECT inner = area;
    inner.left += scaled(3, look.dpi);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? color(Section::combo_box, Property::text, State::selected)
                              : look.text.value_or(color(Section::combo_box, Property::text)));
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &inner,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace toolkit

namespace toolkit {

CaptionButton FrameLayout::button_at(POINT point) const {
    if (PtInRect(&close, point)) return CaptionButton::close;
    if (PtInRect(&minimize, point)) return CaptionButton::minimize;
    return CaptionButton::none;
}

FrameLayout layout_frame(const RECT& window, const RECT& client, bool minimize_box, int icon_size,
                         int dpi) {
    const auto px = [dpi](int length) { return scaled(length, dpi); };
    FrameLayout layout{.window = window, .client = client};
    const LONG border = client.left - window.left;
    layout.caption = {window.left + border, window.top + border, window.right - border, client.top};
    const LONG bar_height = layout.caption.bottom - layout.caption.top;
    if (bar_height <= px(4)) return layout;  // no title bar to put anything on

    const LONG button_height = bar_height - px(4);
    const LONG button_width = button_height + px(2);
    const LONG button_top = layout.caption.top + (bar_height - button_height) / 2;
    const LONG close_left = layout.caption.right - px(2) - button_width;
    layout.close = {close_left, button_top, close_left + button_width, button_top + button_height};
    if (minimize_box) {
        const LONG left = close_left - px(2) - button_width;
        layout.minimize = {left, button_top, left + button_width, button_top + button_height};
    }
    const LONG icon = std::min<LONG>(icon_size, bar_height - px(2));
    const LONG icon_top = layout.caption.top + (bar_height - icon) / 2;
    layout.icon = {layout.caption.left + px(2), icon_top, layout.caption.left + px(2) + icon,
                   icon_top + icon};
    return layout;
}

void SkinManager::paint_frame(HDC dc, const FrameLayout& layout, std::wstring_view title,
                              HICON icon, HFONT title_font, const FrameLook& look) {
    const auto px = [&look](int length) { return scaled(length, look.dpi); };
    const State activation = look.active ? State::normal : State::inactive;
    fill(dc, layout.window, color(Section::caption, Property::face, activation));
    frame(dc, layout.window, color(Section::caption, Property::border, activation), px(1));
    if (icon && !IsRectEmpty(&layout.icon))
        DrawIconEx(dc, layout.icon.left, layout.icon.top, icon,
                   layout.icon.right - layout.icon.left, layout.icon.bottom - layout.icon.top, 0,
                   nullptr, DI_NORMAL);

    RECT text = layout.caption;
    text.left = (IsRectEmpty(&layout.icon) ? text.left : layout.icon.right) + px(4);
    text.right = (IsRectEmpty(&layout.minimize) ? layout.close.left : layout.minimize.left) - px(4);
    if (text.right > text.left) {
        Selected font(dc, title_font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, color(Section::caption, Property::text, activation));
        DrawTextW(dc, title.data(), static_cast<int>(title.size()), &text,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (!IsRectEmpty(&layout.minimize))
        paint_caption_button(dc, layout.minimize, CaptionButton::minimize, look);
    if (!IsRectEmpty(&layout.close))
        paint_caption_button(dc, layout.close, CaptionButton::close, look);
}

void SkinManager::paint_caption_button(HDC dc, const RECT& area, CaptionButton button,
                                       const FrameLook& look) {
    const State state = look.pressed == button ? State::pressed
                        : look.hot == button   ? State::hot
                                               : State::normal;
    const Property face = button == CaptionButton::close ? Property::close : Property::button;
    fill(dc, area, color(Section::caption, face, state));
    const State glyph_state = state != State::normal ? State::hot
                              : look.active          ? State::normal
                                                     : State::inactive;
    const COLORREF glyph = color(Section::caption, Property::glyph, glyph_state);

    // The mark: a square of a little over half the button's height, in its middle, moved
    // by a pixel while pressed like a push button's caption.
    const auto px = [&look](int length) { return scaled(length, look.dpi); };
    const LONG size = std::max<LONG>((area.bottom - area.top) / 2, px(4)) | 1;
    LONG left = (area.left + area.right - size) / 2;
    LONG top = (area.top + area.bottom - size) / 2;
    if (state == State::pressed) left += px(1), top += px(1);
    if (button == CaptionButton::minimize) {
        const RECT bar{left, top + size - px(2), left + size, top + size};
        fill(dc, bar, glyph);
        return;
    }
    // A cross of two strokes, two layout pixels thick.
    Selected pen(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, glyph);
    for (int thick = 0; thick < px(2); ++thick) {
        const POINT falling[] = {{left + thick, top}, {left + size, top + size - thick}};
        const POINT rising[] = {{left + thick, top + size - 1}, {left + size, top - 1 + thick}};
        Polyline(dc, falling, 2);
        Polyline(dc, rising, 2);
    }
}

}  // namespace toolkit

namespace toolkit {

namespace {
// The thumb never shrinks below a size that a mouse can take hold of.
constexpr LONG minimum_thumb = 12;
}  // namespace

RECT scroll_thumb(const RECT& track, const ScrollPosition& position, int dpi) {
    if (position.range() == 0) return {};
    const LONG length = track.bottom - track.top;
    const LONG thumb = std::min(length, std::max<LONG>(scaled(minimum_thumb, dpi),
                                                       length * position.visible / position.count));
    const int top = std::clamp(position.top, 0, position.range());
    const LONG offset = (length - thumb) * top / position.range();
    return {track.left, track.top + offset, track.right, track.top + offset + thumb};
}

int scroll_top_for_thumb(const RECT& track, const ScrollPosition& position, int thumb_top,
                         int dpi) {
    const RECT thumb = scroll_thumb(track, position, dpi);
    const LONG travel = (track.bottom - track.top) - (thumb.bottom - thumb.top);
    if (travel <= 0) return 0;
    const LONG offset = std::clamp<LONG>(thumb_top - track.top, 0, travel);
    // Of the two rows around the dragged place, the one whose thumb lies nearer to it, so
    // that the thumb stays where it was let go whenever a row shows it there.
    const LONG range = position.range();
    const LONG lower = offset * range / travel;
    const LONG upper = std::min(range, (offset * range + travel - 1) / travel);
    const auto place = [&](LONG top) { return travel * top / range; };
    return static_cast<int>(offset - place(lower) < place(upper) - offset ? lower : upper);
}

void SkinManager::paint_scroll_indicator(HDC dc, const RECT& track, const ScrollPosition& position,
                                         State thumb, int dpi) {
    fill(dc, track, color(Section::combo_box, Property::track));
    RECT shown = scroll_thumb(track, position, dpi);
    if (IsRectEmpty(&shown)) return;
    InflateRect(&shown, -scaled(1, dpi), 0);  // a little air on both sides of the thumb
    fill(dc, shown, color(Section::combo_box, Property::thumb, thumb));
}

}  // namespace toolkit
