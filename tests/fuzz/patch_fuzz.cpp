// The whole patch run on a game in memory: check_game, inspect_game, patch_game.
//
// The input makes a plausible game and its key-binding file:
//   byte 0      flags: 1 frames every source field as the game's key test (80 BD .. 00),
//               2 makes each source field 0x71C plus its first byte (a code in the table),
//               4 puts the jump block in place (an already patched copy); the high nibble
//               adds that many bytes to the game's size
//   bytes 1-64  the sixteen source fields, four bytes each
//   the rest    ostrel.ini
// The game's other bytes repeat the whole input, and the version mark stands in its place.
//
// Invariants: every patched field lies in 0x71C..0x81B (a code of the key-state table) and
// holds the code from the file, else the game's own code when it lies in the table, else the
// built-in default (the game's field then reported unusable); the two blocks are in place;
// no other byte changes; a framed unpatched game passes inspection and a patched one never
// does.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "check.h"
#include "key_file.h"
#include "key_records.h"
#include "kit/little_endian.h"
#include "patch.h"

namespace {

using namespace ostrel;

constexpr std::size_t field_size = 4;
constexpr std::size_t source_bytes = 16 * field_size;
constexpr std::uint32_t largest_code = 0xFF;

struct Layout {
    bool framed = false;
    bool codes_in_table = false;
    bool jump_in_place = false;
    std::size_t extra_size = 0;
    std::span<const std::uint8_t> sources;
    std::string_view key_file;
};

Layout split_input(std::span<const std::uint8_t> input) {
    Layout layout;
    if (input.empty()) return layout;
    const std::uint8_t flags = input[0];
    layout.framed = (flags & 1) != 0;
    layout.codes_in_table = (flags & 2) != 0;
    layout.jump_in_place = (flags & 4) != 0;
    layout.extra_size = flags >> 4;
    input = input.subspan(1);
    layout.sources = input.first(std::min(input.size(), source_bytes));
    input = input.subspan(layout.sources.size());
    layout.key_file = {reinterpret_cast<const char*>(input.data()), input.size()};
    return layout;
}

void make_game(std::vector<std::uint8_t>& game, std::span<const std::uint8_t> input,
               const Layout& layout) {
    game.assign(minimum_game_size + layout.extra_size, 0);
    for (std::size_t at = 0; !input.empty() && at < game.size(); at += input.size())
        std::memcpy(game.data() + at, input.data(), std::min(input.size(), game.size() - at));

    std::size_t next_source = 0;
    for (const auto& record : key_records) {
        if (record.source_offset == 0) continue;
        std::uint8_t field[field_size] = {};
        for (auto& byte : field)
            if (next_source < layout.sources.size()) byte = layout.sources[next_source++];
        if (layout.codes_in_table)
            kit::write_u32_le(game, record.source_offset, key_state_displacement + field[0]);
        else
            std::memcpy(game.data() + record.source_offset, field, field_size);
        if (layout.framed) {
            game[record.source_offset - 2] = 0x80;
            game[record.source_offset - 1] = 0xBD;
            game[record.source_offset + field_size] = 0x00;
        }
    }
    if (layout.jump_in_place) std::ranges::copy(jump_patch, game.begin() + jump_patch_offset);
    std::ranges::copy(version_mark, game.begin() + version_mark_offset);
}

// The binding's default: the game's own code when its field holds one of the table, else the
// built-in default with the field reported unusable. Then the code it must bind: the file's,
// else that default.
void check_binding(const Binding& binding, const KeyFile& file,
                   std::span<const std::uint8_t> original) {
    const KeyRecord& record = *binding.record;
    std::uint32_t default_code = static_cast<std::uint32_t>(record.builtin_default);
    std::optional<std::uint32_t> unusable_field;
    if (record.source_offset != 0) {
        const auto field = kit::read_u32_le(original, record.source_offset);
        if (field - key_state_displacement <= largest_code)
            default_code = field - key_state_displacement;
        else
            unusable_field = field;
    }
    FUZZ_CHECK(binding.old_code == static_cast<std::int32_t>(default_code));
    FUZZ_CHECK(binding.unusable_field == unusable_field);
    FUZZ_CHECK(binding.new_code == read_key_code(file, record.entry_name, default_code).code);
}

// The bytes the patch may write, as [begin, end) ranges.
std::vector<std::pair<std::size_t, std::size_t>> patched_ranges() {
    std::vector<std::pair<std::size_t, std::size_t>> ranges{
        {jump_patch_offset, jump_patch_offset + jump_patch.size()},
        {chord_patch_offset, chord_patch_offset + chord_patch.size()}};
    for (const auto& record : key_records)
        ranges.emplace_back(record.patch_offset, record.patch_offset + field_size);
    return ranges;
}

bool inside_a_field(std::size_t offset) {
    return std::ranges::any_of(key_records, [&](const KeyRecord& record) {
        return offset >= record.patch_offset && offset < record.patch_offset + field_size;
    });
}

void check_blocks(std::span<const std::uint8_t> game) {
    FUZZ_CHECK(std::ranges::equal(game.subspan(jump_patch_offset, jump_patch.size()), jump_patch));
    for (std::size_t i = 0; i < chord_patch.size(); ++i)
        if (!inside_a_field(chord_patch_offset + i))
            FUZZ_CHECK(game[chord_patch_offset + i] == chord_patch[i]);
}

void check_nothing_else_changed(std::span<const std::uint8_t> original,
                                std::span<const std::uint8_t> game) {
    FUZZ_CHECK(original.size() == game.size());
    static const auto allowed = [] {
        auto ranges = patched_ranges();
        std::ranges::sort(ranges);
        return ranges;
    }();
    std::size_t from = 0;
    for (const auto& [begin, end] : allowed) {
        if (begin > from)
            FUZZ_CHECK(std::memcmp(original.data() + from, game.data() + from, begin - from) == 0);
        from = std::max(from, end);
    }
    FUZZ_CHECK(std::memcmp(original.data() + from, game.data() + from, game.size() - from) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const Layout layout = split_input(input);
    static std::vector<std::uint8_t> game;
    static std::vector<std::uint8_t> original;
    make_game(game, input, layout);
    original = game;

    FUZZ_CHECK(check_game(game) == GameCheck::valid);
    const auto findings = inspect_game(game);
    if (layout.framed && !layout.jump_in_place) FUZZ_CHECK(findings.empty());

    const KeyFile file(layout.key_file);
    const auto bindings = patch_game(game, file);
    FUZZ_CHECK(bindings.size() == key_records.size());
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        const auto& record = key_records[i];
        FUZZ_CHECK(bindings[i].record == &record);
        const auto field = kit::read_u32_le(game, record.patch_offset);
        FUZZ_CHECK(field >= key_state_displacement &&
                   field <= key_state_displacement + largest_code);
        FUZZ_CHECK(bindings[i].new_code == field - key_state_displacement);
        check_binding(bindings[i], file, original);
        FUZZ_CHECK(report_line(bindings[i]).ends_with('\n'));
    }
    check_blocks(game);
    check_nothing_else_changed(original, game);
    FUZZ_CHECK(check_game(game) == GameCheck::valid);
    FUZZ_CHECK(!inspect_game(game).empty());
    return 0;
}
