// The stand-in game's key routine as the patcher leaves it, run: with one key down, the input
// word holds exactly the bits of the inputs bound to that key.

#include "routine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "key_file.h"
#include "keyboard.h"
#include "layout.h"
#include "patch.h"

namespace {

using game::Routine;

struct Bound {
    const char* entry;
    std::uint32_t code;
};

// What the game tests unpatched, and what ostrel binds without a file.
const std::vector<Bound> own_codes{
    {"KeyUp", 0xC8},       {"KeyDown", 0xD0},     {"KeyLeft", 0xCB},     {"KeyRight", 0xCD},
    {"KeyA", 0x2C},        {"KeyB", 0x2D},        {"KeyC", 0x2E},        {"KeyTouch", 0x1F},
    {"KeyAppeal", 0x2A},   {"KeyUnknown1", 0x1E}, {"KeyUnknown2", 0x20}, {"KeyUnknown3", 0x10},
    {"KeyUnknown4", 0x12}, {"KeyStart", 0x11},    {"KeyUnknown5", 0x1C}, {"KeyUnknown6", 0x36},
    {"KeyAB", 0},          {"KeyBC", 0},          {"KeyABC", 0},
};

std::uint32_t bit_of(const std::string& entry) {
    for (const auto& input : game::inputs)
        if (entry == input.entry) return input.bit;
    ADD_FAILURE() << "no input " << entry;
    return 0;
}

Routine map_routine(const std::vector<std::uint8_t>& file) {
    std::string problem;
    auto routine = Routine::map(file, problem);
    if (!routine) throw std::runtime_error(problem);
    return std::move(*routine);
}

std::uint32_t word_with(const Routine& routine, std::initializer_list<unsigned> codes) {
    game::KeyState keys{};
    for (unsigned code : codes) keys[code] = 0x80;
    return routine.run(keys);
}

#define SKIP_WITHOUT_X86_64() \
    if (!game::can_run_routines()) GTEST_SKIP() << "the key routine is x86-64 code"

TEST(StandInRoutine, ChordBitsAreTheChordBlocks) {
    EXPECT_EQ(bit_of("KeyAB"), 0x20u);
    EXPECT_EQ(bit_of("KeyBC"), 0x40u);
    EXPECT_EQ(bit_of("KeyABC"), 0x80u);
    std::uint32_t all = 0;
    for (const auto& input : game::inputs) {
        EXPECT_EQ(all & input.bit, 0u) << input.entry << " shares its bit";
        all |= input.bit;
    }
}

TEST(StandInRoutine, UnpatchedTestsTheGamesOwnKeysAndNoChord) {
    SKIP_WITHOUT_X86_64();
    const Routine routine = map_routine(game::build_region());
    for (unsigned key = 0; key <= 0xFF; ++key) {
        std::uint32_t expected = 0;
        for (const auto& own : own_codes)
            if (own.code == key && key != 0) expected |= bit_of(own.entry);
        EXPECT_EQ(word_with(routine, {key}), expected) << "key 0x" << std::hex << key;
    }
    game::KeyState all{};
    all.fill(0x80);
    EXPECT_EQ(routine.run(all) & 0xE0u, 0u);
    EXPECT_EQ(word_with(routine, {}), 0u);
}

// Patched by ostrel with each file: with key K alone down, the word holds the bit of every
// input whose binding (the file's, else the game's own code) is K, and no other.
TEST(StandInRoutine, PatchedFiresExactlyTheInputsBoundToEachKey) {
    SKIP_WITHOUT_X86_64();
    struct Case {
        const char* what;
        std::vector<Bound> file;
    };
    std::vector<Bound> distinct;
    for (std::uint32_t i = 0; i < own_codes.size(); ++i)
        distinct.push_back({own_codes[i].entry, 0x40 + i});
    const Case cases[] = {
        {"no entries", {}},
        {"chords on keys of their own and on shared ones",
         {{"KeyAB", 0x1E}, {"KeyBC", 0x39}, {"KeyABC", 0x2D}}},
        {"the displaced test rebound, an input bound to 0, four inputs on one key",
         {{"KeyUnknown6", 0x9D},
          {"KeyUp", 0},
          {"KeyA", 0xC8},
          {"KeyDown", 0x2C},
          {"KeyAB", 0x2C},
          {"KeyBC", 0x2C},
          {"KeyABC", 0x2C}}},
        {"every input on a key of its own", distinct},
        {"the highest code", {{"KeyABC", 0xFF}, {"KeyUnknown6", 0xFF}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string text = "[KEYS]\r\n";
        for (const auto& bound : c.file)
            text += std::string(bound.entry) + " = " + std::to_string(bound.code) + "\r\n";
        std::vector<Bound> codes = own_codes;
        for (const auto& bound : c.file)
            for (auto& code : codes)
                if (std::string(code.entry) == bound.entry) code.code = bound.code;

        auto file = game::build_region();
        ostrel::patch_game(file, ostrel::KeyFile(text));
        const Routine routine = map_routine(file);
        for (unsigned key = 1; key <= 0xFF; ++key) {
            std::uint32_t expected = 0;
            for (const auto& code : codes)
                if (code.code == key) expected |= bit_of(code.entry);
            ASSERT_EQ(word_with(routine, {key}), expected) << "key 0x" << std::hex << key;
        }
        // All keys down: every input that has a key, none bound to 0.
        game::KeyState all{};
        std::fill(all.begin() + 1, all.end(), std::uint8_t{0x80});
        std::uint32_t bound = 0;
        for (const auto& code : codes)
            if (code.code != 0) bound |= bit_of(code.entry);
        EXPECT_EQ(routine.run(all), bound);
    }
}

TEST(StandInRoutine, RefusesWhatItCannotRunSafely) {
    const auto good = game::build_region();
    auto patched = good;
    ostrel::patch_game(patched, ostrel::KeyFile());
    EXPECT_EQ(game::routine_problem(good), std::nullopt);
    EXPECT_EQ(game::routine_problem(patched), std::nullopt);

    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
        const char* problem;  // how the refusal begins
    };
    std::vector<Case> cases;
    cases.push_back({"too short", std::vector<std::uint8_t>(good.begin(), good.begin() + 0x61000),
                     "the file is shorter"});
    auto beyond_table = good;
    beyond_table[0x5669] = 0x1C;  // KeyUp's field 0x81C: one past the table
    beyond_table[0x5669 + 1] = 0x08;
    cases.push_back({"a field past the table", beyond_table,
                     "a key test outside the key-state table at 0x5667"});
    auto patched_beyond = patched;
    patched_beyond[0x60E84 + 3] = 0x01;  // KeyABC, in the chord block
    cases.push_back({"a chord field past the table", patched_beyond,
                     "a key test outside the key-state table at 0x60E82"});
    auto jump_out = patched;
    jump_out[0x5763 + 3] = 0x10;  // the jump now leaves the mapped part
    cases.push_back({"a jump out of the mapped part", jump_out, "a jump out of the routine"});
    auto unknown = patched;
    unknown[0x60E60 + 7] = 0xC3;  // a ret where the chord block's first je was
    cases.push_back({"a foreign instruction", unknown,
                     "an instruction a key routine does not hold at 0x60E67"});
    auto loop = good;
    loop[0x566E + 1] = 0xF7;  // KeyUp's je back to its own compare: no way out while up
    cases.push_back({"a loop", loop, "a loop in the routine at 0x5667"});
    auto no_entry = good;
    no_entry[0x5650] = 0x90;
    cases.push_back({"no entry", no_entry, "no routine entry"});

    for (const auto& c : cases) {
        EXPECT_EQ(game::routine_problem(c.file).value_or("").rfind(c.problem, 0), 0u)
            << c.what << ": " << game::routine_problem(c.file).value_or("none");
        std::string problem;
        EXPECT_FALSE(Routine::map(c.file, problem)) << c.what;
        EXPECT_FALSE(problem.empty()) << c.what;
    }
}

// The key messages' scan codes reach the routine as the key list's codes.
TEST(StandInKeyboard, KeyMessagesGiveDirectInputCodes) {
    struct Case {
        const char* key;
        std::uint64_t lparam;  // as WM_KEYDOWN brings it: repeat count 1
        unsigned code;
    };
    const Case cases[] = {
        {"X", 0x002D0001, 0x2D},
        {"right shift", 0x00360001, 0x36},
        {"up arrow", 0x01480001, 0xC8},
        {"right control", 0x011D0001, 0x9D},
        {"numpad enter", 0x011C0001, 0x9C},
        {"key up of left alt (previous state and transition bits)", 0xE0380001, 0x38},
    };
    for (const auto& c : cases) EXPECT_EQ(game::direct_input_code(c.lparam), c.code) << c.key;
}

}  // namespace
