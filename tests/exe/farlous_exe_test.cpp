// The built program end to end.
#include <gtest/gtest.h>

#include "support/program_run.h"
#include "support/row_name.h"

// After the Qt headers, which Xlib's macros break.
#include <X11/keysym.h>

namespace farlous::testing {
namespace {

const char* const kCaption = "Glimbo http://www.glimbo.example";

// Puts FARLOUS.TXT in `folder` as `kind` says: "unreadable", a sparse file (no room taken on the
// disk) of so many "GiB", "many" jokes, else one.
bool Prepare(const QString& folder, const QString& kind) {
    const QString jokes = folder + "/FARLOUS.TXT";
    QByteArray text = "Une blague";
    for (int joke = 1; kind == "many" && joke <= 100'000; ++joke)
        text += "\n" + QByteArray::number(joke);
    if (!Write(jokes, text)) return false;
    if (kind == "unreadable") return QFile::setPermissions(jokes, {});
    return !kind.endsWith("GiB") || QFile::resize(jokes, kind.chopped(3).toLongLong() << 30);
}

struct RunRow {
    const char* name;
    const char* exeName;
    const char* setting;  // nullptr: none stored
    const char* jokes;    // as Prepare() takes it
    std::string window;   // the one window shown: the caption, or "Zinoquet" for a message
    int exitCode;
    QString error;  // printed after "Zinoquet : ", %1 standing for the jokes file
};

const RunRow kRuns[] = {
    {"TipsOffUnderAnotherName", "Autre", "0,4", "one", "", 0, ""},
    {"SettingNotANumber", "FARLOUS", "abc", "one", "Zinoquet", 1,
     "Type incompatible : « abc » n'est pas un nombre."},
    {"JokesFileUnreadable", "FARLOUS", "1", "unreadable", "Zinoquet", 1,
     "Permission refusée : impossible de lire le fichier %1"},
    {"JokesFileLargerThanMemory", "FARLOUS", "1", "1024GiB", "Zinoquet", 1,
     "Mémoire insuffisante pour lire le fichier %1"},
    {"JokesFileLargerThanTheAddressSpace", "FARLOUS", "1", "3GiB", "Zinoquet", 1,
     "Mémoire insuffisante pour lire le fichier %1"},
};

class RunTest : public ::testing::TestWithParam<RunRow> {};

// Whatever the setting and the jokes file, the run ends cleanly and writes nothing.
TEST_P(RunTest, EndsAsExpected) {
    const RunRow& row = GetParam();
    ProgramRun run;
    ASSERT_TRUE(run.start(row.exeName, row.setting,
                          [&](const QString& folder) { return Prepare(folder, row.jokes); }));
    if (!row.window.empty()) {
        const auto window = run.nextWindow();
        ASSERT_TRUE(window) << "no window";
        EXPECT_EQ(Name(*window), row.window);
        run.pressKey(*window, Name(*window) == "Zinoquet" ? XK_Return : XK_Escape);
    }
    EXPECT_EQ(run.end(), row.exitCode);
    const QString errors = QString::fromUtf8(run.process.readAllStandardError());
    const QString error = QString(row.error).replace("%1", run.program.filePath("FARLOUS.TXT"));
    EXPECT_TRUE(error.isEmpty() || errors.split('\n').contains("Zinoquet : " + error))
        << errors.toStdString();
    EXPECT_TRUE(run.unchanged());
}

INSTANTIATE_TEST_SUITE_P(Runs, RunTest, ::testing::ValuesIn(kRuns), RowName());

// The window where it belongs, with its logo, and at each start another of many jokes. The first
// run's screen is kept as farlous.png.
TEST(FarlousExeTest, ShowsAnotherJokeAtEachStart) {
    const QRect clientArea(201, 483, 624, 189), label(210, 524, 241, 141);
    std::vector<QImage> shown;
    for (int start = 0; start < 3; ++start) {
        ProgramRun run;
        ASSERT_TRUE(run.start("FARLOUS", nullptr,
                              [](const QString& folder) { return Prepare(folder, "many"); }));
        const auto window = run.nextWindow();
        ASSERT_TRUE(window) << "no window";
        EXPECT_EQ(Name(*window), kCaption);
        XWindowAttributes at{};
        XGetWindowAttributes(X(), *window, &at);
        EXPECT_EQ(QRect(at.x, at.y, at.width, at.height), clientArea)
            << at.x << ", " << at.y << ", " << at.width << " x " << at.height;
        ASSERT_TRUE(Painted(*window)) << "no logo";  // the program paints after mapping
        if (start == 0) Grab(clientArea).save("farlous.png");
        shown.push_back(Grab(label));
        run.pressKey(*window, XK_Escape);
        EXPECT_EQ(run.end(), 0);
        EXPECT_TRUE(run.unchanged());
    }
    // The same joke of 100,000 at three starts: the generator was not seeded from the clock.
    EXPECT_FALSE(shown[0] == shown[1] && shown[1] == shown[2]);
}

}  // namespace
}  // namespace farlous::testing
