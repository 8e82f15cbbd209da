#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "jokes/tip_store.h"
#include "platform/platform.h"
#include "platform/runtime_error.h"
#include "platform/text_to_number.h"

namespace farlous::testing {

// Runtime services from memory. Every file and random call lands in `calls`, in order.
class FakePlatform : public Platform {
public:
    std::map<std::string, std::string> files;     // path -> bytes
    std::map<std::string, std::string> settings;  // "app/section/key" -> stored text
    std::deque<float> draws;                      // the next values of Rnd(), then 0
    std::string unreadable;                       // a file whose reading fails
    std::vector<std::string> calls, messages;
    std::string folder = "/programme";

    std::string GetSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override {
        calls.push_back("GetSetting " + app + "/" + section + "/" + key);
        const auto it = settings.find(app + "/" + section + "/" + key);
        return it == settings.end() ? defaultValue : it->second;
    }
    std::int32_t TextToNumber(std::string_view text) override {
        return farlous::TextToNumber(text);
    }
    void Randomize() override { calls.push_back("Randomize"); }
    float Rnd() override {
        calls.push_back("Rnd");
        const float r = draws.empty() ? 0.0f : draws.front();
        if (!draws.empty()) draws.pop_front();
        return r;
    }
    int FreeFile() override {
        calls.push_back("FreeFile");
        return 3;
    }
    std::string Dir(const std::string& path) override {
        calls.push_back("Dir " + path);
        return files.contains(path) ? path.substr(path.find_last_of('/') + 1) : "";
    }
    void OpenForInput(int number, const std::string& path) override {
        calls.push_back("Open " + std::to_string(number) + " " + path);
        open_ = path;
    }
    FileBytes ReadToEnd(int number) override {
        calls.push_back("Read " + std::to_string(number));
        if (open_ == unreadable) throw RuntimeError(RuntimeError::Kind::FileRead, "lecture");
        FileBytes bytes;
        bytes.bytes.assign(files.at(open_).begin(), files.at(open_).end());
        return bytes;
    }
    void Close(int number) override { calls.push_back("Close " + std::to_string(number)); }
    void MsgBox(const std::string& prompt) override { messages.push_back(prompt); }
    std::string ProgramFolder() override { return folder; }
    std::string ExeName() override { return "FARLOUS"; }
    std::string Title() override { return "Zinoquet"; }
    char PathSeparator() override { return '/'; }
    void ReportUnhandledError(const std::string& message) override { messages.push_back(message); }

private:
    std::string open_;
};

// The joke label as the store sees it: every text it was given, in order.
struct RecordingDisplay : TipDisplay {
    std::vector<std::string> shown;
    void SetTipText(const std::string& text) override { shown.push_back(text); }
};

}  // namespace farlous::testing
