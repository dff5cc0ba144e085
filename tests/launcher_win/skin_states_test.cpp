// The skin paints every kind of control, and every state of it, in its own colours: no
// pixel keeps the system's face, window or title bar colour, and hover, press, focus,
// disabling, checking and activation each change what the player sees.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "test_support.h"
#include "toolkit/dpi.h"
#include "toolkit/picture.h"
#include "toolkit/skin_manager.h"

namespace {

using toolkit::ButtonLook;
using toolkit::CaptionButton;
using toolkit::ComboLook;
using toolkit::FrameLook;
using toolkit::layout_dpi;
using toolkit::Section;
using toolkit::SkinManager;

using Painter = std::function<void(SkinManager&, HDC, const RECT&)>;

struct Variant {
    const char* what;
    Painter paint;
};

struct Kind {
    const char* what;
    SIZE size;
    Variant normal;
    std::vector<Variant> states;
};

std::vector<COLORREF> painted(SkinManager& skin, SIZE size, const Painter& paint) {
    test::Canvas canvas(size.cx, size.cy);
    LOGFONTW font_spec{};
    font_spec.lfHeight = -11;
    font_spec.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(font_spec.lfFaceName, L"Tahoma");
    toolkit::FontHandle font(CreateFontIndirectW(&font_spec));
    toolkit::Selected selected(canvas.dc(), font.get());
    paint(skin, canvas.dc(), RECT{0, 0, size.cx, size.cy});
    return canvas.pixels();
}

Variant button(const char* what, ButtonLook look) {
    return {what, [look](SkinManager& skin, HDC dc, const RECT& area) {
                skin.paint_button(dc, area, L"Отмена", look);
            }};
}

Variant toggle(const char* what, Section section, ButtonLook look) {
    look.background = Section::group_box;
    return {what, [section, look](SkinManager& skin, HDC dc, const RECT& area) {
                skin.paint_toggle(dc, area, L"Во весь экран", section, look);
            }};
}

std::vector<Variant> toggle_states(Section section) {
    return {toggle("hot", section, {.hot = true}),
            toggle("pressed", section, {.pressed = true}),
            toggle("focused", section, {.focused = true}),
            toggle("disabled", section, {.disabled = true}),
            toggle("checked", section, {.checked = true}),
            toggle("checked and disabled", section, {.disabled = true, .checked = true})};
}

Variant combo(const char* what, ComboLook look) {
    return {what, [look](SkinManager& skin, HDC dc, const RECT& area) {
                skin.paint_combo(dc, area, L"Не задано", look);
            }};
}

Variant combo_item(const char* what, bool selected) {
    return {what, [selected](SkinManager& skin, HDC dc, const RECT& area) {
                skin.paint_combo_item(dc, area, L"LSHIFT", selected, {});
            }};
}

Variant group_box(const char* what, bool disabled) {
    return {what, [disabled](SkinManager& skin, HDC dc, const RECT& area) {
                skin.paint_group_box(dc, area, L"Основные", disabled, layout_dpi);
            }};
}

Variant label(const char* what, bool disabled) {
    return {what, [disabled](SkinManager& skin, HDC dc, const RECT& area) {
                skin.paint_background(dc, area, Section::form);
                skin.paint_label(dc, area, L"Легкая атака", false, disabled);
            }};
}

// A frame of 200 x 60 with a title bar of 19 pixels, as the system lays out a small window.
Variant frame(const char* what, FrameLook look) {
    return {
        what, [look](SkinManager& skin, HDC dc, const RECT& area) {
            const auto layout = toolkit::layout_frame(area, {3, 25, 197, 57}, true, 16, layout_dpi);
            const auto font = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
            skin.paint_frame(dc, layout, L"Зорелия", nullptr, font, look);
        }};
}

TEST(SkinStates, EveryControlKindAndStateIsSkinnedAndVisiblyDifferent) {
    SkinManager skin = SkinManager::from_resource(L"SKIN");
    const Kind kinds[] = {
        {"BUTTON",
         {75, 25},
         button("normal", {}),
         {button("hot", {.hot = true}), button("pressed", {.pressed = true}),
          button("focused", {.focused = true}), button("disabled", {.disabled = true}),
          button("default", {.default_button = true})}},
        {"RADIOBUTTON",
         {96, 19},
         toggle("normal", Section::radio_button, {}),
         toggle_states(Section::radio_button)},
        {"CHECKBOX",
         {129, 20},
         toggle("normal", Section::check_box, {}),
         toggle_states(Section::check_box)},
        {"COMBOBOX",
         {145, 21},
         combo("normal", {}),
         {combo("hot", {.hot = true}), combo("focused", {.focused = true}),
          combo("disabled", {.disabled = true}), combo("dropped", {.dropped = true})}},
        {"COMBOBOX open list",
         {145, 13},
         combo_item("item", false),
         {combo_item("selected item", true)}},
        {"GROUPBOX", {120, 60}, group_box("normal", false), {group_box("disabled", true)}},
        {"LABEL", {70, 13}, label("normal", false), {label("disabled", true)}},
        {"CAPTION",
         {200, 60},
         frame("active", {}),
         {frame("inactive", {.active = false}), frame("close hot", {.hot = CaptionButton::close}),
          frame("close pressed", {.pressed = CaptionButton::close}),
          frame("minimise hot", {.hot = CaptionButton::minimize}),
          frame("minimise pressed", {.pressed = CaptionButton::minimize})}},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.what);
        const auto normal = painted(skin, kind.size, kind.normal.paint);
        for (const COLORREF pixel : normal)
            ASSERT_FALSE(test::is_system_look(pixel)) << std::hex << pixel;
        for (const auto& state : kind.states) {
            SCOPED_TRACE(state.what);
            const auto pixels = painted(skin, kind.size, state.paint);
            EXPECT_NE(pixels, normal);
            for (const COLORREF pixel : pixels)
                ASSERT_FALSE(test::is_system_look(pixel)) << std::hex << pixel;
        }
    }
}

// A skin written before the frames were skinned lacks the CAPTION colours: the toolkit
// refuses it at start with a message naming them, rather than painting without them.
TEST(SkinStates, SkinWithoutCaptionColoursIsRefusedNamingThem) {
    const auto bytes = toolkit::resource_bytes(L"SKIN");
    std::string text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const auto caption = text.find("[CAPTION]");
    ASSERT_NE(caption, std::string::npos);
    const auto next_section = text.find("\n[", caption + 1);
    text.erase(caption,
               next_section == std::string::npos ? std::string::npos : next_section + 1 - caption);
    try {
        SkinManager::from_text(text);
        FAIL() << "accepted";
    } catch (const skin::SkinError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("lacks required colours: CAPTION face, CAPTION face:inactive"),
                  std::string::npos)
            << message;
    }
}

}  // namespace
