// What the stand-in game shows of game.ini and the pad files: a window of the chosen size,
// the faults as text, the pad buttons per action.

#include "settings_view.h"

#include <gtest/gtest.h>

#include "core/line_list.h"
#include "kit_test.h"

namespace {

const launcher::CodePage& ansi = launcher::code_page_1251();

TEST(StandInSettings, DisplayFromGameIni) {
    struct Case {
        const char* what;
        std::optional<std::string> file;  // nothing: no game.ini
        int width;
        int height;
        const char* line;
    };
    const Case cases[] = {
        {"no file", std::nullopt, 800, 480, "Экран: game.ini не найден: окно 800 x 480"},
        {"a window", kit_test::crlf_text({"0", "1024", "768", "0"}), 1024, 768,
         "Экран: В окне, 1024 x 768, масштабировать"},
        {"full screen", kit_test::crlf_text({"1", "1280", "720", "1"}), 800, 480,
         "Экран: Во весь экран, 1280 x 720 (здесь в окне 800 x 480), не масштабировать"},
        {"a size not offered", kit_test::crlf_text({"0", "1920", "1080", "0"}), 800, 480,
         "Экран: В окне, масштабировать; game.ini: такого размера нет в списке: окно 800 x 480"},
        {"two lines", kit_test::crlf_text({"0", "800"}), 800, 480,
         "Экран: В окне; game.ini: List index out of bounds (2): окно 800 x 480"},
        {"empty", "", 800, 480, "Экран: game.ini: List index out of bounds (0): окно 800 x 480"},
    };
    for (const auto& c : cases) {
        kit_test::TempFolder folder("game-display-");
        if (c.file) kit_test::replace_file_atomically(folder / "game.ini", *c.file);
        const auto view = game::read_display(folder.directory(), ansi);
        EXPECT_EQ(view.width, c.width) << c.what;
        EXPECT_EQ(view.height, c.height) << c.what;
        EXPECT_EQ(view.line, c.line) << c.what;
    }
}

TEST(StandInSettings, PadButtonsPerAction) {
    kit_test::TempFolder folder("game-pad-");
    const auto defaults = game::read_pad(folder.directory(), 0, ansi);
    EXPECT_EQ(defaults.line, "Input1.ini не найден, кнопки по умолчанию");
    EXPECT_EQ(defaults.buttons, (std::array<int, 9>{4, 1, 2, 7, 9, 10, 6, 5, 8}));

    kit_test::replace_file_atomically(folder / "Input2.ini",
                                      kit_test::crlf_text({"Pad", "3 3 13 x 1 "}));
    const auto bad = game::read_pad(folder.directory(), 1, ansi);
    EXPECT_EQ(bad.line, "Input2.ini: ''x'' is not a valid integer value");
    // Read up to the fault; 13 is no button; the rest as the defaults.
    EXPECT_EQ(bad.buttons, (std::array<int, 9>{3, 3, 0, 7, 9, 10, 6, 5, 8}));

    // Buttons 3 and 7 held: the actions they drive, and only those.
    const auto held = game::held_actions(bad, 0b100'0100);
    EXPECT_EQ(held,
              (std::array<bool, 9>{true, true, false, true, false, false, false, false, false}));
    EXPECT_EQ(game::held_actions(bad, 0), (std::array<bool, 9>{}));
}

}  // namespace
