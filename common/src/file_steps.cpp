#include "kit/file_steps.h"

#include <algorithm>

#include "kit/atomic_file.h"
#include "kit/text.h"
#include "kit/unique_handle.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace kit {

namespace {

#ifdef _WIN32

// Open with no sharing but delete: the cleanup's exclusive open fails while this handle
// lives, yet the file can still be moved over the target (or removed) through its name.
class SystemNewFile final : public NewFile {
  public:
    explicit SystemNewFile(HANDLE handle) : handle_(handle) {}

    StepFailure write(std::string_view bytes, std::size_t& written) override {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD count = 0;
        if (!WriteFile(handle_.get(), bytes.data(), chunk, &count, nullptr))
            return last_system_error();
        written = count;
        return std::nullopt;
    }
    StepFailure flush() override {
        if (!FlushFileBuffers(handle_.get())) return last_system_error();
        return std::nullopt;
    }
    StepFailure close() override {
        if (!handle_.close()) return last_system_error();
        return std::nullopt;
    }

  private:
    FileHandle handle_;
};

class SystemSteps final : public FileSteps {
  public:
    Created create(const std::string& path) override {
        const HANDLE handle =
            CreateFileW(text::widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD code = GetLastError();
            Created failed{nullptr, last_system_error(), false};
            failed.name_taken = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
            return failed;
        }
        return {std::make_unique<SystemNewFile>(handle), std::nullopt, false};
    }
    StepFailure rename(const std::string& from, const std::string& to) override {
        // Write-through: the call returns once the move is on the disk.
        if (!MoveFileExW(text::widen(from).c_str(), text::widen(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return last_system_error();
        return std::nullopt;
    }
    void remove(const std::string& path) override { DeleteFileW(text::widen(path).c_str()); }
    bool remove_unless_held(const std::string& path) override {
        // Share mode 0 fails while any handle is open, so a running writer keeps its file.
        // Folders do not open without backup semantics; links are removed, not followed.
        FileHandle handle(CreateFileW(text::widen(path).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr));
        return handle.valid() && handle.close();
    }
    std::vector<std::string> list(const std::string& folder) override {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found{};
        const FindHandle search(FindFirstFileExW(text::widen(folder + "\\*").c_str(),
                                                 FindExInfoBasic, &found, FindExSearchNameMatch,
                                                 nullptr, 0));
        if (!search.valid()) return names;
        do {
            auto name = text::narrow(found.cFileName);
            if (name != "." && name != "..") names.push_back(std::move(name));
        } while (FindNextFileW(search.get(), &found));
        return names;
    }
    // The move was written through already.
    void sync_folder(const std::string&) override {}
};

#else

struct FolderCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `path` still names the file open as `fd`.
bool still_named(int fd, const std::string& path) {
    struct stat open_file {};
    struct stat named {};
    return ::fstat(fd, &open_file) == 0 && ::stat(path.c_str(), &named) == 0 &&
           same_file(open_file, named);
}

class SystemNewFile final : public NewFile {
  public:
    explicit SystemNewFile(int fd) : file_(fd) {}

    StepFailure write(std::string_view bytes, std::size_t& written) override {
        ssize_t count = 0;
        do {
            count = ::write(file_.get(), bytes.data(), bytes.size());
        } while (count < 0 && errno == EINTR);
        if (count < 0) return last_system_error();
        written = static_cast<std::size_t>(count);
        return std::nullopt;
    }
    StepFailure flush() override {
        if (::fsync(file_.get()) != 0) return last_system_error();
        return std::nullopt;
    }
    StepFailure close() override {
        if (!file_.close()) return last_system_error();
        return std::nullopt;
    }

  private:
    FileDescriptor file_;  // its flock lasts as long as it is open
};

class SystemSteps final : public FileSteps {
  public:
    Created create(const std::string& path) override {
        FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (!file.valid()) {
            const bool name_taken = errno == EEXIST;
            return {nullptr, last_system_error(), name_taken};
        }
        // Held from here on. A file system without flock holds nothing, but then the
        // cleanup's lock fails too and removes nothing.
        while (::flock(file.get(), LOCK_EX) != 0 && errno == EINTR) {
        }
        // Between the create and the lock another writer's cleanup may have taken the
        // file for a stale one and removed it: start again under a new name.
        if (!still_named(file.get(), path)) return {nullptr, std::nullopt, true};
        return {std::make_unique<SystemNewFile>(file.release()), std::nullopt, false};
    }
    StepFailure rename(const std::string& from, const std::string& to) override {
        if (::rename(from.c_str(), to.c_str()) != 0) return last_system_error();
        return std::nullopt;
    }
    void remove(const std::string& path) override { ::unlink(path.c_str()); }
    bool remove_unless_held(const std::string& path) override {
        // Non-blocking, never following a link, and a FIFO of that name does not stall us.
        const FileDescriptor file(
            ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
        if (!file.valid()) return false;
        struct stat status {};
        if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
        if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) return false;  // a running writer's
        // Unlinked by the name only while the name is still the file we locked.
        return still_named(file.get(), path) && ::unlink(path.c_str()) == 0;
    }
    std::vector<std::string> list(const std::string& folder) override {
        std::vector<std::string> names;
        const std::unique_ptr<DIR, FolderCloser> dir(::opendir(folder.c_str()));
        if (!dir) return names;
        while (const dirent* entry = ::readdir(dir.get())) {
            const std::string_view name = entry->d_name;
            if (name != "." && name != "..") names.emplace_back(name);
        }
        return names;
    }
    void sync_folder(const std::string& folder) override {
        // Some file systems refuse to sync a folder; the rename then reaches the disk with
        // the system's own write-back, and there is nothing better to do.
        const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.valid()) ::fsync(dir.get());
    }
};

#endif

}  // namespace

FileSteps& system_file_steps() {
    static SystemSteps steps;
    return steps;
}

}  // namespace kit
