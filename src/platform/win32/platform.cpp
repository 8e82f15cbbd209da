#include "platform/platform.h"

#include <windows.h>

#include <filesystem>

#include "platform/errors.h"
#include "platform/win32/files.h"
#include "platform/win32/settings.h"
#include "platform/win32/wide_text.h"

namespace farlous {

namespace {

// The running program file's full path, however long: Windows cuts the name to the buffer
// without saying how long it is, so the buffer grows until it fits.
std::filesystem::path RunningProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const auto size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0 || size > 32768) throw errors::UnknownProgramFolder();
        if (length < size) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

// A program without a console gets a standard error only when its starter hands one over (a
// pipe, a file, a console it shares): the line goes there if so.
void WriteToStandardError(const std::string& line) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    DWORD mode = 0;
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
    if (GetConsoleMode(error, &mode)) {
        const std::wstring wide = Utf8ToWide(line + "\r\n");
        WriteConsoleW(error, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        const std::string bytes = line + "\r\n";
        WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
}

class Win32Platform final : public Platform {
public:
    std::optional<std::string> ReadSetting(const std::string& appName, const std::string& section,
                                           const std::string& key) override {
        return ReadUserSetting(appName, section, key);
    }
    // At a drive's root the folder keeps its separator ("C:\"): without it, it would name the
    // drive's current folder.
    std::string ProgramFolder() override {
        return WideToUtf8(RunningProgram().parent_path().wstring());
    }
    std::string ExeName() override { return WideToUtf8(RunningProgram().stem().wstring()); }
    char PathSeparator() override { return '\\'; }
    std::optional<std::string> FindFile(const std::string& path) override {
        return FindRegularFile(path);
    }
    std::string ReadFile(const std::string& path) override { return ReadWholeFile(path); }
    // Owned by the window while it is active, which it then disables; before it shows, a box of
    // its own in the task bar, brought to the front since nothing else of the program is there.
    void MsgBox(const std::string& text) override {
        const HWND owner = GetActiveWindow();
        MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(kProgramTitle).c_str(),
                    MB_OK | (owner != nullptr ? 0 : MB_SETFOREGROUND));
    }
    void ReportUnhandledError(const std::string& message) override {
        WriteToStandardError(std::string(kProgramTitle) + " : " + message);
        MsgBox(message);
    }
};

}  // namespace

std::unique_ptr<Platform> SystemPlatform() { return std::make_unique<Win32Platform>(); }

}  // namespace farlous
