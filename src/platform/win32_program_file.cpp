#include "platform/win32_program_file.h"

#include <windows.h>

#include <stdexcept>

namespace farlous {

namespace {

// Past the longest path Windows handles, a full buffer can only mean a failure.
constexpr DWORD kLongestPath = 32768;

std::wstring::size_type NameStart(const std::wstring& file) {
    const auto separator = file.find_last_of(L"\\/");
    return separator == std::wstring::npos ? 0 : separator + 1;
}

}  // namespace

std::wstring ProgramFile() {
    // The name is cut to the buffer without saying how long it is: grow until it fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const auto size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length > 0 && length < size) {
            path.resize(length);
            return path;
        }
        if (length == 0 || size >= kLongestPath) {
            throw std::runtime_error("le chemin du programme est illisible");
        }
        path.resize(std::size_t{size} * 2);
    }
}

std::wstring ProgramFolderOf(const std::wstring& file) {
    std::wstring folder = file.substr(0, NameStart(file));
    const bool driveRoot = folder.size() >= 3 && folder[folder.size() - 2] == L':';
    if (!folder.empty() && !driveRoot) folder.pop_back();
    return folder;
}

std::wstring BaseNameOf(const std::wstring& file) {
    std::wstring name = file.substr(NameStart(file));
    const auto dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return name;
}

}  // namespace farlous
