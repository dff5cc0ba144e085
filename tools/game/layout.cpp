#include "layout.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "kit/little_endian.h"

namespace game {
namespace {

constexpr std::uint8_t int3 = 0xCC;

constexpr std::array<std::uint8_t, 23> prologue{
    0x55,                                            // push rbp
    0x48, 0x89, 0xCD,                                // mov rbp, rcx
    0x48, 0x81, 0xED, 0x1C, 0x07, 0x00, 0x00,        // sub rbp, 0x71C
    0x48, 0x83, 0xEC, 0x20,                          // sub rsp, 0x20
    0xC7, 0x44, 0x24, 0x14, 0x00, 0x00, 0x00, 0x00,  // mov dword [rsp+0x14], 0
};
constexpr std::array<std::uint8_t, 10> epilogue{
    0x8B, 0x44, 0x24, 0x14,  // mov eax, [rsp+0x14]
    0x48, 0x83, 0xC4, 0x20,  // add rsp, 0x20
    0x5D,                    // pop rbp
    0xC3,                    // ret
};
// or dword [rsp+0x14], with an imm8 (sign-extended) or an imm32 after these.
constexpr std::array<std::uint8_t, 4> or_byte{0x83, 0x4C, 0x24, 0x14};
constexpr std::array<std::uint8_t, 4> or_dword{0x81, 0x4C, 0x24, 0x14};
constexpr std::uint32_t epilogue_offset = routine_end - epilogue.size();
static_assert(routine_entry + prologue.size() == first_test);

template <std::size_t size>
bool holds(std::span<const std::uint8_t> bytes, std::size_t at,
           const std::array<std::uint8_t, size>& expected) {
    return std::equal(expected.begin(), expected.end(), bytes.begin() + static_cast<long>(at));
}

std::string at_text(const char* what, std::uint32_t offset) {
    std::array<char, 96> text{};
    std::snprintf(text.data(), text.size(), "%s at 0x%X", what, static_cast<unsigned>(offset));
    return text.data();
}

}  // namespace

std::vector<std::uint8_t> build_region() {
    std::vector<std::uint8_t> region(region_size, int3);
    std::ranges::copy(prologue, region.begin() + routine_entry);
    for (std::size_t i = 0; i < key_tests.size(); ++i) {
        const KeyTest& test = key_tests[i];
        const std::uint32_t end =
            i + 1 < key_tests.size() ? key_tests[i + 1].offset : epilogue_offset;
        std::size_t at = test.offset;
        region[at++] = 0x80;
        region[at++] = 0xBD;
        kit::write_u32_le(region, at, key_state_displacement + test.code);
        at += 4;
        region[at++] = 0x00;
        if (end - test.offset == 14) {  // or with a sign-extended byte
            region[at++] = 0x74;
            region[at++] = 0x05;
            for (std::uint8_t byte : or_byte) region[at++] = byte;
            region[at++] = static_cast<std::uint8_t>(test.input.bit);
        } else {
            region[at++] = 0x74;
            region[at++] = 0x08;
            for (std::uint8_t byte : or_dword) region[at++] = byte;
            kit::write_u32_le(region, at, test.input.bit);
            at += 4;
        }
    }
    std::ranges::copy(epilogue, region.begin() + epilogue_offset);
    std::ranges::copy(std::string_view(version_mark), region.begin() + version_mark_offset);
    return region;
}

namespace {

// Every path from the first key test to the epilogue, through the few instructions a key
// routine is made of. Anything else, a jump out of the mapped part or a path that comes back
// to itself (the routine would never return) is refused.
class RoutineWalk {
  public:
    explicit RoutineWalk(std::span<const std::uint8_t> file) : file_(file) {}

    std::optional<std::string> from(std::int64_t offset) {
        constexpr std::int64_t longest = 8;
        if (offset < mapped_begin || offset + longest > mapped_end)
            return at_text("a jump out of the routine", static_cast<std::uint32_t>(offset));
        const auto at = static_cast<std::uint32_t>(offset);
        if (const auto found = done_.find(at); found != done_.end()) {
            if (!found->second) return at_text("a loop in the routine", at);
            return std::nullopt;
        }
        done_[at] = false;  // on the path being walked
        if (auto problem = successors(at)) return problem;
        done_[at] = true;
        return std::nullopt;
    }

  private:
    std::optional<std::string> successors(std::uint32_t at) {
        if (at == epilogue_offset) {
            if (!holds(file_, at, epilogue)) return at_text("a broken routine end", at);
            return std::nullopt;
        }
        const std::uint8_t* code = file_.data() + at;
        const bool or_form = code[1] == 0x4C && code[2] == 0x24 && code[3] == 0x14;
        if (code[0] == 0x80 && code[1] == 0xBD && code[6] == 0x00) {
            const std::uint32_t field = kit::read_u32_le(file_, at + 2);
            if (field < key_state_displacement || field > key_state_displacement + 0xFF)
                return at_text("a key test outside the key-state table", at);
            return from(at + 7);
        }
        if (code[0] == 0x74) {
            if (auto problem = from(at + 2)) return problem;
            return from(std::int64_t{at} + 2 + static_cast<std::int8_t>(code[1]));
        }
        if (code[0] == 0x81 && or_form) return from(at + 8);
        if (code[0] == 0x83 && or_form) return from(at + 5);
        if (code[0] == 0x90) return from(at + 1);
        if (code[0] == 0xE9)
            return from(std::int64_t{at} + 5 +
                        static_cast<std::int32_t>(kit::read_u32_le(file_, at + 1)));
        return at_text("an instruction a key routine does not hold", at);
    }

    std::span<const std::uint8_t> file_;
    std::map<std::uint32_t, bool> done_;  // false while on the path being walked
};

}  // namespace

std::optional<std::string> routine_problem(std::span<const std::uint8_t> file) {
    if (file.size() < mapped_end) return "the file is shorter than its key routine";
    if (!holds(file, routine_entry, prologue)) return at_text("no routine entry", routine_entry);
    return RoutineWalk(file).from(first_test);
}

}  // namespace game
