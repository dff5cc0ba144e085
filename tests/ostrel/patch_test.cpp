#include "patch.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "game_fixture.h"

namespace {

using namespace ostrel_test;
using ostrel::GameCheck;

// Where each entry's code ends up, in report order.
struct BoundField {
    const char* entry;
    std::uint32_t field;
};
constexpr BoundField bound_fields[] = {
    {"KeyUp", 0x5669},        {"KeyDown", 0x567A},     {"KeyLeft", 0x568B},
    {"KeyRight", 0x569C},     {"KeyA", 0x56AD},        {"KeyB", 0x56BE},
    {"KeyC", 0x56CF},         {"KeyTouch", 0x56E0},    {"KeyAppeal", 0x56F1},
    {"KeyUnknown1", 0x56FF},  {"KeyUnknown2", 0x5710}, {"KeyUnknown3", 0x5721},
    {"KeyUnknown4", 0x5732},  {"KeyStart", 0x5743},    {"KeyUnknown5", 0x5754},
    {"KeyUnknown6", 0x60E95}, {"KeyAB", 0x60E62},      {"KeyBC", 0x60E73},
    {"KeyABC", 0x60E84},
};

constexpr std::array<std::uint8_t, 7> expected_jump{0xE9, 0xF8, 0xB6, 0x05, 0x00, 0x90, 0x90};

TEST(PatchRun, AcceptsOnlyLargeEnoughV104) {
    struct Case {
        std::size_t size;
        const char* mark;
        GameCheck expected;
    };
    const Case cases[] = {
        {720895, " v1.04", GameCheck::too_small},     {720896, " v1.04", GameCheck::valid},
        {720896 + 4096, " v1.04", GameCheck::valid},  {720896, " v1.03", GameCheck::wrong_version},
        {720896, " V1.04", GameCheck::wrong_version}, {720896, "v1.04 ", GameCheck::wrong_version},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ostrel::check_game(make_game(c.size, c.mark)), c.expected)
            << c.size << " '" << c.mark << "'";
    EXPECT_EQ(ostrel::check_game({}), GameCheck::too_small);

    auto small = make_game(720895);
    EXPECT_THROW(ostrel::patch_game(small, ostrel::KeyFile()), std::invalid_argument);
}

TEST(PatchRun, WithoutBindingsOnlyThePatchBlocksChange) {
    const auto game = make_game();
    auto patched = game;
    const auto bindings = ostrel::patch_game(patched, ostrel::KeyFile());

    ASSERT_EQ(patched.size(), game.size());
    for (std::size_t i = 0; i < game.size(); ++i) {
        const bool in_jump = i >= 0x5763 && i < 0x576A;
        const bool in_chords = i >= 0x60E60 && i < 0x60E9F;
        if (!in_jump && !in_chords) {
            ASSERT_EQ(patched[i], game[i]) << "offset " << i;
        }
    }
    EXPECT_TRUE(std::equal(expected_jump.begin(), expected_jump.end(), patched.begin() + 0x5763));
    // The three chord fields hold 0x71C (code 0), the last one the game's RSHIFT test.
    const std::array<std::uint8_t, 63> expected_chords{
        0x80, 0xBD, 0x1C, 0x07, 0x00, 0x00, 0x00, 0x74, 0x08, 0x81, 0x4C, 0x24, 0x14,
        0x20, 0x00, 0x00, 0x00, 0x80, 0xBD, 0x1C, 0x07, 0x00, 0x00, 0x00, 0x74, 0x08,
        0x81, 0x4C, 0x24, 0x14, 0x40, 0x00, 0x00, 0x00, 0x80, 0xBD, 0x1C, 0x07, 0x00,
        0x00, 0x00, 0x74, 0x08, 0x81, 0x4C, 0x24, 0x14, 0x80, 0x00, 0x00, 0x00, 0x80,
        0xBD, 0x52, 0x07, 0x00, 0x00, 0x00, 0xE9, 0xCB, 0x48, 0xFA, 0xFF};
    EXPECT_TRUE(
        std::equal(expected_chords.begin(), expected_chords.end(), patched.begin() + 0x60E60));

    ASSERT_EQ(bindings.size(), std::size(bound_fields));
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        EXPECT_STREQ(bindings[i].record->entry_name, bound_fields[i].entry);
        EXPECT_EQ(static_cast<std::uint32_t>(bindings[i].old_code), bindings[i].new_code)
            << bound_fields[i].entry;
        EXPECT_FALSE(bindings[i].rejected_value);
    }
    EXPECT_EQ(bindings[0].old_code, 0xC8);   // KeyUp, from the game
    EXPECT_EQ(bindings[15].old_code, 0x36);  // KeyUnknown6, read before the jump covers it
    EXPECT_EQ(bindings[16].old_code, 0);     // KeyAB, a chord: no key
}

TEST(PatchRun, DefaultsAreTheGamesOwnCodes) {
    auto game = make_game();
    std::uint32_t code = 0x40;
    for (const auto& test : game_key_tests) set_game_code(game, test.field, code++);

    const auto bindings = ostrel::patch_game(game, ostrel::KeyFile());
    for (std::size_t i = 0; i < std::size(game_key_tests); ++i) {
        EXPECT_EQ(bindings[i].old_code, static_cast<std::int32_t>(0x40 + i))
            << bindings[i].record->entry_name;
        EXPECT_EQ(bindings[i].new_code, 0x40 + i);
    }
    EXPECT_EQ(get_u32(game, 0x60E95), 0x4F + displacement);  // KeyUnknown6 moved with its code
}

TEST(PatchRun, BoundCodesReachTheirFields) {
    std::string file = "[KEYS]\r\n";
    std::uint32_t code = 0x01;
    for (const auto& bound : bound_fields)
        file += std::string(bound.entry) + " = " + std::to_string(code++) + "\r\n";

    auto game = make_game();
    const auto bindings = ostrel::patch_game(game, ostrel::KeyFile(file));
    for (std::size_t i = 0; i < std::size(bound_fields); ++i) {
        const auto expected = static_cast<std::uint32_t>(0x01 + i);
        EXPECT_EQ(get_u32(game, bound_fields[i].field), expected + displacement)
            << bound_fields[i].entry;
        EXPECT_EQ(bindings[i].new_code, expected) << bound_fields[i].entry;
    }
    // Binding KeyUnknown6 never touches its old place, which now holds the jump.
    EXPECT_TRUE(std::equal(expected_jump.begin(), expected_jump.end(), game.begin() + 0x5763));
}

TEST(PatchRun, RejectedValueKeepsTheGamesCode) {
    auto game = make_game();
    set_game_code(game, 0x5669, 0x11);  // this game tests W for up
    const auto bindings =
        ostrel::patch_game(game, ostrel::KeyFile("[KEYS]\nKeyUp = 0x1C8\nKeyAB = -1\n"));
    EXPECT_EQ(bindings[0].new_code, 0x11u);
    EXPECT_EQ(bindings[0].rejected_value, "0x1C8");
    EXPECT_EQ(get_u32(game, 0x5669), 0x11 + displacement);
    EXPECT_EQ(bindings[16].new_code, 0u);
    EXPECT_EQ(bindings[16].rejected_value, "-1");
    EXPECT_EQ(get_u32(game, 0x60E62), displacement);
}

// A copy that is not the unpatched game (most often one patched before) may hold anything
// in the fields the defaults come from; an unbound entry must not carry that into the game.
TEST(PatchRun, EveryWrittenFieldStaysInTheKeyStateTable) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> game;
    };
    std::vector<Case> cases;
    auto patched_before = make_game();
    ostrel::patch_game(patched_before, ostrel::KeyFile("[KEYS]\nKeyUp = 0x11\n"));
    cases.push_back({"a copy patched before", patched_before});
    auto all_ones = make_game();
    for (const auto& test : game_key_tests) put_u32(all_ones, test.field, 0xFFFFFFFF);
    cases.push_back({"0xFFFFFFFF fields", all_ones});
    auto just_outside = make_game();
    for (const auto& test : game_key_tests)
        put_u32(just_outside, test.field, test.field % 2 == 0 ? displacement - 1 : 0x81C);
    cases.push_back({"one below and one above the table", just_outside});
    std::uint32_t state = 7;
    for (int seed = 0; seed < 20; ++seed) {
        auto random = make_game();
        for (const auto& test : game_key_tests) {
            state = state * 1103515245u + 12345u;
            put_u32(random, test.field, state);
        }
        cases.push_back({"random source fields", random});
    }

    for (const auto* file : {"", "[KEYS]\nKeyDown = 0x1F\nKeyAB = 0x2C\n"}) {
        for (auto c : cases) {
            const auto bindings = ostrel::patch_game(c.game, ostrel::KeyFile(file));
            for (const auto& binding : bindings) {
                const auto field = get_u32(c.game, binding.record->patch_offset);
                EXPECT_GE(field, displacement) << c.what << ": " << binding.record->entry_name;
                EXPECT_LE(field, displacement + 0xFF)
                    << c.what << ": " << binding.record->entry_name;
                if (binding.unusable_field) {
                    EXPECT_EQ(binding.old_code, binding.record->builtin_default) << c.what;
                }
            }
        }
    }
}

TEST(PatchRun, UnusableGameCodeFallsBackToTheBuiltInDefault) {
    auto game = make_game();
    ostrel::patch_game(game, ostrel::KeyFile());  // an already patched copy as input
    set_game_code(game, 0x5669, 0xFF);            // the last code of the table still counts
    set_game_code(game, 0x567A, 0x00);            // and so does the first
    const auto bindings = ostrel::patch_game(game, ostrel::KeyFile());

    EXPECT_EQ(bindings[0].old_code, 0xFF);
    EXPECT_EQ(bindings[1].old_code, 0x00);
    EXPECT_FALSE(bindings[0].unusable_field);
    // The jump sits where KeyUnknown6's own test was: B6 05 00 90 is no key test.
    EXPECT_EQ(bindings[15].unusable_field, 0x900005B6u);
    EXPECT_EQ(bindings[15].old_code, 0x36);
    EXPECT_EQ(bindings[15].new_code, 0x36u);
    EXPECT_EQ(get_u32(game, 0x60E95), 0x36 + displacement);
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        if (i != 15) {
            EXPECT_FALSE(bindings[i].unusable_field) << bindings[i].record->entry_name;
        }
    }
}

TEST(PatchRun, ReportLineLayout) {
    struct Case {
        std::size_t record;
        std::int32_t old_code;
        std::uint32_t new_code;
        const char* line;
    };
    const Case cases[] = {
        {0, 0xC8, 0xC8, "               KeyUp:       c8 ->       c8\n"},
        {9, 0x1E, 0, "         KeyUnknown1:       1e ->        0\n"},
        {18, -1, 0xABCDEF01, "              KeyABC: ffffffff -> abcdef01\n"},
    };
    for (const auto& c : cases) {
        ostrel::Binding binding;
        binding.record = &ostrel::key_records[c.record];
        binding.old_code = c.old_code;
        binding.new_code = c.new_code;
        EXPECT_EQ(ostrel::report_line(binding), c.line);
    }
}

TEST(PatchRun, InspectionSpotsPatchedOrForeignInput) {
    EXPECT_TRUE(ostrel::inspect_game(make_game()).empty());

    auto patched = make_game();
    ostrel::patch_game(patched, ostrel::KeyFile());
    const auto on_patched = ostrel::inspect_game(patched);
    ASSERT_EQ(on_patched.size(), 1u);
    EXPECT_NE(on_patched[0].find("already carries the keyboard patch"), std::string::npos);

    auto foreign = make_game();
    foreign[0x567A - 2] = 0x90;  // KeyDown's compare is something else here
    foreign[0x5754 + 4] = 0x01;  // and so is KeyUnknown5's
    const auto on_foreign = ostrel::inspect_game(foreign);
    ASSERT_EQ(on_foreign.size(), 2u);
    EXPECT_EQ(on_foreign[0].rfind("KeyDown at 0x567A ", 0), 0u) << on_foreign[0];
    EXPECT_EQ(on_foreign[1].rfind("KeyUnknown5 at 0x5754 ", 0), 0u) << on_foreign[1];
}

}  // namespace
