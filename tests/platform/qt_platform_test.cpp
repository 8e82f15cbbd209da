#include "platform/qt_platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/runtime_error.h"
#include "support/row_name.h"

namespace farlous {
namespace {

namespace fs = std::filesystem;

// The bytes read from `path`, or the message of the error that reading raised.
std::string Read(QtPlatform& platform, const std::string& path) {
    alarm(10);  // an open or a read that blocks fails the test rather than hanging it
    std::string read;
    try {
        platform.OpenForInput(1, path);
        read = platform.ReadToEnd(1).view();
    } catch (const RuntimeError& error) {
        read = error.what();
    }
    alarm(0);
    platform.Close(1);
    return read;
}

struct FileRow {
    const char* name;
    std::string asked;
    std::string found;  // what the lookup answers
    std::string read;   // the bytes, or the error's message with %1 for the path asked
};

// Each file holds its own name, so that what is read tells which file was opened.
const FileRow kFiles[] = {
    {"OtherLetterCase", "SEUL.TXT", "seul.txt", "seul.txt"},
    {"FirstInByteOrder", "DEUX.TXT", "Deux.txt", "Deux.txt"},
    {"ExactNameFirst", "exact.txt", "exact.txt", "exact.txt"},
    {"FileBeforeFolder", "DOSSIER.TXT", "dossier.txt", "dossier.txt"},
    {"LinkToAFile", "lien.txt", "lien.txt", "seul.txt"},
    {"Folder", "rep.txt", "", "Erreur de lecture du fichier %1 : ce n'est pas un fichier."},
    {"FifoWithoutBlocking", "fifo.txt", "",
     "Erreur de lecture du fichier %1 : ce n'est pas un fichier."},
    {"BrokenLink", "casse.txt", "", "Fichier introuvable : %1"},
    {"LinkLoop", "boucle.txt", "", "Erreur de lecture du fichier %1"},
    {"Hidden", ".cache.txt", "", ".cache.txt"},
    {"Vanished", "absent.txt", "", "Fichier introuvable : %1"},
    {"NoFolder", "autre/absent.txt", "", "Fichier introuvable : %1"},
};

class FileTest : public ::testing::TestWithParam<FileRow> {};

// Only visible regular files are found, in any letter case; what is opened is what the lookup
// found, or, where the lookup found nothing, what the name became since.
TEST_P(FileTest, IsFoundAndRead) {
    const QTemporaryDir temporary;
    const fs::path folder = temporary.path().toStdString();
    for (const char* name : {"seul.txt", "Deux.txt", "deux.TXT", "EXACT.TXT", "exact.txt",
                             "dossier.txt", ".cache.txt", ".CACHE.TXT"}) {
        std::ofstream(folder / name) << name;
    }
    fs::create_directory(folder / "DOSSIER.TXT");
    fs::create_directory(folder / "rep.txt");
    fs::create_symlink(folder / "seul.txt", folder / "lien.txt");
    fs::create_symlink(folder / "absent.txt", folder / "casse.txt");
    fs::create_symlink(folder / "boucle.txt", folder / "boucle.txt");
    ASSERT_EQ(mkfifo((folder / "fifo.txt").c_str(), 0600), 0);

    QtPlatform platform("Zinoquet");
    const std::string asked = (folder / GetParam().asked).string();
    EXPECT_EQ(platform.Dir(asked), GetParam().found);
    std::string read = GetParam().read;
    if (const auto at = read.find("%1"); at != std::string::npos) read.replace(at, 2, asked);
    EXPECT_EQ(Read(platform, asked), read);
}

INSTANTIATE_TEST_SUITE_P(Files, FileTest, ::testing::ValuesIn(kFiles), testing::RowName());

// Such files tell no size up front.
TEST(QtPlatformTest, ReadsProcFilesToTheirEnd) {
    std::ifstream version("/proc/version");
    QtPlatform platform("Zinoquet");
    EXPECT_EQ(Read(platform, "/proc/version"), std::string(std::istreambuf_iterator(version), {}));
}

TEST(QtPlatformTest, MessagesArePlainTextUnderTheTitleWithOneButton) {
    QStringList seen;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (const auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->windowTitle() << box->text() << QString::number(box->textFormat())
                 << QString::number(box->buttons().size()) << QString::number(box->icon());
        }
        if (modal) modal->close();
    });
    QtPlatform("Zinoquet").MsgBox("<b>pas du gras</b> & rien d'autre");
    const QStringList expected{"Zinoquet", "<b>pas du gras</b> & rien d'autre",
                               QString::number(Qt::PlainText), "1",
                               QString::number(QMessageBox::NoIcon)};
    EXPECT_EQ(seen.join(" | ").toStdString(), expected.join(" | ").toStdString());
}

}  // namespace
}  // namespace farlous
