#pragma once

// One run of ostrel: read GameMain.exe and ostrel.ini from a folder, patch, report, write
// GameMain-kb.exe. Standard output carries the fixed report; standard error explains
// anything unusual.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel {

// Where a run's text goes. Every piece handed over is whole lines.
class Console {
  public:
    virtual ~Console() = default;
    virtual void out(std::string_view text) = 0;  // the report
    virtual void err(std::string_view text) = 0;  // explanations
};

// The process's standard output and error. The report is kept and written in one piece, since
// on a console every write costs: before any explanation, so that the two streams keep their
// order on a shared console or pipe, and at flush(). Explanations go out at once.
class StandardConsole final : public Console {
  public:
    void out(std::string_view text) override { kept_ += text; }
    void err(std::string_view text) override;
    void flush();  // writes what is kept; the owner calls it once the run is over

  private:
    std::string kept_;
};

// Keeps each stream's text.
class CollectingConsole final : public Console {
  public:
    void out(std::string_view text) override { out_text += text; }
    void err(std::string_view text) override { err_text += text; }

    std::string out_text;
    std::string err_text;
};

// Writes `bytes` as the file at `utf8_path`: nothing on success, otherwise the reason.
using FileWriter =
    std::function<std::optional<std::string>(const std::string& utf8_path, std::string_view bytes)>;

// The writer of GameMain-kb.exe: kit::replace_file_atomically.
std::optional<std::string> write_file_atomically(const std::string& utf8_path,
                                                 std::string_view bytes);

// The whole run in `folder` (UTF-8 with its trailing separator; empty for the current
// folder). Never throws: anything unexpected is explained on the console's error stream.
void run(Console& console, std::string_view folder = {},
         const FileWriter& write = write_file_atomically);

// `value` in double quotes, safe to show on a console: at most `limit` bytes of it, cut
// between characters and followed by "..." when cut; control characters, quotes,
// backslashes and bytes that are no UTF-8 appear as escapes.
std::string quote_for_console(std::string_view value, std::size_t limit = 32);

}  // namespace ostrel
