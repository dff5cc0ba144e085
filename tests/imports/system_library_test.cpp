// The loader of system DLLs: it takes a DLL from the system folder, never from the program's
// own folder, and finds nothing where the system has nothing; also where the system refuses
// the search flags (Windows 7 SP1 without its 2011 loader update), by the full path.

#include "platform/win32/system_library.h"

#include <gtest/gtest.h>
#include <mmsystem.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "kit_test.h"
#include "windows7_loader.h"

namespace {

namespace fs = std::filesystem;

// The folder of the module that holds `address`.
fs::path folder_of_module_at(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<const wchar_t*>(address), &module))
        return {};
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(module, path, MAX_PATH);
    return fs::path(path).parent_path();
}

fs::path system_folder() {
    wchar_t folder[MAX_PATH]{};
    GetSystemDirectoryW(folder, MAX_PATH);
    return folder;
}

bool same_folder(const fs::path& a, const fs::path& b) {
    return _wcsicmp(a.wstring().c_str(), b.wstring().c_str()) == 0;
}

struct LoaderCase {
    const char* name;
    platform::Loader (*make)();  // nullptr: the system's own
};
// Printed by its name in the test list, not as bytes.
void PrintTo(const LoaderCase& loader, std::ostream* out) {
    *out << loader.name;
}

class SystemLibraryTest : public testing::TestWithParam<LoaderCase> {
  protected:
    SystemLibraryTest() {
        if (GetParam().make) replaced_ = platform::set_loader(GetParam().make());
    }
    ~SystemLibraryTest() override {
        if (replaced_) platform::set_loader(*replaced_);
    }

  private:
    std::optional<platform::Loader> replaced_;
};

TEST_P(SystemLibraryTest, FunctionComesFromTheSystemFolder) {
    const platform::SystemLibrary winmm(L"winmm.dll");
    ASSERT_TRUE(winmm.loaded());
    auto* const joy_get_pos = winmm.find<decltype(::joyGetPos)>("joyGetPos");
    ASSERT_NE(joy_get_pos, nullptr);
    EXPECT_TRUE(same_folder(folder_of_module_at(reinterpret_cast<const void*>(joy_get_pos)),
                            system_folder()));
    EXPECT_EQ(winmm.find<decltype(::joyGetPos)>("joyGetPosNone"), nullptr);
}

// The marker DLL lies beside this test program, where a plain LoadLibrary would find it.
TEST_P(SystemLibraryTest, DllBesideTheProgramIsNotTaken) {
    wchar_t program[MAX_PATH]{};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const fs::path marker = kit_test::host_path(PLANTED_MARKER_DLL);
    ASSERT_TRUE(fs::exists(marker));
    ASSERT_TRUE(same_folder(marker.parent_path(), fs::path(program).parent_path()));

    const platform::SystemLibrary beside(marker.filename().wstring().c_str());
    EXPECT_FALSE(beside.loaded());
    EXPECT_EQ(beside.find<decltype(::joyGetPos)>("joyGetPos"), nullptr);
    EXPECT_FALSE(fs::exists(marker.wstring() + L".loaded"));
}

INSTANTIATE_TEST_SUITE_P(Loaders, SystemLibraryTest,
                         testing::Values(LoaderCase{"AsBuilt", nullptr},
                                         LoaderCase{"Windows7WithoutLoaderUpdate",
                                                    imports_test::windows7_loader}),
                         [](const auto& loader) { return std::string(loader.param.name); });

}  // namespace
