#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/line_list.h"

#ifdef _WIN32
#include "platform/win32/code_page_win32.h"
#endif

namespace {

std::string byte_string(unsigned byte) {
    return std::string(1, static_cast<char>(byte));
}

struct Mapping {
    unsigned byte;
    const char* utf8;
};

void expect_mappings(const launcher::CodePage& page, std::initializer_list<Mapping> mappings) {
    for (const auto& m : mappings) {
        EXPECT_EQ(page.decode(byte_string(m.byte)), m.utf8) << std::hex << m.byte;
        EXPECT_EQ(page.encode(m.utf8), byte_string(m.byte)) << std::hex << m.byte;
    }
}

TEST(BuiltInCodePages, Windows1251) {
    expect_mappings(launcher::code_page_1251(),
                    {{0x41, "A"},
                     {0x80, "Ђ"},
                     {0x88, "€"},
                     {0x98, "\u0098"},  // undefined: Windows passes it through
                     {0xA8, "Ё"},
                     {0xB9, "№"},
                     {0xB8, "ё"},
                     {0xC0, "А"},
                     {0xDF, "Я"},
                     {0xE0, "а"},
                     {0xFF, "я"}});
}

TEST(BuiltInCodePages, Windows1252) {
    expect_mappings(launcher::code_page_1252(), {{0x80, "€"},
                                                 {0x81, "\u0081"},
                                                 {0x8D, "\u008D"},
                                                 {0x8F, "\u008F"},
                                                 {0x90, "\u0090"},
                                                 {0x9D, "\u009D"},
                                                 {0x8A, "Š"},
                                                 {0x9F, "Ÿ"},
                                                 {0xA0, "\u00A0"},
                                                 {0xE9, "é"},
                                                 {0xFF, "ÿ"}});
}

const launcher::CodePage& (*const built_in_pages[])() = {launcher::code_page_1251,
                                                         launcher::code_page_1252};

TEST(BuiltInCodePages, EveryByteHasItsOwnCharacterAndComesBack) {
    for (const auto page : built_in_pages) {
        std::set<std::string> characters;
        for (unsigned byte = 0; byte < 256; ++byte) {
            const auto character = page().decode(byte_string(byte));
            characters.insert(character);
            EXPECT_EQ(page().encode(character), byte_string(byte)) << std::hex << byte;
        }
        EXPECT_EQ(characters.size(), 256u);
    }
}

TEST(BuiltInCodePages, RefuseCharactersWithoutAPlaceAndMalformedText) {
    const struct {
        const launcher::CodePage& page;
        const char* text;
    } cases[] = {
        {launcher::code_page_1251(), "é"},
        {launcher::code_page_1251(), "Ā"},  // no look-alike "A"
        {launcher::code_page_1251(), "ok 日本"},
        {launcher::code_page_1251(), "\U0001F600"},
        {launcher::code_page_1252(), "Ж"},
        {launcher::code_page_1252(), "Ā"},
        {launcher::code_page_1252(), "\u2212"},
        {launcher::code_page_1252(), "a\xFF"},
        {launcher::code_page_1252(), "\xC3"},
    };
    for (const auto& c : cases) EXPECT_FALSE(c.page.encode(c.text)) << c.text;
}

#ifdef _WIN32

// The built-in tables must be what Windows itself does with these code pages.
TEST(Win32CodePage, AgreesWithTheBuiltInTables) {
    const struct {
        unsigned number;
        const launcher::CodePage& table;
    } pages[] = {{1251, launcher::code_page_1251()}, {1252, launcher::code_page_1252()}};
    for (const auto& p : pages) {
        const platform::Win32CodePage windows(p.number);
        std::string all_bytes;
        for (unsigned byte = 0; byte < 256; ++byte) {
            const auto character = p.table.decode(byte_string(byte));
            EXPECT_EQ(windows.decode(byte_string(byte)), character) << p.number << " " << byte;
            EXPECT_EQ(windows.encode(character), byte_string(byte)) << p.number << " " << byte;
            all_bytes += byte_string(byte);
        }
        EXPECT_EQ(windows.decode(all_bytes), p.table.decode(all_bytes));
    }
}

TEST(Win32CodePage, RefusesWhatHasNoPlaceInsteadOfALookAlike) {
    const platform::Win32CodePage cp1251(1251);
    const platform::Win32CodePage cp1252(1252);
    for (const char* text : {"é", "Ā", "ok 日本", "\U0001F600", "a\xFF"})
        EXPECT_FALSE(cp1251.encode(text)) << text;
    for (const char* text : {"Ж", "Ā", "\u2212", "\U0001F600"})
        EXPECT_FALSE(cp1252.encode(text)) << text;
    EXPECT_EQ(cp1252.encode("?"), "?");
    EXPECT_EQ(cp1251.encode(""), "");
}

TEST(Win32CodePage, Utf8AndTheSystemAnsiCodePage) {
    const platform::Win32CodePage utf8(65001);
    EXPECT_EQ(utf8.encode("Клавиатура \U0001F600"), "Клавиатура \U0001F600");
    EXPECT_EQ(utf8.decode("Клавиатура"), "Клавиатура");
    EXPECT_EQ(platform::ansi_code_page().encode("KeyUp = 0x01"), "KeyUp = 0x01");
}

#endif

}  // namespace
