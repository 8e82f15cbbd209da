#include "platform/win32_file_lookup.h"

#include <windows.h>

#include "platform/win32_long_path.h"

namespace farlous {

namespace {

constexpr DWORD kNotAPlainFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                 FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;

}  // namespace

std::optional<std::wstring> FindRegularFileName(const std::wstring& path) {
    // The search takes wildcards in the name; "\\?\" before a long path is no wildcard.
    const auto name = path.find_last_of(L"\\/");
    if (path.empty() ||
        path.find_first_of(L"*?", name == std::wstring::npos ? 0 : name) != std::wstring::npos) {
        return std::nullopt;
    }
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW(LongPathForm(path).c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(search);
    if ((found.dwFileAttributes & kNotAPlainFile) != 0) return std::nullopt;
    return found.cFileName;
}

}  // namespace farlous
