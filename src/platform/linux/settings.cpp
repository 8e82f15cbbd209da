#include "platform/linux/settings.h"

#include <QByteArray>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "jokes/text_decoding.h"
#include "platform/blanks.h"
#include "platform/linux/files.h"

namespace farlous {

namespace {

// The user's settings folder; nothing when neither variable gives an absolute path, so that the
// setting never depends on the current folder.
std::optional<std::string> SettingsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return config;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config";
    return std::nullopt;
}

// 2 when `written` names `name` exactly, 1 when in other letter case, 0 when not at all.
int Match(std::string_view written, std::string_view name) {
    const std::string_view trimmed = TrimBlanks(written);
    const QByteArray decoded =
        QByteArray::fromPercentEncoding(QByteArray(trimmed.data(), qsizetype(trimmed.size())));
    const QByteArray wanted(name.data(), qsizetype(name.size()));
    return decoded == wanted ? 2 : decoded.compare(wanted, Qt::CaseInsensitive) == 0 ? 1 : 0;
}

}  // namespace

std::optional<std::string> ReadUserSetting(const std::string& appName, const std::string& section,
                                           const std::string& key) {
    const std::optional<std::string> folder = SettingsFolder();
    if (!folder) return std::nullopt;
    const std::string file = *folder + '/' + appName + ".conf";
    // No file can have a name longer than the system allows: such a setting is absent.
    std::error_code error;
    if (std::filesystem::status(file, error).type() == std::filesystem::file_type::not_found ||
        error.value() == ENAMETOOLONG) {
        return std::nullopt;
    }
    return FindSetting(ReadWholeFile(file), section, key);
}

std::optional<std::string> FindSetting(std::string_view text, std::string_view section,
                                       std::string_view key) {
    const std::string decoded = DecodeJokesFile(std::string(text)).bytes;
    text = decoded;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::optional<std::string> exact, other;  // the last value set, in exact spelling or not
    int sectionMatch = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = text.substr(0, end);
        // CR, LF or both end a line: between CR and LF lies an empty line, which sets nothing.
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::string_view trimmed = TrimBlanks(line);
        const std::size_t equals = line.find('=');
        if (trimmed.starts_with('[') && trimmed.ends_with(']')) {
            sectionMatch = Match(trimmed.substr(1, trimmed.size() - 2), section);
        } else if (sectionMatch > 0 && equals != std::string_view::npos) {
            if (const int keyMatch = Match(line.substr(0, equals), key)) {
                (sectionMatch + keyMatch == 4 ? exact : other) =
                    std::string(line.substr(equals + 1));
            }
        }
    }
    return exact ? exact : other;
}

}  // namespace farlous
