// The launcher's start-up and main window, driven as real windows with fake services.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "startup.h"
#include "test_support.h"

namespace {

using platform::BoxKind;

class MainWindowTest : public testing::Test {
  protected:
    MainWindowTest() : launcher(fakes.services()) { launcher.create_windows(); }

    // Runs the launcher's loop, ending it after a while should the test's keys go astray.
    void run_launcher() {
        test::run_later([this] { PostMessageW(form1().handle(), WM_CLOSE, 0, 0); }, 5000);
        launcher.run();
    }

    launcher::TForm1& form1() { return launcher.form1(); }
    const launcher::LauncherState& state() { return launcher.context().state; }

    // Counts the showings of a dialog; each closes itself from inside its modal loop after
    // `inside` has looked around.
    void watch_showings(toolkit::Form& dialog, std::function<void()> inside = {}) {
        dialog.on_show = [this, &dialog, inside] {
            ++showings;
            test::run_later([&dialog, inside] {
                if (inside) inside();
                PostMessageW(dialog.handle(), WM_CLOSE, 0, 0);
            });
        };
    }

    test::FakeServices fakes;
    launcher::Launcher launcher;
    int showings = 0;
};

TEST_F(MainWindowTest, WindowHasItsLayout) {
    HWND window = form1().handle();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 256);
    EXPECT_EQ(client.bottom, 356);
    EXPECT_EQ(test::window_text(window), L"Зорелия");
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

    struct Expected {
        toolkit::Button& button;
        const wchar_t* caption;
        RECT bounds;
    };
    const Expected buttons[] = {
        {form1().sButton5, L"Запустить", {84, 324, 164, 349}},
        {form1().sButton1, L"Геймпад 1", {43, 262, 124, 287}},
        {form1().sButton2, L"Клавиатура", {43, 293, 123, 318}},
        {form1().sButton3, L"Геймпад 2", {131, 262, 213, 287}},
        {form1().sButton4, L"Экран", {131, 293, 213, 318}},
    };
    for (const auto& expected : buttons) {
        SCOPED_TRACE(expected.button.name());
        EXPECT_EQ(test::window_text(expected.button.handle()), expected.caption);
        RECT bounds{};
        GetWindowRect(expected.button.handle(), &bounds);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bounds), 2);
        EXPECT_TRUE(EqualRect(&bounds, &expected.bounds));
    }
    const RECT picture = form1().Image1.bounds();
    EXPECT_EQ(picture.left, 0);
    EXPECT_EQ(picture.top, 0);
    EXPECT_EQ(picture.right, 256);
    EXPECT_EQ(picture.bottom, 256);
}

TEST_F(MainWindowTest, PortraitIsDrawnWithItsTransparency) {
    form1().show();
    test::settle();
    const COLORREF face =
        form1().sSkinManager1.color(toolkit::Section::form, toolkit::Property::face);
    // The portrait's corner is fully transparent; its middle is not.
    EXPECT_EQ(test::screen_pixel(form1().handle(), 0, 0), face);
    EXPECT_EQ(test::screen_pixel(form1().handle(), 255, 255), face);
    EXPECT_NE(test::screen_pixel(form1().handle(), 128, 128), face);
}

TEST_F(MainWindowTest, TabVisitsTheButtonsInTheirOrderAndWraps) {
    form1().show();
    ASSERT_EQ(GetFocus(), form1().sButton5.handle());
    const toolkit::Button* order[] = {&form1().sButton1, &form1().sButton2, &form1().sButton3,
                                      &form1().sButton4, &form1().sButton5};
    for (const auto* next : order) {
        test::press_key(GetFocus(), VK_TAB);
        EXPECT_EQ(GetFocus(), next->handle()) << next->name();
    }
    test::press_key(GetFocus(), VK_DOWN);
    EXPECT_EQ(GetFocus(), form1().sButton1.handle());
    test::press_key(GetFocus(), VK_UP);
    EXPECT_EQ(GetFocus(), form1().sButton5.handle());
}

TEST_F(MainWindowTest, EnterAtStartStartsTheGameAndEndsTheLauncher) {
    HWND focused_at_start = nullptr;
    test::run_later([&] {
        focused_at_start = GetFocus();
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    });
    run_launcher();

    EXPECT_EQ(focused_at_start, form1().sButton5.handle());
    EXPECT_EQ(state().application_directory, "C:\\Игры\\Зорелия\\");
    ASSERT_EQ(fakes.starter.started.size(), 1u);
    EXPECT_EQ(fakes.starter.started[0].program, "C:\\Игры\\Зорелия\\GameMain-kb.exe");
    EXPECT_EQ(fakes.starter.started[0].working_directory, "C:\\Игры\\Зорелия\\");
    EXPECT_FALSE(IsWindowVisible(form1().handle()));
}

TEST_F(MainWindowTest, CloseBoxEndsTheLauncherWithoutStartingAnything) {
    test::run_later([&] { PostMessageW(form1().handle(), WM_CLOSE, 0, 0); });
    run_launcher();
    EXPECT_TRUE(fakes.starter.started.empty());
}

TEST_F(MainWindowTest, MissingPadShowsItsMessageAndOpensNothing) {
    struct Case {
        toolkit::Button& button;
        unsigned pad;
        const char* message;
    };
    const Case cases[] = {
        {form1().sButton1, 0, "Сначало подсоедините первый джойстик"},
        {form1().sButton3, 1, "Сначало подсоедините второй джойстик"},
    };
    watch_showings(launcher.form2());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        fakes.boxes.shown.clear();
        fakes.joystick.polled.clear();
        SendMessageW(c.button.handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(fakes.joystick.polled, std::vector<unsigned>{c.pad});
        ASSERT_EQ(fakes.boxes.shown.size(), 1u);
        EXPECT_EQ(fakes.boxes.shown[0].title, "Зорелия");
        EXPECT_EQ(fakes.boxes.shown[0].text, c.message);
        EXPECT_EQ(fakes.boxes.shown[0].kind, BoxKind::plain);
    }
    EXPECT_EQ(showings, 0);
    EXPECT_TRUE(state().current_pad_file.empty());
}

TEST_F(MainWindowTest, RefusedPadPressKeepsTheAcceptedPad) {
    fakes.joystick.results[1] = 0;  // only the second pad is there
    bool main_window_enabled_meanwhile = true;
    watch_showings(launcher.form2(),
                   [&] { main_window_enabled_meanwhile = IsWindowEnabled(form1().handle()); });

    SendMessageW(form1().sButton3.handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(showings, 1);
    EXPECT_FALSE(main_window_enabled_meanwhile);
    EXPECT_TRUE(IsWindowEnabled(form1().handle()));
    EXPECT_EQ(state().current_pad_number, 1u);
    EXPECT_EQ(state().current_pad_file, "C:\\Игры\\Зорелия\\Input2.ini");

    SendMessageW(form1().sButton1.handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(showings, 1);
    EXPECT_EQ(fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(state().current_pad_number, 1u);
    EXPECT_EQ(state().current_pad_file, "C:\\Игры\\Зорелия\\Input2.ini");
}

TEST_F(MainWindowTest, KeyboardAndScreenButtonsOpenTheirDialogsModally) {
    struct Case {
        toolkit::Button& button;
        toolkit::Form& dialog;
    };
    const Case cases[] = {{form1().sButton2, launcher.form3()},
                          {form1().sButton4, launcher.form4()}};
    form1().show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialog.name());
        showings = 0;
        bool dialog_visible = false;
        bool main_enabled = true;
        watch_showings(c.dialog, [&] {
            dialog_visible = IsWindowVisible(c.dialog.handle());
            main_enabled = IsWindowEnabled(form1().handle());
        });
        SendMessageW(c.button.handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(showings, 1);
        EXPECT_TRUE(dialog_visible);
        EXPECT_FALSE(main_enabled);
        EXPECT_FALSE(IsWindowVisible(c.dialog.handle()));
        EXPECT_TRUE(IsWindowEnabled(form1().handle()));
    }
    EXPECT_TRUE(fakes.joystick.polled.empty());
}

TEST_F(MainWindowTest, KeyboardDialogOpensCentredOverTheMainWindow) {
    form1().show();
    RECT dialog{};
    watch_showings(launcher.form3(), [&] { GetWindowRect(launcher.form3().handle(), &dialog); });
    SendMessageW(form1().sButton2.handle(), BM_CLICK, 0, 0);
    RECT main{};
    GetWindowRect(form1().handle(), &main);
    EXPECT_NEAR((dialog.left + dialog.right) / 2, (main.left + main.right) / 2, 1);
    EXPECT_NEAR((dialog.top + dialog.bottom) / 2, (main.top + main.bottom) / 2, 1);
    RECT client{};
    GetClientRect(launcher.form3().handle(), &client);
    EXPECT_EQ(client.right, 425);
    EXPECT_EQ(client.bottom, 313);
}

}  // namespace

// The program's own start-up: the main window alone, then run. The main window is on screen
// before the dialogs are made; they exist, hidden and owned by it, by the time the loop
// handles its first message, and a dialog button works from then on.
TEST(LauncherStartUp, DialogsAreMadeOnceTheMainWindowShowsAndBeforeAnyInput) {
    test::FakeServices fakes;
    launcher::Launcher launcher(fakes.services());
    launcher.create_main_window();
    HWND main_window = launcher.form1().handle();
    ASSERT_NE(main_window, nullptr);
    EXPECT_FALSE(IsWindowVisible(main_window));

    bool main_visible = false;
    std::vector<HWND> dialogs;
    int showings = 0;
    test::run_later([&] {
        main_visible = IsWindowVisible(main_window);
        for (toolkit::Form* dialog : std::initializer_list<toolkit::Form*>{
                 &launcher.form2(), &launcher.form3(), &launcher.form4()}) {
            dialogs.push_back(dialog->handle());
            EXPECT_FALSE(IsWindowVisible(dialog->handle())) << dialog->name();
            EXPECT_EQ(GetWindow(dialog->handle(), GW_OWNER), main_window) << dialog->name();
        }
        launcher.form4().on_show = [&] {
            ++showings;
            test::run_later([&] { PostMessageW(launcher.form4().handle(), WM_CLOSE, 0, 0); });
        };
        SendMessageW(launcher.form1().sButton4.handle(), BM_CLICK, 0, 0);
        PostMessageW(main_window, WM_CLOSE, 0, 0);
    });
    test::run_later([main_window] { PostMessageW(main_window, WM_CLOSE, 0, 0); }, 5000);
    launcher.run();

    EXPECT_TRUE(main_visible);
    ASSERT_EQ(dialogs.size(), 3u);
    for (HWND dialog : dialogs) EXPECT_NE(dialog, nullptr);
    EXPECT_EQ(showings, 1);
    EXPECT_EQ(launcher.context().state.application_directory, "C:\\Игры\\Зорелия\\");
}
