#include "core/errors.h"

#include <gtest/gtest.h>

#include <limits>

#include "kit_test.h"

namespace {

TEST(ErrorTexts, ExactMessages) {
    EXPECT_EQ(launcher::not_integer_message("1 2"), "''1 2'' is not a valid integer value");
    EXPECT_EQ(launcher::not_integer_message(""), "'''' is not a valid integer value");
    EXPECT_THROW_MSG(launcher::throw_list_index_error(16), launcher::Error,
                     "List index out of bounds (16)");
}

TEST(StrToInt, AcceptsSignedDecimalAndHexadecimal) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"0", 0},
        {"12", 12},
        {"-1", -1},
        {"+7", 7},
        {"007", 7},
        {"-0", 0},
        {"2147483647", std::numeric_limits<int>::max()},
        {"-2147483648", std::numeric_limits<int>::min()},
        {"$1A", 26},
        {"0x1a", 26},
        {"0XfF", 255},
        {"-$10", -16},
        {"0x7FFFFFFF", std::numeric_limits<int>::max()},
        {"-0x80000000", std::numeric_limits<int>::min()},
    };
    for (const auto& c : cases) EXPECT_EQ(launcher::str_to_int(c.text), c.value) << c.text;
}

TEST(StrToInt, RejectsEverythingElseNamingTheText) {
    const char* const cases[] = {"",
                                 " 1",
                                 "1 ",
                                 "\t1",
                                 "1.0",
                                 "12a",
                                 "+",
                                 "-",
                                 "--1",
                                 "$",
                                 "0x",
                                 "x1",
                                 "1e3",
                                 "$-1",
                                 "0x 1",
                                 "2147483648",
                                 "-2147483649",
                                 "0x80000000",
                                 "99999999999999999999",
                                 "١"};
    for (const char* text : cases) {
        EXPECT_THROW_MSG((void)launcher::str_to_int(text), launcher::Error,
                         launcher::not_integer_message(text));
    }
}

}  // namespace
