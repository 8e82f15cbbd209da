// Linux's services: the jokes file as the lookup finds it and the read gets it, and the settings
// file as users and Qt write it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/errors.h"
#include "platform/linux/files.h"
#include "platform/linux/settings.h"

namespace farlous {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

struct FileRow {
    const char* name;
    std::string asked;
    std::string found;  // the name the lookup gives, "" for none
    std::string read;   // the bytes, or the error's message with %1 for the path asked
};

// Each file holds its own name, so that what is read tells which file was opened.
const FileRow kFiles[] = {
    {"OtherLetterCase", "FARLOUS.TXT", "farlous.txt", "farlous.txt"},
    {"FirstInByteOrder", "DEUX.TXT", "Deux.txt", "Deux.txt"},
    {"ExactNameFirst", "exact.txt", "exact.txt", "exact.txt"},
    {"FileBeforeFolder", "DOSSIER.TXT", "dossier.txt", "dossier.txt"},
    {"LinkToAFile", "lien.txt", "lien.txt", "farlous.txt"},
    {"Folder", "rep.txt", "", "Erreur de lecture du fichier %1 : ce n'est pas un fichier."},
    {"FifoWithoutBlocking", "fifo.txt", "",
     "Erreur de lecture du fichier %1 : ce n'est pas un fichier."},
    {"BrokenLink", "casse.txt", "", "Fichier introuvable : %1"},
    {"LinkLoop", "boucle.txt", "", "Erreur de lecture du fichier %1"},
    {"Hidden", ".cache.txt", "", ".cache.txt"},
    {"NoFolder", "autre/absent.txt", "", "Fichier introuvable : %1"},
};

// Only visible regular files are found, in any letter case, the exact name first; what is
// read is what the lookup found, or, where it found nothing, what the name names since.
TEST(FileTest, IsFoundAndRead) {
    const QTemporaryDir temporary;
    ASSERT_TRUE(temporary.isValid());
    const fs::path folder = temporary.path().toStdString();
    for (const char* name : {"farlous.txt", "Deux.txt", "deux.TXT", "EXACT.TXT", "exact.txt",
                             "dossier.txt", ".cache.txt", ".CACHE.TXT"}) {
        std::ofstream(folder / name) << name;
    }
    fs::create_directory(folder / "DOSSIER.TXT");
    fs::create_directory(folder / "rep.txt");
    fs::create_symlink(folder / "farlous.txt", folder / "lien.txt");
    fs::create_symlink(folder / "absent.txt", folder / "casse.txt");
    fs::create_symlink(folder / "boucle.txt", folder / "boucle.txt");
    ASSERT_EQ(mkfifo((folder / "fifo.txt").c_str(), 0600), 0);
    for (const auto& [name, asked, expectedName, expectedRead] : kFiles) {
        const std::string path = (folder / asked).string();
        const std::optional<std::string> found = FindRegularFile(path);
        EXPECT_EQ(found ? fs::path(*found).filename().string() : "", expectedName) << name;
        std::string read = expectedRead, got;
        if (const auto at = read.find("%1"); at != std::string::npos) read.replace(at, 2, path);
        alarm(10);  // an open or a read that blocks fails rather than hangs
        try {
            got = ReadWholeFile(found.value_or(path));
        } catch (const RuntimeError& error) {
            got = error.what();
        }
        alarm(0);
        EXPECT_EQ(got, read) << name;
    }
}

// Such files tell no size up front.
TEST(FileTest, ProcFilesAreReadToTheirEnd) {
    std::ifstream version("/proc/version");
    EXPECT_EQ(ReadWholeFile("/proc/version"), std::string(std::istreambuf_iterator(version), {}));
}

struct SettingsRow {
    const char* name;
    std::string text;
    std::optional<std::string> value;  // of "Show Tips at Startup" in "Options"
};

const std::string kHeader = "[Options]\n";

const SettingsRow kSettings[] = {
    {"Typed", kHeader + " \tShow Tips at Startup =\t0 ", "\t0 "},
    {"AsQtWritesIt", "[Opt%69ons]\nShow%20Tips%20at%20Startup=0", "0"},
    {"MarkCrLfAndLatin1", "\xEF\xBB\xBF[Options]\r\nShow Tips at Startup=0\r\n;caf\xE9", "0"},
    {"LoneCr", "[Options]\rShow Tips at Startup=0\rX=1", "0"},
    {"ValueAsWritten", kHeader + "Show Tips at Startup==\"0, 4\xE9\0\""s, "=\"0, 4\xE9\0\""s},
    {"Empty", kHeader + "Show Tips at Startup=", ""},
    {"LastWins",
     kHeader + "Show Tips at Startup=1\n[Autre]\nShow Tips at Startup=2\n" + kHeader +
         "Show Tips at Startup=0",
     "0"},
    {"NoText", "", std::nullopt},
    {"OtherSection", "[Autre]\nShow Tips at Startup=0\n[Options]", std::nullopt},
    {"BeforeAnySection", "Show Tips at Startup=0\n" + kHeader, std::nullopt},
    {"Comments", kHeader + ";Show Tips at Startup=0\n  # Show Tips at Startup=0", std::nullopt},
    // Any letter case, as in the registry; the exact spelling wins, then the last one set.
    {"AnyCase", "[oPTIONS]\nshow%20TIPS at startup=0", "0"},
    {"ExactSpellingWins",
     kHeader + "Show Tips at Startup=0\n[options]\nShow Tips at Startup=1\n" + kHeader +
         "SHOW TIPS AT STARTUP=2\n[OPTIONS]\nshow tips at startup=3",
     "0"},
    {"NoEquals", kHeader + "Show Tips at Startup", std::nullopt},
};

TEST(SettingsTest, FindsTheValueAsWritten) {
    for (const auto& [name, text, value] : kSettings)
        EXPECT_EQ(FindSetting(text, "Options", "Show Tips at Startup"), value) << name;
}

}  // namespace
}  // namespace farlous
