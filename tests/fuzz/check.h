#pragma once

// The fuzz targets' assertion: a broken invariant prints itself and aborts, which libFuzzer
// reports as a crash and keeps the input of.

#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz {

inline bool holds_line_break_or_nul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

inline bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace fuzz
