#include "platform/win32/files.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "platform/errors.h"
#include "platform/win32/wide_text.h"

namespace farlous {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// `path` in a form Windows opens whatever its length: a full path of MAX_PATH characters or more
// gets the "\\?\" prefix ("\\?\UNC\" on the network), with "/" turned into "\" and doubled
// separators merged, which Windows no longer does behind that prefix.
std::wstring LongPathForm(const std::string& utf8) {
    std::wstring path = Utf8ToWide(utf8);
    const bool network = path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    const bool drive = path.size() > 2 && path[1] == L':' && IsSeparator(path[2]);
    if (path.size() < MAX_PATH || path.starts_with(L"\\\\?\\") || !(network || drive)) return path;
    std::wstring form = network ? L"\\\\?\\UNC\\" : L"\\\\?\\";
    for (std::size_t i = network ? 2 : 0; i < path.size(); ++i) {
        if (!IsSeparator(path[i])) {
            form += path[i];
        } else if (form.back() != L'\\') {
            form += L'\\';
        }
    }
    return form;
}

// A 32-bit program runs out of addresses long before the machine runs out of memory.
ULONGLONG AvailableMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return ~ULONGLONG{0};
    return std::min(status.ullAvailPhys, status.ullAvailVirtual);
}

[[noreturn]] void ThrowFileError(DWORD error, const std::string& path) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            throw errors::FileNotFound(path);
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            throw errors::PermissionDenied(path);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            throw errors::OutOfMemoryReading(path);
        default:
            throw errors::ReadError(path);
    }
}

}  // namespace

std::optional<std::string> FindRegularFile(const std::string& path) {
    constexpr DWORD kNotAPlainFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    const DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
    if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & kNotAPlainFile)) {
        return std::nullopt;
    }
    return path;
}

std::string ReadWholeFile(const std::string& path) {
    const HANDLE file =
        CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) ThrowFileError(GetLastError(), path);
    const struct Closer {
        HANDLE file;
        ~Closer() { CloseHandle(file); }
    } closer{file};
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        throw errors::NotAFile(path);
    }
    if (static_cast<ULONGLONG>(size.QuadPart) > AvailableMemory()) {
        throw errors::OutOfMemoryReading(path);
    }
    std::string bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        throw errors::OutOfMemoryReading(path);
    }
    std::size_t filled = 0;
    for (DWORD count = 1; filled < bytes.size() && count > 0; filled += count) {
        const auto room = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - filled, 1 << 30));
        if (!::ReadFile(file, bytes.data() + filled, room, &count, nullptr)) {
            ThrowFileError(GetLastError(), path);
        }
    }
    bytes.resize(filled);
    return bytes;
}

}  // namespace farlous
