#include "platform/win32_setting.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/error_texts.h"
#include "platform/runtime_error.h"
#include "platform/win32_text.h"

namespace farlous {

namespace {

using KeyHandle = std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&RegCloseKey)>;

[[noreturn]] void ThrowUnreadable(const std::string& key, LSTATUS status) {
    if (status == ERROR_UNSUPPORTED_TYPE) {
        throw RuntimeError(RuntimeError::Kind::TypeMismatch,
                           error_texts::SettingOfAnotherType(key));
    }
    throw RuntimeError(RuntimeError::Kind::FileRead, error_texts::SettingUnreadable(key, status));
}

}  // namespace

std::optional<std::string> ReadUserSetting(const std::string& appName, const std::string& section,
                                           const std::string& key) {
    const std::wstring path = L"Software\\VB and VBA Program Settings\\" + Utf8ToWide(appName) +
                              L"\\" + Utf8ToWide(section);
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &opened);
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS) ThrowUnreadable(key, status);
    const KeyHandle handle(opened, RegCloseKey);

    const std::wstring name = Utf8ToWide(key);
    // Room for a short text; a longer one says how much it needs. It may grow in between.
    std::vector<wchar_t> value(64);
    for (;;) {
        DWORD type = 0;
        auto size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        status = RegGetValueW(handle.get(), nullptr, name.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_DWORD,
                              &type, value.data(), &size);
        if (status == ERROR_MORE_DATA) {
            value.resize(size / sizeof(wchar_t) + 1);
            continue;
        }
        if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
        if (status != ERROR_SUCCESS) ThrowUnreadable(key, status);
        if (type == REG_DWORD) {
            DWORD number = 0;
            std::memcpy(&number, value.data(), sizeof number);
            return std::to_string(number);
        }
        // Up to the first NUL, like any C string; RegGetValueW puts one at the end.
        return WideToUtf8(value.data());
    }
}

}  // namespace farlous
