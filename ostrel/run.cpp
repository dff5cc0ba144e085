#include "run.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <span>

#include "kit/atomic_file.h"
#include "kit/read_file.h"
#include "kit/unicode.h"
#include "patch.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace ostrel {

namespace {

// Writes `text` to `stream` (stdout or stderr) at once.
#ifdef _WIN32
// One system call, each "\n" written as "\r\n" as the C runtime's text mode does: Wine's
// runtime writes text to a console or a device one byte a call, and buffers standard error
// when it is no console.
void write_whole(FILE* stream, std::string_view text) {
    std::string lines;
    lines.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    const HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    std::string_view rest = lines;
    while (!rest.empty()) {
        DWORD written = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 1u << 30));
        if (!WriteFile(handle, rest.data(), wanted, &written, nullptr) || written == 0) return;
        rest.remove_prefix(written);
    }
}
#else
void write_whole(FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}
#endif

}  // namespace

void StandardConsole::err(std::string_view text) {
    flush();  // the two streams keep their order when they share a console or a pipe
    write_whole(stderr, text);
}

void StandardConsole::flush() {
    if (kept_.empty()) return;
    write_whole(stdout, kept_);
    kept_.clear();
}

std::optional<std::string> write_file_atomically(const std::string& utf8_path,
                                                 std::string_view bytes) {
    return kit::replace_file_atomically(utf8_path, bytes);
}

namespace {

class Run {
  public:
    Run(Console& console, std::string_view folder, const FileWriter& write)
        : console_(console), folder_(folder), write_(write) {}

    void go() {
        auto game = read_game();
        if (!game) return;
        const std::span<std::uint8_t> bytes = game->span();
        if (check_game(bytes) == GameCheck::wrong_version) {
            say("This version of ostrel only works with v1.04.\n");
            return;
        }
        for (const auto& finding : inspect_game(bytes)) complain("warning: " + finding);

        for (const auto& binding : patch_game(bytes, read_key_file())) {
            explain(binding);
            say(report_line(binding));
        }

        if (const auto failure = write_(in_folder("GameMain-kb.exe"), game->view())) {
            complain("could not write GameMain-kb.exe: " + *failure);
            return;
        }
        say("done! GameMain-kb.exe created\n");
    }

    void complain(const std::string& text) { console_.err("ostrel: " + text + "\n"); }

  private:
    void say(std::string_view line) { console_.out(line); }

    std::string in_folder(std::string_view name) const { return folder_ + std::string(name); }

    // GameMain.exe whole, or nothing after saying why.
    std::optional<kit::ByteBuffer> read_game() {
        auto contents = kit::read_regular_file(in_folder("GameMain.exe"));
        if (!contents.ok()) {
            switch (*contents.failure) {
                case kit::ReadFailure::too_big:
                    say("Not enough memory to read GameMain.exe\n");
                    break;
                case kit::ReadFailure::read_failed:
                    say("Could not read GameMain.exe\n");
                    break;
                default:  // missing, a folder or a FIFO in its place, locked
                    say("Could not open GameMain.exe\n");
            }
            return std::nullopt;
        }
        if (contents.bytes.size() < minimum_game_size) {
            say("Not a valid executable.\n");
            return std::nullopt;
        }
        return std::move(contents.bytes);
    }

    // A missing file binds nothing, as does one that cannot be read (which is said).
    KeyFile read_key_file() {
        const auto contents =
            kit::read_regular_file(folder_.empty() ? "./ostrel.ini" : in_folder("ostrel.ini"));
        if (contents.ok()) return KeyFile(contents.bytes.view());
        if (*contents.failure == kit::ReadFailure::missing) return {};
        std::string why;
        switch (*contents.failure) {
            case kit::ReadFailure::not_regular:
                why = "it is not a regular file";
                break;
            case kit::ReadFailure::too_big:
                why = "it is too big";
                break;
            default:
                why = contents.reason;
        }
        complain("could not read ./ostrel.ini (" + why + "); every key keeps its default");
        return {};
    }

    void explain(const Binding& binding) {
        const std::string entry = binding.record->entry_name;
        const auto old_code = hex_text(static_cast<std::uint32_t>(binding.old_code), "%x");
        if (binding.unusable_field)
            complain("warning: GameMain.exe holds " + hex_text(*binding.unusable_field, "0x%X") +
                     " for " + entry + " at " + hex_text(binding.record->source_offset, "0x%X") +
                     ", no key code from 0 to 0xFF; " + entry + " defaults to " + old_code +
                     ", its code in v1.04");
        if (binding.rejected_value)
            complain("ostrel.ini: " + entry + " = " + quote_for_console(*binding.rejected_value) +
                     " is not a key code from 0 to 0xFF; keeping " + old_code);
    }

    Console& console_;
    std::string folder_;
    const FileWriter& write_;
};

}  // namespace

void run(Console& console, std::string_view folder, const FileWriter& write) {
    Run one_run(console, folder, write);
    try {
        one_run.go();
    } catch (const std::exception& error) {
        one_run.complain(error.what());
    }
}

std::string quote_for_console(std::string_view value, std::size_t limit) {
    std::string quoted = "\"";
    std::size_t taken = 0;
    while (!value.empty()) {
        const auto decoded = kit::unicode::decode_utf8(value);
        if (taken + decoded.length > limit) break;
        const char32_t c = decoded.code_point;
        if (!decoded.valid) {
            for (const char byte : value.substr(0, decoded.length))
                quoted += hex_text(static_cast<unsigned char>(byte), "\\x%02X");
        } else if (c < 0x20 || c == 0x7F) {
            quoted += hex_text(c, "\\x%02X");
        } else if (c >= 0x80 && c <= 0x9F) {  // C1 controls, CSI among them
            quoted += hex_text(c, "\\u%04X");
        } else if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else {
            quoted += value.substr(0, decoded.length);
        }
        taken += decoded.length;
        value.remove_prefix(decoded.length);
    }
    quoted += '"';
    if (!value.empty()) quoted += "...";
    return quoted;
}

}  // namespace ostrel
