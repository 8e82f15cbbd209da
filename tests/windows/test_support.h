#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/win32_long_path.h"

namespace farlous::testing {

template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

// The long-path form, so that folders of any depth work; the C and C++ libraries stop at MAX_PATH.
inline std::wstring Long(const std::filesystem::path& path) { return LongPathForm(path.wstring()); }

// Calls `visit` with each file and folder under `folder`, a folder's content before the folder.
inline void ForEachEntry(
    const std::filesystem::path& folder,
    const std::function<void(const std::filesystem::path&, const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(Long(folder / L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ForEachEntry(folder / name, visit);
        visit(folder / name, found);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    const HANDLE file = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    EXPECT_TRUE(
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

// A folder of the test's own, removed with whatever it holds.
class TemporaryFolder {
public:
    TemporaryFolder() {
        static int count = 0;
        path_ =
            std::filesystem::temp_directory_path() /
            ("farlous-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count));
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TemporaryFolder() {
        ForEachEntry(path_, [](const std::filesystem::path& entry, const WIN32_FIND_DATAW& data) {
            SetFileAttributesW(Long(entry).c_str(), FILE_ATTRIBUTE_NORMAL);
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? RemoveDirectoryW
                                                              : DeleteFileW)(Long(entry).c_str());
        });
        RemoveDirectoryW(path_.c_str());
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace farlous::testing
