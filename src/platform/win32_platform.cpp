#include "platform/win32_platform.h"

#include "platform/text_to_number.h"
#include "platform/win32_file_lookup.h"
#include "platform/win32_program_file.h"
#include "platform/win32_setting.h"
#include "platform/win32_text.h"

namespace farlous {

namespace {

// A program without a console gets a standard error only when its starter hands one over (a
// pipe, a file, a console it shares): the line goes there if so.
void WriteToStandardError(const std::string& line) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(error, &mode)) {
        const std::wstring wide = Utf8ToWide(line + "\r\n");
        WriteConsoleW(error, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        const std::string bytes = line + "\r\n";
        WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
}

}  // namespace

std::string Win32Platform::GetSetting(const std::string& appName, const std::string& section,
                                      const std::string& key, const std::string& defaultValue) {
    return ReadUserSetting(appName, section, key).value_or(defaultValue);
}

std::int32_t Win32Platform::TextToNumber(std::string_view text) {
    return farlous::TextToNumber(text);
}

void Win32Platform::Randomize() { random_.SeedFromClock(); }

float Win32Platform::Rnd() { return random_.Next(); }

int Win32Platform::FreeFile() { return files_.FreeFile(); }

std::string Win32Platform::Dir(const std::string& path) {
    return WideToUtf8(FindRegularFileName(Utf8ToWide(path)).value_or(L""));
}

void Win32Platform::OpenForInput(int fileNumber, const std::string& path) {
    files_.OpenForInput(fileNumber, path);
}

FileBytes Win32Platform::ReadToEnd(int fileNumber) { return files_.ReadToEnd(fileNumber); }

void Win32Platform::Close(int fileNumber) { files_.Close(fileNumber); }

void Win32Platform::MsgBox(const std::string& prompt) { ShowMessage(prompt); }

std::string Win32Platform::ProgramFolder() { return WideToUtf8(ProgramFolderOf(ProgramFile())); }

std::string Win32Platform::ExeName() { return WideToUtf8(BaseNameOf(ProgramFile())); }

void Win32Platform::ReportUnhandledError(const std::string& message) {
    WriteToStandardError(title_ + " : " + message);
    ShowMessage(message);
}

void Win32Platform::ShowMessage(const std::string& text) {
    // Owned by the window while it shows, which it then disables; before that, a box of its own
    // in the task bar, brought to the front since nothing else of the program is on screen.
    const HWND owner = owner_ != nullptr && IsWindowVisible(owner_) ? owner_ : nullptr;
    MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(title_).c_str(),
                MB_OK | (owner != nullptr ? 0 : MB_SETFOREGROUND));
}

}  // namespace farlous
