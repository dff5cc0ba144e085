#include "platform/win32/system_library.h"

#include <string>

namespace platform {
namespace {

// Windows 7 without its 2011 loader update rejects the search flags: there the full path in
// the system folder serves, and its dependencies are looked for beside it first.
HMODULE load_from_system_folder(const wchar_t* file_name) {
    HMODULE module = LoadLibraryExW(file_name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER) return module;
    wchar_t folder[MAX_PATH]{};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + file_name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

SystemLibrary::SystemLibrary(const wchar_t* file_name)
    : module_(load_from_system_folder(file_name)) {}

SystemLibrary::~SystemLibrary() {
    if (module_) FreeLibrary(module_);
}

void* SystemLibrary::find_address(const char* name) const {
    if (!module_) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(module_, name));
}

}  // namespace platform
