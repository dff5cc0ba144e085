// Every window laid out again for a monitor of another scaling (WM_DPICHANGED): the client
// area, each control's place, the font and the pictures at 1.5 and 2 times the layout, rounded
// as Windows rounds, and the layout exactly as before once back at 96 dpi.

#include "toolkit/dpi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "startup.h"
#include "test_support.h"
#include "toolkit/image.h"

namespace {

// A control's place in its parent's client area: its window's, or for a label or picture
// the place its parent paints it at.
RECT place_of(const toolkit::Control& control) {
    if (!control.handle()) return control.bounds();
    RECT bounds{};
    GetWindowRect(control.handle(), &bounds);
    MapWindowPoints(nullptr, GetParent(control.handle()), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

struct Snapshot {
    SIZE client;
    std::vector<RECT> places;
};

Snapshot snapshot(const toolkit::Form& form) {
    RECT client{};
    GetClientRect(form.handle(), &client);
    Snapshot shot{{client.right, client.bottom}, {}};
    for (const auto& control : form.controls()) shot.places.push_back(place_of(*control));
    return shot;
}

void move_to_dpi(toolkit::Form& form, int dpi) {
    RECT suggested{};
    GetWindowRect(form.handle(), &suggested);
    OffsetRect(&suggested, 10, 20);
    SendMessageW(form.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
}

LONG font_height(HFONT handle) {
    LOGFONTW font{};
    GetObjectW(handle, sizeof(font), &font);
    return font.lfHeight;
}

LONG font_height(HWND window) {
    return font_height(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
}

class DpiTest : public testing::TestWithParam<int> {
  protected:
    DpiTest() : launcher(fakes.services()) { launcher.create_windows(); }

    std::vector<toolkit::Form*> forms() {
        return {&launcher.form1(), &launcher.form2(), &launcher.form3(), &launcher.form4()};
    }

    test::FakeServices fakes;
    launcher::Launcher launcher;
};

TEST_P(DpiTest, EveryWindowScalesItsLayoutAndComesBackToItExactly) {
    const int dpi = GetParam();
    for (toolkit::Form* form : forms()) {
        SCOPED_TRACE(form->name());
        const Snapshot at_96 = snapshot(*form);
        move_to_dpi(*form, dpi);
        EXPECT_EQ(form->dpi(), dpi);
        const Snapshot moved = snapshot(*form);
        EXPECT_EQ(moved.client.cx, toolkit::scaled(at_96.client.cx, dpi));
        EXPECT_EQ(moved.client.cy, toolkit::scaled(at_96.client.cy, dpi));
        EXPECT_EQ(font_height(form->font()), -toolkit::scaled(11, dpi));
        for (std::size_t i = 0; i < form->controls().size(); ++i) {
            const toolkit::Control& control = *form->controls()[i];
            SCOPED_TRACE(control.name());
            const RECT expected = toolkit::scaled(at_96.places[i], dpi);
            const RECT& place = moved.places[i];
            const auto kind = control.kind();
            EXPECT_EQ(place.top, expected.top);
            // A label sized to its text keeps its aligned edge: the left one, or the right one
            // (a pixel either way, as the text's width does not scale exactly).
            if (kind == toolkit::ControlKind::label) {
                EXPECT_TRUE(place.left == expected.left ||
                            std::abs(place.right - expected.right) <= 1)
                    << place.left << "-" << place.right << " for " << expected.left << "-"
                    << expected.right;
            } else {
                EXPECT_EQ(place.left, expected.left);
            }
            // Labels, pictures and drop-down lists size themselves (to the text, the picture,
            // the item height); buttons and group boxes take their layout's size.
            if (kind == toolkit::ControlKind::button || kind == toolkit::ControlKind::group_box ||
                kind == toolkit::ControlKind::check_box ||
                kind == toolkit::ControlKind::radio_button) {
                EXPECT_TRUE(EqualRect(&place, &expected));
            }
            if (kind == toolkit::ControlKind::combo_box) {
                EXPECT_EQ(place.right - place.left, expected.right - expected.left);
            }
            if (control.handle() && kind != toolkit::ControlKind::group_box) {
                EXPECT_EQ(font_height(control.handle()), -toolkit::scaled(11, dpi));
            }
            // A picture takes its scaled size, from artwork of that very size: not stretched.
            if (kind == toolkit::ControlKind::image) {
                EXPECT_TRUE(EqualRect(&place, &expected));
                const auto& picture = dynamic_cast<const toolkit::Image&>(control).picture();
                EXPECT_EQ(picture.width(), place.right - place.left);
                EXPECT_EQ(picture.height(), place.bottom - place.top);
            }
            // A label fits its caption in the larger font.
            if (kind == toolkit::ControlKind::label) {
                EXPECT_GE(place.bottom - place.top, toolkit::scaled(11, dpi));
            }
        }
        move_to_dpi(*form, 96);
        const Snapshot back = snapshot(*form);
        EXPECT_EQ(back.client.cx, at_96.client.cx);
        EXPECT_EQ(back.client.cy, at_96.client.cy);
        for (std::size_t i = 0; i < back.places.size(); ++i) {
            SCOPED_TRACE(form->controls()[i]->name());
            EXPECT_TRUE(EqualRect(&back.places[i], &at_96.places[i]));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scalings, DpiTest, testing::Values(144, 192));

}  // namespace
