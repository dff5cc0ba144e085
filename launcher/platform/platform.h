#pragma once

// The services the launcher asks of the operating system, behind small interfaces so that
// tests can put fakes in their place. Portable: no <windows.h> here.

#include <cstdint>
#include <string>
#include <string_view>

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

// The folder of an executable, with its trailing separator: the path cut after its last
// separator ('\\' or '/').
std::string directory_of(std::string_view executable_path);

}  // namespace platform
