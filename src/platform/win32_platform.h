#pragma once

#include <windows.h>

#include <string>

#include "platform/open_files.h"
#include "platform/platform.h"
#include "platform/random_source.h"

namespace farlous {

// The runtime services as the program gets them on Windows: the registry for the setting,
// message boxes, the running executable's path, and the shared file service and random source.
class Win32Platform : public Platform {
public:
    explicit Win32Platform(std::string title) : title_(std::move(title)) {}

    // The window that message boxes belong to while it is on screen, so that it takes no clicks
    // while one is open.
    void SetMessageOwner(HWND window) { owner_ = window; }

    std::string GetSetting(const std::string& appName, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    std::int32_t TextToNumber(std::string_view text) override;
    void Randomize() override;
    float Rnd() override;
    int FreeFile() override;
    std::string Dir(const std::string& path) override;
    void OpenForInput(int fileNumber, const std::string& path) override;
    FileBytes ReadToEnd(int fileNumber) override;
    void Close(int fileNumber) override;
    void MsgBox(const std::string& prompt) override;
    std::string ProgramFolder() override;
    std::string ExeName() override;
    char PathSeparator() override { return '\\'; }
    void ReportUnhandledError(const std::string& message) override;

private:
    void ShowMessage(const std::string& text);

    std::string title_;
    HWND owner_ = nullptr;
    RandomSource random_;
    OpenFiles files_;
};

}  // namespace farlous
