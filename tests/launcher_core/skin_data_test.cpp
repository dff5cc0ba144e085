#include "toolkit/formats/skin_data.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using skin::Color;
using skin::SkinData;
using skin::SkinError;

std::string read_shipped_skin() {
    std::ifstream file(KIT_SOURCE_DIR "/launcher/resources/skin/tv-b.skin", std::ios::binary);
    EXPECT_TRUE(file) << "cannot open the shipped skin";
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string key_text(const skin::RequiredColor& required) {
    std::string key(required.property);
    if (!required.state.empty()) key += ":" + std::string(required.state);
    return key;
}

std::string describe(const skin::RequiredColor& required) {
    return std::string(required.section) + " " + key_text(required);
}

// The colour the minimal skin gives to required colour number `index`: all distinct.
Color distinct_color(std::size_t index) {
    return {static_cast<std::uint8_t>(index), 0x80, 0x40};
}

// A skin of exactly the required colours, one section header per colour, leaving out
// required colour number `left_out` if given.
std::string minimal_skin(std::size_t left_out = SIZE_MAX) {
    std::string text = "name = Minimal\n";
    const auto required = skin::required_colors();
    for (std::size_t i = 0; i < required.size(); ++i) {
        if (i == left_out) continue;
        char color[8];
        std::snprintf(color, sizeof color, "#%02X%02X%02X", distinct_color(i).r,
                      distinct_color(i).g, distinct_color(i).b);
        text += "[" + std::string(required[i].section) + "]\n" + key_text(required[i]) + " = " +
                color + "\n";
    }
    return text;
}

TEST(ShippedSkin, ParsesWithItsNameAndEveryRequiredColour) {
    const SkinData data = SkinData::parse(read_shipped_skin());
    EXPECT_EQ(data.name(), "TV-b (internal)");
    for (const auto& required : skin::required_colors())
        EXPECT_NO_THROW(data.color(required.section, required.property, required.state))
            << describe(required);
}

TEST(ShippedSkin, DropDownListsAndLabelsKeepTheDialogsColours) {
    const SkinData data = SkinData::parse(read_shipped_skin());
    const Color field{26, 26, 26};
    const Color cl_gray{128, 128, 128};
    EXPECT_EQ(data.color("COMBOBOX", "face"), field);
    EXPECT_EQ(data.color("COMBOBOX", "face").colorref(), 1710618u);
    EXPECT_EQ(data.color("COMBOBOX", "face", "disabled"), field);
    EXPECT_EQ(data.color("COMBOBOX", "list"), field);
    EXPECT_EQ(data.color("COMBOBOX", "text"), cl_gray);
    EXPECT_EQ(data.color("LABEL", "text"), cl_gray);
}

// A state colour equal to its normal colour would make hover, press or disabling invisible.
// The one exception is the drop-down field, whose background is fixed at 26,26,26.
TEST(ShippedSkin, EveryRequiredStateLooksUnlikeNormal) {
    const SkinData data = SkinData::parse(read_shipped_skin());
    for (const auto& required : skin::required_colors()) {
        if (required.state.empty()) continue;
        if (required.section == "COMBOBOX" && required.property == "face" &&
            required.state == "disabled")
            continue;
        EXPECT_NE(data.color(required.section, required.property, required.state),
                  data.color(required.section, required.property))
            << describe(required);
    }
}

TEST(SkinColor, StateFallsBackToTheBareProperty) {
    const SkinData data = SkinData::parse(minimal_skin() +
                                          "[BUTTON]\n"
                                          "text:hot = #010203\n");
    EXPECT_EQ(data.color("BUTTON", "text", "hot"), (Color{1, 2, 3}));
    EXPECT_EQ(data.color("BUTTON", "text", "pressed"), data.color("BUTTON", "text"));
    EXPECT_EQ(data.color("BUTTON", "text", "normal"), data.color("BUTTON", "text"));
    EXPECT_NE(data.color("BUTTON", "text", "disabled"), data.color("BUTTON", "text"));
    // Queries ignore case like the text does.
    EXPECT_EQ(data.color("button", "TEXT", "Hot"), (Color{1, 2, 3}));
}

TEST(SkinColor, MissingPropertyThrowsNamingSectionAndProperty) {
    const SkinData data = SkinData::parse(minimal_skin());
    try {
        data.color("BUTTON", "glyph", "hot");
        FAIL() << "no SkinError";
    } catch (const SkinError& error) {
        EXPECT_NE(std::string(error.what()).find("BUTTON glyph"), std::string::npos)
            << error.what();
    }
    // A colour of one section is not found through another.
    EXPECT_THROW(data.color("LABEL", "border"), SkinError);
}

TEST(SkinParse, AcceptsEveryWrittenFormOfTheFormat) {
    const SkinData data = SkinData::parse(
        "\xEF\xBB\xBF"
        "# a comment before the name\r\n"
        "  NAME\t=  Spaced Name  \r\n"
        "\r\n"
        "[ button ]\r\n"
        "  ; an indented comment\r\n"
        "Edge:PRESSED\t=\t#a0b0c0\r\n"
        "glow = #0A0B0C\r\n"
        "[LABEL]\n"
        "[Button]\n"
        "shade:Normal = #FFFFFF\n" +
        minimal_skin().substr(minimal_skin().find('\n') + 1));
    EXPECT_EQ(data.name(), "Spaced Name");
    EXPECT_EQ(data.color("BUTTON", "edge", "pressed"), (Color{0xA0, 0xB0, 0xC0}));
    EXPECT_EQ(data.color("BUTTON", "glow"), (Color{0x0A, 0x0B, 0x0C}));
    EXPECT_EQ(data.color("BUTTON", "shade"), (Color{0xFF, 0xFF, 0xFF}));
}

struct MalformedCase {
    const char* what;
    std::string text;
    int line;
};

class MalformedSkin : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedSkin, IsRejectedNamingTheLine) {
    try {
        SkinData::parse(GetParam().text);
        FAIL() << "no SkinError";
    } catch (const SkinError& error) {
        const std::string expected = "line " + std::to_string(GetParam().line) + ":";
        EXPECT_NE(std::string(error.what()).find(expected), std::string::npos) << error.what();
    }
}

const std::string head = "name = X\n[BUTTON]\n";  // the bad line is line 3

INSTANTIATE_TEST_SUITE_P(
    SkinParse, MalformedSkin,
    testing::Values(
        MalformedCase{"no equals sign", head + "face #112233\n", 3},
        MalformedCase{"five digits", head + "face = #11223\n", 3},
        MalformedCase{"seven digits", head + "face = #1122334\n", 3},
        MalformedCase{"not hexadecimal", head + "face = #11G233\n", 3},
        MalformedCase{"no hash", head + "face = 112233\n", 3},
        MalformedCase{"empty colour", head + "face =\n", 3},
        MalformedCase{"comment after the colour", head + "face = #112233 ; dark\n", 3},
        MalformedCase{"unknown state", head + "face:hover = #112233\n", 3},
        MalformedCase{"empty state", head + "face: = #112233\n", 3},
        MalformedCase{"blank inside the property", head + "fa ce = #112233\n", 3},
        MalformedCase{"no property", head + "= #112233\n", 3},
        MalformedCase{"defined twice", head + "face:hot = #112233\nFACE:Hot = #445566\n", 4},
        MalformedCase{"normal and bare twice", head + "face = #112233\nface:normal = #112233\n", 4},
        MalformedCase{"property before any section", "name = X\n\nface = #112233\n", 3},
        MalformedCase{"unknown section", "name = X\n[SLIDER]\n", 2},
        MalformedCase{"unclosed section", "name = X\n[BUTTON\n", 2},
        MalformedCase{"no name line", "; skin\n[BUTTON]\nface = #112233\n", 2},
        MalformedCase{"empty name", "name =  \n", 1},
        MalformedCase{"only comments", "; skin\n\n", 3}, MalformedCase{"empty text", "", 1},
        MalformedCase{"lines counted across CR LF", "name = X\r\n[BUTTON]\r\nface #112233\r\n", 3}),
    [](const testing::TestParamInfo<MalformedCase>& param_info) {
        std::string name = param_info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(SkinParse, MissingRequiredColourIsRejectedByName) {
    const auto required = skin::required_colors();
    for (std::size_t i = 0; i < required.size(); ++i) {
        try {
            SkinData::parse(minimal_skin(i));
            ADD_FAILURE() << describe(required[i]) << " accepted as missing";
        } catch (const SkinError& error) {
            EXPECT_TRUE(std::string(error.what()).ends_with(": " + describe(required[i])))
                << error.what();
        }
    }
}

TEST(SkinParse, MinimalSkinKeepsEachColourInItsPlace) {
    const SkinData data = SkinData::parse(minimal_skin());
    const auto required = skin::required_colors();
    for (std::size_t i = 0; i < required.size(); ++i)
        EXPECT_EQ(data.color(required[i].section, required[i].property, required[i].state),
                  distinct_color(i))
            << describe(required[i]);
}

}  // namespace
