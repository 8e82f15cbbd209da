#include "shell/toolkit_application.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <vector>

#include "platform/error_texts.h"
#include "platform/unhandled_error.h"

namespace farlous {

namespace {

// The toolkit keeps pointers to its arguments for the whole run.
char gDefaultName[] = "FARLOUS";
int gArgumentCount = 1;
char* gArguments[] = {gDefaultName, nullptr};

struct HeldMessage {
    QtMsgType type;
    std::optional<std::string> category;
    QString text;
};

// The state of the message handler, which can only be a plain function.
std::string gReportWithoutDisplay;
std::vector<HeldMessage> gHeldMessages;

// The toolkit reports a display it cannot open as a fatal error; it would abort once this returns.
void HoldOrReportMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::cerr << gReportWithoutDisplay << std::endl;
        std::_Exit(kUnhandledErrorExitStatus);
    }
    gHeldMessages.push_back(
        {type, context.category ? std::optional<std::string>(context.category) : std::nullopt,
         text});
}

}  // namespace

std::unique_ptr<QApplication> StartToolkit(char* programName, const std::string& title,
                                           const std::string& pendingError) {
    if (programName != nullptr) gArguments[0] = programName;
    gReportWithoutDisplay =
        title + " : " + (pendingError.empty() ? error_texts::NoDisplay() : pendingError);
    const QtMessageHandler previous = qInstallMessageHandler(HoldOrReportMessage);
    auto application = std::make_unique<QApplication>(gArgumentCount, gArguments);
    qInstallMessageHandler(previous);
    for (const HeldMessage& message : gHeldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr,
                                         message.category ? message.category->c_str() : nullptr);
        qt_message_output(message.type, context, message.text);
    }
    gHeldMessages.clear();
    return application;
}

}  // namespace farlous
