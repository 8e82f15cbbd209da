#include "platform/user_settings.h"

#include <cstdlib>

#include "platform/input_file.h"
#include "platform/runtime_error.h"
#include "platform/settings_text.h"

namespace farlous {

namespace {

// Where the user's settings live; nothing when neither variable gives an absolute path, so that
// no relative path makes the setting depend on the current folder.
std::optional<std::string> SettingsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return config;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadUserSetting(const std::string& appName, const std::string& section,
                                           const std::string& key) {
    const std::optional<std::string> folder = SettingsFolder();
    if (!folder) return std::nullopt;
    std::optional<InputFile> file;
    try {
        file.emplace(*folder + '/' + appName + ".conf");
    } catch (const RuntimeError& error) {
        if (error.kind() == RuntimeError::Kind::FileNotFound) return std::nullopt;
        throw;
    }
    return FindSetting(file->ReadToEnd().view(), section, key);
}

}  // namespace farlous
