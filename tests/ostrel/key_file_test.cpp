#include "key_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ostrel::KeyFile;
using ostrel::read_key_code;
using namespace std::string_literals;

std::string utf16(std::u16string_view text, bool little_endian) {
    std::string bytes = little_endian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t unit : text) {
        const auto low = static_cast<char>(unit & 0xFF);
        const auto high = static_cast<char>(unit >> 8);
        bytes += little_endian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

struct LookupCase {
    const char* what;
    std::string file;
    const char* entry;
    std::uint32_t expected;  // the default given is always 0x99
};

constexpr std::uint32_t given_default = 0x99;

TEST(KeyFileReader, FindsCodesByTheRulesOfTheFile) {
    const std::vector<LookupCase> cases = {
        {"launcher's form", "[KEYS]\r\nKeyUp = 0xC8\r\n", "KeyUp", 0xC8},
        {"bare decimal", "[KEYS]\r\nKeyUp=200\r\n", "KeyUp", 200},
        {"names and digits in lower case", "[keys]\r\nkeyup = 0xc8", "KeyUp", 0xC8},
        {"blanks and tabs around everything", "  [ KEYS ]  \n\tKeyUp \t=\t 0X1e  \n", "KeyUp",
         0x1E},
        {"zero binds no key", "[KEYS]\nKeyAB = 0\n", "KeyAB", 0},
        {"largest code", "[KEYS]\nKeyUp = 0xFF\n", "KeyUp", 0xFF},
        {"largest decimal code", "[KEYS]\nKeyUp = 255\n", "KeyUp", 0xFF},
        {"leading zeros are decimal", "[KEYS]\nKeyUp = 010\n", "KeyUp", 10},
        {"entries in any order", "[KEYS]\nKeyDown = 0xD0\nKeyUnknown1 = 0x1E\nKeyUp = 0x11\n",
         "KeyUnknown1", 0x1E},
        {"CR line ends", "[KEYS]\rKeyDown = 1\rKeyUp = 0x11\r", "KeyUp", 0x11},
        {"mixed line ends", "[KEYS]\r\n\nKeyDown = 1\r\rKeyUp = 0x11", "KeyUp", 0x11},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF[KEYS]\r\nKeyUp = 0x11\r\n", "KeyUp", 0x11},
        {"UTF-16 little-endian", utf16(u"[KEYS]\r\nKeyUp = 0x11\r\n", true), "KeyUp", 0x11},
        {"UTF-16 big-endian", utf16(u"[KEYS]\r\nKeyUp = 0x11\r\n", false), "KeyUp", 0x11},
        {"repeated entry: the first counts", "[KEYS]\nKeyUp = 0x11\nKEYUP = 0x12\n", "KeyUp", 0x11},
        {"repeated section: the first counts",
         "[KEYS]\nKeyUp = 0x11\n[Other]\n[keys]\nKeyUp = 0x12\nKeyDown = 0x13\n", "KeyDown",
         given_default},
        {"empty file", "", "KeyUp", given_default},
        {"missing entry", "[KEYS]\nKeyDown = 0x10\n", "KeyUp", given_default},
        {"similar names", "[KEYS]\nKeyUpper = 1\nKey Up = 2\nKeyU = 3\nKeyUp 4\n", "KeyUp",
         given_default},
        {"entry before any section", "KeyUp = 0x11\n[KEYS]\n", "KeyUp", given_default},
        {"entry in another section", "[KEYS]\nKeyDown = 1\n[OTHER]\nKeyUp = 0x11\n", "KeyUp",
         given_default},
        {"section name only begins alike", "[KEYSET]\nKeyUp = 0x11\n", "KeyUp", given_default},
        {"first section KEYS after others", "[A]\nKeyUp = 1\n[B]\n[KEYS]\nKeyUp = 2\n", "KeyUp", 2},
        {"header without its bracket", "[KEYS\nKeyUp = 0x11\n", "KeyUp", 0x11},
        {"entries after the last one looked for",
         "[KEYS]\nKeyUp=1\nKeyDown=1\nKeyLeft=1\nKeyRight=1\nKeyA=1\nKeyB=1\nKeyC=1\n"
         "KeyTouch=1\nKeyAppeal=1\nKeyUnknown1=1\nKeyUnknown2=1\nKeyUnknown3=1\n"
         "KeyUnknown4=1\nKeyStart=1\nKeyUnknown5=1\nKeyUnknown6=1\nKeyAB=1\nKeyBC=1\n"
         "KeyABC=0x11\nKeyABC=2\n",
         "KeyABC", 0x11},
        {"NUL ends the text", "[KEYS]\nKeyDown = 1\n\0KeyUp = 0x11\n"s, "KeyUp", given_default},
    };
    for (const auto& c : cases) {
        const auto found = read_key_code(KeyFile(c.file), c.entry, given_default);
        EXPECT_EQ(found.code, c.expected) << c.what;
        EXPECT_FALSE(found.rejected_value) << c.what;
    }
}

// A hostile file: a few MiB of distinct entries and distinct sections around the ones that
// count. Each line is looked at once, so this reads in a moment.
TEST(KeyFileReader, LargeFileOfDistinctNamesIsReadInOnePass) {
    std::string file = "[KEYS]\n";
    for (int i = 0; file.size() < (3u << 20); ++i)
        file += "Entry" + std::to_string(i) + " = " + std::to_string(i % 256) + "\n";
    file += "KeyUp = 0x11\nkeyup = 0x12\n";
    for (int i = 0; file.size() < (5u << 20); ++i) file += "[Section" + std::to_string(i) + "]\n";
    file += "[KEYS]\nKeyDown = 0x13\n";
    const KeyFile keys(file);
    EXPECT_EQ(read_key_code(keys, "KeyUp", given_default).code, 0x11u);
    EXPECT_EQ(read_key_code(keys, "KeyDown", given_default).code, given_default);
}

TEST(KeyFileReader, MissingFileGivesTheDefault) {
    const auto found = read_key_code(KeyFile(), "KeyUp", 0xC8);
    EXPECT_EQ(found.code, 0xC8u);
    EXPECT_FALSE(found.rejected_value);
}

TEST(KeyFileReader, ValueThatIsNoKeyCodeKeepsTheDefaultAndIsReported) {
    // value as written -> as reported (blanks trimmed)
    const std::vector<std::pair<std::string, std::string>> values = {
        {"", ""},
        {"   ", ""},
        {"-1", "-1"},
        {"+5", "+5"},
        {"0x", "0x"},
        {"0x100", "0x100"},
        {"256", "256"},
        {"12abc", "12abc"},
        {"0xG1", "0xG1"},
        {" 0xC8 ; up", "0xC8 ; up"},
        {"1 2", "1 2"},
        {"99999999999999999999", "99999999999999999999"},
        {"0x00000000FF1", "0x00000000FF1"},
    };
    for (const auto& [written, reported] : values) {
        const auto found =
            read_key_code(KeyFile("[KEYS]\nKeyUp =" + written + "\n"), "KeyUp", 0xC8);
        EXPECT_EQ(found.code, 0xC8u) << '"' << written << '"';
        EXPECT_EQ(found.rejected_value, reported) << '"' << written << '"';
    }
}

TEST(KeyFileReader, Utf16IsDecodedToUtf8) {
    const std::u16string text = u"; клавиши \U0001F600\r\n";
    const std::string expected = "; клавиши \xF0\x9F\x98\x80\r\n";
    EXPECT_EQ(ostrel::decode_key_file(utf16(text, true)), expected);
    EXPECT_EQ(ostrel::decode_key_file(utf16(text, false)), expected);
    // Long text with surrogate pairs everywhere, block ends among them.
    std::u16string long_text;
    std::string long_expected;
    for (int i = 0; i < 50000; ++i) {
        long_text += i % 3 == 0 ? u"\U0001F600" : u"я";
        long_expected += i % 3 == 0 ? "\xF0\x9F\x98\x80" : "я";
    }
    for (const std::size_t shift : {0, 1, 2, 3}) {
        const auto shifted = std::u16string(shift, u'a') + long_text;
        const auto shifted_expected = std::string(shift, 'a') + long_expected;
        EXPECT_TRUE(ostrel::decode_key_file(utf16(shifted, true)) == shifted_expected) << shift;
        EXPECT_TRUE(ostrel::decode_key_file(utf16(shifted, false)) == shifted_expected) << shift;
    }
    // A lone surrogate and an odd last byte become U+FFFD, as the launcher reads them.
    EXPECT_EQ(ostrel::decode_key_file(std::string("\xFF\xFE\x00\xD8"
                                                  "A\x00"
                                                  "B",
                                                  7)),
              "\xEF\xBF\xBD"
              "A\xEF\xBF\xBD");
}

}  // namespace
