#include "core/keyboard_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/errors.h"
#include "core/key_list.h"
#include "core_test.h"
#include "key_records.h"
#include "kit/atomic_file.h"
#include "kit_test.h"
#include "recording_starter.h"

namespace {

using launcher::LineList;
using launcher::keyboard::bindings;
using launcher::keyboard::BindingsFile;
using launcher::keyboard::Selection;
using launcher::keyboard::Selections;

using Lines = std::vector<std::string>;

constexpr int up = 0, down = 1, left = 2, right = 3, start = 4, a = 5, b = 6, c = 7, touch = 8,
              appeal = 9, ab = 10, bc = 11, abc = 12;

int row_of(std::string_view display_name) {
    for (std::size_t row = 0; row < launcher::key_list.size(); ++row)
        if (launcher::key_list[row].display_name == display_name) return static_cast<int>(row);
    ADD_FAILURE() << "no key " << display_name;
    return -1;
}

using core_test::list_of;

// What the opening passes on, in order.
std::vector<std::pair<int, Selection>> read_all(const LineList& lines) {
    std::vector<std::pair<int, Selection>> read;
    launcher::keyboard::read_selections(
        lines, [&](int binding, Selection selection) { read.emplace_back(binding, selection); });
    return read;
}

Selections select(std::initializer_list<std::pair<int, std::string_view>> chosen) {
    Selections selections{};
    for (const auto& [binding, key] : chosen)
        selections[static_cast<std::size_t>(binding)] = row_of(key);
    return selections;
}

Selections select_all(std::string_view key) {
    Selections selections{};
    selections.fill(row_of(key));
    return selections;
}

void expect_index_error(const std::function<void()>& action, long line) {
    EXPECT_THROW_MSG(action(), launcher::Error,
                     "List index out of bounds (" + std::to_string(line) + ")");
}

TEST(KeyboardBindings, ReadAndWriteLines3To6And8To16AndEveryListOnce) {
    std::vector<long> lines;
    std::vector<int> combo_boxes;
    for (const auto& binding : bindings) {
        lines.push_back(binding.line);
        combo_boxes.push_back(binding.combo_box);
        EXPECT_TRUE(launcher::find_key_row(binding.game_code)) << binding.entry_prefix;
    }
    EXPECT_EQ(lines, (std::vector<long>{3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    std::ranges::sort(combo_boxes);
    EXPECT_EQ(combo_boxes, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
}

// The dialog writes the game's own keys where the player chose none, and the patcher falls back
// on its builtin defaults: both must be the same keys.
TEST(KeyboardBindings, GameKeysAreThePatchersBuiltinDefaults) {
    for (const auto& binding : bindings) {
        const std::string_view entry =
            binding.entry_prefix.substr(0, binding.entry_prefix.find(' '));
        SCOPED_TRACE(std::string(entry));
        const auto record = std::ranges::find_if(
            ostrel::key_records, [&](const ostrel::KeyRecord& r) { return r.entry_name == entry; });
        ASSERT_NE(record, ostrel::key_records.end());
        EXPECT_EQ(launcher::str_to_int(binding.game_code), record->builtin_default);
    }
}

TEST(ValueOfLine, TakesTextAfterFirstSeparatorElseDropsTwoCharacters) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"KeyUp = 0xC8", "0xC8"},
        {"KeyUp = 0xC8  ", "0xC8  "},
        {"KeyUp = 0x2A = 0x2B", "0x2A = 0x2B"},
        {"KeyUp = ", ""},
        {" = 0x01", "0x01"},
        {"KeyUp=0xC8", "yUp=0xC8"},
        {"KeyUp =0xC8", "yUp =0xC8"},
        {"ЖЖ0xB8", "0xB8"},
        {"abc", "c"},
        {"ab", ""},
        {"a", ""},
        {"", ""},
    };
    for (const auto& [line, value] : cases)
        EXPECT_EQ(launcher::keyboard::value_of_line(line), value) << line;
}

TEST(KeyboardOpening, SelectsEachListFromItsLineIgnoringTheEntryName) {
    struct Case {
        int binding;
        std::string line;
        Selection expected;
    };
    const Case cases[] = {
        {up, "KeyDown = 0xc8", row_of("UP")},  // whatever entry stands on line 3
        {down, "KeyDown = 0X1E", row_of("A")},
        {left, "KeyLeft = 0", 0},
        {right, "KeyRight = 200", {}},
        {start, "KeyStart=0x11", {}},
        {a, "0x0x1E", row_of("A")},  // no separator: the line less two characters
        {b, "KeyB = 0xC8 ", {}},
        {c, "KeyC = 0x0C8", {}},
        {touch, "KeyTouch = C8", {}},
        {appeal, "KeyAppeal =  0x2A", {}},
        {ab, "KeyAB = 0x2A = 0x2B", {}},
        {bc, "ЖЖ0xB8", row_of("RMENU")},
        {abc, "KeyABC = 0xDF", row_of("SLEEP")},
    };
    Lines lines = {"[KEYS]", "", "", "", "", "", "", "KeyUp = 0x01"};
    lines.resize(17);
    for (const auto& each : cases)
        lines[static_cast<std::size_t>(bindings[static_cast<std::size_t>(each.binding)].line)] =
            each.line;

    const auto read = read_all(list_of(lines));

    ASSERT_EQ(read.size(), std::size(cases));
    for (std::size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(cases[i].line);
        EXPECT_EQ(read[i].first, cases[i].binding);
        EXPECT_EQ(read[i].second, cases[i].expected);
    }
}

TEST(KeyboardOpening, ShortFileStopsAtFirstMissingLineAfterPassingEarlierRows) {
    const struct {
        long line_count;
        std::size_t rows_passed;
        long missing_line;
    } cases[] = {{0, 0, 3}, {5, 2, 5}, {7, 4, 8}, {8, 4, 8}, {16, 12, 16}};
    for (const auto& each : cases) {
        SCOPED_TRACE(each.line_count);
        const LineList lines =
            list_of(Lines(static_cast<std::size_t>(each.line_count), "X = 0x01"));
        std::size_t passed = 0;
        expect_index_error(
            [&] {
                launcher::keyboard::read_selections(lines, [&](int binding, Selection selection) {
                    EXPECT_EQ(binding, static_cast<int>(passed));
                    EXPECT_EQ(selection, 1);
                    ++passed;
                });
            },
            each.missing_line);
        EXPECT_EQ(passed, each.rows_passed);
    }
}

const Lines read_file = {
    "; head",          "[KEYS]",           "; two",
    "KeyDown = 0xD0",  "KeyDown = 0xD0",   "KeyLeft = 0xCB",
    "KeyRight = 200",  "; seven",          "KeyStart = 0x11",
    "KeyA = 0x2C",     "KeyB = 0x2D",      "KeyC = 0x2E",
    "KeyTouch = 0x1F", "KeyAppeal = 0x2A", "KeyAB = 0",
    "KeyBC = 0",       "KeyABC = 0",       "KeyUnknown1 = 0x10",
    "; tail",
};

TEST(KeyboardOk, RewritesBindingLinesFromSelectionsAndKeepsTheRest) {
    const struct {
        const char* name;
        Selections selections;
        Lines expected;
    } cases[] = {
        {"nothing selected keeps every line", Selections{}, read_file},
        {"selected keys, not set, the same key twice, a list left without selection",
         select({{up, "UP"}, {down, "Не задано"}, {left, "UP"}, {abc, "SLEEP"}}),
         {"; head", "[KEYS]", "; two", "KeyUp = 0xC8", "KeyDown = 0", "KeyLeft = 0xC8",
          "KeyRight = 200", "; seven", "KeyStart = 0x11", "KeyA = 0x2C", "KeyB = 0x2D",
          "KeyC = 0x2E", "KeyTouch = 0x1F", "KeyAppeal = 0x2A", "KeyAB = 0", "KeyBC = 0",
          "KeyABC = 0xDF", "KeyUnknown1 = 0x10", "; tail"}},
        {"every list not set",
         select_all("Не задано"),
         {"; head", "[KEYS]", "; two", "KeyUp = 0", "KeyDown = 0", "KeyLeft = 0", "KeyRight = 0",
          "; seven", "KeyStart = 0", "KeyA = 0", "KeyB = 0", "KeyC = 0", "KeyTouch = 0",
          "KeyAppeal = 0", "KeyAB = 0", "KeyBC = 0", "KeyABC = 0", "KeyUnknown1 = 0x10", "; tail"}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        EXPECT_EQ(
            launcher::keyboard::lines_to_write(list_of(read_file), true, each.selections).lines(),
            each.expected);
    }
}

TEST(KeyboardOk, FileOfExactly17LinesKeepsItsLength) {
    const Lines seventeen(read_file.begin(), read_file.begin() + 17);
    const auto written =
        launcher::keyboard::lines_to_write(list_of(seventeen), true, select_all("A")).lines();
    ASSERT_EQ(written.size(), 17u);
    EXPECT_EQ(written[16], "KeyABC = 0x1E");
}

TEST(KeyboardOk, ShortFileRaisesAtFirstMissingLineWithOrWithoutSelection) {
    for (const Selections& selections : {Selections{}, select_all("UP")}) {
        for (const auto& [line_count, missing_line] :
             std::map<std::size_t, long>{{0, 3}, {7, 8}, {12, 12}, {16, 16}}) {
            SCOPED_TRACE(line_count);
            const LineList short_file = list_of(
                Lines(read_file.begin(), read_file.begin() + static_cast<long>(line_count)));
            expect_index_error(
                [&] { launcher::keyboard::lines_to_write(short_file, true, selections); },
                missing_line);
        }
    }
}

TEST(KeyboardOk, WithoutFileWritesShippedLayoutWithGameKeysForEmptyLists) {
    const LineList left_by_opening = list_of(Lines(16));
    const auto shipped = launcher::keyboard::shipped_file().lines();

    EXPECT_EQ(launcher::keyboard::lines_to_write(left_by_opening, false, Selections{}).lines(),
              shipped);

    auto expected = shipped;
    expected[3] = "KeyUp = 0";
    expected[9] = "KeyA = 0x1E";
    expected[15] = "KeyBC = 0xC8";
    EXPECT_EQ(launcher::keyboard::lines_to_write(left_by_opening, false,
                                                 select({{up, "Не задано"}, {a, "A"}, {bc, "UP"}}))
                  .lines(),
              expected);
}

using kit_test::read_bytes;

const std::filesystem::path shipped_path =
    std::filesystem::path(KIT_SOURCE_DIR) / "dist" / "ostrel.ini";

TEST(ShippedBindingsFile, IsTheLayoutTheLauncherWritesInAsciiWithCrLf) {
    const std::string bytes = read_bytes(shipped_path);
    ASSERT_FALSE(bytes.empty()) << shipped_path;
    for (const char byte : bytes) EXPECT_LT(static_cast<unsigned char>(byte), 0x80u);

    std::string expected;
    const LineList shipped = launcher::keyboard::shipped_file();
    for (const auto& line : shipped.lines()) expected += line + "\r\n";
    EXPECT_EQ(bytes, expected);
}

TEST(ShippedBindingsFile, HasKeysSectionBeforeEntriesAndNoOtherSection) {
    const auto lines = launcher::keyboard::shipped_file().lines();
    ASSERT_GE(lines.size(), 17u);
    long header = -1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "[KEYS]")
            header = static_cast<long>(i);
        else
            EXPECT_FALSE(lines[i].starts_with('[')) << i;
    }
    EXPECT_GE(header, 0);
    EXPECT_LT(header, 3);
}

TEST(ShippedBindingsFile, ReadsAsTheGameOwnKeys) {
    LineList file;
    file.load_from_file(kit_test::path_to_utf8(shipped_path), launcher::code_page_1251());
    const std::pair<int, std::string_view> game_keys[] = {
        {up, "UP"},         {down, "DOWN"},     {left, "LEFT"},    {right, "RIGHT"},
        {start, "W"},       {a, "Z"},           {b, "X"},          {c, "C"},
        {touch, "S"},       {appeal, "LSHIFT"}, {ab, "Не задано"}, {bc, "Не задано"},
        {abc, "Не задано"},
    };
    std::vector<std::pair<int, Selection>> expected;
    for (const auto& [binding, key] : game_keys) expected.emplace_back(binding, row_of(key));
    EXPECT_EQ(read_all(file), expected);
}

// A fresh folder per test, removed afterwards.
class KeyboardSettingsFolder : public ::testing::Test {
  protected:
    std::filesystem::path ini() const { return folder_ / "ostrel.ini"; }
    void write_ini(const Lines& lines) const {
        ASSERT_FALSE(kit_test::replace_file_atomically(ini(), kit_test::crlf_text(lines)));
    }

    kit_test::TempFolder folder_{"kit-keyboard-"};
    std::string directory_ = folder_.directory();
    BindingsFile file_;
    const launcher::CodePage& ansi_ = launcher::code_page_1251();
};

using kit_test::RecordingStarter;

TEST_F(KeyboardSettingsFolder, OpenSelectsFromFileAndOkWritesItThenStartsOstrel) {
    write_ini(read_file);
    std::vector<std::pair<int, Selection>> read;
    ASSERT_TRUE(file_.open(directory_, ansi_, [&](int binding, Selection selection) {
        read.emplace_back(binding, selection);
    }));
    ASSERT_EQ(read.size(), 13u);
    EXPECT_EQ(read[up].second, row_of("DOWN"));
    EXPECT_EQ(read[right].second, std::nullopt);

    RecordingStarter starter(ini());
    file_.confirm(directory_, ansi_, select({{up, "UP"}}), starter);

    Lines expected = read_file;
    expected[3] = "KeyUp = 0xC8";
    std::string expected_bytes;
    for (const auto& line : expected) expected_bytes += line + "\r\n";
    EXPECT_EQ(read_bytes(ini()), expected_bytes);
    ASSERT_EQ(starter.starts.size(), 1u);
    EXPECT_EQ(starter.starts[0].program, directory_ + "ostrel.exe");
    EXPECT_EQ(starter.starts[0].working_directory, directory_);
    EXPECT_EQ(starter.starts[0].watched_at_start, expected_bytes);
}

TEST_F(KeyboardSettingsFolder, OpeningWithoutFileReadsNothingAndOkWritesShippedLayout) {
    write_ini(read_file);
    ASSERT_TRUE(file_.open(directory_, ansi_, [](int, Selection) {}));
    std::filesystem::remove(ini());

    bool passed = false;
    EXPECT_FALSE(file_.open(directory_, ansi_, [&](int, Selection) { passed = true; }));
    EXPECT_FALSE(passed);

    RecordingStarter starter(ini());
    file_.confirm(directory_, ansi_, select({{a, "A"}}), starter);
    auto expected = launcher::keyboard::shipped_file();
    expected.replace(9, "KeyA = 0x1E");
    EXPECT_EQ(read_bytes(ini()), expected.to_bytes(ansi_));
    EXPECT_EQ(starter.starts.size(), 1u);
}

TEST_F(KeyboardSettingsFolder, ShortFileOpensPartlyAndOkWritesAndStartsNothing) {
    const Lines ten(read_file.begin(), read_file.begin() + 10);
    write_ini(ten);
    const std::string before = read_bytes(ini());
    int passed = 0;
    expect_index_error([&] { file_.open(directory_, ansi_, [&](int, Selection) { ++passed; }); },
                       10);
    EXPECT_EQ(passed, 6);

    RecordingStarter starter(ini());
    expect_index_error([&] { file_.confirm(directory_, ansi_, select_all("UP"), starter); }, 10);
    EXPECT_EQ(read_bytes(ini()), before);
    EXPECT_TRUE(starter.starts.empty());
}

TEST_F(KeyboardSettingsFolder, FolderNamedLikeTheFileCountsAsMissingAndOkStartsNothing) {
    std::filesystem::create_directory(ini());
    EXPECT_FALSE(file_.open(directory_, ansi_, [](int, Selection) {}));

    RecordingStarter starter(ini() / "none");
    EXPECT_THROW(file_.confirm(directory_, ansi_, Selections{}, starter), launcher::Error);
    EXPECT_TRUE(starter.starts.empty());
    EXPECT_TRUE(std::filesystem::is_directory(ini()));
}

}  // namespace
