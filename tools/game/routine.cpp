#include "routine.h"

#include <cstring>

#include "layout.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace game {
namespace {

constexpr std::size_t mapped_size = mapped_end - mapped_begin;

#if defined(__x86_64__) || defined(_M_X64)
constexpr bool x86_64 = true;
// The routine follows the Win64 convention on every system: the table comes in RCX.
using Entry = std::uint32_t(__attribute__((ms_abi)) *)(const std::uint8_t* keys);
#else
constexpr bool x86_64 = false;
#endif

}  // namespace

// Memory that holds a copy of the mapped part, read-only and executable once filled.
struct Routine::Mapping {
    void* memory = nullptr;

    Mapping() = default;
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() {
        if (!memory) return;
#ifdef _WIN32
        VirtualFree(memory, 0, MEM_RELEASE);
#else
        munmap(memory, mapped_size);
#endif
    }

    // Copies `part` in and makes it executable; false when the system refuses.
    bool fill(std::span<const std::uint8_t> part) {
#ifdef _WIN32
        memory = VirtualAlloc(nullptr, mapped_size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!memory) return false;
        std::memcpy(memory, part.data(), part.size());
        DWORD old = 0;
        if (!VirtualProtect(memory, mapped_size, PAGE_EXECUTE_READ, &old)) return false;
        return FlushInstructionCache(GetCurrentProcess(), memory, mapped_size) != 0;
#else
        void* mapped =
            mmap(nullptr, mapped_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) return false;
        memory = mapped;
        std::memcpy(memory, part.data(), part.size());
        return mprotect(memory, mapped_size, PROT_READ | PROT_EXEC) == 0;
#endif
    }
};

bool can_run_routines() {
    return x86_64;
}

std::optional<Routine> Routine::map(std::span<const std::uint8_t> file, std::string& problem) {
    if (!x86_64) {
        problem = "key routines run on x86-64 only";
        return std::nullopt;
    }
    if (auto found = routine_problem(file)) {
        problem = std::move(*found);
        return std::nullopt;
    }
    auto mapping = std::make_unique<Mapping>();
    if (!mapping->fill(file.subspan(mapped_begin, mapped_size))) {
        problem = "the system refused executable memory for the key routine";
        return std::nullopt;
    }
    return Routine(std::move(mapping));
}

Routine::Routine(std::unique_ptr<Mapping> mapping) : mapping_(std::move(mapping)) {}
Routine::Routine(Routine&&) noexcept = default;
Routine& Routine::operator=(Routine&&) noexcept = default;
Routine::~Routine() = default;

std::uint32_t Routine::run(const KeyState& keys) const {
#if defined(__x86_64__) || defined(_M_X64)
    const auto* start = static_cast<const std::uint8_t*>(mapping_->memory);
    const auto entry = reinterpret_cast<Entry>(start + (routine_entry - mapped_begin));
    return entry(keys.data());
#else
    (void)keys;
    return 0;
#endif
}

}  // namespace game
