#include "kit/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "kit/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace kit {

namespace {

std::string trim_reason(std::string text) {
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

// A name of our own beside the target, unique within this process and, through the
// process id, across processes.
std::filesystem::path temporary_beside(const std::filesystem::path& target, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const auto pid = static_cast<unsigned long>(GetCurrentProcessId());
#else
    const auto pid = static_cast<unsigned long>(getpid());
#endif
    auto name = target.filename();
    name += path_from_utf8("." + std::to_string(pid) + "-" + std::to_string(counter++) + "-" +
                           std::to_string(attempt) + ".tmp");
    return target.parent_path() / name;
}

#ifdef _WIN32

struct Handle {
    HANDLE value = INVALID_HANDLE_VALUE;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    explicit Handle(HANDLE h) : value(h) {}
    ~Handle() { close(); }
    bool close() {
        if (value == INVALID_HANDLE_VALUE) return true;
        const bool ok = CloseHandle(value) != 0;
        value = INVALID_HANDLE_VALUE;
        return ok;
    }
};

std::optional<std::string> write_new_file(const std::filesystem::path& path, std::string_view bytes,
                                          bool& created, bool& name_taken) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.value == INVALID_HANDLE_VALUE) {
        name_taken = GetLastError() == ERROR_FILE_EXISTS;
        return last_system_error();
    }
    created = true;
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.value, bytes.data(), chunk, &written, nullptr) || written == 0)
            return last_system_error();
        bytes.remove_prefix(written);
    }
    if (!FlushFileBuffers(file.value)) return last_system_error();
    if (!file.close()) return last_system_error();
    return std::nullopt;
}

bool move_over(const std::filesystem::path& from, const std::filesystem::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void remove_file(const std::filesystem::path& path) {
    DeleteFileW(path.c_str());
}

#else

struct Descriptor {
    int value = -1;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    explicit Descriptor(int fd) : value(fd) {}
    ~Descriptor() { close(); }
    bool close() {
        if (value < 0) return true;
        const bool ok = ::close(value) == 0;
        value = -1;
        return ok;
    }
};

std::optional<std::string> write_new_file(const std::filesystem::path& path, std::string_view bytes,
                                          bool& created, bool& name_taken) {
    Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (file.value < 0) {
        name_taken = errno == EEXIST;
        return last_system_error();
    }
    created = true;
    while (!bytes.empty()) {
        const ssize_t written = ::write(file.value, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return last_system_error();
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    if (::fsync(file.value) != 0) return last_system_error();
    if (!file.close()) return last_system_error();
    return std::nullopt;
}

bool move_over(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void remove_file(const std::filesystem::path& path) {
    ::unlink(path.c_str());
}

#endif

}  // namespace

std::filesystem::path path_from_utf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string path_to_utf8(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string last_system_error() {
#ifdef _WIN32
    const DWORD code = GetLastError();
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr) text = text::narrow({buffer, length});
    if (buffer != nullptr) LocalFree(buffer);
    if (text.empty()) text = "System error " + std::to_string(code);
    return trim_reason(std::move(text));
#else
    return trim_reason(std::strerror(errno));
#endif
}

std::optional<std::string> replace_file_atomically(const std::filesystem::path& target,
                                                   std::string_view bytes) {
    for (unsigned attempt = 0;; ++attempt) {
        const auto temporary = temporary_beside(target, attempt);
        bool created = false;
        bool name_taken = false;
        auto failure = write_new_file(temporary, bytes, created, name_taken);
        if (!failure && move_over(temporary, target)) return std::nullopt;
        if (!failure) failure = last_system_error();
        // A stale file of ours with the same name: try another name.
        if (name_taken && attempt < 100) continue;
        if (created) remove_file(temporary);
        return failure;
    }
}

}  // namespace kit
