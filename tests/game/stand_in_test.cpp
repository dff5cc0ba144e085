// The stand-in GameMain.exe under Wine: its file holds the layout the patcher relies on, its
// probe gives what the routine gives in this process for the same patched file, and the
// launcher's "Запустить" starts it as GameMain-kb.exe with its window.

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "key_file.h"
#include "kit_test.h"
#include "layout.h"
#include "patch.h"
#include "routine.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> game_bytes() {
    const std::string bytes = kit_test::read_bytes(kit_test::host_path(GAME_EXE));
    return {bytes.begin(), bytes.end()};
}

void write_file(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    ASSERT_EQ(kit_test::replace_file_atomically(path, text), std::nullopt) << path;
}

struct Probe {
    DWORD exit_code = 99;
    std::string out;
};

// `exe` --probe with `codes`, its standard output into a file.
Probe run_probe(const fs::path& exe, const std::vector<unsigned>& codes) {
    const fs::path out_path = exe.parent_path() / L"probe.txt";
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    HANDLE out = CreateFileW(out_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(out, INVALID_HANDLE_VALUE);
    std::wstring command = L"\"" + exe.wstring() + L"\" --probe";
    for (unsigned code : codes) {
        std::array<wchar_t, 16> text{};
        std::swprintf(text.data(), text.size(), L" 0x%X", code);
        command += text.data();
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION process{};
    Probe probe;
    if (CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       exe.parent_path().c_str(), &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 98);
        GetExitCodeProcess(process.hProcess, &probe.exit_code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        ADD_FAILURE() << "cannot start " << exe;
    }
    CloseHandle(out);
    probe.out = kit_test::read_bytes(out_path);
    return probe;
}

std::string word_text(std::uint32_t word) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "0x%X\n", static_cast<unsigned>(word));
    return text.data();
}

TEST(StandInExe, FileHoldsTheRegionBelowItsSections) {
    const auto game = game_bytes();
    ASSERT_GT(game.size(), game::region_size);
    const auto region = game::build_region();
    // Only the PE headers, at the start, differ from the region.
    EXPECT_TRUE(std::equal(region.begin() + 0x1000, region.end(), game.begin() + 0x1000));
    EXPECT_EQ(ostrel::check_game(game), ostrel::GameCheck::valid);
    EXPECT_TRUE(ostrel::inspect_game(game).empty());
}

TEST(StandInExe, ProbeAgreesWithTheRoutineRunHere) {
    kit_test::TempFolder folder("game-probe-");
    const auto game = game_bytes();
    write_file(folder / "GameMain.exe", game);
    // The unpatched game's own KeyA test.
    const auto own = run_probe(folder / "GameMain.exe", {0x2C});
    EXPECT_EQ(own.out, "0x100\n");
    EXPECT_EQ(own.exit_code, 0u);

    auto patched = game;
    ostrel::patch_game(patched, ostrel::KeyFile("[KEYS]\r\nKeyA = 0x39\r\nKeyAB = 0x1E\r\n"
                                                "KeyBC = 0x2D\r\nKeyABC = 0x9D\r\n"
                                                "KeyUnknown6 = 0xC8\r\nKeyUp = 0\r\n"));
    write_file(folder / "GameMain-kb.exe", patched);
    std::string problem;
    const auto routine = game::Routine::map(patched, problem);
    ASSERT_TRUE(routine) << problem;

    const std::vector<std::vector<unsigned>> key_sets{
        {}, {0x39}, {0x1E}, {0x2D}, {0x9D}, {0xC8}, {0x36}, {0x2C, 0x2D, 0x2E},
    };
    for (const auto& keys : key_sets) {
        game::KeyState state{};
        for (unsigned code : keys) state[code] = 0x80;
        const auto probe = run_probe(folder / "GameMain-kb.exe", keys);
        EXPECT_EQ(probe.out, word_text(routine->run(state))) << keys.size() << " keys";
        EXPECT_EQ(probe.exit_code, 0u);
    }
    // The chords reached the running program: A+B from 0x1E, B+C and B from 0x2D.
    EXPECT_EQ(run_probe(folder / "GameMain-kb.exe", {0x2D}).out, word_text(0x40 | 0x200));
}

TEST(StandInExe, LaunchersStartButtonStartsItWithItsWindow) {
    kit_test::TempFolder scratch("game-start-");
    const fs::path folder = scratch.path() / L"Игра Зорелия";
    fs::create_directories(folder);
    fs::copy_file(kit_test::host_path(LAUNCHER_EXE), folder / L"launcher.exe");
    fs::copy_file(kit_test::host_path(GAME_EXE), folder / L"GameMain-kb.exe");

    const auto run =
        kit_test::press_start_in_launcher((folder / L"launcher.exe").wstring(), folder);
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.shown) << "the launcher showed no window";
    ASSERT_TRUE(run.ended);

    HWND game = kit_test::wait_for_window(L"Зорелия: игра");
    ASSERT_NE(game, nullptr) << "the stand-in showed no window";
    DWORD game_id = 0;
    GetWindowThreadProcessId(game, &game_id);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, game_id);
    ASSERT_NE(process, nullptr);
    PostMessageW(game, WM_CLOSE, 0, 0);
    const bool game_ended = WaitForSingleObject(process, 20000) == WAIT_OBJECT_0;
    if (!game_ended) TerminateProcess(process, 1);
    CloseHandle(process);
    EXPECT_TRUE(game_ended) << "the stand-in did not close";
}

}  // namespace
