#include "windows7_loader.h"

#include <cstring>

namespace imports_test {
namespace {

HMODULE windows7_load(const wchar_t* file, DWORD flags) {
    constexpr DWORD search_flags = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR |
                                   LOAD_LIBRARY_SEARCH_APPLICATION_DIR |
                                   LOAD_LIBRARY_SEARCH_USER_DIRS | LOAD_LIBRARY_SEARCH_SYSTEM32 |
                                   LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
    if (flags & search_flags) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return LoadLibraryExW(file, nullptr, flags);
}

void* windows7_find(HMODULE module, const char* name) {
    static const char* const newer[] = {"SetDefaultDllDirectories", "AddDllDirectory",
                                        "RemoveDllDirectory",       "GetDpiForWindow",
                                        "AdjustWindowRectExForDpi", "GetSystemMetricsForDpi",
                                        "GetDpiForSystem",          "SystemParametersInfoForDpi"};
    for (const char* missing : newer) {
        if (std::strcmp(name, missing) == 0) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
    }
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}

}  // namespace

platform::Loader windows7_loader() {
    return {windows7_load, windows7_find};
}

}  // namespace imports_test
