// Build step of the stand-in game: place_region LINKED.exe GameMain.exe
// Writes the linked program again with the region of layout.h below its sections: the PE
// headers stay at the start, every section's raw data moves above the region (its file
// offset updated, the file alignment kept), and the region's bytes fill the rest of
// [0, 0xB0000). The loader maps only the headers and the sections, so the program runs as
// linked, while its file holds the key routine where the patcher looks for it.
// Nothing else in a stripped mingw PE points into the file: a symbol table, a debug
// directory or a certificate, which would, are refused.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "kit/little_endian.h"
#include "layout.h"

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::uint32_t get(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t size) {
    if (at + size > bytes.size()) throw Failure(std::string("the file ends inside its headers"));
    return kit::read_le(bytes, at, size);
}

std::vector<std::uint8_t> read_all(const char* path) {
    File file(std::fopen(path, "rb"));
    if (!file) throw Failure(std::string("cannot open ") + path);
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    if (std::ferror(file.get())) throw Failure(std::string("cannot read ") + path);
    return bytes;
}

std::vector<std::uint8_t> place(const std::vector<std::uint8_t>& linked) {
    if (get(linked, 0, 2) != 0x5A4D) throw Failure(std::string("no MZ header"));
    const std::size_t pe = get(linked, 0x3C, 4);
    if (get(linked, pe, 4) != 0x00004550) throw Failure(std::string("no PE signature"));
    const std::size_t coff = pe + 4;
    const std::uint32_t sections = get(linked, coff + 2, 2);
    const std::uint32_t optional_size = get(linked, coff + 16, 2);
    if (get(linked, coff + 8, 4) != 0 || get(linked, coff + 12, 4) != 0)
        throw Failure(std::string("the program has a symbol table: link it stripped"));
    const std::size_t optional = coff + 20;
    if (get(linked, optional, 2) != 0x20B) throw Failure(std::string("not a PE32+ program"));
    const std::uint32_t file_alignment = get(linked, optional + 36, 4);
    const std::uint32_t headers_size = get(linked, optional + 60, 4);
    const std::uint32_t directories = get(linked, optional + 108, 4);
    for (const std::uint32_t directory : {4u, 6u})  // certificates, debug
        if (directory < directories && get(linked, optional + 112 + 8 * directory + 4, 4) != 0)
            throw Failure(std::string("the program has a debug directory or a certificate"));
    if (headers_size > game::mapped_begin)
        throw Failure(std::string("the headers reach into the region"));
    if (game::region_size % file_alignment != 0) throw Failure(std::string("odd file alignment"));

    std::vector<std::uint8_t> placed = game::build_region();
    std::copy(linked.begin(), linked.begin() + headers_size, placed.begin());
    const std::size_t table = optional + optional_size;
    for (std::uint32_t i = 0; i < sections; ++i) {
        const std::size_t header = table + 40 * i;
        const std::uint32_t raw_size = get(linked, header + 16, 4);
        const std::uint32_t raw_offset = get(linked, header + 20, 4);
        if (raw_size == 0) continue;
        if (std::size_t{raw_offset} + raw_size > linked.size())
            throw Failure(std::string("a section lies beyond the file's end"));
        const auto at = static_cast<std::uint32_t>(placed.size());
        placed.insert(placed.end(), linked.begin() + raw_offset,
                      linked.begin() + raw_offset + raw_size);
        placed.resize((placed.size() + file_alignment - 1) / file_alignment * file_alignment);
        kit::write_u32_le(placed, header + 20, at);
    }
    kit::write_u32_le(placed, optional + 64, 0);  // the checksum no longer holds
    return placed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: place_region LINKED.exe OUTPUT.exe\n", stderr);
        return 2;
    }
    try {
        const auto placed = place(read_all(argv[1]));
        const std::string temporary = std::string(argv[2]) + ".part";
        {
            File out(std::fopen(temporary.c_str(), "wb"));
            if (!out || std::fwrite(placed.data(), 1, placed.size(), out.get()) != placed.size())
                throw Failure(std::string("cannot write ") + temporary);
            if (std::fclose(out.release()) != 0)
                throw Failure(std::string("cannot write ") + temporary);
        }
        if (std::rename(temporary.c_str(), argv[2]) != 0)
            throw Failure(std::string("cannot rename ") + temporary);
    } catch (const Failure& problem) {
        std::fprintf(stderr, "place_region: %s: %s\n", argv[1], problem.what());
        return 1;
    }
    return 0;
}
