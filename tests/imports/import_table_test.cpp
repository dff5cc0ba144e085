// The DLLs both exes name in their import tables. A DLL named there is resolved by the loader
// before the program runs, through the search that starts in the exe's own folder, the game
// folder: only DLLs that Windows always takes from its own folder may be named.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <stdexcept>
#include <string>

#include "kit_test.h"
#include "pe_imports.h"

namespace {

std::string lower(std::string text) {
    std::ranges::transform(text, text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The known DLLs common to Windows 7 to 11 (Session Manager\KnownDLLs), and ntdll, which
// every process has mapped before its imports are looked at. Left out on purpose: combase,
// shcore and gdiplus (known only on newer systems), msimg32, winmm, uxtheme, dwmapi,
// windowscodecs and comctl32 (looked for beside the exe first).
const std::set<std::string> always_from_system_folder = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "difxapi.dll", "gdi32.dll",    "imm32.dll",
    "kernel32.dll", "msvcrt.dll",  "normaliz.dll", "nsi.dll",     "ntdll.dll",    "ole32.dll",
    "oleaut32.dll", "psapi.dll",   "rpcrt4.dll",   "sechost.dll", "setupapi.dll", "shell32.dll",
    "shlwapi.dll",  "user32.dll",  "wldap32.dll",  "ws2_32.dll",
};

imports_test::ImportedDlls imports_of(const char* build_path) {
    const std::string image = kit_test::read_bytes(kit_test::host_path(build_path));
    return imports_test::read_imported_dlls(image);
}

TEST(ImportTableTest, ExesNameOnlyDllsTheSystemTakesFromItsOwnFolder) {
    for (const char* exe : {LAUNCHER_EXE, OSTREL_EXE}) {
        SCOPED_TRACE(exe);
        const imports_test::ImportedDlls dlls = imports_of(exe);
        ASSERT_FALSE(dlls.at_load.empty());
        for (const std::string& dll : dlls.at_load)
            EXPECT_TRUE(always_from_system_folder.contains(lower(dll))) << dll << " at load";
        // Resolved at the first call, possibly before WinMain limits the search.
        for (const std::string& dll : dlls.delayed)
            EXPECT_TRUE(always_from_system_folder.contains(lower(dll))) << dll << " delayed";
    }
}

// The reader itself, on a file whose imports are known: the marker DLL of the planting test
// is linked against kernel32 alone.
TEST(ImportTableTest, ReaderFindsTheImportsOfAKnownFileAndRefusesACutOne) {
    const std::string image = kit_test::read_bytes(kit_test::host_path(PLANTED_MARKER_DLL));
    const imports_test::ImportedDlls dlls = imports_test::read_imported_dlls(image);
    ASSERT_EQ(dlls.at_load.size(), 1u);
    EXPECT_EQ(lower(dlls.at_load[0]), "kernel32.dll");
    EXPECT_TRUE(dlls.delayed.empty());

    for (const std::size_t kept : {std::size_t{0}, std::size_t{64}, std::size_t{400}}) {
        SCOPED_TRACE(kept);
        EXPECT_THROW(imports_test::read_imported_dlls(std::string_view(image).substr(0, kept)),
                     std::runtime_error);
    }
}

}  // namespace
