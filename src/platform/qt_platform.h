#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/input_file.h"
#include "platform/platform.h"
#include "platform/random_source.h"

namespace farlous {

// The runtime services as the program really gets them: Qt for settings, message boxes and
// program facts; the standard library and the operating system for files and randomness.
class QtPlatform : public Platform {
public:
    explicit QtPlatform(std::string title) : title_(std::move(title)) {}

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
    std::string Title() override { return title_; }
    char PathSeparator() override;
    void ReportUnhandledError(const std::string& message) override;

private:
    InputFile& OpenFile(int fileNumber);

    std::string title_;
    RandomSource random_;
    std::map<int, std::unique_ptr<InputFile>> openFiles_;
};

}  // namespace farlous
