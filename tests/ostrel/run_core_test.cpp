// The run in this process, on a console that keeps the text and a writer of our own.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "game_fixture.h"
#include "kit_test.h"
#include "patch.h"
#include "run.h"

namespace {

using namespace ostrel_test;

struct Write {
    std::string path;
    std::string bytes;
};

TEST(OstrelRun, FailedWriteEndsTheOutputAfterTheReport) {
    kit_test::TempFolder folder("ostrel-core-");
    const auto game = make_game();
    std::ofstream(folder / "GameMain.exe", std::ios::binary)
        .write(reinterpret_cast<const char*>(game.data()),
               static_cast<std::streamsize>(game.size()));
    std::ofstream(folder / "ostrel.ini", std::ios::binary) << "[KEYS]\r\nKeyUp = 0x11\r\n";
    auto expected_copy = game;
    const auto bindings =
        ostrel::patch_game(expected_copy, ostrel::KeyFile("[KEYS]\r\nKeyUp = 0x11\r\n"));
    std::string report;
    for (const auto& binding : bindings) report += ostrel::report_line(binding);

    struct Case {
        std::optional<std::string> failure;
        std::string out;
        std::string err;
    };
    const Case cases[] = {
        {"No space left on device", report,
         "ostrel: could not write GameMain-kb.exe: No space left on device\n"},
        {std::nullopt, report + "done! GameMain-kb.exe created\n", ""},
    };
    for (const auto& c : cases) {
        std::vector<Write> writes;
        const ostrel::FileWriter writer = [&](const std::string& path, std::string_view bytes) {
            writes.push_back({path, std::string(bytes)});
            return c.failure;
        };
        ostrel::CollectingConsole console;
        ostrel::run(console, folder.directory(), writer);
        EXPECT_EQ(console.out_text, c.out);
        EXPECT_EQ(console.err_text, c.err);
        ASSERT_EQ(writes.size(), 1u);
        EXPECT_EQ(writes[0].path, folder.directory() + "GameMain-kb.exe");
        EXPECT_TRUE(writes[0].bytes == std::string(expected_copy.begin(), expected_copy.end()));
        EXPECT_EQ(kit_test::read_bytes(folder / "GameMain-kb.exe"), "");  // nothing else wrote
    }
}

TEST(OstrelRun, RejectedValueIsQuotedShortWithControlsEscaped) {
    struct Case {
        std::string value;
        std::string quoted;
    };
    const std::string a31(31, 'a');
    const Case cases[] = {
        {"0x1C8", R"("0x1C8")"},
        {"", R"("")"},
        {std::string(32, '7'), '"' + std::string(32, '7') + '"'},
        {std::string(33, '7'), '"' + std::string(32, '7') + "\"..."},
        // A two-byte character that would end past the limit is left out whole.
        {a31 + "\xD0\xBA", '"' + a31 + "\"..."},
        {"клавиша", "\"клавиша\""},
        {"\x1B[2J\a\t\x7F", R"("\x1B[2J\x07\x09\x7F")"},
        {"\xC2\x9B"
         "31m",
         R"("\u009B31m")"},             // the one-character CSI
        {"\xFF\xD0", R"("\xFF\xD0")"},  // no UTF-8
        {"say \"hi\" \\", R"("say \"hi\" \\")"},
        {std::string("a\0b", 3), R"("a\x00b")"},
    };
    for (const auto& c : cases) EXPECT_EQ(ostrel::quote_for_console(c.value), c.quoted) << c.value;
}

}  // namespace
