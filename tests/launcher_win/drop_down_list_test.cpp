// The open list of a long drop-down list, as the player meets it: no system scroll bar but
// the skin's slim indicator, which follows the keys and the wheel and can be dragged or
// clicked without choosing an item or closing the list.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "kit/text.h"
#include "test_support.h"
#include "toolkit/application.h"
#include "toolkit/dpi.h"
#include "toolkit/form.h"
#include "toolkit/skin_manager.h"

namespace {

using toolkit::ControlKind;
using toolkit::ControlSpec;
using toolkit::layout_dpi;
using toolkit::Property;
using toolkit::Section;
using toolkit::State;

constexpr int key_count = 40;

const toolkit::FormSpec form_spec{.name = "Keys",
                                  .caption = "Настройка клавиатуры",
                                  .client_width = 240,
                                  .client_height = 200,
                                  .placement = toolkit::Placement::desktop_center};
const std::array controls{ControlSpec{.kind = ControlKind::combo_box,
                                      .name = "sComboBox1",
                                      .left = 40,
                                      .top = 16,
                                      .width = 97,
                                      .height = 21,
                                      .tab_order = 0,
                                      .face = skin::Color{26, 26, 26},
                                      .text_color = skin::Color{128, 128, 128}}};

using test::settle;

class DropDownListTest : public testing::Test {
  protected:
    DropDownListTest()
        : application(fakes.boxes),
          skin(toolkit::SkinManager::from_resource(L"SKIN")),
          form(application, form_spec, controls),
          combo(form.get<toolkit::ComboBox>("sComboBox1")) {
        application.set_skin(skin);
        application.create_form(form);
        for (int key = 0; key < key_count; ++key) combo.add_item("KEY" + std::to_string(key));
        combo.set_item_index(0);
        combo.on_change = [this] { ++changes; };
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        GetComboBoxInfo(combo.handle(), &info);
        list = info.hwndList;
        form.show();
        settle();
    }
    ~DropDownListTest() override {
        test::mouse_button(false);
        test::mouse_to({1000, 700});
        SendMessageW(combo.handle(), CB_SHOWDROPDOWN, FALSE, 0);
        settle();
    }

    // Opens the list as the player does, with a click on the field.
    void open_list() {
        RECT field{};
        GetWindowRect(combo.handle(), &field);
        const POINT middle{(field.left + field.right) / 2, (field.top + field.bottom) / 2};
        SetForegroundWindow(form.handle());
        test::mouse_to(middle);
        settle();
        HWND under = WindowFromPoint(middle);
        wchar_t under_class[64]{};
        GetClassNameW(under, under_class, 64);
        ASSERT_EQ(under, combo.handle())
            << "the field lies under " << kit::text::narrow(under_class);
        test::mouse_button(true);
        test::mouse_button(false);
        settle();
        ASSERT_TRUE(SendMessageW(combo.handle(), CB_GETDROPPEDSTATE, 0, 0));
    }

    // The indicator's track, right of the items inside the list's border, and what shows.
    RECT track() const {
        const auto [window, client] = toolkit::window_rects(list);
        return {client.right, client.top, window.right - 1, client.bottom};
    }
    toolkit::ScrollPosition position() const {
        RECT client{};
        GetClientRect(list, &client);
        const auto row = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        return {.top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0)),
                .visible = client.bottom / row,
                .count = key_count};
    }
    RECT thumb() const { return toolkit::scroll_thumb(track(), position(), layout_dpi); }
    COLORREF shown_at(POINT at) const { return test::window_pixel(list, at); }
    COLORREF color(Property property, State state = State::normal) const {
        return skin.color(Section::combo_box, property, state);
    }
    // The middle column of the thumb, where it is drawn whatever its margins.
    LONG thumb_column() const { return (track().left + track().right) / 2; }

    test::FakeServices fakes;
    toolkit::Application application;
    toolkit::SkinManager skin;
    toolkit::Form form;
    toolkit::ComboBox& combo;
    HWND list = nullptr;
    int changes = 0;
};

TEST_F(DropDownListTest, OpenListShowsTheSkinsIndicatorAndNoSystemScrollBar) {
    open_list();
    EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL);
    const RECT bar = track();
    ASSERT_GE(bar.right - bar.left, 5);

    RECT outer{};
    GetWindowRect(list, &outer);
    test::Canvas shown(outer.right - outer.left, outer.bottom - outer.top);
    shown.copy_screen({outer.left, outer.top});
    for (const COLORREF pixel : shown.pixels()) ASSERT_FALSE(test::is_system_look(pixel));

    ASSERT_EQ(position().top, 0);
    EXPECT_EQ(shown.pixel(thumb_column(), bar.top), color(Property::thumb));
    EXPECT_EQ(shown.pixel(thumb_column(), bar.bottom - 1), color(Property::track));
}

TEST_F(DropDownListTest, IndicatorFollowsTheKeysAndTheWheel) {
    open_list();
    for (int step = 0; step < key_count; ++step)
        SendMessageW(combo.handle(), WM_KEYDOWN, VK_DOWN, 0);
    settle();
    ASSERT_EQ(position().top, position().range());
    EXPECT_EQ(shown_at({thumb_column(), track().bottom - 1}), color(Property::thumb));
    EXPECT_EQ(shown_at({thumb_column(), track().top}), color(Property::track));

    const int before = position().top;
    SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    settle();
    EXPECT_LT(position().top, before);
    const RECT moved = thumb();
    EXPECT_LT(moved.bottom, track().bottom);
    EXPECT_EQ(shown_at({thumb_column(), moved.top}), color(Property::thumb));
    EXPECT_EQ(shown_at({thumb_column(), moved.bottom}), color(Property::track));
}

TEST_F(DropDownListTest, DraggingOrClickingTheIndicatorScrollsWithoutChoosingOrClosing) {
    open_list();
    const RECT start = thumb();
    test::mouse_to(test::window_to_screen(list, {thumb_column(), (start.top + start.bottom) / 2}));
    settle();
    EXPECT_EQ(shown_at({thumb_column(), start.top}), color(Property::thumb, State::hot));
    test::mouse_button(true);
    settle();
    EXPECT_EQ(shown_at({thumb_column(), start.top}), color(Property::thumb, State::pressed));
    test::mouse_to(test::window_to_screen(list, {thumb_column(), track().bottom + 40}));
    settle();
    test::mouse_button(false);
    settle();
    EXPECT_EQ(position().top, position().range());
    EXPECT_EQ(shown_at({thumb_column(), track().bottom - 1}), color(Property::thumb));

    // A click on the track above the thumb goes up a page.
    test::mouse_to(test::window_to_screen(list, {thumb_column(), track().top + 2}));
    settle();
    test::mouse_button(true);
    test::mouse_button(false);
    settle();
    EXPECT_EQ(position().top, position().range() - position().visible);

    EXPECT_TRUE(SendMessageW(combo.handle(), CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(combo.item_index(), 0);
    EXPECT_EQ(changes, 0);
}

TEST(ScrollThumb, DraggedThumbLandsOnTheRowItShowsAndEmptyWhenAllRowsShow) {
    const RECT track{100, 1, 107, 105};
    struct Case {
        int visible, count;
    };
    for (const Case& c : {Case{8, 124}, Case{8, 9}, Case{8, 40}}) {
        SCOPED_TRACE(c.count);
        toolkit::ScrollPosition position{.top = 0, .visible = c.visible, .count = c.count};
        const RECT first = toolkit::scroll_thumb(track, position, layout_dpi);
        EXPECT_EQ(first.top, track.top);
        EXPECT_GE(first.bottom - first.top, 12);  // big enough to take hold of
        // Let go anywhere, the thumb stays where it was let go; with fewer rows than
        // pixels to travel, each row has a place of its own.
        const LONG travel = (track.bottom - track.top) - (first.bottom - first.top);
        const bool row_per_place = position.range() <= travel;
        for (int top = 0; top <= position.range(); ++top) {
            position.top = top;
            const RECT thumb = toolkit::scroll_thumb(track, position, layout_dpi);
            toolkit::ScrollPosition dropped = position;
            dropped.top = toolkit::scroll_top_for_thumb(track, position, thumb.top, layout_dpi);
            EXPECT_EQ(toolkit::scroll_thumb(track, dropped, layout_dpi).top, thumb.top) << top;
            if (row_per_place) {
                EXPECT_EQ(dropped.top, top);
            }
        }
        EXPECT_EQ(toolkit::scroll_thumb(track, position, layout_dpi).bottom, track.bottom);
        // Dragged beyond either end, the thumb stops there.
        EXPECT_EQ(toolkit::scroll_top_for_thumb(track, position, -500, layout_dpi), 0);
        EXPECT_EQ(toolkit::scroll_top_for_thumb(track, position, 500, layout_dpi),
                  position.range());
    }
    for (const int count : {0, 5, 8}) {
        const RECT thumb =
            toolkit::scroll_thumb(track, {.top = 0, .visible = 8, .count = count}, layout_dpi);
        EXPECT_TRUE(IsRectEmpty(&thumb)) << count;
    }
}

}  // namespace
