#pragma once

// File steps that fail at one chosen point and pass everything else to the system's: what a
// full disk, a pulled stick or a locked file does to a write, without filling a real disk.
// Put in place with kit::ScopedFileSteps.

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kit/atomic_file.h"
#include "kit/file_steps.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace kit_test {

enum class WriteFault {
    none,
    create,         // the temporary file cannot be made
    first_byte,     // the first write fails
    middle,         // a write fails after some bytes went
    no_byte_taken,  // the first write takes nothing and reports no error: a full disk
    flush,
    rename,
};

inline std::string injected_reason(WriteFault fault) {
    return "injected failure " + std::to_string(static_cast<int>(fault));
}

// The system's own words for a full disk.
inline std::string disk_full_text() {
#ifdef _WIN32
    SetLastError(ERROR_DISK_FULL);
#else
    errno = ENOSPC;
#endif
    return kit::last_system_error();
}

class FailingFileSteps final : public kit::FileSteps {
  public:
    // Writes go in chunks of this size, so that a fault can strike in the middle.
    static constexpr std::size_t chunk = 1024;

    explicit FailingFileSteps(WriteFault fault = WriteFault::none) : fault_(fault) {}

    // Runs once, at the first write: a second writer of the same target at that moment.
    std::function<void()> at_first_write;
    // What was done, in order: "create <path>", "write", "flush", "rename <from> <to>",
    // "remove <path>", "remove unless held <path>: removed" (or ": kept"), "close",
    // "sync <folder>".
    std::vector<std::string> events;
    std::size_t bytes_written = 0;

    Created create(const std::string& path) override {
        events.push_back("create " + path);
        if (fault_ == WriteFault::create) return {nullptr, injected_reason(fault_), false};
        auto created = system_.create(path);
        if (created.file) created.file = std::make_unique<File>(*this, std::move(created.file));
        return created;
    }
    kit::StepFailure rename(const std::string& from, const std::string& to) override {
        events.push_back("rename " + from + " " + to);
        if (fault_ == WriteFault::rename) return injected_reason(fault_);
        return system_.rename(from, to);
    }
    void remove(const std::string& path) override {
        events.push_back("remove " + path);
        system_.remove(path);
    }
    bool remove_unless_held(const std::string& path) override {
        const bool removed = system_.remove_unless_held(path);
        events.push_back("remove unless held " + path + (removed ? ": removed" : ": kept"));
        return removed;
    }
    std::vector<std::string> list(const std::string& folder) override {
        return system_.list(folder);
    }
    void sync_folder(const std::string& folder) override {
        events.push_back("sync " + folder);
        system_.sync_folder(folder);
    }

  private:
    class File final : public kit::NewFile {
      public:
        File(FailingFileSteps& steps, std::unique_ptr<kit::NewFile> real)
            : steps_(steps), real_(std::move(real)) {}

        kit::StepFailure write(std::string_view bytes, std::size_t& written) override {
            steps_.events.emplace_back("write");
            ++writes_;
            if (writes_ == 1 && steps_.at_first_write) std::exchange(steps_.at_first_write, {})();
            const auto fault = steps_.fault_;
            if (fault == WriteFault::first_byte && writes_ == 1) return injected_reason(fault);
            if (fault == WriteFault::middle && writes_ == 3) return injected_reason(fault);
            if (fault == WriteFault::no_byte_taken) {
                written = 0;
                return std::nullopt;
            }
            auto failure = real_->write(bytes.substr(0, std::min(bytes.size(), chunk)), written);
            if (!failure) steps_.bytes_written += written;
            return failure;
        }
        kit::StepFailure flush() override {
            steps_.events.emplace_back("flush");
            if (steps_.fault_ == WriteFault::flush) return injected_reason(steps_.fault_);
            return real_->flush();
        }
        kit::StepFailure close() override {
            steps_.events.emplace_back("close");
            return real_->close();
        }

      private:
        FailingFileSteps& steps_;
        std::unique_ptr<kit::NewFile> real_;
        int writes_ = 0;
    };

    WriteFault fault_;
    kit::FileSteps& system_ = kit::system_file_steps();
};

}  // namespace kit_test
