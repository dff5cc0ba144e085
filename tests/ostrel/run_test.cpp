// Runs the built ostrel in a fresh folder and checks what it prints and what it leaves there.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "game_fixture.h"
#include "kit/atomic_file.h"
#include "kit_test.h"
#include "patch.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace fs = std::filesystem;

namespace {

using namespace ostrel_test;

struct RunResult {
    std::string out;
    std::string err;
    int status = -1;
};

#ifdef _WIN32

struct Handle {
    HANDLE value = nullptr;
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (value != nullptr && value != INVALID_HANDLE_VALUE) CloseHandle(value);
    }
};

std::wstring program_path() {
    return kit_test::host_path(OSTREL_PROGRAM).wstring();
}

// The C runtime of a Windows console program writes "\n" as "\r\n" in text mode.
constexpr std::string_view line_end = "\r\n";

// Standard error goes to `error_file`, or with standard output when there is none.
RunResult run_ostrel(const fs::path& folder, const fs::path* error_file) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle out_read, out_write, err_write;
    if (!CreatePipe(&out_read.value, &out_write.value, &inherit, 0)) return {};
    SetHandleInformation(out_read.value, HANDLE_FLAG_INHERIT, 0);
    if (error_file) {
        err_write.value = CreateFileW(error_file->c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (err_write.value == INVALID_HANDLE_VALUE) return {};
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out_write.value;
    startup.hStdError = error_file ? err_write.value : out_write.value;
    const std::wstring program = program_path();
    std::wstring command_line = L"\"" + program + L"\"";
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW, nullptr, folder.c_str(), &startup, &process))
        return {};
    Handle process_handle, thread_handle;
    process_handle.value = process.hProcess;
    thread_handle.value = process.hThread;
    CloseHandle(out_write.value);
    out_write.value = nullptr;
    if (err_write.value != nullptr) CloseHandle(err_write.value);
    err_write.value = nullptr;

    RunResult run;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(out_read.value, chunk, sizeof chunk, &got, nullptr) && got > 0)
        run.out.append(chunk, got);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    run.status = static_cast<int>(status);
    return run;
}

#else

constexpr std::string_view line_end = "\n";

// Standard error goes to `error_file`, or with standard output when there is none.
RunResult run_ostrel(const fs::path& folder, const fs::path* error_file) {
    int out[2];
    if (pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    if (!error_file) posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    if (error_file)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, error_file->c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::string program = OSTREL_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);

    RunResult run;
    char chunk[4096];
    ssize_t got = 0;
    while (spawned == 0 && (got = read(out[0], chunk, sizeof chunk)) > 0)
        run.out.append(chunk, static_cast<std::size_t>(got));
    close(out[0]);
    int status = 0;
    if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    return run;
}

#endif

// `text` with each "\n" written as this platform's console writes it.
std::string console(std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (c == '\n')
            result += line_end;
        else
            result += c;
    }
    return result;
}

using kit_test::read_bytes;

void write_file(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string as_text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

const std::string own_keys_report =
    "               KeyUp:       c8 ->       c8\n"
    "             KeyDown:       d0 ->       d0\n"
    "             KeyLeft:       cb ->       cb\n"
    "            KeyRight:       cd ->       cd\n"
    "                KeyA:       2c ->       2c\n"
    "                KeyB:       2d ->       2d\n"
    "                KeyC:       2e ->       2e\n"
    "            KeyTouch:       1f ->       1f\n"
    "           KeyAppeal:       2a ->       2a\n"
    "         KeyUnknown1:       1e ->       1e\n"
    "         KeyUnknown2:       20 ->       20\n"
    "         KeyUnknown3:       10 ->       10\n"
    "         KeyUnknown4:       12 ->       12\n"
    "            KeyStart:       11 ->       11\n"
    "         KeyUnknown5:       1c ->       1c\n"
    "         KeyUnknown6:       36 ->       36\n"
    "               KeyAB:        0 ->        0\n"
    "               KeyBC:        0 ->        0\n"
    "              KeyABC:        0 ->        0\n";

constexpr std::string_view done = "done! GameMain-kb.exe created\n";

class OstrelProgram : public ::testing::Test {
  protected:
    RunResult run_in_folder() {
        auto result = run_ostrel(folder_.path(), &error_file_);
        result.err = read_bytes(error_file_);
        return result;
    }
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_.path()))
            names.insert(kit_test::path_to_utf8(entry.path().filename()));
        return names;
    }
    fs::path at(const char* name) const { return folder_ / name; }

    kit_test::TempFolder folder_{"ostrel-run-"};
    // Outside the game folder, so that it is not one of the folder's entries.
    kit_test::TempFolder error_folder_{"ostrel-stderr-"};
    fs::path error_file_ = error_folder_ / "stderr";
};

TEST_F(OstrelProgram, RefusesMissingShortOrOtherGames) {
    struct Case {
        const char* what;
        enum { none, folder, file } kind;
        std::vector<std::uint8_t> game;
        const char* line;
    };
    const Case cases[] = {
        {"no game", Case::none, {}, "Could not open GameMain.exe\n"},
        {"a folder in its place", Case::folder, {}, "Could not open GameMain.exe\n"},
        {"one byte short", Case::file, make_game(720895), "Not a valid executable.\n"},
        {"other release", Case::file, make_game(720896, " v1.03"),
         "This version of ostrel only works with v1.04.\n"},
    };
    for (const auto& c : cases) {
        fs::remove_all(at("GameMain.exe"));
        if (c.kind == Case::file) write_file(at("GameMain.exe"), as_text(c.game));
        if (c.kind == Case::folder) fs::create_directory(at("GameMain.exe"));
        const auto result = run_in_folder();
        EXPECT_EQ(result.out, console(c.line)) << c.what;
        EXPECT_EQ(result.status, 0) << c.what;
        EXPECT_EQ(result.err, "") << c.what;
        EXPECT_FALSE(fs::exists(at("GameMain-kb.exe"))) << c.what;
    }
}

TEST_F(OstrelProgram, WithoutKeyFileCopiesTheGamesOwnKeys) {
    const auto game = as_text(make_game(720896));
    write_file(at("GameMain.exe"), game);

    const auto result = run_in_folder();
    EXPECT_EQ(result.out, console(own_keys_report + std::string(done)));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");

    auto expected = make_game(720896);
    ostrel::patch_game(expected, ostrel::KeyFile());
    EXPECT_TRUE(read_bytes(at("GameMain-kb.exe")) == as_text(expected));
    EXPECT_TRUE(read_bytes(at("GameMain.exe")) == game);
    EXPECT_EQ(entries(), (std::set<std::string>{"GameMain.exe", "GameMain-kb.exe"}));
}

TEST_F(OstrelProgram, AppliesTheKeyFileAndReplacesAnOldCopy) {
    // As the launcher leaves it: its thirteen lines, one entry it never writes after them.
    const std::string key_file =
        "; keyboard\r\n[KEYS]\r\n\r\n"
        "KeyUp = 0x11\r\nKeyDown = 0x1F\r\nKeyLeft = 0x1E\r\nKeyRight = 0x20\r\n\r\n"
        "KeyStart = 0x1C\r\nKeyA = 0x24\r\nKeyB = 0x25\r\nKeyC = 0x26\r\nKeyTouch = 0x27\r\n"
        "KeyAppeal = 0x2A\r\nKeyAB = 0x2C\r\nKeyBC = 0\r\nKeyABC = 0x2D\r\n"
        "KeyUnknown6 = 0x9D\r\n";
    write_file(at("ostrel.ini"), key_file);
    write_file(at("GameMain.exe"), as_text(make_game()));
    write_file(at("GameMain-kb.exe"), "an old copy");

    const auto result = run_in_folder();
    EXPECT_EQ(result.out, console("               KeyUp:       c8 ->       11\n"
                                  "             KeyDown:       d0 ->       1f\n"
                                  "             KeyLeft:       cb ->       1e\n"
                                  "            KeyRight:       cd ->       20\n"
                                  "                KeyA:       2c ->       24\n"
                                  "                KeyB:       2d ->       25\n"
                                  "                KeyC:       2e ->       26\n"
                                  "            KeyTouch:       1f ->       27\n"
                                  "           KeyAppeal:       2a ->       2a\n"
                                  "         KeyUnknown1:       1e ->       1e\n"
                                  "         KeyUnknown2:       20 ->       20\n"
                                  "         KeyUnknown3:       10 ->       10\n"
                                  "         KeyUnknown4:       12 ->       12\n"
                                  "            KeyStart:       11 ->       1c\n"
                                  "         KeyUnknown5:       1c ->       1c\n"
                                  "         KeyUnknown6:       36 ->       9d\n"
                                  "               KeyAB:        0 ->       2c\n"
                                  "               KeyBC:        0 ->        0\n"
                                  "              KeyABC:        0 ->       2d\n"
                                  "done! GameMain-kb.exe created\n"));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");

    auto expected = make_game();
    ostrel::patch_game(expected, ostrel::KeyFile(key_file));
    const auto written = read_bytes(at("GameMain-kb.exe"));
    EXPECT_TRUE(written == as_text(expected));
    EXPECT_EQ(get_u32(std::span(expected), 0x60E95), 0x9Du + displacement);
    EXPECT_EQ(read_bytes(at("ostrel.ini")), key_file);
    EXPECT_EQ(entries(), (std::set<std::string>{"GameMain.exe", "GameMain-kb.exe", "ostrel.ini"}));
}

TEST_F(OstrelProgram, BadValueKeepsTheDefaultAndIsExplainedApart) {
    write_file(at("ostrel.ini"), "[KEYS]\nKeyUp = 0x1C8\n");
    write_file(at("GameMain.exe"), as_text(make_game()));

    const auto result = run_in_folder();
    EXPECT_EQ(result.out, console(own_keys_report + std::string(done)));
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("KeyUp"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("0x1C8"), std::string::npos) << result.err;
    EXPECT_EQ(std::ranges::count(result.err, '\n'), 1) << result.err;
}

TEST_F(OstrelProgram, PatchedGameAsInputIsWarnedAbout) {
    auto patched = make_game();
    ostrel::patch_game(patched, ostrel::KeyFile());
    write_file(at("GameMain.exe"), as_text(patched));

    const auto result = run_in_folder();
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("already carries the keyboard patch"), std::string::npos)
        << result.err;
    // The jump covers KeyUnknown6's own test: its usual code stands in, and says so.
    EXPECT_NE(result.err.find("0x900005B6 for KeyUnknown6"), std::string::npos) << result.err;
    EXPECT_EQ(std::ranges::count(result.err, '\n'), 2) << result.err;
    EXPECT_EQ(result.out, console(own_keys_report + std::string(done)));
    const auto written = read_bytes(at("GameMain-kb.exe"));
    const std::vector<std::uint8_t> copy(written.begin(), written.end());
    EXPECT_EQ(get_u32(copy, 0x60E95), 0x36 + displacement);
}

// On a console, or a pipe read by a log, both streams show as one: each explanation must
// stand where the run said it, before the report line it concerns, however either stream is
// buffered.
TEST_F(OstrelProgram, ExplanationsKeepTheirPlaceAmongReportLinesOnOneStream) {
    auto patched = make_game();
    ostrel::patch_game(patched, ostrel::KeyFile());
    write_file(at("GameMain.exe"), as_text(patched));
    write_file(at("ostrel.ini"), "[KEYS]\nKeyStart = 0x1C8\n");

    const auto result = run_ostrel(folder_.path(), nullptr);
    // Report lines as they are; explanations by what they concern.
    const char* const concerns[] = {"already carries", "KeyStart", "KeyUnknown6"};
    std::vector<std::string> seen;
    std::string_view rest = result.out;
    while (!rest.empty()) {
        const auto end = std::min(rest.find(line_end), rest.size());
        std::string line(rest.substr(0, end));
        rest.remove_prefix(std::min(end + line_end.size(), rest.size()));
        if (line.starts_with("ostrel: "))
            for (const char* concern : concerns)
                if (line.find(concern) != std::string::npos) {
                    line = concern;
                    break;
                }
        seen.push_back(line);
    }
    std::vector<std::string> expected{"already carries"};
    std::string_view report = own_keys_report;
    while (!report.empty()) {
        const auto end = report.find('\n');
        const std::string line(report.substr(0, end));
        if (line.ends_with(" KeyStart:       11 ->       11")) expected.push_back("KeyStart");
        if (line.ends_with(" KeyUnknown6:       36 ->       36")) expected.push_back("KeyUnknown6");
        expected.push_back(line);
        report.remove_prefix(end + 1);
    }
    expected.push_back(std::string(done.substr(0, done.size() - 1)));
    EXPECT_EQ(seen, expected) << result.out;
    EXPECT_EQ(result.status, 0);
}

TEST_F(OstrelProgram, RejectedValueIsShownShortAndHarmless) {
    // Terminal commands (set the title, clear the screen) and a megabyte of text after them.
    const std::string value = "\x1B]0;owned\x07\x1B[2J" + std::string(1 << 20, '9');
    write_file(at("ostrel.ini"), "[KEYS]\nKeyUp = " + value + "\n");
    write_file(at("GameMain.exe"), as_text(make_game()));

    const auto result = run_in_folder();
    EXPECT_EQ(result.out, console(own_keys_report + std::string(done)));
    EXPECT_EQ(std::ranges::count(result.err, '\n'), 1);
    EXPECT_LT(result.err.size(), 200u);
    EXPECT_EQ(result.err.find_first_of("\x1B\x07"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(R"("\x1B]0;owned\x07\x1B[2J999)"), std::string::npos) << result.err;
}

#ifndef _WIN32
// Opening a FIFO for reading waits for a writer; neither name may stop the run.
TEST_F(OstrelProgram, FifoInPlaceOfAFileDoesNotBlock) {
    ASSERT_EQ(mkfifo(at("GameMain.exe").c_str(), 0600), 0);
    auto result = run_in_folder();
    EXPECT_EQ(result.out, "Could not open GameMain.exe\n");
    EXPECT_EQ(result.err, "");

    fs::remove(at("GameMain.exe"));
    write_file(at("GameMain.exe"), as_text(make_game()));
    ASSERT_EQ(mkfifo(at("ostrel.ini").c_str(), 0600), 0);
    result = run_in_folder();
    EXPECT_EQ(result.out, own_keys_report + std::string(done));
    EXPECT_NE(result.err.find("./ostrel.ini"), std::string::npos) << result.err;
    EXPECT_EQ(std::ranges::count(result.err, '\n'), 1) << result.err;
}
#endif

TEST_F(OstrelProgram, UnwritableCopyLeavesEverythingAsItWas) {
    // A folder in the copy's place cannot be replaced by a file, even by root.
    fs::create_directory(at("GameMain-kb.exe"));
    write_file(at("GameMain-kb.exe") / "inside", "kept");
    const auto game = as_text(make_game());
    write_file(at("GameMain.exe"), game);

    const auto result = run_in_folder();
    EXPECT_EQ(result.out, console(own_keys_report));
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("GameMain-kb.exe"), std::string::npos) << result.err;
    EXPECT_EQ(std::ranges::count(result.err, '\n'), 1) << result.err;
    EXPECT_EQ(read_bytes(at("GameMain-kb.exe") / "inside"), "kept");
    EXPECT_TRUE(read_bytes(at("GameMain.exe")) == game);
    EXPECT_EQ(entries(), (std::set<std::string>{"GameMain.exe", "GameMain-kb.exe"}));
}

}  // namespace
