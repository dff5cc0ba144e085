// The Win32 services: the running executable's path, message boxes, and the real
// launcher.exe started from elsewhere, pressing Enter to start the game beside it.

#include "platform/win32/services.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "kit/text.h"
#include "kit_test.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

TEST(ServicesTest, RunningExecutablePathIsTheFullPathOfThisProgram) {
    wchar_t expected[4096]{};
    GetModuleFileNameW(nullptr, expected, 4096);
    const std::string path = platform::running_executable_path();
    EXPECT_EQ(path, kit::text::narrow(expected));
    EXPECT_TRUE(path.ends_with("\\launcher_win_tests.exe"));
}

TEST(ServicesTest, PrimaryScreenIsTheDisplayModeInPixels) {
    // Wine scales no metrics for DPI, so the unscaled metrics must agree with the mode.
    const platform::ScreenSize size = platform::system_services().screen.primary_size();
    EXPECT_EQ(size.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(size.height, GetSystemMetrics(SM_CYSCREEN));
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    ASSERT_TRUE(EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(size.width, static_cast<int>(mode.dmPelsWidth));
    EXPECT_EQ(size.height, static_cast<int>(mode.dmPelsHeight));
}

// The message box on screen: its text, whether it shows an icon, how many buttons it has.
struct SeenBox {
    bool found = false;
    std::wstring text;
    bool icon = false;
    int buttons = 0;
};

BOOL CALLBACK inspect_child(HWND child, LPARAM data) {
    auto& seen = *reinterpret_cast<SeenBox*>(data);
    wchar_t class_name[32]{};
    GetClassNameW(child, class_name, 32);
    const std::wstring kind(class_name);
    if (_wcsicmp(class_name, L"Button") == 0) ++seen.buttons;
    if (_wcsicmp(class_name, L"Static") == 0 && IsWindowVisible(child) &&
        (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        SendMessageW(child, STM_GETICON, 0, 0) != 0)
        seen.icon = true;
    return TRUE;
}

// A pad that is absent, or was pulled out, holds no buttons: the gamepad dialog's live
// capture must not keep seeing the last press.
TEST(ServicesTest, FailedJoystickPollReportsNothingHeld) {
    platform::Services services = platform::system_services();
    platform::JoystickInfo info{1, 2, 3, 0xFFFF};
    EXPECT_NE(services.joystick.poll(15, info), 0u);  // no sixteenth pad here
    EXPECT_EQ(info.buttons, 0u);
    EXPECT_EQ(info.x, 0u);
}

TEST(ServicesTest, MessageBoxHasTheTitleTextAndOneOkButtonWithAnIconOnlyForErrors) {
    auto services = platform::system_services();
    struct Case {
        platform::BoxKind kind;
        bool icon;
    };
    for (const Case c :
         {Case{platform::BoxKind::plain, false}, Case{platform::BoxKind::error, true}}) {
        SCOPED_TRACE(c.icon ? "error" : "plain");
        SeenBox seen;
        test::run_later(
            [&] {
                HWND box = FindWindowW(L"#32770", L"Зорелия");
                if (!box) return;
                seen.found = true;
                seen.text = test::window_text(GetDlgItem(box, 0xFFFF));
                EnumChildWindows(box, inspect_child, reinterpret_cast<LPARAM>(&seen));
                SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            },
            100);
        services.boxes.show("Зорелия", "Сначало подсоедините первый джойстик", c.kind);
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.text, L"Сначало подсоедините первый джойстик");
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons, 1);
    }
}

std::wstring read_utf16(const fs::path& file) {
    const std::string bytes = kit_test::read_bytes(file);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

TEST(LauncherExeTest, StartedFromElsewhereItStartsTheGameInItsOwnFolder) {
    kit_test::TempFolder scratch("zorelia-exe-");
    const fs::path game = scratch.path() / L"Игра Зорелия";
    const fs::path elsewhere = scratch.path() / L"elsewhere";
    fs::create_directories(game);
    fs::create_directories(elsewhere);
    fs::copy_file(fs::path(LAUNCHER_EXE), game / L"launcher.exe");
    fs::copy_file(fs::path(GAME_STUB_EXE), game / L"GameMain-kb.exe");

    const auto run =
        kit_test::press_start_in_launcher((game / L"launcher.exe").wstring(), elsewhere.wstring());
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.shown);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exit_code, 0u);

    const fs::path report = game / L"started.txt";
    // The stand-in moves its report into place whole.
    ASSERT_TRUE(test::pump_until([&] { return fs::exists(report); }, 20000));
    const std::wstring started = read_utf16(report);
    const std::wstring folder = game.wstring();
    EXPECT_EQ(started, folder + L"\n" + folder + L"\\GameMain-kb.exe\n");
}

}  // namespace
