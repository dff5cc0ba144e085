// ostrel: writes GameMain-kb.exe, a copy of GameMain.exe v1.04 carrying the key bindings of
// ./ostrel.ini. Works in the current folder, takes no arguments, always exits with 0.
// Standard output carries the fixed report; standard error explains anything unusual.

#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "kit/atomic_file.h"
#include "patch.h"

namespace {

void say(const char* line) {
    std::fputs(line, stdout);
}

void complain(const std::string& text) {
    std::fflush(stdout);  // keep the two streams in order on a shared console
    std::fprintf(stderr, "ostrel: %s\n", text.c_str());
}

// GameMain.exe whole, or nothing after saying why.
std::optional<std::vector<std::uint8_t>> read_game() {
    const auto path = kit::path_from_utf8("GameMain.exe");
    // A folder of that name opens on some systems but is no game: refuse it everywhere.
    std::error_code error;
    const bool folder = std::filesystem::is_directory(path, error);
    std::ifstream in;
    if (!folder) in.open(path, std::ios::binary);
    if (!in.is_open()) {
        say("Could not open GameMain.exe\n");
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    in.seekg(0, std::ios::beg);
    if (!in || end < 0) {
        say("Could not find the size of GameMain.exe\n");
        return std::nullopt;
    }
    const auto size = static_cast<std::uintmax_t>(end);
    if (size < ostrel::minimum_game_size) {
        say("Not a valid executable.\n");
        return std::nullopt;
    }
    std::vector<std::uint8_t> game;
    try {
        if (size > game.max_size()) throw std::bad_alloc();
        game.resize(static_cast<std::size_t>(size));
    } catch (const std::exception&) {
        say("Not enough memory to read GameMain.exe\n");
        return std::nullopt;
    }
    in.read(reinterpret_cast<char*>(game.data()), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size)) {
        say("Could not read GameMain.exe\n");
        return std::nullopt;
    }
    return game;
}

// A missing file binds nothing, as does one that cannot be read (which is said).
ostrel::KeyFile read_key_file() {
    const auto path = kit::path_from_utf8("./ostrel.ini");
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return {};
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    std::array<char, 4096> chunk{};
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (!in.eof() || in.bad()) {
        complain("could not read ./ostrel.ini; every key keeps its default");
        return {};
    }
    return ostrel::KeyFile(bytes);
}

std::string hex(std::uint32_t value) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%x", static_cast<unsigned>(value));
    return text.data();
}

void run() {
    auto game = read_game();
    if (!game) return;
    if (ostrel::check_game(*game) == ostrel::GameCheck::wrong_version) {
        say("This version of ostrel only works with v1.04.\n");
        return;
    }
    for (const auto& finding : ostrel::inspect_game(*game)) complain("warning: " + finding);

    for (const auto& binding : ostrel::patch_game(*game, read_key_file())) {
        if (binding.rejected_value)
            complain("ostrel.ini: " + std::string(binding.record->entry_name) + " = \"" +
                     *binding.rejected_value + "\" is not a key code from 0 to 0xFF; keeping " +
                     hex(static_cast<std::uint32_t>(binding.old_code)));
        say(ostrel::report_line(binding).c_str());
    }

    const std::string_view bytes(reinterpret_cast<const char*>(game->data()), game->size());
    if (const auto failure = kit::replace_file_atomically("GameMain-kb.exe", bytes)) {
        complain("could not write GameMain-kb.exe: " + *failure);
        return;
    }
    say("done! GameMain-kb.exe created\n");
}

}  // namespace

int main() {
    try {
        run();
    } catch (const std::exception& error) {
        complain(error.what());
    }
    std::fflush(stdout);
    return 0;
}
