#include "platform/file_lookup.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

namespace farlous {

namespace fs = std::filesystem;

namespace {

bool IsHidden(const fs::path& path) { return path.filename().native().starts_with('.'); }

bool IsVisibleRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error) && !IsHidden(path);
}

bool EqualIgnoringAsciiCase(const fs::path::string_type& a, const fs::path::string_type& b) {
    const auto lower = [](auto c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](auto x, auto y) { return lower(x) == lower(y); });
}

}  // namespace

std::optional<fs::path> FindRegularFile(const fs::path& path) {
    if (path.empty()) return std::nullopt;
    if (IsVisibleRegularFile(path)) return path;

    const fs::path wanted = path.filename();
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::vector<fs::path::string_type> candidates;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        fs::path::string_type name = it->path().filename().native();
        if (name != wanted.native() && EqualIgnoringAsciiCase(name, wanted.native())) {
            candidates.push_back(std::move(name));
        }
    }
    std::sort(candidates.begin(), candidates.end());
    for (const auto& name : candidates) {
        fs::path candidate = path.parent_path() / name;
        if (IsVisibleRegularFile(candidate)) return candidate;
    }
    return std::nullopt;
}

fs::path PathFromString(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string PathToString(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace farlous
