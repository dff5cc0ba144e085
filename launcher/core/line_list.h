#pragma once

// A text file handled as an ordered list of lines numbered from 0, read whole and written
// whole. Text is UTF-8 inside; files are in the system's ANSI code page unless a byte-order
// mark says otherwise.
//
// Reading: a mark FF FE (UTF-16 LE), FE FF (UTF-16 BE) or EF BB BF (UTF-8), tested in that
// order, selects the encoding and is skipped; what cannot be decoded becomes U+FFFD. Lines
// end at CR LF, lone CR or lone LF; a line end at the very end adds no empty line; a NUL
// character ends the text. Lines are kept exactly as they stand.
// Writing: CR LF after every line, the last included, in the ANSI code page without a mark.
// When a line holds a character that the ANSI code page has no place for, or the ANSI bytes
// would begin like a byte-order mark ("яю" in code page 1251, "ÿþ" in 1252), the whole file
// is written as UTF-8 with its mark instead, so that every line reads back as it was.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interfaces/system.h"

namespace launcher {

// Built-in tables, so that portable code and tests need no operating system.
const CodePage& code_page_1251();
const CodePage& code_page_1252();

class LineList {
  public:
    static LineList from_bytes(std::string_view bytes, const CodePage& ansi);
    std::string to_bytes(const CodePage& ansi) const;

    // Raises "Cannot open file "%s". %s" when the file cannot be read (a folder, a missing
    // file); the lines are then left as they were.
    void load_from_file(const std::string& path, const CodePage& ansi);
    // Replaces the file whole; raises "Cannot create file "%s". %s" and leaves the old file
    // as it was when that cannot be done.
    void save_to_file(const std::string& path, const CodePage& ansi) const;

    // Both raise "List index out of bounds (%d)" for a line the list does not hold.
    const std::string& at(long index) const;
    void replace(long index, std::string line);

    void add(std::string line) { lines_.push_back(std::move(line)); }
    void clear() { lines_.clear(); }
    long count() const { return static_cast<long>(lines_.size()); }
    const std::vector<std::string>& lines() const { return lines_; }

  private:
    std::vector<std::string> lines_;
};

// True only for an existing file; a folder of that name counts as missing.
bool file_exists(const std::string& path);

}  // namespace launcher
