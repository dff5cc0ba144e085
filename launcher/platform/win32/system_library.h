#pragma once

// A DLL of the system folder, loaded from there only. The launcher's exe names only known
// DLLs in its imports, which Windows always takes from its own folder: every other DLL would
// be looked for in the exe's folder first, the game folder, where a DLL dropped under its name
// (mod loaders are often shipped as winmm.dll) would run inside the launcher. So the other
// system DLLs are loaded here, by name, and their functions are looked up at run time.

#include <windows.h>

namespace platform {

// The system's loader, as the launcher asks it for DLLs and functions. The real one, unless
// a test puts another in its place before the program's first load: one that answers as
// Windows 7 SP1 without its 2011 loader update (KB2533623) does.
struct Loader {
    HMODULE (*load)(const wchar_t* file, DWORD flags);  // as LoadLibraryExW
    void* (*find)(HMODULE module, const char* name);    // as GetProcAddress
};
// Returns the loader it replaces.
Loader set_loader(const Loader& loader);

// From now on only the system folder is searched for the DLLs of this process, never the
// game folder the launcher lies in; a system without the way to say so keeps its default.
void restrict_dll_search();

class SystemLibrary {
  public:
    // Loads `file_name`, a bare name such as L"winmm.dll", from the system folder. When the
    // system lacks it, the library stays empty and every lookup gives nullptr. A DLL the exe
    // links (kernel32, user32) is taken as it is loaded already.
    explicit SystemLibrary(const wchar_t* file_name);
    ~SystemLibrary();
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    bool loaded() const { return module_ != nullptr; }

    // The exported function `name`, typed as the SDK declares it: pass the declaration, as in
    // find<decltype(::joyGetPos)>("joyGetPos"). nullptr when the library or the function is
    // missing: the caller leaves its feature out or reports the failure. Every function newer
    // than Windows 7 is found this way, never imported: the exe must start there.
    template <class Function>
    Function* find(const char* name) const {
        return reinterpret_cast<Function*>(find_address(name));
    }

  private:
    void* find_address(const char* name) const;

    HMODULE module_ = nullptr;
};

}  // namespace platform
