#pragma once

#include <optional>
#include <string>

namespace farlous {

// The per-user setting `key` of `section` for the program `appName`: the value `key` of
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<appName>\<section>, read only; nothing
// when the key or the value is absent. Text comes as stored; a number (REG_DWORD, REG_QWORD)
// comes as the decimal text of its signed value, which reg.exe stores for -1 as 0xFFFFFFFF.
// Throws RuntimeError when the value cannot be read or holds anything else.
std::optional<std::string> ReadUserSetting(const std::string& appName, const std::string& section,
                                           const std::string& key);

}  // namespace farlous
