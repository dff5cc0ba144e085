#include "kit/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "kit/file_steps.h"
#include "kit/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace kit {

namespace {

constexpr std::string_view no_reason = "The system gave no reason for the failure";

std::string trim_reason(std::string text) {
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

#ifdef _WIN32

std::string system_error_text(DWORD code) {
    if (code == ERROR_SUCCESS) return std::string(no_reason);
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr) text = text::narrow({buffer, length});
    if (buffer != nullptr) LocalFree(buffer);
    text = trim_reason(std::move(text));
    if (text.empty()) text = "System error " + std::to_string(code);
    return text;
}

std::string disk_full_reason() {
    return system_error_text(ERROR_DISK_FULL);
}

unsigned long process_id() {
    return GetCurrentProcessId();
}

bool is_separator(char c) {
    return c == '/' || c == '\\';
}

#else

std::string system_error_text(int code) {
    if (code == 0) return std::string(no_reason);
    return trim_reason(std::strerror(code));
}

std::string disk_full_reason() {
    return system_error_text(ENOSPC);
}

unsigned long process_id() {
    return static_cast<unsigned long>(getpid());
}

bool is_separator(char c) {
    return c == '/';
}

#endif

thread_local FileSteps* steps_in_place = nullptr;

FileSteps& current_steps() {
    return steps_in_place != nullptr ? *steps_in_place : system_file_steps();
}

// Where the target lives, as its folder for listing and as the text that goes before a
// name beside it.
struct Place {
    std::string folder;       // "." for the current folder
    std::string name_prefix;  // the folder with its separator, empty for the current folder
    std::string name;
};

Place place_of(std::string_view target) {
    const auto end = std::find_if(target.rbegin(), target.rend(), is_separator);
    const auto name_start = static_cast<std::size_t>(target.rend() - end);
    Place place;
    place.name_prefix = std::string(target.substr(0, name_start));
    place.name = std::string(target.substr(name_start));
    if (name_start == 0)
        place.folder = ".";
    else if (name_start == 1)
        place.folder = place.name_prefix;  // the root
    else
        place.folder = std::string(target.substr(0, name_start - 1));
    return place;
}

constexpr std::string_view temporary_infix = ".incomplete-write-";
constexpr std::string_view temporary_suffix = ".tmp";

// True for `count` groups of digits joined by "-".
bool digit_groups(std::string_view text, int count) {
    for (int group = 0; group < count; ++group) {
        const auto end = group + 1 < count ? text.find('-') : text.size();
        if (end == 0 || end == std::string_view::npos) return false;
        if (!std::ranges::all_of(text.substr(0, end), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return true;
}

// True for "<target name>.incomplete-write-<digits>-<digits>.tmp", and for the
// "<target name>.<digits>-<digits>-<digits>.tmp" that earlier builds left behind; nothing else.
bool is_temporary_of(std::string_view entry, std::string_view target_name) {
    if (!entry.starts_with(target_name)) return false;
    entry.remove_prefix(target_name.size());
    if (!entry.ends_with(temporary_suffix)) return false;
    entry.remove_suffix(temporary_suffix.size());
    if (entry.starts_with(temporary_infix))
        return digit_groups(entry.substr(temporary_infix.size()), 2);
    return entry.starts_with('.') && digit_groups(entry.substr(1), 3);
}

// A name unique within this process and, through the process id, across running processes.
// A dead process's leftover may carry the same name: the caller then tries the next one.
std::string temporary_name(const Place& place) {
    static std::atomic<unsigned long> counter{0};
    return place.name_prefix + place.name + std::string(temporary_infix) +
           std::to_string(process_id()) + "-" + std::to_string(counter++) +
           std::string(temporary_suffix);
}

void remove_stale_temporaries(FileSteps& steps, const Place& place) {
    for (const auto& entry : steps.list(place.folder))
        if (is_temporary_of(entry, place.name)) steps.remove_unless_held(place.name_prefix + entry);
}

StepFailure write_all(NewFile& file, std::string_view bytes) {
    while (!bytes.empty()) {
        std::size_t written = 0;
        if (auto failure = file.write(bytes, written)) return failure;
        // The system took nothing and said nothing: a full disk is what does that.
        if (written == 0) return disk_full_reason();
        bytes.remove_prefix(std::min(written, bytes.size()));
    }
    return std::nullopt;
}

}  // namespace

ScopedFileSteps::ScopedFileSteps(FileSteps& steps) : previous_(steps_in_place) {
    steps_in_place = &steps;
}

ScopedFileSteps::~ScopedFileSteps() {
    steps_in_place = previous_;
}

std::string last_system_error() {
#ifdef _WIN32
    return system_error_text(GetLastError());
#else
    return system_error_text(errno);
#endif
}

std::optional<std::string> replace_file_atomically(std::string_view target,
                                                   std::string_view bytes) {
    auto& steps = current_steps();
    const auto place = place_of(target);
    remove_stale_temporaries(steps, place);

    const std::string target_path(target);
    StepFailure failure;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto temporary = temporary_name(place);
        auto created = steps.create(temporary);
        if (!created.file) {
            failure = std::move(created.failure);
            if (created.name_taken) continue;
            return failure ? failure : std::string(no_reason);
        }
        auto& file = *created.file;
        failure = write_all(file, bytes);
        if (!failure) failure = file.flush();
        // The file stays open, and so held, until it carries the target's name.
        if (!failure) failure = steps.rename(temporary, target_path);
        if (failure) {
            steps.remove(temporary);
            file.close();
            return failure;
        }
        // The bytes are on the disk and under the target's name: a failing close loses
        // nothing any more.
        file.close();
        steps.sync_folder(place.folder);
        return std::nullopt;
    }
    return failure ? failure : std::string(no_reason);
}

}  // namespace kit
