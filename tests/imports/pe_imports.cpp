#include "pe_imports.h"

#include <cstdint>
#include <stdexcept>

namespace imports_test {
namespace {

constexpr std::uint32_t import_directory = 1;
constexpr std::uint32_t delay_import_directory = 13;

class PeImage {
  public:
    explicit PeImage(std::string_view image) : image_(image) {
        if (image.substr(0, 2) != "MZ") fail("no MZ header");
        const std::uint32_t pe = read32(0x3C);
        if (read32(pe) != 0x00004550) fail("no PE signature");  // "PE\0\0"
        const std::uint32_t file_header = pe + 4;
        const std::uint32_t sections = read16(file_header + 2);
        const std::uint32_t optional_size = read16(file_header + 16);
        optional_ = file_header + 20;
        const std::uint32_t magic = read16(optional_);
        if (magic != 0x10B && magic != 0x20B) fail("unknown optional header");
        wide_ = magic == 0x20B;
        image_base_ = wide_ ? read64(optional_ + 24) : read32(optional_ + 28);
        directory_count_ = read32(optional_ + (wide_ ? 108 : 92));
        section_table_ = optional_ + optional_size;
        section_count_ = sections;
    }

    // The RVA and size of data directory `index`; {0, 0} when the file has none.
    std::uint32_t directory_rva(std::uint32_t index) const {
        if (index >= directory_count_) return 0;
        return read32(optional_ + (wide_ ? 112 : 96) + index * 8);
    }

    std::uint64_t image_base() const { return image_base_; }

    // The file offset of an RVA, through the section that holds it.
    std::uint32_t offset_of(std::uint64_t rva) const {
        for (std::uint32_t i = 0; i < section_count_; ++i) {
            const std::uint32_t header = section_table_ + i * 40;
            const std::uint32_t virtual_size = read32(header + 8);
            const std::uint32_t address = read32(header + 12);
            const std::uint32_t raw_size = read32(header + 16);
            const std::uint32_t raw_offset = read32(header + 20);
            const std::uint32_t size = virtual_size > raw_size ? virtual_size : raw_size;
            if (rva >= address && rva < std::uint64_t{address} + size) {
                const std::uint64_t offset = raw_offset + (rva - address);
                if (offset >= image_.size()) fail("RVA beyond the file");
                return static_cast<std::uint32_t>(offset);
            }
        }
        fail("RVA in no section");
    }

    std::string name_at(std::uint64_t rva) const {
        const std::uint32_t start = offset_of(rva);
        const std::size_t end = image_.find('\0', start);
        if (end == std::string_view::npos) fail("unterminated name");
        return std::string(image_.substr(start, end - start));
    }

    std::uint32_t read16(std::uint64_t offset) const {
        return static_cast<std::uint32_t>(read(offset, 2));
    }
    std::uint32_t read32(std::uint64_t offset) const {
        return static_cast<std::uint32_t>(read(offset, 4));
    }
    std::uint64_t read64(std::uint64_t offset) const { return read(offset, 8); }

  private:
    // Little-endian, whatever the host.
    std::uint64_t read(std::uint64_t offset, unsigned bytes) const {
        if (offset + bytes > image_.size()) fail("truncated");
        std::uint64_t value = 0;
        for (unsigned i = bytes; i-- > 0;)
            value = value << 8 | static_cast<unsigned char>(image_[offset + i]);
        return value;
    }

    [[noreturn]] static void fail(const char* what) {
        throw std::runtime_error(std::string("not a PE file: ") + what);
    }

    std::string_view image_;
    std::uint32_t optional_ = 0;
    bool wide_ = false;
    std::uint64_t image_base_ = 0;
    std::uint32_t directory_count_ = 0;
    std::uint32_t section_table_ = 0;
    std::uint32_t section_count_ = 0;
};

}  // namespace

ImportedDlls read_imported_dlls(std::string_view image) {
    const PeImage pe(image);
    ImportedDlls dlls;
    // Import descriptors: 20 bytes, the name's RVA at 12, ended by an all-zero one.
    if (const std::uint32_t table = pe.directory_rva(import_directory)) {
        for (std::uint32_t entry = pe.offset_of(table);; entry += 20) {
            const std::uint32_t name = pe.read32(entry + 12);
            if (name == 0 && pe.read32(entry) == 0 && pe.read32(entry + 16) == 0) break;
            dlls.at_load.push_back(pe.name_at(name));
        }
    }
    // Delay-load descriptors: 32 bytes, attributes at 0, the name at 4 (an RVA when bit 0
    // of the attributes is set, an address in the oldest linkers' files).
    if (const std::uint32_t table = pe.directory_rva(delay_import_directory)) {
        for (std::uint32_t entry = pe.offset_of(table);; entry += 32) {
            const std::uint32_t attributes = pe.read32(entry);
            const std::uint32_t name = pe.read32(entry + 4);
            if (name == 0) break;
            dlls.delayed.push_back(pe.name_at(attributes & 1 ? name : name - pe.image_base()));
        }
    }
    return dlls;
}

}  // namespace imports_test
