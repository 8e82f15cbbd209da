#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "platform/win32_long_path.h"

namespace farlous::testing {

// Names a parameterized test's row from its `name` field.
template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

// The Windows API with the long-path form, so that folders of any depth work; the C and C++
// libraries stop at MAX_PATH.
inline std::wstring Long(const std::filesystem::path& path) { return LongPathForm(path.wstring()); }

// Calls `visit` with each file and folder under `folder`, a folder's content after the folder.
inline void ForEachEntry(
    const std::filesystem::path& folder,
    const std::function<void(const std::filesystem::path&, const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Long(folder / L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        visit(folder / name, found);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ForEachEntry(folder / name, visit);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

inline bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool complete =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return complete;
}

// A folder of the test's own under the temporary folder, removed with whatever it holds.
class TemporaryFolder {
public:
    TemporaryFolder() : path_(std::filesystem::temp_directory_path() / ("farlous-" + Unique())) {
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TemporaryFolder() {
        std::vector<std::filesystem::path> folders{path_};
        ForEachEntry(path_, [&](const std::filesystem::path& entry, const WIN32_FIND_DATAW& data) {
            // Read-only, hidden and system files would resist removal.
            SetFileAttributesW(Long(entry).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                folders.push_back(entry);
            } else {
                DeleteFileW(Long(entry).c_str());
            }
        });
        // The deepest first.
        for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
            RemoveDirectoryW(Long(*it).c_str());
        }
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Makes the folder `relative` inside, however deep, and gives its path.
    std::filesystem::path Subfolder(const std::filesystem::path& relative) const {
        std::filesystem::path folder = path_;
        for (const auto& part : relative) {
            folder /= part;
            CreateDirectoryW(Long(folder).c_str(), nullptr);
        }
        return folder;
    }

private:
    static std::string Unique() {
        static int count = 0;
        return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
    }
    std::filesystem::path path_;
};

// A row prints as its name too, in the names of the tests that ctest lists. A test file's rows
// find it through `using testing::PrintTo;` in their own namespace.
template <typename Row>
requires requires(const Row& row) { row.name; }
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

}  // namespace farlous::testing
