#include "kit/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kit::text::LineEnds;

std::vector<std::string> lines(std::string_view text, LineEnds ends) {
    const auto views = kit::text::split_lines(text, ends);
    return {views.begin(), views.end()};
}

// The two line rules differ only in a lone CR and a NUL.
TEST(SplitLines, EitherRuleEndsLinesAsItsFormatSays) {
    using Lines = std::vector<std::string>;
    const struct {
        std::string text;
        Lines any;
        Lines lf;
    } cases[] = {
        {"", {}, {}},
        {"a\r\nb\nc", {"a", "b", "c"}, {"a", "b", "c"}},
        {"a\n", {"a"}, {"a"}},
        {"\n\n", {"", ""}, {"", ""}},
        {"a\rb\r", {"a", "b"}, {"a\rb"}},
        {std::string("a\nb\0c\nd", 7), {"a", "b"}, {"a", std::string("b\0c", 3), "d"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lines(c.text, LineEnds::any), c.any) << c.text;
        EXPECT_EQ(lines(c.text, LineEnds::lf), c.lf) << c.text;
    }
}

TEST(Widen, RoundTripsEveryPlaneAndReplacesIllFormedUtf8) {
    const std::string text = "Зорелия \xF0\x9F\x8E\xAE x";
    EXPECT_EQ(kit::text::narrow(kit::text::widen(text)), text);
    EXPECT_EQ(kit::text::narrow(kit::text::widen("a\xFF")), "a\xEF\xBF\xBD");
}

}  // namespace
