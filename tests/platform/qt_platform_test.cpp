#include "platform/qt_platform.h"

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "jokes/tip_store.h"
#include "platform/large_memory.h"
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

// Root reads every file: within this scope the thread reads files as any other user does.
class WithoutFileAccessOverride {
public:
    WithoutFileAccessOverride() {
        capget(&header_, saved_);
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH);
        capset(&header_, lowered);
    }
    ~WithoutFileAccessOverride() { capset(&header_, saved_); }
    WithoutFileAccessOverride(const WithoutFileAccessOverride&) = delete;
    WithoutFileAccessOverride& operator=(const WithoutFileAccessOverride&) = delete;

private:
    static void capget(__user_cap_header_struct* header, __user_cap_data_struct* data) {
        syscall(SYS_capget, header, data);
    }
    static void capset(__user_cap_header_struct* header, __user_cap_data_struct* data) {
        syscall(SYS_capset, header, data);
    }

    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

// Can lose the file as soon as the lookup has found it, as if the user deleted it at that moment.
class VanishingPlatform : public QtPlatform {
public:
    explicit VanishingPlatform(bool vanishes) : QtPlatform("Zinoquet"), vanishes_(vanishes) {}

    std::string Dir(const std::string& path) override {
        std::string found = QtPlatform::Dir(path);
        if (vanishes_) fs::remove(path);
        return found;
    }

private:
    bool vanishes_;
};

struct NullDisplay : farlous::TipDisplay {
    void SetTipText(const std::string&) override {}
};

long VmSizeKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmSize:")) return std::stol(line.substr(7));
    }
    return 0;
}

// Run in a child process: 0 when reading `path` fails for want of memory, naming the file.
int ReadUnderAddressSpaceLimit(const std::string& path) {
    const rlim_t limit = (static_cast<rlim_t>(VmSizeKilobytes()) << 10) + (rlim_t{1} << 30);
    const rlimit addressSpace{limit, limit};
    if (setrlimit(RLIMIT_AS, &addressSpace) != 0) return 1;
    QtPlatform platform("Zinoquet");
    try {
        platform.OpenForInput(1, path);
        platform.ReadToEnd(1);
        return 2;
    } catch (const RuntimeError& e) {
        const bool named =
            std::string(e.what()) == "Mémoire insuffisante pour lire le fichier " + path;
        return e.kind() == RuntimeError::Kind::OutOfMemory && named ? 0 : 3;
    } catch (...) {
        return 4;
    }
}

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

    // The error names the file, nothing is loaded and no file stays open.
    void fileThatCannotBeReadOrVanishesIsAnError() {
        WriteFile(In("prive.txt"), "x");
        fs::permissions(In("prive.txt"), fs::perms::none);
        WriteFile(In("parti.txt"), "x");
        const struct {
            const char* name;
            bool vanishes;
            RuntimeError::Kind kind;
            const char* message;
        } cases[] = {
            {"prive.txt", false, RuntimeError::Kind::PermissionDenied,
             "Permission refusée : impossible de lire le fichier "},
            {"parti.txt", true, RuntimeError::Kind::FileNotFound, "Fichier introuvable : "},
        };
        for (const auto& c : cases) {
            VanishingPlatform platform(c.vanishes);
            NullDisplay display;
            farlous::TipStore store(platform, display);
            const WithoutFileAccessOverride asAnyUser;
            try {
                store.LoadTips(In(c.name).string());
                QFAIL(c.name);
            } catch (const RuntimeError& e) {
                QCOMPARE(e.kind(), c.kind);
                QCOMPARE(std::string(e.what()), c.message + In(c.name).string());
            }
            QCOMPARE(store.Items().Count(), 0);
            QCOMPARE(platform.FreeFile(), 1);
        }
    }

    // Sparse files, so the disk holds none of it. The reads run in a child process whose
    // address space is kept small, so that not even a regression can take the machine's memory.
    void fileLargerThanTheMemoryThatCanBeHadIsAnError() {
        const std::uintmax_t available = farlous::AvailableMemory();
        QVERIFY(available > 0 && available < (std::uintmax_t{1} << 50));
        const struct {
            const char* name;
            std::uintmax_t size;
        } cases[] = {
            {"plus_que_la_machine.txt", available + (std::uintmax_t{1} << 30)},
            {"plus_que_le_processus.txt", std::uintmax_t{3} << 30},
        };
        for (const auto& c : cases) {
            WriteFile(In(c.name), "");
            fs::resize_file(In(c.name), c.size);
            const pid_t child = fork();
            if (child == 0) _exit(ReadUnderAddressSpaceLimit(In(c.name).string()));
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, c.name);
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
