#pragma once

// The file-system steps under kit::replace_file_atomically, one interface so that tests can
// make any step fail the way a full disk, a pulled stick or a locked file would. The system's
// steps are the default; nothing in the shipped programs puts others in place.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kit {

// Every step answers nothing on success, otherwise the reason, as kit::last_system_error
// words it.
using StepFailure = std::optional<std::string>;

// A new file open for writing, held by its writer (against the stale-file cleanup of other
// writers) until it is closed.
class NewFile {
  public:
    virtual ~NewFile() = default;
    // Writes a leading part of `bytes` and sets `written` to its size. Success with 0 bytes
    // written means that the disk took no more.
    virtual StepFailure write(std::string_view bytes, std::size_t& written) = 0;
    // Until the bytes are on the disk.
    virtual StepFailure flush() = 0;
    virtual StepFailure close() = 0;
};

class FileSteps {
  public:
    virtual ~FileSteps() = default;

    struct Created {
        std::unique_ptr<NewFile> file;  // null on failure
        StepFailure failure;
        bool name_taken = false;  // the name exists already (or was taken back): try another
    };
    // Creates `path`, which must not exist yet.
    virtual Created create(const std::string& path) = 0;
    // Moves `from` over `to`, replacing it.
    virtual StepFailure rename(const std::string& from, const std::string& to) = 0;
    // Removes a file that this writer created and still holds.
    virtual void remove(const std::string& path) = 0;
    // Removes a regular file that no running writer holds; false when it stays.
    virtual bool remove_unless_held(const std::string& path) = 0;
    // The names of the entries in `folder` ("." for the current one), in UTF-8.
    virtual std::vector<std::string> list(const std::string& folder) = 0;
    // Makes the entries of `folder`, such as a rename just done, durable.
    virtual void sync_folder(const std::string& folder) = 0;
};

// The operating system's steps.
FileSteps& system_file_steps();

// Puts `steps` in place of the system's for kit::replace_file_atomically on this thread
// while it lives: the seam of the tests.
class ScopedFileSteps {
  public:
    explicit ScopedFileSteps(FileSteps& steps);
    ~ScopedFileSteps();
    ScopedFileSteps(const ScopedFileSteps&) = delete;
    ScopedFileSteps& operator=(const ScopedFileSteps&) = delete;

  private:
    FileSteps* previous_;
};

}  // namespace kit
