#pragma once

// What the tests of both programs share: files read back whole, a fresh folder per test,
// the host path of a file the build names, and one assertion for an error and its message.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit_test {

// The kit's paths are UTF-8 strings; the tests' std::filesystem paths convert with these.
std::filesystem::path path_from_utf8(std::string_view utf8);
std::string path_to_utf8(const std::filesystem::path& path);

// kit::replace_file_atomically for a test's std::filesystem path.
std::optional<std::string> replace_file_atomically(const std::filesystem::path& target,
                                                   std::string_view bytes);

// The bytes of a file; empty when it cannot be read.
std::string read_bytes(const std::filesystem::path& path);

// Every line followed by CR LF, as the settings files are written.
std::string crlf_text(const std::vector<std::string>& lines);

// Waits for what another process does, which nothing of ours signals: asks `done` now and
// then until it holds or `timeout` has passed; returns `done()`.
bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// The build names files by their Unix path; under Wine the Unix root shows as drive Z:.
// Natively the path stays as it is.
std::filesystem::path host_path(std::string build_path);

#ifdef _WIN32
// A visible top-level window titled `title` of the process `process_id` (0: of any process),
// waited for while this thread's messages are handled; null when none showed within
// `timeout_ms`.
HWND wait_for_window(std::wstring_view title, DWORD process_id = 0, unsigned timeout_ms = 20000);

// Starts `exe` without arguments in `folder` (empty: this program's); nullopt when it did not
// start. The caller closes the handles.
std::optional<PROCESS_INFORMATION> start_program(const std::wstring& exe,
                                                 const std::wstring& folder = {});

// What the player sees of one run of a launcher.exe: started in `folder`, its main window
// waited for and "Запустить" pressed with Enter, then the launcher's end waited for (it is
// ended when it does not end by itself).
struct StartButtonRun {
    bool started = false;  // the process started
    bool shown = false;    // its main window came
    bool ended = false;    // it ended by itself after the press
    DWORD exit_code = 99;
};
StartButtonRun press_start_in_launcher(const std::wstring& launcher_exe,
                                       const std::wstring& folder);
#endif

// A new empty folder in the system's temporary folder, named `prefix` (UTF-8) and the
// running test's name, removed with everything in it at the end.
class TempFolder {
  public:
    explicit TempFolder(std::string_view prefix);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder in UTF-8 with its trailing separator, as the application directory is.
    std::string directory() const;
    std::filesystem::path operator/(std::string_view name) const;

  private:
    std::filesystem::path path_;
};

}  // namespace kit_test

// Expects `statement` to raise `exception` with exactly `message` as its what().
#define EXPECT_THROW_MSG(statement, exception, message)                                   \
    do {                                                                                  \
        bool kit_raised = false;                                                          \
        try {                                                                             \
            statement;                                                                    \
        } catch (const exception& kit_error) {                                            \
            kit_raised = true;                                                            \
            EXPECT_EQ(std::string(kit_error.what()), std::string(message)) << #statement; \
        }                                                                                 \
        EXPECT_TRUE(kit_raised) << #statement " raised no " #exception;                   \
    } while (false)
