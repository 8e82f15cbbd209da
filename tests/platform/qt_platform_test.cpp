#include "platform/qt_platform.h"

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/large_memory.h"
#include "platform/runtime_error.h"

using farlous::RuntimeError;
namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Root reads every file: within this scope the thread reads files as any other user does.
struct WithoutFileAccessOverride {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
    WithoutFileAccessOverride() {
        syscall(SYS_capget, &header, saved);
        __user_cap_data_struct lowered[2] = {saved[0], saved[1]};
        lowered[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH);
        syscall(SYS_capset, &header, lowered);
    }
    ~WithoutFileAccessOverride() { syscall(SYS_capset, &header, saved); }
};

// The kind and message of the error that opening and reading `path` raises.
std::pair<RuntimeError::Kind, std::string> ReadError(const std::string& path) {
    farlous::QtPlatform platform("Zinoquet");
    try {
        platform.OpenForInput(1, path);
        platform.ReadToEnd(1);
    } catch (const RuntimeError& e) {
        platform.Close(1);
        return {e.kind(), e.what()};
    }
    return {RuntimeError::Kind::TypeMismatch, "lu sans erreur"};
}

// Run in a child process whose address space is kept a gigabyte above what it uses, so that not
// even a regression can take the machine's memory: 0 when the read fails for want of memory.
int ReadUnderAddressSpaceLimit(const std::string& path) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line) && !line.starts_with("VmSize:")) {
    }
    const rlim_t limit = (rlim_t(std::stol(line.substr(7))) << 10) + (rlim_t{1} << 30);
    const rlimit addressSpace{limit, limit};
    if (setrlimit(RLIMIT_AS, &addressSpace) != 0) return 1;
    const auto [kind, message] = ReadError(path);
    return kind == RuntimeError::Kind::OutOfMemory &&
                   message == "Mémoire insuffisante pour lire le fichier " + path
               ? 0
               : 2;
}

}  // namespace

class QtPlatformTest : public QObject {
    Q_OBJECT

    QTemporaryDir config_, folder_;
    farlous::QtPlatform platform_{"Zinoquet"};

    fs::path In(const char* name) const { return fs::path(folder_.path().toStdString()) / name; }
    std::string Dir(const char* name) { return platform_.Dir(In(name).string()); }

private slots:
    void settingsAreReadAsUsersWriteThem() {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());  // before the first lookup
        const fs::path config = config_.path().toStdString();
        WriteFile(config / "FARLOUS.conf", "[Options]\nShow Tips at Startup=0\n");
        WriteFile(config / "VIRGULE.conf", "[Options]\nShow Tips at Startup=0,4\n");
        for (const auto& [app, value] :
             {std::pair{"FARLOUS", "0"}, {"VIRGULE", "0,4"}, {"AUTRE", "1"}}) {
            QCOMPARE(platform_.GetSetting(app, "Options", "Show Tips at Startup", "1"),
                     std::string(value));
        }
    }

    void lookupFindsOnlyRegularFilesInAnyLetterCase() {
        for (const char* name : {"seul.txt", "Deux.txt", "deux.TXT", "EXACT.TXT", "exact.txt",
                                 "dossier.txt", ".cache.txt"}) {
            WriteFile(In(name), "x");
        }
        fs::create_directory(In("DOSSIER.TXT"));
        fs::create_symlink(In("seul.txt"), In("lien.txt"));
        fs::create_directory(In("rep.txt"));
        QCOMPARE(mkfifo(In("fifo.txt").c_str(), 0600), 0);
        fs::create_symlink(In("absent.txt"), In("casse.txt"));
        fs::create_symlink(In("boucle.txt"), In("boucle.txt"));
        const std::pair<const char*, const char*> cases[] = {
            {"SEUL.TXT", "seul.txt"},   {"DEUX.TXT", "Deux.txt"},
            {"exact.txt", "exact.txt"}, {"DOSSIER.TXT", "dossier.txt"},
            {"lien.txt", "lien.txt"},   {"rep.txt", ""},
            {"fifo.txt", ""},           {"casse.txt", ""},
            {"boucle.txt", ""},         {".cache.txt", ""},
            {"autre/absent.txt", ""}};
        for (const auto& [name, found] : cases) QCOMPARE(Dir(name), std::string(found));
    }

    void readsWholeFilesAndFailsOnWhatIsNotOne() {
        platform_.OpenForInput(1, "/proc/self/status");  // tells no size up front
        QVERIFY(platform_.ReadToEnd(1).view().starts_with("Name:"));
        platform_.Close(1);
        QCOMPARE(platform_.FreeFile(), 1);

        // What changed after the lookup fails the open, naming the file, without blocking.
        mkfifo(In("tube.txt").c_str(), 0600);
        QCOMPARE(ReadError(In("tube.txt")).first, RuntimeError::Kind::FileRead);
        const auto vanished = ReadError(In("parti.txt"));
        QCOMPARE(vanished.first, RuntimeError::Kind::FileNotFound);
        QCOMPARE(vanished.second, "Fichier introuvable : " + In("parti.txt").string());
        WriteFile(In("prive.txt"), "x");
        fs::permissions(In("prive.txt"), fs::perms::none);
        const WithoutFileAccessOverride asAnyUser;
        const auto denied = ReadError(In("prive.txt"));
        QCOMPARE(denied.first, RuntimeError::Kind::PermissionDenied);
        QCOMPARE(denied.second,
                 "Permission refusée : impossible de lire le fichier " + In("prive.txt").string());
    }

    // Sparse files, so the disk holds none of it: one beyond what the machine has free, one beyond
    // what the process can map.
    void fileLargerThanTheMemoryThatCanBeHadIsAnError() {
        const std::uintmax_t available = farlous::AvailableMemory();
        QVERIFY(available > 0 && available < (std::uintmax_t{1} << 50));
        for (const std::uintmax_t size :
             {available + (std::uintmax_t{1} << 30), std::uintmax_t{3} << 30}) {
            WriteFile(In("grand.txt"), "");
            fs::resize_file(In("grand.txt"), size);
            const pid_t child = fork();
            if (child == 0) _exit(ReadUnderAddressSpaceLimit(In("grand.txt").string()));
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, std::to_string(size).c_str());
        }
    }

    void messagesArePlainTextUnderTheTitle() {
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString("Zinoquet"));
            QCOMPARE(box->text(), QString("<b>pas du gras</b> & rien d'autre"));
            QCOMPARE(box->textFormat(), Qt::PlainText);
            QCOMPARE(box->buttons().size(), 1);
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            box->accept();
        });
        platform_.MsgBox("<b>pas du gras</b> & rien d'autre");
    }
};

QTEST_MAIN(QtPlatformTest)
#include "qt_platform_test.moc"
