#include "core/line_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../common/failing_file_steps.h"
#include "core/errors.h"
#include "core_test.h"
#include "kit/atomic_file.h"
#include "kit/file_steps.h"
#include "kit_test.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

using Lines = std::vector<std::string>;

const launcher::CodePage& cp1251 = launcher::code_page_1251();
const launcher::CodePage& cp1252 = launcher::code_page_1252();

TEST(LineListReading, BytesToLines) {
    const struct {
        const char* name;
        std::string bytes;
        const launcher::CodePage& ansi;
        Lines lines;
    } cases[] = {
        {"empty", "", cp1251, {}},
        {"CR LF", "a\r\nb\r\n", cp1251, {"a", "b"}},
        {"lone CR and LF", "a\rb\nc", cp1251, {"a", "b", "c"}},
        {"no line end at the end", "0\r\n1024", cp1251, {"0", "1024"}},
        {"empty lines", "a\n\n\r\n\rb", cp1251, {"a", "", "", "", "b"}},
        {"LF CR is two line ends", "a\n\rb", cp1251, {"a", "", "b"}},
        {"only a line end", "\r\n", cp1251, {""}},
        {"kept as it stands", " KeyUp = 0x01 \t\r\n", cp1251, {" KeyUp = 0x01 \t"}},
        {"NUL ends the text", "a\r\nb\0c\r\nd"s, cp1251, {"a", "b"}},
        {"NUL first", "\0a"s, cp1251, {}},
        {"Cyrillic in 1251",
         "\xCA\xEB\xE0\xE2\xE8\xE0\xF2\xF3\xF0\xE0 \xA8\xB8\xB9",
         cp1251,
         {"Клавиатура Ёё№"}},
        {"the same bytes in 1252", "\xCA\xEB\xE0\xE2", cp1252, {"Êëàâ"}},
        {"Latin in 1252", "caf\xE9 \x80 \x9F", cp1252, {"café € Ÿ"}},
        {"undefined byte", "\x98|\x81", cp1251, {"\u0098|Ѓ"}},
        {"mark not at the start is text", "x\xEF\xBB\xBF", cp1252, {"xï»¿"}},
        {"UTF-8 mark", "\xEF\xBB\xBF\xD0\x9A\xD1\x8F\r\nb", cp1252, {"Кя", "b"}},
        {"UTF-8 mark only", "\xEF\xBB\xBF", cp1251, {}},
        {"UTF-8 NUL",
         "\xEF\xBB\xBF"
         "a\nb\0c"s,
         cp1251,
         {"a", "b"}},
        {"UTF-16 LE",
         "\xFF\xFE"
         "A\0\x1A\x04\r\0\n\0z\0"s,
         cp1252,
         {"AК", "z"}},
        {"UTF-16 BE",
         "\xFE\xFF"
         "\0A\x04\x1A\0\n\0\r\0z"s,
         cp1252,
         {"AК", "", "z"}},
        {"UTF-16 surrogate pair", "\xFF\xFE\x3D\xD8\x00\xDE"s, cp1251, {"\U0001F600"}},
        {"UTF-16 NUL",
         "\xFF\xFE"
         "a\0\0\0b\0"s,
         cp1251,
         {"a"}},
        {"UTF-16 mark only", "\xFF\xFE", cp1251, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(launcher::LineList::from_bytes(c.bytes, c.ansi).lines(), c.lines) << c.name;
    }
}

TEST(LineListReading, MalformedUnicodeBecomesReplacementCharacters) {
    const struct {
        const char* name;
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"UTF-16 odd byte count",
         "\xFF\xFE"
         "a\0b"s,
         {"a\uFFFD"}},
        {"UTF-16 lone high surrogate",
         "\xFF\xFE\x3D\xD8"
         "a\0"s,
         {"\uFFFDa"}},
        {"UTF-16 lone low surrogate at the end", "\xFE\xFF\xDE\x00"s, {"\uFFFD"}},
        {"UTF-8 stray bytes",
         "\xEF\xBB\xBF"
         "a\xFF"
         "b\x80",
         {"a\uFFFDb\uFFFD"}},
        {"UTF-8 cut short",
         "\xEF\xBB\xBF"
         "a\xE2\x82",
         {"a\uFFFD"}},
        {"UTF-8 cut short by a line end", "\xEF\xBB\xBF\xE2\x82\r\nb", {"\uFFFD", "b"}},
        {"UTF-8 overlong", "\xEF\xBB\xBF\xC0\xAF", {"\uFFFD\uFFFD"}},
        {"UTF-8 surrogate", "\xEF\xBB\xBF\xED\xA0\x80", {"\uFFFD\uFFFD\uFFFD"}},
        {"UTF-8 above U+10FFFF", "\xEF\xBB\xBF\xF4\x90\x80\x80", {"\uFFFD\uFFFD\uFFFD\uFFFD"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(launcher::LineList::from_bytes(c.bytes, cp1251).lines(), c.lines) << c.name;
}

using core_test::list_of;

TEST(LineListWriting, CrLfAfterEveryLineInTheAnsiCodePage) {
    EXPECT_EQ(list_of({}).to_bytes(cp1251), "");
    EXPECT_EQ(list_of({""}).to_bytes(cp1251), "\r\n");
    EXPECT_EQ(list_of({"[KEYS]", "", "KeyUp = 0xC8", "Вверх"}).to_bytes(cp1251),
              "[KEYS]\r\n\r\nKeyUp = 0xC8\r\n\xC2\xE2\xE5\xF0\xF5\r\n");
    EXPECT_EQ(list_of({"café €"}).to_bytes(cp1252), "caf\xE9 \x80\r\n");
}

TEST(LineListWriting, CharactersOutsideTheAnsiCodePageSwitchTheWholeFileToUtf8) {
    const Lines lines = {"Вверх", "café", "\U0001F600"};
    const auto bytes = list_of(lines).to_bytes(cp1251);
    EXPECT_EQ(bytes,
              "\xEF\xBB\xBF"
              "Вверх\r\ncafé\r\n\U0001F600\r\n");
    EXPECT_EQ(launcher::LineList::from_bytes(bytes, cp1251).lines(), lines);
    // The same lines minus the one 1252 lacks stay ANSI there.
    EXPECT_EQ(list_of({"café"}).to_bytes(cp1252), "caf\xE9\r\n");
}

TEST(LineListWriting, AnsiBytesThatBeginLikeAMarkGoOutAsUtf8) {
    struct Case {
        const char* name;
        Lines lines;
        const launcher::CodePage& ansi;
    };
    const Case cases[] = {
        {"1251 FF FE", {"яюшка", "b"}, cp1251}, {"1251 FE FF", {"юя"}, cp1251},
        {"1252 FF FE", {"ÿþ"}, cp1252},         {"1252 FE FF", {"þÿ x"}, cp1252},
        {"1252 EF BB BF", {"ï»¿abc"}, cp1252},  {"a mark's first byte alone", {"я"}, cp1251},
    };
    for (const auto& c : cases) {
        const auto bytes = list_of(c.lines).to_bytes(c.ansi);
        EXPECT_EQ(launcher::LineList::from_bytes(bytes, c.ansi).lines(), c.lines) << c.name;
    }
    EXPECT_TRUE(list_of({"юя"}).to_bytes(cp1251).starts_with("\xEF\xBB\xBF\xD1\x8E"));
    // Only the start matters: the same letters further in stay ANSI.
    EXPECT_EQ(list_of({"", "яю"}).to_bytes(cp1251), "\r\n\xFF\xFE\r\n");
    EXPECT_EQ(list_of({"я"}).to_bytes(cp1251), "\xFF\r\n");
}

TEST(LineListIndex, OutOfBoundsNamesTheIndex) {
    auto list = list_of({"0", "1024"});
    list.replace(1, "800");
    EXPECT_EQ(list.at(1), "800");
    for (const long index : {-1L, 2L, 16L}) {
        const auto expected = "List index out of bounds (" + std::to_string(index) + ")";
        EXPECT_THROW_MSG((void)list.at(index), launcher::Error, expected);
        EXPECT_THROW_MSG(list.replace(index, "x"), launcher::Error, expected);
    }
    EXPECT_EQ(list.lines(), (Lines{"0", "800"}));
}

using core_test::error_of;

class LineListFile : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const {
        return kit_test::path_to_utf8(folder_ / name);
    }
    static std::string read(const std::string& path) {
        return kit_test::read_bytes(kit_test::path_from_utf8(path));
    }
    static void write(const std::string& path, const std::string& bytes) {
        std::ofstream(kit_test::path_from_utf8(path), std::ios::binary) << bytes;
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_.path()), {}));
    }
    static void expect_error(const std::string& message, const std::string& prefix) {
        EXPECT_TRUE(message.starts_with(prefix)) << message;
        EXPECT_GT(message.size(), prefix.size()) << "the system's reason is missing";
    }

    kit_test::TempFolder folder_{"launcher-lines-"};
};

TEST_F(LineListFile, SavesWholeAndLoadsBackUnderANonAsciiPath) {
    fs::create_directory(folder_ / "Зорелия");
    const auto file = path("Зорелия/game.ini");
    write(file, "old line\r\nold line\r\nold line\r\nold line\r\nold line\r\n");

    list_of({"0", "1024", "768", "Вверх"}).save_to_file(file, cp1251);
    EXPECT_EQ(read(file), "0\r\n1024\r\n768\r\n\xC2\xE2\xE5\xF0\xF5\r\n");

    auto loaded = list_of({"stale"});
    loaded.load_from_file(file, cp1251);
    EXPECT_EQ(loaded.lines(), (Lines{"0", "1024", "768", "Вверх"}));
    EXPECT_TRUE(launcher::file_exists(file));
}

TEST_F(LineListFile, OpenErrorForAFolderOrAMissingFileKeepsTheLines) {
    fs::create_directory(folder_ / "game.ini");
    for (const auto& file : {path("game.ini"), path("absent.ini")}) {
        auto list = list_of({"kept"});
        expect_error(error_of([&] { list.load_from_file(file, cp1251); }),
                     "Cannot open file \"" + file + "\". ");
        EXPECT_EQ(list.lines(), (Lines{"kept"}));
    }
}

TEST_F(LineListFile, CreateErrorLeavesWhatStoodThere) {
    // A folder in the file's place cannot be replaced, even by root.
    fs::create_directory(folder_ / "Input1.ini");
    write(path("Input1.ini/inside"), "kept");
    const auto blocked = path("Input1.ini");
    expect_error(error_of([&] { list_of({"x"}).save_to_file(blocked, cp1251); }),
                 "Cannot create file \"" + blocked + "\". ");
    EXPECT_EQ(read(path("Input1.ini/inside")), "kept");
    EXPECT_EQ(entries(), 1u) << "a temporary file was left behind";

    const auto missing_folder = path("absent/ostrel.ini");
    expect_error(error_of([&] { list_of({"x"}).save_to_file(missing_folder, cp1251); }),
                 "Cannot create file \"" + missing_folder + "\". ");
}

TEST_F(LineListFile, FullDiskRaisesTheCreateErrorWithTheSystemsReasonAndKeepsTheOldFile) {
    const auto file = path("Input1.ini");
    const std::string old_bytes = "Generic   USB   Joystick\r\n1 2 3 4 5 6 7 8 9 \r\n";
    write(file, old_bytes);
    kit_test::FailingFileSteps full_disk(kit_test::WriteFault::no_byte_taken);
    const kit::ScopedFileSteps in_place(full_disk);
    EXPECT_EQ(error_of([&] {
                  list_of({"new", "lines"}).save_to_file(file, cp1251);
              }),
              "Cannot create file \"" + file + "\". " + kit_test::disk_full_text());
    EXPECT_EQ(read(file), old_bytes);
    EXPECT_EQ(entries(), 1u) << "a temporary file was left behind";
}

TEST_F(LineListFile, FileExistsOnlyForFiles) {
    write(path("ostrel.ini"), "");
    write(path("Геймпад.ini"), "x");
    fs::create_directory(folder_ / "game.ini");
    EXPECT_TRUE(launcher::file_exists(path("ostrel.ini")));
    EXPECT_TRUE(launcher::file_exists(path("Геймпад.ini")));
    EXPECT_FALSE(launcher::file_exists(path("game.ini")));
    EXPECT_FALSE(launcher::file_exists(path("absent.ini")));
    EXPECT_FALSE(launcher::file_exists(path("absent/Input1.ini")));
}

}  // namespace
