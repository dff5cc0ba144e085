// From the keyboard settings dialog to the patched game: the dialog in this process, the
// real shell starter, the real ostrel.exe and a stand-in GameMain.exe in a fresh folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "core/key_list.h"
#include "game_fixture.h"
#include "kit/atomic_file.h"
#include "kit_test.h"
#include "startup.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

using kit_test::host_path;
using kit_test::read_bytes;

// The whole file once it has reached `size` bytes, or what there is after `timeout`.
std::string wait_for_file(const fs::path& path, std::size_t size, std::chrono::seconds timeout) {
    std::string bytes;
    kit_test::wait_until(
        [&] {
            std::error_code error;
            if (!fs::exists(path, error) || fs::file_size(path, error) != size) return false;
            bytes = read_bytes(path);
            return bytes.size() == size;
        },
        timeout);
    return bytes;
}

class KeyboardEndToEnd : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / kit_test::path_from_utf8("Зорелия-игра-end-to-end");
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        const auto game = ostrel_test::make_game();
        std::ofstream(folder_ / "GameMain.exe", std::ios::binary)
            .write(reinterpret_cast<const char*>(game.data()),
                   static_cast<std::streamsize>(game.size()));
        fs::copy_file(host_path(SHIPPED_OSTREL_INI), folder_ / "ostrel.ini");
        fs::copy_file(host_path(OSTREL_EXE), folder_ / "ostrel.exe");
    }
    void TearDown() override {
        // ostrel may still be ending: give it a moment to let go of its files.
        kit_test::wait_until(
            [&] {
                std::error_code error;
                fs::remove_all(folder_, error);
                return !error;
            },
            std::chrono::seconds(5));
    }

    fs::path folder_;
};

int row_of(std::string_view code) {
    return launcher::find_key_row(code).value();
}

TEST_F(KeyboardEndToEnd, ChosenKeysReachThePatchedGame) {
    test::FakeServices fakes;
    fakes.executable = kit_test::path_to_utf8(folder_ / "launcher.exe");
    // The shell's starter (ShellExecuteW); the rest is faked as in the other tests.
    launcher::Launcher launcher({fakes.joystick, platform::system_services().starter, fakes.screen,
                                 fakes.boxes, [&] { return fakes.executable; }, fakes.code_page});
    launcher.create_windows();
    launcher::TForm3& form3 = launcher.form3();

    HWND window = form3.handle();
    test::run_later([&] {
        SendMessageW(form3.sComboBox12.handle(), WM_KEYDOWN, VK_DOWN, 0);  // Up: UP -> PRIOR
        form3.sComboBox7.set_item_index(row_of("0x1E"));                   // A+B: A
        form3.sComboBox1.set_item_index(row_of("0x39"));                   // light: SPACE
        SendMessageW(form3.sButton1.handle(), BM_CLICK, 0, 0);
    });
    test::run_later([window] { PostMessageW(window, WM_CLOSE, 0, 0); }, 5000);
    ASSERT_EQ(form3.show_modal(), toolkit::ModalResult::ok);
    ASSERT_TRUE(fakes.boxes.shown.empty()) << fakes.boxes.shown[0].text;

    const std::string patched = wait_for_file(folder_ / "GameMain-kb.exe", ostrel_test::game_size,
                                              std::chrono::seconds(20));
    ASSERT_EQ(patched.size(), ostrel_test::game_size) << "ostrel wrote no GameMain-kb.exe";
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(patched.data()), patched.size());
    struct Field {
        const char* entry;
        std::uint32_t offset;
        std::uint32_t code;
    };
    const Field fields[] = {
        {"KeyUp, chosen", 0x5669, 0xC9},   {"KeyAB, chosen", 0x60E62, 0x1E},
        {"KeyA, chosen", 0x56AD, 0x39},    {"KeyDown, as shipped", 0x567A, 0xD0},
        {"KeyBC, as shipped", 0x60E73, 0}, {"KeyStart, as shipped", 0x5743, 0x11},
    };
    for (const auto& field : fields)
        EXPECT_EQ(ostrel_test::get_u32(bytes, field.offset), ostrel_test::displacement + field.code)
            << field.entry;
}

}  // namespace
