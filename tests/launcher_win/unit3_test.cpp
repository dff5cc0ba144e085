// The keyboard settings dialog as a real window under a real launcher, with its key-binding
// file in a fresh folder and a starter that records what ostrel.ini held when it was called.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/key_list.h"
#include "kit/atomic_file.h"
#include "kit_test.h"
#include "launcher_fixture.h"

namespace {

namespace fs = std::filesystem;
using launcher::keyboard::binding_count;
using launcher::keyboard::bindings;
using platform::BoxKind;
using toolkit::ModalResult;

using Lines = std::vector<std::string>;

using kit_test::crlf_text;
using kit_test::host_path;
using kit_test::read_bytes;

// A file of 17 lines: the section header, comments, and `entry(binding)` at each binding's
// line.
template <class Entry>
Lines key_file(Entry entry) {
    Lines lines = {"; keys", "[KEYS]", "; directions", "", "", "", "", "; the rest"};
    lines.resize(17);
    for (int binding = 0; binding < binding_count; ++binding) {
        const auto& row = bindings[static_cast<std::size_t>(binding)];
        lines[static_cast<std::size_t>(row.line)] = entry(binding);
    }
    return lines;
}

// Every entry bound to `code`.
Lines key_file_with(std::string_view code) {
    return key_file([code](int binding) {
        return std::string(bindings[static_cast<std::size_t>(binding)].entry_prefix) +
               std::string(code);
    });
}

class KeyboardDialogTest : public test::DialogTest<launcher::TForm3, &launcher::Launcher::form3> {
  protected:
    void write_ini(const Lines& lines) const { write_lines("ostrel.ini", lines); }
    fs::path ini() const { return file("ostrel.ini"); }

    toolkit::ComboBox& list(int binding) const { return form3.combo_box_of(binding); }
    // The shown key of a binding's list; empty for no selection.
    std::string shown(int binding) const {
        const auto& combo = list(binding);
        return combo.item_index() < 0 ? std::string() : combo.item(combo.item_index());
    }

    launcher::TForm3& form3 = dialog_;
};

TEST_F(KeyboardDialogTest, WindowHasItsLayout) {
    HWND window = form3.handle();
    test::expect_dialog_frame(window, L"Настройка клавиатуры", 425, 313);

    EXPECT_EQ(form3.Image1.picture().width(), 128);
    EXPECT_EQ(form3.Image1.picture().height(), 128);
    const RECT picture = form3.Image1.bounds();
    EXPECT_EQ(picture.left, 265);
    EXPECT_EQ(picture.top, 8);
    EXPECT_EQ(picture.right, 393);
    EXPECT_EQ(picture.bottom, 136);

    // Windowed controls: where their window lies in their parent's client area. Drop-down
    // lists are checked without their height, which the system sets.
    const test::Placed placed[] = {
        {"sButton1", nullptr, L"OK", {249, 273, 324, 298}},
        {"sButton2", nullptr, L"Отмена", {330, 273, 405, 298}},
        {"sGroupBox1", nullptr, L"Основные", {8, 8, 232, 196}},
        {"sGroupBox2", nullptr, L"Дополнительные", {8, 202, 232, 305}},
        {"sGroupBox3", nullptr, L"Направления", {238, 129, 416, 267}},
        {"sComboBox1", "sGroupBox1", L"", {111, 21, 208, 0}},
        {"sComboBox2", "sGroupBox1", L"", {111, 48, 208, 0}},
        {"sComboBox3", "sGroupBox1", L"", {111, 75, 208, 0}},
        {"sComboBox4", "sGroupBox1", L"", {111, 102, 208, 0}},
        {"sComboBox5", "sGroupBox1", L"", {111, 129, 208, 0}},
        {"sComboBox6", "sGroupBox1", L"", {111, 156, 208, 0}},
        {"sComboBox7", "sGroupBox2", L"", {111, 17, 208, 0}},
        {"sComboBox8", "sGroupBox2", L"", {111, 44, 208, 0}},
        {"sComboBox9", "sGroupBox2", L"", {111, 71, 208, 0}},
        {"sComboBox10", "sGroupBox3", L"", {63, 21, 160, 0}},
        {"sComboBox11", "sGroupBox3", L"", {63, 48, 160, 0}},
        {"sComboBox12", "sGroupBox3", L"", {63, 75, 160, 0}},
        {"sComboBox13", "sGroupBox3", L"", {63, 102, 160, 0}},
    };
    test::expect_placed(form3, placed);

    // Labels keep their right edge beside their list, whatever their text measures.
    struct Labelled {
        const char* name;
        const char* parent;
        const char* caption;
        int right;
        int top;
    };
    const Labelled labels[] = {
        {"sLabel1", "sGroupBox1", "Легкая атака", 105, 24},
        {"sLabel2", "sGroupBox1", "Средняя атака", 105, 52},
        {"sLabel3", "sGroupBox1", "Тяжелая атака", 105, 78},
        {"sLabel4", "sGroupBox1", "Замена", 105, 105},
        {"sLabel5", "sGroupBox1", "Насмешка", 105, 132},
        {"sLabel6", "sGroupBox1", "Пауза", 105, 158},
        {"sLabel7", "sGroupBox2", "A+ B", 105, 21},
        {"sLabel8", "sGroupBox2", "B+C (Захват)", 105, 47},
        {"sLabel9", "sGroupBox2", "A+ B+ C", 105, 74},
        {"sLabel10", "sGroupBox3", "Влево", 57, 24},
        {"sLabel11", "sGroupBox3", "Вправо", 57, 52},
        {"sLabel12", "sGroupBox3", "Вверх", 57, 78},
        {"sLabel13", "sGroupBox3", "Вниз", 57, 105},
    };
    for (const auto& expected : labels) {
        SCOPED_TRACE(expected.name);
        const auto& label = form3.control(expected.name);
        ASSERT_NE(label.parent(), nullptr);
        EXPECT_EQ(label.parent()->name(), expected.parent);
        EXPECT_EQ(label.caption(), expected.caption);
        EXPECT_EQ(label.bounds().right, expected.right);
        EXPECT_EQ(label.bounds().top, expected.top);
    }

    // Each label stands beside the list of its binding, in its group box.
    for (int binding = 0; binding < binding_count; ++binding) {
        const auto& row = bindings[static_cast<std::size_t>(binding)];
        const auto& combo = list(binding);
        SCOPED_TRACE(combo.name());
        EXPECT_EQ(combo.parent()->caption(), row.group_box);
        const auto& label = form3.control("sLabel" + std::to_string(row.combo_box));
        EXPECT_EQ(label.caption(), row.label);
        const LONG combo_style = GetWindowLongW(combo.handle(), GWL_STYLE);
        EXPECT_EQ(combo_style & 3, CBS_DROPDOWNLIST);
        EXPECT_FALSE(combo_style & CBS_SORT);
        EXPECT_EQ(combo.count(), 0);
        EXPECT_EQ(combo.item_index(), -1);
    }
}

TEST_F(KeyboardDialogTest, TabVisitsButtonsThenTheListsOfEachGroupAndWraps) {
    form3.show();
    ASSERT_EQ(GetFocus(), form3.sButton1.handle());
    std::vector<const toolkit::Control*> order = {&form3.sButton2};
    for (int number = 1; number <= 13; ++number)
        order.push_back(&form3.control("sComboBox" + std::to_string(number)));
    order.push_back(&form3.sButton1);
    for (const auto* next : order) {
        test::press_key(GetFocus(), VK_TAB);
        EXPECT_EQ(GetFocus(), next->handle()) << next->name();
    }
}

TEST_F(KeyboardDialogTest, ListsAreFilledOnceAndHold124KeysAtEveryOpening) {
    write_ini(key_file_with("0x01"));
    std::vector<int> counts;
    const auto count_items = [&] {
        for (int binding = 0; binding < binding_count; ++binding)
            counts.push_back(list(binding).count());
        PostMessageW(form3.handle(), WM_CLOSE, 0, 0);
    };
    show_dialog(count_items);
    for (int binding = 0; binding < binding_count; ++binding) {
        const auto& combo = list(binding);
        ASSERT_EQ(combo.count(), launcher::key_row_count);
        for (int row = 0; row < launcher::key_row_count; ++row)
            ASSERT_EQ(combo.item(row),
                      launcher::key_list[static_cast<std::size_t>(row)].display_name)
                << combo.name() << " item " << row;
    }
    show_dialog(count_items);
    fs::remove(ini());
    show_dialog(count_items);
    EXPECT_EQ(counts, std::vector<int>(3 * binding_count, launcher::key_row_count));
}

TEST_F(KeyboardDialogTest, OpeningSelectsTheKeyOfEachLineAndOkWritesItsCodeString) {
    struct Case {
        const char* line;
        const char* shown;    // empty: no selection
        const char* written;  // the line after OK
    };
    // In the order of the bindings.
    const Case cases[binding_count] = {
        {"KeyUp = 0xc8", "UP", "KeyUp = 0xC8"},
        {"KeyDown = 0X1E", "A", "KeyDown = 0x1E"},
        {"KeyLeft = 0", "Не задано", "KeyLeft = 0"},
        {"KeyRight = 200", "", "KeyRight = 200"},
        {"KeyStart = C8", "", "KeyStart = C8"},
        {"KeyA = 0x0C8", "", "KeyA = 0x0C8"},
        {"KeyB = 0xC8 ", "", "KeyB = 0xC8 "},
        {"KeyC=0x2E", "", "KeyC=0x2E"},
        {"KeyDown = 0x1F", "S", "KeyTouch = 0x1F"},
        {"KeyAppeal = 0x2a", "LSHIFT", "KeyAppeal = 0x2A"},
        {"KeyAB = 0xDF", "SLEEP", "KeyAB = 0xDF"},
        {"KeyBC = 0x90", "CIRCUMFLEX", "KeyBC = 0x90"},
        {"", "", ""},
    };
    const auto at = [&](int binding) { return cases[binding]; };

    // A first opening selects a key everywhere, so that "no selection" shows below.
    write_ini(key_file_with("0x02"));
    show_dialog([&] { PostMessageW(form3.handle(), WM_CLOSE, 0, 0); });
    for (int binding = 0; binding < binding_count; ++binding) ASSERT_EQ(shown(binding), "1");

    int changes = 0;
    for (int binding = 0; binding < binding_count; ++binding)
        list(binding).on_change = [&] { ++changes; };
    write_ini(key_file([&](int binding) { return std::string(at(binding).line); }));
    std::vector<std::string> seen;
    const ModalResult result = show_dialog([&] {
        for (int binding = 0; binding < binding_count; ++binding) seen.push_back(shown(binding));
        press(form3.sButton1);
    });

    EXPECT_EQ(result, ModalResult::ok);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(fakes.boxes.shown.empty());
    for (int binding = 0; binding < binding_count; ++binding)
        EXPECT_EQ(seen[static_cast<std::size_t>(binding)], at(binding).shown)
            << "line " << at(binding).line;
    EXPECT_EQ(read_bytes(ini()),
              crlf_text(key_file([&](int binding) { return std::string(at(binding).written); })));
}

TEST_F(KeyboardDialogTest, OkRewritesOnlyTheBindingLinesThenStartsOstrel) {
    Lines lines = key_file_with("0x1E");
    lines[0] = ";  kept with its blanks  ";
    lines[2] = "KeyUnknown1 = 0x1E";
    lines[7] = "\t; kept = as it stands";
    lines.insert(lines.end(), {"KeyUnknown6 = 0x36", "", "[AFTER]", "last = 1"});
    write_ini(lines);

    const ModalResult result = show_dialog([&] {
        pick_next(form3.sComboBox12);  // Up: A -> S
        pick_next(form3.sComboBox7);   // A+B: A -> S
        pick_next(form3.sComboBox7);   //       S -> D
        press(form3.sButton1);
    });

    Lines expected = lines;
    expected[3] = "KeyUp = 0x1F";
    expected[14] = "KeyAB = 0x20";
    EXPECT_EQ(result, ModalResult::ok);
    EXPECT_FALSE(IsWindowVisible(form3.handle()));
    EXPECT_EQ(read_bytes(ini()), crlf_text(expected));
    ASSERT_EQ(starter_.starts.size(), 1u);
    EXPECT_EQ(starter_.starts[0].program, directory() + "ostrel.exe");
    EXPECT_EQ(starter_.starts[0].working_directory, directory());
    EXPECT_EQ(starter_.starts[0].watched_at_start, crlf_text(expected));
    EXPECT_TRUE(fakes.boxes.shown.empty());
}

TEST_F(KeyboardDialogTest, CancelAndCloseBoxWriteAndStartNothing) {
    write_ini(key_file_with("0x1E"));
    const std::string before = read_bytes(ini());
    struct Case {
        const char* what;
        std::function<void()> close;
    };
    const Case cases[] = {
        {"Отмена", [this] { press(form3.sButton2); }},
        {"close box", [this] { PostMessageW(form3.handle(), WM_CLOSE, 0, 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string shown_at_opening;
        const ModalResult result = show_dialog([&] {
            shown_at_opening = shown(0);
            pick_next(form3.sComboBox12);
            c.close();
        });
        EXPECT_EQ(result, ModalResult::cancel);
        // The choice of the showing before is gone: the file's key shows again.
        EXPECT_EQ(shown_at_opening, "A");
        EXPECT_EQ(read_bytes(ini()), before);
        EXPECT_TRUE(starter_.starts.empty());
    }
}

TEST_F(KeyboardDialogTest, MissingFileIsReportedBeforeTheDialogOpensWithListsAsBefore) {
    bool visible_at_message = true;
    fakes.boxes.while_shown = [&] { visible_at_message = IsWindowVisible(form3.handle()); };
    bool opened = false;
    std::vector<int> selections;
    show_dialog([&] {
        opened = IsWindowVisible(form3.handle());
        for (int binding = 0; binding < binding_count; ++binding)
            selections.push_back(list(binding).item_index());
        PostMessageW(form3.handle(), WM_CLOSE, 0, 0);
    });

    ASSERT_EQ(fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(fakes.boxes.shown[0].title, "Зорелия");
    EXPECT_EQ(fakes.boxes.shown[0].text, "Не найдет файл настройки управления (ostrel.ini).");
    EXPECT_EQ(fakes.boxes.shown[0].kind, BoxKind::plain);
    EXPECT_FALSE(visible_at_message);
    EXPECT_TRUE(opened);
    EXPECT_EQ(selections, std::vector<int>(binding_count, -1));
    EXPECT_FALSE(fs::exists(ini()));

    // A folder of that name is no file either; the lists keep the keys chosen before.
    write_ini(key_file_with("0x1E"));
    show_dialog([&] { PostMessageW(form3.handle(), WM_CLOSE, 0, 0); });
    fs::remove(ini());
    fs::create_directory(ini());
    fakes.boxes.shown.clear();
    std::string shown_then;
    show_dialog([&] {
        shown_then = shown(0);
        PostMessageW(form3.handle(), WM_CLOSE, 0, 0);
    });
    ASSERT_EQ(fakes.boxes.shown.size(), 1u);
    EXPECT_EQ(fakes.boxes.shown[0].text, "Не найдет файл настройки управления (ostrel.ini).");
    EXPECT_EQ(shown_then, "A");
}

TEST_F(KeyboardDialogTest, OkAfterAnOpeningWithoutFileWritesTheShippedFile) {
    show_dialog([&] { press(form3.sButton1); });
    ASSERT_EQ(fakes.boxes.shown.size(), 1u);  // the missing file
    EXPECT_EQ(read_bytes(ini()), read_bytes(host_path(SHIPPED_OSTREL_INI)));
    ASSERT_EQ(starter_.starts.size(), 1u);
    EXPECT_EQ(starter_.starts[0].watched_at_start, read_bytes(host_path(SHIPPED_OSTREL_INI)));
}

TEST_F(KeyboardDialogTest, OkWhereAFolderStandsForTheFileReportsAndStartsNothing) {
    fs::create_directory(ini());
    show_dialog([&] { press(form3.sButton1); });
    ASSERT_EQ(fakes.boxes.shown.size(), 2u);
    EXPECT_EQ(fakes.boxes.shown[1].kind, BoxKind::error);
    EXPECT_TRUE(fakes.boxes.shown[1].text.starts_with("Cannot create file \"" + directory() +
                                                      "ostrel.ini\". "))
        << fakes.boxes.shown[1].text;
    EXPECT_TRUE(fs::is_directory(ini()));
    EXPECT_TRUE(starter_.starts.empty());
}

TEST_F(KeyboardDialogTest, ShortFileStopsAtTheMissingLineKeepingWhatWasRead) {
    write_ini(key_file_with("0x02"));
    show_dialog([&] { PostMessageW(form3.handle(), WM_CLOSE, 0, 0); });

    Lines short_file = key_file_with("0x03");
    short_file.resize(10);  // lines 0 to 9: line 10 (KeyB) is missing
    write_ini(short_file);
    std::vector<bool> visible_at_error;
    fakes.boxes.while_shown = [&] {
        visible_at_error.push_back(IsWindowVisible(form3.handle()) != FALSE);
    };
    std::vector<std::string> seen;
    const ModalResult result = show_dialog([&] {
        for (int binding = 0; binding < binding_count; ++binding) seen.push_back(shown(binding));
        press(form3.sButton1);
    });

    ASSERT_EQ(fakes.boxes.shown.size(), 2u);
    for (const auto& box : fakes.boxes.shown) {
        EXPECT_EQ(box.text, "List index out of bounds (10)");
        EXPECT_EQ(box.kind, BoxKind::error);
        EXPECT_EQ(box.title, "Зорелия");
    }
    // The opening's error comes before the dialog, OK's while it is up.
    EXPECT_EQ(visible_at_error, (std::vector<bool>{false, true}));
    // Up, Down, Left, Right, Pause and KeyA were read; the others show what they did.
    const std::vector<std::string> expected = {"2", "2", "2", "2", "2", "2", "1",
                                               "1", "1", "1", "1", "1", "1"};
    EXPECT_EQ(seen, expected);
    // OK stops on the same line: the dialog closes, nothing is written or started.
    EXPECT_EQ(result, ModalResult::ok);
    EXPECT_EQ(read_bytes(ini()), crlf_text(short_file));
    EXPECT_TRUE(starter_.starts.empty());
}

TEST_F(KeyboardDialogTest, EnterAndEscapeOnAListPressNoButton) {
    write_ini(key_file_with("0x1E"));
    ModalResult after_keys = ModalResult::none;
    show_dialog([&] {
        form3.sComboBox1.set_focus();
        test::press_key(GetFocus(), VK_RETURN);
        test::press_key(GetFocus(), VK_ESCAPE);
        after_keys = form3.modal_result();
        PostMessageW(form3.handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(after_keys, ModalResult::none);
    EXPECT_TRUE(starter_.starts.empty());
}

}  // namespace
