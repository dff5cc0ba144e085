// The launcher's entry point: no command line, no environment; everything it needs lies in
// its own folder.

#include <windows.h>

#include <exception>

#include "kit/terminate.h"
#include "kit/text.h"
#include "platform/win32/system_library.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kit::use_terse_terminate_handler();
    // Before any DLL is loaded.
    platform::restrict_dll_search();
    try {
        launcher::Launcher launcher(platform::system_services());
        launcher.create_main_window();
        launcher.run();
    } catch (const std::exception& error) {
        // Start-up failed (a malformed skin, a missing resource): say why instead of crashing.
        const std::wstring text = kit::text::widen(error.what());
        const std::wstring title = kit::text::widen(launcher::application_title);
        MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}
