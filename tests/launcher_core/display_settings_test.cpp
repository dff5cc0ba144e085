#include "core/display_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core_test.h"
#include "kit_test.h"

namespace {

using launcher::LineList;
using launcher::display::Choice;
using launcher::display::SettingsFile;
using launcher::display::SizeLines;

using Lines = std::vector<std::string>;

using core_test::list_of;

// What an opening passed on; nothing where it stopped before.
struct Read {
    std::optional<bool> windowed;
    std::optional<int> size_item;
    std::optional<bool> no_scaling;
    std::optional<std::string> error;
};

launcher::display::ChoiceSink sink_into(Read& read) {
    return {[&](bool windowed) { read.windowed = windowed; },
            [&](int item) { read.size_item = item; },
            [&](bool no_scaling) { read.no_scaling = no_scaling; }};
}

Read read_lines(const Lines& lines) {
    Read read;
    try {
        launcher::display::read_choice(list_of(lines), sink_into(read));
    } catch (const launcher::Error& error) {
        read.error = error.what();
    }
    return read;
}

TEST(DisplaySettings, LinesSetModeSizeAndScalingOrStopAtTheFirstMissingLine) {
    struct Case {
        Lines lines;
        std::optional<bool> windowed;
        std::optional<int> size_item;
        std::optional<bool> no_scaling;
        std::optional<std::string> error;
    };
    const Case cases[] = {
        {{"0", "800", "480", "0"}, true, 0, false, {}},
        {{"1", "1280", "720", "1"}, false, 3, true, {}},
        // Only exactly "0" means a window, and scaling.
        {{"00", "800", "600", "no"}, false, 1, true, {}},
        {{" 0", "1024", "768", "2"}, false, 2, true, {}},
        {{"", "1600", "900", ""}, false, 4, true, {}},
        {{"0 ", "800", "480", " 0"}, false, 0, true, {}},
        // Sizes the list does not hold, or lines that form none.
        {{"0", "1920", "1080", "0"}, true, -1, false, {}},
        {{"0", "800 ", "480", "0"}, true, -1, false, {}},
        {{"0", "800 x 480", "", "0"}, true, -1, false, {}},
        {{"0", "", "", "0"}, true, -1, false, {}},
        // Lines after line 3 are not read.
        {{"1", "800", "600", "0", "garbage", ""}, false, 1, false, {}},
        // A short file: what the lines before the missing one set stays.
        {{}, {}, {}, {}, "List index out of bounds (0)"},
        {{"1"}, false, {}, {}, "List index out of bounds (1)"},
        {{"1", "800"}, false, {}, {}, "List index out of bounds (2)"},
        {{"1", "800", "600"}, false, 1, {}, "List index out of bounds (3)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.lines));
        const Read read = read_lines(c.lines);
        EXPECT_EQ(read.windowed, c.windowed);
        EXPECT_EQ(read.size_item, c.size_item);
        EXPECT_EQ(read.no_scaling, c.no_scaling);
        EXPECT_EQ(read.error, c.error);
    }
}

TEST(DisplaySettings, EachSizeItemSplitsIntoWidthAndHeight) {
    const std::pair<const char*, const char*> expected[] = {
        {"800", "480"}, {"800", "600"}, {"1024", "768"}, {"1280", "720"}, {"1600", "900"}};
    for (std::size_t item = 0; item < std::size(expected); ++item) {
        SCOPED_TRACE(item);
        const SizeLines size =
            launcher::display::split_size_item(launcher::display::size_items[item]);
        EXPECT_EQ(size.width, expected[item].first);
        EXPECT_EQ(size.height, expected[item].second);
        // And the opening finds the item again from those lines.
        EXPECT_EQ(read_lines({"0", size.width, size.height, "0"}).size_item,
                  static_cast<int>(item));
    }
}

TEST(DisplaySettings, OkWritesFourLinesWhateverTheMode) {
    struct Case {
        Choice choice;
        Lines written;
    };
    const Case cases[] = {
        {{}, {"0", "800", "480", "0"}},
        {{.windowed = false, .size_item = 3, .no_scaling = true}, {"1", "1280", "720", "1"}},
        // A window keeps the size chosen in the disabled list.
        {{.windowed = true, .size_item = 2, .no_scaling = true}, {"0", "1024", "768", "1"}},
        {{.windowed = false, .size_item = 4, .no_scaling = false}, {"1", "1600", "900", "0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.written));
        EXPECT_EQ(launcher::display::lines_to_write(c.choice, SizeLines{"1920", "1080"}).lines(),
                  c.written);
    }
}

TEST(DisplaySettings, OkWithoutSelectedSizeKeepsTheReadLinesOrWritesNothing) {
    const Choice none{.windowed = false, .size_item = -1, .no_scaling = true};
    EXPECT_EQ(launcher::display::lines_to_write(none, SizeLines{"1920", "1080"}).lines(),
              (Lines{"1", "1920", "1080", "1"}));
    EXPECT_THROW(launcher::display::lines_to_write(none, std::nullopt), launcher::Error);
}

TEST(DisplaySettings, ScreenTextIsWidthHeightAnd32bit) {
    EXPECT_EQ(launcher::display::screen_text({1920, 1080}), "1920 x 1080 x 32bit");
    EXPECT_EQ(launcher::display::screen_text({800, 600}), "800 x 600 x 32bit");
}

std::string read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh folder per test, removed afterwards.
class DisplaySettingsFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("kit-display-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        directory_ = kit_test::path_to_utf8(folder_ / "");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path ini() const { return folder_ / "game.ini"; }
    void write_ini(const Lines& lines) const {
        std::string bytes;
        for (const auto& line : lines) bytes += line + "\r\n";
        ASSERT_FALSE(kit_test::replace_file_atomically(ini(), bytes));
    }
    Read open() {
        Read read;
        try {
            read.error = file_.open(directory_, ansi_, sink_into(read)) ? "" : "no file";
        } catch (const launcher::Error& error) {
            read.error = error.what();
        }
        return read;
    }
    void confirm(const Choice& choice) { file_.confirm(directory_, ansi_, choice); }

    std::filesystem::path folder_;
    std::string directory_;
    SettingsFile file_;
    const launcher::CodePage& ansi_ = launcher::code_page_1251();
};

TEST_F(DisplaySettingsFolder, WithoutFileTheOpeningReadsNothingAndOkCreatesIt) {
    EXPECT_EQ(open().error, "no file");
    EXPECT_FALSE(std::filesystem::exists(ini()));
    // A folder of that name is no file either.
    std::filesystem::create_directory(ini());
    const Read read = open();
    EXPECT_EQ(read.error, "no file");
    EXPECT_FALSE(read.windowed);
    std::filesystem::remove(ini());

    confirm(Choice{});
    EXPECT_EQ(read_bytes(ini()), "0\r\n800\r\n480\r\n0\r\n");
}

TEST_F(DisplaySettingsFolder, SixLinesAreReadByTheirFirstFourAndOkLeavesFour) {
    write_ini({"1", "1280", "720", "1", "extra", "more"});
    const Read read = open();
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.size_item, 3);
    confirm({.windowed = false, .size_item = 3, .no_scaling = true});
    EXPECT_EQ(read_bytes(ini()), "1\r\n1280\r\n720\r\n1\r\n");
}

TEST_F(DisplaySettingsFolder, AnUnlistedSizeSurvivesOkAndALaterShortFile) {
    write_ini({"1", "1920", "1080", "0"});
    EXPECT_EQ(open().size_item, -1);
    // This opening stops before the size: the list still shows no size, and OK keeps the
    // one read before.
    write_ini({"0"});
    EXPECT_EQ(open().error, "List index out of bounds (1)");
    confirm({.windowed = true, .size_item = -1, .no_scaling = true});
    EXPECT_EQ(read_bytes(ini()), "0\r\n1920\r\n1080\r\n1\r\n");
}

TEST_F(DisplaySettingsFolder, OkWhereAFolderStandsForTheFileRaisesTheCreateError) {
    std::filesystem::create_directory(ini());
    try {
        confirm(Choice{});
        ADD_FAILURE() << "no error raised";
    } catch (const launcher::Error& error) {
        EXPECT_TRUE(std::string(error.what())
                        .starts_with("Cannot create file \"" + directory_ + "game.ini\". "))
            << error.what();
    }
    EXPECT_TRUE(std::filesystem::is_directory(ini()));
}

}  // namespace
