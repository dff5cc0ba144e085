#pragma once

// The key routine of a game file, mapped into executable memory and run there: the part
// [mapped_begin, mapped_end) of the file is copied as a whole, so that the patcher's relative
// jumps between the routine and its chord block land where they did in the file.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace game {

// One byte per DirectInput key code; not 0 while the key is down.
using KeyState = std::array<std::uint8_t, 256>;

// True where the routine can run: an x86-64 processor.
bool can_run_routines();

class Routine {
  public:
    // The routine of `file`, or why it cannot be run (see routine_problem, or the system's
    // refusal of executable memory) in `problem`.
    static std::optional<Routine> map(std::span<const std::uint8_t> file, std::string& problem);

    Routine(Routine&&) noexcept;
    Routine& operator=(Routine&&) noexcept;
    ~Routine();

    // The input word for the keys that `keys` holds down.
    std::uint32_t run(const KeyState& keys) const;

  private:
    struct Mapping;
    explicit Routine(std::unique_ptr<Mapping> mapping);
    std::unique_ptr<Mapping> mapping_;
};

}  // namespace game
