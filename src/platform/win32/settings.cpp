#include "platform/win32/settings.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/errors.h"
#include "platform/win32/wide_text.h"

namespace farlous {

std::optional<std::string> ReadUserSetting(const std::string& appName, const std::string& section,
                                           const std::string& key) {
    const std::wstring path = L"Software\\VB and VBA Program Settings\\" + Utf8ToWide(appName) +
                              L"\\" + Utf8ToWide(section);
    const std::wstring name = Utf8ToWide(key);
    // Room for a short text; a longer one says how much it needs, and may grow in between.
    std::vector<wchar_t> value(64);
    for (;;) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(value.size()) * DWORD{sizeof(wchar_t)};
        const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(),
                                            RRF_RT_REG_SZ | RRF_RT_REG_DWORD | RRF_RT_REG_QWORD,
                                            &type, value.data(), &size);
        if (status == ERROR_MORE_DATA) {
            value.resize(size / sizeof(wchar_t) + 1);
            continue;
        }
        if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
        if (status == ERROR_UNSUPPORTED_TYPE) throw errors::SettingOfAnotherType(key);
        if (status != ERROR_SUCCESS) throw errors::SettingUnreadable(key, status);
        if (type == REG_DWORD) {
            std::int32_t number = 0;
            std::memcpy(&number, value.data(), sizeof number);
            return std::to_string(number);
        }
        if (type == REG_QWORD) {
            std::int64_t number = 0;
            std::memcpy(&number, value.data(), sizeof number);
            return std::to_string(number);
        }
        // Up to the first NUL, like any C string; RegGetValueW puts one at the end.
        return WideToUtf8(value.data());
    }
}

}  // namespace farlous
