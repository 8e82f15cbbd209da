#pragma once

#include <deque>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/random_source.h"
#include "platform/runtime_error.h"
#include "platform/text_to_number.h"
#include "support/row_name.h"
#include "window/tip_window_face.h"

namespace farlous::testing {

// Runtime services from memory. Every setting, file and random call lands in `calls`, in order.
class FakePlatform : public Platform {
public:
    std::map<std::string, std::string> files;     // path -> bytes
    std::map<std::string, std::string> settings;  // "app/section/key" -> stored text
    std::deque<float> draws;     // the next values of Rnd(); then the generator's, never seeded
    std::exception_ptr failure;  // thrown by Rnd, ReadToEnd and MsgBox once set
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
        Call("Rnd");
        if (draws.empty()) return random_.Next();
        const float r = draws.front();
        draws.pop_front();
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
        Call("Read " + std::to_string(number));
        return {{files.at(open_).begin(), files.at(open_).end()}};
    }
    void Close(int number) override { calls.push_back("Close " + std::to_string(number)); }
    void MsgBox(const std::string& prompt) override {
        Call("MsgBox");
        messages.push_back(prompt);
    }
    std::string ProgramFolder() override { return folder; }
    std::string ExeName() override { return "FARLOUS"; }
    char PathSeparator() override { return '/'; }
    void ReportUnhandledError(const std::string& message) override { messages.push_back(message); }

private:
    void Call(const std::string& call) {
        calls.push_back(call);
        if (failure) std::rethrow_exception(failure);
    }

    std::string open_;
    RandomSource random_;
};

// The window as a toolkit draws it: every text its joke label was given, and how it ended.
struct FakeFace : TipWindowFace {
    std::vector<std::string> shown;
    bool unloaded = false;
    int endStatus = -1;  // -1 while the run goes on

    void SetTipText(const std::string& text) override { shown.push_back(text); }
    void Unload() override { unloaded = true; }
    void EndRun(int exitStatus) override { endStatus = exitStatus; }
};

}  // namespace farlous::testing
