#include "platform/win32_long_path.h"

#include <windows.h>

namespace farlous {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::wstring LongPathForm(const std::wstring& path) {
    if (path.size() < MAX_PATH || path.starts_with(L"\\\\?\\")) return path;
    const bool network = path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    const bool drive = path.size() > 2 && path[1] == L':' && IsSeparator(path[2]);
    if (!network && !drive) return path;

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

}  // namespace farlous
