// The dialogs as the player meets them over a run: opened from the main window with a key,
// closed with OK, "Отмена" or the close box, and opened again. The gamepad dialog captures
// into its first list at every opening; the other dialogs come back with the focus where the
// player left it. Pad ticks are sent to the dialog one by one, as its timer would send them.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "launcher_fixture.h"

namespace {

enum class Closing { ok, cancel, close_box };

struct ClosingCase {
    Closing closing;
    const char* name;
};

const ClosingCase closings[] = {
    {Closing::ok, "Ok"},
    {Closing::cancel, "Cancel"},
    {Closing::close_box, "CloseBox"},
};

void PrintTo(const ClosingCase& closing, std::ostream* out) {
    *out << closing.name;
}

std::string closing_name(const testing::TestParamInfo<ClosingCase>& info) {
    return info.param.name;
}

POINT middle(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

class ReopeningTest : public test::LauncherTest, public testing::WithParamInterface<ClosingCase> {
  protected:
    ReopeningTest() {
        fakes.joystick.results[0] = 0;  // gamepad 1 is there
        form1().show();
    }
    ~ReopeningTest() override {
        test::mouse_button(false);
        test::mouse_to({1000, 700});
    }

    launcher::TForm1& form1() { return launcher_.form1(); }
    launcher::TForm2& form2() { return launcher_.form2(); }

    // Presses `button` of the main window with the Space key, as the player would after
    // moving the focus there. The click shows `dialog` modally; `inside` runs from the
    // dialog's own loop once it is on screen and should close it.
    void open(toolkit::Button& button, toolkit::Form& dialog, const std::function<void()>& inside) {
        bool ran = false;
        test::run_later([&] {
            ASSERT_TRUE(test::pump_until([&] { return dialog.visible(); }));
            inside();
            ran = true;
        });
        HWND window = dialog.handle();
        test::run_later([window] { PostMessageW(window, WM_CLOSE, 0, 0); }, 10000);
        SetForegroundWindow(form1().handle());
        button.set_focus();
        // The key's handling runs the whole modal showing.
        test::press_key(button.handle(), VK_SPACE);
        EXPECT_TRUE(ran) << dialog.name() << " did not open";
        EXPECT_FALSE(dialog.visible());
    }

    // Tab, as the player presses it, until `target` has the focus.
    static void tab_to(const toolkit::Form& form, const toolkit::Control& target) {
        for (int presses = 0; presses < 30 && GetFocus() != target.handle(); ++presses)
            test::press_key(GetFocus(), VK_TAB);
        ASSERT_EQ(focused(form), target.name());
    }

    // Closes the dialog from inside its loop as the player would.
    static void close(toolkit::Form& dialog, Closing closing) {
        if (closing == Closing::close_box) {
            const RECT box = dialog.frame_layout().close;
            test::mouse_to(test::window_to_screen(dialog.handle(), middle(box)));
            test::mouse_button(true);
            test::mouse_button(false);
        } else {
            const auto& button =
                dialog.get<toolkit::Button>(closing == Closing::ok ? "sButton1" : "sButton2");
            tab_to(dialog, button);
            test::press_key(GetFocus(), VK_SPACE);
        }
        ASSERT_TRUE(
            test::pump_until([&] { return dialog.modal_result() != toolkit::ModalResult::none; }));
    }

    // One tick of the gamepad dialog's timer with `buttons` held on pad 1, through its window.
    void tick(std::uint32_t buttons) {
        fakes.joystick.buttons[0] = buttons;
        SendMessageW(form2().handle(), WM_TIMER, form2().Timer1.id(), 0);
        fakes.joystick.buttons[0] = 0;
    }
    std::size_t polls() const { return fakes.joystick.polled.size(); }
};

class GamepadReopeningTest : public ReopeningTest {};

TEST_P(GamepadReopeningTest, EveryOpeningCapturesAHeldButtonIntoTheFirstList) {
    const Closing closing = GetParam().closing;
    for (int opening = 1; opening <= 3; ++opening) {
        SCOPED_TRACE("opening " + std::to_string(opening));
        open(form1().sButton1, form2(), [&] {
            EXPECT_EQ(focused(form2()), "sComboBox1");
            const std::size_t before = polls();
            tick(0);
            EXPECT_GT(polls(), before) << "the pad is not polled";
            tick(1u << (opening + 1));  // button opening + 2
            EXPECT_EQ(form2().sComboBox1.item_index(), opening + 2);
            EXPECT_EQ(focused(form2()), "sComboBox2");
            close(form2(), closing);
        });
    }
}

INSTANTIATE_TEST_SUITE_P(Closings, GamepadReopeningTest, testing::ValuesIn(closings), closing_name);

// An opening that fails on its file leaves capture off and the focus where it was; the next
// good opening captures into the first list again.
TEST_F(ReopeningTest, OpeningThatFailsLeavesCaptureOffUntilTheNextOpening) {
    const auto pad_file = file("Input1.ini");
    open(form1().sButton1, form2(), [&] { close(form2(), Closing::ok); });

    ASSERT_FALSE(kit_test::replace_file_atomically(pad_file, "Generic   USB   Joystick\r\n"));
    fakes.boxes.shown.clear();
    open(form1().sButton1, form2(), [&] {
        ASSERT_EQ(fakes.boxes.shown.size(), 1u);
        EXPECT_EQ(fakes.boxes.shown[0].text, "List index out of bounds (1)");
        EXPECT_EQ(focused(form2()), "sButton1");
        const int before_item = form2().sComboBox1.item_index();
        const std::size_t before = polls();
        form2().sComboBox1.set_focus();
        tick(1u << 4);
        EXPECT_EQ(polls(), before) << "capture runs after a failed opening";
        EXPECT_EQ(form2().sComboBox1.item_index(), before_item);
        close(form2(), Closing::cancel);
    });

    ASSERT_FALSE(kit_test::replace_file_atomically(
        pad_file, "Generic   USB   Joystick\r\n4 1 2 7 9 10 6 5 8 \r\n"));
    open(form1().sButton1, form2(), [&] {
        EXPECT_EQ(focused(form2()), "sComboBox1");
        tick(1u << 6);
        EXPECT_EQ(form2().sComboBox1.item_index(), 7);
        close(form2(), Closing::cancel);
    });
}

// The keyboard and display dialogs choose no control at their opening: a dialog that is only
// hidden comes back with the focus on the control the player left it on.
struct OtherDialog {
    const char* name;
    // The main window's button that opens it, and the dialog.
    toolkit::Button& (*button)(launcher::TForm1&);
    toolkit::Form& (*dialog)(launcher::Launcher&);
};

class OtherDialogReopeningTest : public ReopeningTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::copy_file(kit_test::host_path(SHIPPED_OSTREL_INI),
                                               file("ostrel.ini")));
    }
    void expect_focus_kept(const OtherDialog& other, Closing closing) {
        SCOPED_TRACE(other.name);
        toolkit::Button& button = other.button(form1());
        toolkit::Form& dialog = other.dialog(launcher_);
        std::string left_on;
        open(button, dialog, [&] {
            // Somewhere other than the first tab stop, then closed from there.
            test::press_key(GetFocus(), VK_TAB);
            test::press_key(GetFocus(), VK_TAB);
            close(dialog, closing);
            left_on = focused(dialog);
        });
        ASSERT_FALSE(left_on.empty());
        open(button, dialog, [&] {
            EXPECT_EQ(focused(dialog), left_on);
            close(dialog, Closing::cancel);
        });
    }
};

const OtherDialog other_dialogs[] = {
    {"keyboard", [](launcher::TForm1& form) -> toolkit::Button& { return form.sButton2; },
     [](launcher::Launcher& launcher) -> toolkit::Form& { return launcher.form3(); }},
    {"display", [](launcher::TForm1& form) -> toolkit::Button& { return form.sButton4; },
     [](launcher::Launcher& launcher) -> toolkit::Form& { return launcher.form4(); }},
};

TEST_P(OtherDialogReopeningTest, FocusComesBackWhereThePlayerLeftIt) {
    for (const OtherDialog& other : other_dialogs) expect_focus_kept(other, GetParam().closing);
}

INSTANTIATE_TEST_SUITE_P(Closings, OtherDialogReopeningTest, testing::ValuesIn(closings),
                         closing_name);

}  // namespace
