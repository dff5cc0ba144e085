// The least a program does for ostrel's job, for scripts/bench.sh to measure ostrel against:
// reads GameMain.exe of the current folder whole and writes it whole as GameMain-kb.exe, with
// the system's own calls and memory that is not set before the read. The copy is flushed to
// the disk, as ostrel does with every file a player keeps. Exits with 1 on any failure.

#include <cstddef>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>

namespace {

struct File {
    HANDLE handle;
    ~File() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

struct Memory {
    void* bytes;
    ~Memory() {
        if (bytes) VirtualFree(bytes, 0, MEM_RELEASE);
    }
};

bool copy_game() {
    const File in{CreateFileW(L"GameMain.exe", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    LARGE_INTEGER size{};
    if (in.handle == INVALID_HANDLE_VALUE || !GetFileSizeEx(in.handle, &size)) return false;
    const auto total = static_cast<std::size_t>(size.QuadPart);
    const Memory memory{VirtualAlloc(nullptr, total, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)};
    auto* const bytes = static_cast<char*>(memory.bytes);
    if (!bytes) return false;
    for (std::size_t done = 0; done < total;) {
        DWORD got = 0;
        if (!ReadFile(in.handle, bytes + done, static_cast<DWORD>(total - done), &got, nullptr) ||
            got == 0)
            return false;
        done += got;
    }
    const File out{CreateFileW(L"GameMain-kb.exe", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (out.handle == INVALID_HANDLE_VALUE) return false;
    for (std::size_t done = 0; done < total;) {
        DWORD put = 0;
        if (!WriteFile(out.handle, bytes + done, static_cast<DWORD>(total - done), &put, nullptr) ||
            put == 0)
            return false;
        done += put;
    }
    return FlushFileBuffers(out.handle) != 0;
}

}  // namespace

#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct File {
    int descriptor;
    ~File() {
        if (descriptor >= 0) close(descriptor);
    }
};

struct Memory {
    void* bytes;
    std::size_t size;
    ~Memory() {
        if (bytes != MAP_FAILED) munmap(bytes, size);
    }
};

bool copy_game() {
    const File in{open("GameMain.exe", O_RDONLY | O_CLOEXEC)};
    struct stat info {};
    if (in.descriptor < 0 || fstat(in.descriptor, &info) != 0) return false;
    const auto total = static_cast<std::size_t>(info.st_size);
    const Memory memory{
        mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0), total};
    if (memory.bytes == MAP_FAILED) return false;
    auto* const bytes = static_cast<char*>(memory.bytes);
    for (std::size_t done = 0; done < total;) {
        const ssize_t got = read(in.descriptor, bytes + done, total - done);
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    const File out{open("GameMain-kb.exe", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)};
    if (out.descriptor < 0) return false;
    for (std::size_t done = 0; done < total;) {
        const ssize_t put = write(out.descriptor, bytes + done, total - done);
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return fsync(out.descriptor) == 0;
}

}  // namespace

#endif

int main() {
    if (copy_game()) return 0;
    std::fputs("read_write: could not copy GameMain.exe to GameMain-kb.exe\n", stderr);
    return 1;
}
