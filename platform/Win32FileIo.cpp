// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-file reading and atomic replacement on Windows: the new content goes to a temporary
// file in the target's folder, is flushed to disk and moved over the target in one step
// (MoveFileExA with MOVEFILE_REPLACE_EXISTING). Failures answer the system's error code.
#include "platform/FileIo.h"

#include "platform/PathNames.h"

#include <windows.h>

#include <atomic>

namespace {

// Closes a file handle when leaving scope.
class File {
public:
    explicit File(HANDLE handle) : handle(handle) {}
    ~File() {
        if (valid()) CloseHandle(handle);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool valid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle; }
    void close() {
        if (valid()) CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle;
};

// A name next to the target that no other writer in this or another process picks.
std::string temporaryPath(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(counter.fetch_add(1)) + "-" + std::to_string(GetTickCount64());
}

int lastError() {
    DWORD error = GetLastError();
    return error == 0 ? int(ERROR_GEN_FAILURE) : int(error);
}

} // namespace

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path,
                                                       std::size_t maxBytes) {
    File file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // Only files on a disk: a pipe or device never blocks the caller.
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, DWORD(bytes.size() - done), &got, nullptr))
            return std::nullopt;
        if (got == 0) break;
        done += got;
    }
    // A file that shrank while being read is taken as it was read.
    bytes.resize(done);
    return bytes;
}

int writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path.empty() || kPathSeparators.find(path.back()) != std::string_view::npos)
        return ERROR_INVALID_NAME;
    std::string temporary = temporaryPath(path);
    File file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return lastError();
    int error = 0;
    std::size_t done = 0;
    while (error == 0 && done < bytes.size()) {
        DWORD wrote = 0;
        if (!WriteFile(file.get(), bytes.data() + done, DWORD(bytes.size() - done), &wrote,
                       nullptr) ||
            wrote == 0)
            error = lastError();
        done += wrote;
    }
    if (error == 0 && !FlushFileBuffers(file.get())) error = lastError();
    file.close();
    if (error == 0 && !MoveFileExA(temporary.c_str(), path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = lastError();
    if (error != 0) DeleteFileA(temporary.c_str());
    return error;
}
