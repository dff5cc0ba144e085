#pragma once

// A DLL of the system folder, loaded from there only. The launcher's exe names only known
// DLLs in its imports, which Windows always takes from its own folder: every other DLL would
// be looked for in the exe's folder first, the game folder, where a DLL dropped under its name
// (mod loaders are often shipped as winmm.dll) would run inside the launcher. So the other
// system DLLs are loaded here, by name, and their functions are looked up at run time.

#include <windows.h>

namespace platform {

class SystemLibrary {
  public:
    // Loads `file_name`, a bare name such as L"winmm.dll", from the system folder. When the
    // system lacks it, the library stays empty and every lookup gives nullptr.
    explicit SystemLibrary(const wchar_t* file_name);
    ~SystemLibrary();
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    bool loaded() const { return module_ != nullptr; }

    // The exported function `name`, typed as the SDK declares it: pass the declaration, as in
    // find<decltype(::joyGetPos)>("joyGetPos"). nullptr when the library or the function is
    // missing: the caller leaves its feature out or reports the failure.
    template <class Function>
    Function* find(const char* name) const {
        // Through void*: FARPROC and the real signature differ, as they always do here.
        return reinterpret_cast<Function*>(find_address(name));
    }

  private:
    void* find_address(const char* name) const;

    HMODULE module_ = nullptr;
};

}  // namespace platform
