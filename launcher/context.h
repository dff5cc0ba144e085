#pragma once

// What every window of the launcher works with: the launcher-wide state and the services.
// The windows know each other only through this; none includes another window's header.

#include <string>
#include <string_view>

#include "interfaces/system.h"
#include "platform/win32/services.h"
#include "toolkit/application.h"

namespace launcher {

inline constexpr std::string_view application_title = "Зорелия";

// Launcher-wide state: one of each, for the whole run.
struct LauncherState {
    // The folder of the launcher's executable, with its trailing separator.
    std::string application_directory;
    // Written by every joystick poll; the gamepad dialog reads the button bits.
    platform::JoystickInfo joystick;
    // 0 for gamepad 1, 1 for gamepad 2; set just before the gamepad dialog opens.
    unsigned current_pad_number = 0;
    // Application directory + "Input1.ini" or "Input2.ini".
    std::string current_pad_file;
};

struct Context {
    toolkit::Application& application;
    platform::Services services;
    LauncherState state;

    // The application directory followed by a bare file name.
    std::string application_file(std::string_view file_name) const {
        return state.application_directory + std::string(file_name);
    }
    // Starts `file_name` from the application directory, with that directory as its working
    // directory, and returns at once; the outcome is not examined.
    void start_program(std::string_view file_name) {
        services.starter.start(application_file(file_name), state.application_directory);
    }
    // The launcher's own messages: the title, the text, one OK button.
    void show_message(std::string_view text) const { application.show_message(text); }
    // The system's ANSI code page, in which the settings files are read and written.
    const CodePage& code_page() const { return services.code_page; }
};

}  // namespace launcher
