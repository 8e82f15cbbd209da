#include "platform/qt_platform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/runtime_error.h"

using farlous::QtPlatform;
using farlous::RuntimeError;
namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Answers the next modal message box and hands back what it showed.
struct MessageBoxSpy {
    QString title, text;
    Qt::TextFormat format = Qt::AutoText;
    int buttons = 0;
    QMessageBox::Icon icon = QMessageBox::Information;

    void answerNext() {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            format = box->textFormat();
            buttons = int(box->buttons().size());
            icon = box->icon();
            box->accept();
        });
    }
};

}  // namespace

class QtPlatformTest : public QObject {
    Q_OBJECT

    QTemporaryDir config_;
    QTemporaryDir folder_;
    QtPlatform platform_{"Zinoquet"};

    fs::path In(const char* name) const { return fs::path(folder_.path().toStdString()) / name; }
    std::string Dir(const char* name) { return platform_.Dir(In(name).string()); }

private slots:
    void initTestCase() {
        // Before the first settings lookup, which fixes where settings are found.
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    }

    void settingsAreReadAsUsersWriteThem() {
        const fs::path config = config_.path().toStdString();
        WriteFile(config / "FARLOUS.conf", "[Options]\nShow Tips at Startup=0\n");
        WriteFile(config / "VIRGULE.conf", "[Options]\nShow Tips at Startup=0,4\n");
        WriteFile(config / "BLANCS.conf", "[Options]\nShow Tips at Startup = \" 0 \"\n");
        const auto lookup = [this](const char* app) {
            return platform_.GetSetting(app, "Options", "Show Tips at Startup", "1");
        };
        QCOMPARE(lookup("FARLOUS"), std::string("0"));
        QCOMPARE(lookup("FARLOUS-COPIE"), std::string("1"));  // another name, another setting
        QCOMPARE(lookup("VIRGULE"), std::string("0,4"));
        QCOMPARE(lookup("BLANCS"), std::string(" 0 "));
        QCOMPARE(QDir(config_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 3);
    }

    void lookupFindsOnlyRegularFilesInAnyLetterCase() {
        WriteFile(In("seul.txt"), "x");
        QCOMPARE(Dir("SEUL.TXT"), std::string("seul.txt"));
        WriteFile(In("Deux.txt"), "x");
        WriteFile(In("deux.TXT"), "x");
        QCOMPARE(Dir("DEUX.TXT"), std::string("Deux.txt"));  // first in byte order
        WriteFile(In("EXACT.TXT"), "x");
        WriteFile(In("exact.txt"), "x");
        QCOMPARE(Dir("exact.txt"), std::string("exact.txt"));
        fs::create_directory(In("DOSSIER.TXT"));
        WriteFile(In("dossier.txt"), "x");
        QCOMPARE(Dir("DOSSIER.TXT"), std::string("dossier.txt"));
        fs::create_symlink(In("seul.txt"), In("lien.txt"));
        QCOMPARE(Dir("lien.txt"), std::string("lien.txt"));

        fs::create_directory(In("rep.txt"));
        QCOMPARE(mkfifo(In("fifo.txt").c_str(), 0600), 0);
        fs::create_symlink(In("absent.txt"), In("casse.txt"));
        fs::create_symlink(In("boucle.txt"), In("boucle.txt"));
        WriteFile(In(".cache.txt"), "x");
        for (const char* none : {"rep.txt", "fifo.txt", "casse.txt", "boucle.txt", ".cache.txt",
                                 "absent.txt", "autre/absent.txt"}) {
            QVERIFY2(Dir(none).empty(), none);
        }
        QVERIFY(platform_.Dir("").empty());
    }

    void readsWholeFilesAndRefusesWhatIsNotOne() {
        WriteFile(In("blagues.txt"), std::string("a\0b\r\n", 5));
        const int number = platform_.FreeFile();
        platform_.OpenForInput(number, In("BLAGUES.TXT").string());
        QCOMPARE(platform_.FreeFile(), number + 1);
        QCOMPARE(platform_.ReadToEnd(number).view(), std::string_view("a\0b\r\n", 5));
        platform_.Close(number);
        QCOMPARE(platform_.FreeFile(), number);

        // Files that tell no size up front are read to their end all the same.
        platform_.OpenForInput(1, "/proc/self/status");
        QVERIFY(platform_.ReadToEnd(1).view().starts_with("Name:"));
        platform_.Close(1);

        // What changed after the lookup fails the open, naming the file, without blocking.
        mkfifo(In("tube.txt").c_str(), 0600);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, platform_.OpenForInput(1, In("tube.txt").string()));
        try {
            platform_.OpenForInput(1, In("parti.txt").string());
            QFAIL("opened a file that does not exist");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.kind(), RuntimeError::Kind::FileNotFound);
            QVERIFY(std::string(e.what()).find(In("parti.txt").string()) != std::string::npos);
        }
    }

    void unreadableFileIsAPermissionError() {
        if (geteuid() == 0) QSKIP("root reads every file");
        WriteFile(In("prive.txt"), "x");
        fs::permissions(In("prive.txt"), fs::perms::none);
        try {
            platform_.OpenForInput(1, In("prive.txt").string());
            QFAIL("opened an unreadable file");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.kind(), RuntimeError::Kind::PermissionDenied);
        }
    }

    void messagesArePlainTextUnderTheTitle() {
        MessageBoxSpy spy;
        spy.answerNext();
        platform_.MsgBox("<b>pas du gras</b> & rien d'autre");
        QCOMPARE(spy.title, QString("Zinoquet"));
        QCOMPARE(spy.text, QString("<b>pas du gras</b> & rien d'autre"));
        QCOMPARE(spy.format, Qt::PlainText);
        QCOMPARE(spy.buttons, 1);
        QCOMPARE(spy.icon, QMessageBox::NoIcon);
    }

    void programFactsComeFromTheRunningFile() {
        QCOMPARE(platform_.ExeName(), std::string("farlous_platform_tests"));
        QCOMPARE(QString::fromStdString(platform_.ProgramFolder()),
                 QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
    }
};

QTEST_MAIN(QtPlatformTest)
#include "qt_platform_test.moc"
