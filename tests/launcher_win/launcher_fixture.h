#pragma once

// The launcher as the window tests meet it: its real windows, made in a fresh folder that
// serves as the application directory, with fake services. A starter records each start with
// what ostrel.ini held at that moment.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kit_test.h"
#include "recording_starter.h"
#include "startup.h"
#include "test_support.h"

namespace test {

class LauncherTest : public testing::Test {
  protected:
    LauncherTest() : folder_("Зорелия-"), starter_(folder_ / "ostrel.ini"), launcher_(services()) {
        launcher_.create_windows();
    }

    // A file of the application directory.
    std::filesystem::path file(std::string_view name) const { return folder_ / name; }
    // The application directory, with its trailing separator.
    std::string directory() const { return folder_.directory(); }
    // Replaces a file of the application directory with these lines, each ended by CR LF.
    void write_lines(std::string_view name, const std::vector<std::string>& lines) const {
        ASSERT_FALSE(kit_test::replace_file_atomically(file(name), kit_test::crlf_text(lines)));
    }

    // The name of the control of `form` that has the focus; empty for none of its controls.
    static std::string focused(const toolkit::Form& form) {
        const auto* control = form.find_control(GetFocus());
        return control ? control->name() : "";
    }
    static void press(const toolkit::Control& button) {
        SendMessageW(button.handle(), BM_CLICK, 0, 0);
    }
    // The player picks the next item of a list with the keyboard.
    static void pick_next(const toolkit::ComboBox& combo) {
        SendMessageW(combo.handle(), WM_KEYDOWN, VK_DOWN, 0);
    }

    test::FakeServices fakes;
    kit_test::TempFolder folder_;
    kit_test::RecordingStarter starter_;
    launcher::Launcher launcher_;

  private:
    platform::Services services() {
        fakes.executable = kit_test::path_to_utf8(folder_ / "launcher.exe");
        platform::Services services = fakes.services();
        return {services.joystick,        starter_,          services.screen, services.boxes,
                services.executable_path, services.code_page};
    }
};

// One settings dialog of that launcher, shown modally by the test itself.
template <class Dialog, Dialog& (launcher::Launcher::*pick)()>
class DialogTest : public LauncherTest {
  protected:
    DialogTest() : dialog_((launcher_.*pick)()) {}

    // Shows the dialog; `inside` runs from its modal loop and should close it.
    toolkit::ModalResult show_dialog(std::function<void()> inside) {
        return test::show_modal_running(dialog_, std::move(inside));
    }
    toolkit::ModalResult open_and_close() {
        return show_dialog([this] { PostMessageW(dialog_.handle(), WM_CLOSE, 0, 0); });
    }
    std::string focused() const { return LauncherTest::focused(dialog_); }

    Dialog& dialog_;
};

}  // namespace test
