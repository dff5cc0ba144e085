#include "patch.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

#include "kit/little_endian.h"

namespace ostrel {

namespace {

template <std::size_t size>
bool holds(std::span<const std::uint8_t> bytes, std::uint32_t offset,
           const std::array<std::uint8_t, size>& block) {
    return std::ranges::equal(bytes.subspan(offset, size), block);
}

template <std::size_t size>
void copy_block(std::span<std::uint8_t> bytes, std::uint32_t offset,
                const std::array<std::uint8_t, size>& block) {
    std::ranges::copy(block, bytes.begin() + offset);
}

// The game tests a key with 80 BD <disp32> 00.
bool framed_as_key_test(std::span<const std::uint8_t> game, std::uint32_t field) {
    return game[field - 2] == 0x80 && game[field - 1] == 0xBD && game[field + 4] == 0x00;
}

}  // namespace

GameCheck check_game(std::span<const std::uint8_t> game) {
    if (game.size() < minimum_game_size) return GameCheck::too_small;
    const auto mark = game.subspan(version_mark_offset, version_mark.size());
    if (!std::ranges::equal(mark, version_mark, [](std::uint8_t byte, char c) {
            return byte == static_cast<std::uint8_t>(c);
        }))
        return GameCheck::wrong_version;
    return GameCheck::valid;
}

std::vector<std::string> inspect_game(std::span<const std::uint8_t> game) {
    std::vector<std::string> findings;
    const bool patched = holds(game, jump_patch_offset, jump_patch);
    if (patched)
        findings.push_back("GameMain.exe already carries the keyboard patch at " +
                           hex_text(jump_patch_offset) +
                           "; the game's own codes cannot be read from a patched copy");
    for (const auto& record : key_records) {
        if (record.source_offset == 0) continue;
        // The jump overwrites the frame of this one; that is reported above.
        const bool inside_jump = record.source_offset >= jump_patch_offset &&
                                 record.source_offset < jump_patch_offset + jump_patch.size();
        if (patched && inside_jump) continue;
        if (!framed_as_key_test(game, record.source_offset))
            findings.push_back(std::string(record.entry_name) + " at " +
                               hex_text(record.source_offset) +
                               " is not the game's key test (80 BD, 4 bytes, 00)");
    }
    return findings;
}

std::vector<Binding> patch_game(std::span<std::uint8_t> game, const KeyFile& bindings) {
    if (check_game(game) != GameCheck::valid)
        throw std::invalid_argument("patch_game needs GameMain.exe v1.04");

    // Every default is read before the jump overwrites KeyUnknown6's own test, and the blocks
    // are copied before the codes, since four fields lie inside the chord block.
    std::vector<Binding> result;
    for (const auto& record : key_records) {
        Binding binding;
        binding.record = &record;
        binding.old_code = record.builtin_default;
        if (record.source_offset != 0) {
            const auto field = kit::read_u32_le(game, record.source_offset);
            const auto code = field - key_state_displacement;
            // Copied through unbound, a code outside the table would make the game read
            // memory beyond it.
            if (code <= largest_key_code)
                binding.old_code = static_cast<std::int32_t>(code);
            else
                binding.unusable_field = field;
        }
        result.push_back(std::move(binding));
    }

    copy_block(game, jump_patch_offset, jump_patch);
    copy_block(game, chord_patch_offset, chord_patch);

    for (auto& binding : result) {
        const auto offset = binding.record->patch_offset;
        auto bound = read_key_code(bindings, binding.record->entry_name,
                                   static_cast<std::uint32_t>(binding.old_code));
        kit::write_u32_le(game, offset, bound.code + key_state_displacement);
        binding.new_code = kit::read_u32_le(game, offset) - key_state_displacement;
        binding.rejected_value = std::move(bound.rejected_value);
    }
    return result;
}

std::string hex_text(std::uint32_t value, const char* format) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), format, static_cast<unsigned>(value));
    return text.data();
}

std::string report_line(const Binding& binding) {
    std::array<char, 64> line{};
    std::snprintf(line.data(), line.size(), "%20s: %8x -> %8x\n", binding.record->entry_name,
                  static_cast<unsigned>(binding.old_code), static_cast<unsigned>(binding.new_code));
    return line.data();
}

}  // namespace ostrel
