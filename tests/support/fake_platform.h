#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/runtime_error.h"
#include "platform/text_to_number.h"

namespace farlous::testing {

// Runtime services from memory: files, settings and random draws are set up by the test, and
// every file and random call is written to `calls` so that tests can check their order.
class FakePlatform : public Platform {
public:
    std::map<std::string, std::string> files;     // path -> bytes
    std::map<std::string, std::string> settings;  // "app/section/key" -> stored text
    std::deque<float> draws;                      // the next values of Rnd()
    std::string unreadable;                       // a file whose reading fails
    std::vector<std::string> calls;
    std::vector<std::string> messages;  // prompts of MsgBox
    std::vector<std::string> errorReports;
    std::string folder = "/programme";
    int freeNumber = 1;

    std::string GetSetting(const std::string& appName, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override {
        calls.push_back("GetSetting " + appName + "/" + section + "/" + key);
        const auto it = settings.find(appName + "/" + section + "/" + key);
        return it == settings.end() ? defaultValue : it->second;
    }
    std::int32_t TextToNumber(std::string_view text) override {
        return farlous::TextToNumber(text);
    }
    void Randomize() override { calls.push_back("Randomize"); }
    float Rnd() override {
        calls.push_back("Rnd");
        if (draws.empty()) return 0.0f;
        const float r = draws.front();
        draws.pop_front();
        return r;
    }
    int FreeFile() override {
        calls.push_back("FreeFile");
        return freeNumber;
    }
    std::string Dir(const std::string& path) override {
        calls.push_back("Dir " + path);
        return files.contains(path) ? path.substr(path.find_last_of('/') + 1) : "";
    }
    void OpenForInput(int fileNumber, const std::string& path) override {
        calls.push_back("Open " + std::to_string(fileNumber) + " " + path);
        openPath_ = path;
    }
    FileBytes ReadToEnd(int fileNumber) override {
        calls.push_back("Read " + std::to_string(fileNumber));
        if (openPath_ == unreadable) {
            throw RuntimeError(RuntimeError::Kind::FileRead, "Erreur de lecture " + openPath_);
        }
        const std::string& text = files.at(openPath_);
        FileBytes bytes;
        bytes.bytes.assign(text.begin(), text.end());
        return bytes;
    }
    void Close(int fileNumber) override { calls.push_back("Close " + std::to_string(fileNumber)); }
    void MsgBox(const std::string& prompt) override { messages.push_back(prompt); }
    std::string ProgramFolder() override { return folder; }
    std::string ExeName() override { return "FARLOUS"; }
    std::string Title() override { return "Zinoquet"; }
    char PathSeparator() override { return '/'; }
    void ReportUnhandledError(const std::string& message) override {
        errorReports.push_back(message);
    }

private:
    std::string openPath_;
};

}  // namespace farlous::testing
