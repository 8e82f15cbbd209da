#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "platform/open_files.h"
#include "platform/platform.h"
#include "platform/program_location.h"
#include "platform/random_source.h"

namespace farlous {

// The runtime services as the program really gets them: Qt for message boxes; the standard
// library and the operating system for files, randomness, settings and program facts (on Linux;
// Qt tells settings and program facts elsewhere).
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
    char PathSeparator() override;
    void ReportUnhandledError(const std::string& message) override;

private:
#ifdef __linux__
    const ProgramLocation& Location();
    std::optional<ProgramLocation> location_;
#endif

    std::string title_;
    RandomSource random_;
    OpenFiles files_;
    // Stored text by application, section and key; nothing for an absent setting.
    std::map<std::tuple<std::string, std::string, std::string>, std::optional<std::string>>
        settings_;
};

}  // namespace farlous
