#pragma once

// What the launcher asks of the operating system, behind small interfaces: the platform layer
// implements them, the windows' file logic and the toolkit use them, and tests put fakes in
// their place. Portable: no <windows.h> here, and nothing of the launcher's own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace launcher {

// A single- or multi-byte ANSI code page.
class CodePage {
  public:
    virtual ~CodePage() = default;
    // Bytes in this code page to UTF-8.
    virtual std::string decode(std::string_view bytes) const = 0;
    // UTF-8 to bytes in this code page; nothing when a character has no place in it.
    virtual std::optional<std::string> encode(std::string_view utf8) const = 0;
};

}  // namespace launcher

namespace platform {

// The multimedia joystick record: positions and the bits of the pressed buttons.
struct JoystickInfo {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t z = 0;
    std::uint32_t buttons = 0;
};

class Joystick {
  public:
    virtual ~Joystick() = default;
    // Reads joystick `id` into `info`. Returns the platform's result: 0 means success,
    // anything else means the pad is absent or unreadable, and `info` then holds zeros.
    virtual unsigned poll(unsigned id, JoystickInfo& info) = 0;
};

class ProgramStarter {
  public:
    virtual ~ProgramStarter() = default;
    // Asks the shell to run `program` (a full path) in `working_directory`, without
    // arguments, in a normal window, and returns at once; the outcome is not examined.
    virtual void start(const std::string& program, const std::string& working_directory) = 0;
};

struct ScreenSize {
    int width = 0;
    int height = 0;
};

class Screen {
  public:
    virtual ~Screen() = default;
    virtual ScreenSize primary_size() = 0;
};

enum class BoxKind { plain, error };

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // A modal box with `title`, `text` and one OK button; `error` adds the error icon.
    virtual void show(std::string_view title, std::string_view text, BoxKind kind) = 0;
};

}  // namespace platform
