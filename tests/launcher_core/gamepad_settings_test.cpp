#include "core/gamepad_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core_test.h"
#include "kit_test.h"

namespace {

using launcher::LineList;
using launcher::gamepad::Mapping;

using Lines = std::vector<std::string>;

using core_test::list_of;

using core_test::error_of;

struct Read {
    std::vector<int> selections;  // as passed on, position by position
    std::string error;
};

Read read(const LineList& lines) {
    Read result;
    result.error = error_of([&] {
        launcher::gamepad::read_mapping(lines, [&](int position, int selection) {
            EXPECT_EQ(position, static_cast<int>(result.selections.size()));
            result.selections.push_back(selection);
        });
    });
    return result;
}

const std::string empty_token = "'''' is not a valid integer value";

TEST(GamepadMapping, ReadsNineSpaceEndedNumbersFromLine1) {
    struct Case {
        const char* line;
        std::vector<int> selections;
        std::string error;
    };
    const Case cases[] = {
        {"4 1 2 7 9 10 6 5 8 ", {4, 1, 2, 7, 9, 10, 6, 5, 8}, ""},
        {"0 0 0 0 0 0 0 0 12 ", {0, 0, 0, 0, 0, 0, 0, 0, 12}, ""},
        // Whatever follows the ninth number's space is ignored.
        {"1 2 3 4 5 6 7 8 9 10 11 ", {1, 2, 3, 4, 5, 6, 7, 8, 9}, ""},
        {"1 2 3 4 5 6 7 8 9 x", {1, 2, 3, 4, 5, 6, 7, 8, 9}, ""},
        // A number outside 0 to 12 leaves its list without selection.
        {"4 13 2 7 9 10 6 5 8 ", {4, -1, 2, 7, 9, 10, 6, 5, 8}, ""},
        {"4 -1 2 7 9 10 6 5 99999 ", {4, -1, 2, 7, 9, 10, 6, 5, -1}, ""},
        // The launcher's number conversion: a sign, or hexadecimal digits after "0x" or "$".
        {"+4 0x1 $2 07 9 10 6 5 8 ", {4, 1, 2, 7, 9, 10, 6, 5, 8}, ""},
        // The ninth number needs its space: without one it is empty.
        {"1 2 3 4 5 6 7 8 9", {1, 2, 3, 4, 5, 6, 7, 8}, empty_token},
        {"4 1 2 ", {4, 1, 2}, empty_token},
        {"", {}, empty_token},
        // Doubled or leading spaces give an empty number.
        {"4  1 2 7 9 10 6 5 8 ", {4}, empty_token},
        {" 4 1 2 7 9 10 6 5 8 ", {}, empty_token},
        // Only a space separates.
        {"4\t1 2 7 9 10 6 5 8 ", {}, "''4\t1'' is not a valid integer value"},
        {"4 1 two 7 9 10 6 5 8 ", {4, 1}, "''two'' is not a valid integer value"},
        {"4 1 99999999999 7 9 10 6 5 8 ", {4, 1}, "''99999999999'' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Read result = read(list_of({"Generic   USB   Joystick", c.line}));
        EXPECT_EQ(result.selections, c.selections);
        EXPECT_EQ(result.error, c.error);
    }
}

TEST(GamepadMapping, FileWithoutLine1PassesNothingOn) {
    for (const Lines& lines : {Lines{}, Lines{"4 1 2 7 9 10 6 5 8 "}}) {
        const Read result = read(list_of(lines));
        EXPECT_TRUE(result.selections.empty());
        EXPECT_EQ(result.error, "List index out of bounds (1)");
    }
}

TEST(GamepadOk, WritesNineIndexesEachFollowedByASpaceInPlaceOfLine1) {
    const Mapping mapping{-1, 0, 12, 1, 2, 3, 4, 5, 6};
    const std::string line = "-1 0 12 1 2 3 4 5 6 ";
    EXPECT_EQ(launcher::gamepad::mapping_line(mapping), line);
    EXPECT_EQ(launcher::gamepad::mapping_line(Mapping{}), "0 0 0 0 0 0 0 0 0 ");

    struct Case {
        const char* what;
        Lines read;
        Lines written;
    };
    const Case cases[] = {
        {"no lines", {}, {"Generic   USB   Joystick", line}},
        {"two lines", {"  My pad  ", "4 1 2"}, {"  My pad  ", line}},
        // Line 1 is replaced in place; nothing else of the player's file is lost.
        {"more lines", {"My pad", "4 1 2", "", "kept"}, {"My pad", line, "", "kept"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(launcher::gamepad::lines_to_write(list_of(c.read), mapping).lines(), c.written);
    }
    EXPECT_EQ(error_of([&] { launcher::gamepad::lines_to_write(list_of({"My pad"}), mapping); }),
              "List index out of bounds (1)");
}

TEST(GamepadCapture, HighestHeldButtonOf1To12) {
    struct Case {
        std::uint32_t buttons;
        std::optional<int> selected;
    };
    const Case cases[] = {
        {0, std::nullopt},
        {0x1, 1},
        {0x12, 5},  // buttons 2 and 5
        {0x800, 12},
        {0x1000, std::nullopt},  // button 13 only: nothing to select
        {0x80001000, std::nullopt},
        {0x1801, 12},
        {0xFFFFFFFF, 12},
    };
    for (const auto& c : cases)
        EXPECT_EQ(launcher::gamepad::captured_button(c.buttons), c.selected) << c.buttons;
}

std::string read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A pad settings file in a fresh folder, removed afterwards.
class PadFileTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("kit-gamepad-" +
                   std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        path_ = kit_test::path_to_utf8(folder_ / "Input1.ini");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path file() const { return folder_ / "Input1.ini"; }
    void write(const std::string& bytes) const {
        ASSERT_FALSE(kit_test::replace_file_atomically(file(), bytes));
    }
    std::vector<int> open() {
        std::vector<int> selections;
        pad_.open(path_, ansi_, [&](int, int selection) { selections.push_back(selection); });
        return selections;
    }

    std::filesystem::path folder_;
    std::string path_;
    launcher::gamepad::PadFile pad_;
    const launcher::CodePage& ansi_ = launcher::code_page_1251();
};

TEST_F(PadFileTest, WithoutFileTheDefaultsShowAndOkCreatesTheFile) {
    EXPECT_EQ(open(), (std::vector<int>{4, 1, 2, 7, 9, 10, 6, 5, 8}));
    EXPECT_FALSE(std::filesystem::exists(file()));
    pad_.confirm(path_, ansi_, Mapping{4, 1, 2, 7, 9, 10, 6, 5, 8});
    EXPECT_EQ(read_bytes(file()), "Generic   USB   Joystick\r\n4 1 2 7 9 10 6 5 8 \r\n");
}

TEST_F(PadFileTest, OkKeepsTheDeviceNameLineAsRead) {
    write("\xC3\xE5\xE9\xEC\xEF\xE0\xE4  x\r\n1 2 3 4 5 6 7 8 9 \r\n");  // "Геймпад  x" in 1251
    EXPECT_EQ(open(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    pad_.confirm(path_, ansi_, Mapping{9, 8, 7, 6, 5, 4, 3, 2, -1});
    EXPECT_EQ(read_bytes(file()), "\xC3\xE5\xE9\xEC\xEF\xE0\xE4  x\r\n9 8 7 6 5 4 3 2 -1 \r\n");
}

TEST_F(PadFileTest, OneLineFileFailsAtOpeningAndAtOkAndStaysAsItWas) {
    write("My pad\r\n");
    EXPECT_EQ(error_of([&] { open(); }), "List index out of bounds (1)");
    EXPECT_EQ(error_of([&] { pad_.confirm(path_, ansi_, Mapping{}); }),
              "List index out of bounds (1)");
    EXPECT_EQ(read_bytes(file()), "My pad\r\n");
}

TEST_F(PadFileTest, EmptyFileFailsAtOpeningAndOkWritesBothLines) {
    write("");
    EXPECT_EQ(error_of([&] { open(); }), "List index out of bounds (1)");
    pad_.confirm(path_, ansi_, Mapping{});
    EXPECT_EQ(read_bytes(file()), "Generic   USB   Joystick\r\n0 0 0 0 0 0 0 0 0 \r\n");
}

TEST_F(PadFileTest, FolderOfThatNameCountsAsMissingAndOkCannotCreateTheFile) {
    std::filesystem::create_directory(file());
    EXPECT_EQ(open(), (std::vector<int>{4, 1, 2, 7, 9, 10, 6, 5, 8}));
    EXPECT_TRUE(error_of([&] {
                    pad_.confirm(path_, ansi_, Mapping{});
                }).starts_with("Cannot create file \"" + path_ + "\". "));
    EXPECT_TRUE(std::filesystem::is_directory(file()));
}

}  // namespace
