#include "kit/atomic_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <set>

#include "failing_file_steps.h"
#include "kit/file_steps.h"
#include "kit_test.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

using kit_test::FailingFileSteps;
using kit_test::WriteFault;

std::set<std::string> names_in(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(kit_test::path_to_utf8(entry.path().filename()));
    return names;
}

void write_file(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

unsigned long this_process_id() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

// Several chunks of the failing steps, NULs included, like the patched executable.
std::string payload() {
    std::string bytes;
    for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i % 251);
    return bytes;
}

class ReplaceFileAtomically : public ::testing::Test {
  protected:
    size_t entries() const { return names_in(folder_.path()).size(); }

    kit_test::TempFolder folder_{"kit-atomic-"};
};

TEST_F(ReplaceFileAtomically, CreatesAndReplacesWholeLeavingNoTemporary) {
    const auto target = folder_ / "settings.ini";
    ASSERT_FALSE(kit_test::replace_file_atomically(target, std::string("first\r\n\0x", 9)));
    EXPECT_EQ(kit_test::read_bytes(target), std::string("first\r\n\0x", 9));
    ASSERT_FALSE(kit_test::replace_file_atomically(target, "second"));
    EXPECT_EQ(kit_test::read_bytes(target), "second");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ReplaceFileAtomically, FailureAtEachStepKeepsTheOldFileAndLeavesNoTemporary) {
    struct Case {
        WriteFault fault;
        const char* what;
    };
    const Case cases[] = {
        {WriteFault::create, "create"}, {WriteFault::first_byte, "first-byte"},
        {WriteFault::middle, "middle"}, {WriteFault::no_byte_taken, "no-byte-taken"},
        {WriteFault::flush, "flush"},   {WriteFault::rename, "rename"},
    };
    const std::string old_bytes("old\r\n\0kept", 10);
    for (const auto& c : cases) {
        for (const bool target_exists : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (target_exists ? ", target exists" : ", no target"));
            const auto folder = folder_ / (std::string(c.what) + (target_exists ? "-old" : "-new"));
            fs::create_directory(folder);
            const auto target = folder / "GameMain-kb.exe";
            if (target_exists) write_file(target, old_bytes);

            FailingFileSteps steps(c.fault);
            const kit::ScopedFileSteps in_place(steps);
            const auto reason = kit_test::replace_file_atomically(target, payload());

            const auto expected = c.fault == WriteFault::no_byte_taken
                                      ? kit_test::disk_full_text()
                                      : kit_test::injected_reason(c.fault);
            EXPECT_EQ(reason, expected);
            if (c.fault == WriteFault::middle) {
                EXPECT_GT(steps.bytes_written, 0u) << "the fault came before any byte";
            }
            if (target_exists) {
                EXPECT_EQ(kit_test::read_bytes(target), old_bytes);
                EXPECT_EQ(names_in(folder), std::set<std::string>{"GameMain-kb.exe"});
            } else {
                EXPECT_EQ(names_in(folder), std::set<std::string>{});
            }
        }
    }
}

TEST_F(ReplaceFileAtomically, VisibleTemporaryIsFlushedAndHeldUntilMovedThenTheFolderIsSynced) {
    const auto target = kit_test::path_to_utf8(folder_ / "Input1.ini");
    FailingFileSteps steps;
    {
        const kit::ScopedFileSteps in_place(steps);
        ASSERT_FALSE(kit::replace_file_atomically(target, "0 1 2\r\n"));
    }
    ASSERT_EQ(steps.events.size(), 6u);
    const auto temporary = steps.events[0].substr(std::string_view("create ").size());
    const auto name_start = target + ".incomplete-write-" + std::to_string(this_process_id()) + "-";
    EXPECT_TRUE(temporary.starts_with(name_start) && temporary.ends_with(".tmp")) << temporary;
    EXPECT_EQ(steps.events[1], "write");
    EXPECT_EQ(steps.events[2], "flush");
    EXPECT_EQ(steps.events[3], "rename " + temporary + " " + target);
    EXPECT_EQ(steps.events[4], "close") << "held open until it carries the target's name";
    ASSERT_TRUE(steps.events[5].starts_with("sync "));
    EXPECT_TRUE(
        fs::equivalent(kit_test::path_from_utf8(steps.events[5].substr(5)), folder_.path()));
    EXPECT_EQ(kit_test::read_bytes(kit_test::path_from_utf8(target)), "0 1 2\r\n");
}

TEST_F(ReplaceFileAtomically, RemovesStaleTemporariesOfTheTargetAndNothingElse) {
    const std::set<std::string> stale = {
        "GameMain-kb.exe.incomplete-write-123-0.tmp",
        "GameMain-kb.exe.incomplete-write-4567-89.tmp",
        "GameMain-kb.exe.1234-0-0.tmp",  // the shape earlier builds left
    };
    const std::set<std::string> kept = {
        "GameMain.exe",
        "GameMain.exe.incomplete-write-123-0.tmp",
        "xGameMain-kb.exe.incomplete-write-1-0.tmp",
        "GameMain-kb.exe.incomplete-write-1-0.tmp.bak",
        "GameMain-kb.exe.incomplete-write-1-x.tmp",
        "GameMain-kb.exe.incomplete-write--0.tmp",
        "GameMain-kb.exe.incomplete-write-1-0-0.tmp",
        "GameMain-kb.exe.incomplete-write-12.tmp",
        "GameMain-kb.exe.1234-0.tmp",
        "GameMain-kb.exe.1234-0-0-0.tmp",
        "GameMain-kb.exe.1234-0-.tmp",
    };
    for (const auto& name : stale) write_file(folder_ / name, "torn");
    for (const auto& name : kept) write_file(folder_ / name, "someone else's");
    const std::string folder_of_that_shape = "GameMain-kb.exe.incomplete-write-9-9.tmp";
    fs::create_directory(folder_ / folder_of_that_shape);
    write_file(folder_ / folder_of_that_shape / "inside", "kept");
    write_file(folder_ / "GameMain-kb.exe", "previous");

    ASSERT_FALSE(kit_test::replace_file_atomically(folder_ / "GameMain-kb.exe", "patched"));

    auto expected = kept;
    expected.insert(folder_of_that_shape);
    expected.insert("GameMain-kb.exe");
    EXPECT_EQ(names_in(folder_.path()), expected);
    EXPECT_EQ(kit_test::read_bytes(folder_ / "GameMain-kb.exe"), "patched");
    for (const auto& name : kept) EXPECT_EQ(kit_test::read_bytes(folder_ / name), "someone else's");
    EXPECT_EQ(kit_test::read_bytes(folder_ / folder_of_that_shape / "inside"), "kept");
}

TEST_F(ReplaceFileAtomically, AWriterStartingMeanwhileLeavesTheRunningWritersTemporary) {
    const auto target = folder_ / "GameMain-kb.exe";
    std::optional<std::string> second_failure = "not run";
    FailingFileSteps steps;
    // The second writer's cleanup runs while the first writer's temporary file exists.
    steps.at_first_write = [&] {
        second_failure = kit_test::replace_file_atomically(target, "second");
    };
    const kit::ScopedFileSteps in_place(steps);
    EXPECT_FALSE(kit_test::replace_file_atomically(target, payload()));
    EXPECT_FALSE(second_failure);
    ASSERT_TRUE(steps.events[0].starts_with("create "));
    const auto first_temporary = steps.events[0].substr(std::string_view("create ").size());
    const auto kept = "remove unless held " + first_temporary + ": kept";
    EXPECT_TRUE(std::ranges::find(steps.events, kept) != steps.events.end())
        << "the second writer's cleanup did not find the first writer's file held";
    EXPECT_TRUE(kit_test::read_bytes(target) == payload()) << "the first writer's bytes";
    EXPECT_EQ(names_in(folder_.path()), std::set<std::string>{"GameMain-kb.exe"});
}

TEST_F(ReplaceFileAtomically, FailureKeepsTargetAndRemovesTemporary) {
    // A folder in the target's place cannot be replaced by a file, even by root.
    const auto target = folder_ / "blocked";
    fs::create_directory(target);
    std::ofstream(target / "inside") << "kept";
    const auto reason = kit_test::replace_file_atomically(target, "new");
    ASSERT_TRUE(reason);
    EXPECT_FALSE(reason->empty());
    EXPECT_NE(reason->back(), '.');
    EXPECT_EQ(kit_test::read_bytes(target / "inside"), "kept");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ReplaceFileAtomically, MissingFolderIsReported) {
    EXPECT_TRUE(kit_test::replace_file_atomically(folder_ / "absent" / "file.ini", "x"));
    EXPECT_EQ(entries(), 0u);
}

TEST_F(ReplaceFileAtomically, NonAsciiPath) {
    const auto target = folder_.path() / kit_test::path_from_utf8("Зорелия игра") / "ostrel.ini";
    fs::create_directory(target.parent_path());
    write_file(
        target.parent_path() / kit_test::path_from_utf8("ostrel.ini.incomplete-write-1-2.tmp"),
        "stale");
    ASSERT_FALSE(kit::replace_file_atomically(kit_test::path_to_utf8(target), "ok"));
    EXPECT_EQ(kit_test::read_bytes(target), "ok");
    EXPECT_EQ(names_in(target.parent_path()), std::set<std::string>{"ostrel.ini"});
    EXPECT_EQ(kit_test::path_to_utf8(target.parent_path().filename()), "Зорелия игра");
}

TEST(LastSystemError, NeverCallsAFailureASuccess) {
#ifdef _WIN32
    SetLastError(ERROR_SUCCESS);
#else
    errno = 0;
#endif
    const auto reason = kit::last_system_error();
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find("uccess"), std::string::npos) << reason;
    EXPECT_NE(reason.back(), '.');
}

}  // namespace
