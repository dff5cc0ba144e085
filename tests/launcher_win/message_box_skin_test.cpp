// The system's message boxes, as the launcher shows them once its skin is set: frame,
// background, text and button in the skin's colours, and the button still answers Enter.

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "platform/win32/services.h"
#include "test_support.h"
#include "toolkit/application.h"
#include "toolkit/skin_manager.h"

namespace {

using toolkit::Property;
using toolkit::Section;

struct SeenBox {
    bool found = false;
    bool system_look = false;
    COLORREF background = 0;
    COLORREF caption = 0;
    COLORREF button = 0;
};

// Looks at the box on screen, then presses Enter on its focused button.
void look_then_press_enter(SeenBox& seen, bool whole_box) {
    HWND box = FindWindowW(L"#32770", L"Зорелия");
    if (!box) return;
    seen.found = true;
    test::settle();
    RECT outer{};
    GetWindowRect(box, &outer);
    test::Canvas shown(outer.right - outer.left, outer.bottom - outer.top);
    shown.copy_screen({outer.left, outer.top});
    if (whole_box)
        for (const COLORREF pixel : shown.pixels()) seen.system_look |= test::is_system_look(pixel);
    POINT client{2, 2};
    ClientToScreen(box, &client);
    seen.background = shown.pixel(client.x - outer.left, client.y - outer.top);
    seen.caption = shown.pixel(client.x - outer.left, client.y - outer.top - 6);
    RECT button{};
    GetWindowRect(GetDlgItem(box, IDOK), &button);
    seen.button = shown.pixel(button.left - outer.left + 5, button.top - outer.top + 5);
    // Left to the box's own loop, which handles the dialog keys.
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(GetFocus(), WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001));
}

TEST(MessageBoxSkin, BoxesShowTheSkinAndStillCloseByEnter) {
    auto services = platform::system_services();
    toolkit::Application application(services.boxes);
    application.set_title("Зорелия");
    toolkit::SkinManager skin = toolkit::SkinManager::from_resource(L"SKIN");
    application.set_skin(skin);
    struct Case {
        std::function<void()> show;
        bool whole_box;  // the error icon has light pixels of its own
    };
    const Case cases[] = {
        {[&] { application.show_message("Сначало подсоедините первый джойстик"); }, true},
        {[&] { application.dispatch([] { throw std::runtime_error("Файл занят"); }); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.whole_box ? "plain" : "error");
        SeenBox seen;
        test::run_later([&] { look_then_press_enter(seen, c.whole_box); }, 150);
        // Should Enter fail, the box is closed after a while all the same.
        test::run_later(
            [] {
                if (HWND box = FindWindowW(L"#32770", L"Зорелия"))
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
            },
            5000);
        const auto start = GetTickCount64();
        c.show();
        EXPECT_LT(GetTickCount64() - start, 4000u) << "Enter did not close the box";
        ASSERT_TRUE(seen.found);
        EXPECT_FALSE(seen.system_look);
        EXPECT_EQ(seen.background, skin.color(Section::form, Property::face));
        // Active or not, as the system tells the box: another program may hold the
        // foreground while the tests run.
        EXPECT_TRUE(seen.caption == skin.color(Section::caption, Property::face) ||
                    seen.caption ==
                        skin.color(Section::caption, Property::face, toolkit::State::inactive))
            << std::hex << seen.caption;
        EXPECT_EQ(seen.button, skin.color(Section::button, Property::face));
    }
}

}  // namespace
