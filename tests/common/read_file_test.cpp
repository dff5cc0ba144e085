#include "kit/read_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "kit_test.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

using kit::ReadFailure;

void write_file(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class ReadRegularFile : public ::testing::Test {
  protected:
    std::string at(std::string_view name) const { return folder_.directory() + std::string(name); }

    kit_test::TempFolder folder_{"kit-read-"};
};

TEST_F(ReadRegularFile, ReadsEveryByteAsItStands) {
    const std::string small("a\r\nb\0\xFF\x1A\r", 8);  // no text-mode translation, no stop at ^Z
    // One byte more than one read call asks for, so the file takes two calls.
    const std::string chunked = std::string(16u << 20, 'x') + "end";
    for (const std::string& bytes : {std::string(), small, chunked}) {
        write_file(folder_ / "file", bytes);
        const auto contents = kit::read_regular_file(at("file"));
        ASSERT_TRUE(contents.ok()) << contents.reason;
        EXPECT_TRUE(contents.bytes.view() == bytes) << bytes.size() << " bytes";
    }
    write_file(folder_ / "файл.ini", "utf-8 name");
    EXPECT_EQ(kit::read_regular_file(at("файл.ini")).bytes.view(), "utf-8 name");
}

TEST_F(ReadRegularFile, TellsTheFailuresApart) {
    write_file(folder_ / "file", "12345");
    fs::create_directory(folder_ / "folder");
    struct Case {
        const char* what;
        std::string path;
        std::size_t size_limit;
        ReadFailure expected;
    };
    const Case cases[] = {
        {"nothing of that name", at("none"), 100, ReadFailure::missing},
        {"in a missing folder", at("none/file"), 100, ReadFailure::missing},
        {"a folder", at("folder"), 100, ReadFailure::not_regular},
        {"larger than allowed", at("file"), 4, ReadFailure::too_big},
    };
    for (const auto& c : cases) {
        const auto contents = kit::read_regular_file(c.path, c.size_limit);
        EXPECT_EQ(contents.failure, c.expected) << c.what;
        EXPECT_EQ(contents.bytes.view(), "") << c.what;
    }
    EXPECT_EQ(kit::read_regular_file(at("file"), 5).bytes.view(), "12345");
}

#ifndef _WIN32
TEST_F(ReadRegularFile, RefusesAFifoWithoutWaitingForAWriter) {
    ASSERT_EQ(mkfifo((folder_ / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(kit::read_regular_file(at("fifo")).failure, ReadFailure::not_regular);
    EXPECT_EQ(kit::read_regular_file("/dev/zero").failure, ReadFailure::not_regular);
}
#endif

}  // namespace
