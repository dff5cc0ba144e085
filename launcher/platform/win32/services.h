#pragma once

// The operating system's services for the launcher's windows, gathered in one struct so that
// tests can hand the windows fakes instead.

#include <functional>
#include <string>

#include "interfaces/system.h"

namespace platform {

struct Services {
    Joystick& joystick;
    ProgramStarter& starter;
    Screen& screen;
    MessageBoxes& boxes;
    // The full path of the running executable, in UTF-8.
    std::function<std::string()> executable_path;
    // The system's ANSI code page, for the settings files.
    const launcher::CodePage& code_page;
};

// The real services of this system; they live for the whole run.
Services system_services();

// The full path of the running executable, in UTF-8; long and non-ASCII paths work.
std::string running_executable_path();

}  // namespace platform
