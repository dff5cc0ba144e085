// The windows' frames as the player sees them on screen: painted by the skin, active and
// inactive, with caption buttons that answer the mouse as the system's would, and client
// areas of exactly the laid-out sizes.

#include <gtest/gtest.h>

#include <array>

#include "startup.h"
#include "test_support.h"
#include "toolkit/application.h"
#include "toolkit/form.h"
#include "toolkit/skin_manager.h"

namespace {

using toolkit::CaptionButton;
using toolkit::ControlKind;
using toolkit::ControlSpec;
using toolkit::ModalResult;
using toolkit::Property;
using toolkit::Section;
using toolkit::State;

const toolkit::FormSpec main_spec{.name = "MainForm",
                                  .caption = "Зорелия",
                                  .client_width = 256,
                                  .client_height = 120,
                                  .placement = toolkit::Placement::desktop_center,
                                  .minimize_box = true};
const toolkit::FormSpec dialog_spec{.name = "Dialog",
                                    .caption = "Настройка графики",
                                    .client_width = 305,
                                    .client_height = 151,
                                    .placement = toolkit::Placement::main_form_center};
const std::array main_controls{ControlSpec{.kind = ControlKind::button,
                                           .name = "sButton1",
                                           .caption = "Запустить",
                                           .left = 84,
                                           .top = 80,
                                           .width = 80,
                                           .height = 25}};
const std::array dialog_controls{ControlSpec{.kind = ControlKind::button,
                                             .name = "sButton1",
                                             .caption = "OK",
                                             .left = 137,
                                             .top = 119,
                                             .width = 75,
                                             .height = 25,
                                             .modal_result = ModalResult::ok}};

using test::window_pixel;
using test::window_to_screen;

POINT middle(const RECT& area) {
    return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

using test::settle;

class WindowFrameTest : public testing::Test {
  protected:
    WindowFrameTest()
        : application(fakes.boxes),
          skin(toolkit::SkinManager::from_resource(L"SKIN")),
          main_form(application, main_spec, main_controls),
          dialog(application, dialog_spec, dialog_controls) {
        application.set_title("Зорелия");
        application.set_skin(skin);
        application.create_form(main_form);
        application.create_form(dialog);
        main_form.show();
        settle();
    }
    ~WindowFrameTest() override { mouse_release_far_away(); }

    void mouse_release_far_away() {
        test::mouse_button(false);
        test::mouse_to({1000, 700});
        settle();
    }

    COLORREF skin_color(Property property, State state = State::normal) const {
        return skin.color(Section::caption, property, state);
    }

    ModalResult show_modal(std::function<void()> inside) {
        return test::show_modal_running(dialog, std::move(inside), 8000);
    }

    test::FakeServices fakes;
    toolkit::Application application;
    toolkit::SkinManager skin;
    toolkit::Form main_form;
    toolkit::Form dialog;
};

TEST_F(WindowFrameTest, FrameOnScreenIsTheSkinsAndFollowsActivation) {
    HWND window = main_form.handle();
    const toolkit::FrameLayout layout = main_form.frame_layout();
    ASSERT_FALSE(IsRectEmpty(&layout.minimize));
    ASSERT_FALSE(IsRectEmpty(&layout.close));

    test::Canvas shown(layout.window.right, layout.window.bottom);
    shown.copy_screen(window_to_screen(window, {0, 0}));
    int frame_pixels = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const POINT at{x, y};
            if (PtInRect(&layout.client, at) || PtInRect(&layout.icon, at)) continue;
            ++frame_pixels;
            ASSERT_FALSE(test::is_system_look(shown.pixel(x, y))) << x << "," << y;
        }
    }
    EXPECT_GT(frame_pixels, 1000);
    const POINT bar{layout.caption.left, layout.caption.top + 1};
    EXPECT_EQ(shown.pixel(bar.x, bar.y), skin_color(Property::face));
    EXPECT_EQ(shown.pixel(0, 0), skin_color(Property::border));
    EXPECT_EQ(shown.pixel(layout.close.left, layout.close.top), skin_color(Property::close));

    // Another window taking the activation (moved aside, not to cover this one) leaves this
    // one's frame inactive, not the system's caption.
    dialog.show();
    SetWindowPos(dialog.handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    settle();
    EXPECT_EQ(window_pixel(window, bar), skin_color(Property::face, State::inactive));
    EXPECT_EQ(window_pixel(window, {0, 0}), skin_color(Property::border, State::inactive));
    EXPECT_EQ(window_pixel(dialog.handle(), bar), skin_color(Property::face));
    dialog.close();
    SetActiveWindow(window);
    settle();
    EXPECT_EQ(window_pixel(window, bar), skin_color(Property::face));
}

TEST_F(WindowFrameTest, CloseBoxLightsUpAndClosesTheDialogWithCancelOnlyWhenReleasedOnIt) {
    struct Seen {
        COLORREF normal, hot, pressed, pressed_elsewhere;
        bool open_after_release_elsewhere = false;
    } seen{};
    const ModalResult result = show_modal([&] {
        HWND window = dialog.handle();
        const RECT close = dialog.frame_layout().close;
        const POINT face{close.left + 1, close.top + 1};
        const POINT client_middle = middle(dialog.frame_layout().client);
        // The dialog reaches the screen after the modal loop starts (later under Wine 10 than
        // under Wine 8): read nothing before its frame shows.
        const POINT bar{dialog.frame_layout().caption.left, dialog.frame_layout().caption.top + 1};
        EXPECT_TRUE(test::pump_until([&] {
            return window_pixel(window, bar) == skin_color(Property::face);
        })) << "the dialog's caption never showed";
        seen.normal = window_pixel(window, face);
        test::mouse_to(window_to_screen(window, middle(close)));
        settle();
        seen.hot = window_pixel(window, face);
        test::mouse_button(true);
        settle();
        seen.pressed = window_pixel(window, face);
        test::mouse_to(window_to_screen(window, client_middle));
        settle();
        seen.pressed_elsewhere = window_pixel(window, face);
        test::mouse_button(false);
        settle();
        seen.open_after_release_elsewhere = dialog.modal_result() == ModalResult::none;

        test::mouse_to(window_to_screen(window, middle(close)));
        settle();
        test::mouse_button(true);
        test::mouse_button(false);
        test::pump_until([&] { return dialog.modal_result() != ModalResult::none; });
    });
    EXPECT_EQ(result, ModalResult::cancel);
    EXPECT_EQ(seen.normal, skin_color(Property::close));
    EXPECT_EQ(seen.hot, skin_color(Property::close, State::hot));
    EXPECT_EQ(seen.pressed, skin_color(Property::close, State::pressed));
    EXPECT_EQ(seen.pressed_elsewhere, skin_color(Property::close));
    EXPECT_TRUE(seen.open_after_release_elsewhere);
}

TEST_F(WindowFrameTest, AltF4StillClosesTheDialogWithCancel) {
    const ModalResult result = show_modal([&] {
        // As the keyboard posts Alt+F4: a system key with the Alt flag (bit 29).
        PostMessageW(dialog.handle(), WM_SYSKEYDOWN, VK_F4, 1 | 1 << 29);
        test::pump_until([&] { return dialog.modal_result() != ModalResult::none; });
    });
    EXPECT_EQ(result, ModalResult::cancel);
}

TEST_F(WindowFrameTest, MinimiseBoxMinimisesTheMainWindow) {
    HWND window = main_form.handle();
    const RECT minimize = main_form.frame_layout().minimize;
    test::mouse_to(window_to_screen(window, middle(minimize)));
    settle();
    EXPECT_EQ(main_form.frame_look().hot, CaptionButton::minimize);
    test::mouse_button(true);
    test::mouse_button(false);
    EXPECT_TRUE(test::pump_until([&] { return IsIconic(window) != FALSE; }));
    ShowWindow(window, SW_RESTORE);
}

TEST_F(WindowFrameTest, TitleBarStillDragsTheWindow) {
    HWND window = main_form.handle();
    RECT before{};
    GetWindowRect(window, &before);
    const toolkit::FrameLayout layout = main_form.frame_layout();
    const POINT grip{(layout.icon.right + layout.minimize.left) / 2, middle(layout.caption).y};
    const POINT start = window_to_screen(window, grip);
    test::mouse_to(start);
    settle();
    // The system's move loop reads the rest of the drag from the queue.
    test::run_later(
        [start] {
            test::mouse_to({start.x + 40, start.y + 30});
            test::mouse_button(false);
        },
        50);
    test::mouse_button(true);
    settle();
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 30);
}

TEST(LauncherFrames, ClientAreasKeepTheirLaidOutSizesAndTheirCaptionButtons) {
    test::FakeServices fakes;
    launcher::Launcher launcher(fakes.services());
    launcher.create_windows();
    struct Expected {
        toolkit::Form& form;
        SIZE client;
        bool minimize_box;
    };
    const Expected windows[] = {{launcher.form1(), {256, 356}, true},
                                {launcher.form3(), {425, 313}, false}};
    for (const auto& expected : windows) {
        SCOPED_TRACE(expected.form.name());
        RECT client{};
        GetClientRect(expected.form.handle(), &client);
        EXPECT_EQ(client.right, expected.client.cx);
        EXPECT_EQ(client.bottom, expected.client.cy);
        const toolkit::FrameLayout layout = expected.form.frame_layout();
        EXPECT_EQ(layout.client.right - layout.client.left, expected.client.cx);
        EXPECT_FALSE(IsRectEmpty(&layout.close));
        EXPECT_EQ(IsRectEmpty(&layout.minimize) == FALSE, expected.minimize_box);
    }
}

}  // namespace
