#include "core/key_list.h"

#include <gtest/gtest.h>

#include <charconv>
#include <optional>
#include <set>
#include <string>

namespace {

using namespace std::string_view_literals;

using launcher::find_key_row;
using launcher::key_list;

int code_of(std::string_view code_string) {
    int code = -1;
    std::from_chars(code_string.data() + 2, code_string.data() + code_string.size(), code, 16);
    return code;
}

bool is_two_upper_hex_digits(std::string_view digits) {
    return digits.size() == 2 && digits.find_first_not_of("0123456789ABCDEF") == digits.npos;
}

TEST(KeyList, LandmarkRows) {
    struct Landmark {
        int row;
        std::string_view name;
        std::string_view code;
    };
    const Landmark landmarks[] = {
        {0, "Не задано", "0"},   {1, "ESCAPE", "0x01"},  {26, "LBRACKET", "0x1A"},
        {83, "DECIMAL", "0x53"}, {84, "F11", "0x57"},    {94, "CIRCUMFLEX", "0x90"},
        {110, "UP", "0xC8"},     {123, "SLEEP", "0xDF"},
    };
    ASSERT_EQ(key_list.size(), 124u);
    for (const auto& landmark : landmarks) {
        SCOPED_TRACE(landmark.row);
        EXPECT_EQ(key_list[static_cast<std::size_t>(landmark.row)].display_name, landmark.name);
        EXPECT_EQ(key_list[static_cast<std::size_t>(landmark.row)].code, landmark.code);
    }
}

TEST(KeyList, KeyCodesAreTwoUpperHexDigitsStrictlyAscendingAndNamesUnique) {
    int previous = 0;
    std::set<std::string_view> names;
    for (std::size_t row = 1; row < key_list.size(); ++row) {
        const auto& key = key_list[row];
        SCOPED_TRACE(key.display_name);
        ASSERT_TRUE(key.code.starts_with("0x"));
        ASSERT_TRUE(is_two_upper_hex_digits(key.code.substr(2)));
        const int code = code_of(key.code);
        EXPECT_GT(code, previous);
        if (row <= 83) {
            EXPECT_EQ(code, static_cast<int>(row));
        }
        previous = code;
        EXPECT_TRUE(names.insert(key.display_name).second);
    }
}

TEST(FindKeyRow, IgnoresLetterCaseOnly) {
    const std::pair<std::string_view, std::optional<int>> cases[] = {
        {"0xc8", 110}, {"0XC8", 110},     {"0X1E", 30}, {"0x1e", 30},     {"0", 0},
        {"0xDF", 123}, {"200", {}},       {"C8", {}},   {"0x0C8", {}},    {"0xC8 ", {}},
        {" 0xC8", {}}, {"", {}},          {"0x", {}},   {"0x00", {}},     {"00", {}},
        {"0x56", {}},  {"Не задано", {}}, {"UP", {}},   {"0xC8\0"sv, {}},
    };
    for (const auto& [value, row] : cases) {
        SCOPED_TRACE(std::string(value));
        EXPECT_EQ(find_key_row(value), row);
    }
}

TEST(FindKeyRow, FindsEveryRowByItsOwnCode) {
    for (std::size_t row = 0; row < key_list.size(); ++row)
        EXPECT_EQ(find_key_row(key_list[row].code), static_cast<int>(row));
}

}  // namespace
