#pragma once

#include <deque>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/platform.h"

namespace farlous::testing {

// The system's services from memory: no setting, files by path, the draws to give, and what the
// program showed or reported.
class FakePlatform : public Platform {
public:
    std::map<std::string, std::string> files;
    std::deque<float> draws;     // the next values of Rnd(), then the generator's
    std::exception_ptr failure;  // thrown by Rnd() and MsgBox() once set
    std::vector<std::string> shown;
    std::string folder = "/programme";

    std::optional<std::string> ReadSetting(const std::string&, const std::string&,
                                           const std::string&) override {
        return std::nullopt;
    }
    std::string ProgramFolder() override { return folder; }
    std::string ExeName() override { return "FARLOUS"; }
    char PathSeparator() override { return '/'; }
    std::optional<std::string> FindFile(const std::string& path) override {
        return files.contains(path) ? std::optional(path) : std::nullopt;
    }
    std::string ReadFile(const std::string& path) override { return files.at(path); }
    void MsgBox(const std::string& text) override {
        if (failure) std::rethrow_exception(failure);
        shown.push_back(text);
    }
    void ReportUnhandledError(const std::string& message) override {
        shown.push_back("Erreur : " + message);
    }
    float Rnd() override {
        if (failure) std::rethrow_exception(failure);
        if (draws.empty()) return Platform::Rnd();
        const float r = draws.front();
        draws.pop_front();
        return r;
    }
};

}  // namespace farlous::testing
