#include "platform/win32/system_library.h"

#include <string>
#include <utility>

namespace platform {
namespace {

HMODULE system_load(const wchar_t* file, DWORD flags) {
    return LoadLibraryExW(file, nullptr, flags);
}

void* system_find(HMODULE module, const char* name) {
    // Through void*: FARPROC and the real signature differ, as they always do here.
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}

// Set before any load, at the latest by a test program's static initialisation.
constinit Loader loader{system_load, system_find};

// Windows 7 without its 2011 loader update rejects the search flags: there the full path in
// the system folder serves, and its dependencies are looked for beside it first.
HMODULE load_from_system_folder(const wchar_t* file_name) {
    HMODULE module = loader.load(file_name, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    wchar_t folder[MAX_PATH]{};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + file_name;
    return loader.load(path.c_str(), LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

Loader set_loader(const Loader& replacement) {
    return std::exchange(loader, replacement);
}

void restrict_dll_search() {
    // Windows 8 and Windows 7 with the loader update have it.
    using SetDefaultDllDirectoriesFunction = BOOL WINAPI(DWORD);
    const SystemLibrary kernel32(L"kernel32.dll");
    if (auto* const restrict =
            kernel32.find<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories")) {
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
        return;
    }
    // Without it (Windows 7 before its 2011 loader update) the exe's folder comes first for
    // every DLL loaded by name, also by the system's own DLLs: the visual styles, which they
    // load by name as the first windows are made, are taken from the system folder now, so
    // that a later load by name finds them loaded. Kept for the whole run.
    static const SystemLibrary visual_styles(L"uxtheme.dll");
}

SystemLibrary::SystemLibrary(const wchar_t* file_name)
    : module_(load_from_system_folder(file_name)) {}

SystemLibrary::~SystemLibrary() {
    if (module_) FreeLibrary(module_);
}

void* SystemLibrary::find_address(const char* name) const {
    if (!module_) return nullptr;
    return loader.find(module_, name);
}

}  // namespace platform
