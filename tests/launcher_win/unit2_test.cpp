// The gamepad settings dialog as a real window under a real launcher, with its pad settings
// file in a fresh folder and a fake pad whose held buttons the test sets. Live capture is
// driven tick by tick, as the dialog's timer would.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "kit/atomic_file.h"
#include "kit_test.h"
#include "launcher_fixture.h"

namespace {

namespace fs = std::filesystem;
using platform::BoxKind;
using toolkit::ModalResult;

using kit_test::read_bytes;

constexpr unsigned pad = 1;  // gamepad 2

using test::settle;

class GamepadDialogTest : public test::DialogTest<launcher::TForm2, &launcher::Launcher::form2> {
  protected:
    GamepadDialogTest() {
        auto& state = launcher_.context().state;
        state.current_pad_number = pad;
        state.current_pad_file = kit_test::path_to_utf8(file());
        fakes.joystick.results[pad] = 0;
    }
    void close_box() const { PostMessageW(form2.handle(), WM_CLOSE, 0, 0); }

    fs::path file() const { return LauncherTest::file("Input2.ini"); }
    void write(const std::string& bytes) const {
        ASSERT_FALSE(kit_test::replace_file_atomically(file(), bytes));
    }

    // What each list shows: its item's text, empty for no selection.
    std::vector<std::string> shown() const {
        std::vector<std::string> texts;
        for (int position = 0; position < 9; ++position) {
            const auto& list = form2.list_of(position);
            texts.push_back(list.item_index() < 0 ? "" : list.item(list.item_index()));
        }
        return texts;
    }
    std::vector<int> indexes() const {
        std::vector<int> result;
        for (int position = 0; position < 9; ++position)
            result.push_back(form2.list_of(position).item_index());
        return result;
    }
    // One tick of live capture with `buttons` held on the pad.
    void tick(std::uint32_t buttons) {
        fakes.joystick.buttons[pad] = buttons;
        form2.Timer1.on_timer();
    }

    launcher::TForm2& form2 = dialog_;
};

const std::vector<std::string> default_shown = {"Кнопка 4", "Кнопка 1", "Кнопка 2",
                                                "Кнопка 7", "Кнопка 9", "Кнопка 10",
                                                "Кнопка 6", "Кнопка 5", "Кнопка 8"};

TEST_F(GamepadDialogTest, WindowHasItsLayout) {
    HWND window = form2.handle();
    test::expect_dialog_frame(window, L"Настройка геймпада", 240, 343);
    EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);

    // The window icon, as the backdrop of the first group: painted before its labels.
    EXPECT_EQ(form2.icon_picture().width(), 128);
    EXPECT_EQ(form2.Image1.picture().width(), 128);
    EXPECT_EQ(form2.Image1.picture().height(), 128);
    EXPECT_EQ(form2.Image1.parent(), &form2.sGroupBox1);
    EXPECT_EQ(form2.Image1.bounds().left, 51);
    EXPECT_EQ(form2.Image1.bounds().top, 33);
    bool image_seen = false;
    for (const auto& control : form2.controls()) {
        if (control.get() == &form2.Image1) image_seen = true;
        if (control->kind() == toolkit::ControlKind::label) {
            EXPECT_TRUE(image_seen) << control->name() << " lies under the picture";
        }
    }

    const test::Placed placed[] = {
        {"sGroupBox1", nullptr, L"Основные", {8, 8, 232, 196}},
        {"sGroupBox2", nullptr, L"Дополнительные", {8, 202, 232, 305}},
        {"sButton1", nullptr, L"OK", {41, 311, 116, 336}},
        {"sButton2", nullptr, L"Отмена", {123, 311, 198, 336}},
        {"sComboBox1", "sGroupBox1", nullptr, {111, 21, 208, 0}},
        {"sComboBox2", "sGroupBox1", nullptr, {111, 48, 208, 0}},
        {"sComboBox3", "sGroupBox1", nullptr, {111, 75, 208, 0}},
        {"sComboBox4", "sGroupBox1", nullptr, {111, 102, 208, 0}},
        {"sComboBox5", "sGroupBox1", nullptr, {111, 129, 208, 0}},
        {"sComboBox6", "sGroupBox1", nullptr, {111, 156, 208, 0}},
        {"sComboBox7", "sGroupBox2", nullptr, {111, 17, 208, 0}},
        {"sComboBox8", "sGroupBox2", nullptr, {111, 44, 208, 0}},
        {"sComboBox9", "sGroupBox2", nullptr, {111, 71, 208, 0}},
    };
    test::expect_placed(form2, placed);
    EXPECT_FALSE(form2.sButton1.default_button());
    EXPECT_FALSE(form2.sButton2.default_button());

    struct Labelled {
        const char* name;
        const toolkit::GroupBox& parent;
        const char* caption;
        int top;
    };
    const Labelled labels[] = {
        {"sLabel1", form2.sGroupBox1, "Легкая атака", 24},
        {"sLabel2", form2.sGroupBox1, "Средняя атака", 52},
        {"sLabel3", form2.sGroupBox1, "Тяжелая атака", 78},
        {"sLabel4", form2.sGroupBox1, "Замена", 105},
        {"sLabel5", form2.sGroupBox1, "Насмешка", 132},
        {"sLabel6", form2.sGroupBox1, "Пауза", 158},
        {"sLabel7", form2.sGroupBox2, "A+ B", 21},
        {"sLabel8", form2.sGroupBox2, "B+C (Захват)", 47},
        {"sLabel9", form2.sGroupBox2, "A+ B+ C", 74},
    };
    for (const auto& expected : labels) {
        SCOPED_TRACE(expected.name);
        const auto& label = form2.control(expected.name);
        EXPECT_EQ(label.parent(), &expected.parent);
        EXPECT_EQ(label.caption(), expected.caption);
        EXPECT_EQ(label.bounds().right, 105);
        EXPECT_EQ(label.bounds().top, expected.top);
    }

    // Thirteen button items in every list, "Не задано" chosen at creation.
    for (int position = 0; position < 9; ++position) {
        const auto& list = form2.list_of(position);
        SCOPED_TRACE(list.name());
        EXPECT_EQ(GetWindowLongW(list.handle(), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
        ASSERT_EQ(list.count(), 13);
        EXPECT_EQ(list.item(0), "Не задано");
        for (int button = 1; button <= 12; ++button)
            EXPECT_EQ(list.item(button), "Кнопка " + std::to_string(button));
        EXPECT_EQ(list.item_index(), 0);
    }
    EXPECT_EQ(form2.Timer1.interval(), 100u);
    EXPECT_FALSE(form2.Timer1.enabled());
}

TEST_F(GamepadDialogTest, PictureShowsBehindTheFirstGroupsLabelsAndLists) {
    show_dialog([&] {
        settle();
        HWND group = form2.sGroupBox1.handle();
        const COLORREF face = launcher_.form1().sSkinManager1.color(toolkit::Section::group_box,
                                                                    toolkit::Property::face);
        // Between the labels and left of the lists, the pad's body shows.
        EXPECT_NE(test::screen_pixel(group, 71, 97), face);
        // A list covers the picture with its own field.
        EXPECT_EQ(test::screen_pixel(form2.sComboBox3.handle(), 4, 4), RGB(26, 26, 26));
        close_box();
    });
}

TEST_F(GamepadDialogTest, TabVisitsTheNineListsThenTheButtonsAndWraps) {
    show_dialog([&] {
        ASSERT_EQ(focused(), "sComboBox1");
        std::vector<std::string> order;
        for (int step = 0; step < 11; ++step) {
            test::press_key(GetFocus(), VK_TAB);
            order.push_back(focused());
        }
        EXPECT_EQ(order,
                  (std::vector<std::string>{"sComboBox2", "sComboBox3", "sComboBox4", "sComboBox5",
                                            "sComboBox6", "sComboBox7", "sComboBox8", "sComboBox9",
                                            "sButton1", "sButton2", "sComboBox1"}));
        close_box();
    });
}

TEST_F(GamepadDialogTest, WithoutFileTheDefaultsShowCancelWritesNothingAndOkCreatesTheFile) {
    for (int position = 0; position < 9; ++position) form2.list_of(position).set_item_index(12);
    std::vector<std::string> at_cancel;
    EXPECT_EQ(show_dialog([&] {
                  at_cancel = shown();
                  form2.sComboBox1.set_item_index(3);
                  press(form2.sButton2);
              }),
              ModalResult::cancel);
    EXPECT_EQ(at_cancel, default_shown);
    EXPECT_FALSE(fs::exists(file()));

    EXPECT_EQ(show_dialog([&] { press(form2.sButton1); }), ModalResult::ok);
    EXPECT_FALSE(IsWindowVisible(form2.handle()));
    EXPECT_EQ(read_bytes(file()), "Generic   USB   Joystick\r\n4 1 2 7 9 10 6 5 8 \r\n");
    EXPECT_TRUE(fakes.boxes.shown.empty());
}

TEST_F(GamepadDialogTest, OkKeepsTheDeviceNameAndWritesTheListsIndexes) {
    write("  My own pad\t\r\n4 13 2 7 9 10 6 5 8 11 \r\nkept\r\n");
    std::vector<std::string> seen;
    show_dialog([&] {
        seen = shown();
        form2.sComboBox1.set_item_index(0);
        form2.sComboBox9.set_item_index(12);
        press(form2.sButton1);
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"Кнопка 4", "", "Кнопка 2", "Кнопка 7", "Кнопка 9",
                                              "Кнопка 10", "Кнопка 6", "Кнопка 5", "Кнопка 8"}));
    EXPECT_EQ(read_bytes(file()), "  My own pad\t\r\n0 -1 2 7 9 10 6 5 12 \r\nkept\r\n");
    // Reopened, the list without a selection stays so.
    show_dialog([&] { close_box(); });
    EXPECT_EQ(form2.sComboBox2.item_index(), -1);
}

TEST_F(GamepadDialogTest, CloseBoxWritesNothingAndStopsTheCapture) {
    write("My pad\r\n1 2 3 4 5 6 7 8 9 \r\n");
    bool running = false;
    show_dialog([&] {
        running = form2.Timer1.enabled();
        form2.sComboBox1.set_item_index(7);
        close_box();
    });
    EXPECT_TRUE(running);
    EXPECT_FALSE(form2.Timer1.enabled());
    EXPECT_EQ(read_bytes(file()), "My pad\r\n1 2 3 4 5 6 7 8 9 \r\n");
}

TEST_F(GamepadDialogTest, HighestHeldButtonGoesIntoTheFocusedListAndTheFocusMovesOn) {
    fakes.joystick.polled.clear();
    std::vector<std::string> after;
    std::vector<int> selections;
    int polls = 0;
    show_dialog([&] {
        form2.sComboBox3.set_focus();
        tick(0);  // nothing held: no change, the focus stays
        after.push_back(focused());
        tick(0x12);  // buttons 2 and 5
        after.push_back(focused());
        // Held through three ticks: three lists take it.
        form2.sComboBox5.set_focus();
        tick(0x1);
        tick(0x1);
        tick(0x1);
        after.push_back(focused());
        // Only a button above 12: no selection, but the focus moves on.
        tick(0x1000);
        after.push_back(focused());
        selections = indexes();
        polls = static_cast<int>(fakes.joystick.polled.size());
        close_box();
    });
    EXPECT_EQ(after,
              (std::vector<std::string>{"sComboBox3", "sComboBox4", "sComboBox8", "sComboBox9"}));
    EXPECT_EQ(selections, (std::vector<int>{4, 1, 5, 7, 1, 1, 1, 5, 8}));
    // One poll per tick, of the current pad.
    EXPECT_EQ(polls, 6);
    EXPECT_EQ(fakes.joystick.polled, std::vector<unsigned>(6, pad));
}

TEST_F(GamepadDialogTest, CaptureIntoTheLastListMovesToOkWhereTicksPollNothing) {
    fakes.joystick.polled.clear();
    std::vector<std::string> after;
    show_dialog([&] {
        form2.sComboBox9.set_focus();
        tick(0x4);
        after.push_back(focused());
        tick(0x8);
        form2.sButton2.set_focus();
        tick(0x8);
        after.push_back(focused());
        close_box();
    });
    EXPECT_EQ(after, (std::vector<std::string>{"sButton1", "sButton2"}));
    EXPECT_EQ(form2.sComboBox9.item_index(), 3);
    EXPECT_EQ(fakes.joystick.polled.size(), 1u);
    // Hidden, the dialog's timer is stopped; it polls nothing.
    EXPECT_FALSE(form2.Timer1.enabled());
}

TEST_F(GamepadDialogTest, PlayersChoiceMovesTheFocusOn) {
    std::vector<std::string> after;
    show_dialog([&] {
        form2.sComboBox2.set_focus();
        SendMessageW(form2.sComboBox2.handle(), WM_KEYDOWN, VK_DOWN, 0);
        after.push_back(focused());

        // An open list: each item the arrow keys reach is a choice too.
        form2.sComboBox4.set_focus();
        SendMessageW(form2.sComboBox4.handle(), CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageW(form2.sComboBox4.handle(), WM_KEYDOWN, VK_UP, 0);
        after.push_back(focused());
        close_box();
    });
    EXPECT_EQ(after, (std::vector<std::string>{"sComboBox3", "sComboBox5"}));
    EXPECT_EQ(form2.sComboBox2.item_index(), 2);
    EXPECT_EQ(form2.sComboBox4.item_index(), 6);
    EXPECT_EQ(SendMessageW(form2.sComboBox4.handle(), CB_GETDROPPEDSTATE, 0, 0), FALSE);
}

TEST_F(GamepadDialogTest, OneLineFileFailsAtOpeningAndAtOkAndStaysAsItWas) {
    write("My pad\r\n");
    std::vector<bool> visible_at_error;
    fakes.boxes.while_shown = [&] {
        visible_at_error.push_back(IsWindowVisible(form2.handle()) != FALSE);
    };
    bool running = true;
    const ModalResult result = show_dialog([&] {
        running = form2.Timer1.enabled();
        press(form2.sButton1);
    });
    ASSERT_EQ(fakes.boxes.shown.size(), 2u);
    for (const auto& box : fakes.boxes.shown) {
        EXPECT_EQ(box.text, "List index out of bounds (1)");
        EXPECT_EQ(box.kind, BoxKind::error);
    }
    EXPECT_EQ(visible_at_error, (std::vector<bool>{false, true}));
    EXPECT_FALSE(running);
    EXPECT_EQ(result, ModalResult::ok);
    EXPECT_EQ(read_bytes(file()), "My pad\r\n");
}

TEST_F(GamepadDialogTest, BadNumberStopsTheOpeningWithCaptureOff) {
    write("My pad\r\n3 3 3 3 3 3 3 3 3 \r\n");
    show_dialog([&] { close_box(); });
    write("My pad\r\n1 2 3 4 5 6 7 8 9\r\n");
    bool running = true;
    show_dialog([&] {
        running = form2.Timer1.enabled();
        close_box();
    });
    ASSERT_EQ(fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(fakes.boxes.shown[0].text, "'''' is not a valid integer value.");
    EXPECT_FALSE(running);
    EXPECT_EQ(indexes(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 3}));
}

TEST_F(GamepadDialogTest, EmptyFileFailsAtOpeningAndOkWritesBothLines) {
    write("");
    show_dialog([&] { press(form2.sButton1); });
    ASSERT_EQ(fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(fakes.boxes.shown[0].text, "List index out of bounds (1)");
    // The lists still show "Не задано", as they were made.
    EXPECT_EQ(read_bytes(file()), "Generic   USB   Joystick\r\n0 0 0 0 0 0 0 0 0 \r\n");
}

TEST_F(GamepadDialogTest, SecondPadButtonOpensTheDialogForInput2) {
    launcher_.context().state.current_pad_file.clear();
    fakes.joystick.polled.clear();
    std::string file_seen;
    launcher_.form1().show();
    test::run_later([&] {
        file_seen = launcher_.context().state.current_pad_file;
        form2.sComboBox1.set_focus();
        tick(0x2);
        close_box();
    });
    SendMessageW(launcher_.form1().sButton3.handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(file_seen, kit_test::path_to_utf8(file()));
    // The main window's presence test, then the tick: both of pad 2.
    EXPECT_EQ(fakes.joystick.polled, (std::vector<unsigned>{pad, pad}));
    EXPECT_EQ(form2.sComboBox1.item_index(), 2);
}

}  // namespace

namespace {

// A 32-bit bottom-up BMP of the canvas: enough for ImageMagick to turn into a PNG.
void save_bmp(const test::Canvas& canvas, const fs::path& path) {
    const auto pixels = canvas.pixels();
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = canvas.width();
    info.biHeight = canvas.height();
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD image_size = static_cast<DWORD>(pixels.size() * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + image_size;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    for (int y = canvas.height() - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const COLORREF color = canvas.pixel(x, y);
            const char bgra[4] = {static_cast<char>(GetBValue(color)),
                                  static_cast<char>(GetGValue(color)),
                                  static_cast<char>(GetRValue(color)), 0};
            out.write(bgra, 4);
        }
    }
}

}  // namespace

// The picture of the dialog for the README: capture has filled the first lists from the fake
// pad. With KIT_SHOTS_DIR set, the window is saved there as gamepad.bmp.
TEST_F(GamepadDialogTest, CapturedButtonsShowInTheDialogOnScreen) {
    std::vector<std::string> after_capture;
    std::optional<test::Canvas> picture;
    show_dialog([&] {
        for (const std::uint32_t held : {0x4u, 0x1u, 0x2u}) tick(held);  // buttons 3, 1, 2
        tick(0);  // let go, so that the dialog's own timer finds nothing held meanwhile
        settle();
        RECT frame{};
        GetWindowRect(form2.handle(), &frame);
        picture.emplace(frame.right - frame.left, frame.bottom - frame.top);
        picture->copy_screen({frame.left, frame.top});
        after_capture = shown();
        close_box();
    });
    EXPECT_EQ(after_capture,
              (std::vector<std::string>{"Кнопка 3", "Кнопка 1", "Кнопка 2", "Кнопка 7", "Кнопка 9",
                                        "Кнопка 10", "Кнопка 6", "Кнопка 5", "Кнопка 8"}));
    ASSERT_TRUE(picture);
    // The dialog, not the desktop behind it: its skin's face shows in the client area.
    EXPECT_FALSE(test::is_system_look(picture->pixel(picture->width() / 2, 40)));
    if (const char* folder = std::getenv("KIT_SHOTS_DIR"))
        save_bmp(*picture, fs::path(folder) / "gamepad.bmp");
}
