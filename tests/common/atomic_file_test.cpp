#include "kit/atomic_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "kit_test.h"

namespace fs = std::filesystem;

namespace {

class ReplaceFileAtomically : public ::testing::Test {
  protected:
    size_t entries() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder_.path()), {}));
    }

    kit_test::TempFolder folder_{"kit-atomic-"};
};

TEST_F(ReplaceFileAtomically, CreatesAndReplacesWholeLeavingNoTemporary) {
    const auto target = folder_ / "settings.ini";
    ASSERT_FALSE(kit::replace_file_atomically(target, std::string("first\r\n\0x", 9)));
    EXPECT_EQ(kit_test::read_bytes(target), std::string("first\r\n\0x", 9));
    ASSERT_FALSE(kit::replace_file_atomically(target, "second"));
    EXPECT_EQ(kit_test::read_bytes(target), "second");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ReplaceFileAtomically, FailureKeepsTargetAndRemovesTemporary) {
    // A folder in the target's place cannot be replaced by a file, even by root.
    const auto target = folder_ / "blocked";
    fs::create_directory(target);
    std::ofstream(target / "inside") << "kept";
    const auto reason = kit::replace_file_atomically(target, "new");
    ASSERT_TRUE(reason);
    EXPECT_FALSE(reason->empty());
    EXPECT_NE(reason->back(), '.');
    EXPECT_EQ(kit_test::read_bytes(target / "inside"), "kept");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ReplaceFileAtomically, MissingFolderIsReported) {
    EXPECT_TRUE(kit::replace_file_atomically(folder_ / "absent" / "file.ini", "x"));
    EXPECT_EQ(entries(), 0u);
}

TEST_F(ReplaceFileAtomically, NonAsciiPath) {
    const auto target = folder_.path() / kit::path_from_utf8("Зорелия игра") / "ostrel.ini";
    fs::create_directory(target.parent_path());
    ASSERT_FALSE(kit::replace_file_atomically(target, "ok"));
    EXPECT_EQ(kit_test::read_bytes(target), "ok");
    EXPECT_EQ(kit::path_to_utf8(target.parent_path().filename()), "Зорелия игра");
}

}  // namespace
