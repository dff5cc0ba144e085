// The line-list file as the launcher reads and writes it, in code pages 1251 and 1252 and
// behind every byte-order mark.
//
// Invariants: lines read are well-formed UTF-8 without CR, LF or NUL; lines without CR, LF or
// NUL written and read again come back as they were, ill-formed UTF-8 as its sanitized form
// (writing makes it well-formed).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check.h"
#include "core/line_list.h"
#include "kit/unicode.h"

namespace {

using launcher::CodePage;
using launcher::LineList;

void check_round_trip(const std::vector<std::string>& lines, const CodePage& ansi) {
    LineList list;
    std::vector<std::string> expected;
    for (const auto& line : lines) {
        list.add(line);
        expected.push_back(kit::unicode::sanitize_utf8(line));
    }
    FUZZ_CHECK(LineList::from_bytes(list.to_bytes(ansi), ansi).lines() == expected);
}

// The input cut into lines at LF, with CR and NUL dropped: arbitrary bytes, so also
// characters the code page lacks and ill-formed UTF-8.
std::vector<std::string> raw_lines(std::string_view bytes) {
    std::vector<std::string> lines(1);
    for (const char c : bytes) {
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\r' && c != '\0')
            lines.back() += c;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const CodePage* ansi : {&launcher::code_page_1251(), &launcher::code_page_1252()}) {
        const auto read = LineList::from_bytes(bytes, *ansi);
        for (const auto& line : read.lines()) {
            FUZZ_CHECK(!fuzz::holds_line_break_or_nul(line));
            FUZZ_CHECK(kit::unicode::is_valid_utf8(line));
        }
        check_round_trip(read.lines(), *ansi);
        auto lines = raw_lines(bytes);
        check_round_trip(lines, *ansi);
        // The same bytes as characters of the code page: lines that may begin like a mark.
        for (auto& line : lines) line = ansi->decode(line);
        check_round_trip(lines, *ansi);
    }
    return 0;
}
