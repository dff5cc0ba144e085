// The display settings dialog as a real window under a real launcher, with game.ini in a
// fresh folder and a fake screen.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "kit/atomic_file.h"
#include "kit_test.h"
#include "launcher_fixture.h"

namespace {

namespace fs = std::filesystem;
using platform::BoxKind;
using toolkit::ModalResult;

using Lines = std::vector<std::string>;

using kit_test::crlf_text;
using kit_test::read_bytes;

// What the controls that game.ini feeds show, read with the standard messages.
struct Shown {
    bool windowed;
    bool full_screen;
    bool list_enabled;
    int size_item;
    bool no_scaling;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& shown, std::ostream* out) {
    *out << "{sm1 " << shown.windowed << ", sm2 " << shown.full_screen << ", list enabled "
         << shown.list_enabled << ", item " << shown.size_item << ", mm " << shown.no_scaling
         << "}";
}

class DisplayDialogTest : public test::DialogTest<launcher::TForm4, &launcher::Launcher::form4> {
  protected:
    void write_ini(const Lines& lines) const { write_lines("game.ini", lines); }
    fs::path ini() const { return file("game.ini"); }

    Shown shown() const {
        const auto checked = [](const toolkit::Control& control) {
            return SendMessageW(control.handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
        };
        return {checked(form4.sm1), checked(form4.sm2),
                IsWindowEnabled(form4.sComboBox1.handle()) != FALSE,
                static_cast<int>(SendMessageW(form4.sComboBox1.handle(), CB_GETCURSEL, 0, 0)),
                checked(form4.mm)};
    }

    launcher::TForm4& form4 = dialog_;
};

constexpr Shown initial{true, false, false, 0, false};

TEST_F(DisplayDialogTest, WindowHasItsLayoutAndInitialState) {
    HWND window = form4.handle();
    test::expect_dialog_frame(window, L"Настройка графики", 305, 151);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)),
              launcher_.application().big_icon());

    const test::Placed placed[] = {
        {"sGroupBox1", nullptr, L"Экран", {8, 8, 297, 113}},
        {"sComboBox1", "sGroupBox1", L"800 x 480 x 32bit", {129, 48, 274, 0}},
        {"sm1", "sGroupBox1", L"В окне", {16, 24, 75, 43}},
        {"sm2", "sGroupBox1", L"Во весь экран", {16, 49, 112, 68}},
        {"mm", "sGroupBox1", L"Не масштабировать", {16, 75, 145, 95}},
        {"sButton1", nullptr, L"OK", {137, 119, 212, 144}},
        {"sButton2", nullptr, L"Отмена", {218, 119, 293, 144}},
    };
    test::expect_placed(form4, placed);
    EXPECT_EQ(form4.sButton1.modal_result(), ModalResult::ok);
    EXPECT_EQ(form4.sButton2.modal_result(), ModalResult::cancel);
    EXPECT_FALSE(form4.sButton1.default_button());
    EXPECT_FALSE(form4.sButton2.default_button());

    EXPECT_EQ(form4.sLabel1.parent(), &form4.sGroupBox1);
    EXPECT_EQ(form4.sLabel1.caption(), "xxx x xxx");
    EXPECT_EQ(form4.sLabel1.bounds().left, 129);
    EXPECT_EQ(form4.sLabel1.bounds().top, 26);

    const LONG combo_style = GetWindowLongW(form4.sComboBox1.handle(), GWL_STYLE);
    EXPECT_EQ(combo_style & 3, CBS_DROPDOWNLIST);
    EXPECT_FALSE(combo_style & CBS_SORT);
    const std::vector<std::string> items = {"800 x 480 x 32bit", "800 x 600 x 32bit",
                                            "1024 x 768 x 32bit", "1280 x 720 x 32bit",
                                            "1600 x 900 x 32bit"};
    std::vector<std::string> listed;
    for (int item = 0; item < form4.sComboBox1.count(); ++item)
        listed.push_back(form4.sComboBox1.item(item));
    EXPECT_EQ(listed, items);
    EXPECT_EQ(shown(), initial);
}

TEST_F(DisplayDialogTest, LabelShowsTheScreenAtEveryOpeningAndFirstOkWritesTheDefaults) {
    fakes.screen.size = {1366, 768};
    std::string label;
    show_dialog([&] {
        label = form4.sLabel1.caption();
        press(form4.sButton1);
    });
    EXPECT_EQ(label, "1366 x 768 x 32bit");
    EXPECT_EQ(form4.sLabel1.bounds().left, 129);
    EXPECT_GT(form4.sLabel1.bounds().right - form4.sLabel1.bounds().left, 48);
    EXPECT_EQ(read_bytes(ini()), crlf_text({"0", "800", "480", "0"}));
    EXPECT_TRUE(fakes.boxes.shown.empty());

    // Whatever game.ini holds.
    fakes.screen.size = {640, 480};
    write_ini({"1", "1920", "1080", "1"});
    open_and_close();
    EXPECT_EQ(form4.sLabel1.caption(), "640 x 480 x 32bit");
}

TEST_F(DisplayDialogTest, FileSetsTheControlsAndOkWritesTheSameBytesBack) {
    struct Case {
        Lines lines;
        Shown shown;
    };
    const Case cases[] = {
        {{"1", "1280", "720", "1"}, {false, true, true, 3, true}},
        {{"0", "1600", "900", "0"}, {true, false, false, 4, false}},
        // A size the list does not offer selects nothing; OK keeps it.
        {{"1", "1920", "1080", "0"}, {false, true, true, -1, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines[1]);
        write_ini(c.lines);
        Shown seen{};
        const ModalResult result = show_dialog([&] {
            seen = shown();
            press(form4.sButton1);
        });
        EXPECT_EQ(result, ModalResult::ok);
        EXPECT_FALSE(IsWindowVisible(form4.handle()));
        EXPECT_EQ(seen, c.shown);
        EXPECT_EQ(read_bytes(ini()), crlf_text(c.lines));
    }
    EXPECT_TRUE(fakes.boxes.shown.empty());
}

TEST_F(DisplayDialogTest, ModeButtonsExcludeEachOtherAndSwitchTheList) {
    write_ini({"1", "1024", "768", "0"});
    std::vector<Shown> seen;
    show_dialog([&] {
        press(form4.sm1);
        seen.push_back(shown());
        press(form4.sm2);
        seen.push_back(shown());
        pick_next(form4.sComboBox1);  // 1024 x 768 -> 1280 x 720
        press(form4.sm1);
        press(form4.mm);
        seen.push_back(shown());
        press(form4.sButton1);
    });
    const std::vector<Shown> expected = {{true, false, false, 2, false},
                                         {false, true, true, 2, false},
                                         {true, false, false, 3, true}};
    EXPECT_EQ(seen, expected);
    // A window keeps the size chosen in the disabled list.
    EXPECT_EQ(read_bytes(ini()), crlf_text({"0", "1280", "720", "1"}));
}

TEST_F(DisplayDialogTest, CancelAndCloseBoxWriteNothingAndKeepThePlayersChanges) {
    struct Case {
        const char* what;
        std::function<void()> close;
    };
    const Case cases[] = {
        {"Отмена", [this] { press(form4.sButton2); }},
        {"close box", [this] { PostMessageW(form4.handle(), WM_CLOSE, 0, 0); }},
    };
    const Shown changed{false, true, true, 1, true};
    const auto change_and = [&](const Case& c) {
        return show_dialog([&] {
            press(form4.sm2);
            pick_next(form4.sComboBox1);
            press(form4.mm);
            c.close();
        });
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // With a file, the next opening shows the file's values again.
        write_ini({"0", "1024", "768", "0"});
        const std::string before = read_bytes(ini());
        EXPECT_EQ(change_and(c), ModalResult::cancel);
        EXPECT_EQ(read_bytes(ini()), before);
        EXPECT_EQ(shown(), (Shown{false, true, true, 3, true}));
        Shown reopened{};
        show_dialog([&] {
            reopened = shown();
            c.close();
        });
        EXPECT_EQ(reopened, (Shown{true, false, false, 2, false}));

        // Without one, it shows the cancelled choices.
        fs::remove(ini());
        form4.sm1.set_checked(true);
        form4.sComboBox1.set_enabled(false);
        form4.sComboBox1.set_item_index(0);
        form4.mm.set_checked(false);
        EXPECT_EQ(change_and(c), ModalResult::cancel);
        show_dialog([&] {
            reopened = shown();
            c.close();
        });
        EXPECT_EQ(reopened, changed);
        EXPECT_FALSE(fs::exists(ini()));
    }
    EXPECT_TRUE(fakes.boxes.shown.empty());
}

TEST_F(DisplayDialogTest, ShortFileShowsTheIndexErrorBeforeTheDialogWhichStillOpens) {
    struct Case {
        Lines lines;
        const char* error;
        Shown shown;  // from the full-screen state below
    };
    const Case cases[] = {
        {{}, "List index out of bounds (0)", {false, true, true, 3, true}},
        {{"0"}, "List index out of bounds (1)", {true, false, false, 3, true}},
        {{"0", "800", "600"}, "List index out of bounds (3)", {true, false, false, 1, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        write_ini({"1", "1280", "720", "1"});
        open_and_close();
        fakes.boxes.shown.clear();
        fakes.screen.size = {1024, 600};
        write_ini(c.lines);
        bool visible_at_error = true;
        fakes.boxes.while_shown = [&] { visible_at_error = IsWindowVisible(form4.handle()); };
        bool opened = false;
        Shown seen{};
        show_dialog([&] {
            opened = IsWindowVisible(form4.handle()) != FALSE;
            seen = shown();
            press(form4.sButton2);
        });
        fakes.boxes.while_shown = nullptr;
        ASSERT_EQ(fakes.boxes.shown.size(), 1u);
        EXPECT_EQ(fakes.boxes.shown[0].title, "Зорелия");
        EXPECT_EQ(fakes.boxes.shown[0].text, c.error);
        EXPECT_EQ(fakes.boxes.shown[0].kind, BoxKind::error);
        EXPECT_FALSE(visible_at_error);
        EXPECT_TRUE(opened);
        EXPECT_EQ(seen, c.shown);
        EXPECT_EQ(form4.sLabel1.caption(), "1024 x 600 x 32bit");
        EXPECT_EQ(read_bytes(ini()), crlf_text(c.lines));
        fakes.screen.size = {1920, 1080};
    }
}

TEST_F(DisplayDialogTest, OkWhereAFolderStandsForTheFileReportsAndStillCloses) {
    fs::create_directory(ini());
    const ModalResult result = show_dialog([&] { press(form4.sButton1); });
    EXPECT_EQ(result, ModalResult::ok);
    ASSERT_EQ(fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(fakes.boxes.shown[0].kind, BoxKind::error);
    EXPECT_TRUE(fakes.boxes.shown[0].text.starts_with("Cannot create file \"" + directory() +
                                                      "game.ini\". "))
        << fakes.boxes.shown[0].text;
    EXPECT_TRUE(fs::is_directory(ini()));
}

TEST_F(DisplayDialogTest, EnterAndEscapeDoNotCloseTheDialog) {
    ModalResult after_keys = ModalResult::none;
    bool still_visible = false;
    show_dialog([&] {
        form4.mm.set_focus();
        test::press_key(GetFocus(), VK_RETURN);
        test::press_key(GetFocus(), VK_ESCAPE);
        after_keys = form4.modal_result();
        still_visible = IsWindowVisible(form4.handle()) != FALSE;
        PostMessageW(form4.handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(after_keys, ModalResult::none);
    EXPECT_TRUE(still_visible);
    EXPECT_FALSE(fs::exists(ini()));
}

}  // namespace
