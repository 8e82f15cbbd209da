#include "platform/qt_platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <iostream>

#include "platform/file_lookup.h"
#include "platform/qt_text.h"
#include "platform/runtime_error.h"
#include "platform/text_to_number.h"
#include "platform/user_settings.h"

namespace farlous {

namespace {

void ShowMessage(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    // Some styles put a glyph on dialog buttons; the message shows no picture at all.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    box.exec();
}

#ifdef __linux__
std::optional<std::string> StoredSetting(const std::string& appName, const std::string& section,
                                         const std::string& key) {
    return ReadUserSetting(appName, section, key);
}
#else
std::string ToStdString(const QString& text) { return text.toUtf8().toStdString(); }

std::optional<std::string> StoredSetting(const std::string& appName, const std::string& section,
                                         const std::string& key) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, ToQString(appName));
    const QVariant value = settings.value(ToQString(section) + '/' + ToQString(key));
    if (!value.isValid()) return std::nullopt;
    return ToStdString(value.toString());
}
#endif

}  // namespace

std::string QtPlatform::GetSetting(const std::string& appName, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) {
    // Read once a run: the start reads the setting before the window does, and both must act on
    // the same text.
    const auto id = std::make_tuple(appName, section, key);
    auto stored = settings_.find(id);
    if (stored == settings_.end())
        stored = settings_.emplace(id, StoredSetting(appName, section, key)).first;
    return stored->second.value_or(defaultValue);
}

std::int32_t QtPlatform::TextToNumber(std::string_view text) { return farlous::TextToNumber(text); }

void QtPlatform::Randomize() { random_.SeedFromClock(); }

float QtPlatform::Rnd() { return random_.Next(); }

int QtPlatform::FreeFile() { return files_.FreeFile(); }

std::string QtPlatform::Dir(const std::string& path) {
    const auto found = FindRegularFile(PathFromString(path));
    return found ? PathToString(found->filename()) : std::string();
}

void QtPlatform::OpenForInput(int fileNumber, const std::string& path) {
    // The lookup may have matched the name in another letter case: open what it found.
    const auto found = FindRegularFile(PathFromString(path));
    files_.OpenForInput(fileNumber, found ? PathToString(*found) : path);
}

FileBytes QtPlatform::ReadToEnd(int fileNumber) { return files_.ReadToEnd(fileNumber); }

void QtPlatform::Close(int fileNumber) { files_.Close(fileNumber); }

void QtPlatform::MsgBox(const std::string& prompt) { ShowMessage(title_, prompt); }

#ifdef __linux__
std::string QtPlatform::ProgramFolder() { return Location().folder; }

std::string QtPlatform::ExeName() { return Location().baseName; }

const ProgramLocation& QtPlatform::Location() {
    if (!location_) location_ = FindProgramLocation();
    return *location_;
}
#else
std::string QtPlatform::ProgramFolder() {
    return ToStdString(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

std::string QtPlatform::ExeName() {
    return ToStdString(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
}
#endif

char QtPlatform::PathSeparator() { return QDir::separator().toLatin1(); }

void QtPlatform::ReportUnhandledError(const std::string& message) {
    std::cerr << title_ << " : " << message << std::endl;
    ShowMessage(title_, message);
}

}  // namespace farlous
